#include "framework/widgets/GridLayout.h"

#include "LayoutTestSupport.h"
#include "framework/core/SkinLimits.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

using LayoutTest::Probe;
using Vabo::GridLayout;
using Vabo::GridVal;
using Vabo::Rect;

namespace {

Rect RectOf(const Vabo::GuiObject& object)
{
    return object.GetRect();
}

// A child that sizes itself from its content, as text labels do.
class Label : public Vabo::GuiObject {
public:
    Label(int width, int height)
        : GuiObject(1, 0)
        , width_(width)
        , height_(height)
    {
    }
    void CalculateSize() override
    {
        SetSize(width_, height_);
        SetSizedFromContent(true);
    }

private:
    int width_;
    int height_;
};

} // namespace

TEST(GridLayout, PlacesChildrenAtRoundedPixelsPlusFractions)
{
    GridLayout layout;
    layout.SetSize(101, 200);
    Probe child;
    ASSERT_TRUE(layout.AddObjectAt(&child, GridVal(0, 0.5f), GridVal(10, 0.25f), GridVal(0, 0.5f), GridVal(-20, 1)));
    EXPECT_EQ((Rect{51, 60, 51, 180}), RectOf(child));
    EXPECT_EQ(&layout, child.GetParent());
    ASSERT_EQ(1u, layout.GetChildren().size());

    Probe filler;
    layout.AddObjectAtFractions(&filler, 0, 0, 1, 1);
    EXPECT_EQ((Rect{0, 0, 101, 200}), RectOf(filler));
}

TEST(GridLayout, RePlacesChildrenOnlyWhenItsBoundsChange)
{
    GridLayout layout;
    Probe child;
    layout.AddObjectAtFractions(&child, 0.5f, 0, 0.5f, 1);
    EXPECT_EQ(1, child.placements);

    // No size yet: the pass has nothing to lay out against.
    layout.UpdateLayout();
    EXPECT_EQ(1, child.placements);

    layout.SetSize(100, 40);
    layout.UpdateLayout();
    EXPECT_EQ(2, child.placements);
    EXPECT_EQ((Rect{50, 0, 50, 40}), RectOf(child));
    layout.UpdateLayout();
    EXPECT_EQ(2, child.placements);

    layout.SetPosition(5, 5);
    layout.UpdateLayout();
    EXPECT_EQ(3, child.placements);

    layout.ResetCachedRect();
    layout.UpdateLayout();
    EXPECT_EQ(4, child.placements);
}

TEST(GridLayout, NestedLayoutsFollowTheirParent)
{
    GridLayout outer;
    GridLayout inner;
    Probe leaf;
    inner.AddObjectAtFractions(&leaf, 0.5f, 0.5f, 0.5f, 0.5f);
    outer.AddObjectAt(&inner, GridVal(10, 0), GridVal(10, 0), GridVal(-20, 1), GridVal(-20, 1));
    outer.SetSize(220, 120);
    outer.UpdateLayout();
    EXPECT_EQ((Rect{10, 10, 200, 100}), RectOf(inner));
    EXPECT_EQ((Rect{100, 50, 100, 50}), RectOf(leaf));
}

TEST(GridLayout, AChildAddedAgainHasOneRecordAndRemovedOrDestroyedChildrenNone)
{
    GridLayout layout;
    layout.SetSize(100, 100);
    Probe kept;
    Probe removed;
    layout.AddObjectAtFractions(&kept, 0, 0, 0.5f, 0.5f);
    layout.AddObjectAtFractions(&kept, 0.5f, 0.5f, 0.25f, 0.25f);
    EXPECT_EQ(1u, layout.GetLayoutRecords().size());
    EXPECT_EQ(1u, layout.GetChildren().size());
    EXPECT_EQ((Rect{50, 50, 25, 25}), RectOf(kept));
    layout.AddObjectAtFractions(&kept, 0, 0, 1, 1);
    layout.AddObjectAtFractions(&removed, 0, 0, 1, 1);
    EXPECT_TRUE(layout.RemoveChild(&removed, false));
    EXPECT_FALSE(layout.RemoveChild(&removed, false));
    Vabo::LayoutObject record;
    EXPECT_FALSE(layout.GetLayoutObject(&removed, record));
    {
        Probe shortLived;
        layout.AddObjectAtFractions(&shortLived, 0, 0, 1, 1);
    }
    EXPECT_EQ(1u, layout.GetLayoutRecords().size());
    layout.SetSize(50, 50);
    layout.UpdateLayout();
    EXPECT_EQ((Rect{0, 0, 50, 50}), RectOf(kept));
    ASSERT_TRUE(layout.GetLayoutObject(&kept, record));
    EXPECT_EQ(&kept, record.object);

    layout.ClearChildren();
    EXPECT_TRUE(layout.GetLayoutRecords().empty());
    EXPECT_TRUE(layout.GetChildren().empty());
}

