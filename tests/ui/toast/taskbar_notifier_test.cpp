#include <algorithm>
#include <gtest/gtest.h>
#include <gtkmm/label.h>

#include "support/display.h"
#include "support/log_capture.h"
#include "ui/toast/taskbar_notifier.h"

namespace {

using namespace std::chrono_literals;
using toast_slide::State;

class Toast : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test_support::display_available())
            GTEST_SKIP() << "no display";
        toast = std::make_unique<CTaskbarNotifier>();
        toast->set_command_handler([this](const std::string& command) { commands.push_back(command); });
    }

    bool logged(const std::string& message) const
    {
        auto messages = log.window_messages();
        return std::find(messages.begin(), messages.end(), message) != messages.end();
    }

    Gtk::Label* close_link()
    {
        for (Gtk::Label* label : test_support::descendants_of_type<Gtk::Label>(toast->label())) {
            if (label->get_text() == "Close")
                return label;
        }
        return nullptr;
    }

    test_support::LogCapture log;
    std::unique_ptr<CTaskbarNotifier> toast;
    std::vector<std::string> commands;
};

TEST_F(Toast, SlidesOutToTheWorkAreaCornerAndShows)
{
    toast->show_toast("Hello <b>there</b>");
    EXPECT_EQ(toast->state(), State::Appearing);
    EXPECT_TRUE(toast->window().get_visible());
    EXPECT_NE(
        toast->label().text().find("<font color='#ffffff'>Hello <b>there</b></font>"), std::string::npos);
    EXPECT_TRUE(
        logged("<table width='100%' border='0' cellpadding='0' cellspacing='0'><tr><td align='center'>"
               "<font color='#ffffff'>Hello <b>there</b></font></td></tr></table>"));

    ASSERT_TRUE(test_support::run_loop_until([&] { return toast->state() == State::Showing; }, 5000ms));
    GdkRectangle work_area{};
    gdk_monitor_get_workarea(gdk_display_get_monitor(gdk_display_get_default(), 0), &work_area);
    test_support::run_loop_for(100ms);
    int x = 0, y = 0;
    toast->window().get_window()->get_root_origin(x, y);
    EXPECT_EQ(x, work_area.x + work_area.width - 250);
    EXPECT_EQ(y, work_area.y + work_area.height - 120);
}

TEST_F(Toast, LinkClickHidesTheToastAndHandsOnACommandText)
{
    toast->show_toast("x");
    ASSERT_TRUE(test_support::run_loop_until([&] { return toast->state() == State::Showing; }, 5000ms));
    Gtk::Label* close = close_link();
    ASSERT_NE(close, nullptr);
    ASSERT_TRUE(test_support::click_on(*close));
    ASSERT_TRUE(test_support::run_loop_until([&] { return !commands.empty(); }));
    EXPECT_EQ(commands, std::vector<std::string>{"kalvo.exe /url \"kalvo://hide_toast?true\""});
    EXPECT_EQ(toast->state(), State::Idle);
    EXPECT_FALSE(toast->window().get_visible());
    EXPECT_TRUE(logged("********** OnNotify in taskbarnotifier"));
    EXPECT_TRUE(logged("kalvo://hide_toast?true"));
}

TEST_F(Toast, OverlongLinkIsDroppedNotTruncated)
{
    toast->show_toast("x");
    gboolean handled = FALSE;
    std::string link = "kalvo://call/?" + std::string(9000, '5');
    g_signal_emit_by_name(close_link()->gobj(), "activate-link", link.c_str(), &handled);
    EXPECT_TRUE(test_support::run_loop_until([&] { return toast->state() == State::Idle; }));
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(logged("Toast link too long for the command buffer: dropped"));
}

TEST_F(Toast, ClickElsewhereOnTheToastHidesIt)
{
    toast->show_toast("x");
    ASSERT_TRUE(test_support::run_loop_until([&] { return toast->state() == State::Showing; }, 5000ms));
    int x = 0, y = 0;
    toast->window().get_window()->get_origin(x, y);
    ASSERT_TRUE(test_support::click_at(x + 5, y + 115));
    ASSERT_TRUE(test_support::run_loop_until([&] { return toast->state() == State::Idle; }));
    EXPECT_TRUE(commands.empty());
    EXPECT_TRUE(logged("********** OnLBUttonUp"));
}

TEST_F(Toast, LongTextIsClippedToTheSkinSize)
{
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "many words of a rather long notice<br>";
    toast->show_toast(text);
    ASSERT_TRUE(test_support::run_loop_until([&] { return toast->state() == State::Showing; }, 5000ms));
    test_support::run_loop_for(100ms);
    EXPECT_EQ(toast->window().get_window()->get_width(), 250);
    EXPECT_EQ(toast->window().get_window()->get_height(), 120);
}

TEST_F(Toast, SecondToastReplacesTheText)
{
    toast->show_toast("first");
    toast->show_toast("second");
    EXPECT_EQ(toast->label().text().find("first"), std::string::npos);
    EXPECT_NE(toast->label().text().find("second"), std::string::npos);
    toast->hide_toast();
    EXPECT_EQ(toast->state(), State::Idle);
    EXPECT_FALSE(toast->window().get_visible());
}

} // namespace
