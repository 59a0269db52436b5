// The call manager over the real SIP layer against the local stand-in service: sign-in,
// STUN, voice-mail count, an echo-test call with real levels, a wrong password, a second
// caller told busy, registration refreshes, the sign-out, and a service that goes away.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
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
#include "support/wav_file.h"
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
    // Waits until the entry has been added `count` times.
    bool wait_for_count(const std::string& entry, std::size_t count, std::chrono::milliseconds timeout = 15s)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, timeout, [&] {
            return static_cast<std::size_t>(std::count(m_entries.begin(), m_entries.end(), entry)) >= count;
        });
    }
    std::size_t count(const std::string& entry) const
    {
        std::lock_guard guard(m_mutex);
        return std::count(m_entries.begin(), m_entries.end(), entry);
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
        write_tone_wav(m_user.home() + "/microphone.wav", 8000, 440, 20.0);
        ::setenv(SIPX_ENV_PLAY_FILE, (m_user.home() + "/microphone.wav").c_str(), 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);

        m_manager.call_state_changed.connect(
            [this](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE, SIPX_CALL) {
                m_record.add("call " + std::to_string(event));
            });
        m_manager.line_state_changed.connect(
            [this](SIPX_LINESTATE_EVENT event) { m_record.add("line " + std::to_string(event)); });
        m_manager.config_event.connect(
            [this](SIPX_CONFIG_EVENT event) { m_record.add("config " + std::to_string(event)); });
        m_manager.messages_waiting.connect(
            [this](int count) { m_record.add("messages " + std::to_string(count)); });
        m_manager.missed_call.connect(
            [this](const std::string& caller) { m_record.add("missed " + caller); });
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

    // The echo returns our tone: the far-end level moves off silence.
    bool echo_heard()
    {
        int input = -100;
        int output = -100;
        for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
            m_manager.get_levels(input, output);
            if (output > -100)
                return true;
            std::this_thread::sleep_for(100ms);
        }
        return false;
    }

    static std::string line_entry(SIPX_LINESTATE_EVENT event) { return "line " + std::to_string(event); }
    static std::string call_entry(SIPX_CALLSTATE_EVENT event) { return "call " + std::to_string(event); }

    static LocalService* s_service;
    test_support::IsolatedUser m_user;
    SignalRecord m_record; // declared first: the telephone still signals while it shuts down
    CallManager m_manager{[] { return std::string(kAddress); }};
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
    // The record outlives the telephone: events still come while it shuts down.
    SignalRecord bob_record;
    CallManager bob([] { return std::string(kAddress); });
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

TEST_F(CallManagerServiceTest, ASecondCallerHearsBusyWhileTheFirstCallGoesOn)
{
    // The record outlives the telephone: events still come while it shuts down.
    SignalRecord bob_record;
    CallManager bob([] { return std::string(kAddress); });
    bob.call_state_changed.connect([&](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause, SIPX_CALL) {
        bob_record.add("call " + std::to_string(event) + " " + std::to_string(cause));
    });
    bob.line_state_changed.connect([&](SIPX_LINESTATE_EVENT event) { bob_record.add(line_entry(event)); });
    ASSERT_TRUE(m_manager.init());
    sign_in("alice", "wonderland");
    ASSERT_TRUE(m_record.wait_for(line_entry(LINESTATE_REGISTERED)));
    ASSERT_TRUE(bob.init());
    bob.set_outbound_proxy(Deployment::get().gateway);
    bob.login("bob", "builder");
    ASSERT_TRUE(bob_record.wait_for(line_entry(LINESTATE_REGISTERED)));

    m_manager.place_call("echotest");
    ASSERT_TRUE(m_record.wait_for(call_entry(CALLSTATE_CONNECTED)));
    SIPX_CALL echo = m_manager.current_call();

    bob.place_call("alice");
    EXPECT_TRUE(bob_record.wait_for(
        "call " + std::to_string(CALLSTATE_DISCONNECTED) + " " + std::to_string(CALLSTATE_CAUSE_BUSY)));
    EXPECT_TRUE(m_record.wait_for("missed bob"));
    EXPECT_EQ(m_record.count(call_entry(CALLSTATE_OFFERING)), 0u)
        << "the second call never reached the window";
    EXPECT_EQ(m_manager.current_call(), echo);
    EXPECT_EQ(m_record.count(call_entry(CALLSTATE_DISCONNECTED)), 0u);
    EXPECT_TRUE(echo_heard()) << "the first call still echoes";

    // Placing a call during the call is refused.
    m_manager.place_call("bob");
    EXPECT_EQ(m_manager.current_call(), echo);
    m_manager.end_call();
    bob.end_call();
}

