// The edge of a shaped window on the rig's display: anti-aliased edge pixels
// show their own colour, where an unshaped window shows its back buffer over
// black.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "platform/NativeWindow.h"

#include <cairo.h>

#include <cstring>

using WindowTest::Hex;

namespace {
class ShapedEdgeTest : public WindowTest::Fixture { };
} // namespace

TEST_F(ShapedEdgeTest, HalfCoveredPixelsOfAShapedWindowShowNoDarkFringe)
{
    auto window = Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "", 60, 60, 20, 10});
    ASSERT_TRUE(window);
    window->Show();
    GdiplusGfxLayer::Image buffer(20, 10);
    GdiplusGfxLayer::Painter painter(buffer);
    painter.FillRect({0, 0, 20, 10}, GdiplusGfxLayer::Color(128, 255, 255, 255));

    const auto shown = [&] { return WindowTest::ShownPixel(window->Handle(), 5, 5); };
    ASSERT_TRUE(WindowTest::PumpUntil([&] {
        window->Present(buffer.GetSurface(), {{0, 0, 20, 10}});
        return shown() == 0x808080;
    })) << Hex(shown())
        << ": an unshaped window shows half white over black";

    window->SetShaped(true);
    EXPECT_TRUE(window->Present(buffer.GetSurface(), {{0, 0, 20, 10}}));
    EXPECT_EQ(Hex(0xFFFFFF), Hex(shown()));
}

// Opaque runs are copied as they stand and the rest converted: a lone edge
// pixel at any place in a row, and a row presented from its middle, show
// their own colours among opaque ones.
TEST_F(ShapedEdgeTest, EdgePixelsAmongOpaqueOnesShowTheirOwnColour)
{
    auto window = Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "", 60, 60, 41, 4});
    ASSERT_TRUE(window);
    window->SetShaped(true);
    window->Show();
    GdiplusGfxLayer::Image buffer(41, 4);
    GdiplusGfxLayer::Painter painter(buffer);
    painter.FillRect({0, 0, 41, 4}, GdiplusGfxLayer::Color(255, 200, 0, 0));
    // Premultiplied, as the back buffer holds them.
    const struct {
        int x;
        std::uint32_t premultiplied;
        std::uint32_t shown;
    } pixels[] = {
        {0, 0x80808080, 0xFFFFFF}, // first of a row
        {15, 0x40004000, 0x00FF00}, // last of the first block
        {21, 0x80000080, 0x0000FF}, // inside the second block
        {33, 0xC8C8C800, 0xFFFF00}, // past the last whole block
        {40, 0x64006464, 0x00FFFF}, // last of the row
    };
    cairo_surface_t* surface = buffer.GetSurface();
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (const auto& pixel : pixels)
        for (int y = 0; y < 4; ++y)
            std::memcpy(data + y * stride + pixel.x * 4, &pixel.premultiplied, 4);
    cairo_surface_mark_dirty(surface);

    const auto shown = [&](int x, int y) { return WindowTest::ShownPixel(window->Handle(), x, y); };
    ASSERT_TRUE(WindowTest::PumpUntil([&] {
        window->Present(surface, {{0, 0, 41, 2}, {3, 2, 38, 2}});
        return shown(1, 0) == 0xC80000;
    })) << Hex(shown(1, 0));
    for (const auto& pixel : pixels) {
        EXPECT_EQ(Hex(pixel.shown), Hex(shown(pixel.x, 0))) << "x " << pixel.x;
        if (pixel.x >= 3) {
            EXPECT_EQ(Hex(pixel.shown), Hex(shown(pixel.x, 3))) << "x " << pixel.x << " of a row shown from x 3";
        }
    }
    for (const int x : {4, 14, 16, 20, 22, 32, 34, 39})
        EXPECT_EQ(Hex(0xC80000), Hex(shown(x, 3))) << "x " << x;
    EXPECT_EQ(Hex(0), Hex(shown(1, 3))) << "left of the rectangle shown";
}
