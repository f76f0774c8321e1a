#include "platform/WindowMapping.h"

#include "platform/X11Handles.h"

#include <SDL.h>

namespace Platform {
namespace {

// The serial that tells the news handed ahead from the server's own.
constexpr unsigned long kHandedAhead = ~0ul;

struct Wanted {
    int type;
    ::Window window;
    bool handedAheadOnly;
};

Bool Matches(Display*, XEvent* event, XPointer arg)
{
    const auto* wanted = reinterpret_cast<const Wanted*>(arg);
    if (event->type != wanted->type || (wanted->handedAheadOnly && event->xany.serial != kHandedAhead))
        return False;
    return (event->type == MapNotify ? event->xmap.window : event->xunmap.window) == wanted->window;
}

// Put at the head of the queue, where SDL's wait looks first.
void HandAhead(Display* display, ::Window window, int type)
{
    XEvent news{};
    news.xany.type = type;
    news.xany.serial = kHandedAhead;
    news.xany.display = display;
    if (type == MapNotify) {
        news.xmap.event = window;
        news.xmap.window = window;
    } else {
        news.xunmap.event = window;
        news.xunmap.window = window;
    }
    XPutBackEvent(display, &news);
}

void TakeOff(Display* display, const Wanted& wanted)
{
    XEvent event;
    while (XCheckIfEvent(display, &event, Matches, reinterpret_cast<XPointer>(const_cast<Wanted*>(&wanted))))
        continue;
}

bool Handles(SDL_Window* window, Display*& display, ::Window& handle)
{
    std::string why;
    return X11HandlesOf(window, display, handle, why);
}

// Runs an SDL call that may wait for the news of the given type, with that
// news handed ahead; what SDL did not take of it is taken off again.
template <class Call> void WithNewsAhead(SDL_Window* window, int type, Call call)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!Handles(window, display, handle)) {
        call();
        return;
    }
    HandAhead(display, handle, type);
    call();
    TakeOff(display, Wanted{type, handle, true});
}

} // namespace

void ShowWithoutWaiting(SDL_Window* window)
{
    WithNewsAhead(window, MapNotify, [window] { SDL_ShowWindow(window); });
}

void HideWithoutWaiting(SDL_Window* window)
{
    const bool shown = (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
    WithNewsAhead(window, UnmapNotify, [window] { SDL_HideWindow(window); });
    Display* display = nullptr;
    ::Window handle = 0;
    if (!shown || !Handles(window, display, handle))
        return;
    // The unmap is made by the server at once: its news is queued once the
    // server has answered.
    XSync(display, False);
    TakeOff(display, Wanted{UnmapNotify, handle, false});
}

void RestoreWithoutWaiting(SDL_Window* window)
{
    WithNewsAhead(window, MapNotify, [window] { SDL_RestoreWindow(window); });
}

void DestroyWithoutWaiting(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    const bool x11 = Handles(window, display, handle);
    if (x11 && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0)
        HandAhead(display, handle, UnmapNotify);
    SDL_DestroyWindow(window);
    if (x11)
        TakeOff(display, Wanted{UnmapNotify, handle, true});
}

bool IsMappedNow(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    if (!Handles(window, display, handle))
        return (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0;
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, handle, &attributes) != 0 && attributes.map_state != IsUnmapped;
}

} // namespace Platform
