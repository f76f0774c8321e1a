#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "framework/drawing/Pen.h"
#include "framework/drawing/StringFormat.h"

#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>
#include <limits>

using namespace GdiplusGfxLayer;

namespace {

const Color kClear(0, 0, 0, 0);
const Color kRed(255, 255, 0, 0);
const Color kGreen(255, 0, 255, 0);

int OpaqueInRow(const Image& image, int y)
{
    int count = 0;
    for (int x = 0; x < image.GetWidth(); ++x)
        count += image.GetPixel(x, y).GetAlpha() > 0;
    return count;
}

} // namespace

TEST(Painter, OnePixelLinesCoverTheirEndPixelsExactly)
{
    Image image(20, 20);
    Painter painter(image);
    const Pen pen(kRed, 1.0f);
    ASSERT_TRUE(painter.DrawLine(pen, {2, 5}, {12, 5}));
    ASSERT_TRUE(painter.DrawLine(pen, {15, 2}, {15, 8}));
    for (int x = 2; x <= 12; ++x)
        EXPECT_TRUE(PixelNear(image, x, 5, kRed, 0)) << x;
    EXPECT_EQ(11, OpaqueInRow(image, 5) - 1); // plus the vertical line's pixel
    EXPECT_EQ(1, OpaqueInRow(image, 4) + OpaqueInRow(image, 6) - 1);
    for (int y = 2; y <= 8; ++y)
        EXPECT_TRUE(PixelNear(image, 15, y, kRed, 0)) << y;
    EXPECT_TRUE(PixelNear(image, 15, 1, kClear, 0));
    EXPECT_TRUE(PixelNear(image, 15, 9, kClear, 0));
}

TEST(Painter, RoundAndArrowCapsDrawBeyondTheLine)
{
    Image image(40, 40);
    Painter painter(image);
    Pen pen(kGreen, 3.0f);
    ASSERT_TRUE(pen.SetStartCap(Pen::Round));
    ASSERT_TRUE(pen.SetEndCap(Pen::ArrowAnchor));
    EXPECT_FALSE(pen.SetEndCap(7));
    EXPECT_EQ(Pen::ArrowAnchor, pen.GetEndCap());
    ASSERT_TRUE(painter.DrawLine(pen, {5, 20}, {35, 20}));
    // The round start reaches a pixel before the start point.
    EXPECT_GT(image.GetPixel(4, 20).GetAlpha(), 100);
    // The arrow is a triangle wider than the line near its base and pointed
    // at the end point.
    EXPECT_GT(image.GetPixel(26, 16).GetAlpha(), 200);
    EXPECT_GT(image.GetPixel(26, 24).GetAlpha(), 200);
    EXPECT_GT(image.GetPixel(34, 20).GetAlpha(), 100);
    EXPECT_EQ(0, image.GetPixel(34, 16).GetAlpha());
    EXPECT_EQ(0, image.GetPixel(37, 20).GetAlpha());
    // Line away from the caps is only the pen's width.
    EXPECT_EQ(0, image.GetPixel(15, 17).GetAlpha());
    EXPECT_EQ(255, image.GetPixel(15, 19).GetAlpha());
}

