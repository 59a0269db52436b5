// The signed-in view over a fake telephone and a recording screen: offline and back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/timer_table.h"
#include "net/login_reply_values.h"
#include "presenter_fakes.h"
#include "support/test_paths.h"
#include "ui/main/line_presenter.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;

class SignedInView : public ::testing::Test {
protected:
    test_support::IsolatedUser m_user;
    RecordingView m_view;
    FakeCalls m_calls;
    RecordingHost m_host;
    LoginHandshake m_login{m_host};
    LoginReplyValues m_reply;
    TimerTable m_timers{[](unsigned) {}};
    LinePresenter m_line{
        m_view, m_calls, m_timers, m_login, m_reply, [] { return std::string("about:blank"); }};
};

TEST_F(SignedInView, ALostLineIsShownOfflineOnceUntilItRegistersAgain)
{
    m_line.OnLineState(LINESTATE_REGISTERED);
    m_view.take();

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
        IsSupersetOf({"label label_details ", "tray online", "script content loginStatus('Signed in')",
            "tray logged in"}));
}

TEST_F(SignedInView, AFirstRegistrationThatFailsIsNotOffline)
{
    m_line.OnLineState(LINESTATE_REGISTER_FAILED);
    EXPECT_FALSE(m_line.offline());
    EXPECT_THAT(m_view.take(), IsEmpty());
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
