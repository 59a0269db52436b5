// Signs in a running kalvo through a forwarded kalvo: link, against the local service.
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

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

    // A later start handing over one link; its exit code.
    static std::optional<int> hand_over(const std::string& program, const std::string& url)
    {
        ChildProcess link({program, "/url", url});
        return link.wait_for_exit(10000);
    }

    test_support::IsolatedUser m_user;
    std::unique_ptr<test_support::LocalService> m_service;
};

TEST_F(SignIn, ForwardedLoginLinkRegistersAndShowsTheMainPage)
{
    std::string program = test_support::built_program("kalvo");
    ChildProcess kalvo({program});
    ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));

    // Sent while the first start is still loading its skin: the link waits for the window.
    EXPECT_EQ(hand_over(program, "kalvo://login/?u=alice&p=wonderland&s=false&a=false"), 1);
    std::string log = wait_for_text(data_file("kalvo.log"), "LOGIN - Username is alice", 30000);
    EXPECT_TRUE(test_support::holds(log, "LOGIN - Username is alice")) << log;

    log = wait_for_text(data_file("kalvo.log"), "LINESTATE - LINESTATE_REGISTERED", 20000);
    EXPECT_NE(log.find("LINESTATE - LINESTATE_REGISTERED"), std::string::npos) << log;
    EXPECT_EQ(log.find("wonderland"), std::string::npos) << "the password reached the log";

    // The main page was downloaded into the cache with the skin's folder written in.
    std::string page = wait_for_text(data_file("Cache/main.html"), "file://", 10000);
    EXPECT_NE(page.find("/Kalvo/"), std::string::npos) << page;
    EXPECT_EQ(page.find("%%SKIN_PATH%%"), std::string::npos);
    EXPECT_TRUE(kalvo.running());
}

TEST_F(SignIn, WhileTheMainPageDownloadStallsLaterStartsAreStillCarriedOut)
{
    ASSERT_TRUE(m_service->stall("/live/index.php", 30000));
    std::string program = test_support::built_program("kalvo");
    ChildProcess kalvo({program});
    ASSERT_TRUE(test_support::wait_for_file(m_user.home() + "/run/kalvo/instance.sock", 20000));
    EXPECT_EQ(hand_over(program, "kalvo://login/?u=alice&p=wonderland&s=false&a=false"), 1);
    std::string log = wait_for_text(data_file("kalvo.log"), "LINESTATE - LINESTATE_REGISTERED", 30000);
    ASSERT_TRUE(test_support::holds(log, "LINESTATE - LINESTATE_REGISTERED")) << log;

    // The signed-in window asks for its main page, and the service holds the reply back.
    for (int waited = 0; m_service->stalled_requests() < 1 && waited < 10000; waited += 100)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_GE(m_service->stalled_requests(), 1);
    // The interface thread is not the one waiting: a link clicked now is carried out
    // within a second.
    EXPECT_EQ(hand_over(program, "kalvo://hide_toast/?during"), 1);
    const std::string carried_out = " /url \"kalvo://hide_toast/?during\"\n";
    log = wait_for_text(data_file("kalvo.log"), carried_out, 1000);
    EXPECT_TRUE(test_support::holds(log, carried_out)) << log;
    EXPECT_TRUE(kalvo.running());

    // Quitting while the download still waits ends at once and cleanly: the exit handlers
    // do not tear the network libraries down under the waiting worker.
    EXPECT_EQ(kalvo.terminate(), 0);
    EXPECT_TRUE(test_support::holds(
        test_support::read_file(data_file("kalvo.log")), "network request(s) still under way at exit"));
}

} // namespace
