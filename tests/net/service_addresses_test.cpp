#include <gtest/gtest.h>

#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"

namespace {

AppSettings account(
    const std::string& user, const std::string& password, bool remember, bool auto_login, bool wizard)
{
    AppSettings settings;
    settings.username = user;
    settings.password = password;
    settings.remember_user = remember;
    settings.auto_login = auto_login;
    settings.shown_wizard = wizard;
    return settings;
}

TEST(WebAddress, LoginPageCarriesTheStoredAccount)
{
    EXPECT_EQ(service_address::login_page_address(
                  "/opt/kalvo/Skins/Kalvo", account("alice", "pw", true, false, true)),
        "file:///opt/kalvo/Skins/Kalvo/login.html?u=alice&p=pw&s=true&a=false");
    EXPECT_EQ(service_address::login_page_address("/s/Kalvo", account("bob", "x", false, true, false)),
        "file:///s/Kalvo/login.html?u=bob&p=x&s=false&a=true&w=true");
}

TEST(WebAddress, NoStoredUserTurnsBothFlagsOn)
{
    EXPECT_EQ(service_address::login_page_address("/s/Kalvo", account("", "", false, false, true)),
        "file:///s/Kalvo/login.html?u=&p=&s=true&a=true");
}

TEST(WebAddress, SpacesAndQueryCharactersCannotBreakTheAddress)
{
    std::string address = service_address::login_page_address(
        "/home/my skins/Kalvo", account("a b", "p&a=true#x", false, false, true));
    EXPECT_EQ(address, "file:///home/my%20skins/Kalvo/login.html?u=a%20b&p=p%26a%3Dtrue%23x&s=false&a=false");
}

TEST(WebAddress, StartAddressByType)
{
    Deployment deployment;
    deployment.secure_http = "http://127.0.0.1:8081";
    AppSettings settings = account("carol", "pw", true, true, true);
    EXPECT_EQ(service_address::web_start_address("tab", "/s/Kalvo", settings, deployment),
        "http://127.0.0.1:8081/live/tab.php");
    EXPECT_EQ(service_address::web_start_address("info", "/s/Kalvo", settings, deployment),
        "http://127.0.0.1:8081/live/info.php?u=carol");
    EXPECT_EQ(service_address::web_start_address("content", "/s/Kalvo", settings, deployment),
        service_address::login_page_address("/s/Kalvo", settings));
    EXPECT_EQ(service_address::web_start_address("anything", "/s/Kalvo", settings, deployment),
        service_address::login_page_address("/s/Kalvo", settings));
}

TEST(WebAddress, PasswordIsMaskedForTheLog)
{
    EXPECT_EQ(service_address::mask_password_in_address("file:///a/login.html?u=al&p=secret&s=true"),
        "file:///a/login.html?u=al&p=********&s=true");
    EXPECT_EQ(service_address::mask_password_in_address("file:///a/login.html?p=secret"),
        "file:///a/login.html?p=********");
    EXPECT_EQ(service_address::mask_password_in_address("file:///a/login.html?up=1&u=x"),
        "file:///a/login.html?up=1&u=x");
    EXPECT_EQ(service_address::mask_password_in_address("about:blank"), "about:blank");
}

} // namespace
