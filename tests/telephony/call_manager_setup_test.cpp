#include <gmock/gmock.h>

#include "call_manager_fixture.h"
#include "log/log_dlg.h"
#include "settings/app_settings.h"
#include "settings/registry.h"

using fake_sipx::calls_starting;
using fake_sipx::position_of;
using fake_sipx::state;
using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

namespace {

void store_setting(const char* name, const std::string& value)
{
    registry_string(settings_path(name)).set(value);
}

void store_setting(const char* name, int value)
{
    registry_int(settings_path(name)).set(value);
}

} // namespace

TEST_F(CallManagerTest, InitStartsTheStackWithItsFixedParametersInOrder)
{
    store_setting("identity", "alice@" + m_domain);
    store_setting("stun_server", "stun.example");
    store_setting("proxy_server", "proxy.example:5060");
    state().codecs = {"SPEEX", "OPUS", "PCMU"};

    ASSERT_TRUE(m_manager.init());

    EXPECT_EQ(m_manager.bind_address(), "192.0.2.10");
    EXPECT_EQ(m_manager.stack_handle(), static_cast<SIPX_INST>(&state()));
    std::vector<std::string> expected = {
        "sipxConfigSetLogLevel 8",
        "sipxInitialize -2 -2 4255 9000 32 [alice@" + m_domain + "] 192.0.2.10 false (null) (null) (null)",
        "sipxAudioSetAECMode inst 0",
        "sipxAudioSetAGCMode inst false",
        "sipxAudioSetNoiseReductionMode inst 0",
        "sipxConfigEnableStun inst stun.example 3478 24",
        "sipxConfigSetAudioCodecByName inst SPEEX",
        "sipxConfigGetNumAudioCodecs inst",
        "sipxConfigGetAudioCodec inst 0",
        "sipxConfigGetAudioCodec inst 1",
        "sipxConfigGetAudioCodec inst 2",
        "sipxConfigSetRegisterResponseWaitSeconds inst 20",
        "sipxConfigSetUserAgentName inst Kalvo false",
        "sipxConfigEnableRport inst true",
        "sipxConfigEnableDnsSrv false",
        "sipxConfigSetOutboundProxy inst [proxy.example:5060]",
        "sipxEventListenerAdd inst",
        "sipxConfigGetLocalContacts inst 32",
    };
    EXPECT_EQ(state().calls, expected);
    EXPECT_TRUE(in_order(log_lines(),
        {"We're binding to interface 192.0.2.10", "********** Looking for codecs", "SPEEX", "OPUS", "PCMU",
            "********** Done initializing sipXtapi"}));
}

TEST_F(CallManagerTest, EmptyIdentityStartsTwiceBothBoundToTheProbedInterface)
{
    store_setting("identity", "");
    ASSERT_TRUE(m_manager.init());
    EXPECT_THAT(calls_starting("sipxInitialize"),
        ElementsAre("sipxInitialize -2 -2 4255 9000 32 [] 192.0.2.10 false (null) (null) (null)",
            "sipxInitialize -2 -2 4255 9000 32 [] 192.0.2.10 false (null) (null) (null)"));
    EXPECT_THAT(calls_starting("sipxUnInitialize"), ElementsAre("sipxUnInitialize inst false"));
    EXPECT_LT(position_of("sipxUnInitialize"), position_of("sipxConfigSetLogLevel"));
    EXPECT_EQ(state().instances_started, 2);
}

TEST_F(CallManagerTest, WithNoInterfaceProbedTheStackKeepsItsOwnBinding)
{
    store_setting("identity", "alice@" + m_domain);
    m_probed_address = "0.0.0.0";
    ASSERT_TRUE(m_manager.init());
    EXPECT_THAT(calls_starting("sipxInitialize"),
        ElementsAre(
            "sipxInitialize -2 -2 4255 9000 32 [alice@" + m_domain + "] (null) false (null) (null) (null)"));
}

TEST_F(CallManagerTest, ASecondInitLeavesTheRunningStackAlone)
{
    ASSERT_TRUE(m_manager.init());
    state().calls.clear();
    EXPECT_TRUE(m_manager.init());
    EXPECT_THAT(state().calls, ElementsAre());
    EXPECT_EQ(state().instances_started, 1);
}

