#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "net/login_reply_values.h"
#include "settings/app_settings.h"
#include "support/log_capture.h"
#include "support/main_loop.h"
#include "telephony/sipx/sipx.h"
#include "ui/main/fakes.h"
#include "ui/main/line_presenter.h"
#include "ui/main/recording_login_host.h"

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsSupersetOf;
using ::testing::Not;

class LinePresenterTest : public ::testing::Test {
protected:
    LinePresenterTest()
    {
        ui_thread::init();
        AppSettings settings;
        settings.load();
        settings.username = "alice";
        settings.password = "secret";
        settings.save();
        m_handshake.set_credentials("Alice A.", "secret");
        VersionReply version;
        version.lines = {"", "", "", "7", "true", "pro", "Kalvo Pro: unlimited", ""};
        m_reply.store(version);
    }

    bool has_prefix(const std::string& prefix) const
    {
        return std::any_of(
            m_seen.begin(), m_seen.end(), [&](const std::string& call) { return call.starts_with(prefix); });
    }

    test_support::LogCapture m_log;
    RecordingView m_view;
    RecordingCalls m_calls;
    TimerTable m_timers{[](unsigned) {}};
    RecordingHost m_host;
    LoginHandshake m_handshake{m_host};
    LoginReplyValues m_reply;
    LinePresenter m_line{
        m_view, m_calls, m_timers, m_handshake, m_reply, [] { return main_page::Choice{"file:///cache/main.html", {}}; }};
    std::vector<std::string> m_seen;
};

TEST_F(LinePresenterTest, FirstRegistrationShowsTheSignedInWindowAndTheMainPage)
{
    m_line.OnLineState(LINESTATE_REGISTERED);
    // The main page is fetched on a worker; its address comes back through the queue.
    ASSERT_TRUE(test_support::run_main_loop_until(
        [&] { return std::ranges::count(m_view.calls, std::string("navigate content file:///cache/main.html")) > 0; }));
    m_seen = m_view.take();

    EXPECT_TRUE(m_line.logged_in());
    EXPECT_TRUE(m_handshake.reconnect());
    EXPECT_EQ(m_view.labels["label_username"], "Alice A.");
    EXPECT_EQ(m_view.labels["label_details"], "Kalvo Pro: unlimited");
    EXPECT_EQ(m_view.labels["label_voicemail"], "No messages");
    EXPECT_TRUE(m_timers.is_armed(LinePresenter::kClockTimer));
    EXPECT_TRUE(m_timers.is_armed(LinePresenter::kVoicemailTimer));
    // The page is hidden while the blank page and then the main page load, shown at the end.
    EXPECT_EQ(m_seen.front(), "grant content");
    EXPECT_EQ(m_seen[1], "hide content");
    EXPECT_THAT(m_seen[2], HasSubstr("/Kalvo/blank.html"));
    EXPECT_THAT(m_seen,
        IsSupersetOf({"show voicemail", "show label_time", "show label_voicemail", "show label_username",
            "show label_details", "show tabs", "layout signed in", "tray signed in", "show panel",
            "navigate content file:///cache/main.html", "info notice 7 shown"}));
    EXPECT_TRUE(has_prefix("navigate info http://secure.kalvo.net/live/info.php?u=alice"));
    EXPECT_EQ(m_seen[m_seen.size() - 2], "show content");
    EXPECT_EQ(m_seen.back(), "redraw");

    // A registration refresh keeps the page the user is on.
    m_line.OnLineState(LINESTATE_REGISTERED);
    m_seen = m_view.take();
    EXPECT_THAT(m_seen, Not(Contains("navigate content file:///cache/main.html")));
    EXPECT_FALSE(has_prefix("navigate content"));
}

TEST_F(LinePresenterTest, SignOutUnregistersAndBringsBackTheLoginPage)
{
    m_line.OnLineState(LINESTATE_REGISTERED);
    m_view.take();
    m_line.SignOut();
    m_seen = m_view.take();

    EXPECT_FALSE(m_line.logged_in());
    EXPECT_THAT(m_calls.take(), ElementsAre("unregister"));
    EXPECT_THAT(m_seen,
        IsSupersetOf({"tray signed out", "hide voicemail", "hide label_details", "layout signed out",
            "hide panel", "navigate tab http://secure.kalvo.net/live/tab.php"}));
    auto login = std::find_if(m_seen.begin(), m_seen.end(),
        [](const std::string& call) { return call.starts_with("navigate content file://"); });
    ASSERT_NE(login, m_seen.end());
    EXPECT_THAT(*login, HasSubstr("/Kalvo/login.html?u=alice&"));
    EXPECT_THAT(*login, HasSubstr("&lo=true"));
    EXPECT_THAT(m_log.window_messages(), Contains("Opening URL http://secure.kalvo.net/live/tab.php"));
}

TEST_F(LinePresenterTest, LabelsFollowTheVoiceMailCountAndTheClock)
{
    m_line.OnVoicemailCount(3);
    EXPECT_EQ(m_view.labels["label_voicemail"], "3 messages");
    EXPECT_TRUE(m_line.OnTimer(LinePresenter::kVoicemailTimer));
    EXPECT_EQ(m_view.labels["label_voicemail"], "No messages");
    EXPECT_TRUE(m_line.OnTimer(LinePresenter::kClockTimer));
    EXPECT_THAT(m_view.labels["label_time"], ::testing::MatchesRegex("[0-9]{2}:[0-9]{2}[AP]M"));
    EXPECT_FALSE(m_line.OnTimer(999));
}

TEST_F(LinePresenterTest, FailedAndPendingRegistrationsChangeNothingOnScreen)
{
    m_line.OnLineState(LINESTATE_REGISTERING);
    m_line.OnLineState(LINESTATE_REGISTER_FAILED);
    EXPECT_TRUE(m_view.take().empty());
    EXPECT_FALSE(m_line.logged_in());
    EXPECT_THAT(m_log.file_lines(), Contains("LINESTATE - LINESTATE_REGISTER_FAILED"));
}

} // namespace
