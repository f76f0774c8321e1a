// The sliding note scale (phase, line styles, note lines and their names)
// and the level bar's pixels.
#include "app/vis/GradientVis.h"
#include "app/vis/SlidingMeterVis.h"

#include "audio/AppState.h"
#include "audio/NoteStore.h"

#include "tests/app/vis/VisTestSupport.h"
#include "tests/framework/drawing/PixelExpect.h"

#include <gtest/gtest.h>

#include <iterator>
#include <limits>

using GdiplusGfxLayer::Color;
using VisTest::Canvas;
using VisTest::Value;

namespace {

class SlidingMeterTest : public VisTest::SkinFixture {
protected:
    void SetUp() override
    {
        TiXmlDocument document;
        document.Parse("<NoteStore><Note Name=\"G#4\" Frequency=\"415.3\"/><Note Name=\"A4\" Frequency=\"440\"/>"
                       "<Note Name=\"A#4\" Frequency=\"466.16\"/></NoteStore>");
        AppState::Instance().BuildNotes(NoteStore(document.RootElement()));
    }
    void TearDown() override { AppState::Instance().BuildNotes(NoteStore()); }

    Value frequency_;
    Value unused_;
};

} // namespace

TEST(SlidingMeterVis, PhaseRunsFromTheNoteBelowToTheNoteAndOnToTheNoteAbove)
{
    EXPECT_FLOAT_EQ(0.5f, SlidingMeterVis::Phase(430.0f, 420.0f, 440.0f, 460.0f));
    EXPECT_FLOAT_EQ(1.0f, SlidingMeterVis::Phase(440.0f, 420.0f, 440.0f, 460.0f));
    EXPECT_FLOAT_EQ(0.25f, SlidingMeterVis::Phase(445.0f, 420.0f, 440.0f, 460.0f));
    EXPECT_EQ(0.0f, SlidingMeterVis::Phase(460.0f, 420.0f, 440.0f, 460.0f));
    EXPECT_EQ(0.0f, SlidingMeterVis::Phase(410.0f, 420.0f, 440.0f, 460.0f));
    EXPECT_EQ(0.0f, SlidingMeterVis::Phase(470.0f, 420.0f, 440.0f, 460.0f));
    // At either end of the table the neighbour is the note itself.
    EXPECT_EQ(0.0f, SlidingMeterVis::Phase(445.0f, 440.0f, 440.0f, 460.0f));
    EXPECT_EQ(0.0f, SlidingMeterVis::Phase(std::numeric_limits<float>::quiet_NaN(), 420.0f, 440.0f, 460.0f));
}

TEST_F(SlidingMeterTest, NoteLinesCarryTheNearestNoteAndItsNeighbours)
{
    SlidingMeterVis meter(Case("Sliding"), frequency_.Source(), unused_.Source());
    Canvas canvas(200, 80);
    frequency_.value = 440.0f;
    ASSERT_TRUE(meter.Draw(canvas.painter, 0, 0, 200, 80));
    // Label band of 20; lines 1 to 5 pixels wide; the scale (5, 25, 190, 50).
    EXPECT_FLOAT_EQ(5.0f, meter.ScaleArea().x);
    EXPECT_FLOAT_EQ(25.0f, meter.ScaleArea().y);
    EXPECT_FLOAT_EQ(190.0f, meter.ScaleArea().width);
    EXPECT_FLOAT_EQ(50.0f, meter.ScaleArea().height);
    EXPECT_FLOAT_EQ(5.0f, meter.CentreLineWidth());
    EXPECT_FLOAT_EQ(1.0f, meter.EdgeLineWidth());
    // 2L + 1 = 5 lines per note: the note line, then rising and falling.
    const auto& styles = meter.Styles();
    ASSERT_EQ(5u, styles.size());
    EXPECT_EQ(25, styles[0].top);
    EXPECT_EQ(75, styles[0].bottom);
    EXPECT_EQ(styles[1].top, styles[4].top);
    EXPECT_EQ(styles[2].top, styles[3].top);
    EXPECT_EQ(Color(255, 255, 0, 0), styles[0].color);
    EXPECT_EQ(Color(255, 0, 0, 255), styles[1].color);

    // On the note (phase 1 with an even note count) the scale stands as at
    // phase 0: note lines at the left edge, the centre and the right edge.
    const auto& labels = meter.NoteLabels();
    ASSERT_EQ(3u, labels.size());
    EXPECT_EQ(5, labels[0].first);
    EXPECT_EQ("G#4", labels[0].second);
    EXPECT_EQ(100, labels[1].first);
    EXPECT_EQ("A4", labels[1].second);
    EXPECT_EQ(195, labels[2].first);
    EXPECT_EQ("A#4", labels[2].second);
    EXPECT_TRUE(PixelNear(canvas.image, 100, 50, Color(255, 255, 0, 0), 0));
    EXPECT_TRUE(PixelNear(canvas.image, 100, 22, Color(255, 0, 0, 0), 0));
    int nameInk = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 85; x < 115; ++x)
            nameInk += canvas.image.GetPixel(x, y).GetRed() > 128;
    EXPECT_GT(nameInk, 10);

    // Going up towards A#4 the lines move left: A4's line leaves the centre.
    frequency_.value = 450.0f;
    Canvas moved(200, 80);
    meter.Draw(moved.painter, 0, 0, 200, 80);
    ASSERT_EQ(2u, meter.NoteLabels().size());
    EXPECT_EQ(63, meter.NoteLabels()[0].first);
    EXPECT_EQ("A4", meter.NoteLabels()[0].second);
    EXPECT_EQ(158, meter.NoteLabels()[1].first);
    EXPECT_EQ("A#4", meter.NoteLabels()[1].second);
    EXPECT_FLOAT_EQ(450.0f, meter.LastFrequency());
}

