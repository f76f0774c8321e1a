#include "framework/drawing/Font.h"

#include "framework/drawing/Image.h"
#include "framework/drawing/Painter.h"
#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

using namespace GdiplusGfxLayer;

namespace {

const char* const kFamily = "DejaVu Sans";

bool AnyInk(const Color& colour)
{
    return colour.GetAlpha() > 0;
}

} // namespace

TEST(Font, SizesInPercentFollowTheReferenceSizeOrTheMainWindow)
{
    EXPECT_FLOAT_EQ(10.0f, Font(kFamily, 10.0f, FontStyleRegular, Font::Height).GetPixelSize());
    SetMainWindowSizeSource([](int& w, int& h) {
        w = 200;
        h = 300;
        return true;
    });
    EXPECT_FLOAT_EQ(30.0f, Font(kFamily, 10.0f, FontStyleBold, Font::Height).GetPixelSize());
    EXPECT_FLOAT_EQ(20.0f, Font(kFamily, 10.0f, FontStyleRegular, Font::Width).GetPixelSize());
    EXPECT_FLOAT_EQ(10.0f, Font(kFamily, 10.0f, FontStyleRegular, Font::Point).GetPixelSize());

    const Vabo::Rect reference{0, 0, 50, 40};
    EXPECT_FLOAT_EQ(4.0f, Font(kFamily, 10.0f, FontStyleRegular, Font::Height, &reference).GetPixelSize());
    EXPECT_FLOAT_EQ(5.0f, Font(kFamily, 10.0f, FontStyleRegular, Font::Width, &reference).GetPixelSize());
    SetMainWindowSizeSource(nullptr);
}

TEST(Font, MeasuresWholeTextsGrowingWithSizeAndDrawsThemAsWide)
{
    const Font small(kFamily, 12.0f, FontStyleRegular, Font::Point);
    const Font large(kFamily, 24.0f, FontStyleRegular, Font::Point);
    const Vabo::Rect a = small.MeasureString("Tuner");
    const Vabo::Rect b = large.MeasureString("Tuner");
    EXPECT_EQ(0, a.x);
    EXPECT_EQ(0, a.y);
    EXPECT_GT(a.width, 20);
    EXPECT_NEAR(2 * a.width, b.width, 2);
    EXPECT_NEAR(2 * a.height, b.height, 2);
    EXPECT_EQ(0, small.MeasureString("").width);

    const Font font(kFamily, 20.0f, FontStyleRegular, Font::Point);
    Image image(200, 40);
    Painter painter(image);
    ASSERT_TRUE(painter.DrawString(font, "MMMM", Color(255, 0, 0, 0), 10.0f, 5.0f));
    const auto ink = InkColumns(image, 0, image.GetHeight(), AnyInk);
    EXPECT_NEAR(10, ink.first, 3);
    EXPECT_NEAR(10 + font.MeasureString("MMMM").width, ink.second + 1, 3);
}

TEST(Font, TextIsUtf8CountedInCharacters)
{
    const Font font(kFamily, 20.0f, FontStyleRegular, Font::Point);
    // "é" is two bytes but one character: its range is the whole text.
    const std::string e = "\xC3\xA9";
    EXPECT_EQ(font.MeasureString(e).width, font.MeasureRange(e, 0, 0, -1).width);
    EXPECT_NEAR(font.MeasureString(e + e).width, 2 * font.MeasureString(e).width, 1);
    // The caret after "aé" sits where the text "aé" ends.
    const std::string text = "a" + e + "b";
    const Vabo::Rect third = font.MeasureRange(text, 2, 2, -1);
    EXPECT_NEAR(font.MeasureString("a" + e).width, third.x, 1);
    EXPECT_EQ(font.MeasureString(text).width, font.MeasureRange(text, -1, -1, -1).width);
    // Invalid bytes are shown, not dropped or misread as other characters.
    EXPECT_GT(font.MeasureString("a\xFF"
                                 "b")
                  .width,
              font.MeasureString("ab").width);
}

TEST(Font, RangesWrapAtTheMaximumWidthAndEmptyRangesAreEmpty)
{
    const Font font(kFamily, 20.0f, FontStyleRegular, Font::Point);
    const std::string text = "one two";
    const Vabo::Rect line = font.MeasureString("one");
    EXPECT_EQ(0, font.MeasureRange(text, 4, 6, -1).y);
    const Vabo::Rect wrapped = font.MeasureRange(text, 4, 6, static_cast<float>(line.width + 4));
    EXPECT_NEAR(line.height, wrapped.y, 1);
    EXPECT_EQ(0, wrapped.x);
    EXPECT_EQ((Vabo::Rect{0, 0, 0, 0}), font.MeasureRange(text, 5, 3, -1));
    EXPECT_EQ((Vabo::Rect{0, 0, 0, 0}), font.MeasureRange("", -1, -1, -1));
}

