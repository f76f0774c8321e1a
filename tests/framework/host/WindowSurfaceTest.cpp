#include "framework/host/WindowSurface.h"

#include "framework/host/FramePresenter.h"

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

TEST(WindowSurface, TheClientSizeIsTheWindowsAsItIsNow)
{
    struct Window : Vabo::FramePresenter {
        int width = 30;
        int height = 20;
        void GetClientSize(int& w, int& h) const override
        {
            w = width;
            h = height;
        }
        void Present(WindowSurface&, const Region&) override { }
    } window;
    WindowSurface surface(window);
    EXPECT_EQ(30, surface.GetWidth());
    window.width = 50;
    window.height = 45;
    EXPECT_EQ(50, surface.GetClientWidth());
    EXPECT_EQ(45, surface.GetClientHeight());
    EXPECT_EQ(30, surface.GetWidth()) << "until the surface is resized";

    const WindowSurface offScreen(7, 9);
    EXPECT_EQ(7, offScreen.GetClientWidth());
    EXPECT_EQ(9, offScreen.GetClientHeight());
}
