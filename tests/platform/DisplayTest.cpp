// Keeping a popup inside its monitor's work area, presenting parts of a back
// buffer on a real window, and its icon.
#include "platform/Display.h"
#include "platform/NativeWindow.h"
#include "platform/Video.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <cairo.h>

#include <climits>
#include <string>
#include <cstring>
#include <vector>

// Last: Xlib's macros (None among them) would clash with the names above.
#include "platform/X11Handles.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

using Platform::Rect;

TEST(KeepInsideWorkArea, PushedBackFromTheEdgesAndALargerWindowToTheTopLeft)
{
    const struct {
        Rect window;
        int x, y;
    } rows[] = {{{1200, 900, 200, 150}, 1080, 874},
                {{10, 40, 100, 100}, 10, 40},
                {{-20, 0, 100, 100}, 0, 30},
                {{500, 500, 2000, 1500}, 0, 30}};
    for (const auto& row : rows) {
        int x = -1, y = -1;
        Platform::KeepInsideWorkArea(row.window, Rect{0, 30, 1280, 994}, x, y);
        EXPECT_EQ(row.x, x) << row.window.x;
        EXPECT_EQ(row.y, y) << row.window.x;
    }
}

TEST(NativeWindow, PresentsOnlyTheGivenRectangles)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    auto window =
        Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "present", 40, 50, 64, 48});
    ASSERT_TRUE(window);
    EXPECT_EQ(Rect({40, 50, 64, 48}), window->GetRect());
    EXPECT_FALSE(window->IsVisible());
    window->Show();
    EXPECT_TRUE(window->IsVisible());

    cairo_surface_t* buffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 64, 48);
    cairo_t* cr = cairo_create(buffer);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_paint(cr);
    ASSERT_TRUE(window->Present(buffer, {Rect{0, 0, 64, 48}}));
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_paint(cr);
    ASSERT_TRUE(window->Present(buffer, {Rect{10, 10, 5, 5}, Rect{60, 40, 100, 100}}));

    // What the X server shows in the window.
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    ASSERT_TRUE(Platform::X11HandlesOf(window->Handle(), display, handle, why)) << why;
    XImage* shown = XGetImage(display, handle, 0, 0, 64, 48, AllPlanes, ZPixmap);
    ASSERT_TRUE(shown);
    auto pixel = [&](int x, int y) { return static_cast<Uint32>(XGetPixel(shown, x, y) & 0xFFFFFF); };
    EXPECT_EQ(0x0000FFu, pixel(10, 10));
    EXPECT_EQ(0x0000FFu, pixel(14, 14));
    EXPECT_EQ(0xFF0000u, pixel(15, 15));
    EXPECT_EQ(0xFF0000u, pixel(9, 10));
    EXPECT_EQ(0x0000FFu, pixel(63, 47)) << "a rectangle past the edge is clipped, not dropped";
    EXPECT_EQ(0xFF0000u, pixel(59, 40));
    XDestroyImage(shown);
    cairo_destroy(cr);
    cairo_surface_destroy(buffer);
}

namespace {

// The window's icon as the window manager reads it: width, height, then
// straight ARGB pixels.
std::vector<unsigned long> IconProperty(SDL_Window* window)
{
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    std::vector<unsigned long> icon;
    if (!Platform::X11HandlesOf(window, display, handle, why))
        return icon;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, handle, XInternAtom(display, "_NET_WM_ICON", False), 0, LONG_MAX, False,
                           XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data) {
        // Xlib hands each 32-bit value in a long, sign extended.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            icon.push_back(values[i] & 0xFFFFFFFFul);
        XFree(data);
    }
    return icon;
}

} // namespace

TEST(NativeWindow, TakesAnIconReadAsEveryPictureIs)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    struct Case {
        const char* file;
        bool taken;
        unsigned long width;
        unsigned long height;
        int x;
        int y;
        unsigned long argb; // straight, not premultiplied
    };
    const Case cases[] = {
        {PELLORA_TEST_DATA "/gfx/gif/transparent.gif", true, 12, 12, 5, 5, 0xFFC81E1E},
        {PELLORA_TEST_DATA "/gfx/gif/transparent.gif", true, 12, 12, 0, 0, 0},
        {PELLORA_TEST_DATA "/gfx/alpha-shape.png", true, 6, 4, 2, 0, 0x0A0000FF},
        // The system decoder wrote past its table on this one and freed a wild pointer.
        {PELLORA_SOURCE_DIR "/fuzz/regressions/picture/gif-code-size-9-codes-past-the-table.gif", false, 0, 0, 0, 0, 0},
        {PELLORA_TEST_DATA "/gfx/no-such-icon.png", false, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto window = Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "icon", 0, 0, 20, 20});
        ASSERT_TRUE(window);
        EXPECT_EQ(c.taken, window->SetIcon(c.file));
        const std::vector<unsigned long> icon = IconProperty(window->Handle());
        if (!c.taken) {
            EXPECT_TRUE(icon.empty());
            continue;
        }
        ASSERT_EQ(2 + c.width * c.height, icon.size());
        EXPECT_EQ(c.width, icon[0]);
        EXPECT_EQ(c.height, icon[1]);
        EXPECT_EQ(c.argb, icon[2 + c.y * c.width + c.x]);
    }
}

TEST(NativeWindow, SendsATitleToTheServerOnlyWhenItChanges)
{
    ASSERT_TRUE(Platform::StartVideo()) << Platform::VideoError();
    auto window = Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "", 0, 0, 20, 20});
    ASSERT_TRUE(window);
    Display* own = nullptr;
    ::Window handle = 0;
    std::string why;
    ASSERT_TRUE(Platform::X11HandlesOf(window->Handle(), own, handle, why)) << why;
    // Another client watches the window's name change.
    Display* watcher = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, watcher);
    const Atom name = XInternAtom(watcher, "_NET_WM_NAME", False);
    XSelectInput(watcher, handle, PropertyChangeMask);
    XSync(watcher, False);
    struct Step {
        const char* title;
        int sent;
    };
    const Step steps[] = {{"A4 440.00", 1}, {"A4 440.00", 0}, {"A4 440.01", 1}, {"A4 440.01", 0}, {"", 1}};
    for (const Step& step : steps) {
        window->SetTitle(step.title);
        // What the server did for this client comes before the reply to the
        // watcher's own round trip.
        XSync(own, False);
        XSync(watcher, False);
        int sent = 0;
        while (XPending(watcher)) {
            XEvent event;
            XNextEvent(watcher, &event);
            sent += event.type == PropertyNotify && event.xproperty.atom == name;
        }
        EXPECT_EQ(step.sent, sent) << step.title;
        EXPECT_EQ(step.title, window->GetTitle());
    }
    XCloseDisplay(watcher);
}
