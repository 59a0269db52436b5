// Calls through the local service: the echo number, a call between two phones with
// ringing, DTMF, hold and levels.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "sipx_phone.h"
#include "support/local_service.h"
#include "support/wav_file.h"

namespace {

constexpr const char* kService = "127.0.0.68";
const std::string kProxy = std::string(kService) + ":5060";

class SipxCallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.running());
        ASSERT_TRUE(write_tone_wav(files.file("tone.wav"), 8000, 440, 30.0));
    }

    test_support::IsolatedUser user;
    test_support::TempDir files;
    test_support::LocalService service{kService};
};

TEST_F(SipxCallTest, EchoTestConnectsAndTheRecordingHoldsTheEcho)
{
    std::string recording = files.file("echo.wav");
    {
        SipxPhone alice("127.0.0.69", files.file("tone.wav"), recording);
        ASSERT_TRUE(alice.ok());
        ASSERT_TRUE(alice.sign_in("alice", "wonderland_ndwo", kProxy));

        SIPX_CALL call = 0;
        ASSERT_EQ(sipxCallCreate(alice.inst(), alice.line(), &call), SIPX_RESULT_SUCCESS);
        ASSERT_EQ(sipxCallConnect(call, "echotest@kalvo.test", 0, nullptr, nullptr, true, nullptr, nullptr),
            SIPX_RESULT_SUCCESS);
        auto connected = alice.events().wait_for(call_event(CALLSTATE_CONNECTED));
        ASSERT_TRUE(connected);
        EXPECT_EQ(connected->call, call) << "call-state events carry the call handle";
        EXPECT_TRUE(
            alice.events().wait_for(call_event(CALLSTATE_REMOTE_OFFERING), std::chrono::milliseconds(0)));

        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        int input = 1, output = 1;
        EXPECT_EQ(sipxCallGetAudioLevels(call, &input, &output), SIPX_RESULT_SUCCESS);
        EXPECT_GE(input, -100);
        EXPECT_LE(input, 0);
        EXPECT_GT(output, -100) << "the echo is heard";

        // Muting and unmuting keep the call; the file mode's player ignores the capture
        // mute, so its effect on the sound is not observable here.
        EXPECT_EQ(sipxAudioMute(alice.inst(), true), SIPX_RESULT_SUCCESS);
        EXPECT_EQ(sipxAudioMute(alice.inst(), false), SIPX_RESULT_SUCCESS);
        EXPECT_EQ(sipxAudioMute(nullptr, true), SIPX_RESULT_INVALID_ARGS);

        char remote[256];
        EXPECT_EQ(sipxCallGetRemoteID(call, remote, sizeof remote), SIPX_RESULT_SUCCESS);
        EXPECT_NE(std::string(remote).find("echotest"), std::string::npos) << remote;
        char tiny[5];
        EXPECT_EQ(sipxCallGetRemoteID(call, tiny, sizeof tiny), SIPX_RESULT_INSUFFICIENT_BUFFER);
        EXPECT_EQ(std::string(tiny).size(), 4u) << "cut to the buffer, never past it";

        EXPECT_EQ(sipxCallDestroy(&call), SIPX_RESULT_SUCCESS);
        EXPECT_EQ(call, 0u) << "destroy clears the handle";
        EXPECT_TRUE(alice.events().wait_for(call_event(CALLSTATE_DESTROYED)));
    }
    double rms = wav_rms(recording);
    EXPECT_GT(rms, 200.0) << "the recording of the echo is not silence";
    EXPECT_LE(wav_longest_silence_ms(recording, 50.0), 500) << "the echo runs without gaps";
}

