#include "ui/main/line_presenter.h"

#include <glib.h>

#include "base/timer_table.h"
#include "log/log_dlg.h"
#include "log/log_file.h"
#include "net/login_reply_values.h"
#include "net/service_addresses.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "skin/loader.h"
#include "telephony/call_control.h"
#include "telephony/sipx/sipx.h"
#include "ui/main/login_handshake.h"
#include "ui/main/main_view.h"
#include "ui/main/presentation_text.h"
#include "ui/web/main_page_cache.h"
#include "ui/wizard/wiz_echo_page.h"

namespace {

void log(const std::string& line)
{
    LogDlg::instance().append(line);
}

std::string skin_page(const std::string& name)
{
    return paths::join(paths::join(Skin::Loader::SkinsFolder(), "Kalvo"), name);
}

} // namespace

LinePresenter::LinePresenter(MainView& view, CallControl& calls, TimerTable& timers, LoginHandshake& login,
    const LoginReplyValues& reply, MainPageSource main_page)
    : m_view(view), m_calls(calls), m_timers(timers), m_login(login), m_reply(reply),
      m_main_page(std::move(main_page))
{
}

LinePresenter::~LinePresenter()
{
    LeaveService();
}

void LinePresenter::OnLineState(int event)
{
    if (m_calls.wizard_mode()) {
        wiz_echo_event(event, 0);
        return;
    }
    if (event == LINESTATE_REGISTERING) {
        log("LINESTATE_REGISTERING");
    } else if (event == LINESTATE_REGISTER_FAILED) {
        log_file::write_line("LINESTATE - LINESTATE_REGISTER_FAILED");
        // Signed in, the line lost: nobody can call the user until it registers again.
        if (m_logged_in)
            ShowOffline(true);
    } else if (event == LINESTATE_REGISTERED) {
        OnRegistered();
    }
}

void LinePresenter::OnRegistered()
{
    log_file::write_line("LINESTATE - LINESTATE_REGISTERED");
    registry_string install_path(settings_path("install_path"));
    if (install_path.get().empty()) {
        install_path.set(paths::user_data_dir());
        log_file::set_folder(paths::user_data_dir());
    }
    if (!m_logged_in) {
        m_view.ShowElement("content", false);
        m_view.Navigate("content", service_address::file_address(skin_page("blank.html")));
    }
    m_view.SetLabel("label_username", m_login.display_name());
    LoginValues reply = m_reply.get();
    m_view.SetLabel("label_details", reply.account_details);
    ShowOffline(false);
    ShowClock();
    m_view.SetLabel("label_voicemail", presentation::kNoMessages);
    m_timers.set_timer(kVoicemailTimer, kVoicemailPeriodMs);
    ShowSignedInElements(true);
    m_view.ShowMainTabs(true);
    m_view.SetContentLayout(MainView::ContentLayout::SignedIn);
    m_login.OnRegistered();
    log("LINESTATE_REGISTERED");
    m_view.SetTrayLoggedIn(true);
    m_view.ShowTabDialog(true);
    log(m_view.HasPage("tab") ? "********** Got our tab web element"
                              : "********** Error getting tab web element");

    if (!m_logged_in) {
        // The download may take up to its time-out: the window goes on meanwhile.
        unsigned request = ++m_main_page_request;
        ui_thread::run_on_worker(&m_results, m_main_page,
            [this, request](const main_page::Choice& choice) { OnMainPage(request, choice); });
    }
    m_logged_in = true;
    m_view.Redraw();
}

void LinePresenter::OnMainPage(unsigned request, const main_page::Choice& choice)
{
    for (const std::string& line : choice.log)
        log(line);
    log(choice.address);
    if (request != m_main_page_request || !m_logged_in)
        return; // signed out or offline since
    m_view.Navigate("content", choice.address);
    // The information page was opened for the user stored at start; open it for the
    // account that just signed in, so the window shows that account's notice.
    AppSettings settings;
    settings.load();
    m_view.Navigate("info",
        service_address::web_start_address("info", Skin::Loader::SkinsFolder(), settings, Deployment::get()));
    LoginValues reply = m_reply.get();
    m_view.ShowInfoNotice(reply.info_version, reply.show_info);
    m_view.ShowElement("content", true);
    m_view.Redraw();
}

