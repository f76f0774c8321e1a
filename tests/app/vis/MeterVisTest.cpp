// Needle and bar meters: the analog face's curve, tics and needle index, the
// bar face's lines and widths, the labels around the desired frequency and
// when they are rebuilt, the dual meter's tics and arrow, and their pixels.
#include "app/vis/AnalogMeter.h"
#include "app/vis/CountLimit.h"
#include "app/vis/DualAnalogVis.h"
#include "app/vis/LogMeter.h"
#include "app/vis/MeterVis.h"
#include "app/vis/SimpleMeterVis.h"
#include "app/vis/TuneVis.h"

#include "audio/AppState.h"

#include "tests/app/vis/VisTestSupport.h"
#include "framework/drawing/Region.h"

#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <set>
#include <tuple>
#include <vector>
#include <utility>

using GdiplusGfxLayer::Color;
using VisTest::Canvas;
using VisTest::Value;

namespace {

// Pixels of two pictures of one size that differ by more than rounding.
int DifferingPixels(const GdiplusGfxLayer::Image& one, const GdiplusGfxLayer::Image& other)
{
    int count = 0;
    for (int y = 0; y < one.GetHeight(); ++y)
        for (int x = 0; x < one.GetWidth(); ++x) {
            const Color a = one.GetPixel(x, y), b = other.GetPixel(x, y);
            count += std::abs(a.GetAlpha() - b.GetAlpha()) > 2 || std::abs(a.GetRed() - b.GetRed()) > 2
                || std::abs(a.GetGreen() - b.GetGreen()) > 2 || std::abs(a.GetBlue() - b.GetBlue()) > 2;
        }
    return count;
}

class MeterVisTest : public VisTest::SkinFixture {
protected:
    // The skin's "Meter" with its units around the desired frequency.
    TiXmlElement* SkinMeter() { return Child(Skin("TuneVis.xml"), "Meter"); }
    CentsPolicy SkinCents()
    {
        CentsPolicy policy;
        loader_.ReadXmlAttribute(policy.unit, Child(Skin("TuneVis.xml"), "Cents"), "Unit", true);
        return policy;
    }
    HertzPolicy SkinHertz()
    {
        HertzPolicy policy;
        TiXmlElement* hertz = Child(Skin("TuneVis.xml"), "Hertz");
        loader_.ReadXmlAttribute(policy.unit, hertz, "Unit", true);
        loader_.ReadXmlAttribute(policy.range, hertz, "Width", true, CountLimit::HertzWidth);
        return policy;
    }

    Value position_;
    Value centre_;

    // The pixels, out of 420 x 220, in which a meter drawn after each of
    // the steps before differs from a new meter drawn once for the last one.
    template <class Face>
    std::vector<int> DriftFromFreshMeters(const std::vector<std::pair<float, float>>& positionsAndCentres,
                                          const std::vector<int>& widths)
    {
        SimpleMeterVis<CentsPolicy, Face> kept(SkinMeter(), position_.Source(), centre_.Source(), SkinCents());
        std::vector<int> drift;
        for (std::size_t i = 0; i < widths.size(); ++i) {
            std::tie(position_.value, centre_.value) = positionsAndCentres[i];
            if (i == 0 || widths[i] != widths[i - 1])
                kept.SetSize(widths[i], 200);
            Canvas frame(420, 220);
            kept.DrawSelf(frame.painter);

            Value position{position_.value}, centre{centre_.value};
            SimpleMeterVis<CentsPolicy, Face> fresh(SkinMeter(), position.Source(), centre.Source(), SkinCents());
            fresh.SetSize(widths[i], 200);
            Canvas expected(420, 220);
            fresh.DrawSelf(expected.painter);
            drift.push_back(DifferingPixels(frame.image, expected.image));
        }
        return drift;
    }
};

// Distinct tic segments, whichever way round they were stored.
std::size_t DistinctTics(const AnalogMeter& meter)
{
    std::set<std::pair<int, int>> starts;
    for (const AnalogMeter::Segment& tic : meter.Tics())
        starts.insert({tic.from.x, tic.from.y});
    return starts.size();
}

} // namespace

