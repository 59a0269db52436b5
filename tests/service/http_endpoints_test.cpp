// The service's HTTP and HTTPS replies in the formats the program parses.
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sstream>

#include "service_client.h"
#include "support/local_service.h"
#include "support/test_paths.h"

using service_client::http_get;
using service_client::md5_upper;
using test_support::LocalService;

namespace {

std::vector<std::string> lines_of(const std::string& body)
{
    std::vector<std::string> lines;
    std::istringstream in(body);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

// Each test runs its own instance on its own address, so tests can run side by side.
class ServiceHttp : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const std::map<std::string, std::string> addresses = {
            {"RepliesHaveTheFormatsTheProgramParses", "127.0.0.44"},
            {"HttpsIsVerifiedWithTheGeneratedCaOnly", "127.0.0.46"},
            {"PagesAreServedForEveryAddressTheProgramOpens", "127.0.0.47"},
            {"ValuesChangeWhileRunning", "127.0.0.48"},
        };
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(addresses.count(test)) << "give " << test << " an address of its own";
        m_service = std::make_unique<LocalService>(addresses.at(test));
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
    }

    std::string web(const std::string& path) const { return m_service->web_http() + path; }
    std::string secure(const std::string& path) const { return m_service->secure_https() + path; }
    std::string ca() const { return m_service->ca_file(); }

    std::unique_ptr<LocalService> m_service;
};

const std::string kAliceDigest = md5_upper("wonderland");

} // namespace

