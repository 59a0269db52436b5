#include <atomic>
#include <chrono>
#include <glib.h>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "app/messages.h"
#include "app/single_instance.h"
#include "app/timer_table.h"
#include "app/ui_thread.h"
#include "support/main_loop.h"
#include "support/test_paths.h"

namespace {

using test_support::run_main_loop_until;

struct Recorder : ui_thread::MessageTarget {
    std::vector<std::pair<ui_thread::Message, ui_thread::WParam>> seen;
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override
    {
        EXPECT_TRUE(ui_thread::on_ui_thread());
        seen.emplace_back(message, wparam);
        return static_cast<ui_thread::Result>(wparam) * 2 + lparam;
    }
};

TEST(UiThread, PostsFromWorkersRunInPostingOrder)
{
    ui_thread::init();
    Recorder target;
    std::thread worker([&] {
        for (unsigned i = 0; i < 500; ++i)
            ui_thread::post(&target, 1, i);
    });
    worker.join();
    ASSERT_TRUE(run_main_loop_until([&] { return target.seen.size() == 500; }));
    for (unsigned i = 0; i < 500; ++i)
        EXPECT_EQ(target.seen[i].second, i);
}

TEST(UiThread, SendWaitsForTheResultAndRunsInlineOnTheInterfaceThread)
{
    ui_thread::init();
    Recorder target;
    EXPECT_EQ(ui_thread::send(&target, 7, 5, 1), 11);
    ASSERT_EQ(target.seen.size(), 1u);

    std::atomic<ui_thread::Result> answer{-1};
    std::thread worker([&] { answer = ui_thread::send(&target, 8, 20, 2); });
    ASSERT_TRUE(run_main_loop_until([&] { return answer.load() != -1; }));
    worker.join();
    EXPECT_EQ(answer.load(), 42);
}

TEST(UiThread, MessagesForADestroyedTargetAreDropped)
{
    ui_thread::init();
    int after = 0;
    {
        Recorder target;
        ui_thread::post(&target, 1);
    }
    ui_thread::invoke([&] { after = 1; });
    ASSERT_TRUE(run_main_loop_until([&] { return after == 1; }));
}

TEST(TimerTable, RepeatsUntilKilledAndRearmingReplaces)
{
    std::vector<unsigned> fired;
    TimerTable timers([&](unsigned id) { fired.push_back(id); });
    timers.set_timer(1, 10);
    ASSERT_TRUE(run_main_loop_until([&] { return fired.size() >= 3; }));
    timers.kill_timer(1);
    EXPECT_FALSE(timers.is_armed(1));
    size_t count = fired.size();
    run_main_loop_until([] { return false; }, 60);
    EXPECT_EQ(fired.size(), count);

    // Re-arming an armed id replaces it: the long period never fires.
    fired.clear();
    timers.set_timer(2, 5000);
    timers.set_timer(2, 10);
    ASSERT_TRUE(run_main_loop_until([&] { return !fired.empty(); }));
    EXPECT_EQ(fired.front(), 2u);
}

TEST(TimerTable, HandlerMayKillOrRearmItsOwnTimer)
{
    std::vector<unsigned> fired;
    TimerTable* table = nullptr;
    TimerTable timers([&](unsigned id) {
        fired.push_back(id);
        if (id == 3)
            table->kill_timer(3);
        if (id == 4 && fired.size() < 4)
            table->set_timer(4, 5);
    });
    table = &timers;
    timers.set_timer(3, 5);
    ASSERT_TRUE(run_main_loop_until([&] { return !fired.empty(); }));
    run_main_loop_until([] { return false; }, 50);
    EXPECT_EQ(fired.size(), 1u);
    EXPECT_FALSE(timers.is_armed(3));

    fired.clear();
    timers.set_timer(4, 5);
    ASSERT_TRUE(run_main_loop_until([&] { return fired.size() >= 4; }));
    EXPECT_TRUE(timers.is_armed(4));
    timers.kill_all();
    EXPECT_FALSE(timers.is_armed(4));
}

struct FirstInstance : ui_thread::MessageTarget {
    std::string received;
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam, ui_thread::LParam lparam) override
    {
        if (message == messages::UWM_IS_ME)
            return messages::UWM_IS_ME;
        if (message == messages::WM_COPYDATA)
            received = reinterpret_cast<const char*>(lparam);
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

    // An over-long command line is refused whole (never cut into a shorter command): the
    // window is handed an empty text, which only brings it forward.
    forwarded = -1;
    std::thread third([&] { forwarded = single_instance::forward(std::string(20000, 'k')) ? 1 : 0; });
    ASSERT_TRUE(run_main_loop_until([&] { return forwarded.load() != -1; }));
    third.join();
    EXPECT_EQ(forwarded.load(), 1);
    EXPECT_EQ(window.received, "");
}

TEST(SingleInstance, NothingListeningMeansTheTextIsLost)
{
    test_support::IsolatedUser user;
    EXPECT_FALSE(single_instance::forward("/usr/bin/kalvo"));
}

} // namespace
