#include "net/service_addresses.h"

#include <glib.h>
#include <netdb.h>

#include "log/log_dlg.h"
#include "net/md5_digest.h"
#include "net/service_requests.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"

namespace service_address {
namespace {

std::string escape(const std::string& value)
{
    gchar* escaped = g_uri_escape_string(value.c_str(), nullptr, TRUE);
    std::string result = escaped;
    g_free(escaped);
    return result;
}

const char* flag(bool value)
{
    return value ? "true" : "false";
}

} // namespace

std::string file_address(const std::string& folder)
{
    std::string address = "file://";
    for (char c : folder) {
        if (c == '\\')
            address += '/';
        else if (c == ' ')
            address += "%20";
        else
            address += c;
    }
    return address;
}

std::string login_page_address(const std::string& skin_folder, const AppSettings& settings)
{
    bool no_user = settings.username.empty();
    std::string address = file_address(skin_folder) + "/login.html?u=" + escape(settings.username) +
        "&p=" + escape(settings.password) + "&s=" + flag(no_user || settings.remember_user) +
        "&a=" + flag(no_user || settings.auto_login);
    if (!settings.shown_wizard)
        address += "&w=true";
    return address;
}

std::string login_page_address(const std::string& skin_folder, const std::string& user,
    const std::string& password, bool remember, bool auto_login, bool logged_out)
{
    std::string address = file_address(skin_folder) + "/login.html?u=" + escape(user) +
        "&p=" + escape(password) + "&s=" + flag(remember) + "&a=" + flag(auto_login);
    if (logged_out)
        address += "&lo=true";
    return address;
}

std::string web_start_address(const std::string& type, const std::string& skin_folder,
    const AppSettings& settings, const Deployment& deployment)
{
    if (type == "tab")
        return tab_page(deployment);
    if (type == "info")
        return info_page(deployment, settings.username);
    return login_page_address(skin_folder, settings);
}

std::string mask_password_in_address(const std::string& address)
{
    std::size_t query = address.find('?');
    if (query == std::string::npos)
        return address;
    std::string masked = address;
    std::size_t key = query;
    while (key != std::string::npos) {
        if (masked.compare(key + 1, 2, "p=") == 0) {
            std::size_t start = key + 3;
            std::size_t end = masked.find_first_of("&#", start);
            masked.replace(
                start, end == std::string::npos ? std::string::npos : end - start, kMaskedPassword);
            break;
        }
        key = masked.find('&', key + 1);
    }
    return masked;
}

std::string tab_page(const Deployment& deployment)
{
    return deployment.secure_http + "/live/tab.php";
}

std::string tab_page(const Deployment& deployment, const std::string& section)
{
    return deployment.secure_http + "/live/tab.php?s=" + section;
}

std::string info_page(const Deployment& deployment, const std::string& user)
{
    return deployment.secure_http + "/live/info.php?u=" + escape(user);
}

std::string register_wizard_page(const Deployment& deployment)
{
    return deployment.secure_https + "/client/req/register.php?wizard=true";
}

std::string register_page(const Deployment& deployment)
{
    return deployment.secure_https + "/live/register.php";
}

std::string account_login_page(const std::string& host, const std::string& user, const std::string& password)
{
    return host + "/account/login.php?user=" + percent_encode(user) + "&pass=" + cMD5::hex_digest(password);
}

std::string call_history_page(const Deployment& deployment, const std::string& user, const std::string& password)
{
    return account_login_page(deployment.secure_http, user, password) + "&page=calls.php";
}

std::string account_page(const Deployment& deployment, const std::string& user, const std::string& password)
{
    return deployment.web_http + "/account.php?user=" + percent_encode(user) + "&pass=" + password;
}

std::string access_numbers_page(const Deployment& deployment)
{
    return deployment.web_http + "/access_numbers.php";
}

std::string knowledge_base_page(const Deployment& deployment)
{
    return deployment.web_http + "/kb/";
}

bool web_host_resolves(const Deployment& deployment)
{
    std::string host = Deployment::host_of(deployment.web_http);
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, nullptr, &found) != 0)
        return false;
    freeaddrinfo(found);
    return true;
}

} // namespace service_address
