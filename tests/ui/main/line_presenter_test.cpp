// The signed-in view over a fake telephone and a recording screen: the first registration
// and its refresh, offline and back, sign-out, the labels and timers. Addresses come from
// the deployment in force (another test in this program may have set the local service).
#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "net/login_reply_values.h"
#include "presenter_fakes.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "support/log_capture.h"
#include "support/main_loop.h"
#include "support/test_paths.h"
#include "telephony/sipx/sipx.h"
#include "ui/main/line_presenter.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;
using ::testing::Not;

const char* const kMainPage = "navigate content file:///cache/main.html";

class SignedInView : public ::testing::Test {
protected:
    SignedInView()
    {
        ui_thread::init();
        AppSettings settings;
        settings.load();
        settings.username = "alice";
        settings.password = "secret";
        settings.save();
        m_login.set_credentials("Alice A.", "secret");
        VersionReply version;
        version.lines = {"", "", "", "7", "true", "pro", "Kalvo Pro: unlimited", ""};
        m_reply.store(version);
    }

    // The first registration, up to the main page fetched on a worker coming back through
    // the queue; what the screen was asked meanwhile.
    std::vector<std::string> register_first()
    {
        m_line.OnLineState(LINESTATE_REGISTERED);
        EXPECT_TRUE(test_support::run_main_loop_until(
            [&] { return std::ranges::count(m_view.calls, std::string(kMainPage)) > 0; }));
        return m_view.take();
    }

    static bool has_prefix(const std::vector<std::string>& seen, const std::string& prefix)
    {
        return std::ranges::any_of(seen, [&](const std::string& call) { return call.starts_with(prefix); });
    }

    test_support::IsolatedUser m_user;
    test_support::LogCapture m_log;
    RecordingView m_view;
    FakeCalls m_calls;
    RecordingHost m_host;
    LoginHandshake m_login{m_host};
    LoginReplyValues m_reply;
    TimerTable m_timers{[](unsigned) {}};
    LinePresenter m_line{m_view, m_calls, m_timers, m_login, m_reply, [] {
                             return main_page::Choice{"file:///cache/main.html", {}};
                         }};
};

TEST_F(SignedInView, FirstRegistrationShowsTheSignedInWindowAndTheMainPage)
{
    std::vector<std::string> seen = register_first();

    EXPECT_TRUE(m_line.logged_in());
    EXPECT_TRUE(m_login.reconnect());
    EXPECT_EQ(m_view.labels["label_username"], "Alice A.");
    EXPECT_EQ(m_view.labels["label_details"], "Kalvo Pro: unlimited");
    EXPECT_EQ(m_view.labels["label_voicemail"], "No messages");
    EXPECT_TRUE(m_timers.is_armed(LinePresenter::kClockTimer));
    EXPECT_TRUE(m_timers.is_armed(LinePresenter::kVoicemailTimer));
    // The page is hidden while the blank page and then the main page load, shown at the end.
    // Both are the program's own navigations: the page gets no grant of its own.
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0], "show content off");
    EXPECT_THAT(seen[1], HasSubstr("/Kalvo/blank.html"));
    EXPECT_THAT(seen, Not(Contains("grant content")));
    EXPECT_THAT(seen,
        IsSupersetOf({"show voicemail on", "show label_time on", "show label_voicemail on",
            "show label_username on", "show label_details on", "main tabs on", "tray logged in",
            "tab dialog on", kMainPage, "info notice 7 shown"}));
    EXPECT_TRUE(
        has_prefix(seen, "navigate info " + Deployment::get().secure_http + "/live/info.php?u=alice"));
    EXPECT_EQ(seen[seen.size() - 2], "show content on");
    EXPECT_EQ(seen.back(), "redraw");

    // A registration refresh keeps the page the user is on.
    m_line.OnLineState(LINESTATE_REGISTERED);
    seen = m_view.take();
    EXPECT_FALSE(has_prefix(seen, "navigate content"));
    EXPECT_THAT(seen, Not(Contains("grant content"))) << "a refresh grants the page nothing";
}

