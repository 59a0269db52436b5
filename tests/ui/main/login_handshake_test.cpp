#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "presenter_fakes.h"
#include "settings/app_settings.h"
#include "settings/registry.h"
#include "support/log_capture.h"
#include "ui/main/login_handshake.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

Deployment test_deployment()
{
    Deployment deployment;
    deployment.secure_http = "http://secure.test:8081";
    deployment.gateway = "gw.test";
    return deployment;
}

LoginValues reply(const std::string& outbound_proxy = "")
{
    LoginValues values;
    values.account_type = "pro";
    values.outbound_proxy = outbound_proxy;
    return values;
}

class LoginHandshakeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AppSettings settings;
        settings.load();
        settings.username = "alice";
        settings.password = "s3cret&x";
        settings.remember_user = true;
        settings.save();
        registry_string(settings_path("Skins Directory")).set("/opt/kalvo/Skins");
    }

    std::vector<std::string> login_calls(const std::string& proxy = "gw.test",
        const std::string& user = "alice", const std::string& password = "s3cret&x")
    {
        return {"set_account_type pro", "set_timer 9 20000", "set_outbound_proxy " + proxy,
            "login " + user + " " + password, "tab http://secure.test:8081/live/tab.php 14"};
    }

    test_support::LogCapture m_log;
    RecordingHost m_host;
    LoginHandshake m_handshake{m_host, test_deployment()};
};

TEST_F(LoginHandshakeTest, StunAnsweredEarlyLogsInAtOnceWithTheStoredAccount)
{
    m_handshake.OnConfigState(kConfigStunSuccess);
    EXPECT_TRUE(m_host.take().empty());

    m_handshake.OnLogin(reply());
    EXPECT_EQ(m_host.take(), login_calls());
    EXPECT_EQ(m_handshake.display_name(), "alice");
    // The password never reaches the log window in clear.
    EXPECT_THAT(m_log.window_messages(), ElementsAre("OnLogin", "alice", "********"));
    EXPECT_THAT(m_log.file_lines(), ElementsAre("LOGIN - STUN success"));
}

TEST_F(LoginHandshakeTest, LoginBeforeStunWaitsThenStunAndTimerEachRunTheStep)
{
    m_handshake.OnLogin(reply());
    EXPECT_THAT(m_host.take(), ElementsAre("set_timer 14 10000"));
    EXPECT_TRUE(m_handshake.login_pending());
    EXPECT_FALSE(m_handshake.stun_done());

    // A STUN failure 3 s later also ends the wait and starts the login at once.
    m_handshake.OnConfigState(kConfigStunFailure);
    EXPECT_THAT(m_host.take(), ElementsAre("post UWM_LOGIN_MSG"));
    m_handshake.OnLogin(reply());
    EXPECT_EQ(m_host.take(), login_calls());

    // Timer 14 was not stopped: it still expires and the step runs a second time.
    EXPECT_TRUE(m_handshake.OnTimer(kStunWaitTimer));
    EXPECT_THAT(m_host.take(), ElementsAre("post UWM_LOGIN_MSG", "kill_timer 14"));
    m_handshake.OnLogin(reply());
    EXPECT_EQ(m_host.take(), login_calls());
    EXPECT_THAT(m_log.file_lines(), ElementsAre("LOGIN - STUN failure"));
}

TEST_F(LoginHandshakeTest, WithoutAnyStunResultTimerFourteenStartsTheLogin)
{
    m_handshake.OnLogin(reply());
    m_host.take();
    m_handshake.OnTimer(kStunWaitTimer);
    EXPECT_TRUE(m_handshake.stun_done());
    EXPECT_THAT(m_host.take(), ElementsAre("post UWM_LOGIN_MSG", "kill_timer 14"));
    m_handshake.OnLogin(reply());
    EXPECT_EQ(m_host.take(), login_calls());
}

TEST_F(LoginHandshakeTest, OtherConfigEventsAndLaterStunResultsStartNothing)
{
    m_handshake.OnLogin(reply());
    m_host.take();
    m_handshake.OnConfigState(12345);
    EXPECT_FALSE(m_handshake.stun_done());
    EXPECT_THAT(m_host.take(), IsEmpty());

    m_handshake.OnConfigState(kConfigStunSuccess);
    m_handshake.OnLogin(reply());
    m_host.take();
    // A STUN result after the login ran does not log in again.
    m_handshake.OnConfigState(kConfigStunSuccess);
    EXPECT_THAT(m_host.take(), IsEmpty());
}

TEST_F(LoginHandshakeTest, OutboundProxyFromTheReplyAndCopiesFromTheLoginCommand)
{
    m_handshake.OnConfigState(kConfigStunSuccess);
    m_handshake.set_credentials("bob", "pw2");
    m_handshake.OnLogin(reply("proxy.example:5070"));
    EXPECT_EQ(m_host.take(), login_calls("proxy.example:5070", "bob", "pw2"));
    EXPECT_THAT(m_log.window_messages(), ElementsAre("OnLogin", "bob", "********"));
}

