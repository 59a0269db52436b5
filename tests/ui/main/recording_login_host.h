#pragma once
#include <string>
#include <vector>

#include "ui/main/login_handshake.h"

// Records every request of the hand-shake as one line of text.
class RecordingHost : public LoginHost {
public:
    std::vector<std::string> calls;
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

    std::vector<std::string> take()
    {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

private:
    void record(const std::string& call) { calls.push_back(call); }
};
