#pragma once
// What the command dispatcher asked of the main window, for the dispatcher's tests and the
// web host's, which run the real dispatcher behind a page.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/web/command_dispatcher.h"

namespace test_support {

// Records every action as one line, so a test compares the whole sequence.
class RecordingActions : public MainActions {
public:
    std::vector<std::string> calls;
    std::vector<std::string> logs;
    bool wizard_answer = false;
    bool confirm_answer = false;
    bool in_call = false;
    bool menu_shown = true;

    void Log(const std::string& line) override { logs.push_back(line); }
    void ShowAndRaise() override { calls.push_back("raise"); }
    void RunMainScript(const std::string& script) override { calls.push_back("script " + script); }
    void StartLogin() override { calls.push_back("login"); }
    void KeepAccount(const std::string& user, const std::string& password) override
    {
        calls.push_back("keep " + user + " " + password);
    }
    void SetLoggedIn(bool on) override { calls.push_back(on ? "logged in" : "logged out"); }
    void PlaceCall(const std::string& number) override { calls.push_back("call " + number); }
    void Hold(bool on) override { calls.push_back(on ? "hold" : "unhold"); }
    void Mute(bool on) override { calls.push_back(on ? "mute" : "unmute"); }
    void Hangup() override { calls.push_back("hangup"); }
    void Answer() override { calls.push_back("answer"); }
    void Reject() override { calls.push_back("reject"); }
    void NavigateContent(const std::string& a) override { calls.push_back("content " + a); }
    void NavigateTab(const std::string& a) override { calls.push_back("tab " + a); }
    void ReloadTab() override { calls.push_back("reload tab"); }
    void OpenTab() override { calls.push_back("open tab"); }
    void ShowInfo(const std::string& a) override { calls.push_back("info " + a); }
    bool ShowPageMenu(int type, int x, int y) override
    {
        calls.push_back("menu " + std::to_string(type) + " " + std::to_string(x) + "," + std::to_string(y));
        return menu_shown;
    }
    bool AskWizard() override
    {
        calls.push_back("ask wizard");
        return wizard_answer;
    }
    void RunWizard() override { calls.push_back("wizard"); }
    void ShowToast(const std::string& t) override { calls.push_back("toast " + t); }
    void HideToast() override { calls.push_back("hide toast"); }
    void MessageBox(const std::string& t) override { calls.push_back("message " + t); }
    bool Confirm(const std::string& t) override
    {
        calls.push_back("confirm " + t);
        if (auto open = std::exchange(while_confirm_open, nullptr)) {
            open();
            calls.push_back("confirm closed");
        }
        return confirm_answer;
    }
    std::function<void()> while_confirm_open; // what arrives while the question is open
    void OpenInBrowser(const std::string& a) override { calls.push_back("browser " + a); }
    bool InCall() override { return in_call; }
    std::string SkinsFolder() const override { return "/opt/my skins"; }
};

} // namespace test_support
