// Animated images from a skin on the manual clock: which frame each draw
// shows as the GUI clock ticks, forwards, backwards, once, and stopped.
#include "framework/widgets/AnimatedImage.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <vector>

#include "ScrollRig.h"
#include "framework/drawing/Color.h"
#include "tests/framework/drawing/PixelExpect.h"

using GdiplusGfxLayer::Color;

namespace {

// The colours of Frame0.png to Frame3.png.
const Color kFrames[] = {Color(255, 0xE0, 0x40, 0x40), Color(255, 0x40, 0xE0, 0x40), Color(255, 0x40, 0x40, 0xE0),
                         Color(255, 0xE0, 0xE0, 0x40)};

// Lets the clock run on by ms, draws once (which takes any step the tick
// asked for) and returns the frame the next draw shows.
int FrameAfter(ScrollRig& rig, Vabo::AnimatedImage& image, int ms)
{
    rig.Tick(ms);
    rig.Draw();
    return image.GetFrame();
}

} // namespace

TEST(AnimatedImage, LoopsForwardsAtItsRateAndShowsEachFrame)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto* image = rig.Find<Vabo::AnimatedImage>("Looping");
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetFrameCount(), 4);
    EXPECT_TRUE(PixelNear(*rig.Draw(), 20, 40, kFrames[0]));

    std::vector<int> shown;
    for (int i = 0; i < 5; ++i)
        shown.push_back(FrameAfter(rig, *image, 100));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 0, 1}));
    EXPECT_TRUE(PixelNear(*rig.Draw(), 20, 40, kFrames[1]));

    // Ticks closer than the rate do not step; the one that completes it does.
    EXPECT_EQ(FrameAfter(rig, *image, 60), 1);
    EXPECT_EQ(FrameAfter(rig, *image, 30), 1);
    EXPECT_EQ(FrameAfter(rig, *image, 10), 2);
    EXPECT_TRUE(PixelNear(*rig.Draw(), 20, 40, kFrames[2]));
}

TEST(AnimatedImage, PlaysOnceForwardsThenBackwardsAndStops)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto* image = rig.Find<Vabo::AnimatedImage>("Once");
    ASSERT_NE(image, nullptr);
    std::vector<int> shown;
    for (int i = 0; i < 5; ++i)
        shown.push_back(FrameAfter(rig, *image, 100));
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 3, 3}));
    EXPECT_TRUE(image->IsStopped());
    EXPECT_TRUE(PixelNear(*rig.Draw(), 50, 40, kFrames[3]));

    // Backwards by the signal: the first tick only marks the start.
    Vabo::AnimatedImage::SignalAnimateBackwards backwards;
    image->SendToSelf(&backwards);
    EXPECT_TRUE(image->IsBackwards());
    shown.clear();
    for (int i = 0; i < 6; ++i)
        shown.push_back(FrameAfter(rig, *image, 100));
    EXPECT_EQ(shown, (std::vector<int>{3, 2, 1, 0, 0, 0}));
    EXPECT_TRUE(image->IsStopped());
    EXPECT_TRUE(PixelNear(*rig.Draw(), 50, 40, kFrames[0]));
}

TEST(AnimatedImage, StopsOnItsFirstFrameAndCanStartStopped)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    auto* looping = rig.Find<Vabo::AnimatedImage>("Looping");
    auto* idle = rig.Find<Vabo::AnimatedImage>("Idle");
    ASSERT_NE(looping, nullptr);
    ASSERT_NE(idle, nullptr);
    FrameAfter(rig, *looping, 100);
    FrameAfter(rig, *looping, 100);
    ASSERT_EQ(looping->GetFrame(), 2);
    looping->SlotStopAnimating(nullptr, looping);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(FrameAfter(rig, *looping, 100), 0);
    EXPECT_TRUE(PixelNear(*rig.Draw(), 20, 40, kFrames[0]));

    EXPECT_TRUE(idle->IsStopped());
    EXPECT_EQ(FrameAfter(rig, *idle, 500), 0);
    // Started by its slot, it steps one rate after the first tick.
    idle->SlotAnimateForwards(nullptr, idle);
    EXPECT_EQ(FrameAfter(rig, *idle, 10), 0);
    EXPECT_EQ(FrameAfter(rig, *idle, 49), 0);
    EXPECT_EQ(FrameAfter(rig, *idle, 1), 1);
}

TEST(AnimatedImage, RefusesARateBelowOneAndPassesPlacementToItsFrames)
{
    ScrollRig rig("Scrolls.xml", 200, 100);
    for (const char* rate : {"0", "-5"}) {
        TiXmlElement element("Vabo::AnimatedImage");
        element.SetAttribute("AnimationRate", rate);
        EXPECT_THROW(Vabo::AnimatedImage image(&element), XMLLoadSave::XMLLoadSaveException) << rate;
    }
    TiXmlElement empty("Vabo::AnimatedImage");
    empty.SetAttribute("AnimationRate", "10");
    Vabo::AnimatedImage bare(&empty);
    EXPECT_EQ(bare.GetFrameCount(), 0);

    // A fixed-size image keeps its frames' sizes when a layout resizes it.
    auto* image = rig.Find<Vabo::AnimatedImage>("Looping");
    image->SetPosition(5, 6);
    image->SetFixedSize(1);
    image->SetSize(50, 50);
    EXPECT_EQ(image->GetWidth(), 20);
    rig.Draw();
    auto picture = rig.Draw();
    EXPECT_TRUE(PixelNear(*picture, 6, 7, kFrames[image->GetFrame()]));
}
