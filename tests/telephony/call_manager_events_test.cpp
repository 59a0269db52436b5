#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <gmock/gmock.h>
#include <mutex>
#include <stdexcept>

#include "call_manager_fixture.h"
#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "settings/deployment.h"
#include "settings/paths.h"
#include "settings/registry.h"
#include "telephony/ring_file.h"

using fake_sipx::calls_starting;
using fake_sipx::state;
using testing::Contains;
using testing::ElementsAre;
using testing::Not;

namespace {

// What a slot saw: the signal's arguments and the stack calls made before it ran.
struct SeenCallState {
    SIPX_CALLSTATE_EVENT event;
    SIPX_CALLSTATE_CAUSE cause;
    SIPX_CALL call;
    std::vector<std::string> calls_before;
};

} // namespace

class CallEventsTest : public CallManagerTest {
protected:
    void SetUp() override
    {
        sign_in();
        m_manager.call_state_changed.connect(
            [this](SIPX_CALLSTATE_EVENT event, SIPX_CALLSTATE_CAUSE cause, SIPX_CALL call) {
                m_seen.push_back({event, cause, call, state().calls});
            });
    }
    std::vector<SeenCallState> m_seen;
};

TEST_F(CallEventsTest, AnOfferedCallIsAdoptedAndAcceptedBeforeTheSignal)
{
    EXPECT_TRUE(call_event(9, CALLSTATE_OFFERING, CALLSTATE_CAUSE_NORMAL));
    EXPECT_EQ(m_manager.current_call(), 9u);
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_seen[0].event, CALLSTATE_OFFERING);
    EXPECT_EQ(m_seen[0].cause, CALLSTATE_CAUSE_NORMAL);
    EXPECT_EQ(m_seen[0].call, 9u);
    EXPECT_THAT(m_seen[0].calls_before, Contains("sipxCallAccept 9 true true true false"));
    EXPECT_THAT(calls_starting("sipxCallAnswer"), ElementsAre()) << "only the user answers";
    EXPECT_THAT(log_lines(), Contains("EVENT 0"));
}

TEST_F(CallEventsTest, TheRingFileLoopsFromAlertingUntilConnected)
{
    call_event(9, CALLSTATE_OFFERING);
    call_event(9, CALLSTATE_ALERTING);
    call_event(9, CALLSTATE_CONNECTED, CALLSTATE_CAUSE_UNKNOWN);
    EXPECT_THAT(calls_starting("sipxCallAudioPlay"),
        ElementsAre("sipxCallAudioPlayFileStart 9 " + ring_file_path() + " true true false false 1",
            "sipxCallAudioPlayFileStop 9"));
    ASSERT_EQ(m_seen.size(), 3u);
    EXPECT_EQ(m_seen[2].event, CALLSTATE_CONNECTED);
    EXPECT_EQ(m_seen[2].cause, CALLSTATE_CAUSE_UNKNOWN);
}

TEST_F(CallEventsTest, TheRingFileComesFromTheInstallationFolderWhenItIsThere)
{
    std::string folder = m_user.home() + "/install";
    std::filesystem::create_directories(folder);
    test_support::write_file(folder + "/ringtone.wav", "RIFF");
    registry_string(settings_path("install_path")).set(folder);
    EXPECT_EQ(ring_file_path(), folder + "/ringtone.wav");
    std::filesystem::remove(folder + "/ringtone.wav");
    std::string packaged = paths::join(paths::packaged_data_dir(), "sounds/ringtone.wav");
    EXPECT_EQ(ring_file_path(), packaged);
    EXPECT_TRUE(std::filesystem::is_regular_file(packaged));
}

TEST_F(CallEventsTest, EndedCallsStopTheRingButStayTheCurrentCall)
{
    call_event(9, CALLSTATE_OFFERING);
    call_event(9, CALLSTATE_ALERTING);
    state().calls.clear();
    call_event(9, CALLSTATE_DISCONNECTED);
    call_event(9, CALLSTATE_DESTROYED);
    EXPECT_THAT(state().calls,
        ElementsAre("sipxEventToString 0 128", "sipxCallAudioPlayFileStop 9", "sipxEventToString 0 128",
            "sipxCallAudioPlayFileStop 9"));
    EXPECT_EQ(m_manager.current_call(), 9u) << "the presentation ends it with end_call";
    EXPECT_EQ(m_seen.size(), 4u);
}

