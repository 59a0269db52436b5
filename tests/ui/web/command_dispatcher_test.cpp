#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "log/log_file.h"
#include "settings/app_settings.h"
#include "support/log_capture.h"
#include "support/test_paths.h"
#include "ui/web/command_dispatcher.h"
#include "ui/web/command_text.h"
#include "ui/web/pending_commands.h"

namespace {

// Records every action as one line, so a test compares the whole sequence.
class RecordingActions : public MainActions {
public:
    std::vector<std::string> calls;
    std::vector<std::string> logs;
    bool wizard_answer = false;
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
    void MessageBox(const std::string& t) override
    {
        calls.push_back("message " + t);
        if (auto open = std::exchange(while_message_box_open, nullptr)) {
            open();
            calls.push_back("message closed");
        }
    }
    std::function<void()> while_message_box_open; // what arrives while the box is open
    void OpenInBrowser(const std::string& a) override { calls.push_back("browser " + a); }
    std::string SkinsFolder() const override { return "/opt/my skins"; }
};

class Dispatcher : public ::testing::Test {
protected:
    Dispatcher() { m_deployment.secure_http = "http://secure.test"; }

    // Dispatches a kalvo: URL and returns the actions after the window was raised.
    std::vector<std::string> run(const std::string& url)
    {
        m_actions.calls.clear();
        CommandDispatcher dispatcher(m_actions, m_deployment);
        dispatcher.Dispatch(*command_text::wrap(url));
        EXPECT_FALSE(m_actions.calls.empty());
        EXPECT_EQ(m_actions.calls.front(), "raise");
        return {m_actions.calls.begin() + 1, m_actions.calls.end()};
    }

    AppSettings stored()
    {
        AppSettings settings;
        settings.load();
        return settings;
    }

