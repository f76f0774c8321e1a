// Image and toggle buttons from a real skin, driven by presses, releases and
// moves through a screen manager and checked by what they draw and send.
#include "framework/widgets/ImageButton.h"
#include "framework/widgets/ToggleButton.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include "InputRig.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Color.h"
#include "tests/framework/drawing/PixelExpect.h"
#include "platform/Log.h"

using GdiplusGfxLayer::Color;

namespace {

// The palette of the scripted button pictures.
const Color kRest(255, 0x34, 0x3A, 0x43);
const Color kHover(255, 0x3D, 0x44, 0x4E);
const Color kPressed(255, 0x2A, 0x2F, 0x36);
const Color kAccent(255, 0x38, 0xBD, 0xF8);
const Color kLampOff(255, 0x9A, 0xA4, 0xB1);

// Centres of the buttons in the window.
constexpr int kPlayX = 34;
constexpr int kAutoX = 94;
constexpr int kStandbyX = 154;
constexpr int kRowY = 22;

void CountActivations(Vabo::GuiObject& object, int& count)
{
    object.Connect(
        Vabo::Signal::TypeIdOf<Vabo::Signal::Activate>(), nullptr,
        [&count](Vabo::Signal::Base*, Vabo::GuiObject*) { ++count; }, object.Watch());
}

} // namespace

TEST(ImageButton, FacesFollowHoverPressAndRestAndAClickActivates)
{
    InputRig rig("Buttons.xml", 200, 60);
    auto* play = rig.Find<Vabo::ImageButton>("Play");
    ASSERT_NE(play, nullptr);
    int activations = 0;
    CountActivations(*play, activations);

    EXPECT_TRUE(PixelNear(*rig.Draw(), kPlayX, kRowY, kRest));
    rig.Move(kPlayX, kRowY);
    EXPECT_TRUE(PixelNear(*rig.Draw(), kPlayX, kRowY, kHover));
    rig.Press(kPlayX, kRowY);
    auto pressed = rig.Draw();
    EXPECT_TRUE(PixelNear(*pressed, kPlayX, kRowY, kPressed));
    EXPECT_TRUE(PixelNear(*pressed, 11, kRowY, kAccent)) << "the pressed face has an accent outline";
    EXPECT_EQ(activations, 0);
    rig.Release(kPlayX, kRowY);
    EXPECT_EQ(activations, 1);
    EXPECT_TRUE(PixelNear(*rig.Draw(), kPlayX, kRowY, kHover)) << "still under the pointer";
    rig.Move(190, 50);
    EXPECT_TRUE(PixelNear(*rig.Draw(), kPlayX, kRowY, kRest));

    // A press that leaves the button before the release is no click.
    rig.Move(kPlayX, kRowY);
    rig.Press(kPlayX, kRowY);
    rig.Release(190, 50);
    EXPECT_EQ(activations, 1);
}

TEST(ImageButton, HitsOnlyWhereItsVisibleFaceDoes)
{
    InputRig rig("Buttons.xml", 200, 60);
    auto* play = rig.Find<Vabo::ImageButton>("Play");
    ASSERT_NE(play, nullptr);
    EXPECT_TRUE(play->HitTest(kPlayX, kRowY));
    EXPECT_FALSE(play->HitTest(kPlayX + 30, kRowY));

    // A face that stands smaller than the button decides the hit area.
    play->GetUnSelectedFace()->SetSize(10, 24);
    rig.Draw();
    EXPECT_TRUE(play->HitTest(12, kRowY));
    EXPECT_FALSE(play->HitTest(kPlayX, kRowY));
    for (Vabo::GuiObject* face : {play->GetSelectedFace(), play->GetUnSelectedFace(), play->GetMouseOverFace()})
        face->SetVisible(false);
    EXPECT_FALSE(play->HitTest(12, kRowY));
}

