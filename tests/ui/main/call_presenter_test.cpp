// The call presentation over a fake telephone and a recording screen.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "presenter_fakes.h"
#include "support/test_paths.h"
#include "ui/main/call_presenter.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kEnded[] = {"script content doCall('', 'disconnected')", "script content showLevel('in',0)",
    "script content showLevel('out',0)", "image connection connect"};

class CallPresentation : public ::testing::Test {
protected:
    std::vector<std::string> ended(std::vector<std::string> before = {})
    {
        before.insert(before.end(), std::begin(kEnded), std::end(kEnded));
        return before;
    }

    test_support::IsolatedUser m_user; // the presentation's log lines stay in the test's folder
    RecordingView m_view;
    FakeCalls m_calls;
    CallPresenter m_presenter{m_view, m_calls};
};

TEST_F(CallPresentation, AnIncomingCallIsOfferedAnsweredConnectedAndEnded)
{
    m_calls.ring(9);
    m_presenter.OnCallState(CALLSTATE_OFFERING, 9);
    EXPECT_THAT(m_view.take(),
        ElementsAre("script content doCall('bob', 'incoming')", "image connection disconnect"));
    m_presenter.OnCallState(CALLSTATE_ALERTING, 9); // only the ring file plays
    EXPECT_THAT(m_view.take(), IsEmpty());

    m_presenter.Answer();
    m_presenter.OnCallState(CALLSTATE_CONNECTED, 9);
    EXPECT_THAT(m_view.take(),
        ElementsAre("script content doCall('bob', 'connected')", "image connection disconnect"));

    m_presenter.OnCallState(CALLSTATE_DISCONNECTED, 9);
    EXPECT_EQ(m_view.take(), ended());
    m_presenter.OnCallState(CALLSTATE_DESTROYED, 9);
    EXPECT_THAT(m_view.take(), IsEmpty()) << "the end is shown once";
    EXPECT_THAT(m_calls.take(), ElementsAre("answer", "end_call"));
}

TEST_F(CallPresentation, ADialledCallRingsAndFails)
{
    m_view.inputs["address"] = "555";
    m_calls.remote = "555";
    m_presenter.Dial();
    EXPECT_THAT(m_view.take(), ElementsAre("image connection disconnect"));
    m_presenter.OnCallState(CALLSTATE_REMOTE_OFFERING, 7);
    m_presenter.OnCallState(CALLSTATE_REMOTE_ALERTING, 7);
    EXPECT_THAT(m_view.take(),
        ElementsAre("script content doCall('555', 'offering')", "image connection disconnect",
            "script content doCall('555', 'ringing')", "image connection disconnect"));

    // Busy, or no such number: the call ends on screen and in the telephone.
    m_presenter.OnCallState(CALLSTATE_DISCONNECTED, 7);
    EXPECT_EQ(m_view.take(), ended());
    EXPECT_THAT(m_calls.take(), ElementsAre("place_call 555", "end_call"));

    // A dial the telephone refuses (signed out) leaves the button alone.
    m_calls.next_call = SIPX_CALL_NULL;
    m_presenter.Dial();
    EXPECT_THAT(m_view.take(), IsEmpty());
}

TEST_F(CallPresentation, ALateEndOfAFinishedCallLeavesTheNextCallShown)
{
    m_presenter.PlaceCall("echotest");
    m_presenter.OnCallState(CALLSTATE_CONNECTED, 7);
    m_presenter.Hangup();
    m_presenter.PlaceCall("alice");
    m_presenter.OnCallState(CALLSTATE_CONNECTED, 8);
    m_view.take();
    m_calls.take();

    // The first call's end events arrive only now.
    m_presenter.OnCallState(CALLSTATE_DISCONNECTED, 7);
    m_presenter.OnCallState(CALLSTATE_DESTROYED, 7);
    // Nor does another call's start take over the screen.
    m_presenter.OnCallState(CALLSTATE_OFFERING, 12);
    EXPECT_THAT(m_view.take(), IsEmpty());
    EXPECT_THAT(m_calls.take(), IsEmpty());

    m_calls.input_level = -30;
    m_calls.output_level = -45;
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(),
        ElementsAre("script content showLevel('in',70)", "script content showLevel('out',55)"));
    m_presenter.OnCallState(CALLSTATE_DISCONNECTED, 8);
    EXPECT_EQ(m_view.take(), ended());
}

