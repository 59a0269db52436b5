#include <gtest/gtest.h>
#include <map>

#include "ui/toast/toast_slide.h"

namespace {

using namespace toast_slide;

// Stands in for the toast window: records the timers armed and where the window is.
class FakeWindow : public Slide::Host {
public:
    void set_timer(unsigned id, unsigned milliseconds) override { timers[id] = milliseconds; }
    void kill_timer(unsigned id) override { timers.erase(id); }
    void place(int x, int y) override
    {
        this->x = x;
        this->y = y;
        visible = true;
    }
    void show_on_top() override
    {
        visible = true;
        ++raised;
    }
    void repaint() override { ++repaints; }
    void hide() override
    {
        visible = false;
        x = y = 0;
    }

    // Fires the one armed timer, as the main loop would.
    void tick(Slide& slide)
    {
        ASSERT_EQ(timers.size(), 1u);
        slide.on_timer(timers.begin()->first);
    }

    std::map<unsigned, unsigned> timers;
    int x = 0, y = 0;
    bool visible = false;
    int raised = 0;
    int repaints = 0;
};

const Rect kScreen{0, 0, 1024, 768};
const Rect kBottomBar{0, 0, 1024, 728};

class ToastSlide : public ::testing::Test {
protected:
    ToastSlide() { slide.set_size(250, 120); }

    void tick_times(int count)
    {
        for (int i = 0; i < count; ++i)
            window.tick(slide);
    }