TEST_F(CallEventsTest, OtherCallEventsOnlyAdoptTheHandle)
{
    m_manager.place_call("bob");
    state().calls.clear();
    call_event(7, CALLSTATE_REMOTE_OFFERING);
    call_event(7, CALLSTATE_REMOTE_ALERTING);
    EXPECT_THAT(state().calls, ElementsAre("sipxEventToString 0 128", "sipxEventToString 0 128"));
    EXPECT_EQ(m_manager.current_call(), 7u);
    EXPECT_EQ(m_seen.size(), 2u);
}

TEST_F(CallEventsTest, AnIncomingCallArrivingDuringEndCallStaysCurrent)
{
    m_manager.place_call("bob");
    // The engine adopts a new incoming call while the old one is being destroyed.
    state().during_destroy = [this] { call_event(9, CALLSTATE_OFFERING); };
    m_manager.end_call();
    EXPECT_THAT(calls_starting("sipxCallDestroy"), ElementsAre("sipxCallDestroy 7"));
    EXPECT_EQ(m_manager.current_call(), 9u);
    EXPECT_THAT(log_lines(), Contains("m_call IS NOT 0!"));
}

TEST_F(CallEventsTest, ASecondCallerIsToldBusyAndTheFirstCallGoesOn)
{
    std::vector<std::string> missed;
    m_manager.missed_call.connect([&](const std::string& caller) { missed.push_back(caller); });
    m_manager.place_call("carol");
    call_event(7, CALLSTATE_CONNECTED);
    state().calls.clear();
    m_seen.clear();

    SIPX_CALLSTATE_INFO offer{
        sizeof offer, 9, 3, CALLSTATE_OFFERING, CALLSTATE_CAUSE_NORMAL, "\"Bob\" <sip:bob@kalvo.test>"};
    EXPECT_TRUE(deliver(EVENT_CATEGORY_CALLSTATE, &offer));
    EXPECT_THAT(
        calls_starting("sipxCall"), ElementsAre("sipxCallReject 9 486 Busy Here", "sipxCallDestroy 9"));
    EXPECT_THAT(missed, ElementsAre("bob"));
    EXPECT_THAT(log_file_text(), testing::HasSubstr("CALLMANAGER - Missed call from bob (busy)"));
    // The refused call's end is the manager's own; the first call stays current.
    call_event(9, CALLSTATE_DISCONNECTED, CALLSTATE_CAUSE_BUSY);
    call_event(9, CALLSTATE_DESTROYED);
    EXPECT_TRUE(m_seen.empty());
    EXPECT_EQ(m_manager.current_call(), 7u);
    EXPECT_THAT(calls_starting("sipxCallAudioPlayFileStop"), ElementsAre());
    EXPECT_TRUE(m_manager.levels_running());

    // Once the first call is over, a caller gets through again.
    m_manager.end_call();
    call_event(10, CALLSTATE_OFFERING);
    EXPECT_EQ(m_manager.current_call(), 10u);
    ASSERT_EQ(m_seen.size(), 1u);
    EXPECT_EQ(m_seen[0].call, 10u);
}

TEST_F(CallEventsTest, LevelsAreRaisedWhileTheCurrentCallIsConnected)
{
    std::mutex mutex;
    std::condition_variable raised;
    int ticks = 0;
    m_manager.levels_changed.connect([&] {
        std::lock_guard lock(mutex);
        ++ticks;
        raised.notify_all();
    });
    m_manager.place_call("carol");
    EXPECT_FALSE(m_manager.levels_running());
    call_event(7, CALLSTATE_CONNECTED);
    std::unique_lock lock(mutex);
    EXPECT_TRUE(raised.wait_for(lock, std::chrono::seconds(10), [&] { return ticks >= 3; }));
    lock.unlock();
    call_event(42, CALLSTATE_DISCONNECTED); // another call's end
    EXPECT_TRUE(m_manager.levels_running());
    call_event(7, CALLSTATE_DISCONNECTED);
    EXPECT_FALSE(m_manager.levels_running());

    call_event(7, CALLSTATE_CONNECTED);
    m_manager.end_call();
    EXPECT_FALSE(m_manager.levels_running());
}

