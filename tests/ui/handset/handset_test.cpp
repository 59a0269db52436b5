#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "support/main_loop.h"
#include "ui/handset/handset.h"

namespace {

struct RecordingHost : HandsetHost {
    std::vector<std::string> scripts;
    std::vector<std::string> log;
    void RunContentScript(const std::string& script) override { scripts.push_back(script); }
    void AppendLog(const std::string& line) override { log.push_back(line); }
};

// A main window that hands UWM_IM_SEND_MSG to its handset, as the real one does.
struct Window : ui_thread::MessageTarget {
    RecordingHost host;
    Handset handset;
    std::vector<ui_thread::Message> other_messages;
    bool off_thread = false;

    explicit Window(Handset::Opener opener = [](ui_thread::MessageTarget*) { return false; })
        : handset(*this, host, std::move(opener))
    {
    }

    ui_thread::Result handle_message(
        ui_thread::Message message, ui_thread::WParam wparam, ui_thread::LParam lparam) override
    {
        off_thread |= !ui_thread::on_ui_thread();
        if (message == messages::UWM_IM_SEND_MSG)
            return handset.OnYealink(wparam, lparam);
        other_messages.push_back(message);
        return -1;
    }
};

const std::vector<std::string> kOneHandlerLine{"********** OnYealink"};

TEST(Handset, KeyEventRunsThePageScriptOfItsLowByte)
{
    Window window;
    EXPECT_EQ(window.handset.OnYealink(11, 0x0185), 0);
    EXPECT_EQ(window.host.scripts, std::vector<std::string>{"buttonEvent(5)"});
    EXPECT_EQ(window.host.log, kOneHandlerLine);
}

TEST(Handset, OtherEventsAndUnusedKeysAreLoggedOnly)
{
    for (auto [event, key] : {std::pair{10, 0x85}, {0, 0x91}, {12, 0x80}, {11, 0x8A}, {11, 0x7F}}) {
        Window window;
        EXPECT_EQ(window.handset.OnYealink(ui_thread::WParam(event), key), 0);
        EXPECT_TRUE(window.host.scripts.empty()) << event << " " << key;
        EXPECT_EQ(window.host.log, kOneHandlerLine);
    }
}

TEST(Handset, OpenIsRetriedSilentlyUntilItSucceedsThenNeverAgain)
{
    int attempts = 0;
    bool plugged = false;
    ui_thread::MessageTarget* context = nullptr;
    Window window([&](ui_thread::MessageTarget* target) {
        ++attempts;
        context = target;
        return plugged;
    });
    for (int tick = 0; tick < 3; ++tick)
        window.handset.OnOpenTimer();
    EXPECT_EQ(attempts, 3);
    EXPECT_FALSE(window.handset.IsOpen());
    EXPECT_TRUE(window.host.log.empty());

    plugged = true;
    window.handset.OnOpenTimer();
    EXPECT_TRUE(window.handset.IsOpen());
    EXPECT_EQ(context, &window); // the callback's context is the main window
    EXPECT_EQ(window.host.log, std::vector<std::string>{"********** Opened Yealink device"});

    window.handset.OnOpenTimer();
    window.handset.OnOpenTimer();
    EXPECT_EQ(attempts, 4);
    EXPECT_EQ(window.host.log.size(), 1u);
}

TEST(Handset, DriverCallbackDeliversKeysInOrderOnTheInterfaceThread)
{
    ui_thread::init();
    Window window;
    std::atomic<int> answered{0};
    std::atomic<bool> all_zero{true};
    std::thread reader([&] {
        for (long key : {0x81L, 0x82L, 0x8BL, 0x8CL, 0x91L}) {
            all_zero = all_zero && handset_callback(11, key, &window) == 0;
            ++answered;
        }
    });
    ASSERT_TRUE(test_support::run_main_loop_until([&] { return answered == 5; }));
    reader.join();
    EXPECT_TRUE(all_zero);
    EXPECT_FALSE(window.off_thread);
    EXPECT_TRUE(window.other_messages.empty());
    EXPECT_EQ(window.host.scripts,
        (std::vector<std::string>{
            "buttonEvent(1)", "buttonEvent(2)", "buttonEvent('*')", "buttonEvent('#')", "doDial()"}));
    EXPECT_EQ(handset_callback(11, 0x81, nullptr), 0);
}

} // namespace
