#include "ui/main/login_handshake.h"

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "skin/kalvo_skin_file.h"

namespace {

const char* const kNoConnectionText =
    "Kalvo requires an Internet connection to run.\nPlease check your connection and try again.";
const char* const kNoConnectionTitle = "No Internet connection";
const char* const kUpdateText = "An update is needed for Kalvo to continue.\nDo you wish to download it now?";
const char* const kUpdateTitle = "Update Available";
const char* const kUpdateFailedTitle = "Update failed";
const char* const kLoginTimeoutText =
    "Kalvo could not connect to the login server.  This could mean that there is \ncurrently an error with "
    "Kalvo, or that you have a firewall or other \napplication blocking Kalvo's access to the Internet.";
const char* const kLoginTimeoutTitle = "Error logging in";

void log_window(const std::string& text)
{
    LogDlg::instance().append(text);
}

} // namespace

int next_retry_backoff(int seconds)
{
    switch (seconds) {
    case 0:
        return 10;
    case 10:
        return 30;
    case 30:
        return 60;
    case 60:
    case 120:
        return 120;
    default:
        return 300;
    }
}

LoginHandshake::LoginHandshake(LoginHost& host, const Deployment& deployment)
    : m_host(host), m_deployment(deployment)
{
}

void LoginHandshake::set_credentials(const std::string& display_name, const std::string& password)
{
    m_display_name = display_name;
    m_password = password;
}

void LoginHandshake::OnLogin(const LoginValues& reply)
{
    if (!m_stun_done) {
        m_host.set_timer(kStunWaitTimer, kStunWaitMs);
        m_login_pending = true;
        return;
    }
    // This login is under way: a later STUN result must not start it again.
    m_login_pending = false;

    AppSettings settings;
    settings.load();
    if (m_display_name.empty())
        m_display_name = settings.username;
    if (m_password.empty())
        m_password = settings.password;

    log_window("OnLogin");
    log_window(m_display_name);
    log_window(kMaskedPassword);

    m_host.set_account_type(reply.account_type);
    m_host.set_timer(kLoginTimeoutTimer, kLoginTimeoutMs);
    m_host.set_outbound_proxy(reply.outbound_proxy.empty() ? m_deployment.gateway : reply.outbound_proxy);
    m_host.login(m_display_name, m_password);
    m_host.navigate_tab(m_deployment.secure_http + "/live/tab.php", kNavigateNoHistoryNoCache);
}

void LoginHandshake::OnConfigState(int event)
{
    if (event != kConfigStunSuccess && event != kConfigStunFailure)
        return;
    log_file::write_line(event == kConfigStunSuccess ? "LOGIN - STUN success" : "LOGIN - STUN failure");
    m_stun_done = true;
    if (m_login_pending)
        m_host.post_login_message();
}

void LoginHandshake::OnDoConnection()
{
    if (m_reconnect) {
        log_window("Setting re-connection timer");
        m_host.set_timer(kRetryTimer, static_cast<unsigned>(m_retry_backoff) * 1000u);
    } else if (m_host.message_box(kNoConnectionText, kNoConnectionTitle, LoginHost::BoxStyle::Error) ==
        LoginHost::IDOK) {
        m_host.run_page_script("loginError()");
    }
    log_window("Shut down CallManager");

    AppSettings settings;
    settings.load();
    m_host.navigate_content(service_address::login_page_address(
        kalvo_skin_file(""), settings.username, settings.password, settings.remember_user, false, false));
    m_host.set_logged_in(false);
}

void LoginHandshake::OnDoUpdate(const std::string& address)
{
    if (m_host.message_box(kUpdateText, kUpdateTitle, LoginHost::BoxStyle::YesNoExclamation) !=
        LoginHost::IDYES) {
        m_host.post_close();
        return;
    }
    m_update_address = address;
    m_host.run_page_script("loginStatus('Downloading update...')");
    m_host.start_update_worker(m_update_address);
}

void LoginHandshake::OnUpdateDone(const std::string& failure)
{
    if (failure.empty()) {
        m_host.post_close(); // the installer runs and the process is ending
        return;
    }
    m_host.close_update_progress();
    log_window("Update failed: " + failure);
    m_host.message_box("Kalvo could not download the update: " + failure + ".\nPlease try again later.",
        kUpdateFailedTitle, LoginHost::BoxStyle::Error);
    // The page said "Downloading update...": its form comes back for another try.
    m_host.run_page_script("loginError()");
    m_host.post_close();
}

void LoginHandshake::OnRegistered()
{
    m_host.kill_timer(kLoginTimeoutTimer);
    // Once a line has registered, a lost connection retries with back-off instead of a box.
    m_reconnect = true;
}

bool LoginHandshake::OnTimer(unsigned id)
{
    switch (id) {
    case kRetryTimer:
        OnRetryTimer();
        return true;
    case kLoginTimeoutTimer:
        OnLoginTimeout();
        return true;
    case kStunWaitTimer:
        OnStunWaitTimer();
        return true;
    default:
        return false;
    }
}

void LoginHandshake::OnRetryTimer()
{
    m_host.kill_timer(kRetryTimer);
    m_retry_backoff = next_retry_backoff(m_retry_backoff);
    log_window("In startup timer");
    log_window("Creating LoginThread");
    m_host.start_login_thread();
}

void LoginHandshake::OnLoginTimeout()
{
    if (m_host.wizard_mode())
        return;
    log_file::write_line("LOGIN - Login timed out");
    m_host.kill_timer(kLoginTimeoutTimer);
    m_host.message_box(kLoginTimeoutText, kLoginTimeoutTitle, LoginHost::BoxStyle::Error);
    m_host.run_page_script("loginError()");
}

void LoginHandshake::OnStunWaitTimer()
{
    m_stun_done = true;
    m_host.post_login_message();
    m_host.kill_timer(kStunWaitTimer);
}
