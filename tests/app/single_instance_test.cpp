#include <atomic>
#include <chrono>
#include <glib.h>
#include <gtest/gtest.h>
#include <thread>

#include "app/single_instance.h"
#include "base/messages.h"
#include "base/ui_thread.h"
#include "support/main_loop.h"
#include "support/test_paths.h"

namespace {

using test_support::run_main_loop_until;

struct FirstInstance : ui_thread::MessageTarget {
    std::string received;
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam) override
    {
        return message == messages::UWM_IS_ME ? ui_thread::Result{messages::UWM_IS_ME} : 1;
    }
    ui_thread::Result handle_text_message(ui_thread::Message message, const std::string& text) override
    {
        if (message == messages::WM_COPYDATA)
            received = text;
        return 1;
    }
};

TEST(SingleInstance, SecondStartHandsItsCommandLineToTheFirst)
{
    test_support::IsolatedUser user;
    ui_thread::init();
    EXPECT_TRUE(single_instance::acquire());
    FirstInstance window;
    single_instance::Server server(&window);
    ASSERT_TRUE(server.listening());

    std::atomic<int> forwarded{-1};
    std::thread second(
        [&] { forwarded = single_instance::forward("/usr/bin/kalvo /url \"kalvo://call/?555\"") ? 1 : 0; });
    ASSERT_TRUE(run_main_loop_until([&] { return forwarded.load() != -1; }));
    second.join();
    EXPECT_EQ(forwarded.load(), 1);
    EXPECT_EQ(window.received, "/usr/bin/kalvo /url \"kalvo://call/?555\"");

    // An over-long command line is cut to the command buffer, never written past it.
    forwarded = -1;
    std::thread third([&] { forwarded = single_instance::forward(std::string(20000, 'k')) ? 1 : 0; });
    ASSERT_TRUE(run_main_loop_until([&] { return forwarded.load() != -1; }));
    third.join();
    EXPECT_EQ(window.received.size(), single_instance::kMaxForwardedBytes);
}

TEST(SingleInstance, NothingListeningMeansTheTextIsLost)
{
    test_support::IsolatedUser user;
    EXPECT_FALSE(single_instance::forward("/usr/bin/kalvo"));
}

} // namespace
