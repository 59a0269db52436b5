// The call manager over the real SIP layer against the local stand-in service: sign-in,
// STUN, voice-mail count, an echo-test call with real levels, and a wrong password.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iostream>
#include <mutex>
#include <thread>
#include <vector>

#include "log/log_dlg.h"
#include "log/log_file.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/registry.h"
#include "support/local_service.h"
#include "support/test_paths.h"
#include "telephony/call_manager.h"

using namespace std::chrono_literals;
using test_support::LocalService;

namespace {

constexpr const char* kAddress = "127.0.0.117";

// Signals arrive on the SIP engine thread; the test waits for them here.
class SignalRecord {
public:
    void add(const std::string& entry)
    {
        std::lock_guard guard(m_mutex);
        m_entries.push_back(entry);
        m_changed.notify_all();
    }
    bool wait_for(const std::string& entry, std::chrono::milliseconds timeout = 15s)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout,
            [&] { return std::find(m_entries.begin(), m_entries.end(), entry) != m_entries.end(); });
    }
    std::vector<std::string> entries() const
    {
        std::lock_guard guard(m_mutex);
        return m_entries;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_entries;
};

// A 16-bit mono 8 kHz WAV of a loud 440 Hz tone, the microphone in file-audio mode.
void write_tone_wav(const std::string& path, int seconds)
{
    const std::uint32_t rate = 8000;
    const std::uint32_t samples = rate * seconds;
    auto u32 = [](std::ofstream& out, std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::ofstream& out, std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    std::ofstream out(path, std::ios::binary);
    out.write("RIFF", 4);
    u32(out, 36 + samples * 2);
    out.write("WAVEfmt ", 8);
    u32(out, 16);
    u16(out, 1);
    u16(out, 1);
    u32(out, rate);
    u32(out, rate * 2);
    u16(out, 2);
    u16(out, 16);
    out.write("data", 4);
    u32(out, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        u16(out,
            static_cast<std::uint16_t>(
                static_cast<std::int16_t>(12000 * std::sin(2 * M_PI * 440 * i / rate))));
}

} // namespace

class CallManagerServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_service = new LocalService(kAddress);
        // The deployment is read once per process: point it at this service first.
        ::setenv("KALVO_DEPLOYMENT", s_service->deployment_file().c_str(), 1);
        ::setenv("KALVO_SIPX_BIND_ADDRESS", kAddress, 1);
    }
    static void TearDownTestSuite()
    {
        delete s_service;
        s_service = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_service->running()) << s_service->start_output();
        ASSERT_EQ(Deployment::get().gateway, kAddress);
        registry_string(settings_path("install_path")).set(m_user.home());
        log_file::set_folder(m_user.home());
        write_tone_wav(m_user.home() + "/microphone.wav", 20);
        ::setenv(SIPX_ENV_PLAY_FILE, (m_user.home() + "/microphone.wav").c_str(), 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);

        m_manager.call_state_changed.connect([this](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE, SIPX_CALL) {
            m_record.add("call " + std::to_string(event));
        });
        m_manager.line_state_changed.connect(
            [this](SIPX_LINESTATE_EVENT event) { m_record.add("line " + std::to_string(event)); });
        m_manager.config_event.connect(
            [this](SIPX_CONFIG_EVENT event) { m_record.add("config " + std::to_string(event)); });
        m_manager.messages_waiting.connect(
            [this](int count) { m_record.add("messages " + std::to_string(count)); });
    }

    void TearDown() override
    {
        if (HasFailure()) {
            for (const std::string& entry : m_record.entries())
                std::cerr << "signal: " << entry << "\n";
            std::cerr << "log window:" << LogDlg::instance().text() << "\n";
        }
    }

    void sign_in(const std::string& user, const std::string& password)
    {
        m_manager.set_account_type("pro");
        m_manager.set_outbound_proxy(Deployment::get().gateway);
        m_manager.login(user, password);
    }

    static LocalService* s_service;
    test_support::IsolatedUser m_user;
    CallManager m_manager{[] { return std::string(kAddress); }};
    SignalRecord m_record;
};

LocalService* CallManagerServiceTest::s_service = nullptr;