TEST_F(CallEventsTest, BadCallEventsAreLoggedAndSurvived)
{
    m_manager.place_call("bob");
    state().calls.clear();
    call_event(0, CALLSTATE_OFFERING);
    EXPECT_EQ(m_manager.current_call(), 7u);
    EXPECT_THAT(calls_starting("sipxCallAccept"), ElementsAre());
    EXPECT_TRUE(m_seen.empty());
    EXPECT_THAT(log_lines(), Contains("Ignoring a call event without a call handle"));

    // A call the manager never heard of that ends: its own ring is stopped, the current call kept.
    call_event(42, CALLSTATE_DESTROYED);
    EXPECT_THAT(calls_starting("sipxCallAudioPlayFileStop"), ElementsAre("sipxCallAudioPlayFileStop 42"));
    EXPECT_EQ(m_manager.current_call(), 7u);

    EXPECT_FALSE(CallManager::on_sipx_event(EVENT_CATEGORY_CALLSTATE, nullptr, &m_manager));
    SIPX_CALLSTATE_INFO info{};
    EXPECT_FALSE(CallManager::on_sipx_event(EVENT_CATEGORY_CALLSTATE, &info, nullptr));
}

TEST_F(CallManagerTest, OneSubscriptionPerLineRefreshedNotStacked)
{
    sign_in();
    std::vector<SIPX_LINESTATE_EVENT> seen;
    m_manager.line_state_changed.connect([&](SIPX_LINESTATE_EVENT event) { seen.push_back(event); });

    EXPECT_TRUE(line_event(LINESTATE_REGISTERING));
    EXPECT_TRUE(line_event(LINESTATE_REGISTERED));
    EXPECT_EQ(m_manager.subscription(), 11u);
    for (int refresh = 0; refresh < 20; ++refresh)
        line_event(LINESTATE_REGISTERED);
    EXPECT_EQ(m_manager.subscription(), 11u);

    std::string subscribe = "sipxConfigSubscribe inst 3 " + Deployment::get().voicemail +
        " message-summary application/simple-message-summary 1";
    EXPECT_THAT(calls_starting("sipxConfigSubscribe"), ElementsAre(subscribe));
    EXPECT_THAT(calls_starting("sipxConfigUnsubscribe"), ElementsAre());
    EXPECT_EQ(seen.size(), 22u);
    EXPECT_TRUE(in_order(log_lines(), {"Got a line state event", "EVENT 1"}));

    // After a failure the service may have forgotten it: the next registration renews it.
    line_event(LINESTATE_REGISTER_FAILED);
    line_event(LINESTATE_REGISTERED);
    EXPECT_EQ(m_manager.subscription(), 12u);
    EXPECT_THAT(calls_starting("sipxConfigUnsubscribe"), ElementsAre("sipxConfigUnsubscribe 11"));

    // A new line, and the sign-out, end it.
    m_manager.login("alice", "secret");
    EXPECT_EQ(m_manager.subscription(), SIPX_SUB_NULL);
    line_event(LINESTATE_REGISTERED);
    m_manager.unregister();
    EXPECT_EQ(m_manager.subscription(), SIPX_SUB_NULL);
    EXPECT_THAT(calls_starting("sipxConfigUnsubscribe"),
        ElementsAre("sipxConfigUnsubscribe 11", "sipxConfigUnsubscribe 12", "sipxConfigUnsubscribe 13"));
    // A late registration after the sign-out makes none.
    line_event(LINESTATE_REGISTERED);
    EXPECT_THAT(calls_starting("sipxConfigSubscribe"), testing::SizeIs(3));

    // Signing in again, the service may answer the registration before the sign-in has
    // finished its own work: that registration subscribes too.
    state().during_register = [this] { line_event(LINESTATE_REGISTERED); };
    m_manager.login("alice", "secret");
    EXPECT_NE(m_manager.subscription(), SIPX_SUB_NULL);
    EXPECT_THAT(calls_starting("sipxConfigSubscribe"), testing::SizeIs(4));
}