TEST_F(CallManagerTest, FailedStartIsLoggedAndSkipsTheRestOfTheSetUp)
{
    state().initialize_result = SIPX_RESULT_FAILURE;
    EXPECT_FALSE(m_manager.init());
    EXPECT_THAT(log_lines(), testing::Contains("Error initializing sipX"));
    EXPECT_EQ(position_of("sipxConfigEnableStun"), -1);
    EXPECT_EQ(position_of("sipxEventListenerAdd"), -1);
    EXPECT_EQ(state().callback, nullptr);
    EXPECT_EQ(m_manager.stack_handle(), nullptr);

    // Signing in without a stack stores the account but adds no line.
    m_manager.login("alice", "secret");
    EXPECT_EQ(position_of("sipxLineAdd"), -1);
    EXPECT_FALSE(m_manager.logged_in());
}

TEST_F(CallManagerTest, EmptyProxySettingSetsNoProxyAtInit)
{
    store_setting("proxy_server", "");
    ASSERT_TRUE(m_manager.init());
    EXPECT_THAT(calls_starting("sipxConfigSetOutboundProxy"), ElementsAre());
}

TEST_F(CallManagerTest, LocalContactsGoToTheLogFileAtMostThirtyTwo)
{
    for (int i = 0; i < 40; ++i)
        state().contacts.push_back(fake_sipx::contact("10.0.0." + std::to_string(i), CONTACT_LOCAL));
    state().contacts[1].eContactType = CONTACT_NAT_MAPPED;
    ASSERT_TRUE(m_manager.init());

    std::string file = log_file_text();
    EXPECT_THAT(file, HasSubstr(" CALLMANAGER - Got IP 10.0.0.0\n"));
    EXPECT_THAT(file, HasSubstr(" CALLMANAGER - Using address 10.0.0.0 as local contact\n"));
    EXPECT_THAT(file, HasSubstr(" CALLMANAGER - Got IP 10.0.0.1\n"));
    EXPECT_THAT(file, Not(HasSubstr("Using address 10.0.0.1 ")));
    EXPECT_THAT(file, HasSubstr(" CALLMANAGER - Got IP 10.0.0.31\n"));
    EXPECT_THAT(file, Not(HasSubstr("10.0.0.32")));
}

TEST_F(CallManagerTest, CodecNamesFillingTheirFieldAreReadOnlyToItsEnd)
{
    state().codecs = {std::string(40, 'C')};
    ASSERT_TRUE(m_manager.init());
    EXPECT_THAT(log_lines(), testing::Contains(std::string(32, 'C')));
}

TEST_F(CallManagerTest, LoginStoresTheAccountAndRegistersANewLine)
{
    store_setting("stun_server", "stun.example");
    ASSERT_TRUE(m_manager.init());
    m_manager.set_account_type("pro");
    m_manager.set_outbound_proxy("gw.example:5070");
    state().calls.clear();

    m_manager.login("alice", "secret");

    std::vector<std::string> expected = {
        "sipxConfigEnableStun inst stun.example 3478 24",
        "sipxConfigEnableRport inst true",
        "sipxConfigSetRegisterExpiration inst 1000",
        "sipxConfigSetOutboundProxy inst [gw.example:5070]",
        "sipxLineRemove 0",
        "sipxLineAdd inst alice@" + m_domain + " 0",
        "sipxLineAddCredential 3 alice [secret_crse] " + m_domain,
        "sipxLineRegister 3 true",
        "sipxAudioGetNumInputDevices inst",
        "sipxAudioGetNumOutputDevices inst",
        "sipxConfigKeepAliveAdd inst 0 3 gw.example 5070 10",
    };
    EXPECT_EQ(state().calls, expected);
    EXPECT_TRUE(m_manager.logged_in());
    EXPECT_EQ(m_manager.account_type(), "pro");
    EXPECT_THAT(log_lines(), testing::Contains("********** Setting account to type: pro"));

    AppSettings stored;
    stored.load();
    EXPECT_EQ(stored.username, "alice");
    EXPECT_EQ(stored.password, "secret");
    EXPECT_EQ(stored.identity, "alice@" + m_domain);
}

TEST_F(CallManagerTest, ThePasswordNeverReachesEitherLogInClear)
{
    ASSERT_TRUE(m_manager.init());
    m_manager.login("alice", "s3cr3t-pw");
    std::vector<std::string> lines = log_lines();
    EXPECT_TRUE(in_order(lines, {"Trying to login with username:", "alice", "and password:", "********"}));
    EXPECT_THAT(LogDlg::instance().text(), Not(HasSubstr("s3cr3t")));
    EXPECT_THAT(log_file_text(), Not(HasSubstr("s3cr3t")));
}

