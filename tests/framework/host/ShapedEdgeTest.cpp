// The edge of a shaped window on the rig's display: anti-aliased edge pixels
// show their own colour, where an unshaped window shows its back buffer over
// black.
#include <gtest/gtest.h>

#include "WindowTestSupport.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "platform/NativeWindow.h"

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
