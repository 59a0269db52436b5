#include <atomic>
#include <chrono>
#include <glib.h>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "base/timer_table.h"
#include "base/ui_thread.h"
#include "support/main_loop.h"

namespace {

using test_support::run_main_loop_until;

struct Recorder : ui_thread::MessageTarget {
    std::vector<std::pair<ui_thread::Message, ui_thread::WParam>> seen;
    std::vector<std::string> texts;
    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override
    {
        EXPECT_TRUE(ui_thread::on_ui_thread());
        seen.emplace_back(message, wparam);
        return static_cast<ui_thread::Result>(wparam) * 2 + lparam;
    }
    ui_thread::Result handle_text_message(ui_thread::Message, const std::string& text) override
    {
        texts.push_back(text);
        return static_cast<ui_thread::Result>(text.size());
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

TEST(UiThread, TextsTravelOwnedAndAreDroppedWithTheirTarget)
{
    ui_thread::init();
    Recorder target;
    std::atomic<ui_thread::Result> answer{-1};
    std::thread worker([&] {
        ui_thread::post_text(&target, 1, "first");
        answer = ui_thread::send_text(&target, 2, std::string(100, 'x'));
    });
    ASSERT_TRUE(run_main_loop_until([&] { return answer.load() != -1; }));
    worker.join();
    EXPECT_EQ(answer.load(), 100);
    EXPECT_EQ(target.texts, (std::vector<std::string>{"first", std::string(100, 'x')}));

    int after = 0;
    {
        Recorder gone;
        ui_thread::post_text(&gone, 1, "never read");
        ui_thread::invoke_for(&gone, [&] { after = -1; });
    }
    ui_thread::invoke([&] { after += 1; });
    ASSERT_TRUE(run_main_loop_until([&] { return after != 0; }));
    EXPECT_EQ(after, 1);
}

TEST(UiThread, AThreadThatNeverWaitsIsRefusedASendButMayPost)
{
    ui_thread::init();
    Recorder target;
    std::atomic<ui_thread::Result> answer{-1};
    std::thread engine([&] {
        ui_thread::mark_never_waits();
        answer = ui_thread::send(&target, 3, 4);
        ui_thread::post(&target, 5, 6);
    });
    engine.join();
    EXPECT_EQ(answer.load(), 0);
    ASSERT_TRUE(run_main_loop_until([&] { return !target.seen.empty(); }));
    EXPECT_EQ(target.seen, (std::vector<std::pair<ui_thread::Message, ui_thread::WParam>>{{5, 6}}));
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

} // namespace
