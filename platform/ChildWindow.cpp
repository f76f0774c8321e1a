#include "platform/ChildWindow.h"

#include "platform/Log.h"
#include "platform/X11Handles.h"

#include <SDL.h>
#include <X11/Xlib.h>

namespace Platform {

namespace {

bool X11Handles(SDL_Window* window, Display*& display, ::Window& handle)
{
    std::string why;
    return X11HandlesOf(window, display, handle, why);
}

} // namespace

bool MakeChildWindow(SDL_Window* child, SDL_Window* parent, int x, int y)
{
    // The framebuffer is made first: SDL may make a new X window for it.
    if (child && !SDL_GetWindowSurface(child))
        Log(std::string("ChildWindow: no window surface: ") + SDL_GetError());
    Display* display = nullptr;
    ::Window childHandle = 0;
    Display* parentDisplay = nullptr;
    ::Window parentHandle = 0;
    if (!X11Handles(child, display, childHandle) || !X11Handles(parent, parentDisplay, parentHandle)
        || display != parentDisplay) {
        Log("ChildWindow: a child window needs X11 windows on one display; none is made");
        return false;
    }
    XReparentWindow(display, childHandle, parentHandle, x, y);
    XSync(display, False);
    return true;
}

void ReleaseChildWindow(SDL_Window* child)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Handles(child, display, handle))
        return;
    XUnmapWindow(display, handle);
    XReparentWindow(display, handle, DefaultRootWindow(display), 0, 0);
    XSync(display, False);
}

void MoveChildWindow(SDL_Window* child, int x, int y)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Handles(child, display, handle))
        return;
    XMoveWindow(display, handle, x, y);
    XFlush(display);
}

void ShowChildWindow(SDL_Window* child, bool shown)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Handles(child, display, handle))
        return;
    if (shown)
        XMapRaised(display, handle);
    else
        XUnmapWindow(display, handle);
    XSync(display, False);
}

Rect ChildWindowScreenRect(SDL_Window* child)
{
    Rect r;
    Display* display = nullptr;
    ::Window handle = 0;
    if (!X11Handles(child, display, handle))
        return r;
    ::Window below = 0;
    XTranslateCoordinates(display, handle, DefaultRootWindow(display), 0, 0, &r.x, &r.y, &below);
    SDL_GetWindowSize(child, &r.width, &r.height);
    return r;
}

} // namespace Platform
