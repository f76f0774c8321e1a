#include "platform/X11Handles.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace Platform {

bool X11HandlesOf(SDL_Window* window, Display*& display, ::Window& handle, std::string& why)
{
    if (!window) {
        why = "no window";
        return false;
    }
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info)) {
        why = std::string("no window-system information: ") + SDL_GetError();
        return false;
    }
    if (info.subsystem != SDL_SYSWM_X11) {
        why = "the window is not an X11 window";
        return false;
    }
    display = info.info.x11.display;
    handle = info.info.x11.window;
    return true;
}

} // namespace Platform
