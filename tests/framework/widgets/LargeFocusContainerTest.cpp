// Focus containers built from skins: objects fed by their owner in equal
// slices, the focus arrangement reached in steps on the hand-driven clock,
// re-focusing midway, and the aspect-keeping wrappers around each object.
#include "framework/widgets/LargeFocusContainer.h"

#include "LayoutSkins.h"
#include "Swatch.h"
#include "framework/core/InputSignals.h"
#include "framework/core/SkinLimits.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/TickRequest.h"
#include "support/FakeScreenManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using GdiplusGfxLayer::Color;
using LayoutTest::Swatch;
using Vabo::AspectPreservingContainer;
using Vabo::GuiObject;
using Vabo::LargeFocusContainer;
using Vabo::Rect;

namespace {

class FocusTest : public LayoutTest::LayoutSkinTest {
protected:
    // The screen, sized 400 x 400 unless told otherwise: "Notes" across the
    // top, 400 x 100, and "Presets" down the left, 100 x 300.
    LargeFocusContainer& Container(const char* name, bool sized = true)
    {
        if (!screen_) {
            screen_ = Build("Layouts/FocusScreen.xml");
            screen_->SetScreenManager(&screens_);
        }
        if (sized) {
            screen_->SetSize(400, 400);
            screen_->UpdateLayout();
        }
        auto* container = Find<LargeFocusContainer>(screen_.get(), name);
        EXPECT_NE(nullptr, container);
        return *container;
    }

    // Builds count objects from the container's definition and feeds them,
    // as the screens that own containers do.
    std::vector<GuiObject*> Feed(LargeFocusContainer& container, int count)
    {
        std::vector<GuiObject*> fed;
        for (int i = 0; i < count; ++i) {
            std::shared_ptr<GuiObject> object =
                DllGlobalObjectFactoryInstance().Create(loader_.LoadXMLOrThrow(container.GetObjectXml()));
            fed.push_back(object.get());
            container.AddObject(object, i, count);
        }
        return fed;
    }

    void Tick(Platform::Milliseconds now)
    {
        clock_.Set(now);
        Vabo::Signal::Timer timer(now);
        screen_->Raise(&timer);
    }

    static std::vector<Rect> WrapperRects(const LargeFocusContainer& container)
    {
        std::vector<Rect> rects;
        for (const auto& wrapper : container.GetWrappers())
            rects.push_back(wrapper->GetRect());
        return rects;
    }

    static Rect ObjectRect(const LargeFocusContainer& container, std::size_t i)
    {
        return container.GetWrappers().at(i)->GetObject()->GetRect();
    }

    static Vabo::LayoutObject Record(LargeFocusContainer& container, std::size_t i)
    {
        Vabo::LayoutObject record;
        container.GetLayoutObject(container.GetWrappers().at(i).get(), record);
        return record;
    }

    Platform::ManualClock clock_{0};
    FakeScreenManager screens_;
    std::shared_ptr<GuiObject> screen_;
};

const std::vector<Rect> kEqualNotes{{0, 0, 100, 100}, {100, 0, 100, 100}, {200, 0, 100, 100}, {300, 0, 100, 100}};
// In 72nds of the width: 11 + 12, 23 + 18, 41 + 12, 53 + 8.
const std::vector<Rect> kSecondNoteFocused{{61, 0, 67, 100}, {128, 0, 100, 100}, {228, 0, 67, 100}, {294, 0, 44, 100}};
// 11 + 8, 19 + 8, 27 + 12, 39 + 18.
const std::vector<Rect> kLastNoteFocused{{61, 0, 44, 100}, {106, 0, 44, 100}, {150, 0, 67, 100}, {217, 0, 100, 100}};

} // namespace

