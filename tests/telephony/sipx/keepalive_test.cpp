// SIP OPTIONS keep-alives, and a STUN outcome that comes before any listener.
#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "sipx_phone.h"
#include "support/local_service.h"
#include "telephony/sipx/sip_options_probe.h"

namespace {

constexpr const char* kPhone = "127.0.0.130";
constexpr const char* kFarEnd = "127.0.0.131";

// A SIP server stand-in on its own address: it answers every request with "200 OK" and the
// request's Call-ID while it is open; closed, the port is unreachable.
class OptionsResponder {
public:
    ~OptionsResponder() { close_socket(); }

    bool open(const std::string& address, int port)
    {
        m_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address.c_str(), &local.sin_addr);
        int on = 1;
        setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0)
            return false;
        m_stop = false;
        m_thread = std::thread([this] { serve(); });
        return true;
    }
    void close_socket()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    std::string first_request()
    {
        std::lock_guard lock(m_mutex);
        return m_first;
    }

private:
    void serve()
    {
        while (!m_stop) {
            pollfd pfd{m_fd, POLLIN, 0};
            if (poll(&pfd, 1, 50) <= 0)
                continue;
            char buffer[4096];
            sockaddr_in from{};
            socklen_t length = sizeof from;
            ssize_t got =
                recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
            if (got <= 0)
                continue;
            std::string request(buffer, static_cast<size_t>(got));
            {
                std::lock_guard lock(m_mutex);
                if (m_first.empty())
                    m_first = request;
            }
            std::size_t id = request.find("Call-ID: ");
            std::string call_id = request.substr(id + 9, request.find("\r\n", id) - id - 9);
            std::string reply = "SIP/2.0 200 OK\r\nCall-ID: " + call_id + "\r\nContent-Length: 0\r\n\r\n";
            sendto(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), length);
        }
    }

    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::string m_first;
};

TEST(SipxKeepAliveTest, FailureWhenTheFarEndStopsAnsweringAndFeedbackWhenItAnswersAgain)
{
    test_support::IsolatedUser user;
    OptionsResponder far_end;
    ASSERT_TRUE(far_end.open(kFarEnd, 5060));
    SipxPhone phone(kPhone);
    ASSERT_TRUE(phone.ok());
    ASSERT_EQ(sipxConfigKeepAliveAdd(phone.inst(), 0, SIPX_KEEPALIVE_SIP_OPTIONS, kFarEnd, 5060, 1),
        SIPX_RESULT_SUCCESS);

    auto feedback = phone.events().wait_for(keepalive_event(KEEPALIVE_FEEDBACK));
    ASSERT_TRUE(feedback);
    EXPECT_EQ(feedback->text, "127.0.0.131:5060");
    std::string request = far_end.first_request();
    EXPECT_EQ(request.rfind("OPTIONS sip:127.0.0.131:5060 SIP/2.0\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("Via: SIP/2.0/UDP 127.0.0.130:"), std::string::npos) << request;

    far_end.close_socket();
    EXPECT_TRUE(phone.events().wait_for(keepalive_event(KEEPALIVE_FAILURE)));
    ASSERT_TRUE(far_end.open(kFarEnd, 5060));
    EXPECT_TRUE(
        phone.events().wait_for_count(keepalive_event(KEEPALIVE_FEEDBACK), 2, std::chrono::seconds(20)));

    EXPECT_EQ(sipxConfigKeepAliveRemove(phone.inst(), 0, SIPX_KEEPALIVE_SIP_OPTIONS, kFarEnd, 5060),
        SIPX_RESULT_SUCCESS);
    EXPECT_EQ(sipxConfigKeepAliveRemove(phone.inst(), 0, SIPX_KEEPALIVE_SIP_OPTIONS, kFarEnd, 5060),
        SIPX_RESULT_INVALID_ARGS);
    EXPECT_EQ(sipxConfigKeepAliveAdd(phone.inst(), 0, SIPX_KEEPALIVE_CRLF, kFarEnd, 5060, 1),
        SIPX_RESULT_NOT_IMPLEMENTED);
    EXPECT_EQ(sipxConfigKeepAliveAdd(phone.inst(), 0, SIPX_KEEPALIVE_SIP_OPTIONS, kFarEnd, 0, 1),
        SIPX_RESULT_INVALID_ARGS);
}

TEST(SipxKeepAliveTest, UnansweredRequestsAreRetriedSoonerButNeverSlowerThanThePeriod)
{
    EXPECT_EQ(keepalive_delay_seconds(10, 0), 10);
    EXPECT_EQ(keepalive_delay_seconds(10, 1), 2);
    EXPECT_EQ(keepalive_delay_seconds(10, 2), 4);
    EXPECT_EQ(keepalive_delay_seconds(10, 3), 8);
    EXPECT_EQ(keepalive_delay_seconds(10, 4), 10);
    EXPECT_EQ(keepalive_delay_seconds(10, 40), 10);
    EXPECT_EQ(keepalive_delay_seconds(1, 3), 1);
}

TEST(SipxKeepAliveTest, OnlyAResponseWithTheRequestsCallIdIsAnAnswer)
{
    EXPECT_TRUE(is_sip_response_to("SIP/2.0 404 Not here\r\nCall-ID: abc123\r\n\r\n", "abc123"));
    EXPECT_FALSE(is_sip_response_to("SIP/2.0 200 OK\r\nCall-ID: other\r\n\r\n", "abc123"));
    EXPECT_FALSE(is_sip_response_to("OPTIONS sip:x SIP/2.0\r\nCall-ID: abc123\r\n\r\n", "abc123"));
    EXPECT_FALSE(is_sip_response_to("SIP/2.0 200 OK\r\n\r\n", ""));
}

TEST(SipxStunLateListenerTest, AnOutcomeThatCameBeforeTheListenerIsReportedToIt)
{
    test_support::IsolatedUser user;
    test_support::LocalService service("127.0.0.132");
    ASSERT_TRUE(service.running()) << service.start_output();
    SIPX_INST inst = nullptr;
    ASSERT_EQ(sipxInitialize(&inst, SIPX_PORT_AUTO, SIPX_PORT_DISABLE, SIPX_PORT_DISABLE, 0, 32, "",
                  "127.0.0.133", false, nullptr, nullptr, nullptr),
        SIPX_RESULT_SUCCESS);
    ASSERT_EQ(sipxConfigEnableStun(inst, "127.0.0.132", 3478, 24), SIPX_RESULT_SUCCESS);
    // The mapped contact shows that the outcome is in, with nobody listening yet.
    auto mapped = [inst] {
        SIPX_CONTACT_ADDRESS contacts[4];
        size_t count = 0;
        sipxConfigGetLocalContacts(inst, contacts, 4, &count);
        return count == 2 && contacts[1].eContactType == CONTACT_NAT_MAPPED;
    };
    for (int i = 0; i < 200 && !mapped(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_TRUE(mapped());

    EventLog events;
    ASSERT_EQ(sipxEventListenerAdd(inst, &EventLog::callback, &events), SIPX_RESULT_SUCCESS);
    auto success = events.wait_for(config_event(CONFIG_STUN_SUCCESS));
    ASSERT_TRUE(success);
    EXPECT_EQ(success->text.rfind("127.0.0.133:", 0), 0u) << success->text;
    sipxUnInitialize(inst, true);
}

} // namespace
