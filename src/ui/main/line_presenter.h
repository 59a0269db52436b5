#pragma once
#include <functional>
#include <string>

#include "base/ui_thread.h"
#include "ui/web/main_page_cache.h"

class CallControl;
class LoginHandshake;
class LoginReplyValues;
class MainView;
class TimerTable;

// The signed-in view of the main window: what it shows when the line registers (labels,
// main tab strip, the service's main page, the tray's signed-in form, the clock and the
// voice-mail label), while the registration is lost (offline: the tray, the details label
// and the page's status line say so until the line registers again) and when the user
// signs out. When the window goes (the program ends) the line leaves the service.
// Interface thread only; the network work (the host check, the main-page download) runs
// on workers whose results come back through the interface queue.
class LinePresenter {
public:
    // The address the "content" page shows once signed in (the main page, cached or live)
    // and its log lines; runs on a worker.
    using MainPageSource = std::function<main_page::Choice()>;

    enum Timer : unsigned { kHostCheckTimer = 4, kClockTimer = 10, kVoicemailTimer = 11 };
    static constexpr unsigned kHostCheckPeriodMs = 20000;
    static constexpr unsigned kVoicemailPeriodMs = 120000;

    LinePresenter(MainView& view, CallControl& calls, TimerTable& timers, LoginHandshake& login,
        const LoginReplyValues& reply, MainPageSource main_page = LoadMainPage);
    ~LinePresenter(); // LeaveService

    // UWM_LINESTATE_MSG (the setup wizard's echo test gets it while the wizard runs).
    void OnLineState(int event);
    // Every 20 s: when the service's web host no longer resolves, the local login page
    // comes back (unless the user is typing into it).
    void StartHostCheck();
    // The sign-out: the line is unregistered and the local login page comes back.
    void SignOut();
    // A call in progress ends and the line is unregistered (waiting a moment for the
    // service), when one was signed in.
    void LeaveService();
    // Timers 4, 10 and 11; false for any other id.
    bool OnTimer(unsigned id);
    // The message-waiting count from the voice-mail subscription.
    void OnVoicemailCount(int count);

    bool logged_in() const { return m_logged_in; }
    bool offline() const { return m_offline; }
    void set_logged_in(bool logged_in) { m_logged_in = logged_in; }

    // Downloads the stored account's main page into the cache (see main_page::load).
    static main_page::Choice LoadMainPage();

private:
    void OnRegistered();
    void OnMainPage(unsigned request, const main_page::Choice& choice);
    void OnHostChecked(bool resolves);
    void ShowClock();
    void ShowLoginPage(bool after_sign_out);
    void ShowSignedInElements(bool visible);
    void ShowOffline(bool offline);

    MainView& m_view;
    CallControl& m_calls;
    TimerTable& m_timers;
    LoginHandshake& m_login;
    const LoginReplyValues& m_reply;
    MainPageSource m_main_page;
    bool m_logged_in = false;
    // The main-page download whose result is still wanted; a sign-out or going offline
    // meanwhile makes the result stale.
    unsigned m_main_page_request = 0;
    ui_thread::InvokeTarget m_results; // worker results are dropped once this is gone
    bool m_offline = false;
};
