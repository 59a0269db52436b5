// Registration through the local service's Kamailio, with the real SIP layer.
#include "sipx_phone.h"

#include "support/local_service.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kService = "127.0.0.60";
constexpr const char* kPhone = "127.0.0.61";

class SipxRegisterTest : public ::testing::Test {
protected:
    test_support::IsolatedUser user;
    test_support::LocalService service{kService};
};

TEST_F(SipxRegisterTest, RegistersAndUnregistersThroughTheOutboundProxy) {
    ASSERT_TRUE(service.started());
    SipxPhone alice(kPhone);
    ASSERT_TRUE(alice.ok());
    alice.login("alice", "wonderland_ndwo", std::string(kService) + ":5060");

    auto registered = alice.events().wait_for(line_event(LINESTATE_REGISTERED));
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->line, alice.line());
    EXPECT_TRUE(alice.events().wait_for(line_event(LINESTATE_REGISTERING), std::chrono::milliseconds(0)))
        << "REGISTERING comes before REGISTERED";

    EXPECT_EQ(sipxLineRegister(alice.line(), false), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(alice.events().wait_for(line_event(LINESTATE_UNREGISTERED)));
}

TEST_F(SipxRegisterTest, WrongPasswordFailsAndNeverRegisters) {
    ASSERT_TRUE(service.started());
    SipxPhone alice(kPhone);
    ASSERT_TRUE(alice.ok());
    alice.login("alice", "not-the-password", std::string(kService) + ":5060");

    auto failed = alice.events().wait_for(line_event(LINESTATE_REGISTER_FAILED));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->cause, LINESTATE_CAUSE_NOT_AUTHORIZED);
    EXPECT_FALSE(alice.events().wait_for(line_event(LINESTATE_REGISTERED), std::chrono::milliseconds(500)));
}

TEST_F(SipxRegisterTest, ASecondLineReplacesARemovedOne) {
    ASSERT_TRUE(service.started());
    SipxPhone phone(kPhone);
    ASSERT_TRUE(phone.ok());
    phone.login("alice", "wonderland_ndwo", std::string(kService) + ":5060");
    ASSERT_TRUE(phone.events().wait_for(line_event(LINESTATE_REGISTERED)));
    SIPX_LINE first = phone.line();

    EXPECT_EQ(sipxLineRemove(first), SIPX_RESULT_SUCCESS);
    EXPECT_EQ(sipxLineRemove(first), SIPX_RESULT_INVALID_ARGS) << "a removed line is gone";
    phone.login("bob", "builder_ilbu", std::string(kService) + ":5060");
    EXPECT_NE(phone.line(), first) << "handles are not reused";
    auto registered = phone.events().wait_for([&](const RecordedEvent& e) {
        return e.category == EVENT_CATEGORY_LINESTATE && e.event == LINESTATE_REGISTERED && e.line == phone.line();
    });
    EXPECT_TRUE(registered);
}

} // namespace
