// The sample displays: column mapping, the oscilloscope's trace, the
// spectrum bars' fall and peak hold, the curtain's palette, the waterfall's
// rows, and what each draws of silence and of a tone.
#include "app/vis/ColumnMap.h"
#include "app/vis/OScope.h"
#include "app/vis/OScopeCurtain.h"
#include "app/vis/SpecAnVis.h"
#include "app/vis/TopdownRedraw.h"

#include "platform/Log.h"
#include "tests/app/vis/VisTestSupport.h"
#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using GdiplusGfxLayer::Color;
using VisTest::Block;
using VisTest::Canvas;

namespace {

class SampleDisplaysTest : public VisTest::SkinFixture {
protected:
    TiXmlElement* SampleSkin() { return Skin("SampleVis.xml"); }
    Block block_;
};

} // namespace

TEST(ColumnMap, NarrowColumnsKeepTheLoudestSampleAndWideOnesInterpolate)
{
    std::vector<float> columns;
    MapSignedPeaks({0.1f, -0.9f, 0.2f, 0.3f}, columns, 2);
    EXPECT_EQ((std::vector<float>{-0.9f, 0.3f}), columns);
    MapMagnitudePeaks({0.1f, -0.9f, 0.2f, 0.3f}, columns, 2);
    EXPECT_EQ((std::vector<float>{0.9f, 0.3f}), columns);
    MapMagnitudePeaks({-0.5f, 0.25f}, columns, 2);
    EXPECT_EQ((std::vector<float>{0.5f, 0.25f}), columns);
    MapSignedPeaks({1.0f, 0.0f}, columns, 7);
    ASSERT_EQ(7u, columns.size());
    EXPECT_FLOAT_EQ(2.0f / 3.0f, columns[1]);
    EXPECT_FLOAT_EQ(1.0f / 3.0f, columns[2]);
    EXPECT_EQ(0.0f, columns[3]);
    MapSignedPeaks({1.0f, std::numeric_limits<float>::quiet_NaN()}, columns, 1);
    EXPECT_EQ(1u, columns.size());
    MapSignedPeaks({1.0f}, columns, 0);
    EXPECT_TRUE(columns.empty());

    // floor(100 v - 0.5), within the palette's 100 pens.
    EXPECT_EQ(0, PaletteIndex(0.0f));
    EXPECT_EQ(0, PaletteIndex(0.01f));
    EXPECT_EQ(19, PaletteIndex(0.2f));
    EXPECT_EQ(99, PaletteIndex(1.0f));
    EXPECT_EQ(99, PaletteIndex(1.5f));
    EXPECT_EQ(99, PaletteIndex(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(0, PaletteIndex(std::numeric_limits<float>::quiet_NaN()));
}

TEST(SpecAnVis, BarsFallBySixthsAndMarkersHoldTwelveFramesThenFallFaster)
{
    float level = 1.0f;
    level = SpecAnVis::FallenLevel(level, 0.0f);
    EXPECT_NEAR(0.8333333f, level, 1e-6);
    level = SpecAnVis::FallenLevel(level, 0.0f);
    EXPECT_NEAR(0.6944444f, level, 1e-6);
    EXPECT_FLOAT_EQ(0.9f, SpecAnVis::FallenLevel(level, 0.9f));
    EXPECT_FLOAT_EQ(0.6f, SpecAnVis::FallenLevel(0.65f, 0.6f));

    float peak = 0.0f;
    int hold = 5;
    SpecAnVis::MovePeak(peak, hold, 1.0f);
    EXPECT_EQ(0, hold);
    for (int frame = 0; frame < 13; ++frame) {
        SpecAnVis::MovePeak(peak, hold, 0.0f);
        EXPECT_EQ(1.0f, peak) << frame;
    }
    SpecAnVis::MovePeak(peak, hold, 0.0f);
    EXPECT_FLOAT_EQ(1.0f / 1.002f, peak);
    SpecAnVis::MovePeak(peak, hold, 0.0f);
    EXPECT_FLOAT_EQ(1.0f / 1.002f / 1.008f, peak);

    // A level that keeps falling keeps the marker falling for good: its
    // count stops at the cap rather than overflowing its square, and the
    // marker never drops below the bar.
    peak = 0.5f;
    hold = 0;
    float v = 0.5f;
    for (int frame = 0; frame < 100000; ++frame) {
        v -= 1e-6f;
        SpecAnVis::MovePeak(peak, hold, v);
    }
    EXPECT_EQ(SpecAnVis::HoldCap, hold);
    EXPECT_FLOAT_EQ(v, peak);
}

TEST_F(SampleDisplaysTest, ScopeDrawsSilenceAsTheCentreLineAndPositiveSamplesBelowIt)
{
    OScope scope(Child(SampleSkin(), "OScope"), block_.Source());
    const Color trace(255, 56, 189, 248);
    block_.samples.assign(512, 0.0f);
    Canvas silent(100, 40);
    ASSERT_TRUE(scope.Draw(silent.painter, 0, 0, 100, 40));
    ASSERT_EQ(100u, scope.Points().size());
    for (const Vabo::Point& point : scope.Points())
        ASSERT_EQ(20, point.y);
    EXPECT_TRUE(PixelNear(silent.image, 50, 20, trace, 0));
    EXPECT_EQ(0, VisTest::InkedPixels(silent.image, {0, 0, 100, 18}));

    // A full-scale square wave: +1 at the bottom edge, -1 at the top.
    for (std::size_t i = 0; i < block_.samples.size(); ++i)
        block_.samples[i] = (i / 128) % 2 ? -1.0f : 1.0f;
    Canvas square(100, 40);
    scope.Draw(square.painter, 0, 0, 100, 40);
    EXPECT_EQ(39, scope.Points()[5].y);
    EXPECT_EQ(1, scope.Points()[30].y);
    // Beyond full scale the trace stays on the edge; zero width draws nothing.
    block_.samples.assign(512, 7.0f);
    scope.Draw(square.painter, 0, 0, 100, 40);
    EXPECT_EQ(39, scope.Points()[50].y);
    EXPECT_TRUE(scope.Draw(square.painter, 0, 0, 0, 40));
}

TEST_F(SampleDisplaysTest, SpectrumBarsAreCutFromThePictureWithMarkersAboveThem)
{
    SpecAnVis bars(Case("SpecAn"), block_.Source());
    bars.SetSize(40, 50);
    block_.samples = {1.0f, 0.0f, 0.5f, 0.0f};
    Canvas canvas(40, 50);
    ASSERT_TRUE(bars.Draw(canvas.painter, 0, 0, 40, 50));
    // Markers of 5 pixels over a bar area of 45: bar 0 full, bar 2 of 23
    // (the picture's segments leave gaps between rows).
    EXPECT_GT(VisTest::InkedPixels(canvas.image, {5, 5, 1, 45}), 35);
    EXPECT_GT(VisTest::InkedPixels(canvas.image, {25, 27, 1, 23}), 17);
    EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {25, 5, 1, 17}));
    EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {15, 5, 1, 40}));
    // Bar 1's marker rests on the bottom; bar 2's sits on its bar.
    EXPECT_TRUE(PixelNear(canvas.image, 15, 47, Color(255, 255, 0, 0), 0));
    EXPECT_TRUE(PixelNear(canvas.image, 25, 24, Color(255, 255, 0, 0), 0));
    // Bars keep a pixel clear on each side.
    EXPECT_EQ(0, canvas.image.GetPixel(9, 30).GetAlpha());

    // Silence: the bars fall, the markers hold.
    block_.samples.assign(4, 0.0f);
    bars.Draw(canvas.painter, 0, 0, 40, 50);
    EXPECT_NEAR(0.8333333f, bars.Levels()[0], 1e-6);
    EXPECT_EQ(1.0f, bars.Peaks()[0]);
    EXPECT_EQ(1, bars.Holds()[0]);

    Platform::LogCapture log;
    EXPECT_THROW(SpecAnVis(Case("NumBarsZero"), block_.Source()), XMLLoadSave::XMLLoadSaveException);
    EXPECT_TRUE(
        log.Contains("NumBars = \"0\" of Config in " PELLORA_TEST_DATA "/app/VisCases.xml is outside 1 to 4096"));
}

