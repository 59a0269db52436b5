// Signs in a running kalvo through a forwarded kalvo: link, against the local service.
#include <cstdlib>
#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/local_service.h"
#include "support/test_paths.h"
#include "telephony/sipx/sipx.h"

namespace {

using test_support::ChildProcess;
using test_support::wait_for_text;

constexpr const char* kAddress = "127.0.0.93";

class SignIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs a display";
        m_service = std::make_unique<test_support::LocalService>(kAddress);
        ASSERT_TRUE(m_service->running()) << m_service->start_output();
        ::setenv("KALVO_DEPLOYMENT", m_service->deployment_file().c_str(), 1);
        ::setenv(SIPX_ENV_BIND_ADDRESS, kAddress, 1);
        ::setenv(SIPX_ENV_RECORD_FILE, (m_user.home() + "/speaker.wav").c_str(), 1);
    }

    std::string data_file(const std::string& name) const
    {
        return m_user.home() + "/.local/share/kalvo/" + name;
    }

    test_support::IsolatedUser m_user;
    std::unique_ptr<test_support::LocalService> m_service;
};

TEST_F(SignIn, ForwardedLoginLinkRegistersAndShowsTheMainPage)
{
    std::string program = test_support::built_program("kalvo");
    ChildProcess kalvo({program});
    ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));

    // A link sent while the first start is still busy loading its skin can time out in
    // the hand-over; like a user, click it again until the sign-in starts.
    std::string log;
    for (int attempt = 0; attempt < 4; ++attempt) {
        ChildProcess link({program, "/url", "kalvo://login/?u=alice&p=wonderland&s=false&a=false"});
        EXPECT_EQ(link.wait_for_exit(10000), 1);
        log = wait_for_text(data_file("kalvo.log"), "LOGIN - Username is alice", 5000);
        if (log.find("LOGIN - Username is alice") != std::string::npos)
            break;
    }

    log = wait_for_text(data_file("kalvo.log"), "LINESTATE - LINESTATE_REGISTERED", 20000);
    EXPECT_NE(log.find("LINESTATE - LINESTATE_REGISTERED"), std::string::npos) << log;
    EXPECT_EQ(log.find("wonderland"), std::string::npos) << "the password reached the log";

    // The main page was downloaded into the cache with the skin's folder written in.
    std::string page = wait_for_text(data_file("Cache/main.html"), "file://", 10000);
    EXPECT_NE(page.find("/Kalvo/"), std::string::npos) << page;
    EXPECT_EQ(page.find("%%SKIN_PATH%%"), std::string::npos);
    EXPECT_TRUE(kalvo.running());
}

} // namespace