TEST(Painter, OpacityIsClampedAndPicturesAtZeroAreSkippedWithSuccess)
{
    Image target(4, 4);
    Painter painter(target);
    painter.SetOpacity(0.5f);
    painter.MultiplyOpacity(3.0f);
    EXPECT_FLOAT_EQ(1.0f, painter.GetOpacity());
    painter.SetOpacity(-2.0f);
    EXPECT_FLOAT_EQ(0.0f, painter.GetOpacity());
    painter.SetOpacity(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(1.0f, painter.GetOpacity());

    Image picture(4, 4);
    Painter(picture).FillRect({0, 0, 4, 4}, kRed);
    painter.SetOpacity(0.0f);
    EXPECT_TRUE(painter.DrawImageAt(picture, 0, 0));
    EXPECT_TRUE(PixelNear(target, 1, 1, kClear, 0));
    // Fills are not faded by the opacity.
    EXPECT_TRUE(painter.FillRect({0, 0, 1, 1}, kRed));
    EXPECT_TRUE(PixelNear(target, 0, 0, kRed, 0));
}

TEST(Painter, PartsOfPicturesAreDrawnScaledIntoTheDestination)
{
    const Image picture(PELLORA_TEST_DATA "/gfx/quadrants.png");
    Image target(16, 16);
    Painter painter(target);
    // The blue quadrant (0, 4, 4, 4) blown up to 8 x 8 at (8, 8).
    ASSERT_TRUE(painter.DrawImageRect(picture, {0, 4, 4, 4}, {8, 8, 8, 8}));
    // Away from the edges, where neighbours of the part blend in.
    EXPECT_TRUE(PixelNear(target, 10, 10, Color(255, 0, 0, 255), 0));
    EXPECT_TRUE(PixelNear(target, 13, 13, Color(255, 0, 0, 255), 0));
    EXPECT_TRUE(PixelNear(target, 7, 8, kClear, 0));
    ASSERT_TRUE(painter.DrawImageInRect(picture, {0, 0, 4, 4}));
    EXPECT_TRUE(PixelNear(target, 0, 0, kRed, 0));
    EXPECT_TRUE(PixelNear(target, 3, 3, Color(255, 255, 255, 255), 0));
}

TEST(Painter, RegionClipsNestAndFollowTheOrigin)
{
    Image target(20, 20);
    Painter painter(target);
    Region region;
    EXPECT_TRUE(region.IsEmpty());
    region.Union({0, 0, 10, 20});
    region.Union({12, 18, 2, 2});
    EXPECT_EQ((Vabo::Rect{0, 0, 14, 20}), region.GetBounds());
    EXPECT_FALSE(region.Contains(11, 5));
    painter.SetClip(region);
    {
        GdiplusGfxLayer::TranslationScope moved(painter, 5, 5);
        ClipScope clip(painter, Vabo::Rect{0, 0, 10, 10}); // (5, 5)-(15, 15) on the surface, cut at x = 10
        painter.FillRect({-5, -5, 20, 20}, kRed);
    }
    EXPECT_TRUE(PixelNear(target, 5, 5, kRed, 0));
    EXPECT_TRUE(PixelNear(target, 9, 14, kRed, 0));
    EXPECT_TRUE(PixelNear(target, 10, 5, kClear, 0));
    EXPECT_TRUE(PixelNear(target, 4, 5, kClear, 0));
    EXPECT_TRUE(PixelNear(target, 5, 15, kClear, 0));
    // Back to the region set before the scope.
    painter.FillRect({0, 0, 20, 20}, kGreen);
    EXPECT_TRUE(PixelNear(target, 0, 19, kGreen, 0));
    EXPECT_TRUE(PixelNear(target, 15, 0, kClear, 0));
    EXPECT_TRUE(PixelNear(target, 13, 19, kGreen, 0));
    painter.ResetClip();
    painter.FillRect({0, 0, 20, 20}, kGreen);
    EXPECT_TRUE(PixelNear(target, 15, 0, kGreen, 0));
}

TEST(Painter, QuickEdgedLinesCoverTheSmoothLinesPixelsAndShadeTheirEdgesDifferently)
{
    // A jagged trace and a slanted line: quick edges are in effect (some edge
    // shades differ) yet the line lies where the smooth one does.
    const std::vector<std::vector<Vabo::Point>> lines = {
        {{2, 20}, {3, 4}, {4, 36}, {5, 10}, {6, 30}, {7, 2}, {30, 25}, {37, 18}},
        {{3, 3}, {36, 29}},
    };
    for (const auto& line : lines) {
        Image smooth(40, 40), quick(40, 40);
        Painter smoothPainter(smooth), quickPainter(quick);
        Pen pen(kRed, 2.0f);
        ASSERT_TRUE(smoothPainter.DrawLines(pen, line.data(), int(line.size())));
        pen.SetQuickEdges(true);
        ASSERT_TRUE(quickPainter.DrawLines(pen, line.data(), int(line.size())));
        int differing = 0, strayed = 0;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int a = smooth.GetPixel(x, y).GetAlpha(), b = quick.GetPixel(x, y).GetAlpha();
                differing += a != b;
                // Fully covered on one, untouched on the other: the line moved.
                strayed += (a == 255 && b == 0) || (a == 0 && b == 255);
            }
        }
        EXPECT_GT(differing, 0) << line.size() << " points";
        EXPECT_EQ(0, strayed) << line.size() << " points";
    }
}