TEST_F(ServiceHttp, RepliesHaveTheFormatsTheProgramParses)
{
    {
        // The connectivity probe wants exactly "OK".
        const auto reply = http_get(web("/client/check_connection.php"));
        ASSERT_TRUE(reply.transferred) << reply.error;
        EXPECT_EQ(reply.body, "OK");
    }
    {
        // The version reply: eight lines of the account's values.
        const auto reply = http_get(secure("/live/check_version.php?u=alice&p=" + kAliceDigest), ca());
        ASSERT_TRUE(reply.transferred) << reply.error;
        const auto lines = lines_of(reply.body);
        ASSERT_EQ(lines.size(), 8u) << reply.body;
        EXPECT_EQ(lines[1], "4.0.0.22");
        EXPECT_EQ(lines[2], m_service->secure_https() + "/client/download/kalvo-setup");
        EXPECT_EQ(lines[3], "3");
        EXPECT_EQ(lines[4], "false");
        EXPECT_EQ(lines[5], "pro");
        EXPECT_EQ(lines[6], "Kalvo Pro: unlimited calling");
        EXPECT_EQ(lines[7], "");
        EXPECT_EQ(reply.body.find('\r'), std::string::npos);

        // The account-tier query on the web host reads line 6 of the same reply.
        const auto bob =
            lines_of(http_get(web("/client/req/check_version.php?u=bob&p=" + md5_upper("builder"))).body);
        ASSERT_EQ(bob.size(), 8u);
        EXPECT_EQ(bob[4], "true");
        EXPECT_EQ(bob[5], "basic");
        // An outbound proxy line names the instance's own registrar.
        const auto carol = lines_of(
            http_get(web("/client/req/check_version.php?u=carol&p=" + md5_upper("c4r0l:pass"))).body);
        ASSERT_EQ(carol.size(), 8u);
        EXPECT_EQ(carol[7], m_service->address() + ":5060");
    }
    {
        // A wrong digest or an unknown user gets the version but no account values.
        for (const std::string& query :
            {"u=alice&p=" + md5_upper("wrong"), "u=nobody&p=" + kAliceDigest, std::string("u=alice")}) {
            const auto lines = lines_of(http_get(web("/client/req/check_version.php?" + query)).body);
            ASSERT_EQ(lines.size(), 8u) << query;
            EXPECT_EQ(lines[1], "4.0.0.22") << query;
            EXPECT_EQ(lines[3], "0") << query;
            EXPECT_EQ(lines[4], "false") << query;
            EXPECT_EQ(lines[5], "") << query;
            EXPECT_EQ(lines[6], "") << query;
        }
    }
    {
        // The wizard's user-name check.
        EXPECT_EQ(http_get(web("/client/req/check_username.php?u=alice&p=" + kAliceDigest)).body, "VALID");
        // The digest's letter case does not matter; a short password works like any other.
        EXPECT_EQ(http_get(web("/client/req/check_username.php?u=dan&p=" + md5_upper("abc"))).body, "VALID");
        std::string lower = kAliceDigest;
        for (auto& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(http_get(web("/client/req/check_username.php?u=alice&p=" + lower)).body, "VALID");
        EXPECT_EQ(http_get(web("/client/req/check_username.php?u=alice&p=" + md5_upper("Wonderland"))).body,
            "INVALID");
        EXPECT_EQ(
            http_get(web("/client/req/check_username.php?u=mallory&p=" + kAliceDigest)).body, "INVALID");
        EXPECT_EQ(http_get(web("/client/req/check_username.php")).body, "INVALID");
    }
}

TEST_F(ServiceHttp, HttpsIsVerifiedWithTheGeneratedCaOnly)
{
    const auto verified = http_get(secure("/client/check_connection.php"), ca());
    ASSERT_TRUE(verified.transferred) << verified.error;
    EXPECT_EQ(verified.body, "OK");

    // Without the deployment's CA the system store does not know the certificate.
    EXPECT_FALSE(http_get(secure("/client/check_connection.php")).transferred);
}

TEST_F(ServiceHttp, PagesAreServedForEveryAddressTheProgramOpens)
{
    {
        // The live main page defines every page function the program calls.
        const auto live = http_get(secure("/live/index.php?user=alice&pass=" + kAliceDigest), ca());
        ASSERT_EQ(live.status, 200);
        for (const char* function :
            {"doCall", "showTab", "loginError", "loginStatus", "clearInput", "focusIfNone", "showLevel",
                "buttonEvent", "doDial", "loadContacts", "releaseMenu", "signupPro"})
            EXPECT_NE(live.body.find(std::string("function ") + function + "("), std::string::npos)
                << function;
        for (const char* command : {"'call'", "'answer'", "'reject'", "'hangup'", "'menu'", "'toast'",
                 "'info'", "'show_tab'", "StartDTMF", "EndDTMF", "OpenTab"})
            EXPECT_NE(live.body.find(command), std::string::npos) << command;
        EXPECT_EQ(live.body.find("%%SKIN_PATH%%"), std::string::npos);
    }
    {
        // The cached variant takes skin files through the skin path.
        const auto cached =
            http_get(secure("/live/index.php?cache=true&user=alice&pass=" + kAliceDigest), ca());
        ASSERT_EQ(cached.status, 200);
        EXPECT_NE(cached.body.find("src=\"%%SKIN_PATH%%btn_voicemail.png\""), std::string::npos);
        EXPECT_NE(cached.body.find("data-user=\"alice\""), std::string::npos);
    }
    {
        // Wrong credentials get the sign-in failure page.
        const auto denied =
            http_get(secure("/live/index.php?cache=true&user=alice&pass=" + md5_upper("x")), ca());
        ASSERT_TRUE(denied.transferred);
        EXPECT_EQ(denied.status, 403);
        EXPECT_NE(denied.body.find("Sign-in failed"), std::string::npos);
        EXPECT_NE(denied.body.find("kalvo://show_login/?u=alice"), std::string::npos);
    }
    {
        // Text from the query is escaped.
        const auto page = http_get(web("/live/info.php?u=%3Cscript%3Ealert(1)%3C/script%3E"));
        ASSERT_EQ(page.status, 200);
        EXPECT_EQ(page.body.find("<script>alert"), std::string::npos);
        EXPECT_NE(page.body.find("&lt;script&gt;alert(1)"), std::string::npos);
    }
    {
        // The side tab, information, registration and browser pages.
        const std::string pass = "&pass=" + kAliceDigest;
        const struct {
            std::string url;
            const char* marker;
        } pages[] = {
            {web("/live/tab.php"), "<h1 id=\"title\">Home</h1>"},
            {web("/live/tab.php?s=My%20Calls"), "data-section=\"My Calls\""},
            {web("/live/info.php?u=alice"), "Notice number 3"},
            {secure("/client/req/register.php?wizard=true"), "data-wizard=\"true\""},
            {secure("/live/register.php"), "data-wizard=\"false\""},
            {web("/account/login.php?user=alice" + pass), "My account: alice"},
            {web("/account/login.php?user=alice" + pass + "&page=calls.php"), "Call history: alice"},
            {web("/access_numbers.php"), "Kalvo access numbers"},
            {web("/kb/"), "Kalvo Knowledge Base"},
            {web("/live/skin/page.css"), "font:"},
        };
        for (const auto& page : pages) {
            const auto reply = http_get(page.url, ca());
            EXPECT_EQ(reply.status, 200) << page.url;
            EXPECT_NE(reply.body.find(page.marker), std::string::npos) << page.url << "\n" << reply.body;
        }
        EXPECT_EQ(http_get(web("/account/login.php?user=alice&pass=00")).status, 403);
        EXPECT_EQ(http_get(web("/no/such/page.php")).status, 404);
    }
}

TEST_F(ServiceHttp, ValuesChangeWhileRunning)
{
    {
        // The current version, for one account or for all.
        ASSERT_TRUE(m_service->set_version("4.0.0.23", "bob"));
        EXPECT_EQ(lines_of(http_get(web("/client/req/check_version.php?u=bob&p=x")).body)[1], "4.0.0.23");
        EXPECT_EQ(lines_of(http_get(web("/client/req/check_version.php?u=alice&p=x")).body)[1], "4.0.0.22");

        ASSERT_TRUE(m_service->set_version("4, 0, 0, 30"));
        EXPECT_EQ(lines_of(http_get(web("/client/req/check_version.php?u=bob&p=x")).body)[1], "4, 0, 0, 30");
        EXPECT_EQ(
            lines_of(http_get(web("/client/req/check_version.php?u=alice&p=x")).body)[1], "4, 0, 0, 30");

        EXPECT_FALSE(m_service->set_version("4.0.0.24", "nobody"));
        EXPECT_EQ(http_get(web("/control/version?v=")).status, 400);
        ASSERT_TRUE(m_service->set_version("4.0.0.22"));
    }
    {
        // The installer download is counted; the installer only records that it ran.
        const auto installer = http_get(secure("/client/download/kalvo-setup"), ca());
        ASSERT_TRUE(installer.transferred) << installer.error;
        EXPECT_EQ(installer.body.rfind("#!/bin/sh\n", 0), 0u);

        // Started, it only records beside itself that it ran.
        test_support::TempDir folder;
        const std::string script = folder.file("kalvo-setup");
        test_support::write_file(script, installer.body);
        ASSERT_EQ(std::system(("chmod 700 " + script + " && " + script).c_str()), 0);
        EXPECT_NE(
            test_support::read_file(script + ".ran").find("installer ran: " + script), std::string::npos);
        EXPECT_NE(http_get(web("/control/state")).body.find("installer_downloads=1\n"), std::string::npos);
    }
}
