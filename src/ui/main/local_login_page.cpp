#include "ui/main/local_login_page.h"

#include <glib.h>

#include "net/service_requests.h"
#include "skin/kalvo_skin_file.h"

namespace {

const char* flag_text(bool flag)
{
    return flag ? "true" : "false";
}

} // namespace

std::string local_login_page_url(const AppSettings& settings, bool auto_login)
{
    std::string page = kalvo_skin_file("login.html");
    std::string page_url = "file://" + page;
    if (gchar* uri = g_filename_to_uri(page.c_str(), nullptr, nullptr)) { // escapes blanks and the like
        page_url = uri;
        g_free(uri);
    }
    return page_url + "?u=" + percent_encode(settings.username) + "&p=" + percent_encode(settings.password) +
        "&s=" + flag_text(settings.remember_user) + "&a=" + flag_text(auto_login);
}
