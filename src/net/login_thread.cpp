#include "net/login_thread.h"

#include <thread>

#include "base/messages.h"
#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/service_requests.h"
#include "settings/app_settings.h"
#include "version.h"

std::string local_product_version()
{
    return KALVO_PRODUCT_VERSION;
}

namespace login_thread {

void start(LoginAttempt attempt)
{
    std::thread([attempt = std::move(attempt)] { run(attempt); }).detach();
}

void run(const LoginAttempt& attempt)
{
    AppSettings settings;
    settings.load();
    HttpRequest request = version_check_request(settings.username, settings.password, attempt.deployment);
    log_file::write_line("LOGIN - Username is " + settings.username);

    HttpReply answer = get_text(request);
    if (!answer.ok()) {
        log_file::write_line("LOGIN - Error getting version information");
        ui_thread::send(attempt.main_window, messages::UWM_DO_CONNECTION_MSG);
        return;
    }

    log_file::write_line("LOGIN - Got version information");
    VersionReply reply = VersionReply::parse(answer.body);
    for (size_t line = 0; line < 7; ++line)
        LogDlg::instance().append(reply.lines[line]);
    if (attempt.values)
        attempt.values->store(reply);

    std::string local_version =
        attempt.local_version.empty() ? local_product_version() : attempt.local_version;
    int local_number = version_number(local_version);
    log_file::write_line("LOGIN - Local version is " + local_version);

    if (local_number < version_number(reply.current_version())) {
        LogDlg::instance().append("Our version is old");
        ui_thread::send_text(attempt.main_window, messages::UWM_DO_UPDATE_MSG, reply.download_address());
        return;
    }
    LogDlg::instance().append("Version is up to date, logging in");
    ui_thread::post(attempt.main_window, messages::UWM_LOGIN_MSG);
}

} // namespace login_thread
