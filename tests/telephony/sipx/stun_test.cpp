// STUN binding requests and the local contacts.
#include <gtest/gtest.h>

#include "sipx_phone.h"
#include "support/local_service.h"

namespace {

TEST(SipxStunTest, BindingThroughTheServiceReportsSuccessAndTheMappedContact)
{
    test_support::IsolatedUser user;
    test_support::LocalService service("127.0.0.64");
    ASSERT_TRUE(service.running());
    SipxPhone phone("127.0.0.65");
    ASSERT_TRUE(phone.ok());
    ASSERT_EQ(sipxConfigEnableStun(phone.inst(), "127.0.0.64", 3478, 24), SIPX_RESULT_SUCCESS);

    auto success = phone.events().wait_for(config_event(CONFIG_STUN_SUCCESS));
    ASSERT_TRUE(success);
    EXPECT_EQ(success->text.rfind("127.0.0.65:", 0), 0u) << success->text;

    SIPX_CONTACT_ADDRESS contacts[32];
    size_t count = 0;
    ASSERT_EQ(sipxConfigGetLocalContacts(phone.inst(), contacts, 32, &count), SIPX_RESULT_SUCCESS);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(contacts[0].eContactType, CONTACT_LOCAL);
    EXPECT_STREQ(contacts[0].cIpAddress, "127.0.0.65");
    EXPECT_GT(contacts[0].iPort, 0);
    EXPECT_EQ(contacts[1].eContactType, CONTACT_NAT_MAPPED);
    EXPECT_STREQ(contacts[1].cIpAddress, "127.0.0.65");

    // A smaller array gets only what fits.
    ASSERT_EQ(sipxConfigGetLocalContacts(phone.inst(), contacts, 1, &count), SIPX_RESULT_SUCCESS);
    EXPECT_EQ(count, 1u);
}

TEST(SipxStunTest, ADeadServerReportsFailure)
{
    test_support::IsolatedUser user;
    SipxPhone phone("127.0.0.66");
    ASSERT_TRUE(phone.ok());
    ASSERT_EQ(sipxConfigEnableStun(phone.inst(), "127.0.0.79", 3478, 24), SIPX_RESULT_SUCCESS);

    ASSERT_TRUE(phone.events().wait_for(config_event(CONFIG_STUN_FAILURE)));
    EXPECT_FALSE(phone.events().wait_for(config_event(CONFIG_STUN_SUCCESS), std::chrono::milliseconds(0)));

    SIPX_CONTACT_ADDRESS contacts[4];
    size_t count = 0;
    ASSERT_EQ(sipxConfigGetLocalContacts(phone.inst(), contacts, 4, &count), SIPX_RESULT_SUCCESS);
    for (size_t i = 0; i < count; ++i)
        EXPECT_NE(contacts[i].eContactType, CONTACT_NAT_MAPPED) << "no mapping without an answer";
}

TEST(SipxStunTest, AnUnresolvableServerReportsFailure)
{
    test_support::IsolatedUser user;
    SipxPhone phone("127.0.0.66");
    ASSERT_TRUE(phone.ok());
    ASSERT_EQ(sipxConfigEnableStun(phone.inst(), "no-such-host.invalid", 3478, 0), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(phone.events().wait_for(config_event(CONFIG_STUN_FAILURE)));
}

} // namespace
