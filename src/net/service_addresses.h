#pragma once
#include <string>

struct AppSettings;
struct Deployment;

namespace service_address {

// "file://" + folder with "/" for "\" and "%20" for each blank.
std::string file_address(const std::string& folder);

// The local login page of a skin folder with the stored account in its query:
// u (user name), p (password), s (remember), a (auto-login), and w=true while the
// wizard has not been shown. An empty stored user name turns both flags on. Values are
// percent-encoded so a password with "&" or "#" stays one value.
std::string login_page_address(const std::string& skin_folder, const AppSettings& settings);

// The login page shown again later (after a sign-out, on "show_login", when the service's
// host name no longer resolves): the given account and flags, "&lo=true" after a sign-out.
std::string login_page_address(const std::string& skin_folder, const std::string& user,
    const std::string& password, bool remember, bool auto_login, bool logged_out);

// The address a web element opens first, chosen by its type: "tab" the service's tab
// page, "info" its information page for the stored user, anything else the login page.
std::string web_start_address(const std::string& type, const std::string& skin_folder,
    const AppSettings& settings, const Deployment& deployment);

// The address with the value of its "p" query key replaced by "********", for logs.
std::string mask_password_in_address(const std::string& address);

// ---- The service's pages. `password` is the stored clear password: addresses carry its
// digest (cMD5) unless said otherwise; user names are percent-encoded.

// The side panel's page: secure host over http, "/live/tab.php", or "tab.php?s=" + section.
std::string tab_page(const Deployment& deployment);
std::string tab_page(const Deployment& deployment, const std::string& section);
// The information window's page: secure host over http, "/live/info.php?u=" + user.
std::string info_page(const Deployment& deployment, const std::string& user);
// The registration page the setup wizard asks for: secure host over https,
// "/client/req/register.php?wizard=true".
std::string register_wizard_page(const Deployment& deployment);
// The sign-up page the main page's ShowRegister opens: secure host over https, "/live/register.php".
std::string register_page(const Deployment& deployment);

// Pages opened in the user's browser.
// The account's pages behind "/account/login.php?user=&pass=" on a host: the secure host
// for the "My account" menu item and the "profile" command, the web host for the page's
// ShowProfile; "&page=calls.php" on the secure host for the call history.
std::string account_login_page(const std::string& host, const std::string& user, const std::string& password);
std::string call_history_page(const Deployment& deployment, const std::string& user, const std::string& password);
// The skin's "account" button: web host, "/account.php?user=&pass=" with the clear password.
std::string account_page(const Deployment& deployment, const std::string& user, const std::string& password);
// Web host, "/access_numbers.php" and "/kb/".
std::string access_numbers_page(const Deployment& deployment);
std::string knowledge_base_page(const Deployment& deployment);

// Whether the web host's name resolves (the network is there). It may wait for the name
// service: never call it where a wait would hold up the interface.
bool web_host_resolves(const Deployment& deployment);

} // namespace service_address
