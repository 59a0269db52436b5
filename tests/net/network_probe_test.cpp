#include <arpa/inet.h>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <map>
#include <mutex>

#include "net/network_probe.h"
#include "support/http_test_server.h"
#include "support/log_capture.h"

namespace {

using namespace std::chrono_literals;
using test_support::HttpTestServer;
using test_support::LogCapture;
using Clock = std::chrono::steady_clock;

constexpr const char* kCheckPath = "/client/check_connection.php";

// The connection-check page on 127.0.0.1: the reply depends on the interface the request
// came from; an interface listed as hanging gets no reply until the test ends.
using Replies = std::map<std::string, std::string>;

class ConnectionCheck {
public:
    explicit ConnectionCheck(Replies replies, std::string default_reply = "OK\n")
        : m_replies(std::move(replies)), m_default_reply(std::move(default_reply))
    {
        m_service.server().Get(
            kCheckPath, [this](const httplib::Request& request, httplib::Response& response) {
                ++m_requests;
                auto reply = m_replies.find(request.remote_addr);
                if (reply != m_replies.end() && reply->second == kHang) {
                    std::unique_lock lock(m_mutex);
                    m_finished.wait_for(lock, 20s, [this] { return m_done; });
                    return;
                }
                std::string text = reply == m_replies.end() ? m_default_reply : reply->second;
                if (text.starts_with(kErrorStatus)) {
                    response.status = 500;
                    text = text.substr(std::string(kErrorStatus).size());
                }
                response.set_content(text, "text/plain");
            });
    }

    ~ConnectionCheck()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_finished.notify_all();
    }

    std::string address() const { return m_service.base_url() + kCheckPath; }
    int requests() const { return m_requests; }

    static constexpr const char* kHang = "(hang)";
    static constexpr const char* kErrorStatus = "(500)"; // the rest of the reply, with status 500

private:
    Replies m_replies;
    std::string m_default_reply;
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    HttpTestServer m_service; // last: stopped first, while the replies still exist
};

std::vector<std::string> loopback_addresses(int count)
{
    std::vector<std::string> addresses;
    for (int i = 0; i < count; ++i)
        addresses.push_back("127.0.0." + std::to_string(i + 2));
    return addresses;
}

TEST(NetworkProbe, ChoosesTheFirstInterfaceThatGetsExactlyOk)
{
    LogCapture log;
    ConnectionCheck check(Replies{{"127.0.0.2", "OK\n"}, {"127.0.0.1", "OK"}, {"127.0.0.3", "OK"}});

    std::string chosen = probe_network({"127.0.0.2", "127.0.0.1", "127.0.0.3"}, check.address());

    EXPECT_EQ(chosen, "127.0.0.1");
    EXPECT_EQ(log.file_lines(),
        (std::vector<std::string>{
            "NETWORK - Error on interface 127.0.0.2", "NETWORK - Binding to 127.0.0.1"}));
    EXPECT_EQ(log.window_messages(),
        (std::vector<std::string>{"CURL error on interface: ", "127.0.0.2", "BUFFER IS:", "OK",
            "CURL success on interface: ", "127.0.0.1"}));
}

TEST(NetworkProbe, AnErrorStatusFailsTheInterfaceWhateverItsBody)
{
    LogCapture log;
    ConnectionCheck check(Replies{{"127.0.0.2", std::string(ConnectionCheck::kErrorStatus) + "OK"}}, "OK");

    EXPECT_EQ(probe_network({"127.0.0.2", "127.0.0.1"}, check.address()), "127.0.0.1");
    EXPECT_EQ(log.file_lines().front(), "NETWORK - HTTP status 500 from " + check.address());
}

