// The message-summary subscription: NOTIFY bodies arrive as EVENT_CATEGORY_NOTIFY.
#include "sipx_phone.h"

#include "support/local_service.h"

#include <gtest/gtest.h>

namespace {

TEST(SipxNotifyTest, MessageSummaryBodiesArriveAtSubscribeAndOnEveryChange) {
    test_support::IsolatedUser user;
    test_support::LocalService service("127.0.0.72");
    ASSERT_TRUE(service.started());
    SipxPhone alice("127.0.0.73");
    ASSERT_TRUE(alice.ok());
    alice.login("alice", "wonderland_ndwo", "127.0.0.72:5060");
    ASSERT_TRUE(alice.events().wait_for(line_event(LINESTATE_REGISTERED)));

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
}

} // namespace
