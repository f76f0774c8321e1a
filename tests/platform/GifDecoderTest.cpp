#include "platform/GifDecoder.h"
#include "platform/PictureDecoder.h"
#include "support/Files.h"

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

const std::string kGifFolder = PELLORA_TEST_DATA "/gfx/gif/";

std::uint32_t PixelAt(cairo_surface_t* surface, int x, int y)
{
    std::uint32_t pixel;
    std::memcpy(&pixel, cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface) + 4 * x, 4);
    return pixel;
}

// The file as SDL2_image decodes it, in premultiplied ARGB: what a skin's GIF
// looked like before the decoder of our own.
std::vector<std::uint32_t> SystemDecoded(const std::string& path, int& width, int& height)
{
    std::vector<std::uint32_t> pixels;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded)
        return pixels;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    width = argb->w;
    height = argb->h;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, static_cast<unsigned char*>(argb->pixels) + y * argb->pitch + 4 * x, 4);
            // A GIF's pixels are opaque or transparent.
            pixels.push_back(pixel >> 24 ? pixel : 0);
        }
    SDL_FreeSurface(argb);
    return pixels;
}

struct Spot {
    int x;
    int y;
    std::uint32_t argb;
};

} // namespace

TEST(GifDecoder, DecodesRealFilesPixelForPixel)
{
    struct Case {
        const char* file;
        int width;
        int height;
        std::vector<Spot> spots;
        bool asTheSystemDecoded; // false: the image is placed on a larger screen
    };
    const Case cases[] = {
        {"two-colours.gif",
         17,
         11,
         {{0, 0, 0xFFFFFFFF}, {3, 0, 0xFF000000}, {3, 3, 0xFFFFFFFF}, {16, 10, 0xFFFFFFFF}},
         true},
        {"256-colours.gif", 16, 16, {{0, 0, 0xFF000000}, {5, 9, 0xFF50903E}, {15, 15, 0xFFF0F096}}, true},
        // Rows come in four passes; each row here has its own colour.
        {"interlaced.gif",
         6,
         19,
         {{0, 0, 0xFF00FF00},
          {0, 1, 0xFF0DF200},
          {0, 2, 0xFF1AE500},
          {0, 4, 0xFF34CB00},
          {5, 7, 0xFF5BA4C8},
          {0, 8, 0xFF689700},
          {0, 17, 0xFFDD2200},
          {0, 18, 0xFFEA1500}},
         true},
        {"transparent.gif", 12, 12, {{0, 0, 0}, {11, 11, 0}, {5, 5, 0xFFC81E1E}, {2, 5, 0xFFC81E1E}, {1, 5, 0}}, true},
        {"local-table.gif", 8, 4, {{0, 0, 0xFF0064FF}, {7, 0, 0xFFD2642D}, {0, 3, 0xFF5A64A5}}, true},
        // A 5 x 4 image at (4, 3) on a 12 x 10 screen, its colour 0 transparent.
        {"offset-image.gif",
         12,
         10,
         {{0, 0, 0},
          {3, 3, 0},
          {4, 3, 0},
          {5, 4, 0xFF00FF00},
          {6, 4, 0xFF0000FF},
          {7, 4, 0xFFFFFF00},
          {5, 5, 0xFF0000FF},
          {7, 6, 0xFF00FF00},
          {8, 6, 0},
          {9, 4, 0},
          {11, 9, 0}},
         false},
        // A 60 x 60 image of four quarters on a screen of 1100 x 1000, whose
        // data fills only the image: at the screen's corner, inside it, and as
        // the first frame of an animation (the second is not shown).
        {"large-screen.gif",
         1100,
         1000,
         {{0, 0, 0xFFFF0000},
          {59, 0, 0xFF00FF00},
          {0, 59, 0xFF0000FF},
          {59, 59, 0xFFFFFF00},
          {60, 0, 0},
          {1099, 999, 0}},
         false},
        {"large-screen-offset.gif",
         1100,
         1000,
         {{500, 400, 0xFFFF0000}, {559, 459, 0xFFFFFF00}, {499, 400, 0}, {500, 460, 0}, {0, 0, 0}},
         false},
        {"large-screen-animation.gif",
         1100,
         1000,
         {{0, 0, 0xFFFF0000}, {59, 59, 0xFFFFFF00}, {300, 200, 0}, {399, 279, 0}},
         false},
        // 256-colour noise: 12-bit codes, the table filled then cleared, or
        // filled and then used as it is to the end.
        {"table-resets.gif", 80, 80, {{0, 0, 0xFFD7D7D7}, {1, 0, 0xFFDBDBDB}, {0, 1, 0xFF2B2B2B}}, true},
        {"table-kept-full.gif", 80, 80, {{0, 0, 0xFFD7D7D7}, {1, 0, 0xFFDBDBDB}, {0, 1, 0xFF2B2B2B}}, true},
        // The table's last entry, 4095, made and then used to the end.
        {"table-last-entry.gif", 63, 65, {{1, 0, 0xFF252525}, {57, 60, 0xFF919191}, {62, 64, 0xFFB6B6B6}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::string error;
        auto surface = Platform::DecodePicture(kGifFolder + c.file, error);
        ASSERT_TRUE(surface) << error;
        ASSERT_EQ(c.width, cairo_image_surface_get_width(surface.get()));
        ASSERT_EQ(c.height, cairo_image_surface_get_height(surface.get()));
        for (const Spot& spot : c.spots)
            EXPECT_EQ(spot.argb, PixelAt(surface.get(), spot.x, spot.y)) << "at " << spot.x << ", " << spot.y;
        if (!c.asTheSystemDecoded)
            continue;
        int width = 0;
        int height = 0;
        const std::vector<std::uint32_t> system = SystemDecoded(kGifFolder + c.file, width, height);
        ASSERT_EQ(c.width, width);
        ASSERT_EQ(c.height, height);
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                differing += system[std::size_t(y) * width + x] != PixelAt(surface.get(), x, y);
        EXPECT_EQ(0, differing);
    }
}

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes += static_cast<char>(v);
    return bytes;
}

// A GIF89a header of a 2 x 2 screen with four colours (red, green, blue,
// yellow): the first block starts at byte 25.
const std::string kHeader =
    Bytes({'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0x81, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0});

// That header with a screen of the size given.
std::string ScreenOf(int width, int height)
{
    return kHeader.substr(0, 6) + Bytes({width & 0xFF, width >> 8, height & 0xFF, height >> 8}) + kHeader.substr(10);
}

// An image descriptor at (left, top) of that size, with the flags given.
std::string Descriptor(int left, int top, int width, int height, int flags = 0)
{
    return Bytes({0x2C, left & 0xFF, left >> 8, top & 0xFF, top >> 8, width & 0xFF, width >> 8, height & 0xFF,
                  height >> 8, flags});
}

// LZW codes, each of the width given, packed least significant bit first into
// one data sub-block and the end block.
std::string Codes(std::initializer_list<std::pair<unsigned, int>> codes)
{
    std::string data;
    std::uint32_t held = 0;
    int count = 0;
    for (const auto& [code, bits] : codes) {
        held |= code << count;
        for (count += bits; count >= 8; count -= 8, held >>= 8)
            data += static_cast<char>(held & 0xFF);
    }
    if (count > 0)
        data += static_cast<char>(held & 0xFF);
    return static_cast<char>(data.size()) + data + '\0';
}

// Code size 2: clear is 4, end is 5, and codes grow to 4 bits at entry 8.
// Colours 0, 1, 2, 3 of a 2 x 2 image: clear, 0, 1, 2, 3, end.
const std::string kFourPixels = Bytes({2}) + Codes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}});

} // namespace

