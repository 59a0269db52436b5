#include <gmock/gmock.h>

#include "call_manager_fixture.h"

using fake_sipx::calls_starting;
using fake_sipx::state;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

TEST_F(CallManagerTest, TargetsWithoutAnAtGetTheSipDomain)
{
    sign_in();
    m_manager.place_call("echotest");
    EXPECT_THAT(state().calls,
        ElementsAre("sipxCallCreate inst 3",
            "sipxCallConnect 7 echotest@" + m_domain + " 0 true true true true (null)"));
    EXPECT_EQ(m_manager.current_call(), 7u);
    EXPECT_EQ(m_manager.call_activity(), 1);
    EXPECT_TRUE(in_order(log_lines(),
        {"In call check", "Placing a call to:", "Creating call", "Setting m_state to 1",
            "echotest@" + m_domain}));
}

TEST_F(CallManagerTest, TargetsWithAnAtAreDialledUnchanged)
{
    sign_in();
    m_manager.place_call("carol@elsewhere.org");
    EXPECT_THAT(calls_starting("sipxCallConnect"),
        ElementsAre("sipxCallConnect 7 carol@elsewhere.org 0 true true true true (null)"));
}

TEST_F(CallManagerTest, PlacingIsRefusedInACallAndDoesNothingSignedOut)
{
    place_a_call();
    m_manager.place_call("carol");
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_TRUE(in_order(log_lines(), {"In call check", "m_call != 0", "7", "We're in a call"}));

    CallManager signed_out([] { return std::string("0.0.0.0"); });
    state().calls.clear();
    signed_out.place_call("carol");
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_FALSE(signed_out.in_call());
}

TEST_F(CallManagerTest, ACallThatCannotConnectIsDropped)
{
    sign_in();
    state().connect_result = SIPX_RESULT_BAD_ADDRESS;
    m_manager.place_call("bob");
    EXPECT_THAT(calls_starting("sipxCallDestroy"), ElementsAre("sipxCallDestroy 7"));
    EXPECT_FALSE(m_manager.in_call());
    EXPECT_EQ(m_manager.call_activity(), 0);

    state().calls.clear();
    m_manager.place_call("");
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_THAT(log_lines(), Contains("No number to call"));
}

TEST_F(CallManagerTest, EndCallDestroysTheCurrentCall)
{
    place_a_call();
    m_manager.end_call();
    EXPECT_THAT(state().calls, ElementsAre("sipxCallDestroy 7"));
    EXPECT_EQ(m_manager.current_call(), 0u);
    EXPECT_EQ(m_manager.call_activity(), 0);
    EXPECT_TRUE(
        in_order(log_lines(), {"Ending call and setting m_call to 0", "Destroyed call", "m_call is 0"}));

    state().calls.clear();
    m_manager.end_call();
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_THAT(log_lines(), Contains("No need to end this call, we're not active"));
}

TEST_F(CallManagerTest, AFailedDestroyKeepsTheCallAndItsActivity)
{
    place_a_call();
    state().destroy_result = SIPX_RESULT_FAILURE;
    m_manager.end_call();
    EXPECT_EQ(m_manager.current_call(), 7u);
    EXPECT_EQ(m_manager.call_activity(), 1);
    EXPECT_THAT(log_lines(), Contains("Error destroying call"));
    EXPECT_THAT(log_lines(), Not(Contains("Destroyed call")));
}

TEST_F(CallManagerTest, ACallTheStackNoLongerKnowsIsForgotten)
{
    place_a_call();
    state().destroy_result = SIPX_RESULT_INVALID_ARGS;
    m_manager.end_call();
    EXPECT_FALSE(m_manager.in_call());
    EXPECT_EQ(m_manager.call_activity(), 0);
    EXPECT_TRUE(in_order(log_lines(),
        {"Error destroying call", "The SIP stack does not know call 7; forgetting it", "m_call is 0"}));

    state().calls.clear();
    m_manager.place_call("carol");
    EXPECT_THAT(calls_starting("sipxCallCreate"), ElementsAre("sipxCallCreate inst 3"));
}

TEST_F(CallManagerTest, AnswerActsOnlyOnACall)
{
    sign_in();
    m_manager.answer();
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_THAT(log_lines(), ElementsAre());

    call_event(9, CALLSTATE_OFFERING);
    state().calls.clear();
    m_manager.answer();
    EXPECT_THAT(state().calls, ElementsAre("sipxCallAnswer 9 true"));
    EXPECT_THAT(log_lines(), Contains("Answering call"));
    EXPECT_EQ(m_manager.call_activity(), 1);
}