TEST(NetworkProbe, NoInterfaceAnsweringGivesTheNullAddressAndOneErrorLineEach)
{
    LogCapture log;
    ConnectionCheck check(Replies{{"127.0.0.3", "<html>Not found</html>"}}, "OK\n");
    // 192.0.2.1 is not on this machine: binding to it fails before anything is sent.
    std::vector<std::string> interfaces{"127.0.0.2", "127.0.0.3", "192.0.2.1"};

    EXPECT_EQ(probe_network(interfaces, check.address()), "0.0.0.0");

    EXPECT_EQ(log.file_lines(),
        (std::vector<std::string>{"NETWORK - Error on interface 127.0.0.2",
            "NETWORK - Error on interface 127.0.0.3", "NETWORK - Error on interface 192.0.2.1"}));
    EXPECT_EQ(log.window_messages(),
        (std::vector<std::string>{"CURL error on interface: ", "127.0.0.2",
            "CURL error on interface: ", "127.0.0.3", "CURL error on interface: ", "192.0.2.1"}));
}

TEST(NetworkProbe, EmptyListGivesTheNullAddressWithoutRequests)
{
    LogCapture log;
    ConnectionCheck check(Replies{}, "OK");

    EXPECT_EQ(probe_network({}, check.address()), "0.0.0.0");
    EXPECT_EQ(check.requests(), 0);
    EXPECT_TRUE(log.file_lines().empty());
}

TEST(NetworkProbe, AnEarlierInterfaceIsWaitedForEvenWhenALaterOnePassedFirst)
{
    LogCapture log;
    ConnectionCheck check(Replies{{"127.0.0.2", ConnectionCheck::kHang}, {"127.0.0.3", "OK"}});

    std::string chosen = probe_network({"127.0.0.2", "127.0.0.3"}, check.address(), 500ms);

    EXPECT_EQ(chosen, "127.0.0.3");
    EXPECT_EQ(log.file_lines(),
        (std::vector<std::string>{
            "NETWORK - Error on interface 127.0.0.2", "NETWORK - Binding to 127.0.0.3"}));
}

TEST(NetworkProbe, HangingInterfacesCostOneTimeOutInAll)
{
    LogCapture log;
    test_support::SilentListener silent;
    std::string address = "http://127.0.0.1:" + std::to_string(silent.port()) + kCheckPath;
    constexpr auto kTimeout = 1500ms;

    auto start = Clock::now();
    std::string chosen = probe_network(loopback_addresses(3), address, kTimeout);
    auto elapsed = Clock::now() - start;

    EXPECT_EQ(chosen, "0.0.0.0");
    EXPECT_EQ(log.file_lines().size(), 3u);
    // One after the other they would take three time-outs.
    EXPECT_GE(elapsed, kTimeout);
    EXPECT_LT(elapsed, 2 * kTimeout);
}

TEST(NetworkProbe, AChosenInterfaceDoesNotWaitForLaterOnes)
{
    LogCapture log;
    ConnectionCheck check(Replies{{"127.0.0.2", "OK"}, {"127.0.0.3", ConnectionCheck::kHang}});
    constexpr auto kTimeout = 5s;

    auto start = Clock::now();
    std::string chosen = probe_network({"127.0.0.2", "127.0.0.3"}, check.address(), kTimeout);

    EXPECT_EQ(chosen, "127.0.0.2");
    EXPECT_LT(Clock::now() - start, kTimeout);
    EXPECT_EQ(log.file_lines(), (std::vector<std::string>{"NETWORK - Binding to 127.0.0.2"}));
}

TEST(NetworkProbe, OnlyTheFirstTwentyInterfacesAreProbed)
{
    LogCapture log;
    ConnectionCheck check(Replies{}, "OK\n");

    EXPECT_EQ(probe_network(loopback_addresses(25), check.address()), "0.0.0.0");

    EXPECT_EQ(check.requests(), 20);
    auto lines = log.file_lines();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines.back(), "NETWORK - Error on interface 127.0.0.21");
}

TEST(InterfaceList, HoldsTheLoopbackAddressAndOnlyIpv4Addresses)
{
    std::vector<std::string> interfaces = list_ipv4_interfaces();

    EXPECT_LE(interfaces.size(), 20u);
    EXPECT_NE(std::find(interfaces.begin(), interfaces.end(), "127.0.0.1"), interfaces.end());
    for (const std::string& address : interfaces) {
        in_addr parsed{};
        EXPECT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
    }
}

} // namespace