TEST_F(CallPresentation, TheMeterMovesOnlyWhileACallIsShownAndEndsAtZero)
{
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(), IsEmpty());
    m_presenter.PlaceCall("echotest");
    m_presenter.OnCallState(CALLSTATE_CONNECTED, 7);
    m_view.take();
    // Only a side whose level changed is given to the page: the far end is still silent.
    m_calls.input_level = 0;
    m_calls.output_level = -100;
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(), ElementsAre("script content showLevel('in',100)"));
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(), IsEmpty());
    m_calls.output_level = -60;
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(), ElementsAre("script content showLevel('out',40)"));

    m_presenter.Hangup();
    EXPECT_EQ(m_view.take(), ended());
    m_presenter.OnLevels(); // a tick that was on its way
    EXPECT_THAT(m_view.take(), IsEmpty());

    // The next call starts from the zero the end left on the page.
    m_presenter.PlaceCall("echotest");
    m_presenter.OnCallState(CALLSTATE_CONNECTED, 8);
    m_view.take();
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(),
        ElementsAre("script content showLevel('in',100)", "script content showLevel('out',40)"));
}

TEST_F(CallPresentation, TheMeterWaitsWhileTheWindowIsOffTheScreenAndCatchesUpOnItsReturn)
{
    m_presenter.PlaceCall("echotest");
    m_presenter.OnCallState(CALLSTATE_CONNECTED, 7);
    m_calls.input_level = -30;
    m_calls.output_level = -50;
    m_presenter.OnLevels();
    m_view.take();

    m_view.on_screen = false;
    m_calls.input_level = -10;
    m_presenter.OnLevels();
    m_calls.output_level = -20;
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(), IsEmpty());

    m_view.on_screen = true;
    m_presenter.OnLevels();
    EXPECT_THAT(m_view.take(),
        ElementsAre("script content showLevel('in',90)", "script content showLevel('out',80)"));

    // Hidden at the end of the call, the page still gets the end and the meter's zero.
    m_view.on_screen = false;
    m_presenter.Hangup();
    EXPECT_EQ(m_view.take(), ended());
}

TEST_F(CallPresentation, ARejectedCallEndsWhenItsEndArrives)
{
    m_calls.ring(9);
    m_presenter.OnCallState(CALLSTATE_OFFERING, 9);
    m_presenter.Reject();
    m_view.take();
    m_presenter.OnCallState(CALLSTATE_DISCONNECTED, 9);
    EXPECT_EQ(m_view.take(), ended());
    EXPECT_THAT(m_calls.take(), ElementsAre("reject")) << "the call is already gone";
}

TEST_F(CallPresentation, TheWizardGetsTheEventsWhileItRuns)
{
    m_calls.in_wizard = true;
    m_calls.ring(9);
    m_presenter.OnCallState(CALLSTATE_OFFERING, 9);
    m_presenter.OnCallState(CALLSTATE_DISCONNECTED, 9);
    EXPECT_THAT(m_view.take(), IsEmpty());
    EXPECT_THAT(m_calls.take(), IsEmpty());
}

TEST_F(CallPresentation, HangupWithoutACallStillShowsTheEnd)
{
    m_presenter.Hangup();
    EXPECT_EQ(m_view.take(), ended());
    EXPECT_THAT(m_calls.take(), ElementsAre("end_call"));
}

TEST_F(CallPresentation, DtmfKeysAreSentOnlyForTheirKeys)
{
    m_presenter.StartTone("#");
    m_presenter.EndTone("#");
    m_presenter.StartTone("12");
    m_presenter.StartTone("A");
    EXPECT_THAT(m_calls.take(), ElementsAre("start_tone 35", "end_tone 35"));
}

} // namespace
