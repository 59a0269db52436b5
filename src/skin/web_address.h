#pragma once
#include <string>

struct AppSettings;
struct Deployment;

namespace Skin {

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

} // namespace Skin
