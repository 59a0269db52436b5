// Registration through the local service's Kamailio, with the real SIP layer.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sipx_phone.h"
#include "support/local_service.h"

namespace {

constexpr const char* kService = "127.0.0.60";
constexpr const char* kPhone = "127.0.0.61";

class SipxRegisterTest : public ::testing::Test {
protected:
    test_support::IsolatedUser user;
    test_support::LocalService service{kService};
};

TEST_F(SipxRegisterTest, RegistersAndUnregistersThroughTheOutboundProxy)
{
    ASSERT_TRUE(service.running());
    SipxPhone alice(kPhone);
    ASSERT_TRUE(alice.ok());
    alice.login("alice", "wonderland_ndwo", std::string(kService) + ":5060");

    auto registered = alice.events().wait_for(line_event(LINESTATE_REGISTERED));
    ASSERT_TRUE(registered);
    EXPECT_EQ(registered->line, alice.line());
    EXPECT_TRUE(alice.events().wait_for(line_event(LINESTATE_REGISTERING), std::chrono::milliseconds(0)))
        << "REGISTERING comes before REGISTERED";

    EXPECT_EQ(sipxLineRegister(alice.line(), false), SIPX_RESULT_SUCCESS);
    EXPECT_TRUE(alice.events().wait_for(line_event(LINESTATE_UNREGISTERED)));
}

TEST_F(SipxRegisterTest, WrongPasswordFailsAndNeverRegisters)
{
    ASSERT_TRUE(service.running());
    SipxPhone alice(kPhone);
    ASSERT_TRUE(alice.ok());
    alice.login("alice", "not-the-password", std::string(kService) + ":5060");

    auto failed = alice.events().wait_for(line_event(LINESTATE_REGISTER_FAILED));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->cause, LINESTATE_CAUSE_NOT_AUTHORIZED);
    EXPECT_FALSE(alice.events().wait_for(line_event(LINESTATE_REGISTERED), std::chrono::milliseconds(500)));
}

TEST_F(SipxRegisterTest, CredentialsOfAnyLengthFailLikeAWrongPassword)
{
    // User names up to 100 KB: one the stack can carry is refused by the service, a longer
    // one by the layer before anything is sent. Passwords of any length are refused by the
    // service.
    ASSERT_TRUE(service.running());
    SipxPhone phone(kPhone);
    ASSERT_TRUE(phone.ok());
    sipxConfigSetOutboundProxy(phone.inst(), (std::string(kService) + ":5060").c_str());
    for (size_t length : {size_t(0), size_t(400), size_t(2000), size_t(100 * 1024)}) {
        for (bool long_user : {true, false}) {
            std::string user = long_user ? std::string(length, 'u') : "alice";
            std::string password = long_user ? "wonderland_ndwo" : std::string(length, 'p');
            SIPX_LINE line = SIPX_LINE_NULL;
            SIPX_RESULT added = sipxLineAdd(phone.inst(), (user + "@kalvo.test").c_str(), &line, 0);
            if (long_user && (length == 0 || length > 500)) { // no user, or more than the stack carries
                EXPECT_EQ(added, SIPX_RESULT_BAD_ADDRESS) << length;
                EXPECT_EQ(sipxLineAddCredential(line, user.c_str(), password.c_str(), "kalvo.test"),
                    SIPX_RESULT_INVALID_ARGS);
                continue;
            }
            ASSERT_EQ(added, SIPX_RESULT_SUCCESS) << length;
            sipxLineAddCredential(line, user.c_str(), password.c_str(), "kalvo.test");
            sipxLineRegister(line, true);
            auto outcome = phone.events().wait_for([line](const RecordedEvent& e) {
                return e.category == EVENT_CATEGORY_LINESTATE && e.line == line &&
                    (e.event == LINESTATE_REGISTER_FAILED || e.event == LINESTATE_REGISTERED);
            });
            ASSERT_TRUE(outcome) << length << (long_user ? " user" : " password");
            EXPECT_EQ(outcome->event, LINESTATE_REGISTER_FAILED) << length;
            EXPECT_EQ(sipxLineRemove(line), SIPX_RESULT_SUCCESS);
        }
    }
}

TEST_F(SipxRegisterTest, ASecondLineReplacesARemovedOne)
{
    ASSERT_TRUE(service.running());
    SipxPhone phone(kPhone);
    ASSERT_TRUE(phone.ok());
    ASSERT_TRUE(phone.sign_in("alice", "wonderland_ndwo", std::string(kService) + ":5060"));
    SIPX_LINE first = phone.line();

    EXPECT_EQ(sipxLineRemove(first), SIPX_RESULT_SUCCESS);
    EXPECT_EQ(sipxLineRemove(first), SIPX_RESULT_INVALID_ARGS) << "a removed line is gone";
    EXPECT_TRUE(phone.sign_in("bob", "builder_ilbu", std::string(kService) + ":5060"));
    EXPECT_NE(phone.line(), first) << "handles are not reused";
}

} // namespace

namespace {

// A proxy that takes every request and never answers.
class SilentProxy {
public:
    explicit SilentProxy(const char* address, int port)
    {
        m_fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address, &at.sin_addr);
        m_bound = bind(m_fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
    }
    ~SilentProxy() { close(m_fd); }
    bool bound() const { return m_bound; }

private:
    int m_fd = -1;
    bool m_bound = false;
};

TEST(SipxRegisterWaitTest, NoAnswerWithinTheWaitFailsTheRegistration)
{
    test_support::IsolatedUser user;
    SilentProxy proxy("127.0.0.79", 5060);
    ASSERT_TRUE(proxy.bound());
    SipxPhone alice("127.0.0.62");
    ASSERT_TRUE(alice.ok());
    ASSERT_EQ(sipxConfigSetRegisterResponseWaitSeconds(alice.inst(), 1), SIPX_RESULT_SUCCESS);
    auto start = std::chrono::steady_clock::now();
    alice.login("alice", "wonderland_ndwo", "127.0.0.79:5060");

    auto failed = alice.events().wait_for(line_event(LINESTATE_REGISTER_FAILED), std::chrono::seconds(5));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->cause, LINESTATE_CAUSE_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

} // namespace
