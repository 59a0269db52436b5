// Bad handles and arguments are refused, never followed.
#include "sipx_phone.h"

#include "support/test_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(SipxHandlesTest, UnknownHandlesAreRefusedWithoutHarm) {
    test_support::IsolatedUser user;
    int not_an_instance = 0;
    EXPECT_EQ(sipxUnInitialize(&not_an_instance, false), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxConfigEnableStun(nullptr, "127.0.0.1", 3478, 24), SIPX_RESULT_INVALID_ARGS);

    SIPX_CALL call = 4242;
    EXPECT_EQ(sipxCallDestroy(&call), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(call, 4242u) << "a failed destroy leaves the handle";
    EXPECT_EQ(sipxCallDestroy(nullptr), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxCallAnswer(4242, true), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxCallStartTone(4242, ID_DTMF_1, true, true), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxLineRegister(4242, true), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxLineRemove(0), SIPX_RESULT_INVALID_ARGS);
    char remote[8] = "x";
    EXPECT_EQ(sipxCallGetRemoteID(4242, remote, sizeof remote), SIPX_RESULT_INVALID_ARGS);
    EXPECT_STREQ(remote, "");
}

TEST(SipxHandlesTest, ADestroyedCallHandleIsDeadAndAnUnconnectedCallCanBeDestroyed) {
    test_support::IsolatedUser user;
    SipxPhone phone("127.0.0.67");
    ASSERT_TRUE(phone.ok());

    SIPX_CALL call = 0;
    ASSERT_EQ(sipxCallCreate(phone.inst(), 0, &call), SIPX_RESULT_SUCCESS);
    ASSERT_NE(call, 0u);
    EXPECT_EQ(sipxCallAnswer(call, true), SIPX_RESULT_INVALID_STATE) << "nothing to answer yet";
    SIPX_CALL copy = call;
    ASSERT_EQ(sipxCallDestroy(&call), SIPX_RESULT_SUCCESS);
    EXPECT_EQ(call, 0u);
    EXPECT_EQ(sipxCallDestroy(&copy), SIPX_RESULT_INVALID_ARGS) << "destroyed handles stay dead";
    EXPECT_TRUE(phone.events().wait_for(call_event(CALLSTATE_DESTROYED)));

    EXPECT_EQ(sipxCallCreate(phone.inst(), 999, &call), SIPX_RESULT_INVALID_ARGS) << "unknown line";
    EXPECT_EQ(sipxLineAdd(phone.inst(), "", &call, 0), SIPX_RESULT_INVALID_ARGS);
}

TEST(SipxHandlesTest, CodecsPreferSpeexAndKeepTheFallbacks) {
    test_support::IsolatedUser user;
    SipxPhone phone("127.0.0.67"); // chooses SPEEX
    ASSERT_TRUE(phone.ok());
    int count = 0;
    ASSERT_EQ(sipxConfigGetNumAudioCodecs(phone.inst(), &count), SIPX_RESULT_SUCCESS);
    ASSERT_GT(count, 0);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        SIPX_AUDIO_CODEC codec;
        ASSERT_EQ(sipxConfigGetAudioCodec(phone.inst(), i, &codec), SIPX_RESULT_SUCCESS);
        names.emplace_back(codec.cName);
    }
    EXPECT_EQ(names.front(), "SPEEX");
    for (const char* fallback : {"OPUS", "G722", "PCMU", "PCMA"})
        EXPECT_NE(std::find(names.begin(), names.end(), fallback), names.end()) << fallback;
    EXPECT_EQ(std::find(names.begin(), names.end(), "GSM"), names.end());
    SIPX_AUDIO_CODEC codec;
    EXPECT_EQ(sipxConfigGetAudioCodec(phone.inst(), count, &codec), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxConfigSetAudioCodecByName(phone.inst(), "NO-SUCH-CODEC"), SIPX_RESULT_FAILURE);
}

} // namespace