TEST(Font, LinesBelowTheRectangleAreNotDrawn)
{
    const Font font(kFamily, 20.0f, FontStyleRegular, Font::Point);
    const int lineHeight = font.MeasureString("M").height;
    Image image(60, 100);
    Painter painter(image);
    ASSERT_TRUE(painter.DrawStringInRect(font, "MM MM MM", Color(255, 0, 0, 0), 0, 0, 40, lineHeight * 1.5f,
                                         Painter::Near, Painter::TrimNone));
    EXPECT_EQ(INT_MAX, InkColumns(image, lineHeight, 100, AnyInk).first);
}

TEST(Font, HugeSizesMeasureAndDrawWithoutOverflow)
{
    // Sizes far beyond any screen: the text still measures as a box of
    // positive size that grows with its length, and drawing it is harmless.
    for (float size : {1.0e6f, 3.0e7f, 1.0e30f}) {
        SCOPED_TRACE(size);
        const Font font(kFamily, size, FontStyleRegular, Font::Point);
        const Vabo::Rect one = font.MeasureString("W");
        const Vabo::Rect three = font.MeasureString("WWW");
        EXPECT_GT(one.width, 0);
        EXPECT_GT(one.height, 0);
        EXPECT_GT(three.width, one.width);
        EXPECT_GT(font.MeasureRange("WWW", 1, 2, -1.0f).width, 0);
        Image target(20, 20);
        Painter painter(target);
        EXPECT_TRUE(painter.DrawStringInRect(font, "WWW", Color(255, 0, 0, 0), 0, 0, 20, 20, 0, 0));
    }
}

TEST(Font, RangesOfLongTextsMeasureAsTheirCharactersDo)
{
    // Every range of a long text agrees with the text measured up to it.
    const Font font(kFamily, 12.0f, FontStyleRegular, Font::Point);
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "tuner ";
    const Vabo::Rect whole = font.MeasureRange(text, -1, -1, -1);
    EXPECT_NEAR(font.MeasureString(text).width, whole.width, 1);
    const Vabo::Rect tail = font.MeasureRange(text, 594, 598, -1);
    EXPECT_NEAR(font.MeasureString(text.substr(0, 594)).width, tail.x, 1);
    EXPECT_NEAR(font.MeasureString("tuner").width, tail.width, 1);
    EXPECT_EQ((Vabo::Rect{0, 0, 0, 0}), font.MeasureRange(text, 700, 800, -1));
}

TEST(Font, TextsWiderThanPangoCanCountMeasureAndDrawWithinRange)
{
    // Past two million pixels Pango's units leave an int: such texts still
    // measure as boxes of sane positive size and draw harmlessly.
    std::string words;
    for (int i = 0; i < 200000; ++i)
        words += "tuner ";
    struct Case {
        const char* what;
        std::string text;
        float size;
        float maxWidth;
    };
    const Case cases[] = {
        {"400 KB of digits", std::string(400000, '7'), 12.0f, -1.0f},
        {"400 KB of digits wrapped at a huge width", std::string(400000, '7'), 12.0f, 1.0e9f},
        {"1 MB of words wrapped narrow", words + words, 12.0f, 200.0f},
        {"a thousand digits at the largest size", std::string(1000, '7'), 1.0e30f, -1.0f},
    };
    constexpr int kPangoRange = 1 << 21;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Font font(kFamily, c.size, FontStyleRegular, Font::Point);
        const Vabo::Rect whole = font.MeasureString(c.text);
        EXPECT_GT(whole.width, 0);
        EXPECT_LT(whole.width, kPangoRange);
        const Vabo::Rect range = font.MeasureRange(c.text, -1, -1, c.maxWidth);
        EXPECT_GT(range.width, 0);
        EXPECT_GT(range.height, 0);
        EXPECT_LT(range.height, kPangoRange);
        EXPECT_GE(font.MeasureRange(c.text, 100, 200, c.maxWidth).x, 0);
        Image target(40, 40);
        Painter painter(target);
        EXPECT_TRUE(painter.DrawString(font, c.text, Color(255, 0, 0, 0), 0.0f, 0.0f));
        EXPECT_TRUE(painter.DrawStringInRect(font, c.text, Color(255, 0, 0, 0), 0, 0, c.maxWidth, 40, 0, 4));
    }
}
