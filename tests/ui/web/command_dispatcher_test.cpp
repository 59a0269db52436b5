#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/password_cipher.h"
#include "settings/registry_store.h"
#include "support/log_capture.h"
#include "support/test_paths.h"
#include "ui/web/command_dispatcher.h"
#include "ui/web/command_text.h"
#include "ui/web/pending_commands.h"
#include "ui/web/recording_actions.h"

namespace {

using test_support::RecordingActions;

class Dispatcher : public ::testing::Test {
protected:
    Dispatcher() { m_deployment.secure_http = "http://secure.test"; }

    // Dispatches a kalvo: URL and returns the actions after the window was raised.
    std::vector<std::string> run(const std::string& url, CommandSource source = CommandSource::Program)
    {
        m_actions.calls.clear();
        CommandDispatcher dispatcher(m_actions, m_deployment);
        dispatcher.Dispatch(*command_text::wrap(url), source);
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

TEST_F(Dispatcher, LoginWithoutRememberMeKeepsThePasswordOffTheDisk)
{
    EXPECT_EQ(run("kalvo://login/?u=alice&p=s3cret&s=false&a=false"), (Calls{"login", "keep alice s3cret"}));
    std::string store = test_support::read_file(registry_store::file_path());
    EXPECT_NE(store.find("password=" + password_cipher::encipher("")), std::string::npos) << store;
    EXPECT_EQ(stored().password, "s3cret") << "the login thread still finds it";

    run("kalvo://login/?u=alice&p=s3cret&s=true&a=false");
    EXPECT_NE(test_support::read_file(registry_store::file_path()).find(password_cipher::encipher("s3cret")),
        std::string::npos);
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
    // The information window shows the service's pages only.
    EXPECT_EQ(run("kalvo://info/?u=file:///etc/passwd"), (Calls{}));
    EXPECT_EQ(run("kalvo://info/?u=http://elsewhere.test/secure.test"), (Calls{}));
    EXPECT_EQ(m_actions.logs.back(),
        "Information page refused (not a page of the service): http://elsewhere.test/secure.test");
    AppSettings settings;
    settings.username = "frank";
    settings.password = "secret";
    settings.save();
    EXPECT_EQ(run("kalvo://profile/?"),
        (Calls{"browser "
               "http://secure.test/account/login.php?user=frank&pass=5EBE2294ECD0E0F08EAB7690D2A6EE69"}));
}

TEST_F(Dispatcher, LinksFromOutsideMayCallShowAndOpenTheWizardAndNothingElseUnasked)
{
    auto outside = [&](const std::string& url) { return run(url, CommandSource::Outside); };
    EXPECT_EQ(outside("kalvo://call/?555"), (Calls{"call 555", "script clearInput()"}));
    EXPECT_EQ(outside("kalvo://show/?"), (Calls{"open tab"}));
    EXPECT_EQ(outside("kalvo://wizard/?"), (Calls{"ask wizard"}));
    for (const char* url :
        {"kalvo://answer/?", "kalvo://toast/?s=Hi", "kalvo://profile/?", "kalvo://info/?u=x"}) {
        EXPECT_EQ(outside(url), (Calls{})) << url;
        EXPECT_EQ(m_actions.logs.back().rfind("Link from outside Kalvo refused: ", 0), 0u) << url;
    }
}

TEST_F(Dispatcher, LinksFromOutsideThatChangeTheAccountAskFirstAndNeverDuringACall)
{
    const std::string question =
        "confirm A link from outside Kalvo wants to use the account \"mallory\".\n\nDo you want to allow it?";
    const std::string login = "kalvo://login/?u=mallory&p=x&s=true&a=true";
    EXPECT_EQ(run(login, CommandSource::Outside), (Calls{question}));
    EXPECT_EQ(stored().username, "");
    EXPECT_EQ(run("kalvo://wizard/?u=mallory", CommandSource::Outside), (Calls{question}));
    EXPECT_EQ(run("kalvo://show_login/?u=mallory", CommandSource::Outside), (Calls{question}));
    EXPECT_EQ(stored().username, "");

    m_actions.in_call = true;
    m_actions.confirm_answer = true;
    EXPECT_EQ(run(login, CommandSource::Outside), (Calls{}));
    EXPECT_EQ(m_actions.logs.back(), "Link from outside Kalvo refused during a call: login");

    m_actions.in_call = false;
    EXPECT_EQ(run(login, CommandSource::Outside), (Calls{question, "login", "keep mallory x"}));
    EXPECT_EQ(stored().username, "mallory");
    // The program's own pages are not asked.
    EXPECT_EQ(run("kalvo://login/?u=alice&p=y&s=true&a=true"), (Calls{"login", "keep alice y"}));
}

// Links from outside run one after another in arrival order: one that arrives while an
// earlier link's question is open waits until it is answered, and nothing runs before the
// window is ready.
TEST_F(Dispatcher, PendingCommandsRunOneAfterAnotherInArrivalOrder)
{
    test_support::TempDir log_folder;
    log_file::set_folder(log_folder.path());
    CommandDispatcher dispatcher(m_actions, m_deployment);
    PendingCommands pending(dispatcher);
    pending.Dispatch(
        *command_text::wrap("kalvo://login/?u=mallory&p=wonderland&s=false&a=false"), CommandSource::Outside);
    pending.Dispatch(*command_text::wrap("kalvo://hangup/?"), CommandSource::Program); // a page's own
    pending.Dispatch(*command_text::wrap("kalvo://show/?"), CommandSource::Outside);
    EXPECT_TRUE(m_actions.calls.empty());

    m_actions.while_confirm_open = [&] {
        pending.Dispatch(*command_text::wrap("kalvo://call/?555"), CommandSource::Outside);
    };
    pending.SetReady();
    EXPECT_EQ(m_actions.calls,
        (Calls{"raise",
            "confirm A link from outside Kalvo wants to use the account \"mallory\".\n\nDo you want to allow "
            "it?",
            "confirm closed", "raise", "hangup", "raise", "open tab", "raise", "call 555",
            "script clearInput()"}));
    // Each leaves its line in kalvo.log, the password masked.
    std::string log = test_support::read_file(log_file::file_in(log_folder.path()));
    EXPECT_NE(log.find("COMMAND - kalvo.exe /url \"kalvo://show/?\""), std::string::npos) << log;
    EXPECT_NE(log.find("COMMAND - kalvo.exe /url \"kalvo://login/?u=mallory&p="), std::string::npos) << log;
    EXPECT_EQ(log.find("wonderland"), std::string::npos) << log;
}

} // namespace