    test_support::IsolatedUser m_user;
    Deployment m_deployment;
    RecordingActions m_actions;
};

using Calls = std::vector<std::string>;

TEST_F(Dispatcher, CallTakesTheWholeQueryThenClearsTheInput)
{
    EXPECT_EQ(run("kalvo://call/?555"), (Calls{"call 555", "script clearInput()"}));
    EXPECT_EQ(run("kalvo://call/?a=1"), (Calls{"call a=1", "script clearInput()"}));
}

TEST_F(Dispatcher, CallControls)
{
    EXPECT_EQ(run("kalvo://hold/?start"), (Calls{"hold"}));
    EXPECT_EQ(run("kalvo://hold/?stop"), (Calls{"unhold"}));
    EXPECT_EQ(run("kalvo://mute/?start"), (Calls{"mute"}));
    EXPECT_EQ(run("kalvo://mute/?"), (Calls{"unmute"}));
    EXPECT_EQ(run("kalvo://hangup/?"), (Calls{"hangup"}));
    EXPECT_EQ(run("kalvo://answer/?"), (Calls{"answer"}));
    EXPECT_EQ(run("kalvo://reject/?"), (Calls{"reject"}));
    EXPECT_EQ(run("kalvo://dtmf_start/?5"), (Calls{}));
}

TEST_F(Dispatcher, UnknownBadlyFormedAndCapitalisedCommandsOnlyRaiseTheWindow)
{
    EXPECT_EQ(run("kalvo://LOGIN/?u=a&p=b&s=true&a=true"), (Calls{}));
    EXPECT_EQ(run("kalvo:call/?123"), (Calls{}));
    EXPECT_EQ(run("kalvo://no_such/?x"), (Calls{}));
    EXPECT_EQ(run("kalvo://menu/?t=tools&x=1&y=2"), (Calls{}));
    EXPECT_EQ(stored().username, "");
}

TEST_F(Dispatcher, LoginStoresTheAccountAndStartsTheLoginThread)
{
    EXPECT_EQ(run("kalvo://login/?u=alice&p=s3cret&s=true&a=false"), (Calls{"login", "keep alice s3cret"}));
    AppSettings settings = stored();
    EXPECT_EQ(settings.username, "alice");
    EXPECT_EQ(settings.password, "s3cret");
    EXPECT_TRUE(settings.remember_user);
    EXPECT_FALSE(settings.auto_login);
    for (const std::string& line : m_actions.logs)
        EXPECT_EQ(line.find("s3cret"), std::string::npos) << line;
}

TEST_F(Dispatcher, LoginWithoutPasswordStoresButDoesNotSignIn)
{
    EXPECT_EQ(run("kalvo://login/?u=bob&p=&s=false&a=true"), (Calls{}));
    AppSettings settings = stored();
    EXPECT_EQ(settings.username, "bob");
    EXPECT_FALSE(settings.remember_user);
    EXPECT_TRUE(settings.auto_login);
}

TEST_F(Dispatcher, LoginThatDoesNotMatchIsLogged)
{
    EXPECT_EQ(run("kalvo://login/?user=bob"), (Calls{}));
    EXPECT_EQ(m_actions.logs.back(), "LOGIN FAILED");
}

TEST_F(Dispatcher, TextLongerThanTheCommandBufferIsRefused)
{
    test_support::LogCapture capture;
    CommandDispatcher dispatcher(m_actions, m_deployment);
    std::string text =
        std::string(command_text::kPrefix) + "\"kalvo://call/?" + std::string(8192, '5') + "\"";
    dispatcher.Dispatch(text);
    EXPECT_EQ(m_actions.calls, (Calls{"raise"}));
    EXPECT_THAT(capture.file_lines(),
        testing::Contains("HOOK - Command text refused: " + std::to_string(text.size()) +
            " bytes, longer than the command buffer"));
}

TEST_F(Dispatcher, PageScripts)
{
    EXPECT_EQ(run("kalvo://show_pro/?"), (Calls{"script showTab('pro', true); signupPro(1)"}));
    EXPECT_EQ(run("kalvo://reload_contacts/?"), (Calls{"script loadContacts()"}));
}

TEST_F(Dispatcher, TabCommands)
{
    EXPECT_EQ(run("kalvo://show/?"), (Calls{"open tab"}));
    EXPECT_EQ(run("kalvo://reload_tab/?"), (Calls{"open tab", "reload tab"}));
    EXPECT_EQ(run("kalvo://show_tab/?My Calls"),
        (Calls{"open tab", "tab http://secure.test/live/tab.php?s=My Calls"}));
}

TEST_F(Dispatcher, MenuPositionAndRelease)
{
    EXPECT_EQ(run("kalvo://menu/?t=view&x=10&y=20"), (Calls{"menu 2 10,20", "script releaseMenu()"}));
    m_actions.menu_shown = false;
    EXPECT_EQ(run("kalvo://menu/?t=help&x=junk&y=5"), (Calls{"menu 3 0,5"}));
}

TEST_F(Dispatcher, ShowLoginUsesTheGivenUserButStoresNothing)
{
    AppSettings settings;
    settings.username = "carol";
    settings.password = "pw";
    settings.remember_user = true;
    settings.save();
    EXPECT_EQ(run("kalvo://show_login/?u=dave"),
        (Calls{"content file:///opt/my%20skins/Kalvo/login.html?u=dave&p=pw&s=true&a=false", "logged out"}));
    EXPECT_EQ(run("kalvo://show_login/?"),
        (Calls{"content file:///opt/my%20skins/Kalvo/login.html?u=carol&p=pw&s=true&a=false", "logged out"}));
    EXPECT_EQ(stored().username, "carol");
}

TEST_F(Dispatcher, WizardAsksUnlessAlreadyShownAndStoresTheUser)
{
    m_actions.wizard_answer = true;
    EXPECT_EQ(run("kalvo://wizard/?u=erin"), (Calls{"ask wizard", "wizard"}));
    EXPECT_EQ(stored().username, "erin");
    m_actions.wizard_answer = false;
    EXPECT_EQ(run("kalvo://wizard/?"), (Calls{"ask wizard"}));
    AppSettings settings = stored();
    settings.shown_wizard = true;
    settings.save();
    EXPECT_EQ(run("kalvo://wizard/?"), (Calls{}));
}

TEST_F(Dispatcher, WindowsAndBrowser)
{
    EXPECT_EQ(run("kalvo://toast/?s=<b>Hi</b>"), (Calls{"toast <b>Hi</b>"}));
    EXPECT_EQ(run("kalvo://hide_toast/?"), (Calls{"hide toast"}));
    EXPECT_EQ(run("kalvo://message/?s=Out of credit"), (Calls{"message Out of credit"}));
    EXPECT_EQ(run("kalvo://message/?x"), (Calls{}));
    EXPECT_EQ(run("kalvo://info/?u=http://secure.test/live/info.php"),
        (Calls{"info http://secure.test/live/info.php"}));
    AppSettings settings;
    settings.username = "frank";
    settings.password = "secret";
    settings.save();
    EXPECT_EQ(run("kalvo://profile/?"),
        (Calls{"browser "
               "http://secure.test/account/login.php?user=frank&pass=5EBE2294ECD0E0F08EAB7690D2A6EE69"}));
}

// Commands from pages and later starts run one after another in arrival order: one that
// arrives while an earlier command's modal window is open waits until that window closes,
// and nothing runs before the window is ready.
TEST_F(Dispatcher, PendingCommandsRunOneAfterAnotherInArrivalOrder)
{
    test_support::TempDir log_folder;
    log_file::set_folder(log_folder.path());
    CommandDispatcher dispatcher(m_actions, m_deployment);
    PendingCommands pending(dispatcher);
    pending.Dispatch(*command_text::wrap("kalvo://message/?s=first"));
    pending.Dispatch(*command_text::wrap("kalvo://hangup/?"));
    EXPECT_TRUE(m_actions.calls.empty());

    m_actions.while_message_box_open = [&] { pending.Dispatch(*command_text::wrap("kalvo://call/?555")); };
    pending.SetReady();
    EXPECT_EQ(m_actions.calls,
        (Calls{"raise", "message first", "message closed", "raise", "hangup", "raise", "call 555",
            "script clearInput()"}));
    // Each leaves its line in kalvo.log, the password masked.
    pending.Dispatch(*command_text::wrap("kalvo://login/?u=alice&p=wonderland&s=false&a=false"));
    std::string log = test_support::read_file(log_file::file_in(log_folder.path()));
    EXPECT_NE(log.find("COMMAND - kalvo.exe /url \"kalvo://message/?s=first\""), std::string::npos) << log;
    EXPECT_EQ(log.find("wonderland"), std::string::npos) << log;
}

} // namespace