TEST_F(FocusTest, TheFocusedObjectGrowsOneStepPerPeriodWhileTheOthersMakeRoom)
{
    LargeFocusContainer& notes = Container("Notes");
    EXPECT_EQ("Vabo::LargeFocusContainer", notes.GetTypeName());
    const std::vector<GuiObject*> fed = Feed(notes, 4);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes));
    EXPECT_EQ((Rect{0, 0, 100, 100}), ObjectRect(notes, 2));

    notes.SetFocusObject(fed[1]);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes)) << "moves only on the clock";
    Tick(10);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes));
    const std::size_t invalidated = screens_.invalidated.size();
    Tick(50);
    EXPECT_EQ((Rect{12, 0, 93, 100}), WrapperRects(notes)[0]);
    EXPECT_GT(screens_.invalidated.size(), invalidated);
    Tick(99);
    EXPECT_EQ((Rect{12, 0, 93, 100}), WrapperRects(notes)[0]);
    for (Platform::Milliseconds t : {100, 150, 200})
        Tick(t);
    EXPECT_NE(kSecondNoteFocused, WrapperRects(notes));
    Tick(250);
    EXPECT_EQ(kSecondNoteFocused, WrapperRects(notes));
    // Each object keeps its square, centred in its slice.
    EXPECT_EQ((Rect{0, 0, 100, 100}), ObjectRect(notes, 1));
    EXPECT_EQ((Rect{0, 28, 44, 44}), ObjectRect(notes, 3));
    Tick(1000);
    EXPECT_EQ(kSecondNoteFocused, WrapperRects(notes));
    // Focused again where it stands, as a tuner names the same note on every
    // update: nothing starts over.
    Platform::TakeRequestedTick();
    const std::size_t settled = screens_.invalidated.size();
    notes.SetFocusObject(fed[1]);
    Tick(1050);
    Tick(1100);
    EXPECT_EQ(kSecondNoteFocused, WrapperRects(notes));
    EXPECT_EQ(settled, screens_.invalidated.size());
    EXPECT_EQ(Platform::kNoTick, Platform::TakeRequestedTick());

    auto picture = Drawn(*screen_, 400, 100);
    EXPECT_EQ(Color(255, 0, 0, 255), picture->GetPixel(30, 50)) << "the backdrop shows where no note is";
    EXPECT_EQ(Color(255, 255, 0, 0), picture->GetPixel(128, 0));
    EXPECT_EQ(Color(255, 255, 0, 0), picture->GetPixel(337, 71));
    EXPECT_EQ(Color(255, 0, 0, 255), picture->GetPixel(337, 72));
}

TEST_F(FocusTest, RefocusingMidwayStartsFromWhereTheObjectsStandAndUnknownObjectsChangeNothing)
{
    LargeFocusContainer& notes = Container("Notes");
    const std::vector<GuiObject*> fed = Feed(notes, 4);
    notes.SetFocusObject(fed[1]);
    Tick(50);
    Tick(100);
    const float midway = Record(notes, 3).x.percentage;
    EXPECT_NEAR(0.75f + 0.4f * (53.0f / 72 - 0.75f), midway, 1e-6f);

    notes.SetFocusObject(fed[3]);
    Tick(150);
    EXPECT_NEAR(midway + (39.0f / 72 - midway) / 5, Record(notes, 3).x.percentage, 1e-6f);
    for (Platform::Milliseconds t : {200, 250, 300, 350})
        Tick(t);
    EXPECT_EQ(kLastNoteFocused, WrapperRects(notes));

    Swatch stranger(10, 10, Color());
    notes.SetFocusObject(&stranger);
    notes.SetFocusObject(nullptr);
    Tick(400);
    EXPECT_EQ(kLastNoteFocused, WrapperRects(notes));

    notes.ArrangeEqually();
    for (Platform::Milliseconds t : {450, 500, 550, 600, 650})
        Tick(t);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes));
}

TEST_F(FocusTest, StepsFollowTheWholeElapsedTimeAndTheNewestArrangementWins)
{
    LargeFocusContainer& notes = Container("Notes");
    const std::vector<GuiObject*> fed = Feed(notes, 4);
    // Taken back before the first step: nothing may move.
    notes.SetFocusObject(fed[1]);
    notes.ArrangeEqually();
    for (Platform::Milliseconds t : {50, 100, 150, 200, 250, 300})
        Tick(t);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes));

    // A pause longer than a second is longer than any period.
    notes.SetFocusObject(fed[1]);
    Tick(1310);
    EXPECT_EQ((Rect{12, 0, 93, 100}), WrapperRects(notes)[0]);
}

TEST_F(FocusTest, ANewSetFedMidwayStaysInEqualSlices)
{
    LargeFocusContainer& notes = Container("Notes");
    const std::vector<GuiObject*> fed = Feed(notes, 4);
    notes.SetFocusObject(fed[1]);
    Tick(50);
    ASSERT_NE(kEqualNotes, WrapperRects(notes));
    // Fed without taking the old set out, as a screen may do mid-animation.
    Feed(notes, 4);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes));
    for (Platform::Milliseconds t : {100, 150, 200, 250, 300})
        Tick(t);
    EXPECT_EQ(kEqualNotes, WrapperRects(notes));
}

