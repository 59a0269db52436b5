#pragma once
#include <atomic>
#include <boost/signals2/signal.hpp>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <string>

#include "telephony/call_control.h"
#include "telephony/sipx/sipx.h"
#include "telephony/ticker.h"

struct AppSettings;

namespace Gtk {
class Widget;
}

// The process-wide owner of the SIP stack: it starts the stack, registers the user's one
// line and keeps one voice-mail subscription for it, watches that the service still
// answers, runs the one call at a time (a second caller is told "busy"), turns stack
// events into log lines and signals, and reads the waiting voice-mail count.
//
// Threads: the operations run on the interface thread; on_sipx_event and the signals it
// raises run on the SIP engine thread. The fields both threads touch are single atomic
// words; no lock is held around stack calls.
class CallManager : public CallControl {
public:
    // The program's one call manager, created on first use and never destroyed.
    static CallManager& instance();

    // Finds the local interface that reaches the service ("0.0.0.0" for none).
    using NetworkProbe = std::function<std::string()>;
    // The program uses instance(), which probes the real network; tests build their own
    // with a probe that never touches it.
    explicit CallManager(NetworkProbe probe);
    // Stops the stack it started, so no event reaches a manager that is gone. (The
    // program's own manager is never destroyed; its stack runs until the process ends.)
    ~CallManager() override;
    CallManager(const CallManager&) = delete;
    CallManager& operator=(const CallManager&) = delete;

    // ---- Signals, in this order. Slots run on the raising thread, in connection order.
    // Call events carry the call they belong to.
    boost::signals2::signal<void(SIPX_CALLSTATE_EVENT, SIPX_CALLSTATE_CAUSE, SIPX_CALL)> call_state_changed;
    // LINESTATE_REGISTER_FAILED also when the service stops answering while signed in.
    boost::signals2::signal<void(SIPX_LINESTATE_EVENT)> line_state_changed;
    boost::signals2::signal<void(SIPX_CONFIG_EVENT)> config_event;
    boost::signals2::signal<void(int count)> messages_waiting;
    boost::signals2::signal<void()> show_register_page;
    // About every 100 ms while the current call is connected (from a thread of its own).
    boost::signals2::signal<void()> levels_changed;
    boost::signals2::signal<void()> logout_requested;
    boost::signals2::signal<void()> login_check_requested;
    // A caller refused as busy during a call: the user part of their identity.
    boost::signals2::signal<void(const std::string& caller)> missed_call;

    static constexpr std::chrono::milliseconds kLevelPeriod{100};
    static constexpr int kRegisterExpirationSeconds = 1000;
    // How often the service is asked whether it still answers, while signed in.
    static constexpr int kKeepAliveSeconds = 10;
    // How long unregister waits for the service to confirm.
    static constexpr std::chrono::milliseconds kUnregisterWait{1000};

    // ---- The setup wizard's echo-test page and its two status labels, registered by that
    // page, and the last texts it put into the labels (interface thread only).
    Gtk::Widget* m_echo_page = nullptr;
    Gtk::Widget* m_echo_label1 = nullptr;
    Gtk::Widget* m_echo_label2 = nullptr;
    std::string m_echo_text1;
    std::string m_echo_text2;

    // ---- Set-up and line
    // Starts the stack once; true when it is up. A second call leaves the running stack alone.
    bool init();
    void set_account_type(const std::string& account_type) override;
    // Takes effect at the next login.
    void set_outbound_proxy(const std::string& proxy) override;
    // Stores the account, then adds, authenticates and registers a new line (removing the
    // previous one and its subscription), and watches the service. The outcome arrives as
    // line-state events.
    void login(const std::string& user, const std::string& password) override;
    // Interface thread only: it waits (at most kUnregisterWait) for the line-state event.
    void unregister() override;
    // Registration expiry of the next login (tests shorten it).
    void set_register_expiration(int seconds) { m_register_expiration = seconds; }
    bool logged_in() const override { return m_logged_in; }
    SIPX_INST stack_handle() const { return m_inst; }
    // One timestamped line in kalvo.log; any thread.
    void write_log_file(const std::string& text);

