#include <gtest/gtest.h>

#include "skin/tab_slide.h"

namespace {

using Skin::TabSlide;
using Skin::TabState;

constexpr int kWidth = 280;
constexpr int kGrip = 24;

// Ticks until the motion ends; returns the number of ticks.
int run_until_stopped(TabSlide& slide)
{
    int ticks = 0;
    while (slide.Advance() == TabSlide::Tick::Moving) {
        ++ticks;
        if (ticks > 1000)
            break;
    }
    return ticks + 1;
}

TEST(TabSlide, OpensNinePixelsATickAndEndsAtTheOpenOffset)
{
    TabSlide slide(kWidth, kGrip);
    EXPECT_EQ(slide.state(), TabState::Closed);
    slide.Open();
    EXPECT_EQ(slide.state(), TabState::Opening);
    EXPECT_EQ(slide.Advance(), TabSlide::Tick::Moving);
    EXPECT_EQ(slide.offset_x(), -9);
    EXPECT_EQ(slide.Advance(), TabSlide::Tick::Moving);
    EXPECT_EQ(slide.offset_x(), -18);
    // 280 / 9 rounds up to 32 ticks: the 32nd reaches -288 and ends the opening.
    EXPECT_EQ(run_until_stopped(slide), 30);
    EXPECT_EQ(slide.state(), TabState::Open);
    EXPECT_EQ(slide.offset_x(), kGrip - kWidth); // not the overshoot
    EXPECT_EQ(slide.offset_y(), 0);
    // Stopped: further ticks do not move it.
    slide.Advance();
    EXPECT_EQ(slide.offset_x(), kGrip - kWidth);
}

TEST(TabSlide, ClosesBackToZero)
{
    TabSlide slide(kWidth, kGrip);
    slide.Open();
    run_until_stopped(slide);
    slide.Close();
    EXPECT_EQ(slide.state(), TabState::Closing);
    slide.Advance();
    EXPECT_EQ(slide.offset_x(), kGrip - kWidth + 9);
    // From -256: 29 ticks reach +5, which ends the closing at exactly 0.
    EXPECT_EQ(run_until_stopped(slide), 28);
    EXPECT_EQ(slide.state(), TabState::Closed);
    EXPECT_EQ(slide.offset_x(), 0);
}

TEST(TabSlide, ReversalMidSlideStartsFromTheCurrentOffset)
{
    TabSlide slide(kWidth, kGrip);
    slide.Open();
    for (int i = 0; i < 5; ++i)
        slide.Advance();
    EXPECT_EQ(slide.offset_x(), -45);
    slide.Close();
    slide.Advance();
    EXPECT_EQ(slide.offset_x(), -36);
    slide.Open(); // and back again
    slide.Advance();
    EXPECT_EQ(slide.offset_x(), -45);
    slide.Close();
    EXPECT_EQ(run_until_stopped(slide), 5);
    EXPECT_EQ(slide.state(), TabState::Closed);
    EXPECT_EQ(slide.offset_x(), 0);
}

TEST(TabSlide, ResetStopsAnyMotion)
{
    TabSlide slide(kWidth, kGrip);
    slide.Open();
    slide.Advance();
    slide.Reset();
    EXPECT_EQ(slide.state(), TabState::Closed);
    slide.Advance();
    EXPECT_EQ(slide.offset_x(), 0);
}

TEST(TabSlide, GripClicksLieInTheGripColumnDownToRow482)
{
    TabSlide slide(kWidth, kGrip);
    EXPECT_TRUE(slide.IsGripClick(0, 0));
    EXPECT_TRUE(slide.IsGripClick(kGrip, 482));
    EXPECT_FALSE(slide.IsGripClick(kGrip, 483));
    EXPECT_FALSE(slide.IsGripClick(kGrip + 1, 10));
    EXPECT_FALSE(slide.IsGripClick(-1, 10));
    EXPECT_FALSE(slide.IsGripClick(5, -1));
}

TEST(TabSlide, PositionKeepsOnlyTheGripBesideTheParentWhileClosed)
{
    TabSlide slide(kWidth, kGrip);
    const int anchor_x = 500;
    const int anchor_y = 160;
    EXPECT_EQ(slide.Left(anchor_x), anchor_x - kGrip);
    EXPECT_EQ(slide.Top(anchor_y), anchor_y);
    slide.Open();
    run_until_stopped(slide);
    // Open: the whole window lies left of the anchor.
    EXPECT_EQ(slide.Left(anchor_x) + kWidth, anchor_x);
}

} // namespace
