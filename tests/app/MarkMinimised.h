// Minimising the main window on the test display. Included after the other
// headers: SDL's window-system header brings X11's macros with it.
#pragma once

#include <SDL.h>
#include <SDL_syswm.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "framework/host/VaboWnd.h"
#include "framework/host/Window.h"

namespace AppTest {

// No window manager runs on the test display to carry out a minimise or a
// restore: the mark one puts on a minimised window is set or taken off as it
// would, and SDL reads it. True once the window says it is (not) minimised.
inline bool MarkMinimised(Vabo::Window& window, bool minimised)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window.GetHostWnd()->GetNativeWindow()->Handle(), &info))
        return false;
    const std::string id = std::to_string(info.info.x11.window);
    const std::string mark = minimised
        ? "xprop -id " + id + " -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN"
        : "xprop -id " + id + " -remove _NET_WM_STATE";
    if (std::system(mark.c_str()) != 0)
        return false;
    for (int i = 0; i < 500 && window.IsMinimized() != minimised; ++i) {
        SDL_PumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return window.IsMinimized() == minimised;
}

} // namespace AppTest
