// Scrolling text from a skin on the manual clock: the path it follows, the
// clip offset each tick gives it, and the skins it refuses.
#include "framework/host/ScrollText.h"

#include <gtest/gtest.h>

#include <cmath>

#include "framework/widgets/ScrollRig.h"

namespace {

// Ten steps of 100 ms: one second of the path.
void RunOneSecond(ScrollRig& rig)
{
    for (int i = 0; i < 10; ++i)
        rig.Tick(100);
}

} // namespace

TEST(ScrollTextPath, SplitsElapsedTimeExactlyAcrossSegmentsAndLoops)
{
    Vabo::ScrollText::Path path;
    float dx = 1.0f;
    float dy = 1.0f;
    EXPECT_FALSE(path.Advance(100, dx, dy));
    EXPECT_EQ(dx, 0.0f);
    path.Add({100, 1.0f, 0.0f});
    path.Add({500, 0.0f, 2.0f});
    EXPECT_EQ(path.GetTotalMs(), 600);

    EXPECT_TRUE(path.Advance(650, dx, dy));
    EXPECT_FLOAT_EQ(dx, 150.0f) << "the whole first segment, then 50 ms of it again after the loop";
    EXPECT_FLOAT_EQ(dy, 1000.0f);
    EXPECT_EQ(path.GetPositionMs(), 50);
    EXPECT_TRUE(path.Advance(100, dx, dy));
    EXPECT_FLOAT_EQ(dx, 50.0f);
    EXPECT_FLOAT_EQ(dy, 100.0f);
    EXPECT_TRUE(path.Advance(0, dx, dy));
    EXPECT_EQ(path.GetPositionMs(), 150);
}

TEST(ScrollText, MovesATooWideTextOutAndBackAndSnapsBackWhenItFits)
{
    ScrollRig rig("ScrollTexts.xml", 200, 50);
    auto* marquee = rig.Find<Vabo::ScrollText>("Marquee");
    ASSERT_NE(marquee, nullptr);
    const int overflow = marquee->GetLabel().GetWidth() - marquee->GetWidth();
    ASSERT_GT(overflow, 20) << "the label keeps its text's width";
    EXPECT_TRUE(marquee->ScrollsX());
    EXPECT_FALSE(marquee->ScrollsY());

    // Ticks closer than 100 ms do not move it; the next step covers them all.
    rig.Tick(60);
    EXPECT_EQ(marquee->GetClipOffsetX(), 0);
    rig.Tick(60);
    EXPECT_EQ(marquee->GetClipOffsetX(), static_cast<int>(std::lround(-0.12 * overflow)));

    for (int loop = 0; loop < 2; ++loop) {
        const int shown = marquee->GetClipOffsetX();
        marquee->SetSize(60, 30);
        EXPECT_EQ(marquee->GetClipOffsetX(), shown) << "a resize restarts the path, not the offset shown";
        rig.Tick(500);
        EXPECT_EQ(marquee->GetClipOffsetX(), static_cast<int>(std::lround(-0.5 * overflow)));
        rig.Tick(500);
        EXPECT_EQ(marquee->GetClipOffsetX(), -overflow);
        RunOneSecond(rig);
        EXPECT_EQ(marquee->GetClipOffsetX(), 0);
    }

    // Given room for the whole text it stands still at the start.
    rig.Tick(300);
    ASSERT_NE(marquee->GetClipOffsetX(), 0);
    marquee->SetSize(marquee->GetLabel().GetWidth() + 10, 30);
    EXPECT_FALSE(marquee->ScrollsX());
    rig.Tick(100);
    EXPECT_EQ(marquee->GetClipOffsetX(), 0);
    EXPECT_EQ(marquee->GetClipOffsetY(), 0);
    RunOneSecond(rig);
    EXPECT_EQ(marquee->GetClipOffsetX(), 0);
}

TEST(ScrollText, RefusesSegmentsThatLastNoTimeOrLackARate)
{
    ScrollRig rig("ScrollTexts.xml", 200, 50);
    for (const char* name : {"Stalled", "Backwards", "Incomplete"}) {
        TiXmlElement* element = rig.Definition(name);
        ASSERT_NE(element, nullptr) << name;
        EXPECT_THROW(Vabo::ScrollText text(element), XMLLoadSave::XMLLoadSaveException) << name;
    }
}
