#include "framework/host/WindowSurface.h"

#include "framework/host/FramePresenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(WindowSurface, AResizeTakesTheBuffersPixelsAgainWhileTheWindowFitsAndStartsTransparent)
{
    struct Step {
        int width;
        int height;
        bool samePixels;
    };
    // From 100 x 80 (a buffer of exactly that size).
    const Step steps[] = {
        {110, 88, false}, // larger: a new buffer of 123 x 99
        {115, 92, true},  {122, 98, true},
        {90, 70, false},  // 123 x 99 is more than half as many pixels again
        {85, 66, true},   {60, 40, false},
    };
    WindowSurface surface(100, 80);
    for (const Step& step : steps) {
        SCOPED_TRACE(std::to_string(step.width) + " x " + std::to_string(step.height));
        surface.GetPainter().FillRect({0, 0, surface.GetWidth(), surface.GetHeight()}, Color(255, 255, 0, 0));
        const unsigned char* before = cairo_image_surface_get_data(surface.GetBackBuffer().GetSurface());
        surface.Resize(step.width, step.height);
        EXPECT_EQ(step.samePixels, before == cairo_image_surface_get_data(surface.GetBackBuffer().GetSurface()));
        EXPECT_EQ(step.width, surface.GetWidth());
        EXPECT_EQ(step.height, surface.GetPainter().GetHeight());
        const auto empty = surface.CreateWindowRegion();
        ASSERT_TRUE(empty);
        EXPECT_TRUE(empty->empty()) << "not transparent after the resize";
        surface.GetPainter().FillRect({step.width - 3, step.height - 1, 5, 5}, Color(255, 0, 0, 255));
        const auto corner = surface.CreateWindowRegion();
        ASSERT_TRUE(corner);
        EXPECT_EQ((std::vector<Platform::Rect>{{step.width - 3, step.height - 1, 3, 1}}), *corner);
    }
}
