#include "platform/WindowMapping.h"

#include "platform/X11Handles.h"

#include <SDL.h>

namespace Platform {
namespace {

Bool Mapped(Display*, XEvent* event, XPointer window)
{
    return event->type == MapNotify && event->xmap.window == *reinterpret_cast<const ::Window*>(window);
}

Bool MappedOrDestroyed(Display* display, XEvent* event, XPointer window)
{
    if (event->type == DestroyNotify)
        return event->xdestroywindow.window == *reinterpret_cast<const ::Window*>(window);
    return Mapped(display, event, window);
}

} // namespace

bool MapUnlessDestroyed(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    if (!X11HandlesOf(window, display, handle, why))
        return true;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, handle, &attributes))
        return false;
    // Mapped already: no news would come.
    if (attributes.map_state != IsUnmapped)
        return true;
    XMapRaised(display, handle);
    XEvent event;
    XPeekIfEvent(display, &event, MappedOrDestroyed, reinterpret_cast<XPointer>(&handle));
    if (event.type == DestroyNotify)
        return false;
    // SDL takes the news it waits for off the queue: read later, a map would
    // count as a restore too.
    XCheckIfEvent(display, &event, Mapped, reinterpret_cast<XPointer>(&handle));
    return true;
}

void QueueUnmapNews(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    if (!X11HandlesOf(window, display, handle, why))
        return;
    XEvent unmapped{};
    unmapped.xunmap.type = UnmapNotify;
    unmapped.xunmap.display = display;
    unmapped.xunmap.event = handle;
    unmapped.xunmap.window = handle;
    XPutBackEvent(display, &unmapped);
}

} // namespace Platform
