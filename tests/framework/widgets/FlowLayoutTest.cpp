// Flow layouts built from skins: start- and end-aligned and absolute-padded
// arrangements in both orientations, re-placed when their parent resizes
// them, and arrangements they cannot lay out refused as they are asked for,
// never while drawing.
#include "framework/widgets/FlowLayoutAbsolutePadded.h"
#include "framework/widgets/FlowLayoutEndAligned.h"
#include "framework/widgets/FlowLayoutStartAligned.h"

#include "FlowStrip.h"
#include "LayoutSkins.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <string>

using GdiplusGfxLayer::Color;
using LayoutTest::Swatch;
using Vabo::GuiObject;
using Vabo::Rect;

namespace {

using FlowLayoutTest = LayoutTest::LayoutSkinTest;

const Color kRed(255, 255, 0, 0);
const Color kGreen(255, 0, 255, 0);
const Color kBlue(255, 0, 0, 255);
const Color kYellow(255, 255, 255, 0);
const Color kNone(0, 0, 0, 0);

// The piece of the strip under the screen name.
Rect PieceRect(GuiObject* screen, const std::string& strip, const std::string& piece)
{
    auto* layout = dynamic_cast<GuiObject*>(DllGlobalObjectFactoryInstance().FindObject(screen, strip));
    if (layout == nullptr)
        return Rect{-1, -1, -1, -1};
    for (GuiObject* child : layout->GetChildren())
        if (child->GetName() == piece)
            return child->GetRect();
    return Rect{-2, -2, -2, -2};
}

} // namespace

TEST_F(FlowLayoutTest, EveryArrangementPlacesItsPiecesAndFollowsItsParent)
{
    auto screen = Build("Layouts/FlowScreen.xml");
    ASSERT_NE(nullptr, screen);
    screen->SetSize(400, 200);
    screen->UpdateLayout();
    GuiObject* s = screen.get();

    EXPECT_EQ((Rect{0, 0, 30, 20}), PieceRect(s, "StartRow", "Fixed"));
    EXPECT_EQ((Rect{30, 0, 170, 20}), PieceRect(s, "StartRow", "Rest"));
    EXPECT_EQ((Rect{170, 0, 30, 20}), PieceRect(s, "EndRow", "Fixed"));
    EXPECT_EQ((Rect{0, 0, 170, 20}), PieceRect(s, "EndRow", "Rest"));
    EXPECT_EQ((Rect{0, 0, 20, 30}), PieceRect(s, "StartColumn", "Fixed"));
    EXPECT_EQ((Rect{0, 30, 20, 70}), PieceRect(s, "StartColumn", "Rest"));
    EXPECT_EQ((Rect{0, 70, 20, 30}), PieceRect(s, "EndColumn", "Fixed"));
    EXPECT_EQ((Rect{0, 0, 20, 70}), PieceRect(s, "EndColumn", "Rest"));

    // Offsets count from the padded layout's own corner, wherever it lies in
    // its parent; the expandable piece between keeps its own width.
    EXPECT_EQ((Rect{0, 0, 40, 10}), PieceRect(s, "PaddedColumn", "Top"));
    EXPECT_EQ((Rect{0, 10, 25, 80}), PieceRect(s, "PaddedColumn", "Middle"));
    EXPECT_EQ((Rect{0, 90, 40, 10}), PieceRect(s, "PaddedColumn", "Bottom"));
    EXPECT_EQ((Rect{0, 0, 50, 20}), PieceRect(s, "PaddedRow", "Before"));
    EXPECT_EQ((Rect{50, 0, 20, 20}), PieceRect(s, "PaddedRow", "Bar"));
    EXPECT_EQ((Rect{70, 0, 130, 20}), PieceRect(s, "PaddedRow", "After"));

    // Alone, an expandable piece fills its layout; a fixed one keeps its
    // extent along the axis and takes the whole width across it.
    EXPECT_EQ((Rect{0, 0, 50, 30}), PieceRect(s, "LoneExpandable", "Only"));
    EXPECT_EQ((Rect{0, 18, 50, 12}), PieceRect(s, "LoneFixed", "Only"));

    auto picture = Drawn(*screen, 400, 200);
    EXPECT_EQ(kRed, picture->GetPixel(29, 19));
    EXPECT_EQ(kGreen, picture->GetPixel(30, 0));
    EXPECT_EQ(kGreen, picture->GetPixel(169, 39));
    EXPECT_EQ(kRed, picture->GetPixel(170, 20));
    EXPECT_EQ(kRed, picture->GetPixel(100, 40));
    EXPECT_EQ(kGreen, picture->GetPixel(124, 129));
    EXPECT_EQ(kNone, picture->GetPixel(125, 129));
    EXPECT_EQ(kBlue, picture->GetPixel(139, 139));
    EXPECT_EQ(kGreen, picture->GetPixel(249, 59));
    EXPECT_EQ(kRed, picture->GetPixel(250, 40));
    EXPECT_EQ(kBlue, picture->GetPixel(399, 59));

    screen->SetSize(300, 300);
    screen->UpdateLayout();
    EXPECT_EQ((Rect{30, 0, 120, 20}), PieceRect(s, "StartRow", "Rest"));
    EXPECT_EQ((Rect{120, 0, 30, 20}), PieceRect(s, "EndRow", "Fixed"));
    EXPECT_EQ((Rect{0, 0, 120, 20}), PieceRect(s, "EndRow", "Rest"));
    EXPECT_EQ((Rect{0, 30, 20, 120}), PieceRect(s, "StartColumn", "Rest"));
    EXPECT_EQ((Rect{0, 120, 20, 30}), PieceRect(s, "EndColumn", "Fixed"));
    EXPECT_EQ((Rect{0, 90, 40, 10}), PieceRect(s, "PaddedColumn", "Bottom"));
}