TEST_F(SipxCallTest, AnIncomingCallIsOfferedRingsAndConnectsWithDtmfAndHold)
{
    std::string ring_recording = files.file("ring.wav");
    ASSERT_TRUE(write_tone_wav(files.file("ringtone.wav"), 8000, 1000, 0.5));
    ::setenv(SIPX_ENV_RING_RECORD_FILE, ring_recording.c_str(), 1);

    SipxPhone bob("127.0.0.70", files.file("tone.wav"), files.file("bob.wav"));
    SipxPhone alice("127.0.0.69", files.file("tone.wav"), files.file("alice.wav"));
    ASSERT_TRUE(bob.ok() && alice.ok());
    // Bob's side acts as the call manager does: accept the offer, ring while alerting.
    std::string ringtone = files.file("ringtone.wav");
    bob.events().react = [&](const RecordedEvent& e) {
        if (e.category != EVENT_CATEGORY_CALLSTATE)
            return;
        if (e.event == CALLSTATE_OFFERING)
            sipxCallAccept(e.call, nullptr, nullptr, nullptr, false);
        if (e.event == CALLSTATE_ALERTING)
            sipxCallAudioPlayFileStart(e.call, ringtone.c_str(), true, true, false, false, 1.0f);
        if (e.event == CALLSTATE_CONNECTED)
            sipxCallAudioPlayFileStop(e.call);
    };
    ASSERT_TRUE(bob.sign_in("bob", "builder_ilbu", kProxy));
    ASSERT_TRUE(alice.sign_in("alice", "wonderland_ndwo", kProxy));

    SIPX_CALL outgoing = 0;
    ASSERT_EQ(sipxCallCreate(alice.inst(), alice.line(), &outgoing), SIPX_RESULT_SUCCESS);
    ASSERT_EQ(sipxCallConnect(outgoing, "bob@kalvo.test", 0, nullptr, nullptr, true, nullptr, nullptr),
        SIPX_RESULT_SUCCESS);

    auto offered = bob.events().wait_for(call_event(CALLSTATE_OFFERING));
    ASSERT_TRUE(offered);
    EXPECT_NE(offered->call, 0u);
    EXPECT_NE(offered->text.find("alice"), std::string::npos) << offered->text;
    ASSERT_TRUE(bob.events().wait_for(call_event(CALLSTATE_ALERTING)));
    ASSERT_TRUE(alice.events().wait_for(call_event(CALLSTATE_REMOTE_ALERTING))) << "the caller sees 180";

    // It rings, looping the half-second file, until answered.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    ASSERT_TRUE(std::filesystem::exists(ring_recording)) << "the ring file plays";
    auto early_size = std::filesystem::file_size(ring_recording);
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_GT(std::filesystem::file_size(ring_recording), early_size) << "the ring goes on";
    SIPX_CALL incoming = offered->call;
    ASSERT_EQ(sipxCallAnswer(incoming, true), SIPX_RESULT_SUCCESS);
    ASSERT_TRUE(bob.events().wait_for(call_event(CALLSTATE_CONNECTED)));
    ASSERT_TRUE(alice.events().wait_for(call_event(CALLSTATE_CONNECTED)));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto ring_size = std::filesystem::file_size(ring_recording);
    EXPECT_GT(ring_size, 2u * 8000 * 1) << "more than one pass of the file was played";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(std::filesystem::file_size(ring_recording), ring_size) << "the ring stops at answer";
    EXPECT_GT(wav_rms(ring_recording), 200.0) << "the ring recording holds the ring file";

    // DTMF "#" reaches the far end as a telephone event.
    EXPECT_EQ(sipxCallStartTone(outgoing, ID_DTMF_POUND, true, true), SIPX_RESULT_SUCCESS);
    auto dtmf = bob.events().wait_for([](const RecordedEvent& e) {
        return e.category == EVENT_CATEGORY_MEDIA && e.event == MEDIA_REMOTE_DTMF;
    });
    ASSERT_TRUE(dtmf);
    EXPECT_EQ(dtmf->text, "#");
    EXPECT_EQ(dtmf->call, incoming);
    EXPECT_EQ(sipxCallStopTone(outgoing), SIPX_RESULT_SUCCESS);
    EXPECT_EQ(
        sipxCallStartTone(outgoing, static_cast<SIPX_TONE_ID>('x'), true, true), SIPX_RESULT_INVALID_ARGS);

    // Hold holds the media on both sides; resume connects again.
    ASSERT_EQ(sipxCallHold(outgoing, true), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(alice.events().wait_for(call_event(CALLSTATE_HELD)));
    EXPECT_TRUE(bob.events().wait_for(call_event(CALLSTATE_REMOTE_HELD)));
    ASSERT_EQ(sipxCallUnhold(outgoing), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(alice.events().wait_for_count(call_event(CALLSTATE_CONNECTED), 2)) << "resumed";

    EXPECT_EQ(sipxCallDestroy(&outgoing), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(bob.events().wait_for(call_event(CALLSTATE_DISCONNECTED)));
    EXPECT_EQ(sipxCallDestroy(&incoming), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(bob.events().wait_for(call_event(CALLSTATE_DESTROYED)));
    ::unsetenv(SIPX_ENV_RING_RECORD_FILE);
}

} // namespace