TEST_F(FocusTest, WithoutStepsArrangementsApplyAtOnceAndSelectingFocusesWhileAllowed)
{
    LargeFocusContainer& presets = Container("Presets");
    EXPECT_TRUE(presets.IsVertical());
    const std::vector<GuiObject*> fed = Feed(presets, 3);
    EXPECT_EQ((std::vector<Rect>{{0, 0, 100, 100}, {0, 100, 100, 100}, {0, 200, 100, 100}}), WrapperRects(presets));
    EXPECT_EQ((Rect{0, 25, 100, 50}), ObjectRect(presets, 0)) << "twice as wide as high";

    fed[0]->SetSelected(true);
    // In 108ths of the height: 35 + 18, 53 + 12, 65 + 8.
    EXPECT_EQ((std::vector<Rect>{{0, 97, 100, 50}, {0, 147, 100, 33}, {0, 181, 100, 22}}), WrapperRects(presets));
    EXPECT_EQ((Rect{0, 0, 100, 50}), ObjectRect(presets, 0));
    EXPECT_EQ((Rect{17, 0, 66, 33}), ObjectRect(presets, 1));

    presets.SetFocusOnSelect(false);
    fed[2]->SetSelected(true);
    EXPECT_EQ((Rect{0, 97, 100, 50}), WrapperRects(presets)[0]);
    presets.ArrangeEqually();
    EXPECT_EQ((Rect{0, 100, 100, 100}), WrapperRects(presets)[1]);
}

TEST_F(FocusTest, ObjectsFedBeforeTheScreenIsSizedFillTheirWrappersUntilItIs)
{
    LargeFocusContainer& notes = Container("Notes", false);
    Feed(notes, 2);
    const Vabo::LayoutObject fit = notes.GetWrappers()[0]->ComputeChildRecord(0, 0);
    EXPECT_EQ(Vabo::GridVal(0, 1), fit.width);
    EXPECT_EQ(Vabo::GridVal(0, 1), fit.height);
    // The row already has its 100 pixels of height, but no width yet.
    EXPECT_EQ((Rect{0, 0, 0, 100}), ObjectRect(notes, 0));

    Container("Notes");
    EXPECT_EQ((std::vector<Rect>{{0, 0, 200, 100}, {200, 0, 200, 100}}), WrapperRects(notes));
    EXPECT_EQ((Rect{50, 0, 100, 100}), ObjectRect(notes, 1));

    // Taking the objects out leaves what the skin put in the container.
    notes.RemoveAllObjects();
    EXPECT_TRUE(notes.GetWrappers().empty());
    ASSERT_EQ(1u, notes.GetChildren().size());
    EXPECT_EQ("Backdrop", notes.GetChildren()[0]->GetName());
    Feed(notes, 1);
    EXPECT_EQ((std::vector<Rect>{{0, 0, 400, 100}}), WrapperRects(notes));
    // A new set fed without taking the old one out replaces it all the same.
    Feed(notes, 2);
    EXPECT_EQ(3u, notes.GetChildren().size());
    EXPECT_EQ((std::vector<Rect>{{0, 0, 200, 100}, {200, 0, 200, 100}}), WrapperRects(notes));

    auto wide = std::make_shared<Swatch>(0, 0, Color());
    AspectPreservingContainer wrapper(wide, 1.0f);
    wrapper.SetSize(300, 100);
    EXPECT_EQ((Rect{100, 0, 100, 100}), wide->GetRect());
}

TEST_F(FocusTest, MissingOrUnusableAttributesTakeTheirStatedDefaults)
{
    Platform::LogCapture log;
    auto bare = Build("Layouts/FocusVariants.xml", "Bare");
    ASSERT_NE(nullptr, bare);
    auto& container = dynamic_cast<LargeFocusContainer&>(*bare);
    EXPECT_EQ(LargeFocusContainer::kDefaultAnimationPeriod, container.GetAnimationPeriod());
    EXPECT_EQ(LargeFocusContainer::kDefaultAnimationSteps, container.GetAnimationSteps());
    EXPECT_EQ(LargeFocusContainer::kDefaultAspectRatio, container.GetAspectRatio());
    EXPECT_FALSE(container.IsVertical());
    EXPECT_EQ("", container.GetObjectXml());
    EXPECT_TRUE(log.Contains("LargeFocusContainer \"Bare\" ("));
    EXPECT_TRUE(log.Contains("FocusVariants.xml): no usable AnimationPeriod, using \"50\""));
    EXPECT_TRUE(log.Contains("no usable AnimationSteps, using \"5\""));
    EXPECT_TRUE(log.Contains("no usable ObjectXML, using \"\""));

    log.Clear();
    auto unusable = Build("Layouts/FocusVariants.xml", "Unusable");
    ASSERT_NE(nullptr, unusable);
    auto& odd = dynamic_cast<LargeFocusContainer&>(*unusable);
    EXPECT_EQ(20, odd.GetAnimationPeriod());
    EXPECT_EQ(Vabo::kMaxAnimationSteps, odd.GetAnimationSteps()) << "each step is built on every focus change";
    EXPECT_EQ(LargeFocusContainer::kDefaultAspectRatio, odd.GetAspectRatio());
    EXPECT_FALSE(odd.IsVertical()) << "only the exact text \"Vertical\"";
    EXPECT_EQ("Layouts/FocusNote.xml", odd.GetObjectXml());
    EXPECT_TRUE(log.Contains("no usable AspectRatio, using \"1\""));
    EXPECT_FALSE(log.Contains("no usable AnimationPeriod"));
}
