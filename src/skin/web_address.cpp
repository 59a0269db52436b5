#include "skin/web_address.h"

#include <glib.h>

#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"

namespace Skin {
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
    std::string live = deployment.secure_http + "/live/";
    if (type == "tab")
        return live + "tab.php";
    if (type == "info")
        return live + "info.php?u=" + escape(settings.username);
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

} // namespace Skin