TEST_F(CallManagerServiceTest, AliceSignsInHearsHerMessagesAndReachesTheEchoTest)
{
    ASSERT_TRUE(m_manager.init());
    EXPECT_TRUE(m_record.wait_for("config " + std::to_string(CONFIG_STUN_SUCCESS)));

    sign_in("alice", "wonderland");
    ASSERT_TRUE(m_record.wait_for("line " + std::to_string(LINESTATE_REGISTERED)));
    // The subscription made on registration brings alice's 2 new and 1 old messages.
    EXPECT_TRUE(m_record.wait_for("messages 3"));
    EXPECT_NE(m_manager.subscription(), SIPX_SUB_NULL);

    m_manager.place_call("echotest");
    ASSERT_TRUE(m_record.wait_for("call " + std::to_string(CALLSTATE_CONNECTED)));
    EXPECT_TRUE(m_manager.in_call());

    // The echo returns our tone: the far-end meter moves off silence.
    int input = 1;
    int output = -100;
    for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
        m_manager.get_levels(input, output);
        if (output > -100)
            break;
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_GT(output, -100);
    EXPECT_LE(output, 0);
    EXPECT_GE(input, -100);
    EXPECT_LE(input, 0);

    m_manager.hold(true);
    m_manager.hold(false);
    m_manager.start_tone('#', true, true);
    m_manager.end_tone('#');
    m_manager.end_call();
    EXPECT_FALSE(m_manager.in_call());
    EXPECT_TRUE(m_record.wait_for("call " + std::to_string(CALLSTATE_DESTROYED)));
}

TEST_F(CallManagerServiceTest, AWrongPasswordFailsAndASecondLoginWithTheRightOneRegisters)
{
    ASSERT_TRUE(m_manager.init());
    sign_in("bob", "not-the-builder");
    EXPECT_TRUE(m_record.wait_for("line " + std::to_string(LINESTATE_REGISTER_FAILED)));
    EXPECT_THAT(
        m_record.entries(), testing::Not(testing::Contains("line " + std::to_string(LINESTATE_REGISTERED))));

    sign_in("bob", "builder");
    EXPECT_TRUE(m_record.wait_for("line " + std::to_string(LINESTATE_REGISTERED)));
}

TEST_F(CallManagerServiceTest, BobsCallRingsAtAliceUntilSheAnswers)
{
    // Bob is a second call manager in this process, with its own stack instance.
    CallManager bob([] { return std::string(kAddress); });
    SignalRecord bob_record;
    bob.call_state_changed.connect([&](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE, SIPX_CALL) {
        bob_record.add("call " + std::to_string(event));
    });
    bob.line_state_changed.connect(
        [&](SIPX_LINESTATE_EVENT event) { bob_record.add("line " + std::to_string(event)); });
    std::string ring_recording = m_user.home() + "/ring.wav";
    ::setenv("KALVO_SIPX_RING_RECORD_FILE", ring_recording.c_str(), 1);

    ASSERT_TRUE(m_manager.init());
    sign_in("alice", "wonderland");
    ASSERT_TRUE(m_record.wait_for("line " + std::to_string(LINESTATE_REGISTERED)));
    ASSERT_TRUE(bob.init());
    bob.set_outbound_proxy(Deployment::get().gateway);
    bob.login("bob", "builder");
    ASSERT_TRUE(bob_record.wait_for("line " + std::to_string(LINESTATE_REGISTERED)));

    bob.place_call("alice");
    // Alice's manager adopts and accepts the offer by itself: it rings at both ends.
    ASSERT_TRUE(m_record.wait_for("call " + std::to_string(CALLSTATE_OFFERING)));
    ASSERT_TRUE(m_record.wait_for("call " + std::to_string(CALLSTATE_ALERTING)));
    EXPECT_TRUE(bob_record.wait_for("call " + std::to_string(CALLSTATE_REMOTE_ALERTING)));
    EXPECT_TRUE(m_manager.in_call());
    EXPECT_EQ(m_manager.remote_user(), "bob");
    EXPECT_THAT(
        m_record.entries(), testing::Not(testing::Contains("call " + std::to_string(CALLSTATE_CONNECTED))))
        << "only the user answers";

    std::this_thread::sleep_for(500ms);
    m_manager.answer();
    EXPECT_TRUE(m_record.wait_for("call " + std::to_string(CALLSTATE_CONNECTED)));
    EXPECT_TRUE(bob_record.wait_for("call " + std::to_string(CALLSTATE_CONNECTED)));
    EXPECT_GT(std::filesystem::file_size(ring_recording), 44u) << "the ring file played while it rang";

    bob.end_call();
    EXPECT_TRUE(m_record.wait_for("call " + std::to_string(CALLSTATE_DISCONNECTED)));
    m_manager.end_call();
    EXPECT_FALSE(m_manager.in_call());
    ::unsetenv("KALVO_SIPX_RING_RECORD_FILE");
}