TEST_F(CallManagerTest, AServiceThatStopsAnsweringTakesTheLineOfflineUntilItAnswers)
{
    sign_in();
    m_manager.place_call("carol");
    std::vector<SIPX_LINESTATE_EVENT> seen;
    m_manager.line_state_changed.connect([&](SIPX_LINESTATE_EVENT event) { seen.push_back(event); });
    line_event(LINESTATE_REGISTERED);
    std::string far_end = m_domain;
    auto keepalive = [&](SIPX_KEEPALIVE_EVENT event) {
        SIPX_KEEPALIVE_INFO info{sizeof info, event, SIPX_KEEPALIVE_SIP_OPTIONS, far_end.c_str(), 5060, 10};
        return deliver(EVENT_CATEGORY_KEEPALIVE, &info);
    };
    EXPECT_TRUE(keepalive(KEEPALIVE_FEEDBACK)); // the first answer changes nothing
    state().calls.clear();

    EXPECT_TRUE(keepalive(KEEPALIVE_FAILURE));
    keepalive(KEEPALIVE_FAILURE);
    EXPECT_THAT(seen, ElementsAre(LINESTATE_REGISTERED, LINESTATE_REGISTER_FAILED));
    EXPECT_THAT(calls_starting("sipxCallDestroy"), ElementsAre("sipxCallDestroy 7")) << "the call ends";
    EXPECT_THAT(log_file_text(), testing::HasSubstr("LINESTATE - The SIP service does not answer"));

    keepalive(KEEPALIVE_FEEDBACK);
    EXPECT_THAT(calls_starting("sipxLineRegister"), ElementsAre("sipxLineRegister 3 true"));
    line_event(LINESTATE_REGISTERED);
    EXPECT_THAT(calls_starting("sipxConfigUnsubscribe"), ElementsAre("sipxConfigUnsubscribe 11"));
    EXPECT_THAT(calls_starting("sipxConfigSubscribe"), testing::SizeIs(1));

    // Signed out, the keep-alive is stopped and its events change nothing.
    m_manager.unregister();
    EXPECT_THAT(calls_starting("sipxConfigKeepAliveRemove"),
        ElementsAre("sipxConfigKeepAliveRemove inst 0 3 " + m_domain + " 5060"));
    keepalive(KEEPALIVE_FAILURE);
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(CallManagerTest, AFailedRegistrationIsPassedOnWithoutSubscribing)
{
    sign_in();
    std::vector<SIPX_LINESTATE_EVENT> seen;
    m_manager.line_state_changed.connect([&](SIPX_LINESTATE_EVENT event) { seen.push_back(event); });
    line_event(LINESTATE_REGISTER_FAILED);
    EXPECT_THAT(seen, ElementsAre(LINESTATE_REGISTER_FAILED));
    EXPECT_THAT(calls_starting("sipxConfigSubscribe"), ElementsAre());
}

TEST_F(CallManagerTest, ConfigurationEventsAreLoggedAndRaised)
{
    sign_in();
    std::vector<SIPX_CONFIG_EVENT> seen;
    m_manager.config_event.connect([&](SIPX_CONFIG_EVENT event) { seen.push_back(event); });
    SIPX_CONFIG_INFO info{sizeof(SIPX_CONFIG_INFO), CONFIG_STUN_FAILURE, ""};
    state().event_text = "CONFIG_STUN_FAILURE";
    EXPECT_TRUE(deliver(EVENT_CATEGORY_CONFIG, &info));
    EXPECT_THAT(seen, ElementsAre(CONFIG_STUN_FAILURE));
    EXPECT_THAT(log_lines(), ElementsAre("CONFIG_STUN_FAILURE"));
}

TEST_F(CallManagerTest, InfoEventsAreLoggedAndOtherCategoriesIgnored)
{
    sign_in();
    SIPX_INFO_INFO info{};
    SIPX_INFOSTATUS_INFO status{};
    EXPECT_TRUE(deliver(EVENT_CATEGORY_INFO, &info));
    EXPECT_TRUE(deliver(EVENT_CATEGORY_INFO_STATUS, &status));
    EXPECT_THAT(log_lines(), ElementsAre("EVENT 3", "EVENT 2"));

    LogDlg::instance().clear();
    char record[64] = {};
    EXPECT_FALSE(deliver(EVENT_CATEGORY_SUB_STATUS, record));
    EXPECT_FALSE(deliver(EVENT_CATEGORY_SECURITY, record));
    EXPECT_THAT(log_lines(), ElementsAre());
    EXPECT_FALSE(deliver(static_cast<SIPX_EVENT_CATEGORY>(77), record));
    EXPECT_THAT(log_lines(), ElementsAre("Ignoring a SIP event of unknown category 77"));
}

TEST_F(CallManagerTest, EventTextsAreCutToTheirBuffer)
{
    sign_in();
    state().event_text = std::string(300, 'E');
    SIPX_INFO_INFO info{};
    deliver(EVENT_CATEGORY_INFO, &info);
    EXPECT_THAT(log_lines(), ElementsAre(std::string(127, 'E')));
}

TEST_F(CallManagerTest, AFailingSlotDoesNotEscapeIntoTheStack)
{
    sign_in();
    std::string reason = "slot broke";
    m_manager.line_state_changed.connect(
        [reason](SIPX_LINESTATE_EVENT) { throw std::runtime_error(reason); });
    EXPECT_FALSE(line_event(LINESTATE_REGISTERED));
    EXPECT_THAT(log_lines(), Contains("Handling a SIP event failed: slot broke"));
}

class MessageWaitingTest : public CallManagerTest {
protected:
    void SetUp() override
    {
        sign_in();
        m_manager.messages_waiting.connect([this](int count) { m_counts.push_back(count); });
    }
    bool notify_text(const std::string& body) { return notify(body.c_str(), body.size()); }
    std::vector<int> m_counts;
};

TEST_F(MessageWaitingTest, NewAndOldMessagesAreAddedUp)
{
    EXPECT_TRUE(notify_text("Messages-Waiting: yes\r\nMessage-Account: sip:voicemail@kalvo.test\r\n"
                            "Voice-Message: 2/8 (0/0)\r\nFurther: text\r\n"));
    EXPECT_THAT(m_counts, ElementsAre(10));
}

TEST_F(MessageWaitingTest, NoMessagesRaiseNothing)
{
    notify_text("Messages-Waiting: no\r\nVoice-Message: 0/0\r\n");
    notify_text("Messages-Waiting: no\r\n");
    EXPECT_TRUE(notify(nullptr, 20));
    EXPECT_TRUE(notify("Voice-Message: 1/1", 0));
    EXPECT_THAT(m_counts, ElementsAre());
}

TEST_F(MessageWaitingTest, TheLastVoiceMessageLineCounts)
{
    notify_text("Voice-Message: 1/0\r\nVoice-Message: 4/2\r\n");
    EXPECT_THAT(m_counts, ElementsAre(6));
}

TEST_F(MessageWaitingTest, TheBodyEndsAtItsLength)
{
    std::string body = "Voice-Message: 3/0\r\nVoice-Message: 9/9\r\n";
    notify(body.c_str(), body.find("Voice-Message: 9"));
    EXPECT_THAT(m_counts, ElementsAre(3));
}

TEST_F(MessageWaitingTest, HugeAndBinaryBodiesAreSurvived)
{
    std::vector<char> binary(1 << 20);
    for (std::size_t i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7919 % 251 + 1);
    notify(binary.data(), binary.size()); // no terminating zero within the length
    std::string zero_inside = std::string("Voice-Message: 1/1\r\n") + '\0' + "Voice-Message: 5/5\r\n";
    notify(zero_inside.data(), zero_inside.size());
    std::string huge = std::string(8 << 20, 'x') + "\nVoice-Message: 2/3\n";
    notify_text(huge);
    notify_text("Voice-Message: 4294967296/1\r\n");
    std::string repeated;
    for (int i = 0; i < 100000; ++i)
        repeated += "Voice-Message: ";
    notify_text(repeated);
    EXPECT_THAT(m_counts, ElementsAre(2, 5));
    EXPECT_THAT(log_lines(),
        Contains("Ignoring a message-summary notification: the message counts are out of range"));
}
