// The drawing pass: order, origin, opacity scopes and culling of children out of view.
#include <gtest/gtest.h>

#include "RecordingPainter.h"

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