TEST_F(MeterVisTest, AnalogFaceCurveTicsAndNeedleIndex)
{
    AnalogMeter meter(loader_, Case("Meter"), position_.Source());
    // Margin 10: a face of 180 x 90 whose pivot is at (100, 100).
    meter.Layout(0.0f, 0.0f, 200.0f, 110.0f);
    const auto& arc = meter.Arc();
    ASSERT_EQ(180u, arc.size());
    EXPECT_EQ(100, meter.Pivot().x);
    EXPECT_EQ(100, meter.Pivot().y);
    // Left end, the top twice, right end: heights sqrt(90^2 - 89^2) = 13.
    EXPECT_EQ(11, arc.front().x);
    EXPECT_EQ(87, arc.front().y);
    EXPECT_EQ(100, arc[89].x);
    EXPECT_EQ(10, arc[89].y);
    EXPECT_EQ(100, arc[90].x);
    EXPECT_EQ(189, arc.back().x);
    EXPECT_EQ(87, arc.back().y);

    // Four tic steps of 22 points on each half: the top, 22, 45, 68 and the
    // end, mirrored; the top tic points straight up by the margin.
    EXPECT_EQ(10u, meter.Tics().size());
    EXPECT_EQ(9u, DistinctTics(meter));
    EXPECT_EQ(100, meter.Tics().front().from.x);
    EXPECT_EQ(10, meter.Tics().front().from.y);
    EXPECT_EQ(100, meter.Tics().front().to.x);
    EXPECT_EQ(0, meter.Tics().front().to.y);
    // The end tics point outwards and down the ellipse's normal.
    const AnalogMeter::Segment& rightEnd = meter.Tics()[8];
    EXPECT_EQ(189, rightEnd.from.x);
    EXPECT_GT(rightEnd.to.x, rightEnd.from.x);

    // An even number of tics leaves the top out; an odd one keeps it.
    meter.SetTicTotal(4);
    meter.Layout(0.0f, 0.0f, 200.0f, 110.0f);
    EXPECT_EQ(4u, DistinctTics(meter));
    meter.SetTicTotal(5);
    meter.Layout(0.0f, 0.0f, 200.0f, 110.0f);
    EXPECT_EQ(5u, DistinctTics(meter));

    EXPECT_EQ(89, AnalogMeter::PointIndex(0.5f, 180));
    EXPECT_EQ(179, AnalogMeter::PointIndex(1.0f, 180));
    EXPECT_EQ(179, AnalogMeter::PointIndex(2.0f, 180));
    EXPECT_EQ(0, AnalogMeter::PointIndex(-1.0f, 180));
    EXPECT_EQ(179, AnalogMeter::PointIndex(std::numeric_limits<float>::infinity(), 180));
    EXPECT_EQ(89, AnalogMeter::PointIndex(std::numeric_limits<float>::quiet_NaN(), 180));

    // A face too small for a curve has no points and no tics.
    meter.Layout(0.0f, 0.0f, 0.0f, 110.0f);
    EXPECT_TRUE(meter.Arc().empty());
    EXPECT_TRUE(meter.Tics().empty());
}

TEST_F(MeterVisTest, BarFaceLinesWidenAndLightAroundThePosition)
{
    LogMeter meter(loader_, Case("Meter"), position_.Source());
    // Spacing 50: lines of 5 to 25 pixels in the inner rectangle (25, 25, 150, 50).
    meter.Layout(0.0f, 0.0f, 200.0f, 100.0f);
    EXPECT_FLOAT_EQ(5.0f, meter.MinPixels());
    EXPECT_FLOAT_EQ(25.0f, meter.MaxPixels());
    const auto& lines = meter.Lines();
    ASSERT_EQ(9u, lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_FLOAT_EQ(0.125f * float(i), lines[i].value) << i;
        EXPECT_EQ(28 + 18 * int(i), lines[i].top.x) << i;
    }
    // Full height in the middle, half at the ends of the profile.
    EXPECT_EQ(25, lines[4].top.y);
    EXPECT_EQ(75, lines[4].bottom.y);
    EXPECT_EQ(37, lines[0].top.y);
    EXPECT_EQ(62, lines[0].bottom.y);
    EXPECT_EQ(Color(255, 255, 255, 0), lines[4].color);
    EXPECT_EQ(Color(255, 0, 255, 0), lines[3].color);
    EXPECT_EQ(Color(255, 0, 0, 255), lines[2].color);

    EXPECT_FLOAT_EQ(25.0f, meter.LineWidth(4, 0.5f));
    EXPECT_FLOAT_EQ(5.0f, meter.LineWidth(3, 0.5f));
    EXPECT_FLOAT_EQ(15.0f, meter.LineWidth(3, 0.4375f));
    EXPECT_FLOAT_EQ(15.0f, meter.LineWidth(4, 0.4375f));
    EXPECT_FLOAT_EQ(25.0f, meter.LineWidth(0, -0.2f));
    EXPECT_FLOAT_EQ(25.0f, meter.LineWidth(8, 1.2f));
    EXPECT_FLOAT_EQ(5.0f, meter.LineWidth(4, std::numeric_limits<float>::quiet_NaN()));

    Canvas canvas(200, 100);
    position_.value = 0.5f;
    meter.Draw(canvas.painter);
    EXPECT_TRUE(PixelNear(canvas.image, 100, 50, Color(255, 255, 255, 0)));
    EXPECT_TRUE(PixelNear(canvas.image, 110, 50, Color(255, 255, 255, 0)));
    EXPECT_TRUE(PixelNear(canvas.image, 28, 50, Color(255, 0, 0, 255)));
    EXPECT_EQ(0, canvas.image.GetPixel(35, 50).GetAlpha());
}

