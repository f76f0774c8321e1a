// Window outlines on the test rig's X server: one-pixel runs in rows become the
// server's (merged) outline, and a cut-away corner no longer belongs to the window.
#include "platform/WindowShape.h"

#include "platform/NativeWindow.h"
#include "platform/Video.h"

#include <gtest/gtest.h>

#include <SDL.h>

namespace {

int Area(const std::vector<Platform::Rect>& rectangles)
{
    int area = 0;
    for (const auto& r : rectangles)
        area += r.width * r.height;
    return area;
}

} // namespace

TEST(WindowShape, RowRunsBecomeTheWindowsOutlineAndOutliveTheFirstFrame)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    auto window = Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "", 40, 40, 20, 10});
    ASSERT_TRUE(window);
    std::vector<Platform::Rect> outline;
    ASSERT_TRUE(Platform::GetWindowShape(window->Handle(), outline));
    EXPECT_EQ(outline, (std::vector<Platform::Rect>{{0, 0, 20, 10}})) << "an uncut window is its whole rectangle";

    // A 10 x 10 square at the left, given as ten runs one pixel high.
    std::vector<Platform::Rect> runs;
    for (int y = 0; y < 10; ++y)
        runs.push_back(Platform::Rect{0, y, 10, 1});
    ASSERT_TRUE(Platform::SetWindowShape(window->Handle(), runs));
    ASSERT_TRUE(Platform::GetWindowShape(window->Handle(), outline));
    EXPECT_EQ(Area(outline), 100);
    for (const auto& r : outline) {
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x + r.width, 10);
    }

    // Showing a frame makes and uses the window's framebuffer.
    window->Show();
    SDL_UpdateWindowSurface(window->Handle());
    ASSERT_TRUE(Platform::GetWindowShape(window->Handle(), outline));
    EXPECT_EQ(Area(outline), 100);

    EXPECT_FALSE(Platform::SetWindowShape(nullptr, {}));
    EXPECT_FALSE(Platform::GetWindowShape(nullptr, outline));
}
