#include "ScreenPixels.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

bool XWindowOf(SDL_Window* window, Display*& display, Window& xwindow)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    display = info.info.x11.display;
    xwindow = info.info.x11.window;
    return true;
}

} // namespace

std::uint32_t ShownPixel(SDL_Window* window, int x, int y)
{
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XWindowOf(window, display, xwindow))
        return 0xDEADBEEF;
    XSync(display, False);
    XImage* image = XGetImage(display, xwindow, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return 0xDEADBEEF;
    const std::uint32_t pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

bool PaintOnWindow(SDL_Window* window, int x, int y, int width, int height, std::uint32_t rgb)
{
    Display* display = nullptr;
    Window xwindow = 0;
    if (!XWindowOf(window, display, xwindow))
        return false;
    GC gc = XCreateGC(display, xwindow, 0, nullptr);
    XSetForeground(display, gc, rgb);
    XFillRectangle(display, xwindow, gc, x, y, width, height);
    XFreeGC(display, gc);
    XSync(display, False);
    return true;
}
