// One frame with every kind of drawing a skin uses, rendered headless and
// checked pixel by pixel.
#include "framework/drawing/Font.h"
#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "framework/host/WindowSurface.h"

#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

using namespace GdiplusGfxLayer;

namespace {

const Color kWhite(255, 255, 255, 255);
const Color kBlack(255, 0, 0, 0);
const Color kRed(255, 255, 0, 0);
const Color kBlue(255, 0, 0, 255);

bool Dark(const Color& colour)
{
    return colour.GetRed() < 128;
}

class ReferenceFrame : public ::testing::Test {
protected:
    ReferenceFrame()
        : surface(160, 120)
        , painter(surface.GetPainter())
        , image(surface.GetBackBuffer())
    {
    }

    WindowSurface surface;
    Painter& painter;
    Image& image;
};

} // namespace

TEST_F(ReferenceFrame, GradientRunsDiagonallyFromCornerToCorner)
{
    ASSERT_TRUE(painter.FillGradientRect({0, 0, 160, 120}, kWhite, kBlack));
    EXPECT_TRUE(PixelNear(image, 0, 0, kWhite, 3));
    EXPECT_TRUE(PixelNear(image, 159, 119, kBlack, 3));
    // Along the diagonal the colour follows the projection on the line from
    // (0, 0) to (160, 120); the other diagonal's corners meet in the middle.
    const auto expected = [](double x, double y) {
        const double t = ((x + 0.5) * 160 + (y + 0.5) * 120) / (160.0 * 160 + 120.0 * 120);
        const int v = static_cast<int>(255 * (1 - t) + 0.5);
        return Color(255, v, v, v);
    };
    EXPECT_TRUE(PixelNear(image, 80, 60, expected(80, 60), 2));
    EXPECT_TRUE(PixelNear(image, 159, 0, expected(159, 0), 2));
    EXPECT_TRUE(PixelNear(image, 40, 100, expected(40, 100), 2));
}

TEST_F(ReferenceFrame, FrameEdgesLandOnThePixelsGdiPlusDraws)
{
    painter.FillRect({0, 0, 160, 120}, kWhite);
    ASSERT_TRUE(painter.DrawFrame({10, 30, 20, 20}, kRed, kBlue, 1.0f));
    // Top and left edges in the first colour from corner to corner inclusive;
    // right edge from (30, 50) up to (30, 31), bottom edge to (11, 50); crisp:
    // no neighbour of an edge is touched.
    const struct {
        int x, y;
        Color colour;
    } expected[] = {
        {10, 30, kRed},  {30, 30, kRed},   {10, 50, kRed},   {20, 30, kRed},   {30, 31, kBlue},
        {30, 50, kBlue}, {11, 50, kBlue},  {20, 50, kBlue},  {20, 29, kWhite}, {20, 31, kWhite},
        {9, 40, kWhite}, {31, 40, kWhite}, {20, 51, kWhite}, {31, 50, kWhite}, {10, 51, kWhite},
    };
    for (const auto& pixel : expected)
        EXPECT_TRUE(PixelNear(image, pixel.x, pixel.y, pixel.colour, 0));
}

TEST_F(ReferenceFrame, TextInARectangleFollowsEachAlignment)
{
    painter.FillRect({0, 0, 160, 120}, kWhite);
    const Font font("DejaVu Sans", 16.0f, FontStyleRegular, Font::Point);
    const Vabo::Rect size = font.MeasureString("HH");
    ASSERT_GT(size.width, 10);
    ASSERT_GT(size.height, 10);
    const int left = 20, width = 120, rowHeight = 30;
    for (int alignment = 0; alignment < 3; ++alignment)
        ASSERT_TRUE(painter.DrawStringInRect(font, "HH", kBlack, left, alignment * rowHeight, width, rowHeight,
                                             alignment, Painter::TrimNone));
    EXPECT_NEAR(left, InkColumns(image, 0, rowHeight, Dark).first, 3);
    const auto centred = InkColumns(image, rowHeight, 2 * rowHeight, Dark);
    EXPECT_NEAR(left + width / 2.0, (centred.first + centred.second + 1) / 2.0, 2);
    EXPECT_NEAR(left + width, InkColumns(image, 2 * rowHeight, 3 * rowHeight, Dark).second + 1, 3);
}

TEST_F(ReferenceFrame, PictureAtHalfOpacityInsideAClipAndNestedOpacity)
{
    painter.FillRect({0, 0, 160, 120}, kWhite);
    const Image picture(PELLORA_TEST_DATA "/gfx/quadrants.png");
    {
        ClipScope clip(painter, 0, 60, 8, 16);
        GdiplusGfxLayer::OpacityScope half(painter, 0.5f);
        ASSERT_TRUE(painter.DrawImageScaled(picture, 0, 60, 16, 16, 5));
    }
    // Red quadrant at half strength over white, only left of the clip's edge.
    EXPECT_TRUE(PixelNear(image, 2, 62, Color(255, 255, 128, 128)));
    EXPECT_TRUE(PixelNear(image, 2, 70, Color(255, 128, 128, 255)));
    EXPECT_TRUE(PixelNear(image, 7, 62, Color(255, 255, 128, 128)));
    EXPECT_TRUE(PixelNear(image, 8, 62, kWhite, 0));
    EXPECT_TRUE(PixelNear(image, 12, 70, kWhite, 0));
    EXPECT_FLOAT_EQ(1.0f, painter.GetOpacity());

    {
        GdiplusGfxLayer::OpacityScope outer(painter, 0.5f);
        {
            GdiplusGfxLayer::OpacityScope inner(painter, 0.5f);
            EXPECT_FLOAT_EQ(0.25f, painter.GetOpacity());
            ASSERT_TRUE(painter.DrawImageAt(picture, 40, 60));
        }
        EXPECT_FLOAT_EQ(0.5f, painter.GetOpacity());
    }
    EXPECT_TRUE(PixelNear(image, 41, 61, Color(255, 255, 191, 191)));
    EXPECT_TRUE(PixelNear(image, 46, 66, Color(255, 255, 255, 255)));
    EXPECT_TRUE(PixelNear(image, 46, 61, Color(255, 191, 255, 191)));
    // The clip is gone again: drawing reaches the whole surface.
    painter.FillRect({150, 110, 10, 10}, kRed);
    EXPECT_TRUE(PixelNear(image, 159, 119, kRed, 0));
}
