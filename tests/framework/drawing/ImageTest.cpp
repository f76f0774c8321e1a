#include "framework/drawing/Image.h"

#include "platform/Log.h"
#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

using namespace GdiplusGfxLayer;

TEST(Image, LoadsAFileAtItsNaturalSizeAndDrawsScaledCopiesOfIt)
{
    const Image source(PELLORA_TEST_DATA "/gfx/quadrants.png");
    EXPECT_EQ(8, source.GetWidth());
    EXPECT_EQ(8, source.GetHeight());
    EXPECT_EQ(Color(255, 0, 255, 0), source.GetPixel(6, 1));
    EXPECT_EQ(Color(255, 0, 0, 0), source.GetPixel(8, 0));
    Image copy(4, 4);
    ASSERT_TRUE(copy.DrawImageScaled(source, 0, 0, 4, 4, 5));
    EXPECT_EQ(Color(255, 255, 0, 0), copy.GetPixel(0, 0));
    EXPECT_EQ(Color(255, 0, 255, 0), copy.GetPixel(3, 0));
    EXPECT_EQ(Color(255, 0, 0, 255), copy.GetPixel(0, 3));
    EXPECT_EQ(Color(255, 255, 255, 255), copy.GetPixel(3, 3));

    const auto thumbnail = source.GetThumbnail(2, 2);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(Color(255, 0, 255, 0), thumbnail->GetPixel(1, 0));
    EXPECT_EQ(Color(255, 0, 0, 255), thumbnail->GetPixel(0, 1));
    EXPECT_FALSE(source.GetThumbnail(0, 2));

    // Areas: the top-right quadrant, a part of two, and areas not wholly inside.
    const auto green = source.CloneArea({4, 0, 4, 4});
    ASSERT_TRUE(green);
    EXPECT_EQ(4, green->GetWidth());
    EXPECT_EQ(Color(255, 0, 255, 0), green->GetPixel(0, 0));
    EXPECT_EQ(Color(255, 0, 255, 0), green->GetPixel(3, 3));
    const auto strip = source.CloneArea({3, 7, 2, 1});
    ASSERT_TRUE(strip);
    EXPECT_EQ(Color(255, 0, 0, 255), strip->GetPixel(0, 0));
    EXPECT_EQ(Color(255, 255, 255, 255), strip->GetPixel(1, 0));
    for (const Vabo::Rect& outside : {Vabo::Rect{5, 0, 4, 4}, Vabo::Rect{-1, 0, 2, 2}, Vabo::Rect{0, 0, 0, 1}})
        EXPECT_FALSE(source.CloneArea(outside)) << outside.x << "," << outside.width;
}

TEST(Image, AFileThatCannotBeDecodedThrowsAndSaysWhy)
{
    Platform::LogCapture log;
    const std::string name = PELLORA_TEST_DATA "/gfx/not-a-picture.png";
    try {
        Image image(name);
        FAIL() << "decoded a text file";
    } catch (const Image::InvalidImageException& e) {
        EXPECT_EQ("Image " + name + " not found!!", e.what());
    }
    EXPECT_TRUE(log.Contains(name));
}

TEST(Image, PixelsRoundTripThroughPremultiplication)
{
    Image image(2, 2);
    EXPECT_EQ(Color(0, 0, 0, 0), image.GetPixel(0, 0));
    ASSERT_TRUE(image.SetPixel(1, 0, Color(128, 200, 100, 0)));
    EXPECT_TRUE(PixelNear(image, 1, 0, Color(128, 200, 100, 0), 1));
    EXPECT_FALSE(image.SetPixel(2, 0, Color()));
}

TEST(Image, GradientQuadBlendsFromTheQuadsOwnTopRow)
{
    Image image(10, 60);
    const Color red(255, 255, 0, 0);
    const Color blue(255, 0, 0, 255);
    ASSERT_TRUE(image.FillGradientQuad({0, 50, 10, 10}, red, red, blue, blue));
    // The first row of a quad placed low in the picture is its top colour.
    EXPECT_TRUE(PixelNear(image, 5, 50, red, 1));
    // Half-way down the hue is half-way from red to blue (through green's
    // far side: hue 120 of 240 is green).
    EXPECT_TRUE(PixelNear(image, 5, 55, Color(255, 0, 255, 0), 1));
    EXPECT_GT(image.GetPixel(5, 59).GetBlue(), 200);
    EXPECT_EQ(0, image.GetPixel(5, 49).GetAlpha());
}
