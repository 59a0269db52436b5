#pragma once
#include <string>

#include "settings/app_settings.h"

// The skin's local login page as a file URL: login.html in the skin folder "Kalvo" with
// the query u (user name), p (stored password), s (remember_user) and a (the given
// automatic-login flag), flags written "true" or "false". The values are percent-encoded
// so that a name or password holding "&", "#" or "=" reaches the page unchanged.
std::string local_login_page_url(const AppSettings& settings, bool auto_login);