TEST(GridLayout, AChildPlacedInAnotherParentLeavesTheFirstWithItsRecord)
{
    GridLayout first;
    GridLayout second;
    Vabo::GuiObject plain(0, 0);
    first.SetSize(100, 100);
    second.SetSize(100, 100);
    {
        Probe child;
        first.AddObjectAtFractions(&child, 0, 0, 1, 1);
        second.AddObjectAt(&child, GridVal(0, 0), GridVal(0, 0), GridVal(0, 0.5f), GridVal(0, 0.5f));
        EXPECT_TRUE(first.GetChildren().empty());
        EXPECT_TRUE(first.GetLayoutRecords().empty());
        EXPECT_EQ(&second, child.GetParent());

        first.UpdateLayout();
        EXPECT_EQ((Rect{0, 0, 50, 50}), RectOf(child)) << "only the new parent places it";

        plain.AddChild(&child, false);
        EXPECT_TRUE(second.GetChildren().empty());
        EXPECT_TRUE(second.GetLayoutRecords().empty());

        second.AddObjectAtFractions(&child, 0, 0, 1, 1);
        EXPECT_TRUE(plain.GetChildren().empty());
    }
    EXPECT_TRUE(second.GetChildren().empty());
    EXPECT_TRUE(second.GetLayoutRecords().empty());
}

TEST(GridLayout, ContentSizedChildSizesTheLayoutByItsFractionWithinASaneRange)
{
    const struct {
        float width;
        float height;
        int layoutWidth;
        int layoutHeight;
    } cases[] = {
        {0.5f, 0.25f, 120, 80},
        {0.5f, 0, 120, 0},
        {1e-30f, 1e-6f, 1 << 16, 1 << 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        GridLayout layout;
        Label label(60, 20);
        layout.AddObjectAtFractions(&label, 0, 0, c.width, c.height);
        layout.CalculateSize();
        EXPECT_EQ(c.layoutWidth, layout.GetWidth());
        EXPECT_EQ(c.layoutHeight, layout.GetHeight());
        EXPECT_TRUE(layout.IsSizedFromContent());
        EXPECT_EQ(&layout, layout.FindContentSizedChild());
    }
}

TEST(GridLayout, PlacedAndEditedChildrenWriteTheirLengthsIntoTheSkinElement)
{
    TiXmlDocument document;
    document.Parse(
        "<Layout><CreateObject Name=\"Edited\" XPos=\"10px+0.5\" YPos=\"0\" Width=\"0.25\" Height=\"0.5\"/></Layout>");
    GridLayout layout(document.RootElement(), true);
    layout.SetSize(200, 100);
    Probe child;
    TiXmlElement* element = document.RootElement()->FirstChildElement();
    layout.AddObject(&child, element, nullptr);
    EXPECT_EQ((Rect{110, 0, 50, 50}), RectOf(child));

    ASSERT_TRUE(
        layout.PlaceObject(&child, GridVal(10, 0.5f), GridVal(0, 0.25f), GridVal(-4, 0.25f), GridVal(0, 0.5f), true));
    EXPECT_EQ((Rect{110, 25, 46, 50}), RectOf(child));
    EXPECT_STREQ("10px+0.5", element->Attribute("XPos"));
    EXPECT_STREQ("-4px+0.25", element->Attribute("Width"));

    // An edit keeping the fractions moves the pixels.
    child.SetPosition(130, 10);
    GridLayout::ObjectEditedSignal keepFractions(&child, false);
    layout.SendToSelf(&keepFractions);
    EXPECT_STREQ("30px+0.5", element->Attribute("XPos"));
    EXPECT_STREQ("-15px+0.25", element->Attribute("YPos"));
    EXPECT_EQ((Rect{130, 10, 46, 50}), RectOf(child));

    // An edit keeping the pixels moves the fractions.
    child.SetPosition(180, 10);
    child.SetSize(96, 50);
    GridLayout::ObjectEditedSignal keepUnits(&child, true);
    layout.SendToSelf(&keepUnits);
    EXPECT_STREQ("30px+0.75", element->Attribute("XPos"));
    EXPECT_STREQ("-4px+0.5", element->Attribute("Width"));
    EXPECT_EQ((Rect{180, 10, 96, 50}), RectOf(child));

    // A fraction read from a skin is held in range, so that an edit
    // multiplying it by the extent stays within an int.
    ASSERT_TRUE(layout.PlaceObject(&child, GridVal("1e30"), GridVal("-1e30px"), GridVal("1e30"), GridVal(), true));
    GridLayout::ObjectEditedSignal far(&child, false);
    layout.SendToSelf(&far);
    EXPECT_EQ(-Vabo::kMaxSkinLength, child.GetY());

    Probe stranger;
    EXPECT_FALSE(layout.PlaceObject(&stranger, GridVal(), GridVal(), GridVal(), GridVal(), true));
    GridLayout::ObjectEditedSignal unknown(&stranger, true);
    layout.SendToSelf(&unknown);
    EXPECT_EQ((Rect{0, 0, 0, 0}), RectOf(stranger));
}