TEST(Painter, TranslucentPolylinesBlendOnceAndGradientsRunCornerToCorner)
{
    Image target(30, 30);
    Painter painter(target);
    const Pen half(Color(128, 0, 0, 255), 3.0f);
    const Vabo::Point corner[] = {{5, 5}, {20, 5}, {20, 20}};
    ASSERT_TRUE(painter.DrawLines(half, corner, 3));
    // The corner where the two segments meet is as translucent as the rest.
    EXPECT_TRUE(PixelNear(target, 20, 5, Color(128, 0, 0, 255), 2));
    EXPECT_TRUE(PixelNear(target, 12, 5, Color(128, 0, 0, 255), 2));
    EXPECT_TRUE(PixelNear(target, 20, 12, Color(128, 0, 0, 255), 2));
    // Flat ends cover the end pixels and stop there.
    EXPECT_TRUE(PixelNear(target, 5, 5, Color(128, 0, 0, 255), 2));
    EXPECT_EQ(0, target.GetPixel(3, 5).GetAlpha());
    EXPECT_EQ(0, target.GetPixel(20, 22).GetAlpha());
    EXPECT_TRUE(painter.DrawLines(half, corner, 1));

    Image gradient(11, 11);
    Painter fill(gradient);
    ASSERT_TRUE(fill.FillGradientRect({0, 0, 10, 10}, kRed, Color(255, 0, 0, 255)));
    // Red at the top-left corner, blue at the bottom-right, half-way between
    // on the other diagonal; nothing outside the rectangle.
    EXPECT_TRUE(PixelNear(gradient, 0, 0, Color(255, 243, 0, 12), 8));
    EXPECT_TRUE(PixelNear(gradient, 9, 9, Color(255, 12, 0, 243), 8));
    EXPECT_TRUE(PixelNear(gradient, 9, 0, Color(255, 128, 0, 128), 8));
    EXPECT_EQ(0, gradient.GetPixel(10, 5).GetAlpha());
}

TEST(Painter, ClearEmptiesOnlyTheClipAndMeetsTellsWhatTheClipTouches)
{
    Image target(20, 20);
    Painter painter(target);
    const Color translucent(74, 255, 255, 255);
    Region region;
    region.Union({0, 0, 10, 10});
    painter.FillRect({0, 0, 20, 20}, kGreen);
    painter.SetClip(region);
    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_TRUE(painter.Clear());
        painter.FillRect({0, 0, 20, 20}, translucent);
    }
    EXPECT_TRUE(PixelNear(target, 5, 5, translucent, 1));
    EXPECT_TRUE(PixelNear(target, 15, 15, kGreen, 0));

    EXPECT_TRUE(painter.Meets({9, 9, 5, 5}));
    EXPECT_FALSE(painter.Meets({10, 0, 5, 5}));
    EXPECT_FALSE(painter.Meets({0, 0, 0, 5}));
    GdiplusGfxLayer::TranslationScope moved(painter, 8, 0);
    EXPECT_TRUE(painter.Meets({0, 0, 2, 2}));
    EXPECT_FALSE(painter.Meets({2, 0, 2, 2}));
    painter.ResetClip();
    EXPECT_TRUE(painter.Meets({2, 0, 2, 2}));
    EXPECT_FALSE(painter.Meets({12, 0, 2, 2})) << "beyond the surface";
}

TEST(Painter, AStringFormatLentOutComesBackAsItWas)
{
    StringFormat format{Painter::Far, Painter::EllipsisWord};
    {
        StringFormatScope lent(format);
        format = StringFormat{Painter::Center, Painter::TrimCharacter};
    }
    EXPECT_EQ(Painter::Far, format.alignment);
    EXPECT_EQ(Painter::EllipsisWord, format.trimming);
}