TEST(GifDecoder, PlacesTheFirstImageOnTheScreen)
{
    const std::uint32_t red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF, yellow = 0xFFFFFF00,
                        black = 0xFF000000;
    struct Case {
        const char* what;
        std::string bytes;
        int width;
        int height;
        std::vector<Spot> spots;
    };
    const std::string graphicControl = Bytes({0x21, 0xF9, 4, 1, 0, 0, 1, 0}); // colour 1 transparent
    const std::string comment = Bytes({0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0});
    const std::string noTables = Bytes({'G', 'I', 'F', '8', '7', 'a', 1, 0, 1, 0, 0, 0, 0});
    const Case cases[] = {
        {"four colours",
         kHeader + Descriptor(0, 0, 2, 2) + kFourPixels + ";",
         2,
         2,
         {{0, 0, red}, {1, 0, green}, {0, 1, blue}, {1, 1, yellow}}},
        {"extensions passed over, the graphic control one heeded",
         kHeader + comment + graphicControl + comment + Descriptor(0, 0, 2, 2) + kFourPixels,
         2,
         2,
         {{0, 0, red}, {1, 0, 0}, {0, 1, blue}}},
        {"a later graphic control extension in effect",
         kHeader + graphicControl + Bytes({0x21, 0xF9, 4, 0, 0, 0, 1, 0}) + Descriptor(0, 0, 2, 2) + kFourPixels,
         2,
         2,
         {{1, 0, green}}},
        {"an image reaching past the screen grows it",
         kHeader + Descriptor(1, 2, 2, 2) + kFourPixels,
         3,
         4,
         {{0, 0, 0}, {1, 1, 0}, {1, 2, red}, {2, 2, green}, {1, 3, blue}, {2, 3, yellow}, {0, 3, 0}}},
        {"an interlaced image of three rows: rows 0, 2, 1",
         kHeader + Descriptor(0, 0, 1, 3, 0x40) + Bytes({2}) + Codes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {5, 3}}),
         2,
         3,
         {{0, 0, red}, {0, 1, blue}, {0, 2, green}, {1, 2, 0}}},
        {"a local colour table over the global one",
         kHeader + Descriptor(0, 0, 2, 1, 0x80) + Bytes({9, 9, 9, 7, 7, 7}) + Bytes({2})
             + Codes({{4, 3}, {1, 3}, {0, 3}, {5, 3}}),
         2,
         2,
         {{0, 0, 0xFF070707}, {1, 0, 0xFF090909}, {0, 1, 0}}},
        {"a code for the string it makes: 0, then 0 0 as code 6, then 0",
         kHeader + Descriptor(0, 0, 2, 2) + Bytes({2}) + Codes({{4, 3}, {0, 3}, {6, 3}, {0, 3}, {5, 4}}),
         2,
         2,
         {{0, 0, red}, {1, 0, red}, {0, 1, red}, {1, 1, red}}},
        {"a clear code midway",
         kHeader + Descriptor(0, 0, 2, 2) + Bytes({2}) + Codes({{4, 3}, {3, 3}, {4, 3}, {2, 3}, {6, 3}, {5, 3}}),
         2,
         2,
         {{0, 0, yellow}, {1, 0, blue}, {0, 1, blue}, {1, 1, blue}}},
        {"data after the last pixel is not read",
         kHeader + Descriptor(0, 0, 2, 1) + Bytes({2}) + Codes({{4, 3}, {0, 3}, {3, 3}, {3, 3}, {31, 5}}),
         2,
         2,
         {{0, 0, red}, {1, 0, yellow}}},
        {"a megapixel of screen around four pixels",
         Bytes({'G', 'I', 'F', '8', '9', 'a', 0, 4, 0, 4}) + kHeader.substr(10) + Descriptor(0, 0, 2, 2) + kFourPixels,
         1024,
         1024,
         {{0, 0, red}, {1, 1, yellow}, {1023, 1023, 0}}},
        {"the largest screen around four pixels",
         ScreenOf(4096, 4096) + Descriptor(4094, 4094, 2, 2) + kFourPixels,
         4096,
         4096,
         {{0, 0, 0}, {4094, 4094, red}, {4095, 4095, yellow}}},
        {"a transparent colour past the table",
         kHeader + Bytes({0x21, 0xF9, 4, 1, 0, 0, 6, 0}) + Descriptor(0, 0, 2, 1) + Bytes({3})
             + Codes({{8, 4}, {6, 4}, {0, 4}, {9, 4}}),
         2,
         2,
         {{0, 0, 0}, {1, 0, red}}},
        {"no colour table: black, but for the transparent colour",
         noTables + Bytes({0x21, 0xF9, 4, 1, 0, 0, 0, 0}) + Descriptor(0, 0, 2, 1) + Bytes({2})
             + Codes({{4, 3}, {0, 3}, {3, 3}, {5, 3}}),
         2,
         1,
         {{0, 0, 0}, {1, 0, black}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        auto surface = Platform::DecodePictureData(c.bytes, error);
        ASSERT_TRUE(surface) << error;
        ASSERT_EQ(c.width, cairo_image_surface_get_width(surface.get()));
        ASSERT_EQ(c.height, cairo_image_surface_get_height(surface.get()));
        for (const Spot& spot : c.spots)
            EXPECT_EQ(spot.argb, PixelAt(surface.get(), spot.x, spot.y)) << "at " << spot.x << ", " << spot.y;
    }
}

