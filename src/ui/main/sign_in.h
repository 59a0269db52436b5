#pragma once
#include <functional>
#include <memory>
#include <string>

#include "ui/main/login_handshake.h"

namespace ui_thread {
class MessageTarget;
}
class CallControl;
class LoginReplyValues;
class MainView;
class TimerTable;

// The main window's sign-in role: the account it keeps, the login threads it starts, the
// per-login reply values they store, and the hand-shake that follows (LoginHandshake),
// acting through the window's timers, message boxes, call manager and pages.
class SignIn : public LoginHost {
public:
    // `window` receives the threads' messages; `set_logged_in` is told when the hand-shake
    // changes the signed-in state.
    SignIn(ui_thread::MessageTarget& window, MainView& view, CallControl& calls, TimerTable& timers,
        std::function<void(bool)> set_logged_in);
    ~SignIn() override;

    LoginHandshake& handshake() { return m_handshake; }
    const LoginReplyValues& reply() const { return *m_reply; }

    // Stores the page's account in the settings and keeps the copies the hand-shake uses.
    void KeepAccount(const std::string& user, const std::string& password);
    // UWM_LOGIN_MSG: the version check has passed.
    void OnLoginMessage();

    // LoginHost
    void set_timer(unsigned id, unsigned milliseconds) override;
    void kill_timer(unsigned id) override;
    int message_box(const std::string& text, const std::string& title, BoxStyle style) override;
    void set_account_type(const std::string& type) override;
    void set_outbound_proxy(const std::string& host) override;
    void login(const std::string& user, const std::string& password) override;
    bool wizard_mode() const override;
    void run_page_script(const std::string& script) override;
    void navigate_content(const std::string& url) override;
    void navigate_tab(const std::string& url, int flags) override;
    void set_logged_in(bool logged_in) override;
    void post_login_message() override;
    void post_close() override;
    void start_login_thread() override;
    void start_update_worker(const std::string& address) override;

private:
    ui_thread::MessageTarget& m_window;
    MainView& m_view;
    CallControl& m_calls;
    TimerTable& m_timers;
    std::function<void(bool)> m_set_logged_in;
    // Shared with the login threads, so a thread that outlives the window stores safely.
    std::shared_ptr<LoginReplyValues> m_reply;
    LoginHandshake m_handshake;
};
