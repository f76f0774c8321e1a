#include "support/MinimisedMark.h"

#include <SDL_syswm.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace TestSupport {

bool MarkMinimised(SDL_Window* window, bool minimised)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info))
        return false;
    const std::string id = std::to_string(info.info.x11.window);
    const std::string mark = minimised
        ? "xprop -id " + id + " -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN"
        : "xprop -id " + id + " -remove _NET_WM_STATE";
    if (std::system(mark.c_str()) != 0)
        return false;
    const auto marked = [window] { return ((SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED) != 0); };
    for (int i = 0; i < 500 && marked() != minimised; ++i) {
        SDL_PumpEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return marked() == minimised;
}

} // namespace TestSupport