TEST_F(CallManagerTest, EmptyProxyAndPasswordArePassedAsTheyAre)
{
    ASSERT_TRUE(m_manager.init());
    state().calls.clear();
    m_manager.login("alice", "");
    EXPECT_THAT(
        calls_starting("sipxConfigSetOutboundProxy"), ElementsAre("sipxConfigSetOutboundProxy inst []"));
    EXPECT_THAT(
        calls_starting("sipxLineAddCredential"), ElementsAre("sipxLineAddCredential 3 alice [] " + m_domain));
}

TEST_F(CallManagerTest, ALineTheLayerRefusesFailsLikeARefusedRegistration)
{
    ASSERT_TRUE(m_manager.init());
    std::vector<SIPX_LINESTATE_EVENT> seen;
    m_manager.line_state_changed.connect([&](SIPX_LINESTATE_EVENT event) { seen.push_back(event); });
    state().line_add_result = SIPX_RESULT_BAD_ADDRESS;
    state().calls.clear();
    m_manager.login(std::string(3000, 'u'), "secret");
    EXPECT_THAT(seen, ElementsAre(LINESTATE_REGISTER_FAILED));
    EXPECT_THAT(calls_starting("sipxLineRegister"), testing::IsEmpty());
    EXPECT_THAT(log_lines(), testing::Contains("The line for this account could not be set up"));
}

TEST_F(CallManagerTest, ASecondLoginRemovesTheFirstLine)
{
    ASSERT_TRUE(m_manager.init());
    m_manager.login("alice", "secret");
    m_manager.login("bob", "hunter2");
    EXPECT_THAT(calls_starting("sipxLineRemove"), ElementsAre("sipxLineRemove 0", "sipxLineRemove 3"));
    EXPECT_THAT(calls_starting("sipxLineAdd "),
        ElementsAre("sipxLineAdd inst alice@" + m_domain + " 0", "sipxLineAdd inst bob@" + m_domain + " 0"));
    EXPECT_LT(position_of("sipxLineRemove 3"), position_of("sipxLineAdd inst bob"));
    EXPECT_THAT(calls_starting("sipxLineRegister"),
        ElementsAre("sipxLineRegister 3 true", "sipxLineRegister 4 true"));
}

TEST_F(CallManagerTest, UnregisterKeepsTheLineHandle)
{
    sign_in();
    m_manager.unregister();
    EXPECT_THAT(state().calls,
        ElementsAre("sipxConfigKeepAliveRemove inst 0 3 " + m_domain + " 5060", "sipxLineRegister 3 false"));
    EXPECT_FALSE(m_manager.logged_in());
}

TEST_F(CallManagerTest, UnregisterWaitsForTheServiceOnlyWhileRegistered)
{
    sign_in();
    line_event(LINESTATE_REGISTERED);
    // The service confirms while the request is on its way.
    state().during_register = [this] { line_event(LINESTATE_UNREGISTERED); };
    m_manager.unregister();
    EXPECT_THAT(log_lines(), Not(Contains("The service did not confirm the sign-out in time")));

    sign_in();
    line_event(LINESTATE_REGISTERED);
    m_manager.unregister(); // no answer: a bounded wait
    EXPECT_THAT(log_lines(), Contains("The service did not confirm the sign-out in time"));
}

TEST_F(CallManagerTest, StoredDevicesAreChosenOnlyWhenTheyExist)
{
    state().input_devices = {"mic-a", "mic-b"};
    state().output_devices = {"spk-a", "spk-b"};
    ASSERT_TRUE(m_manager.init());

    store_setting("input_device", 1);
    store_setting("output_device", 2);
    m_manager.login("alice", "secret");
    EXPECT_THAT(calls_starting("sipxAudioSetCall"), ElementsAre("sipxAudioSetCallInputDevice inst mic-b"));

    state().calls.clear();
    store_setting("input_device", -1);
    store_setting("output_device", 0);
    m_manager.login("alice", "secret");
    EXPECT_THAT(calls_starting("sipxAudioSetCall"), ElementsAre("sipxAudioSetCallOutputDevice inst spk-a"));
    EXPECT_THAT(calls_starting("sipxAudioSetRinger"), ElementsAre());
}
