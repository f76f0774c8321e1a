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

namespace {

// A picture of that size written by Cairo as PNG bytes.
std::string PngOfSize(int width, int height)
{
    Platform::CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    std::string bytes;
    cairo_surface_write_to_png_stream(
        surface.get(),
        [](void* closure, const unsigned char* data, unsigned int length) {
            static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
            return CAIRO_STATUS_SUCCESS;
        },
        &bytes);
    return bytes;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

} // namespace

TEST(PictureDecoder, PicturesDeclaringMoreThanTheLimitAreRefusedBeforeDecoding)
{
    std::string error;
    EXPECT_TRUE(Platform::DecodePictureData(PngOfSize(Platform::kMaxPictureSide, 1), error)) << error;
    error.clear();
    EXPECT_FALSE(Platform::DecodePictureData(PngOfSize(1, Platform::kMaxPictureSide + 1), error));
    EXPECT_NE(error.find("1 x 8193 pixels, more than the limit of 8192 a side"), std::string::npos) << error;

    // Headers alone, each declaring a picture of several gigabytes: refused at
    // once, whatever the format.
    std::string png = PngOfSize(1, 1).substr(0, 33);
    png[16] = 0, png[17] = 0, png[18] = 0x75, png[19] = 0x30; // 30000 wide
    png[20] = 0, png[21] = 0, png[22] = 0x75, png[23] = 0x30; // 30000 high
    const std::string gif = Bytes({'G', 'I', 'F', '8', '9', 'a',  10, 0, 10, 0, 0,    0,    0,    0x21, 0xF9, 4,
                                   0,   0,   0,   0,   0,   0x2C, 0,  0, 0,  0, 0x30, 0x75, 0x30, 0x75, 0});
    const std::string bmp = Bytes({'B', 'M', 0, 0,    0,    0, 0, 0,    0,    0,    54,   0, 0, 0,  40,
                                   0,   0,   0, 0x30, 0x75, 0, 0, 0xD0, 0x8A, 0xFF, 0xFF, 1, 0, 32, 0});
    const std::string jpeg =
        Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 0, 0, 0xFF, 0xC0, 0, 11, 8, 0x75, 0x30, 0x75, 0x30, 3});
    const std::pair<const char*, std::string> headers[] = {{"PNG", png}, {"GIF", gif}, {"BMP", bmp}, {"JPEG", jpeg}};
    for (const auto& [format, bytes] : headers) {
        SCOPED_TRACE(format);
        error.clear();
        EXPECT_FALSE(Platform::DecodePictureData(bytes, error));
        EXPECT_NE(error.find("30000 pixels, more than the limit of 8192 a side"), std::string::npos) << error;
    }

    // A picture cut short after a sound header fails in the decoder, and says so.
    const std::string whole = PngOfSize(40, 30);
    error.clear();
    EXPECT_FALSE(Platform::DecodePictureData(whole.substr(0, whole.size() / 2), error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(Platform::DecodePictureData(whole.substr(0, 20), error));
    EXPECT_NE(error.find("ends before its header"), std::string::npos) << error;
}

namespace {

// A GIF of a 4 x 4 screen without colour tables, then the blocks given.
std::string Gif(const std::string& blocks)
{
    return Bytes({'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0}) + blocks + Bytes({0x3B});
}

// An image descriptor at (0, 0) of that size, then its code size.
std::string GifImage(int width, int height, int codeSize)
{
    return Bytes({0x2C, 0, 0, 0, 0, width & 0xFF, width >> 8, height & 0xFF, height >> 8, 0, codeSize});
}

// The data of a 2 x 2 image for a code size of 2: one sub-block, then the end one.
const std::string kGifPixels = Bytes({2, 0x84, 0x51, 0});

} // namespace

TEST(PictureDecoder, AGifWhoseFirstImageTheDecoderWouldPassOverIsRefused)
{
    const std::string huge = GifImage(60000, 55000, 2) + kGifPixels;
    const std::string tooLarge = "60000 x 55000 pixels, more than the limit of 8192 a side";
    struct Case {
        const char* what;
        std::string bytes;
        int width; // 0: refused, saying why
        int height;
        std::string why;
    };
    const Case cases[] = {
        {"an image with a code size the decoder refuses, then a huge one", GifImage(2, 2, 13) + huge, 0, 0,
         "GIF image at byte 13 has a code size of 13"},
        {"an image no pixels wide, then a huge one", GifImage(0, 2, 2) + huge, 0, 0,
         "GIF image at byte 13 has no pixels"},
        {"an image no pixels high, then a huge one", GifImage(2, 0, 2) + huge, 0, 0, "has no pixels"},
        {"bytes that start no block, then a huge image", Bytes({0x00, 0x55}) + huge, 0, 0, "no complete image"},
        {"a huge image after an extension", Bytes({0x21, 0xF9, 4, 0, 0, 0, 0, 0}) + huge, 0, 0, tooLarge},
        // The picture is the 4 x 4 screen the small image is placed on.
        {"a small image decoded, then a huge one never read", GifImage(2, 2, 2) + kGifPixels + huge, 4, 4, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        auto surface = Platform::DecodePictureData(Gif(c.bytes), error);
        if (c.width == 0) {
            EXPECT_FALSE(surface);
            EXPECT_NE(error.find(c.why), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(surface) << error;
        EXPECT_EQ(c.width, cairo_image_surface_get_width(surface.get()));
        EXPECT_EQ(c.height, cairo_image_surface_get_height(surface.get()));
    }
}