void LinePresenter::SignOut()
{
    m_timers.kill_timer(kLoginTimeoutTimer);
    m_offline = false;
    m_view.SetTrayOffline(false);
    m_view.SetTrayLoggedIn(false);
    ShowSignedInElements(false);
    m_calls.unregister();
    m_view.SetContentLayout(MainView::ContentLayout::SignedOut);
    ShowLoginPage(true);
    m_logged_in = false;
    ++m_main_page_request;
    m_view.ShowTabDialog(false);
    std::string address = service_address::tab_page(Deployment::get());
    log("Opening URL " + address);
    m_view.Navigate("tab", address);
}

void LinePresenter::LeaveService()
{
    if (!m_calls.logged_in())
        return;
    if (m_calls.in_call())
        m_calls.end_call();
    m_calls.unregister();
}

void LinePresenter::ShowOffline(bool offline)
{
    if (offline == m_offline)
        return;
    m_offline = offline;
    m_view.SetTrayOffline(offline);
    if (offline) {
        log_file::write_line("LINESTATE - Offline: the service does not answer");
        m_view.SetLabel("label_details", presentation::kOfflineStatus);
    }
    m_view.RunScript("content",
        presentation::login_status_script(
            offline ? presentation::kOfflineStatus : presentation::kSignedInStatus));
}

void LinePresenter::StartHostCheck()
{
    m_timers.set_timer(kHostCheckTimer, kHostCheckPeriodMs);
}

void LinePresenter::ShowLoginPage(bool after_sign_out)
{
    AppSettings settings;
    settings.load();
    m_view.Navigate("content",
        service_address::login_page_address(paths::join(Skin::Loader::SkinsFolder(), "Kalvo"),
            settings.username, settings.password, settings.remember_user, settings.auto_login,
            after_sign_out));
}

bool LinePresenter::OnTimer(unsigned id)
{
    if (id == kHostCheckTimer) {
        // One look-up at a time, on a worker; the next is armed when it has answered.
        m_timers.kill_timer(kHostCheckTimer);
        ui_thread::run_on_worker(
            &m_results,
            [deployment = Deployment::get()] { return service_address::web_host_resolves(deployment); },
            [this](bool resolves) { OnHostChecked(resolves); });
        return true;
    }
    if (id == kClockTimer) {
        ShowClock();
        return true;
    }
    if (id == kVoicemailTimer) {
        m_view.SetLabel("label_voicemail", presentation::kNoMessages);
        return true;
    }
    return false;
}

void LinePresenter::ShowClock()
{
    GDateTime* now = g_date_time_new_now_local();
    m_view.SetLabel(
        "label_time", presentation::clock_text(g_date_time_get_hour(now), g_date_time_get_minute(now)));
    // The label reads minutes: the next tick is when it changes, not every second.
    m_timers.set_timer(kClockTimer,
        presentation::clock_delay_ms(g_date_time_get_second(now), g_date_time_get_microsecond(now) / 1000));
    g_date_time_unref(now);
}

void LinePresenter::OnHostChecked(bool resolves)
{
    if (!resolves) {
        m_logged_in = false;
        ++m_main_page_request;
        // Reloading the sign-in page would wipe what the user is typing into it.
        m_view.AskPage(
            "content", "typeof holdsTypedText === 'function' && holdsTypedText()", [this](bool typing) {
                ui_thread::invoke_for(&m_results, [this, typing] {
                    if (!typing)
                        ShowLoginPage(false);
                });
            });
    }
    StartHostCheck();
}

void LinePresenter::OnVoicemailCount(int count)
{
    m_view.SetLabel("label_voicemail", presentation::voicemail_text(count));
}

void LinePresenter::ShowSignedInElements(bool visible)
{
    for (const char* name : {"voicemail", "label_time", "label_voicemail", "label_username", "label_details"})
        m_view.ShowElement(name, visible);
}

main_page::Choice LinePresenter::LoadMainPage()
{
    AppSettings settings;
    settings.load();
    registry_string install_path(settings_path("install_path"));
    return main_page::load(settings.username, settings.password, install_path.get(),
        Skin::Loader::SkinsFolder(), Deployment::get());
}