TEST_F(SampleDisplaysTest, CurtainStrokesGrowAndDarkenWithTheSignal)
{
    OScopeCurtain curtain(SampleSkin(), block_.Source());
    ASSERT_EQ(100u, curtain.Palette().size());
    EXPECT_EQ(50, curtain.Palette()[0].GetColor().GetAlpha());
    EXPECT_EQ(90, curtain.Palette()[20].GetColor().GetAlpha());
    EXPECT_EQ(252, curtain.Palette()[99].GetColor().GetAlpha());

    block_.samples.assign(512, 0.0f);
    Canvas silent(64, 40);
    curtain.Draw(silent.painter, 0, 0, 64, 40);
    EXPECT_EQ(0, VisTest::InkedPixels(silent.image, {0, 0, 64, 40}));

    // Full scale on the left half: strokes over the whole height in the
    // darkest pen; a level above full scale must not leave the palette.
    for (std::size_t i = 0; i < block_.samples.size(); ++i)
        block_.samples[i] = i < 256 ? (i % 2 ? 1.2f : -1.0f) : 0.0f;
    Canvas loud(64, 40);
    curtain.Draw(loud.painter, 0, 0, 64, 40);
    EXPECT_EQ(252, loud.image.GetPixel(10, 1).GetAlpha());
    EXPECT_EQ(252, loud.image.GetPixel(10, 38).GetAlpha());
    EXPECT_EQ(0, loud.image.GetPixel(50, 20).GetAlpha());
}