    // ---- Calls
    bool in_call() override;
    SIPX_CALL current_call() const override { return m_call; }
    void place_call(const std::string& target) override;
    void end_call() override;
    void answer() override;
    void reject() override;
    void hold(bool on_hold) override;
    void mute(bool muted) override;
    // A DTMF tone: the key's character code ('#' is 35).
    void start_tone(int tone, bool local, bool remote) override;
    void end_tone(int tone) override;
    // The user part of the far end's identity, or the whole identity.
    std::string remote_user() override;
    // The current call's microphone and far-end levels in dB, -100 (silence) to 0, so that
    // "level + 100" reads 0-100; -100 for both without a call.
    void get_levels(int& input_level, int& output_level) override;

    // ---- Events
    // Call and line events belong to the setup wizard while this is set.
    void set_wizard_mode(bool on) override { m_wizard_mode = on; }
    bool wizard_mode() const override { return m_wizard_mode; }
    // Asks the main window to sign the stored user in.
    void request_login_check() { login_check_requested(); }

    // The stack's event callback; user data is the call manager. True for the categories
    // it handles.
    static bool on_sipx_event(SIPX_EVENT_CATEGORY category, void* info, void* user_data);

    // Diagnostics for tests and the log.
    SIPX_SUB subscription() const { return m_sub; }
    SIPX_LINE line() const { return m_line; }
    bool levels_running() const { return m_levels.running(); }
    int call_activity() const { return m_state; }
    const std::string& bind_address() const { return m_bind_address; }
    const std::string& account_type() const { return m_account_type; }

private:
    // One message in the log window.
    static void log_window(const std::string& text);

    bool handle_event(SIPX_EVENT_CATEGORY category, const void* info);
    void on_call_state(const SIPX_CALLSTATE_INFO& info);
    void on_line_state(const SIPX_LINESTATE_INFO& info);
    void on_notify(const SIPX_NOTIFY_INFO& info);
    void on_keepalive(const SIPX_KEEPALIVE_INFO& info);
    bool refuse_second_call(const SIPX_CALLSTATE_INFO& info);
    void run_call_side_effects(const SIPX_CALLSTATE_INFO& info);
    void keep_subscribed();
    void end_subscription();
    void watch_service();
    void stop_watching_service();
    void note_line_state(SIPX_LINESTATE_EVENT event);
    void log_event_text(SIPX_EVENT_CATEGORY category, const void* info);

    bool start_stack(const AppSettings& settings);
    void log_codecs();
    void log_local_contacts();
    void choose_audio_devices(int input_device, int output_device);
    // Destroys the current call; m_call takes the handle the stack leaves, unless an event
    // adopted another call meanwhile.
    SIPX_RESULT destroy_current_call();

    NetworkProbe m_probe;
    std::atomic<SIPX_INST> m_inst{nullptr};
    std::atomic<SIPX_LINE> m_line{SIPX_LINE_NULL};
    std::atomic<SIPX_CALL> m_call{SIPX_CALL_NULL};
    std::atomic<SIPX_CALL> m_ending{SIPX_CALL_NULL}; // the call being destroyed right now
    std::atomic<SIPX_SUB> m_sub{SIPX_SUB_NULL};
    std::atomic<int> m_state{0};
    std::atomic<bool> m_logged_in{false};
    std::atomic<bool> m_wizard_mode{false};
    std::string m_account_type;
    std::string m_outbound_proxy;
    std::string m_bind_address;
    int m_register_expiration = kRegisterExpirationSeconds;

    // The subscription is made anew at the next registration (the line failed meanwhile,
    // so the service may have forgotten it).
    std::atomic<bool> m_resubscribe{false};
    // The service stopped answering the keep-alive while signed in.
    std::atomic<bool> m_offline{false};
    // The keep-alive's far end (interface thread only).
    std::string m_watched_host;
    int m_watched_port = 0;
    // Calls refused as busy, until their end (engine thread only).
    std::set<SIPX_CALL> m_refused;
    // Whether the line is registered, for unregister's wait.
    std::mutex m_line_mutex;
    std::condition_variable m_line_changed;
    bool m_registered = false;
    // Last: its thread raises levels_changed, so it ends first.
    Ticker m_levels{kLevelPeriod, [this] { levels_changed(); }};
};