TEST_F(LoginHandshakeTest, NoConnectionShowsTheBoxAndReturnsToTheLoginPage)
{
    m_handshake.OnDoConnection();
    EXPECT_THAT(m_host.take(),
        ElementsAre("box No Internet connection [error]: Kalvo requires an Internet connection to run.\n"
                    "Please check your connection and try again.",
            "script loginError()",
            "content file:///opt/kalvo/Skins/Kalvo/login.html?u=alice&p=s3cret%26x&s=true&a=false",
            "logged_out"));
    EXPECT_THAT(m_log.window_messages(), ElementsAre("Shut down CallManager"));

    m_host.answer = LoginHost::IDCANCEL;
    m_handshake.OnDoConnection();
    auto calls = m_host.take();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_THAT(calls[1], HasSubstr("content file:///opt/kalvo/Skins/Kalvo/login.html"));
}

TEST_F(LoginHandshakeTest, AfterARegistrationLostConnectionsRetryWithBackOff)
{
    m_handshake.OnRegistered();
    EXPECT_THAT(m_host.take(), ElementsAre("kill_timer 9"));
    EXPECT_TRUE(m_handshake.reconnect());

    std::vector<unsigned> periods;
    for (int attempt = 0; attempt < 6; ++attempt) {
        m_handshake.OnDoConnection();
        auto calls = m_host.take();
        ASSERT_EQ(calls.size(), 3u) << "no message box while reconnecting";
        EXPECT_EQ(calls[1].rfind("content file://", 0), 0u);
        periods.push_back(std::stoul(calls[0].substr(std::string("set_timer 8 ").size())));
        m_handshake.OnTimer(kRetryTimer);
        EXPECT_THAT(m_host.take(), ElementsAre("kill_timer 8", "start_login_thread"));
    }
    EXPECT_THAT(periods, ElementsAre(0u, 10000u, 30000u, 60000u, 120000u, 120000u));
    EXPECT_EQ(m_log.window_messages()[0], "Setting re-connection timer");
}

TEST(RetryBackoff, AnyValueOffTheStepsBecomesFiveMinutes)
{
    EXPECT_EQ(next_retry_backoff(45), 300);
    EXPECT_EQ(next_retry_backoff(300), 300);
}

TEST_F(LoginHandshakeTest, UpdateDeclinedHidesTheWindowAndStaysSignedOut)
{
    m_host.answer = LoginHost::IDNO;
    m_handshake.OnDoUpdate("https://secure.test/setup");
    EXPECT_THAT(m_host.take(),
        ElementsAre("box Update Available [yes/no]: An update is needed for Kalvo to continue.\n"
                    "Do you wish to download it now?",
            "post WM_CLOSE"));
    EXPECT_EQ(m_handshake.update_address(), "");
}

TEST_F(LoginHandshakeTest, UpdateAcceptedStartsTheWorkerWithTheAddress)
{
    m_host.answer = LoginHost::IDYES;
    m_handshake.OnDoUpdate("https://secure.test/setup");
    auto calls = m_host.take();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1], "script loginStatus('Downloading update...')");
    EXPECT_EQ(calls[2], "start_update_worker https://secure.test/setup");
    EXPECT_EQ(m_handshake.update_address(), "https://secure.test/setup");
}

TEST_F(LoginHandshakeTest, FailedUpdateClosesTheProgressTellsTheUserAndGoesOnAsDeclined)
{
    m_handshake.OnUpdateDone("the download failed (HTTP status 404)");
    EXPECT_THAT(m_host.take(),
        ElementsAre("close_update_progress",
            "box Update failed [error]: Kalvo could not download the update: the download failed (HTTP "
            "status 404).\nPlease try again later.",
            "script loginError()", "post WM_CLOSE"));
    EXPECT_THAT(m_log.window_messages(), ElementsAre("Update failed: the download failed (HTTP status 404)"));

    // The installer runs: the window closes, the process is ending.
    m_handshake.OnUpdateDone("");
    EXPECT_THAT(m_host.take(), ElementsAre("post WM_CLOSE"));
}

TEST_F(LoginHandshakeTest, LoginTimeOutBoxUnlessTheWizardRuns)
{
    m_host.in_wizard = true;
    EXPECT_TRUE(m_handshake.OnTimer(kLoginTimeoutTimer));
    EXPECT_THAT(m_host.take(), IsEmpty());

    m_host.in_wizard = false;
    m_handshake.OnTimer(kLoginTimeoutTimer);
    auto calls = m_host.take();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0], "kill_timer 9");
    EXPECT_THAT(
        calls[1], HasSubstr("box Error logging in [error]: Kalvo could not connect to the login server."));
    EXPECT_EQ(calls[2], "script loginError()");
    EXPECT_THAT(m_log.file_lines(), ElementsAre("LOGIN - Login timed out"));
    EXPECT_FALSE(m_handshake.OnTimer(4));
}

} // namespace
