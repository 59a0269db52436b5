#pragma once
#include <string>

#include "net/login_reply_values.h"
#include "settings/deployment.h"

// What the sign-in hand-shake asks of the main window. The main window implements it
// over its timer table, message boxes, call manager and web elements.
class LoginHost {
public:
    enum class BoxStyle { Error, YesNoExclamation };
    enum BoxAnswer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

    virtual ~LoginHost() = default;

    virtual void set_timer(unsigned id, unsigned milliseconds) = 0;
    virtual void kill_timer(unsigned id) = 0;
    // A modal message box owned by the main window; the button pressed.
    virtual int message_box(const std::string& text, const std::string& title, BoxStyle style) = 0;

    // The call manager.
    virtual void set_account_type(const std::string& type) = 0;
    virtual void set_outbound_proxy(const std::string& host) = 0;
    virtual void login(const std::string& user, const std::string& password) = 0;
    virtual bool wizard_mode() const = 0;

    // The main page ("content") and the side panel ("tab").
    virtual void run_page_script(const std::string& script) = 0;
    // Grants "content" its navigation permission, then navigates it. The local login
    // page's address carries the stored password: never log it in clear.
    virtual void navigate_content(const std::string& url) = 0;
    virtual void navigate_tab(const std::string& url, int flags) = 0;
    virtual void set_logged_in(bool logged_in) = 0;

    virtual void post_login_message() = 0; // UWM_LOGIN_MSG to the main window
    virtual void post_close() = 0; // WM_CLOSE to the main window
    virtual void start_login_thread() = 0;
    // Shows the progress window over the main window and starts the download.
    virtual void start_update_worker(const std::string& address) = 0;
    virtual void close_update_progress() = 0;
};

// The main window's timers of the sign-in.
enum LoginTimer : unsigned {
    kRetryTimer = 8,
    kLoginTimeoutTimer = 9,
    kStunWaitTimer = 14,
};
inline constexpr unsigned kLoginTimeoutMs = 20000;
inline constexpr unsigned kStunWaitMs = 10000;

// Navigation flags of the side panel's page: no history, no cache read, no cache write.
inline constexpr int kNavigateNoHistoryNoCache = 14;

// SIP stack configuration events that end the wait for STUN.
inline constexpr int kConfigStunSuccess = 40000;
inline constexpr int kConfigStunFailure = 41000;

// The retry back-off after `seconds`: 0 → 10 → 30 → 60 → 120 → 120, any other value → 300.
int next_retry_backoff(int seconds);

// The main window's side of the sign-in: the login step after the version check waits for
// the STUN result (at most 10 s), then hands the account to the call manager; a failed
// version check shows the no-connection box (or, once a line has registered, retries with
// back-off); a newer version asks to download the update. Interface thread only.
class LoginHandshake {
public:
    explicit LoginHandshake(LoginHost& host, const Deployment& deployment = Deployment::get());

    // The page's login command: display name and password copies.
    void set_credentials(const std::string& display_name, const std::string& password);

    // UWM_LOGIN_MSG, with the kept reply values of the last version check.
    void OnLogin(const LoginValues& reply);
    // UWM_CONFIGSTATE_MSG: a STUN result ends the wait; other events are ignored.
    void OnConfigState(int event);
    // UWM_DO_CONNECTION_MSG.
    void OnDoConnection();
    // UWM_DO_UPDATE_MSG with the download address.
    void OnDoUpdate(const std::string& address);
    // UWM_UPDATE_DONE_MSG: with no text the installer runs and the window closes; with the
    // reason the update could not be downloaded or started, the progress window closes,
    // the user is told, and the program goes on as after a declined update.
    void OnUpdateDone(const std::string& failure);
    // LINESTATE_REGISTERED: the login has succeeded.
    void OnRegistered();
    // Timers 8, 9 and 14; false for any other id.
    bool OnTimer(unsigned id);

    bool stun_done() const { return m_stun_done; }
    bool login_pending() const { return m_login_pending; }
    bool reconnect() const { return m_reconnect; }
    int retry_backoff() const { return m_retry_backoff; }
    const std::string& display_name() const { return m_display_name; }
    const std::string& update_address() const { return m_update_address; }

private:
    void OnRetryTimer();
    void OnLoginTimeout();
    void OnStunWaitTimer();

    LoginHost& m_host;
    Deployment m_deployment;
    bool m_stun_done = false;
    bool m_login_pending = false;
    bool m_reconnect = false;
    int m_retry_backoff = 0;
    std::string m_display_name;
    std::string m_password;
    std::string m_update_address;
};
