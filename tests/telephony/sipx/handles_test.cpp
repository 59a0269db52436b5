// Bad handles and arguments are refused, never followed.
#include <cstdlib>
#include <gtest/gtest.h>

#include "sipx_phone.h"
#include "support/test_paths.h"

namespace {

TEST(SipxHandlesTest, UnknownHandlesAreRefusedWithoutHarm)
{
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

TEST(SipxHandlesTest, ADestroyedCallHandleIsDeadAndAnUnconnectedCallCanBeDestroyed)
{
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

TEST(SipxHandlesTest, CodecsPreferSpeexAndKeepTheFallbacks)
{
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

namespace {

TEST(SipxHandlesTest, NoWritableDataFolderRefusesToStartInsteadOfAHalfStartedCore)
{
    test_support::IsolatedUser user;
    ::setenv("XDG_DATA_HOME", "/dev/null/not-a-folder", 1);
    SIPX_INST inst = reinterpret_cast<SIPX_INST>(1);
    EXPECT_EQ(sipxInitialize(&inst, SIPX_PORT_AUTO, SIPX_PORT_DISABLE, SIPX_PORT_DISABLE, 0, 32, "",
                  "127.0.0.67", false, nullptr, nullptr, nullptr),
        SIPX_RESULT_MISSING_RUNTIME_FILES);
    EXPECT_EQ(inst, nullptr);
}

} // namespace

namespace {

TEST(SipxHandlesTest, AnInstanceCanBeStartedStoppedAndStartedAgainAtOnce)
{
    test_support::IsolatedUser user;
    SIPX_INST first = nullptr;
    ASSERT_EQ(sipxInitialize(&first, SIPX_PORT_AUTO, SIPX_PORT_AUTO, 4255, 9000, 32, "", "127.0.0.67", false,
                  nullptr, nullptr, nullptr),
        SIPX_RESULT_SUCCESS);
    ASSERT_EQ(sipxUnInitialize(first, false), SIPX_RESULT_SUCCESS);
    ::setenv(SIPX_ENV_BIND_ADDRESS, "127.0.0.67", 1);
    SIPX_INST second = nullptr;
    ASSERT_EQ(sipxInitialize(&second, SIPX_PORT_AUTO, SIPX_PORT_AUTO, 4255, 9000, 32, "alice@kalvo.test",
                  nullptr, false, nullptr, nullptr, nullptr),
        SIPX_RESULT_SUCCESS);
    ::unsetenv(SIPX_ENV_BIND_ADDRESS);
    EXPECT_EQ(sipxConfigEnableRport(first, true), SIPX_RESULT_INVALID_ARGS) << "the stopped instance is gone";

    SIPX_CONTACT_ADDRESS contacts[4];
    size_t count = 0;
    ASSERT_EQ(sipxConfigGetLocalContacts(second, contacts, 4, &count), SIPX_RESULT_SUCCESS);
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(contacts[0].cIpAddress, "127.0.0.67") << "bound through the environment";
    EXPECT_GT(contacts[0].iPort, 0);
    EXPECT_EQ(sipxUnInitialize(second, false), SIPX_RESULT_SUCCESS);
}

} // namespace

namespace {

TEST(SipxHandlesTest, DevicesAreListedAndChosenOnlyByKnownNames)
{
    test_support::IsolatedUser user;
    SipxPhone phone("127.0.0.67");
    ASSERT_TRUE(phone.ok());
    size_t inputs = 99, outputs = 99;
    ASSERT_EQ(sipxAudioGetNumInputDevices(phone.inst(), &inputs), SIPX_RESULT_SUCCESS);
    ASSERT_EQ(sipxAudioGetNumOutputDevices(phone.inst(), &outputs), SIPX_RESULT_SUCCESS);
    for (size_t i = 0; i < inputs; ++i) {
        const char* name = nullptr;
        ASSERT_EQ(sipxAudioGetInputDevice(phone.inst(), static_cast<int>(i), &name), SIPX_RESULT_SUCCESS);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(sipxAudioSetCallInputDevice(phone.inst(), name), SIPX_RESULT_SUCCESS) << name;
    }
    const char* name = "untouched";
    EXPECT_EQ(
        sipxAudioGetInputDevice(phone.inst(), static_cast<int>(inputs), &name), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(sipxAudioGetOutputDevice(phone.inst(), -1, &name), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxAudioSetCallInputDevice(phone.inst(), "no such device"), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxAudioSetCallOutputDevice(phone.inst(), "no such device"), SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxAudioSetRingerOutputDevice(phone.inst(), nullptr), SIPX_RESULT_INVALID_ARGS);
}

} // namespace