TEST_F(CallManagerServiceTest, TwentyRegistrationRefreshesLeaveOneSubscriptionAtTheService)
{
    m_manager.set_register_expiration(2);
    ASSERT_TRUE(m_manager.init());
    sign_in("carol", "c4r0l:pass");
    ASSERT_TRUE(m_record.wait_for_count(line_entry(LINESTATE_REGISTERED), 21, 120s));
    EXPECT_EQ(s_service->subscriptions("carol"), 1);
}

TEST_F(CallManagerServiceTest, SigningOutLeavesNoContactAndNoSubscriptionBehind)
{
    ASSERT_TRUE(m_manager.init());
    sign_in("dan", "abc");
    ASSERT_TRUE(m_record.wait_for(line_entry(LINESTATE_REGISTERED)));
    ASSERT_TRUE(m_record.wait_for("messages 1"));
    EXPECT_EQ(s_service->contacts("dan"), 1);
    EXPECT_EQ(s_service->subscriptions("dan"), 1);

    m_manager.unregister();
    // unregister waited for the service: the contact is gone already.
    EXPECT_EQ(s_service->contacts("dan"), 0);
    int subscriptions = -1;
    for (int i = 0; i < 50 && (subscriptions = s_service->subscriptions("dan")) != 0; ++i)
        std::this_thread::sleep_for(100ms);
    EXPECT_EQ(subscriptions, 0);
}

TEST_F(CallManagerServiceTest, AServiceThatGoesAwayIsNoticedAndRejoinedWhenItComesBack)
{
    constexpr const char* kLostAddress = "127.0.0.134";
    LocalService service(kLostAddress);
    ASSERT_TRUE(service.running()) << service.start_output();
    ASSERT_TRUE(m_manager.init());
    m_manager.set_outbound_proxy(kLostAddress);
    m_manager.login("alice", "wonderland");
    ASSERT_TRUE(m_record.wait_for(line_entry(LINESTATE_REGISTERED)));
    ASSERT_TRUE(m_record.wait_for("messages 3"));
    m_manager.place_call("echotest");
    ASSERT_TRUE(m_record.wait_for(call_entry(CALLSTATE_CONNECTED)));

    auto stopped = std::chrono::steady_clock::now();
    ASSERT_TRUE(service.stop());
    // Offline within the outage, and the call through it is over.
    EXPECT_TRUE(m_record.wait_for(line_entry(LINESTATE_REGISTER_FAILED), 20s));
    EXPECT_TRUE(m_record.wait_for(call_entry(CALLSTATE_DISCONNECTED), 5s));
    EXPECT_FALSE(m_manager.in_call());
    std::this_thread::sleep_until(stopped + 20s); // the outage lasts 20 s

    ASSERT_TRUE(service.start()) << service.start_output();
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(m_record.wait_for_count(line_entry(LINESTATE_REGISTERED), 2, 30s));
    auto rejoined = std::chrono::steady_clock::now() - started;
    std::cerr << "registered again "
              << std::chrono::duration_cast<std::chrono::milliseconds>(rejoined).count()
              << " ms after the service came back\n";
    // The service forgot the subscription with everything else: it is made anew.
    EXPECT_TRUE(m_record.wait_for_count("messages 3", 2));
    EXPECT_EQ(service.subscriptions("alice"), 1);
}
