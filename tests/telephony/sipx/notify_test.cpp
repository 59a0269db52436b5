// The message-summary subscription: NOTIFY bodies arrive as EVENT_CATEGORY_NOTIFY.
#include <gtest/gtest.h>
#include <optional>

#include "sipx_phone.h"
#include "support/local_service.h"

namespace {

TEST(SipxNotifyTest, MessageSummaryBodiesArriveAndAStoppedInstanceTakesItsHandlesAlong)
{
    test_support::IsolatedUser user;
    test_support::LocalService service("127.0.0.72");
    ASSERT_TRUE(service.running());
    std::optional<SipxPhone> phone;
    phone.emplace("127.0.0.73");
    SipxPhone& alice = *phone;
    ASSERT_TRUE(alice.ok());
    ASSERT_TRUE(alice.sign_in("alice", "wonderland_ndwo", "127.0.0.72:5060"));

    SIPX_SUB sub = 0;
    ASSERT_EQ(sipxConfigSubscribe(alice.inst(), alice.line(), "sip:voicemail@kalvo.test", "message-summary",
                  "application/simple-message-summary", 1, &sub),
        SIPX_RESULT_SUCCESS);
    EXPECT_NE(sub, 0u);
    ASSERT_TRUE(alice.events().wait_for(notify_containing("Voice-Message: 2/1")));

    ASSERT_TRUE(service.set_voicemail("alice", 7, 3));
    EXPECT_TRUE(alice.events().wait_for(notify_containing("Voice-Message: 7/3")));

    EXPECT_EQ(sipxConfigUnsubscribe(sub), SIPX_RESULT_SUCCESS);
    EXPECT_EQ(sipxConfigUnsubscribe(sub), SIPX_RESULT_INVALID_ARGS);

    // A live subscription, line and call go with the instance when it stops.
    ASSERT_EQ(sipxConfigSubscribe(alice.inst(), alice.line(), "voicemail@kalvo.test", "message-summary",
                  "application/simple-message-summary", 1, &sub),
        SIPX_RESULT_SUCCESS);
    SIPX_CALL call = 0;
    ASSERT_EQ(sipxCallCreate(alice.inst(), alice.line(), &call), SIPX_RESULT_SUCCESS);
    ASSERT_EQ(sipxCallConnect(call, "echotest@kalvo.test", 0, nullptr, nullptr, true, nullptr, nullptr),
        SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(alice.events().wait_for(call_event(CALLSTATE_CONNECTED)));
    SIPX_INST inst = alice.inst();
    SIPX_LINE line = alice.line();
    phone.reset();
    EXPECT_EQ(sipxCallDestroy(&call), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxLineRegister(line, false), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxConfigUnsubscribe(sub), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxUnInitialize(inst, false), SIPX_RESULT_INVALID_ARGS);
}

} // namespace