TEST_F(MeterVisTest, LabelsShowTheScaleEndsAndAreRebuiltOnResizeAndNewCentre)
{
    centre_.value = 440.0f;
    position_.value = 0.5f;
    MeterVis<CentsPolicy, AnalogMeter> cents(SkinMeter(), position_.Source(), centre_.Source(), SkinCents());
    MeterVis<HertzPolicy, LogMeter> hertz(SkinMeter(), position_.Source(), centre_.Source(), SkinHertz());
    SimpleMeterVis<CentsPolicy, AnalogMeter> simple(SkinMeter(), position_.Source(), centre_.Source(), SkinCents());
    Canvas canvas(512, 220);
    cents.Draw(canvas.painter, 0, 0, 512, 220);
    hertz.Draw(canvas.painter, 0, 0, 512, 220);
    simple.Draw(canvas.painter, 0, 0, 512, 220);
    EXPECT_EQ("427 cents", cents.LoText());
    EXPECT_EQ("440.00", cents.CentreText());
    EXPECT_EQ("452 cents", cents.HiText());
    EXPECT_EQ("415 Hz", hertz.LoText());
    EXPECT_EQ("465 Hz", hertz.HiText());
    EXPECT_EQ("- cents", simple.LoText());
    EXPECT_EQ("440.00", simple.CentreText());
    EXPECT_EQ("+ cents", simple.HiText());
    // The label row is 9% of the height: 19 pixels of text.
    EXPECT_FLOAT_EQ(19.0f, cents.LabelFont().GetPixelSize());

    // A new desired frequency relabels at the next draw, not before.
    centre_.value = 441.5f;
    EXPECT_EQ("440.00", cents.CentreText());
    cents.Draw(canvas.painter, 0, 0, 512, 220);
    EXPECT_EQ("441.50", cents.CentreText());
    // A resize relabels with the same frequency: a font for the new height.
    cents.SetSize(512, 110);
    cents.Draw(canvas.painter, 0, 0, 512, 110);
    EXPECT_FLOAT_EQ(9.0f, cents.LabelFont().GetPixelSize());
}

TEST_F(MeterVisTest, TheLowerLabelIsTheRoundedUpperBoundMirrored)
{
    // 2 x 2030.5 - 2090 exactly; mirrored before rounding it would be 1970.9999.
    centre_.value = 2030.5f;
    MeterVis<CentsPolicy, AnalogMeter> cents(SkinMeter(), position_.Source(), centre_.Source(), SkinCents());
    Canvas canvas(512, 220);
    cents.Draw(canvas.painter, 0, 0, 512, 220);
    EXPECT_EQ("1971 cents", cents.LoText());
    EXPECT_EQ("2090 cents", cents.HiText());
}