TEST_F(SignedInView, SignOutUnregistersAndBringsBackTheLoginPage)
{
    register_first();
    m_calls.take();
    m_line.SignOut();
    std::vector<std::string> seen = m_view.take();

    EXPECT_FALSE(m_line.logged_in());
    EXPECT_THAT(m_calls.take(), ElementsAre("unregister"));
    EXPECT_THAT(seen,
        IsSupersetOf(
            std::vector<std::string>{"tray logged out", "show voicemail off", "show label_details off",
                "tab dialog off", "navigate tab " + Deployment::get().secure_http + "/live/tab.php"}));
    auto login = std::ranges::find_if(
        seen, [](const std::string& call) { return call.starts_with("navigate content file://"); });
    ASSERT_NE(login, seen.end());
    EXPECT_THAT(*login, HasSubstr("/Kalvo/login.html?u=alice&"));
    EXPECT_THAT(*login, HasSubstr("&lo=true"));
    EXPECT_THAT(
        m_log.window_messages(), Contains("Opening URL " + Deployment::get().secure_http + "/live/tab.php"));
}

TEST_F(SignedInView, LabelsFollowTheVoiceMailCountAndTheClock)
{
    m_line.OnVoicemailCount(3);
    EXPECT_EQ(m_view.labels["label_voicemail"], "3 messages");
    EXPECT_TRUE(m_line.OnTimer(LinePresenter::kVoicemailTimer));
    EXPECT_EQ(m_view.labels["label_voicemail"], "No messages");
    EXPECT_TRUE(m_line.OnTimer(LinePresenter::kClockTimer));
    EXPECT_THAT(m_view.labels["label_time"], ::testing::MatchesRegex("[0-9]{2}:[0-9]{2}[AP]M"));
    EXPECT_FALSE(m_line.OnTimer(999));
}

TEST_F(SignedInView, AFirstRegistrationThatFailsOrIsPendingChangesNothingAndIsNotOffline)
{
    m_line.OnLineState(LINESTATE_REGISTERING);
    m_line.OnLineState(LINESTATE_REGISTER_FAILED);
    EXPECT_FALSE(m_line.logged_in());
    EXPECT_FALSE(m_line.offline());
    EXPECT_THAT(m_view.take(), IsEmpty());
    EXPECT_THAT(m_log.file_lines(), Contains("LINESTATE - LINESTATE_REGISTER_FAILED"));
}

TEST_F(SignedInView, ALostLineIsShownOfflineOnceUntilItRegistersAgain)
{
    register_first();

    m_line.OnLineState(LINESTATE_REGISTER_FAILED);
    EXPECT_TRUE(m_line.offline());
    EXPECT_THAT(m_view.take(),
        ElementsAre("tray offline", "label label_details Offline - reconnecting...",
            "script content loginStatus('Offline - reconnecting...')"));
    m_line.OnLineState(LINESTATE_REGISTER_FAILED); // a retry that fails too
    EXPECT_THAT(m_view.take(), IsEmpty());

    m_line.OnLineState(LINESTATE_REGISTERED);
    EXPECT_FALSE(m_line.offline());
    EXPECT_THAT(m_view.take(),
        IsSupersetOf({"label label_details Kalvo Pro: unlimited", "tray online",
            "script content loginStatus('Signed in')", "tray logged in"}));
}

TEST_F(SignedInView, TheLineLeavesTheServiceWithTheWindow)
{
    m_calls.signed_in = true;
    m_calls.ring(9);
    {
        LinePresenter window_line(m_view, m_calls, m_timers, m_login, m_reply);
    }
    EXPECT_THAT(m_calls.take(), ElementsAre("end_call", "unregister"));
    {
        LinePresenter signed_out(m_view, m_calls, m_timers, m_login, m_reply);
    }
    EXPECT_THAT(m_calls.take(), IsEmpty());
}

} // namespace