TEST_F(FlowLayoutTest, ArrangementsThatCannotBeLaidOutAreRefusedAtLoadAndTheScreenStillDraws)
{
    Platform::LogCapture log;
    auto screen = Build("Layouts/FlowRefused.xml");
    ASSERT_NE(nullptr, screen);
    EXPECT_TRUE(log.Contains("FlowLayoutStartAligned \"Overfull\" ("));
    EXPECT_TRUE(log.Contains("FlowRefused.xml) refuses \"Third\": it holds at most two objects"));
    EXPECT_TRUE(log.Contains(
        "FlowLayoutEndAligned \"TwoFixed\" (" + std::string(PELLORA_TEST_DATA)
        + "/widgets/Layouts/FlowRefused.xml) refuses \"Second\": it needs one expandable object beside the fixed one"));
    EXPECT_TRUE(log.Contains("\"TwoExpandable\" ("));
    EXPECT_TRUE(log.Contains("refuses \"Second\": it needs one fixed object beside the expandable one"));

    auto* overfull = Find<LayoutTest::FlowStrip<Vabo::FlowLayoutStartAligned>>(screen.get(), "Overfull");
    ASSERT_NE(nullptr, overfull);
    EXPECT_EQ(1, overfull->refused);
    EXPECT_EQ(2u, overfull->GetChildren().size());

    screen->SetSize(100, 100);
    screen->UpdateLayout();
    // One added behind the layout's back is left where it is.
    Swatch stray(5, 5, Color(255, 255, 255, 255));
    overfull->AddChild(&stray, false);
    overfull->SetSize(120, 20);
    std::unique_ptr<GdiplusGfxLayer::Image> picture;
    ASSERT_NO_THROW(picture = Drawn(*screen, 100, 100));
    EXPECT_EQ((Rect{0, 0, 5, 5}), stray.GetRect());
    overfull->RemoveChild(&stray, false);

    EXPECT_EQ(kRed, picture->GetPixel(29, 10));
    EXPECT_EQ(kGreen, picture->GetPixel(99, 19));
    EXPECT_EQ(kRed, picture->GetPixel(70, 30)) << "the first fixed piece, at the end";
    EXPECT_EQ(kBlue, picture->GetPixel(10, 30)) << "nothing stretched before it";
    EXPECT_EQ(kGreen, picture->GetPixel(50, 50));
    EXPECT_EQ(kYellow, picture->GetPixel(50, 70));
    EXPECT_EQ(kBlue, picture->GetPixel(50, 90));

    // Changing the kind of a piece already there is checked the same way.
    auto* twoFixed = Find<LayoutTest::FlowStrip<Vabo::FlowLayoutEndAligned>>(screen.get(), "TwoFixed");
    ASSERT_NE(nullptr, twoFixed);
    Swatch rest(0, 0, Color());
    EXPECT_TRUE(twoFixed->AddObjectWithExtent(&rest, -1));
    EXPECT_FALSE(twoFixed->AddObjectWithExtent(&rest, 1));
    EXPECT_TRUE(twoFixed->IsExpandable(&rest));
    EXPECT_TRUE(twoFixed->AddObjectWithExtent(&rest, -1));
    EXPECT_EQ(2u, twoFixed->GetChildren().size());
    twoFixed->RemoveChild(&rest, false);
}

TEST_F(FlowLayoutTest, AnOrientationOtherThanVerticalOrHorizontalFailsTheLoad)
{
    TiXmlElement* strips = Load("Layouts/FlowOrientations.xml");
    const auto strip = [strips](const char* tag) { return strips->FirstChildElement(tag)->FirstChildElement(); };
    Platform::LogCapture log;
    EXPECT_THROW(Vabo::FlowLayoutStartAligned{strip("Diagonal")}, XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("FlowLayoutStartAligned \"Diagonal\" ("));
    EXPECT_TRUE(log.Contains("Orientation \"Diagonal\" is neither \"Vertical\" nor \"Horizontal\""));
    EXPECT_THROW(Vabo::FlowLayoutAbsolutePadded{strip("LowerCase")}, XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Orientation \"vertical\" is neither"));
    EXPECT_THROW(Vabo::FlowLayoutEndAligned{strip("Missing")}, XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Attribute = Orientation"));
}

TEST_F(FlowLayoutTest, APieceSqueezedOutOfAPaddedLayoutGetsNoSpaceRatherThanANegativeOne)
{
    Vabo::FlowLayoutAbsolutePadded narrow(
        Load("Layouts/FlowOrientations.xml")->FirstChildElement("Narrow")->FirstChildElement());
    narrow.SetSize(40, 10);
    Swatch bar(20, 10, Color());
    Swatch after(0, 0, Color());
    ASSERT_TRUE(narrow.AddObjectWithExtent(&bar, 30));
    ASSERT_TRUE(narrow.AddObjectWithExtent(&after, -1));
    narrow.UpdateLayout();
    EXPECT_EQ((Rect{30, 0, 20, 10}), bar.GetRect());
    EXPECT_EQ((Rect{20, 0, 0, 10}), after.GetRect());
}
