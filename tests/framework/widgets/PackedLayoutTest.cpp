// Packed layouts built from skins: children packed in rows and columns at
// their own sizes, navigation stops in packing order, the "Both" expansion
// and the attribute values.
#include "framework/widgets/PackedLayout.h"

#include "LayoutSkins.h"
#include "Swatch.h"
#include "framework/core/SkinLimits.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

using GdiplusGfxLayer::Color;
using LayoutTest::Swatch;
using Vabo::GridLayout;
using Vabo::GuiObject;
using Vabo::PackedLayout;
using Vabo::Rect;

namespace {

using PackedLayoutTest = LayoutTest::LayoutSkinTest;
using Stop = std::tuple<int, int, GuiObject*>;

std::vector<Stop> Stops(const GuiObject& layout)
{
    std::vector<Stop> stops;
    for (const auto& entry : layout.GetTabList())
        stops.emplace_back(entry.tabX, entry.tabY, entry.object);
    return stops;
}

} // namespace

TEST_F(PackedLayoutTest, RowsAndColumnsPackTheSkinsChildrenAndFollowTheScreen)
{
    auto screen = Build("Layouts/PackedScreen.xml");
    ASSERT_NE(nullptr, screen);
    screen->SetSize(200, 100);
    screen->UpdateLayout();

    auto* row = Find<PackedLayout>(screen.get(), "Row");
    auto* red = Find<Swatch>(screen.get(), "Row->Red");
    auto* green = Find<Swatch>(screen.get(), "Row->Green");
    auto* blue = Find<Swatch>(screen.get(), "Row->Blue");
    ASSERT_TRUE(row && red && green && blue);
    EXPECT_EQ("Vabo::PackedLayout", row->GetTypeName());
    EXPECT_EQ((Rect{0, 0, 200, 40}), row->GetRect());
    // Side by side at their own sizes; heights are left alone in a row.
    EXPECT_EQ((Rect{0, 0, 40, 10}), red->GetRect());
    EXPECT_EQ((Rect{40, 0, 60, 30}), green->GetRect());
    EXPECT_EQ((Rect{100, 0, 20, 5}), blue->GetRect());
    EXPECT_EQ((std::vector<Stop>{{0, 0, red}, {1, 0, green}, {2, 0, blue}}), Stops(*row));

    auto* column = Find<PackedLayout>(screen.get(), "Column");
    auto* narrow = Find<Swatch>(screen.get(), "Column->Narrow");
    auto* wide = Find<Swatch>(screen.get(), "Column->Wide");
    ASSERT_TRUE(column && narrow && wide);
    EXPECT_EQ((Rect{0, 40, 100, 60}), column->GetRect());
    // Stacked at their own heights, each as wide as the column.
    EXPECT_EQ((Rect{0, 0, 100, 15}), narrow->GetRect());
    EXPECT_EQ((Rect{0, 15, 100, 25}), wide->GetRect());
    EXPECT_EQ((std::vector<Stop>{{0, 0, narrow}, {0, 1, wide}}), Stops(*column));

    auto picture = Drawn(*screen, 200, 100);
    EXPECT_EQ(Color(255, 255, 0, 0), picture->GetPixel(39, 9));
    EXPECT_EQ(Color(255, 0, 255, 0), picture->GetPixel(40, 29));
    EXPECT_EQ(Color(255, 0, 0, 255), picture->GetPixel(119, 4));
    EXPECT_EQ(Color(0, 0, 0, 0), picture->GetPixel(120, 4));
    EXPECT_EQ(Color(255, 255, 255, 0), picture->GetPixel(99, 54));
    EXPECT_EQ(Color(255, 0, 255, 255), picture->GetPixel(99, 79));
    EXPECT_EQ(Color(0, 0, 0, 0), picture->GetPixel(100, 79));

    // A wider screen widens the column's children; a row keeps its pixels.
    screen->SetSize(300, 100);
    screen->UpdateLayout();
    EXPECT_EQ((Rect{0, 0, 150, 15}), narrow->GetRect());
    EXPECT_EQ((Rect{0, 15, 150, 25}), wide->GetRect());
    EXPECT_EQ((Rect{40, 0, 60, 30}), green->GetRect());
}

TEST_F(PackedLayoutTest, BothExpandingTakesTheLargestChildNotTheSum)
{
    auto row = Build("Layouts/PackedVariants.xml", "BothRow");
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(PackedLayout::ExpandBoth, dynamic_cast<PackedLayout&>(*row).GetExpanding());
    EXPECT_EQ(60, row->GetWidth());
    EXPECT_EQ(30, row->GetHeight());
    EXPECT_EQ((Rect{40, 0, 60, 30}), Find<Swatch>(row.get(), "Tall")->GetRect());

    auto column = Build("Layouts/PackedVariants.xml", "BothColumn");
    ASSERT_NE(nullptr, column);
    EXPECT_EQ(60, column->GetWidth());
    EXPECT_EQ(30, column->GetHeight());
    EXPECT_EQ((Rect{0, 0, 60, 10}), Find<Swatch>(column.get(), "Short")->GetRect());
    EXPECT_EQ((Rect{0, 10, 60, 30}), Find<Swatch>(column.get(), "Tall")->GetRect());
}