TEST_F(CallManagerTest, RejectAnswersBadRequestAndDestroys)
{
    sign_in();
    call_event(9, CALLSTATE_OFFERING);
    state().calls.clear();
    m_manager.reject();
    EXPECT_THAT(state().calls, ElementsAre("sipxCallReject 9 400 Bad Request", "sipxCallDestroy 9"));
    EXPECT_EQ(m_manager.current_call(), 0u);
}

TEST_F(CallManagerTest, HoldHoldsTheMediaAndResumeUnholds)
{
    place_a_call();
    m_manager.hold(true);
    m_manager.hold(false);
    EXPECT_THAT(state().calls, ElementsAre("sipxCallHold 7 true", "sipxCallUnhold 7"));
    EXPECT_THAT(log_lines(), ElementsAre("Placing call on hold"));
}

TEST_F(CallManagerTest, MuteSwitchesTheMicrophone)
{
    place_a_call();
    m_manager.mute(true);
    m_manager.mute(false);
    EXPECT_THAT(state().calls, ElementsAre("sipxAudioMute inst true", "sipxAudioMute inst false"));
    state().mute_result = SIPX_RESULT_FAILURE;
    m_manager.mute(true);
    EXPECT_THAT(log_lines(), Contains("Could not mute the microphone"));
}

TEST_F(CallManagerTest, TonesAreSentOnlyDuringACall)
{
    sign_in();
    m_manager.start_tone('#', true, true);
    m_manager.end_tone('#');
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_THAT(log_lines(), Not(Contains("********** Playing DTMF tone")));

    m_manager.place_call("bob");
    state().calls.clear();
    m_manager.start_tone('#', true, true);
    m_manager.end_tone('#');
    m_manager.start_tone('5', true, true);
    EXPECT_THAT(state().calls,
        ElementsAre(
            "sipxCallStartTone 7 35 true true", "sipxCallStopTone 7", "sipxCallStartTone 7 53 true true"));
    EXPECT_TRUE(in_order(log_lines(),
        {"Checking call state in start_tone", "********** Playing DTMF tone",
            "Checking call state in end_tone", "********** Ending DTMF tone"}));

    state().calls.clear();
    m_manager.start_tone(1000, true, true);
    m_manager.start_tone('x', true, true);
    EXPECT_THAT(state().calls, ElementsAre());
}

TEST_F(CallManagerTest, RemoteUserTakesTheUserPartOfTheFarEnd)
{
    place_a_call();
    state().remote_id = "\"Bob Smith\" <sip:bob@kalvo.test>";
    EXPECT_EQ(m_manager.remote_user(), "bob");
    EXPECT_THAT(state().calls, ElementsAre("sipxCallGetRemoteID 7 256"));
    EXPECT_TRUE(in_order(log_lines(), {"\"Bob Smith\" <sip:bob@kalvo.test>", "bob"}));

    state().remote_id = "anonymous";
    EXPECT_EQ(m_manager.remote_user(), "anonymous");
}

TEST_F(CallManagerTest, ARemoteIdentityLongerThanTheBufferIsCut)
{
    place_a_call();
    state().remote_id = "\"" + std::string(400, 'x') + "\" <sip:bob@kalvo.test>";
    std::string user = m_manager.remote_user();
    EXPECT_EQ(user.size(), 255u);
    EXPECT_EQ(user, state().remote_id.substr(0, 255));
}

TEST_F(CallManagerTest, LevelsComeFromTheCallWithinTheMeterRange)
{
    int input = 0;
    int output = 0;
    m_manager.get_levels(input, output);
    EXPECT_EQ(input, -100) << "no call: silence";
    EXPECT_EQ(output, -100);

    place_a_call();
    state().input_level = -20;
    state().output_level = -45;
    m_manager.get_levels(input, output);
    EXPECT_EQ(input, -20);
    EXPECT_EQ(output, -45);
    EXPECT_THAT(state().calls, ElementsAre("sipxCallGetAudioLevels 7"));

    state().input_level = 12;
    state().output_level = -300;
    m_manager.get_levels(input, output);
    EXPECT_EQ(input, 0);
    EXPECT_EQ(output, -100);

    state().levels_result = SIPX_RESULT_INVALID_ARGS;
    m_manager.get_levels(input, output);
    EXPECT_EQ(input, -100);
    EXPECT_EQ(output, -100);
}
