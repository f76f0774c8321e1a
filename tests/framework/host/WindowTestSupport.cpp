#include "WindowTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include "framework/core/DocMap.h"
#include "framework/core/VaboInit.h"
#include "framework/host/VaboWnd.h"
#include "framework/host/Window.h"
#include "platform/EventLoop.h"
#include "platform/Video.h"

#include <SDL_syswm.h>

// Last: Xlib's macros (KeyPress among them) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace WindowTest {

bool StartFramework()
{
    DllVaboInitInstance();
    DllDocMapInstance().SetAppFolder(PELLORA_TEST_DATA "/windows");
    return Platform::StartVideo();
}

void Pump(Platform::Milliseconds ms)
{
    Platform::EventLoop::Instance().RunFor(ms);
}

std::uint32_t WindowId(const Vabo::Window& window)
{
    return window.GetHostWnd()->GetNativeWindow()->Id();
}

Platform::Rect ScreenRect(const Vabo::Window& window)
{
    return window.GetHostWnd()->GetWindowRect();
}

namespace {

void Xdotool(const std::string& arguments)
{
    const std::string command = "xdotool " + arguments;
    ASSERT_EQ(0, std::system(command.c_str())) << command;
}

} // namespace

void PointerTo(int screenX, int screenY)
{
    Xdotool("mousemove --sync " + std::to_string(screenX) + " " + std::to_string(screenY));
}

void PointerDown()
{
    Xdotool("mousedown 1");
}

void PointerUp()
{
    Xdotool("mouseup 1");
}

void ClickAt(int screenX, int screenY, int button)
{
    DesktopLock pointer("pointer");
    Xdotool("mousemove --sync " + std::to_string(screenX) + " " + std::to_string(screenY) + " click "
            + std::to_string(button));
}

void QuickClicks(const std::vector<std::pair<int, int>>& screenPoints)
{
    DesktopLock pointer("pointer");
    std::string arguments;
    const std::pair<int, int>* last = nullptr;
    for (const auto& point : screenPoints) {
        // A move onto where the pointer already is would wait for a motion that never comes.
        if (!last || *last != point)
            arguments += " mousemove --sync " + std::to_string(point.first) + " " + std::to_string(point.second);
        arguments += " click 1";
        last = &point;
    }
    Xdotool(arguments);
}

std::uint32_t ScreenPixel(int x, int y)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 0xDEADBEEF;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    std::uint32_t pixel = 0xDEADBEEF;
    if (image) {
        pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
        XDestroyImage(image);
    }
    XCloseDisplay(display);
    return pixel;
}

std::string CursorImage()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return std::string();
    std::string picture;
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
        picture = std::to_string(image->width) + "x" + std::to_string(image->height) + "@"
            + std::to_string(image->xhot) + "," + std::to_string(image->yhot) + ":";
        for (int i = 0; i < int(image->width) * int(image->height); ++i)
            picture += std::to_string(image->pixels[i] & 0xFFFFFFFF) + " ";
        XFree(image);
    }
    XCloseDisplay(display);
    return picture;
}

namespace {

bool XWindowOf(SDL_Window* window, Display*& display, ::Window& xwindow)
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
    ::Window xwindow = 0;
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

std::string XWindowName(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window xwindow = 0;
    return XWindowOf(window, display, xwindow) ? std::to_string(xwindow) : std::string();
}

bool StackedAbove(SDL_Window* upper, SDL_Window* lower)
{
    Display* own = nullptr;
    ::Window upperId = 0;
    ::Window lowerId = 0;
    if (!XWindowOf(upper, own, upperId) || !XWindowOf(lower, own, lowerId))
        return false;
    XFlush(own);
    // A connection of its own: reading on SDL's would hold back its events.
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Atom stacking = XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), stacking, 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data)
            != Success
        || !data) {
        XCloseDisplay(display);
        return false;
    }
    // Bottom to top.
    const auto* windows = reinterpret_cast<const unsigned long*>(data);
    int upperAt = -1;
    int lowerAt = -1;
    for (unsigned long i = 0; i < count; ++i) {
        if (windows[i] == upperId)
            upperAt = int(i);
        if (windows[i] == lowerId)
            lowerAt = int(i);
    }
    XFree(data);
    XCloseDisplay(display);
    return upperAt >= 0 && lowerAt >= 0 && upperAt > lowerAt;
}

bool HasKeyboard(SDL_Window* window)
{
    Display* own = nullptr;
    ::Window xwindow = 0;
    if (!XWindowOf(window, own, xwindow))
        return false;
    XFlush(own);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    XCloseDisplay(display);
    return focus == xwindow;
}

bool PaintOnWindow(SDL_Window* window, int x, int y, int width, int height, std::uint32_t rgb)
{
    Display* display = nullptr;
    ::Window xwindow = 0;
    if (!XWindowOf(window, display, xwindow))
        return false;
    GC gc = XCreateGC(display, xwindow, 0, nullptr);
    XSetForeground(display, gc, rgb);
    XFillRectangle(display, xwindow, gc, x, y, width, height);
    XFreeGC(display, gc);
    XSync(display, False);
    return true;
}

Platform::Rect MinimumSizeHint(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window xwindow = 0;
    Platform::Rect minimum;
    if (!XWindowOf(window, display, xwindow))
        return minimum;
    XSync(display, False);
    XSizeHints hints{};
    long supplied = 0;
    if (XGetWMNormalHints(display, xwindow, &hints, &supplied) && (hints.flags & PMinSize)) {
        minimum.width = hints.min_width;
        minimum.height = hints.min_height;
    }
    return minimum;
}

bool MoveAsAnotherClient(SDL_Window* window, int screenX, int screenY)
{
    Display* own = nullptr;
    ::Window xwindow = 0;
    if (!XWindowOf(window, own, xwindow))
        return false;
    Display* other = XOpenDisplay(nullptr);
    if (!other)
        return false;
    XMoveWindow(other, xwindow, screenX, screenY);
    XSync(other, False);
    XCloseDisplay(other);
    return true;
}

bool SaveScreenshot(const std::string& fileName)
{
    return std::system(("import -window root " + fileName).c_str()) == 0;
}

std::string Hex(std::uint32_t rgb)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", rgb);
    return text;
}

} // namespace WindowTest
