#include "platform/PictureDecoder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

std::uint32_t PixelAt(cairo_surface_t* surface, int x, int y)
{
    std::uint32_t pixel;
    std::memcpy(&pixel, cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
    return pixel;
}

} // namespace

TEST(PictureDecoder, DecodesPngIntoPremultipliedArgb32AndNamesWhyNot)
{
    std::string error;
    auto surface = Platform::DecodePicture(PELLORA_TEST_DATA "/gfx/alpha-shape.png", error);
    ASSERT_TRUE(surface) << error;
    EXPECT_EQ(CAIRO_FORMAT_ARGB32, cairo_image_surface_get_format(surface.get()));
    EXPECT_EQ(6, cairo_image_surface_get_width(surface.get()));
    EXPECT_EQ(4, cairo_image_surface_get_height(surface.get()));
    // Blue at alpha 255 stays; blue at alpha 10 is premultiplied to 10.
    EXPECT_EQ(0xFF0000FFu, PixelAt(surface.get(), 1, 1));
    EXPECT_EQ(0x0A00000Au, PixelAt(surface.get(), 2, 0));
    EXPECT_EQ(0x00000000u, PixelAt(surface.get(), 0, 0));

    // A file missing or not a picture fails and says why.
    error.clear();
    EXPECT_FALSE(Platform::DecodePicture(PELLORA_TEST_DATA "/gfx/no-such-file.png", error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(Platform::DecodePicture(PELLORA_TEST_DATA "/gfx/not-a-picture.png", error));
    EXPECT_FALSE(error.empty());
}