TEST_F(SlidingMeterTest, CountsOfZeroAreRefusedAtLoad)
{
    EXPECT_THROW(SlidingMeterVis(Case("SlidingNoteCountZero"), frequency_.Source(), unused_.Source()),
                 XMLLoadSave::XMLLoadSaveException);
    EXPECT_THROW(SlidingMeterVis(Case("SlidingLineCountZero"), frequency_.Source(), unused_.Source()),
                 XMLLoadSave::XMLLoadSaveException);
}

TEST_F(SlidingMeterTest, LevelBarGrowsBetweenItsEdgeLinesAndIsEmptyInSilence)
{
    Value level;
    GradientVis bar(Skin("ThresholdVis.xml"), level.Source());
    const Color low(255, 56, 189, 248);
    const Color high(255, 52, 211, 153);
    level.value = 0.5f;
    Canvas canvas(100, 10);
    ASSERT_TRUE(bar.Draw(canvas.painter, 0, 0, 100, 10));
    EXPECT_TRUE(PixelNear(canvas.image, 0, 5, low, 6));
    EXPECT_GT(canvas.image.GetPixel(49, 5).GetAlpha(), 250);
    EXPECT_EQ(0, canvas.image.GetPixel(50, 5).GetAlpha());
    EXPECT_TRUE(PixelNear(canvas.image, 80, 0, high, 0));
    EXPECT_TRUE(PixelNear(canvas.image, 80, 9, high, 0));

    level.value = -std::numeric_limits<float>::infinity();
    Canvas silent(100, 10);
    bar.Draw(silent.painter, 0, 0, 100, 10);
    EXPECT_EQ(0, VisTest::InkedPixels(silent.image, {0, 1, 100, 8}));

    EXPECT_THROW(GradientVis(Case("ThresholdWithoutHigh"), level.Source()), XMLLoadSave::XMLLoadSaveException);
}

// The level bar is drawn again at a refresh only when its length changed.
TEST_F(SlidingMeterTest, ARefreshRedrawsTheLevelBarOnlyWhenItsLengthChanged)
{
    VisTest::Value level;
    GradientVis bar(Skin("ThresholdVis.xml"), level.Source());
    bar.SetPosition(5, 5);
    bar.SetSize(100, 10);
    const Vabo::Rect whole{5, 5, 100, 10};
    const struct {
        float level;
        bool drawn; // a frame follows the refresh
        Vabo::Rect asked;
    } steps[] = {
        {0.5f, true, whole}, // never drawn
        {0.5f, true, {}},
        {0.502f, true, {}}, // the same pixel
        {0.7f, false, whole},
        {0.5f, true, {}}, // the screen still shows 0.5 (the frame asked for draws it)
        {0.5f, true, {}},
        {-1.0f, true, whole}, // silence
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        level.value = steps[i].level;
        const Vabo::Rect asked = bar.ChangedArea(5, 5, 100, 10);
        EXPECT_TRUE(asked == steps[i].asked) << "step " << i << ": " << asked.width << " x " << asked.height;
        if (steps[i].drawn) {
            VisTest::Canvas canvas(110, 20);
            bar.DrawSelf(canvas.painter);
        }
    }
}