    FakeWindow window;
    Slide slide{window};
};

TEST(TaskbarSide, DecidedFromWorkAreaAndScreen)
{
    EXPECT_EQ(taskbar_side(kBottomBar, kScreen), TaskbarSide::Bottom);
    EXPECT_EQ(taskbar_side({0, 40, 1024, 728}, kScreen), TaskbarSide::Top);
    EXPECT_EQ(taskbar_side({60, 0, 964, 768}, kScreen), TaskbarSide::Left);
    EXPECT_EQ(taskbar_side({0, 0, 964, 768}, kScreen), TaskbarSide::Right);
    EXPECT_EQ(taskbar_side(kScreen, kScreen), TaskbarSide::Bottom);
    // A second monitor to the right of the first: edges compare with its own geometry.
    EXPECT_EQ(taskbar_side({1084, 0, 964, 768}, {1024, 0, 1024, 768}), TaskbarSide::Left);
}

TEST_F(ToastSlide, SlidesOutStaysTenSecondsAndSlidesBack)
{
    ASSERT_TRUE(slide.start(Durations{}, kBottomBar, kScreen));
    EXPECT_EQ(slide.state(), State::Appearing);
    EXPECT_EQ(window.raised, 1);
    EXPECT_EQ(window.x, 1024 - 250); // right edge of the work area
    EXPECT_EQ(window.y, 728); // just below it
    // 100 ms over 120 steps is 0 ms by integer division: the timer floor applies.
    EXPECT_EQ(window.timers.at(kAppearingTimer), kMinimumTimerDelay);

    tick_times(1);
    EXPECT_EQ(window.y, 727);
    tick_times(118);
    EXPECT_EQ(slide.state(), State::Appearing);
    tick_times(1);
    EXPECT_EQ(window.y, 728 - 120);
    EXPECT_EQ(slide.state(), State::Showing);
    EXPECT_EQ(window.timers, (std::map<unsigned, unsigned>{{kShowingTimer, 10000}}));

    tick_times(1);
    EXPECT_EQ(slide.state(), State::Disappearing);
    EXPECT_EQ(window.timers, (std::map<unsigned, unsigned>{{kDisappearingTimer, kMinimumTimerDelay}}));
    tick_times(119);
    EXPECT_EQ(window.y, 727);
    EXPECT_TRUE(window.visible);
    tick_times(1);
    EXPECT_EQ(slide.state(), State::Idle);
    EXPECT_FALSE(window.visible);
    EXPECT_TRUE(window.timers.empty());
}

TEST_F(ToastSlide, LeftTaskbarSlidesInHorizontally)
{
    Rect work_area{60, 0, 964, 768};
    ASSERT_TRUE(slide.start(Durations{1000, 10000, 500, 5}, work_area, kScreen));
    EXPECT_EQ(slide.side(), TaskbarSide::Left);
    EXPECT_EQ(window.x, 60 - 250);
    EXPECT_EQ(window.y, 768 - 120);
    EXPECT_EQ(slide.appearing_delay(), 1000u / (250 / 5));
    EXPECT_EQ(slide.disappearing_delay(), 500u / (250 / 5));
    tick_times(1);
    EXPECT_EQ(window.x, 60 - 245);
    EXPECT_EQ(window.y, 768 - 120);
    tick_times(49);
    EXPECT_EQ(window.x, 60);
    EXPECT_EQ(slide.state(), State::Showing);
}

TEST_F(ToastSlide, RightAndTopTaskbarsUseTheirEdges)
{
    ASSERT_TRUE(slide.start(Durations{}, {0, 0, 964, 768}, kScreen));
    EXPECT_EQ(window.x, 964);
    EXPECT_EQ(window.y, 768 - 120);
    tick_times(1);
    EXPECT_EQ(window.x, 963);
    slide.hide();

    ASSERT_TRUE(slide.start(Durations{}, {0, 40, 1024, 728}, kScreen));
    EXPECT_EQ(window.x, 1024 - 250);
    EXPECT_EQ(window.y, 40 - 120);
    tick_times(1);
    EXPECT_EQ(window.y, 40 - 119);
}

TEST_F(ToastSlide, SecondToastWhileShowingRestartsTheTenSeconds)
{
    slide.start(Durations{}, kBottomBar, kScreen);
    tick_times(120);
    ASSERT_EQ(slide.state(), State::Showing);
    window.timers[kShowingTimer] = 1; // as if most of the time had passed
    slide.start(Durations{}, kBottomBar, kScreen);
    EXPECT_EQ(slide.state(), State::Showing);
    EXPECT_EQ(window.timers.at(kShowingTimer), 10000u);
    EXPECT_EQ(window.y, 608);
    EXPECT_EQ(window.repaints, 1);
    EXPECT_EQ(window.raised, 1);
}

TEST_F(ToastSlide, ToastWhileDisappearingReturnsToFullyShown)
{
    slide.start(Durations{}, kBottomBar, kScreen);
    tick_times(121);
    tick_times(30);
    ASSERT_EQ(slide.state(), State::Disappearing);
    EXPECT_EQ(window.y, 638);
    slide.start(Durations{}, kBottomBar, kScreen);
    EXPECT_EQ(slide.state(), State::Showing);
    EXPECT_EQ(window.y, 608);
    EXPECT_EQ(window.timers, (std::map<unsigned, unsigned>{{kShowingTimer, 10000}}));
}

TEST_F(ToastSlide, ToastWhileAppearingCarriesOnFromWhereItStands)
{
    slide.start(Durations{}, kBottomBar, kScreen);
    tick_times(50);
    slide.start(Durations{}, kBottomBar, kScreen);
    EXPECT_EQ(slide.state(), State::Appearing);
    EXPECT_EQ(window.y, 678);
    EXPECT_EQ(window.raised, 1);
    tick_times(70);
    EXPECT_EQ(slide.state(), State::Showing);
}

TEST_F(ToastSlide, HideReturnsToIdleFromEveryState)
{
    for (int ticks : {0, 10, 120, 121, 140}) {
        slide.start(Durations{}, kBottomBar, kScreen);
        tick_times(ticks);
        slide.hide();
        EXPECT_EQ(slide.state(), State::Idle) << ticks;
        EXPECT_TRUE(window.timers.empty()) << ticks;
        EXPECT_FALSE(window.visible) << ticks;
    }
    // A stale timer firing in idle is stopped and moves nothing.
    window.timers[kAppearingTimer] = 10;
    slide.on_timer(kAppearingTimer);
    EXPECT_TRUE(window.timers.empty());
    EXPECT_FALSE(window.visible);
}

TEST_F(ToastSlide, ToastWithoutSizeIsNotShown)
{
    slide.set_size(0, 120);
    EXPECT_FALSE(slide.start(Durations{}, kBottomBar, kScreen));
    EXPECT_EQ(slide.state(), State::Idle);
    EXPECT_TRUE(window.timers.empty());
    EXPECT_FALSE(window.visible);
}

TEST_F(ToastSlide, ZeroIncrementStillMoves)
{
    slide.start(Durations{100, 10000, 100, 0}, kBottomBar, kScreen);
    tick_times(1);
    EXPECT_EQ(window.y, 727);
}

} // namespace