TEST_F(MeterVisTest, AnalogMeterDrawsItsBackgroundLabelsAndAPinnedNeedleInItsRectangle)
{
    centre_.value = 440.0f;
    position_.value = 0.5f;
    SimpleMeterVis<CentsPolicy, AnalogMeter> meter(SkinMeter(), position_.Source(), centre_.Source(), SkinCents());
    meter.SetPosition(10, 10);
    meter.SetSize(400, 200);
    Canvas canvas(420, 220);
    ASSERT_TRUE(meter.DrawSelf(canvas.painter));
    // The skin's background is clear: the screen's picture shows through.
    const Color clear(0, 0, 0, 0);
    const Color ink(255, 232, 236, 241);
    EXPECT_TRUE(PixelNear(canvas.image, 12, 207, clear, 0));
    // Nothing outside the rectangle.
    EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {0, 0, 420, 10}));
    EXPECT_EQ(0, VisTest::InkedPixels(canvas.image, {410, 0, 10, 220}));
    // Label text in the top row: ink near both ends and the middle.
    const auto label = [&](int left, int right) {
        int count = 0;
        for (int y = 10; y < 32; ++y)
            for (int x = left; x < right; ++x)
                count += canvas.image.GetPixel(x, y).GetAlpha() > 0;
        return count;
    };
    EXPECT_GT(label(10, 60), 10);
    EXPECT_GT(label(180, 240), 10);
    EXPECT_GT(label(360, 410), 10);

    // At rest the needle stands up from the pivot.
    const Vabo::Point pivot = meter.GetFace().Pivot();
    EXPECT_TRUE(PixelNear(canvas.image, pivot.x, pivot.y - 40, ink, 40));

    // Far off the scale it lies along the line to the right end of the curve.
    position_.value = 3.0f;
    Canvas pinned(420, 220);
    meter.DrawSelf(pinned.painter);
    const Vabo::Point end = meter.GetFace().Arc().back();
    const int midX = (pivot.x + end.x) / 2, midY = (pivot.y + end.y) / 2;
    EXPECT_TRUE(PixelNear(pinned.image, midX, midY, ink, 60));
    EXPECT_TRUE(PixelNear(pinned.image, pivot.x, pivot.y - 40, clear, 0));

    // Nothing measured: no needle anywhere.
    position_.value = std::numeric_limits<float>::quiet_NaN();
    Canvas silent(420, 220);
    meter.DrawSelf(silent.painter);
    EXPECT_TRUE(PixelNear(silent.image, pivot.x, pivot.y - 40, clear, 0));
    EXPECT_TRUE(PixelNear(silent.image, midX, midY, clear, 0));
    EXPECT_TRUE(PixelNear(silent.image, (pivot.x + meter.GetFace().Arc().front().x) / 2,
                          (pivot.y + meter.GetFace().Arc().front().y) / 2, clear, 0));
}

TEST_F(MeterVisTest, AFrameKeptFromTheLastLayoutLooksAsAFreshMeterAfterTheNeedleTheCentreOrTheSizeChanged)
{
    // First frame, the needle moved, a new centre (new labels), then a
    // narrower meter.
    const std::vector<std::pair<float, float>> steps{{0.5f, 440.0f}, {0.8f, 440.0f}, {0.8f, 220.0f}, {0.2f, 220.0f}};
    const std::vector<int> widths{400, 400, 400, 300};
    const std::vector<int> none(steps.size(), 0);
    EXPECT_EQ(none, DriftFromFreshMeters<AnalogMeter>(steps, widths)) << "analog face";
    EXPECT_EQ(none, DriftFromFreshMeters<LogMeter>(steps, widths)) << "bar face";
}

TEST_F(MeterVisTest, DualMeterFollowsTheAccentAndSwingsItsArrowWithThePhase)
{
    Value main, second;
    second.value = 0.5f;
    bool running = true;
    DualAnalogVis dual(Case("Dual"), main.Source(), second.Source(), [&running] { return running; });
    AppState& state = AppState::Instance();
    const int accent = state.GetAccent();
    state.SetAccent(4);
    Canvas canvas(220, 110);
    dual.SetSize(220, 110);
    ASSERT_TRUE(dual.Draw(canvas.painter, 0, 0, 220, 110));
    EXPECT_EQ(5u, DistinctTics(dual.Meter()));
    // Half the way from the pivot (110, 100) to the top of the curve (110, 10).
    EXPECT_EQ(110, dual.Meter().Pivot().x);
    EXPECT_EQ(100, dual.Meter().Pivot().y);
    EXPECT_EQ(110, dual.ArrowEnd().x);
    EXPECT_EQ(55, dual.ArrowEnd().y);
    EXPECT_TRUE(PixelNear(canvas.image, 110, 70, Color(255, 0, 255, 0), 0));

    state.SetAccent(3);
    dual.Draw(canvas.painter, 0, 0, 220, 110);
    EXPECT_EQ(4u, DistinctTics(dual.Meter()));
    state.SetAccent(accent);

    // The phase starts again: the arrow swings back from the right, and
    // rests at the left end while the output is stopped.
    second.value = 0.25f;
    dual.Draw(canvas.painter, 0, 0, 220, 110);
    EXPECT_GT(dual.ArrowEnd().x, 110);
    running = false;
    dual.Draw(canvas.painter, 0, 0, 220, 110);
    EXPECT_LT(dual.ArrowEnd().x, 80);
}

