// The main window of the real skin as a window manager meets it: the
// smallest size it asks the window manager for.
#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <SDL_syswm.h>

#include <utility>

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
