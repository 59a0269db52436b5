#pragma once
// Stand-ins for the telephone and the screen, so the main window's presenters run
// without a SIP stack or a display. Both record what they are asked, one line a call.
#include <map>
#include <string>
#include <vector>

#include "telephony/call_control.h"
#include "ui/main/login_handshake.h"
#include "ui/main/main_view.h"

class Recorder {
public:
    std::vector<std::string> calls;
    // The calls so far, forgetting them.
    std::vector<std::string> take();

protected:
    void record(const std::string& call) { calls.push_back(call); }
};

// "script content doCall('bob', 'incoming')", "image connection disconnect", ...
class RecordingView : public MainView, public Recorder {
public:
    std::map<std::string, std::string> inputs;
    std::map<std::string, std::string> labels; // the last text of each label
    bool on_screen = true;

    void ShowElement(const std::string& name, bool visible) override;
    void SetLabel(const std::string& name, const std::string& text) override;
    std::optional<std::string> InputText(const std::string& name) const override;
    void SetElementImage(const std::string& name, const std::string& image) override;
    void ShowMainTabs(bool visible) override;
    void SetContentLayout(ContentLayout layout) override;
    void ShowTabDialog(bool visible) override;
    void Redraw() override;
    bool OnScreen() const override { return on_screen; }
    bool HasPage(const std::string&) const override { return true; }
    void RunScript(const std::string& page, const std::string& script) override;
    void Navigate(const std::string& page, const std::string& address) override;
    void GrantNavigation(const std::string& page) override;
    void SetTrayLoggedIn(bool logged_in) override;
    void SetTrayOffline(bool offline) override;
    void ShowInfoNotice(const std::string& info_version, bool show_info) override;
};

// A telephone with at most one call: place_call and an incoming call (ring) make it
// current, end_call and reject end it. "place_call 555", "end_call", ...
class FakeCalls : public CallControl, public Recorder {
public:
    SIPX_CALL current = SIPX_CALL_NULL;
    SIPX_CALL next_call = 7;
    std::string remote = "bob";
    int input_level = -100;
    int output_level = -100;
    bool signed_in = false;
    bool in_wizard = false;

    // An incoming call the stack adopted.
    void ring(SIPX_CALL call) { current = call; }

    void set_account_type(const std::string& type) override { record("set_account_type " + type); }
    void set_outbound_proxy(const std::string& proxy) override { record("set_outbound_proxy " + proxy); }
    void login(const std::string& user, const std::string&) override { record("login " + user); }
    void unregister() override;
    bool logged_in() const override { return signed_in; }
    bool in_call() override { return current != SIPX_CALL_NULL; }
    SIPX_CALL current_call() const override { return current; }
    void place_call(const std::string& target) override;
    void end_call() override;
    void answer() override { record("answer"); }
    void reject() override;
    void hold(bool on_hold) override { record(on_hold ? "hold" : "unhold"); }
    void mute(bool muted) override { record(muted ? "mute" : "unmute"); }
    void start_tone(int tone, bool, bool) override { record("start_tone " + std::to_string(tone)); }
    void end_tone(int tone) override { record("end_tone " + std::to_string(tone)); }
    std::string remote_user() override { return remote; }
    void get_levels(int& input, int& output) override;
    void set_wizard_mode(bool on) override { in_wizard = on; }
    bool wizard_mode() const override { return in_wizard; }
};

// Every request of the sign-in hand-shake as one line of text.
class RecordingHost : public LoginHost, public Recorder {
public:
    int answer = IDOK;
    bool in_wizard = false;

    void set_timer(unsigned id, unsigned ms) override
    {
        record("set_timer " + std::to_string(id) + " " + std::to_string(ms));
    }
    void kill_timer(unsigned id) override { record("kill_timer " + std::to_string(id)); }
    int message_box(const std::string& text, const std::string& title, BoxStyle style) override
    {
        record("box " + title + (style == BoxStyle::Error ? " [error]" : " [yes/no]") + ": " + text);
        return answer;
    }
    void set_account_type(const std::string& type) override { record("set_account_type " + type); }
    void set_outbound_proxy(const std::string& host) override { record("set_outbound_proxy " + host); }
    void login(const std::string& user, const std::string& password) override
    {
        record("login " + user + " " + password);
    }
    bool wizard_mode() const override { return in_wizard; }
    void run_page_script(const std::string& script) override { record("script " + script); }
    void navigate_content(const std::string& url) override { record("content " + url); }
    void navigate_tab(const std::string& url, int flags) override
    {
        record("tab " + url + " " + std::to_string(flags));
    }
    void set_logged_in(bool logged_in) override { record(logged_in ? "logged_in" : "logged_out"); }
    void post_login_message() override { record("post UWM_LOGIN_MSG"); }
    void post_close() override { record("post WM_CLOSE"); }
    void start_login_thread() override { record("start_login_thread"); }
    void start_update_worker(const std::string& address) override
    {
        record("start_update_worker " + address);
    }
    void close_update_progress() override { record("close_update_progress"); }
};
