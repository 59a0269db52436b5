// The interface queue and the main loop with real nested loops: a modal dialog opened by a
// queued handler.
#include <atomic>
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <string>
#include <thread>
#include <vector>

#include "base/main_loop.h"
#include "base/ui_thread.h"
#include "support/display.h"

namespace {

constexpr ui_thread::Message kOpenDialog = 1;
constexpr ui_thread::Message kNumber = 2;
constexpr unsigned kCount = 50;

// Opens a modal dialog on its first message; records every later one while it is open and
// closes it when the last has come.
struct DialogOpener : ui_thread::MessageTarget {
    Gtk::Dialog dialog{"nested", true};
    std::vector<std::string> seen;

    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam) override
    {
        if (message == kOpenDialog) {
            seen.push_back("open");
            dialog.run();
            dialog.hide();
            seen.push_back("closed");
            return 0;
        }
        seen.push_back(std::to_string(wparam));
        if (message == kNumber && wparam == kCount)
            dialog.response(Gtk::RESPONSE_OK);
        return static_cast<ui_thread::Result>(wparam) + 1;
    }
};

TEST(NestedLoop, WorkerMessagesAreHandledInOrderWhileAQueuedHandlersDialogIsOpen)
{
    if (!test_support::display_available())
        GTEST_SKIP() << "no display";
    DialogOpener target;
    std::atomic<ui_thread::Result> answer{-1};
    std::thread worker;
    target.dialog.signal_show().connect([&] {
        worker = std::thread([&] {
            answer = ui_thread::send(&target, 3, 0); // a send is answered inside the dialog too
            for (unsigned i = 1; i <= kCount; ++i)
                ui_thread::post(&target, kNumber, i);
        });
    });
    ui_thread::post(&target, kOpenDialog);
    ASSERT_TRUE(test_support::run_loop_until(
        [&] { return target.seen.size() == kCount + 3; }, std::chrono::milliseconds(10000)));
    worker.join();

    EXPECT_EQ(answer.load(), 1);
    std::vector<std::string> expected{"open", "0"};
    for (unsigned i = 1; i <= kCount; ++i)
        expected.push_back(std::to_string(i));
    expected.push_back("closed");
    EXPECT_EQ(target.seen, expected);
}

TEST(NestedLoop, QuitEndsTheLoopThroughEveryModalWindowAHandlerOpens)
{
    if (!test_support::display_available())
        GTEST_SKIP() << "no display";
    // The handler opens a second dialog when the first is closed, as a caller going on
    // after its modal window might.
    std::vector<std::string> steps;
    ui_thread::invoke([&] {
        for (const char* name : {"first", "second"}) {
            Gtk::MessageDialog box(name, false, Gtk::MESSAGE_INFO, Gtk::BUTTONS_OK, true);
            if (steps.empty())
                box.signal_show().connect([] { main_loop::quit(0); }); // Exit or SIGTERM meanwhile
            box.run();
            steps.push_back(name);
        }
    });
    EXPECT_EQ(main_loop::run(), 0);
    EXPECT_EQ(steps, (std::vector<std::string>{"first", "second"}));
}

} // namespace
