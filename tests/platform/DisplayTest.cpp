// Keeping a popup inside its monitor's work area, and presenting parts of a
// back buffer on a real window.
#include "platform/Display.h"
#include "platform/NativeWindow.h"
#include "platform/Video.h"

#include <gtest/gtest.h>

#include <SDL.h>
#include <cairo.h>

#include <cstring>

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

    SDL_Surface* shown = SDL_GetWindowSurface(window->Handle());
    ASSERT_TRUE(shown);
    auto pixel = [&](int x, int y) {
        Uint32 value = 0;
        std::memcpy(&value, static_cast<Uint8*>(shown->pixels) + y * shown->pitch + x * 4, 4);
        Uint8 r, g, b;
        SDL_GetRGB(value, shown->format, &r, &g, &b);
        return (Uint32(r) << 16) | (Uint32(g) << 8) | b;
    };
    EXPECT_EQ(0x0000FFu, pixel(10, 10));
    EXPECT_EQ(0x0000FFu, pixel(14, 14));
    EXPECT_EQ(0xFF0000u, pixel(15, 15));
    EXPECT_EQ(0xFF0000u, pixel(9, 10));
    EXPECT_EQ(0x0000FFu, pixel(63, 47)) << "a rectangle past the edge is clipped, not dropped";
    EXPECT_EQ(0xFF0000u, pixel(59, 40));
    cairo_destroy(cr);
    cairo_surface_destroy(buffer);
}
