#include "ui/main/sign_in.h"

#include <gtkmm.h>

#include "base/messages.h"
#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "log/log_dlg.h"
#include "net/login_reply_values.h"
#include "net/login_thread.h"
#include "net/update_worker.h"
#include "settings/app_settings.h"
#include "telephony/call_control.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/progress_dlg.h"
#include "ui/main/main_view.h"

SignIn::SignIn(ui_thread::MessageTarget& window, MainView& view, CallControl& calls, TimerTable& timers,
    std::function<void(bool)> set_logged_in)
    : m_window(window), m_view(view), m_calls(calls), m_timers(timers),
      m_set_logged_in(std::move(set_logged_in)), m_reply(std::make_shared<LoginReplyValues>()),
      m_handshake(*this)
{
}

SignIn::~SignIn() = default;

void SignIn::KeepAccount(const std::string& user, const std::string& password)
{
    AppSettings settings;
    settings.load();
    settings.username = user;
    settings.password = password;
    settings.save();
    m_handshake.set_credentials(user, password);
}

void SignIn::OnLoginMessage()
{
    m_handshake.OnLogin(m_reply->get());
}

void SignIn::set_timer(unsigned id, unsigned milliseconds)
{
    m_timers.set_timer(id, milliseconds);
}

void SignIn::kill_timer(unsigned id)
{
    m_timers.kill_timer(id);
}

int SignIn::message_box(const std::string& text, const std::string& title, BoxStyle style)
{
    if (style == BoxStyle::Error) {
        ::message_box(text, title, Gtk::MESSAGE_ERROR, Gtk::BUTTONS_OK);
        return IDOK;
    }
    return ::message_box(text, title, Gtk::MESSAGE_WARNING, Gtk::BUTTONS_YES_NO) == Gtk::RESPONSE_YES ? IDYES
                                                                                                      : IDNO;
}

void SignIn::set_account_type(const std::string& type)
{
    m_calls.set_account_type(type);
}

void SignIn::set_outbound_proxy(const std::string& host)
{
    m_calls.set_outbound_proxy(host);
}

void SignIn::login(const std::string& user, const std::string& password)
{
    m_calls.login(user, password);
}

bool SignIn::wizard_mode() const
{
    return m_calls.wizard_mode();
}

void SignIn::run_page_script(const std::string& script)
{
    m_view.RunScript("content", script);
}

void SignIn::navigate_content(const std::string& url)
{
    m_view.Navigate("content", url);
}

void SignIn::navigate_tab(const std::string& url, int)
{
    m_view.Navigate("tab", url);
}

void SignIn::set_logged_in(bool logged_in)
{
    if (m_set_logged_in)
        m_set_logged_in(logged_in);
}

void SignIn::post_login_message()
{
    ui_thread::post(&m_window, messages::UWM_LOGIN_MSG);
}

void SignIn::post_close()
{
    ui_thread::post(&m_window, messages::WM_CLOSE);
}

void SignIn::start_login_thread()
{
    LogDlg::instance().append("Creating LoginThread");
    LoginAttempt attempt;
    attempt.main_window = &m_window;
    attempt.values = m_reply;
    attempt.local_version = local_product_version();
    login_thread::start(std::move(attempt));
}

void SignIn::start_update_worker(const std::string& address)
{
    UpdateDownload download;
    download.main_window = &m_window;
    download.address = address;
    download.progress = ProgressDlg::instance().progress_callback();
    update_worker::start(std::move(download));
}