TEST(GifDecoder, RefusesBrokenFilesNamingTheByteAndWhy)
{
    const std::string image = Descriptor(0, 0, 2, 2);
    const std::string resets = TestSupport::ReadFile(kGifFolder + "table-resets.gif");
    ASSERT_FALSE(resets.empty());
    struct Case {
        const char* what;
        std::string bytes;
        std::string why;
    };
    const Case cases[] = {
        {"a header cut short", kHeader.substr(0, 12), "GIF file ends before its header"},
        {"a global colour table cut short", kHeader.substr(0, 24),
         "GIF file ends inside its global colour table (12 bytes from byte 13)"},
        {"no block", kHeader, "GIF file holds no complete image: it ends at byte 25 before any image"},
        {"the end marker first", kHeader + ";" + image + kFourPixels,
         "GIF file holds no complete image: its end marker at byte 25 comes before any image"},
        {"a byte that starts no block", kHeader + Bytes({0}) + image + kFourPixels,
         "GIF file holds no complete image: byte 25 (0x00) starts no block"},
        {"an extension cut short", kHeader + Bytes({0x21, 0xFE, 9, 'a'}),
         "GIF extension at byte 25 runs past the end of the file"},
        {"an extension without its end block", kHeader + Bytes({0x21, 0xFE, 1, 'a'}),
         "GIF extension at byte 25 runs past the end of the file"},
        {"a graphic control extension of 3 bytes", kHeader + Bytes({0x21, 0xF9, 3, 1, 0, 0, 0}) + image + kFourPixels,
         "GIF graphic control extension at byte 25 has a block of 3 bytes instead of 4"},
        {"a descriptor cut short", kHeader + image.substr(0, 9), "GIF image at byte 25 ends inside its descriptor"},
        {"no pixels wide", kHeader + Descriptor(0, 0, 0, 3) + kFourPixels,
         "GIF image at byte 25 has no pixels (0 x 3)"},
        {"an image past the limit", kHeader + Descriptor(8000, 0, 193, 1) + kFourPixels,
         "GIF image at byte 25 makes a picture of 8193 x 2 pixels, more than the limit of 8192 a side"},
        {"a screen past the limit",
         Bytes({'G', 'I', 'F', '8', '9', 'a', 1, 0, 0xFF, 0xFF, 0, 0, 0}) + image + kFourPixels,
         "GIF image at byte 13 makes a picture of 2 x 65535 pixels, more than the limit of 8192 a side"},
        {"a local colour table cut short", kHeader + Descriptor(0, 0, 2, 2, 0x87) + Bytes({1, 2, 3}),
         "GIF image at byte 25 ends inside its local colour table (768 bytes from byte 35)"},
        {"no code size", kHeader + image, "GIF image at byte 25 ends before its code size"},
        {"code size 1", kHeader + image + Bytes({1}) + Codes({{2, 2}, {0, 2}}),
         "GIF image at byte 25 has a code size of 1 (byte 35); the decoder takes 2 to 8"},
        {"data cut short", resets.substr(0, resets.size() / 2),
         "GIF image at byte 781: its data runs past the end of the file after "},
        {"data ending early", kHeader + image + Bytes({2}) + Codes({{4, 3}, {0, 3}}),
         "GIF image at byte 25: its data ends at byte 38 after 1 of 4 pixels"},
        {"an end code early", kHeader + image + Bytes({2}) + Codes({{4, 3}, {0, 3}, {1, 3}, {5, 3}}),
         "GIF image at byte 25: its end code at byte 38 comes after 2 of 4 pixels"},
        {"a code not yet in the table", kHeader + image + Bytes({2}) + Codes({{4, 3}, {0, 3}, {7, 3}, {5, 3}}),
         "GIF image at byte 25: code 7 at byte 38 is not in the code table (its next code is 6)"},
        {"a string code right after a clear code", kHeader + image + Bytes({2}) + Codes({{4, 3}, {6, 3}, {5, 3}}),
         "GIF image at byte 25: code 6 at byte 37 follows a clear code but is no colour"},
        // The fuzzer's input: the system decoder wrote past its code table
        // and then freed what it never allocated.
        {"code size 9 and codes past the table, as the fuzzer found",
         TestSupport::ReadFile(PELLORA_SOURCE_DIR "/fuzz/regressions/picture/gif-code-size-9-codes-past-the-table.gif"),
         "GIF image at byte 19 has a code size of 9 (byte 29); the decoder takes 2 to 8"},
        {"a colour past the table", kHeader + image + Bytes({3}) + Codes({{8, 4}, {0, 4}, {5, 4}, {1, 4}, {1, 4}}),
         "GIF image at byte 25: colour 5 at pixel (1, 0) is outside its colour table of 4 colours"},
        // Refused where first met, not after the rest is decoded: here the
        // data ends right after it, at the interlaced image's row 2.
        {"a colour past the table, then the end",
         kHeader + Descriptor(0, 0, 1, 3, 0x40) + Bytes({3}) + Codes({{8, 4}, {0, 4}, {5, 4}, {9, 4}}),
         "GIF image at byte 25: colour 5 at pixel (0, 2) is outside its colour table of 4 colours"},
        // Large sizes the data cannot fill are refused before a pixel is decoded.
        {"an image larger than its data can fill", kHeader + Descriptor(0, 0, 1025, 1024) + kFourPixels,
         "GIF image at byte 25 has 1025 x 1024 pixels, more than its 3 bytes of data can fill (36 pixels); an "
         "image of more than 1048576 pixels must be one its data can fill"},
        {"a large image on a larger screen, larger than its data can fill",
         ScreenOf(1100, 1000) + Descriptor(10, 10, 1025, 1024) + kFourPixels,
         "GIF image at byte 25 has 1025 x 1024 pixels, more than its 3 bytes"},
        // A screen costs no data: its area has a limit of its own.
        {"a screen of 8192 x 8192 around four pixels", ScreenOf(8192, 8192) + image + kFourPixels,
         "GIF image at byte 25 makes a picture of 8192 x 8192 pixels, more than the limit of 16777216 pixels"},
        {"a screen one row past the area limit", ScreenOf(4096, 4097) + image + kFourPixels,
         "GIF image at byte 25 makes a picture of 4096 x 4097 pixels, more than the limit of 16777216 pixels"},
        {"a small image that grows the screen past the area limit",
         kHeader + Descriptor(8000, 8000, 2, 2) + kFourPixels,
         "GIF image at byte 25 makes a picture of 8002 x 8002 pixels, more than the limit of 16777216 pixels"},
        // An image that is its whole picture is bounded by its data alone.
        {"an image past the area limit that fills its picture",
         kHeader + Descriptor(0, 0, 4097, 4097) + kFourPixels,
         "GIF image at byte 25 has 4097 x 4097 pixels, more than its 3 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string error;
        EXPECT_FALSE(Platform::DecodePictureData(c.bytes, error));
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }
}