TEST_F(PackedLayoutTest, AttributeValuesAreExactTextsAndAnUnknownExpansionIsNone)
{
    // Only the exact text "Horizontal" packs in a row.
    auto lowerCase = Build("Layouts/PackedVariants.xml", "LowerCase");
    ASSERT_NE(nullptr, lowerCase);
    auto& lowerCaseLayout = dynamic_cast<PackedLayout&>(*lowerCase);
    EXPECT_EQ(PackedLayout::PackColumn, lowerCaseLayout.GetPacking());
    EXPECT_EQ(PackedLayout::ExpandHorizontal, lowerCaseLayout.GetExpanding());

    Platform::LogCapture log;
    auto unknown = Build("Layouts/PackedVariants.xml", "UnknownExpanding");
    ASSERT_NE(nullptr, unknown);
    auto& unknownLayout = dynamic_cast<PackedLayout&>(*unknown);
    EXPECT_EQ(PackedLayout::PackRow, unknownLayout.GetPacking());
    EXPECT_EQ(PackedLayout::ExpandNone, unknownLayout.GetExpanding());
    EXPECT_TRUE(log.Contains("PackedLayout \"UnknownExpanding\" ("));
    EXPECT_TRUE(log.Contains("PackedVariants.xml): unknown ExpandingType \"Sideways\", expanding none"));
    EXPECT_EQ(0, unknown->GetWidth()) << "not expanded";

    auto missing = Build("Layouts/PackedVariants.xml", "NoExpanding");
    ASSERT_NE(nullptr, missing);
    EXPECT_EQ(PackedLayout::ExpandNone, dynamic_cast<PackedLayout&>(*missing).GetExpanding());

    log.Clear();
    EXPECT_THROW(Build("Layouts/PackedVariants.xml", "NoPacking"), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(log.Contains("Attribute = PackingType"));
}

TEST_F(PackedLayoutTest, SpaceOfRemovedChildrenIsNotGivenBackAndCodeBuiltLayoutsPackToo)
{
    auto row = Build("Layouts/PackedVariants.xml", "BothRow");
    ASSERT_NE(nullptr, row);
    auto& layout = dynamic_cast<PackedLayout&>(*row);
    auto* tall = Find<Swatch>(row.get(), "Tall");
    ASSERT_TRUE(layout.RemoveChild(tall, false));
    Swatch late(5, 5, Color());
    EXPECT_TRUE(layout.AddObject(&late, nullptr, nullptr));
    EXPECT_EQ((Rect{100, 0, 5, 5}), late.GetRect());
    EXPECT_EQ(2, layout.GetTabList().back().tabX);
    layout.RemoveChild(&late, false);

    // Without the construct flag the element's children are not built.
    TiXmlElement* element = Load("Layouts/PackedVariants.xml")->FirstChildElement("BothColumn")->FirstChildElement();
    PackedLayout bare(element, false);
    EXPECT_TRUE(bare.GetChildren().empty());
    EXPECT_EQ(PackedLayout::PackColumn, bare.GetPacking());
    Swatch first(30, 10, Color());
    bare.AddObject(&first, nullptr, nullptr);
    EXPECT_EQ((Rect{0, 0, 30, 10}), first.GetRect());
}

TEST_F(PackedLayoutTest, TheOffsetStopsAtTheLongestSkinLength)
{
    // Children of the longest length a skin may give, more of them than an
    // int can sum: each later child starts at that length.
    TiXmlElement* element = Load("Layouts/PackedVariants.xml")->FirstChildElement("BothRow")->FirstChildElement();
    for (const bool row : {true, false}) {
        SCOPED_TRACE(row ? "row" : "column");
        element->SetAttribute("PackingType", row ? "Horizontal" : "Vertical");
        element->SetAttribute("ExpandingType", "None");
        PackedLayout layout(element, false);
        std::vector<std::unique_ptr<Swatch>> children;
        for (int i = 0; i < 2050; ++i) {
            children.push_back(std::make_unique<Swatch>(Vabo::kMaxSkinLength, Vabo::kMaxSkinLength, Color()));
            layout.AddObject(children.back().get(), nullptr, nullptr);
        }
        const GuiObject& last = *children.back();
        EXPECT_EQ(Vabo::kMaxSkinLength, row ? last.GetX() : last.GetY());
        EXPECT_EQ(0, row ? last.GetY() : last.GetX());
        for (const auto& child : children)
            layout.RemoveChild(child.get(), false);
    }
}
