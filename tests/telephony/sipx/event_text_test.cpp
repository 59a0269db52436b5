#include <cstring>
#include <gtest/gtest.h>

#include "telephony/sipx/event_text.h"
#include "telephony/sipx/state_map.h"

namespace {

TEST(SipxEventTextTest, NamesEventsAndCutsToTheBuffer)
{
    SIPX_CALLSTATE_INFO call{sizeof call, 1, 1, CALLSTATE_CONNECTED, CALLSTATE_CAUSE_NORMAL, ""};
    char buffer[128];
    EXPECT_STREQ(sipxEventToString(EVENT_CATEGORY_CALLSTATE, &call, buffer, sizeof buffer),
        "CALLSTATE_CONNECTED::CALLSTATE_CAUSE_NORMAL");
    SIPX_LINESTATE_INFO line{sizeof line, 1, LINESTATE_REGISTER_FAILED, LINESTATE_CAUSE_NOT_AUTHORIZED};
    EXPECT_STREQ(sipxEventToString(EVENT_CATEGORY_LINESTATE, &line, buffer, sizeof buffer),
        "LINESTATE_REGISTER_FAILED::LINESTATE_CAUSE_NOT_AUTHORIZED");
    SIPX_CONFIG_INFO config{sizeof config, CONFIG_STUN_FAILURE, ""};
    EXPECT_STREQ(
        sipxEventToString(EVENT_CATEGORY_CONFIG, &config, buffer, sizeof buffer), "CONFIG_STUN_FAILURE");

    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_STREQ(sipxEventToString(EVENT_CATEGORY_CALLSTATE, &call, small, sizeof small), "CALLSTA");
    EXPECT_STREQ(sipxEventToString(EVENT_CATEGORY_CALLSTATE, &call, nullptr, 0), "");

    SIPX_CALLSTATE_INFO odd{
        sizeof odd, 1, 1, static_cast<SIPX_CALLSTATE_EVENT>(1234), CALLSTATE_CAUSE_NORMAL, ""};
    EXPECT_STREQ(sipxEventToString(EVENT_CATEGORY_CALLSTATE, &odd, buffer, sizeof buffer),
        "UNKNOWN(1234)::CALLSTATE_CAUSE_NORMAL");
    EXPECT_STREQ(
        sipxEventToString(static_cast<SIPX_EVENT_CATEGORY>(77), &call, buffer, sizeof buffer), "UNKNOWN(77)");
}

TEST(SipxStateMapTest, CoreCallStatesBecomeCallEventsOnce)
{
    auto offered = map_call_state(LinphoneCallStateIncomingReceived, LinphoneReasonNone, CALLSTATE_UNKNOWN);
    ASSERT_TRUE(offered);
    EXPECT_EQ(offered->event, CALLSTATE_OFFERING);
    auto ringing =
        map_call_state(LinphoneCallStateOutgoingRinging, LinphoneReasonNone, CALLSTATE_REMOTE_OFFERING);
    ASSERT_TRUE(ringing);
    EXPECT_EQ(ringing->event, CALLSTATE_REMOTE_ALERTING);
    // Connected then StreamsRunning report CONNECTED once; after a hold, again.
    EXPECT_FALSE(map_call_state(LinphoneCallStateStreamsRunning, LinphoneReasonNone, CALLSTATE_CONNECTED));
    auto resumed = map_call_state(LinphoneCallStateStreamsRunning, LinphoneReasonNone, CALLSTATE_HELD);
    ASSERT_TRUE(resumed);
    EXPECT_EQ(resumed->event, CALLSTATE_CONNECTED);
    auto busy = map_call_state(LinphoneCallStateError, LinphoneReasonBusy, CALLSTATE_REMOTE_OFFERING);
    ASSERT_TRUE(busy);
    EXPECT_EQ(busy->event, CALLSTATE_DISCONNECTED);
    EXPECT_EQ(busy->cause, CALLSTATE_CAUSE_BUSY);
    EXPECT_FALSE(map_call_state(LinphoneCallStateEnd, LinphoneReasonNone, CALLSTATE_DISCONNECTED));
    EXPECT_FALSE(map_call_state(LinphoneCallStateOutgoingInit, LinphoneReasonNone, CALLSTATE_UNKNOWN));
}

TEST(SipxStateMapTest, RegistrationStatesFollowTheLinesWish)
{
    auto registering = map_registration_state(LinphoneRegistrationProgress, LinphoneReasonNone, true);
    ASSERT_TRUE(registering);
    EXPECT_EQ(registering->event, LINESTATE_REGISTERING);
    auto unregistering = map_registration_state(LinphoneRegistrationProgress, LinphoneReasonNone, false);
    ASSERT_TRUE(unregistering);
    EXPECT_EQ(unregistering->event, LINESTATE_UNREGISTERING);
    auto refused = map_registration_state(LinphoneRegistrationFailed, LinphoneReasonForbidden, true);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->event, LINESTATE_REGISTER_FAILED);
    EXPECT_EQ(refused->cause, LINESTATE_CAUSE_NOT_AUTHORIZED);
    auto timeout = map_registration_state(LinphoneRegistrationFailed, LinphoneReasonNoResponse, true);
    ASSERT_TRUE(timeout);
    EXPECT_EQ(timeout->cause, LINESTATE_CAUSE_TIMEOUT);
    EXPECT_FALSE(map_registration_state(LinphoneRegistrationNone, LinphoneReasonNone, true));
}

} // namespace
