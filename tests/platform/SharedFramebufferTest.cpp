// The memory a window's frames are shared with the X server through: kept
// while the window fits in it, so a resize makes no new segment at each step,
// and the frames shown through it are the back buffer's pixels at every size.
#include "platform/NativeWindow.h"
#include "platform/Video.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

// Last: Xlib's macros (None among them) would clash with the names above.
#include "platform/SharedFramebuffer.h"
#include "platform/X11Handles.h"
#include <X11/Xutil.h>

using Platform::Rect;

namespace {

std::unique_ptr<Platform::NativeWindow> OpenWindow(int width, int height)
{
    if (!Platform::StartVideo())
        return nullptr;
    return Platform::NativeWindow::Create(
        {Platform::NativeWindow::Kind::Application, "framebuffer", 30, 40, width, height});
}

// A back buffer whose every pixel differs from its neighbours, some of them
// translucent; bright is a second frame's.
cairo_surface_t* Pattern(int width, int height, std::uint32_t bright)
{
    cairo_surface_t* buffer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    auto* data = cairo_image_surface_get_data(buffer);
    const int stride = cairo_image_surface_get_stride(buffer);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t alpha = (x + y) % 5 == 0 ? 0x80 : 0xFF;
            const std::uint32_t colour = ((x * 3) & 0x7F) << 16 | ((y * 5) & 0x7F) << 8 | ((x ^ y) & 0x7F);
            reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = alpha << 24 | (colour | bright);
        }
    cairo_surface_mark_dirty(buffer);
    return buffer;
}

// Which pixels of the window, read back from the X server, are not the
// buffer's over black (its premultiplied colours with alpha dropped).
int PixelsNotShown(Platform::NativeWindow& window, cairo_surface_t* buffer, const Rect& area)
{
    Display* display = nullptr;
    ::Window handle = 0;
    std::string why;
    if (!Platform::X11HandlesOf(window.Handle(), display, handle, why))
        return -1;
    XImage* shown = XGetImage(display, handle, area.x, area.y, area.width, area.height, AllPlanes, ZPixmap);
    if (!shown)
        return -1;
    const auto* data = cairo_image_surface_get_data(buffer);
    const int stride = cairo_image_surface_get_stride(buffer);
    int wrong = 0;
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) {
            const std::uint32_t expected =
                reinterpret_cast<const std::uint32_t*>(data + (area.y + y) * stride)[area.x + x] & 0xFFFFFF;
            wrong += (XGetPixel(shown, x, y) & 0xFFFFFF) == expected ? 0 : 1;
        }
    XDestroyImage(shown);
    return wrong;
}

} // namespace

// The room grows by an eighth past the size asked for, and is made anew
// only when the window outgrows it or would use less than two thirds of it.
TEST(SharedFramebuffer, KeepsItsRoomWhileTheWindowFitsInIt)
{
    auto window = OpenWindow(64, 48);
    ASSERT_TRUE(window);
    std::string why;
    auto framebuffer = Platform::SharedFramebuffer::Create(window->Handle(), why);
    ASSERT_TRUE(framebuffer) << why;
    const struct {
        int width, height;
        int roomWidth, roomHeight;
    } steps[] = {
        {200, 100, 225, 112}, // made
        {220, 110, 225, 112}, // kept while growing
        {225, 112, 225, 112}, {226, 100, 254, 112}, // outgrown
        {180, 90, 202, 101}, // too large by far
        {150, 100, 202, 101}, // two thirds of it used: kept
        {0, 0, 1, 1}, // no window left: the least there is
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(framebuffer->Fit(step.width, step.height, why)) << why;
        EXPECT_EQ(step.roomWidth, framebuffer->Width()) << step.width << " x " << step.height;
        EXPECT_EQ(step.roomHeight, framebuffer->Height()) << step.width << " x " << step.height;
        EXPECT_GE(framebuffer->Stride(), framebuffer->Width());
    }
}

// A resize passes through sizes that keep the memory, grow it and shrink it:
// each frame shows the back buffer's pixels, every one, at the window's size,
// and a frame of a part leaves the rest as it was.
TEST(SharedFramebuffer, FramesShowTheBackBufferAtEverySize)
{
    auto window = OpenWindow(64, 48);
    ASSERT_TRUE(window);
    window->Show();
    const struct {
        int width, height;
    } sizes[] = {{64, 48}, {70, 52}, {72, 54}, {120, 90}, {40, 30}, {64, 48}};
    for (const auto& size : sizes) {
        const std::string name = std::to_string(size.width) + " x " + std::to_string(size.height);
        window->Resize(size.width, size.height);
        ASSERT_EQ(size.width, window->GetRect().width) << name;
        ASSERT_EQ(size.height, window->GetRect().height) << name;
        const Rect all{0, 0, size.width, size.height};
        cairo_surface_t* first = Pattern(size.width, size.height, 0);
        ASSERT_TRUE(window->Present(first, {all})) << name;
        EXPECT_EQ(0, PixelsNotShown(*window, first, all)) << name;

        cairo_surface_t* second = Pattern(size.width, size.height, 0x808080);
        const Rect part{size.width / 4, size.height / 3, size.width / 2, size.height / 3};
        ASSERT_TRUE(window->Present(second, {part})) << name;
        EXPECT_EQ(0, PixelsNotShown(*window, second, part)) << name;
        EXPECT_EQ(0, PixelsNotShown(*window, first, Rect{0, 0, size.width, part.y})) << name << ": above the part";
        EXPECT_EQ(0, PixelsNotShown(*window, first, Rect{0, part.Bottom(), size.width, size.height - part.Bottom()}))
            << name << ": below the part";
        cairo_surface_destroy(first);
        cairo_surface_destroy(second);
    }
}
