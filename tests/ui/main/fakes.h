#pragma once
#include <map>
#include <string>
#include <vector>

#include "telephony/call_control.h"
#include "ui/main/main_view.h"

// The main window's screen as its presenters see it: records every change as one line.
class RecordingView : public MainView {
public:
    std::vector<std::string> calls;
    std::map<std::string, std::string> labels;
    std::map<std::string, std::string> inputs; // input element texts
    bool has_tab_page = true;

    void ShowElement(const std::string& name, bool visible) override
    {
        record((visible ? "show " : "hide ") + name);
    }
    void SetLabel(const std::string& name, const std::string& text) override { labels[name] = text; }
    std::optional<std::string> InputText(const std::string& name) const override
    {
        auto found = inputs.find(name);
        return found == inputs.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    void SetElementImage(const std::string& name, const std::string& image) override
    {
        record("image " + name + " " + image);
    }
    void ShowMainTabs(bool visible) override { record(visible ? "show tabs" : "hide tabs"); }
    void SetContentLayout(ContentLayout layout) override
    {
        record(layout == ContentLayout::SignedIn     ? "layout signed in"
                : layout == ContentLayout::SignedOut ? "layout signed out"
                                                     : "layout start");
    }
    void ShowTabDialog(bool visible) override { record(visible ? "show panel" : "hide panel"); }
    void Redraw() override { record("redraw"); }
    bool HasPage(const std::string& page) const override { return page != "tab" || has_tab_page; }
    void RunScript(const std::string& page, const std::string& script) override
    {
        record("script " + page + " " + script);
    }
    void Navigate(const std::string& page, const std::string& address) override
    {
        record("navigate " + page + " " + address);
    }
    void GrantNavigation(const std::string& page) override { record("grant " + page); }
    void SetTrayLoggedIn(bool logged_in) override
    {
        record(logged_in ? "tray signed in" : "tray signed out");
    }
    void ShowInfoNotice(const std::string& version, bool show) override
    {
        record("info notice " + version + (show ? " shown" : ""));
    }

    std::vector<std::string> take() { return std::exchange(calls, {}); }

private:
    void record(const std::string& call) { calls.push_back(call); }
};

// The telephone as the presenters see it: records every request as one line.
class RecordingCalls : public CallControl {
public:
    std::vector<std::string> calls;
    std::string remote = "bob";
    int input_level = -100;
    int output_level = -100;
    bool calling = false;
    bool wizard = false;

    void set_account_type(const std::string& type) override { record("account type " + type); }
    void set_outbound_proxy(const std::string& proxy) override { record("proxy " + proxy); }
    void login(const std::string& user, const std::string&) override { record("login " + user); }
    void unregister() override { record("unregister"); }
    bool in_call() override { return calling; }
    void place_call(const std::string& target) override { record("call " + target); }
    void end_call() override { record("end call"); }
    void answer() override { record("answer"); }
    void reject() override { record("reject"); }
    void hold(bool on_hold) override { record(on_hold ? "hold" : "resume"); }
    void mute(bool muted) override { record(muted ? "mute" : "unmute"); }
    void start_tone(int tone, bool, bool) override { record("tone " + std::to_string(tone)); }
    void end_tone(int tone) override { record("end tone " + std::to_string(tone)); }
    std::string remote_user() override { return remote; }
    void get_levels(int& input, int& output) override
    {
        input = input_level;
        output = output_level;
    }
    void set_wizard_mode(bool on) override { wizard = on; }
    bool wizard_mode() const override { return wizard; }

    std::vector<std::string> take() { return std::exchange(calls, {}); }

private:
    void record(const std::string& call) { calls.push_back(call); }
};
