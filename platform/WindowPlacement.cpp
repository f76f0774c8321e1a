#include "platform/WindowPlacement.h"

#include "platform/X11Handles.h"

#include <SDL.h>
#include <X11/Xutil.h>

namespace Platform {
namespace {

bool Handles(SDL_Window* window, Display*& display, ::Window& handle)
{
    std::string why;
    return X11HandlesOf(window, display, handle, why);
}

// Changes the size hints the manager reads.
template <class Change> void ChangeHints(Display* display, ::Window handle, Change change)
{
    XSizeHints* hints = XAllocSizeHints();
    if (!hints)
        return;
    long given = 0;
    XGetWMNormalHints(display, handle, hints, &given);
    change(*hints);
    XSetWMNormalHints(display, handle, hints);
    XFree(hints);
}

bool Resizable(SDL_Window* window)
{
    return (SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE) != 0;
}

} // namespace

void AskMove(SDL_Window* window, int x, int y)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!Handles(window, display, handle)) {
        SDL_SetWindowPosition(window, x, y);
        return;
    }
    // Our windows have no frame of the manager's: the client area's place is
    // the window's.
    XMoveWindow(display, handle, x, y);
    XFlush(display);
}

void AskResize(SDL_Window* window, int width, int height)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!Handles(window, display, handle)) {
        SDL_SetWindowSize(window, width, height);
        return;
    }
    if (!Resizable(window))
        ChangeHints(display, handle, [width, height](XSizeHints& hints) {
            hints.min_width = hints.max_width = width;
            hints.min_height = hints.max_height = height;
            hints.flags |= PMinSize | PMaxSize;
        });
    XResizeWindow(display, handle, unsigned(width), unsigned(height));
    XFlush(display);
}

void AskMinimumSize(SDL_Window* window, int width, int height)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!Handles(window, display, handle)) {
        SDL_SetWindowMinimumSize(window, width, height);
        return;
    }
    if (!Resizable(window))
        return;
    ChangeHints(display, handle, [width, height](XSizeHints& hints) {
        hints.min_width = width;
        hints.min_height = height;
        hints.flags |= PMinSize;
    });
    XFlush(display);
}

} // namespace Platform