TEST_F(MeterVisTest, TheDualMeterDrawnAgainAfterAChangeOfAccentLooksAsAFreshOne)
{
    AppState& state = AppState::Instance();
    const int accent = state.GetAccent();
    Value main, second;
    // Stopped: needle and arrow at rest, so only the scale and tics can differ.
    DualAnalogVis kept(Case("Dual"), main.Source(), second.Source(), [] { return false; });
    kept.SetSize(220, 110);
    for (const int beats : {4, 4, 3, 6}) {
        state.SetAccent(beats);
        Canvas frame(220, 110);
        kept.Draw(frame.painter, 0, 0, 220, 110);
        DualAnalogVis fresh(Case("Dual"), main.Source(), second.Source(), [] { return false; });
        fresh.SetSize(220, 110);
        Canvas expected(220, 110);
        fresh.Draw(expected.painter, 0, 0, 220, 110);
        EXPECT_EQ(0, DifferingPixels(frame.image, expected.image)) << beats << " beats";
    }
    state.SetAccent(accent);
}

TEST_F(MeterVisTest, CountsOfZeroAreRefusedAtLoad)
{
    EXPECT_THROW(AnalogMeter(loader_, Case("TicCountZero"), position_.Source()), XMLLoadSave::XMLLoadSaveException);
    EXPECT_THROW(
        (MeterVis<CentsPolicy, LogMeter>(Case("LineCountZero"), position_.Source(), centre_.Source(), CentsPolicy())),
        XMLLoadSave::XMLLoadSaveException);
}

// A refresh asks to draw again only what the needle's move changes. The test
// keeps a "screen" that each frame draws into only where a refresh (or, in
// one step, something else) made it dirty; after every step it must look
// exactly like a fresh meter drawn whole.
TEST_F(MeterVisTest, ARefreshRedrawsOnlyWhereTheNeedleWasAndGoesAndTheScreenLooksAsAFreshMeter)
{
    const Vabo::Rect display{10, 10, 400, 200};
    const float none = std::numeric_limits<float>::quiet_NaN();
    enum Asked { Nothing, Needle, All };
    const struct {
        float position;
        float centre;
        Asked asked;
        // A frame drawn before the refresh, dirty there for another reason.
        Vabo::Rect between;
    } steps[] = {
        {0.5f, 440.0f, All, {}}, // the first refresh lays the meter out
        {0.5f, 440.0f, Nothing, {}},
        {0.52f, 440.0f, Needle, {}},
        {0.5201f, 440.0f, Nothing, {}}, // too little to move it a point
        {0.3f, 440.0f, Needle, {10, 60, 400, 20}}, // a strip through the needle showed it moved
        {0.3f, 440.0f, Nothing, {}},
        {0.35f, 440.0f, Needle, {}},
        {0.35f, 220.0f, All, {}}, // new labels
        {none, 220.0f, Needle, {}}, // the needle goes
        {none, 220.0f, Nothing, {}},
        {0.1f, 220.0f, Needle, {}}, // and comes back
    };
    SimpleMeterVis<CentsPolicy, AnalogMeter> meter(SkinMeter(), position_.Source(), centre_.Source(), SkinCents());
    meter.SetPosition(display.x, display.y);
    meter.SetSize(display.width, display.height);
    Canvas screen(420, 220);
    const auto frame = [&](const Vabo::Rect& dirty) {
        if (dirty.width <= 0)
            return;
        GdiplusGfxLayer::Region region;
        region.Union(dirty);
        screen.painter.SetClip(region);
        screen.painter.Clear();
        meter.DrawSelf(screen.painter);
        screen.painter.ResetClip();
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        std::tie(position_.value, centre_.value) = std::make_pair(steps[i].position, steps[i].centre);
        frame(steps[i].between);
        const Vabo::Rect dirty = meter.ChangedArea(display.x, display.y, display.width, display.height);
        frame(dirty);
        switch (steps[i].asked) {
        case Nothing:
            EXPECT_EQ(0, dirty.width * dirty.height) << "step " << i;
            break;
        case Needle:
            EXPECT_GT(dirty.width * dirty.height, 0) << "step " << i;
            EXPECT_LT(dirty.width * dirty.height, display.width * display.height / 3) << "step " << i;
            break;
        case All:
            EXPECT_EQ(display, dirty) << "step " << i;
            break;
        }

        Value position{position_.value}, centre{centre_.value};
        SimpleMeterVis<CentsPolicy, AnalogMeter> fresh(SkinMeter(), position.Source(), centre.Source(), SkinCents());
        fresh.SetPosition(display.x, display.y);
        fresh.SetSize(display.width, display.height);
        Canvas expected(420, 220);
        fresh.DrawSelf(expected.painter);
        EXPECT_EQ(0, DifferingPixels(screen.image, expected.image)) << "step " << i;
    }
}
