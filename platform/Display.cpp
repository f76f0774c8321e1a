#include "platform/Display.h"

#include <SDL.h>
#include <X11/Xlib.h>

namespace Platform {

Rect WorkAreaOf(SDL_Window* window)
{
    int index = window ? SDL_GetWindowDisplayIndex(window) : 0;
    if (index < 0)
        index = 0;
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(index, &bounds) != 0)
        return Rect{};
    return Rect{bounds.x, bounds.y, bounds.w, bounds.h};
}

bool PointerIsOver(SDL_Window* window)
{
    return window && SDL_GetMouseFocus() == window;
}

void CursorScreenPosition(int& x, int& y)
{
    // Asked of the X server itself: SDL keeps the global position from its own
    // event stream, which lags behind pointers moved elsewhere (or by tests).
    static Display* display = XOpenDisplay(nullptr);
    if (display) {
        ::Window root = 0;
        ::Window child = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int buttons = 0;
        if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &buttons))
            return;
    }
    SDL_GetGlobalMouseState(&x, &y);
}

void KeepInsideWorkArea(const Rect& window, const Rect& workArea, int& x, int& y)
{
    x = window.x;
    y = window.y;
    if (window.Right() > workArea.Right())
        x -= window.Right() - workArea.Right();
    if (window.Bottom() > workArea.Bottom())
        y -= window.Bottom() - workArea.Bottom();
    if (x < workArea.x)
        x = workArea.x;
    if (y < workArea.y)
        y = workArea.y;
}

bool IsLeftControlDown()
{
    return (SDL_GetModState() & KMOD_LCTRL) != 0;
}

bool IsShiftDown()
{
    return (SDL_GetModState() & KMOD_SHIFT) != 0;
}

} // namespace Platform
