// The drawing pass: order, origin, opacity scopes and culling of children out of view.
#include <gtest/gtest.h>

#include "RecordingPainter.h"
#include "framework/drawing/Region.h"
#include "tests/framework/drawing/PixelExpect.h"

using ObjectsTest::DrawnObject;
using ObjectsTest::RecordingPainter;

namespace {

struct Scene : ::testing::Test {
    Scene()
    {
        window.SetTopLevel(true);
        window.AddChild(&panel, false);
        window.AddChild(&offscreen, false);
        panel.AddChild(&first, false);
        panel.AddChild(&second, false);
    }
    RecordingPainter painter;
    DrawnObject window{painter, "Window", 500, 500, 100, 100};
    DrawnObject panel{painter, "Panel", 10, 20, 50, 50};
    DrawnObject first{painter, "First", 1, 2, 10, 10};
    DrawnObject second{painter, "Second", 30, 2, 10, 10};
    DrawnObject offscreen{painter, "Offscreen", 100, 0, 10, 10};
};

} // namespace

TEST_F(Scene, ParentsDrawBeforeChildrenInTheirParentsFrameUnlessTheyAskToDrawLast)
{
    window.Render(painter);
    EXPECT_EQ((std::vector<std::string>{"Window", "Panel", "First", "Second"}), painter.Names());
    // A top-level object's own position never enters its frame.
    EXPECT_EQ(0.0f, painter.draws[0].originX);
    EXPECT_EQ(0.0f, painter.draws[1].originX);
    EXPECT_EQ(10.0f, painter.draws[2].originX);
    EXPECT_EQ(20.0f, painter.draws[3].originY);

    painter.draws.clear();
    panel.SetDrawSelfAfterChildren(true);
    window.Render(painter);
    EXPECT_EQ((std::vector<std::string>{"Window", "First", "Second", "Panel"}), painter.Names());
    EXPECT_EQ(0.0f, painter.draws[3].originX) << "the origin is restored before drawing itself";
}

TEST_F(Scene, OpacityMultipliesDownTheTreeAndTransparentOrHiddenSubtreesAreNotDrawn)
{
    window.SetAlpha(0.5f);
    panel.SetAlpha(0.5f);
    window.Render(painter);
    ASSERT_EQ(4u, painter.draws.size());
    EXPECT_FLOAT_EQ(0.5f, painter.draws[0].opacity);
    EXPECT_FLOAT_EQ(0.25f, painter.draws[1].opacity);
    EXPECT_FLOAT_EQ(0.25f, painter.draws[3].opacity);
    EXPECT_FLOAT_EQ(1.0f, painter.GetOpacity()) << "restored after the pass";

    painter.draws.clear();
    panel.SetAlpha(0.0f);
    window.Render(painter);
    EXPECT_EQ((std::vector<std::string>{"Window"}), painter.Names());

    painter.draws.clear();
    panel.SetAlpha(1.0f);
    second.SetVisible(false);
    window.Render(painter);
    EXPECT_EQ((std::vector<std::string>{"Window", "Panel", "First"}), painter.Names());
}

namespace {

// Fills its rectangle with one colour.
class Swatch : public Vabo::GuiObject {
public:
    Swatch(const GdiplusGfxLayer::Color& color, int x, int y, int width, int height)
        : GuiObject(1, 0)
        , color_(color)
    {
        SetPosition(x, y);
        SetSize(width, height);
    }
    bool DrawSelf(GdiplusGfxLayer::Painter& painter) override { return painter.FillRect(GetRect(), color_); }

private:
    GdiplusGfxLayer::Color color_;
};

} // namespace

TEST(RenderOverhang, ADirtyAreaOnlyAnOverhangingDescendantCoversIsRepainted)
{
    const GdiplusGfxLayer::Color grey(255, 90, 90, 90), red(255, 220, 0, 0), blue(255, 0, 0, 220),
        green(255, 0, 200, 0);
    // A panel at (10, 10) 20 x 20; a child overhanging it to the right, and
    // inside that child a grandchild overhanging both, lower down.
    Swatch window(grey, 0, 0, 100, 100);
    Swatch panel(red, 10, 10, 20, 20);
    Swatch overhang(blue, 30, 0, 20, 20); // (40, 10) in the window
    Swatch deeper(green, 0, 30, 10, 10);  // (40, 40) in the window
    window.SetTopLevel(true);
    window.AddChild(&panel, false);
    panel.AddChild(&overhang, false);
    overhang.AddChild(&deeper, false);

    const struct {
        Vabo::Rect dirty;
        int x, y;
        GdiplusGfxLayer::Color expected;
    } cases[] = {
        {{45, 15, 4, 4}, 46, 16, blue},  {{42, 42, 3, 3}, 43, 43, green}, {{12, 12, 2, 2}, 13, 13, red},
        {{60, 60, 5, 5}, 61, 61, grey},
    };
    for (const auto& c : cases) {
        GdiplusGfxLayer::Image frame(100, 100);
        GdiplusGfxLayer::Painter painter(frame);
        GdiplusGfxLayer::Region dirty;
        dirty.Union(c.dirty);
        painter.SetClip(dirty);
        window.Render(painter);
        EXPECT_TRUE(PixelNear(frame, c.x, c.y, c.expected)) << "dirty at " << c.dirty.x << ", " << c.dirty.y;
    }

    // A hidden child hides what overhangs from it too.
    overhang.SetVisible(false);
    GdiplusGfxLayer::Image frame(100, 100);
    GdiplusGfxLayer::Painter painter(frame);
    GdiplusGfxLayer::Region dirty;
    dirty.Union({42, 42, 3, 3});
    painter.SetClip(dirty);
    window.Render(painter);
    EXPECT_TRUE(PixelNear(frame, 43, 43, grey));
}
