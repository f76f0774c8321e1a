#include "framework/host/WindowSurface.h"

#include <gtest/gtest.h>

using namespace GdiplusGfxLayer;

TEST(WindowSurface, ResizeKeepsTheBackBufferOnlyAtTheSameSizeAndTheRegionFollowsTheDrawing)
{
    WindowSurface surface(10, 4);
    Painter* painter = &surface.GetPainter();
    painter->SetOpacity(0.5f);
    surface.Resize(10, 4);
    EXPECT_EQ(painter, &surface.GetPainter());
    EXPECT_FLOAT_EQ(0.5f, surface.GetPainter().GetOpacity());
    surface.GetPainter().FillRect({2, 1, 3, 2}, Color(255, 255, 0, 0));
    const auto runs = surface.CreateWindowRegion();
    ASSERT_TRUE(runs);
    EXPECT_EQ((std::vector<Platform::Rect>{{2, 1, 3, 1}, {2, 2, 3, 1}}), *runs);

    surface.Resize(40, 25);
    EXPECT_EQ(40, surface.GetWidth());
    EXPECT_EQ(25, surface.GetPainter().GetHeight());
    EXPECT_FLOAT_EQ(1.0f, surface.GetPainter().GetOpacity());
}