TEST(Painter, APictureScaledInPlaceHasThePixelsOfItsScaledCopyDrawnThere)
{
    const Image picture(PELLORA_TEST_DATA "/windows/Stripes.png");
    struct Case {
        int x, y, w, h;
        int mode;
        float opacity;
        int dx, dy; // the painter's origin
        bool clipped;
    };
    const Case cases[] = {
        {0, 0, 37, 23, 1, 1.0f, 0, 0, false},    {44, 22, 61, 97, 1, 1.0f, 0, 0, false},
        {44, 22, 61, 97, 1, 0.5f, 0, 0, false},  {5, 7, 90, 50, 1, 1.0f, 10, 3, true},
        {100, 80, 60, 60, 1, 1.0f, 0, 0, false}, {31, 17, 77, 41, 7, 1.0f, 0, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + " at " + std::to_string(c.x));
        Image inPlace(160, 140);
        Image fromCopy(160, 140);
        Painter a(inPlace);
        Painter b(fromCopy);
        for (Painter* p : {&a, &b}) {
            p->FillRect({0, 0, 160, 140}, Color(255, 40, 60, 80));
            p->FillRect({0, 0, 80, 70}, Color(128, 100, 0, 0));
            if (c.clipped) {
                Region clip;
                clip.Union({0, 0, 60, 140});
                clip.Union({70, 30, 90, 20});
                p->SetClip(clip);
            }
            p->Translate(static_cast<float>(c.dx), static_cast<float>(c.dy));
            p->SetOpacity(c.opacity);
        }
        ASSERT_TRUE(a.DrawImageScaledInPlace(picture, c.x, c.y, c.w, c.h, c.mode));
        Image copy(c.w, c.h);
        ASSERT_TRUE(copy.DrawImageScaled(picture, 0, 0, c.w, c.h, c.mode));
        ASSERT_TRUE(b.DrawImageScaled(copy, c.x, c.y, c.w, c.h, 0));
        int differing = 0;
        for (int y = 0; y < 140; ++y)
            for (int x = 0; x < 160; ++x)
                differing += !(inPlace.GetPixel(x, y) == fromCopy.GetPixel(x, y));
        EXPECT_EQ(0, differing);
    }

    // Where the painter cannot, nothing is drawn and the caller draws a copy.
    Image target(40, 40);
    Painter turned(target);
    turned.Rotate(10.0f);
    EXPECT_FALSE(turned.DrawImageScaledInPlace(picture, 5, 5, 20, 20, 1));
    Painter plain(target);
    EXPECT_FALSE(plain.DrawImageScaledInPlace(picture, -1, 5, 20, 20, 1));
    for (int y = 0; y < 40; ++y)
        EXPECT_EQ(0, OpaqueInRow(target, y));
}

TEST(Painter, RectanglesFilledAtOnceHaveTheirOwnPixelsAndOverlapsBlendOnce)
{
    const Color translucent(120, 20, 40, 200);
    const std::vector<Vabo::Rect> apart = {{1, 1, 1, 9}, {2, 3, 1, 2}, {5, 0, 4, 4}, {12, 6, 3, 7}};
    Image together(16, 16);
    Image oneByOne(16, 16);
    Painter(together).FillRect({0, 0, 16, 16}, kGreen);
    Painter(oneByOne).FillRect({0, 0, 16, 16}, kGreen);
    ASSERT_TRUE(Painter(together).FillRects(apart, translucent));
    {
        Painter painter(oneByOne);
        for (const Vabo::Rect& rect : apart)
            painter.FillRect(rect, translucent);
    }
    EXPECT_TRUE(SamePixels(together, oneByOne));
    EXPECT_TRUE(Painter(together).FillRects({}, translucent));
    EXPECT_TRUE(SamePixels(together, oneByOne)) << "no rectangles, no pixels";

    // Where two overlap the colour is laid on once, not twice.
    Image overlap(16, 16);
    Painter(overlap).FillRects({{0, 0, 8, 8}, {4, 4, 8, 8}}, translucent);
    EXPECT_EQ(overlap.GetPixel(2, 2), overlap.GetPixel(6, 6));
    EXPECT_EQ(0, overlap.GetPixel(2, 10).GetAlpha());
}