TEST_F(SampleDisplaysTest, CurtainShowsTheSamePixelsAsAStrokePerColumn)
{
    // Each signal drawn by the curtain and, column by column, as a stroke of
    // the column's pen over the same background: the pictures must be equal
    // to the last pixel, in a display of even and of odd height.
    const auto wave = [](std::size_t n, float (*at)(std::size_t)) {
        std::vector<float> samples(n);
        for (std::size_t i = 0; i < n; ++i)
            samples[i] = at(i);
        return samples;
    };
    const struct {
        const char* name;
        std::vector<float> samples;
    } signals[] = {
        {"silence", std::vector<float>(512, 0.0f)},
        {"a tone", wave(512, [](std::size_t i) { return 0.7f * std::sin(0.11f * float(i)); })},
        {"a quiet tone", wave(512, [](std::size_t i) { return 0.02f * std::sin(0.3f * float(i)); })},
        {"beyond full scale", wave(512, [](std::size_t i) { return i % 2 ? 1.4f : -1.2f; })},
        {"noise", wave(512, [](std::size_t i) { return float((i * 7919) % 201) / 100.0f - 1.0f; })},
        {"a spike", wave(512, [](std::size_t i) { return i == 300 ? 1.0f : 0.0f; })},
        {"fewer samples than columns", {0.1f, -0.9f, 0.5f, 0.0f, 1.0f}},
        {"no numbers", {std::numeric_limits<float>::quiet_NaN(), 0.5f, std::numeric_limits<float>::infinity()}},
    };
    const Vabo::Rect places[] = {{3, 2, 64, 40}, {0, 5, 57, 41}};
    OScopeCurtain curtain(SampleSkin(), block_.Source());
    for (const auto& signal : signals) {
        block_.samples = signal.samples;
        for (const Vabo::Rect& at : places) {
            Canvas drawn(80, 50);
            Canvas stroked(80, 50);
            for (Canvas* canvas : {&drawn, &stroked})
                canvas->painter.FillRect({0, 0, 80, 50}, Color(255, 90, 120, 200));
            curtain.Draw(drawn.painter, at.x, at.y, at.width, at.height);

            std::vector<float> columns;
            MapMagnitudePeaks(block_.samples, columns, at.width);
            const float half = 0.5f * float(at.height);
            for (int i = 0; i < at.width; ++i) {
                const int d = int(std::lround(half * std::fmin(columns[std::size_t(i)], 1.0f)));
                stroked.painter.DrawLine(curtain.Palette()[std::size_t(PaletteIndex(columns[std::size_t(i)]))],
                                         {at.x + i, at.y + at.height - at.height / 2 - d},
                                         {at.x + i, at.y + at.height / 2 + d});
            }
            EXPECT_TRUE(SamePixels(drawn.image, stroked.image)) << signal.name << " at height " << at.height;
        }
    }
}

TEST_F(SampleDisplaysTest, WaterfallAddsOneRowPerFrameAndRescalesItsRowsOnResize)
{
    TopdownRedraw waterfall(SampleSkin(), block_.Source());
    block_.samples.assign(512, 1.0f);
    Canvas canvas(10, 32);
    waterfall.Draw(canvas.painter, 0, 0, 10, 32);
    auto rows = waterfall.Rows();
    ASSERT_EQ(16u, rows.size());
    EXPECT_EQ(std::vector<float>(10, 1.0f), rows.back());
    EXPECT_EQ(std::vector<float>(10, 0.0f), rows.front());
    // The newest row is drawn at the top, two pixels high, darkest; the
    // oldest at the bottom in the palest pen.
    EXPECT_EQ(252, canvas.image.GetPixel(5, 1).GetAlpha());
    EXPECT_EQ(20, canvas.image.GetPixel(5, 31).GetAlpha());

    waterfall.SetSize(20, 32);
    Canvas wider(20, 32);
    block_.samples.assign(512, 0.5f);
    waterfall.Draw(wider.painter, 0, 0, 20, 32);
    rows = waterfall.Rows();
    for (const auto& row : rows)
        ASSERT_EQ(20u, row.size());
    // Ten columns spread over twenty: the last source column lands on 17.
    EXPECT_EQ(1.0f, rows[14][0]);
    EXPECT_EQ(1.0f, rows[14][17]);
    EXPECT_EQ(std::vector<float>(20, 0.5f), rows[15]);
    EXPECT_TRUE(waterfall.Draw(wider.painter, 0, 0, 0, 32));
}