TEST(ToggleButton, StartsFromButtonStateAndSwapsOnEveryClick)
{
    InputRig rig("Buttons.xml", 200, 60);
    auto* autoButton = rig.Find<Vabo::ToggleButton>("Auto");
    auto* standby = rig.Find<Vabo::ToggleButton>("Standby");
    ASSERT_NE(autoButton, nullptr);
    ASSERT_NE(standby, nullptr);
    EXPECT_EQ(autoButton->GetState(), 0) << "ButtonState 1 starts up";
    EXPECT_EQ(standby->GetState(), 1) << "ButtonState 0 starts down";
    auto before = rig.Draw();
    EXPECT_TRUE(PixelNear(*before, kAutoX, kRowY, kLampOff));
    EXPECT_TRUE(PixelNear(*before, kStandbyX, kRowY, kAccent));

    rig.Click(kAutoX, kRowY);
    EXPECT_EQ(autoButton->GetState(), 1);
    EXPECT_EQ(autoButton->GetPreviousState(), 0);
    EXPECT_TRUE(rig.Screens().GetDirtyRegion().GetBounds().Contains(kAutoX, kRowY));
    EXPECT_TRUE(PixelNear(*rig.Draw(), kAutoX, kRowY, kAccent));
    rig.Click(kAutoX, kRowY);
    EXPECT_EQ(autoButton->GetState(), 0);
    EXPECT_TRUE(PixelNear(*rig.Draw(), kAutoX, kRowY, kLampOff));
    EXPECT_EQ(standby->GetState(), 1) << "a click reaches only its own button";
}

TEST(ToggleButton, SlotAndSetStateSwapWithoutARedrawAndReloadKeepsTheChildren)
{
    InputRig rig("Buttons.xml", 200, 60);
    auto* standby = rig.Find<Vabo::ToggleButton>("Standby");
    ASSERT_NE(standby, nullptr);
    EXPECT_FALSE(rig.Screens().IsDirty());
    standby->SlotToggle(nullptr, nullptr);
    EXPECT_EQ(standby->GetState(), 0);
    EXPECT_TRUE(standby->GetUp()->IsVisible());
    EXPECT_FALSE(standby->GetDown()->IsVisible());
    standby->SetState(1);
    EXPECT_EQ(standby->GetPreviousState(), 0);
    EXPECT_FALSE(standby->GetUp()->IsVisible());
    EXPECT_FALSE(rig.Screens().IsDirty()) << "the slot and SetState leave the repaint to their caller";

    // Both state objects follow the button's size, the hidden one too.
    standby->SetSize(30, 12);
    EXPECT_EQ(standby->GetUp()->GetRect(), (Vabo::Rect{0, 0, 30, 12}));
    EXPECT_EQ(standby->GetDown()->GetRect(), (Vabo::Rect{0, 0, 30, 12}));

    // A second load builds nothing new: it only shows the present state again.
    standby->GetDown()->SetVisible(false);
    standby->ReloadXml(false);
    EXPECT_EQ(standby->GetChildren().size(), 2u);
    EXPECT_TRUE(standby->GetDown()->IsVisible());
}

TEST(Buttons, AMissingOrUnbuildableFaceIsTheXmlErrorNamingTheElement)
{
    InputRig rig("Buttons.xml", 10, 10);
    TiXmlElement* broken = rig.Loader().LoadXMLOrThrow("BrokenButtons.xml");
    const struct {
        const char* holder;
        const char* face;
    } cases[] = {{"NoMouseOver", "MouseOver"}, {"EmptyFace", "UnSelected"}, {"NoDown", "Down"}, {"UnknownUp", "Up"}};
    for (const auto& c : cases) {
        Platform::LogCapture log;
        TiXmlElement* element = broken->FirstChildElement(c.holder)->FirstChildElement();
        EXPECT_THROW(DllGlobalObjectFactoryInstance().Create(element), XMLLoadSave::XMLLoadSaveException) << c.holder;
        EXPECT_TRUE(log.Contains("BrokenButtons.xml")) << c.holder;
        EXPECT_TRUE(log.Contains("Attribute = " + std::string(c.face))) << c.holder;
    }
}
