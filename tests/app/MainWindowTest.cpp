// The main window of the real skin as a window manager and the pointer meet
// it: the smallest size it asks the window manager for, and an outline that
// holds every pixel of the resize grip at every size, so a press on the grip
// never falls through to the desktop.
#include "AppTestSupport.h"
#include "framework/core/GlobalObjectFactory.h"
#include "platform/WindowShape.h"

#include <gtest/gtest.h>

#include <SDL_syswm.h>

#include <string>
#include <vector>

// Last: Xlib's macros would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// The minimum size in the window's WM_NORMAL_HINTS; 0 by 0 without one.
std::pair<int, int> MinimumSizeHint(SDL_Window* window)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {0, 0};
    XSync(info.info.x11.display, False);
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(info.info.x11.display, info.info.x11.window, &hints, &supplied)
        || !(hints.flags & PMinSize))
        return {0, 0};
    return {hints.min_width, hints.min_height};
}

class MainWindow : public AppTest::ScreenFixture {
protected:
    SDL_Window* Native() const { return window_->GetHostWnd()->GetNativeWindow()->Handle(); }
};

} // namespace

TEST_F(MainWindow, TheWindowManagerIsGivenTheSkinsMinimumSize)
{
    window_ = AppTest::OpenMainWindow(loader_);
    EXPECT_EQ(MinimumSizeHint(Native()), std::make_pair(640, 400));
    window_->SetSize(320, 200);
    EXPECT_TRUE(AppTest::PumpUntil([&] { return window_->GetWidth() == 640; })) << window_->GetWidth();
    EXPECT_EQ(window_->GetHostWnd()->GetWindowRect().height, 400) << "no smaller than the minimum";
}

TEST_F(MainWindow, TheOutlineHoldsTheResizeGripAtEverySize)
{
    window_ = AppTest::OpenMainWindow(loader_);
    auto* grip = Vabo::GetXMLObject<Vabo::GuiObject>(window_.get(), "ResizeGrip");
    ASSERT_NE(nullptr, grip);
    const std::pair<int, int> sizes[] = {{640, 400}, {800, 500}, {1024, 640}, {1280, 800}, {1600, 1000}};
    for (const auto& [width, height] : sizes) {
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        window_->SetSize(width, height);
        ASSERT_TRUE(AppTest::PumpUntil([&] { return window_->GetHostWnd()->GetWindowRect().width == width; }))
            << size;
        AppTest::Pump(100);
        // The outline of the settled drawing, as after a resize by the grip.
        window_->Window::WindowSizedSlot(nullptr, window_.get());
        std::vector<Platform::Rect> outline;
        ASSERT_TRUE(Platform::GetWindowShape(Native(), outline)) << size;
        const int left = grip->GetWindowX();
        const int top = grip->GetWindowY();
        ASSERT_GT(grip->GetWidth(), 0) << size;
        int outside = 0;
        for (int y = top; y < top + grip->GetHeight(); ++y)
            for (int x = left; x < left + grip->GetWidth(); ++x) {
                bool inside = false;
                for (const Platform::Rect& r : outline)
                    inside = inside || (x >= r.x && x < r.Right() && y >= r.y && y < r.Bottom());
                outside += inside ? 0 : 1;
            }
        EXPECT_EQ(outside, 0) << size << ": grip pixels outside the window's outline";
    }
}
