// Later starts handing their links to a running kalvo, and how that kalvo ends, with the
// program itself under the test's display.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

#include "support/child_process.h"
#include "support/display.h"
#include "support/test_paths.h"

namespace {

using test_support::ChildProcess;
using test_support::holds;

class Handover : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "needs a display";
    }
    std::string program() const { return test_support::built_program("kalvo"); }
    std::string socket() const { return m_user.home() + "/run/kalvo/instance.sock"; }
    std::string log_file() const { return m_user.home() + "/.local/share/kalvo/kalvo.log"; }

    // The end of the milestone line of a carried-out link (the line holds the later
    // start's whole command line).
    static std::string carried_out(const std::string& url) { return " /url \"" + url + "\"\n"; }

    // A later start handing over one link; its exit code.
    std::optional<int> hand_over(const std::string& url)
    {
        ChildProcess later({program(), "/url", url});
        return later.wait_for_exit(10000);
    }

    // Waits until a window of the program whose name matches is shown.
    static bool wait_for_window(pid_t pid, const std::string& name)
    {
        std::string command = "timeout 30 xdotool search --sync --onlyvisible --pid " + std::to_string(pid) +
            (name.empty() ? "" : " --name '" + name + "'") + " >/dev/null";
        return std::system(command.c_str()) == 0;
    }

    test_support::IsolatedUser m_user;
};

TEST_F(Handover, ThirtyLaterStartsInOneBurstAreAllCarriedOut)
{
    ChildProcess first({program()});
    // Right when the lock is taken, while the program still loads: the links wait for the window.
    ASSERT_TRUE(test_support::wait_for_file(socket(), 20000));
    std::vector<std::unique_ptr<ChildProcess>> later;
    for (int i = 0; i < 30; ++i)
        later.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{program(), "/url", "kalvo://hide_toast/?n=" + std::to_string(i)}));
    for (auto& start : later)
        EXPECT_EQ(start->wait_for_exit(10000), 1);

    // Each once, none lost (the order among starts racing each other is the order they
    // reached the socket).
    std::string log;
    for (int i = 0; i < 30; ++i) {
        std::string line = carried_out("kalvo://hide_toast/?n=" + std::to_string(i));
        log = test_support::wait_for_text(log_file(), line, 30000);
        size_t at = log.find(line);
        EXPECT_NE(at, std::string::npos) << "link " << i << " was lost:\n" << log;
        EXPECT_EQ(log.find(line, at + 1), std::string::npos) << "link " << i << " ran twice";
    }
    // Later starts one after another are carried out in their order.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(hand_over("kalvo://hide_toast/?next=" + std::to_string(i)), 1);
    log = test_support::wait_for_text(log_file(), carried_out("kalvo://hide_toast/?next=4"), 10000);
    size_t previous = 0;
    for (int i = 0; i < 5; ++i) {
        size_t at = log.find(carried_out("kalvo://hide_toast/?next=" + std::to_string(i)));
        ASSERT_NE(at, std::string::npos) << log;
        EXPECT_GT(at, previous);
        previous = at;
    }
    EXPECT_EQ(first.terminate(), 0);
}

TEST_F(Handover, ALaterStartRightAfterTheFirstWindowAppearsIsCarriedOut)
{
    ChildProcess first({program()});
    ASSERT_TRUE(wait_for_window(first.pid(), ""));
    EXPECT_EQ(hand_over("kalvo://hide_toast/?early"), 1);
    EXPECT_TRUE(
        holds(test_support::wait_for_text(log_file(), carried_out("kalvo://hide_toast/?early"), 30000),
            carried_out("kalvo://hide_toast/?early")));
    EXPECT_EQ(first.terminate(), 0);
}

TEST_F(Handover, SigtermWithAForwardedModalWindowOpenAndAHandOverUnderWayEndsWithinTwoSeconds)
{
    ChildProcess first({program()});
    ASSERT_TRUE(test_support::wait_for_file(socket(), 20000));
    // The wizard prompt: a modal window opened by a forwarded link.
    EXPECT_EQ(hand_over("kalvo://wizard/?u=bob"), 1);
    ASSERT_TRUE(wait_for_window(first.pid(), "run the setup wizard"));
    // A later link waits behind the open window; another later start is mid-way.
    EXPECT_EQ(hand_over("kalvo://hide_toast/?behind"), 1);
    int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket().c_str());
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::write(client, "UWM_IS_", 7), 7);

    ::kill(first.pid(), SIGTERM);
    EXPECT_EQ(first.wait_for_exit(2000), 0);
    ::close(client);
}

} // namespace
