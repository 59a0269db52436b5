// The command line a later start forwards (or the first start's own), read as the
// program reads it and carried out by the command dispatcher against actions that do
// nothing, with the settings in a private home.
#include "app/command_line.h"

#include "fuzz_support.h"
#include "settings/deployment.h"
#include "ui/web/command_dispatcher.h"
#include "ui/web/command_text.h"

namespace {

class NoActions : public MainActions {
public:
    void Log(const std::string&) override { }
    void ShowAndRaise() override { }
    void RunMainScript(const std::string&) override { }
    void StartLogin() override { }
    void KeepAccount(const std::string&, const std::string&) override { }
    void SetLoggedIn(bool) override { }
    void PlaceCall(const std::string&) override { }
    void Hold(bool) override { }
    void Mute(bool) override { }
    void Hangup() override { }
    void Answer() override { }
    void Reject() override { }
    void NavigateContent(const std::string&) override { }
    void NavigateTab(const std::string&) override { }
    void ReloadTab() override { }
    void OpenTab() override { }
    void ShowInfo(const std::string&) override { }
    bool ShowPageMenu(int, int, int) override { return true; }
    bool AskWizard() override { return false; }
    void RunWizard() override { }
    void ShowToast(const std::string&) override { }
    void HideToast() override { }
    void MessageBox(const std::string&) override { }
    bool Confirm(const std::string&) override { return true; }
    void OpenInBrowser(const std::string&) override { }
    bool InCall() override { return false; }
    std::string SkinsFolder() const override { return "/nonexistent"; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_support::private_home();
    std::string text = fuzz_support::text(data, size);
    bool startup = command_line::is_startup_launch(text);
    bool url = command_text::has_url_command(text);
    if (size <= 2048) {
        auto oracle = fuzz_support::regex_match(".* /startup", text, false);
        fuzz_support::check(!oracle.known || oracle.matched == startup, "startup switch");
        oracle = fuzz_support::regex_match(".*?/url \"kalvo:.*\".*", text, false);
        fuzz_support::check(!oracle.known || oracle.matched == url, "url command");
    }
    if (url) {
        NoActions actions;
        // As a later start's link, the questions answered Yes so every command runs.
        CommandDispatcher(actions, Deployment::get()).Dispatch(text, CommandSource::Outside);
    }
    return 0;
}
