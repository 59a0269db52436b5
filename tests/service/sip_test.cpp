// The service's SIP side: digest registration, STUN, the echo number, calls
// between registered accounts and the voice-mail notifications.
#include <algorithm>
#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <thread>

#include "service_client.h"
#include "support/local_service.h"
#include "support/test_paths.h"

using test_support::LocalService;
using test_support::read_file;

namespace {

std::string scenario(const std::string& name)
{
    return std::string(KALVO_TESTS_DIR) + "/service/scenarios/" + name + ".xml";
}

// Each test runs its own instance on its own address, so tests can run side by side.
class ServiceSip : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const std::map<std::string, std::string> addresses = {
            {"RegistrationAndStun", "127.0.0.45"},
            {"Calls", "127.0.0.49"},
            {"VoiceMailNotifications", "127.0.0.50"},
        };
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(addresses.count(test)) << "give " << test << " an address of its own";
        m_address = addresses.at(test);
        m_service = std::make_unique<LocalService>(m_address);
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
    }

    // Runs a sipp client scenario as `user` with the SIP password; the injected
    // fields are the SIP domain and `target`. Returns sipp's exit status (0: the
    // scenario completed). Its log lines go to log_file(name).
    int sipp(const std::string& name, const std::string& user, const std::string& password, int local_port,
        const std::string& target = "", std::vector<std::string> extra = {}, int timeout_ms = 15000)
    {
        const std::string fields = m_files.file(name + ".csv");
        test_support::write_file(fields, "SEQUENTIAL\n" + LocalService::sip_domain() + ";" + target + ";\n");
        std::vector<std::string> argv = {"sipp", m_address + ":5060", "-sf", scenario(name), "-s", user,
            "-au", user, "-ap", password, "-i", m_address, "-p", std::to_string(local_port), "-m", "1",
            "-inf", fields, "-nostdin", "-ci", m_address, "-cp", std::to_string(local_port + 1000),
            "-trace_logs", "-log_file", log_file(name), "-trace_err", "-error_file",
            m_files.file(name + ".err")};
        if (std::find(extra.begin(), extra.end(), "contact_port") == extra.end())
            extra.insert(extra.end(), {"-key", "contact_port", std::to_string(local_port)});
        argv.insert(argv.end(), extra.begin(), extra.end());
        return service_client::run_program(argv, m_files.file(name + ".out"), timeout_ms);
    }

    std::string log_file(const std::string& name) const { return m_files.file(name + ".log"); }

    std::string m_address;
    std::unique_ptr<LocalService> m_service;
    test_support::TempDir m_files;
};

constexpr int kStoppedByScenario = 97; // sipp's exit status for the scenario's stop_now

bool wait_for_text(const std::string& file, const std::string& text, int timeout_ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (read_file(file).find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

TEST_F(ServiceSip, RegistrationAndStun)
{
    {
        // The derived SIP password registers.
        EXPECT_EQ(sipp("register", "alice", "wonderland_ndwo", 5101), 0);
        // A ":" in the password, and a password shorter than four characters.
        EXPECT_EQ(sipp("register", "carol", "c4r0l:pass_r0c4", 5101), 0);
        EXPECT_EQ(sipp("register", "dan", "abc_cab", 5101), 0);
    }
    {
        // Wrong credentials are challenged again.
        EXPECT_EQ(sipp("register", "alice", "wonderland", 5103), kStoppedByScenario);
        EXPECT_EQ(sipp("register", "bob", "wonderland_ndwo", 5103), kStoppedByScenario);
        EXPECT_EQ(sipp("register", "mallory", "mallory_llma", 5103), kStoppedByScenario);
    }
    {
        // A STUN binding request is answered with the sender's address.
        int local_port = 0;
        const auto mapped = service_client::stun_binding(m_address, m_address, 3478, &local_port);
        ASSERT_TRUE(mapped.has_value()) << "no STUN answer";
        EXPECT_EQ(*mapped, m_address + ":" + std::to_string(local_port));
    }
}

TEST_F(ServiceSip, Calls)
{
    {
        // The echo number sends the caller's RTP back.
        constexpr int media_port = 40100;
        auto call = std::async(std::launch::async, [&] {
            return sipp("call", "alice", "wonderland_ndwo", 5105, "echotest",
                {"-d", "1500", "-key", "media_port", std::to_string(media_port)});
        });
        ASSERT_TRUE(wait_for_text(log_file("call"), "media port", 5000))
            << read_file(m_files.file("call.out"));
        const std::string log = read_file(log_file("call"));
        const auto at = log.find("media port ") + 11;
        const int echo_port = std::stoi(log.substr(at));
        EXPECT_GE(service_client::rtp_echoed(m_address, media_port, m_address, echo_port, 10, 1000), 10);
        EXPECT_EQ(call.get(), 0) << read_file(m_files.file("call.err"));
    }
    {
        // A call reaches a registered account at its contact.
        // Bob's phone: an answering sipp at the contact his registration names.
        constexpr int bob_port = 5107;
        auto phone = std::async(std::launch::async, [&] {
            const std::vector<std::string> argv = {"sipp", "-sf",
                std::string(KALVO_TESTS_DIR) + "/../service/sipp/echo_uas.xml", "-i", m_address, "-p",
                std::to_string(bob_port), "-mi", m_address, "-mp", "40200", "-m", "1", "-nostdin", "-ci",
                m_address, "-cp", "6107"};
            return service_client::run_program(argv, m_files.file("phone.out"), 15000);
        });
        ASSERT_EQ(sipp("register", "bob", "builder_ilbu", bob_port + 2, "",
                      {"-key", "contact_port", std::to_string(bob_port)}),
            0);
        EXPECT_EQ(sipp("call", "alice", "wonderland_ndwo", 5111, "bob",
                      {"-d", "200", "-key", "media_port", "40202"}),
            0)
            << read_file(m_files.file("call.err"));
        EXPECT_EQ(phone.get(), 0) << read_file(m_files.file("phone.out"));
    }
    {
        // An address nobody registered is not found.
        EXPECT_EQ(sipp("call", "alice", "wonderland_ndwo", 5113, "nobody",
                      {"-d", "200", "-key", "media_port", "40204"}, 5000),
            1);
        EXPECT_NE(read_file(m_files.file("call.err")).find("SIP/2.0 404 Not Found"), std::string::npos);
    }
}

TEST_F(ServiceSip, VoiceMailNotifications)
{
    auto subscription = std::async(
        std::launch::async, [&] { return sipp("subscribe", "alice", "wonderland_ndwo", 5115, "voicemail"); });
    ASSERT_TRUE(wait_for_text(log_file("subscribe"), "counts 2/1", 5000)) << read_file(log_file("subscribe"));
    ASSERT_TRUE(m_service->set_voicemail("alice", 4, 7));
    EXPECT_EQ(subscription.get(), 0) << read_file(m_files.file("subscribe.err"));
    EXPECT_NE(read_file(log_file("subscribe")).find("counts 4/7 (Voice-Message: 4/7)"), std::string::npos)
        << read_file(log_file("subscribe"));

    // Another account's subscription sees its own counts.
    auto other = std::async(
        std::launch::async, [&] { return sipp("subscribe", "carol", "c4r0l:pass_r0c4", 5117, "voicemail"); });
    EXPECT_TRUE(wait_for_text(log_file("subscribe"), "counts 0/5", 5000)) << read_file(log_file("subscribe"));
    ASSERT_TRUE(m_service->set_voicemail("carol", 1, 5));
    EXPECT_EQ(other.get(), 0);
}
