#include <atomic>
#include <filesystem>
#include <glib.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "app/instance_server.h"
#include "base/messages.h"
#include "base/ui_thread.h"
#include "settings/paths.h"
#include "support/main_loop.h"
#include "support/test_paths.h"

namespace {

using test_support::run_main_loop_until;

struct FirstInstance : ui_thread::MessageTarget {
    std::vector<std::string> received;
    ui_thread::Result handle_message(ui_thread::Message, ui_thread::WParam, ui_thread::LParam) override
    {
        return 0;
    }
    ui_thread::Result handle_text_message(ui_thread::Message message, const std::string& text) override
    {
        if (message == messages::WM_COPYDATA)
            received.push_back(text);
        return 1;
    }
};

TEST(SingleInstance, LaterStartsAreAcknowledgedAtOnceAndReachTheWindowInArrivalOrder)
{
    test_support::IsolatedUser user;
    ui_thread::init();
    std::string error;
    ASSERT_EQ(single_instance::acquire(error), single_instance::Lock::Taken) << error;
    single_instance::Server server;
    ASSERT_TRUE(server.listening());

    // No window yet and the interface thread busy elsewhere: the server answers by itself.
    EXPECT_TRUE(single_instance::forward("/usr/bin/kalvo /url \"kalvo://call/?1\""));
    EXPECT_TRUE(single_instance::forward("/usr/bin/kalvo /url \"kalvo://call/?2\""));
    FirstInstance window;
    server.deliver_to(&window);
    // An over-long command line is refused whole (never cut into a shorter command): the
    // window is handed an empty text, which only brings it forward.
    EXPECT_TRUE(single_instance::forward(std::string(20000, 'k')));
    ASSERT_TRUE(run_main_loop_until([&] { return window.received.size() == 3; }));
    EXPECT_EQ(window.received[0], "/usr/bin/kalvo /url \"kalvo://call/?1\"");
    EXPECT_EQ(window.received[1], "/usr/bin/kalvo /url \"kalvo://call/?2\"");
    EXPECT_EQ(window.received[2], "");

    std::string held;
    EXPECT_EQ(single_instance::acquire(held), single_instance::Lock::HeldElsewhere);
}

TEST(SingleInstance, NothingListeningMeansTheTextIsLost)
{
    test_support::IsolatedUser user;
    EXPECT_FALSE(single_instance::forward("/usr/bin/kalvo"));
}

TEST(SingleInstance, ALockFolderOthersMayEnterIsRefused)
{
    test_support::IsolatedUser user;
    std::filesystem::create_directories(paths::runtime_dir());
    ::chmod(paths::runtime_dir().c_str(), 0755);
    std::string error;
    EXPECT_EQ(single_instance::acquire(error), single_instance::Lock::Unusable);
    EXPECT_NE(error.find("open to other users"), std::string::npos) << error;

    ::chmod(paths::runtime_dir().c_str(), 0700);
    EXPECT_EQ(single_instance::acquire(error), single_instance::Lock::Taken) << error;
}

} // namespace
