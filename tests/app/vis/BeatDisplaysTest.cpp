// The metronome's beat displays: the phases of beat and bar from the output's
// time, the gauge's and the markers' pixels, the tick strip, and the
// container built from the real skin cycling on clicks and keeping its choice.
#include "app/vis/BarVis.h"
#include "app/vis/BeatClock.h"
#include "app/vis/BeatVis.h"
#include "app/vis/MetronomeVis.h"
#include "app/vis/TimeVis.h"

#include "audio/AppState.h"
#include "framework/core/ObjectSignals.h"

#include "tests/app/vis/VisTestSupport.h"

#include <cmath>

namespace {

using namespace VisTest;

// Sets the tempo and beats per bar for a test and puts the old ones back.
class Tempo {
public:
    Tempo(int bpm, int beats)
        : bpm_(AppState::Instance().GetBpm())
        , beats_(AppState::Instance().GetAccent())
    {
        AppState::Instance().SetBpm(bpm);
        AppState::Instance().SetAccent(beats);
    }
    ~Tempo()
    {
        AppState::Instance().SetBpm(bpm_);
        AppState::Instance().SetAccent(beats_);
    }

private:
    int bpm_;
    int beats_;
};

struct FakeOutput {
    double seconds = 0.0;
    bool running = true;
    BeatClock Clock()
    {
        return BeatClock([this] { return seconds; }, [this] { return running; });
    }
};

TEST(BeatClock, BeatAndBarPhasesFollowThePlayedBeatAndRestAtOne)
{
    // A beat is as long as the samples the bar plays: 23197 at 114 bpm.
    EXPECT_DOUBLE_EQ(23197.0 / 44100.0, BeatClock::BeatPeriod(114));
    EXPECT_DOUBLE_EQ(0.5, BeatClock::BeatPeriod(120));
    EXPECT_DOUBLE_EQ(0.0, BeatClock::BeatPeriod(0));

    Tempo tempo(120, 4);
    FakeOutput output;
    const BeatClock clock = output.Clock();
    output.seconds = 1.25;
    EXPECT_FLOAT_EQ(0.5f, clock.BeatPhaseNow());
    // The bar counts from the accent, the last beat of the played bar.
    EXPECT_FLOAT_EQ(0.875f, clock.BarPhaseNow());
    EXPECT_FLOAT_EQ(0.875f, clock.BarPhaseAt(1.25f));

    // At 114 bpm the display keeps step with the sound: after 60 s of output
    // the beat starts where the 115th played beat starts.
    AppState::Instance().SetBpm(114);
    output.seconds = 115 * 23197 / 44100.0 + 1e-6;
    EXPECT_LT(clock.BeatPhaseNow(), 1e-4f);

    // A bar taken over while playing counts from where it was heard.
    EXPECT_DOUBLE_EQ(0.25, BeatClock::IntoBar(10.25, 10.0));
    EXPECT_DOUBLE_EQ(9.75, BeatClock::IntoBar(9.75, 10.0));

    output.seconds = 0.0;
    EXPECT_EQ(1.0f, clock.BeatPhaseNow());
    EXPECT_EQ(1.0f, clock.BarPhaseNow());
    output.seconds = 1.25;
    output.running = false;
    EXPECT_EQ(1.0f, clock.BeatPhaseNow());
    EXPECT_EQ(1.0f, clock.BarPhaseNow());

    // No tempo or no beats per bar: the resting phase, never NaN.
    output.running = true;
    AppState::Instance().SetBpm(0);
    EXPECT_EQ(1.0f, clock.BeatPhaseNow());
    EXPECT_EQ(1.0f, clock.BarPhaseNow());
    AppState::Instance().SetBpm(120);
    AppState::Instance().SetAccent(0);
    EXPECT_EQ(1.0f, clock.BarPhaseNow());
    EXPECT_FALSE(std::isnan(clock.BarPhaseAt(3.0f)));
}

class BeatDisplays : public SkinFixture {
protected:
    TiXmlElement* Display(const std::string& tag) { return Child(Skin("MetronomeVis.xml"), tag); }
};

// The height of the column of colour at x, counted up from the bottom.
int ColumnHeight(const GdiplusGfxLayer::Image& image, int x, int height)
{
    int inked = 0;
    for (int y = height - 1; y >= 0 && InkedPixels(image, {x, y, 1, 1}) == 1; --y)
        ++inked;
    return inked;
}

TEST_F(BeatDisplays, TheGaugeEmptiesItsColumnsWithTheBeatAndTheBar)
{
    Value beat, bar;
    beat.value = 0.5f;
    bar.value = 0.875f;
    BeatVis gauge(Display("BeatVis"), beat.Source(), bar.Source());
    Canvas canvas(100, 100);
    ASSERT_TRUE(gauge.Draw(canvas.painter, 0, 0, 100, 100));
    EXPECT_EQ(50, ColumnHeight(canvas.image, 30, 100));
    // 87.5 rounds to 88: twelve pixels are left.
    EXPECT_EQ(12, ColumnHeight(canvas.image, 70, 100));
    EXPECT_EQ(0, InkedPixels(canvas.image, {0, 0, 20, 100}));
    EXPECT_EQ(0, InkedPixels(canvas.image, {40, 0, 20, 100}));

    // At rest both columns keep one pixel; a gauge 4 wide draws nothing.
    beat.value = bar.value = 1.0f;
    Canvas resting(100, 100);
    gauge.Draw(resting.painter, 0, 0, 100, 100);
    EXPECT_EQ(1, ColumnHeight(resting.image, 30, 100));
    EXPECT_EQ(1, ColumnHeight(resting.image, 70, 100));
    Canvas narrow(4, 100);
    gauge.Draw(narrow.painter, 0, 0, 4, 100);
    EXPECT_EQ(0, InkedPixels(narrow.image, {0, 0, 4, 100}));
}

TEST_F(BeatDisplays, TheMarkersSweepEachHalfWithTheirPhase)
{
    Value beat, bar;
    beat.value = 0.5f;
    bar.value = 0.0f;
    BarVis markers(Display("BarVis"), beat.Source(), bar.Source());
    Canvas canvas(200, 100);
    ASSERT_TRUE(markers.Draw(canvas.painter, 0, 0, 200, 100));
    // Markers 8 wide: the beat's (half height) at 50 - 4 and 150 - 4, the
    // bar's (four fifths) at -4 and 96, the divider at 99..100.
    EXPECT_EQ(8 * 50, InkedPixels(canvas.image, {46, 25, 8, 50}));
    EXPECT_EQ(0, InkedPixels(canvas.image, {46, 0, 8, 25}));
    EXPECT_EQ(8 * 50, InkedPixels(canvas.image, {146, 25, 8, 50}));
    EXPECT_EQ(4 * 80, InkedPixels(canvas.image, {0, 10, 4, 80}));
    EXPECT_EQ(2 * 100, InkedPixels(canvas.image, {99, 0, 2, 100}));
    EXPECT_EQ(0, InkedPixels(canvas.image, {60, 0, 30, 100}));
}

TEST_F(BeatDisplays, TheStripTicksBeforeEachBeatAndStandsTallBeforeTheAccent)
{
    Tempo tempo(120, 4);
    FakeOutput output;
    const BeatClock clock = output.Clock();
    TimeVis strip(
        Display("TimeVis"), [&clock] { return clock.OutputSeconds(); },
        [&clock](float t) { return clock.BeatPhaseAt(t); }, [&clock](float t) { return clock.BarPhaseAt(t); });

    // 5 s around t = 10 s at two beats a second: ten ticks half a second
    // apart, each just before a beat, every fourth one tall. The bar's phase
    // passes 0.99 a fiftieth of its 2 s before the accent, so the tall ticks
    // stand 20 ms early.
    const std::vector<TimeVis::Tick> ticks = strip.Ticks(10.0f);
    ASSERT_EQ(10u, ticks.size());
    int tall = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (i > 0) {
            EXPECT_NEAR(500, ticks[i].column - ticks[i - 1].column, 16);
        }
        tall += ticks[i].accent ? 1 : 0;
        const double at = 10.0 + (ticks[i].column - TimeVis::Steps) * 0.001;
        const double early = ticks[i].accent ? 0.021 : 0.006;
        EXPECT_NEAR(0.0, std::remainder(at, 0.5), early) << at;
        if (ticks[i].accent) {
            EXPECT_NEAR(0.0, std::remainder(at + 0.5, 2.0), early) << at;
        }
    }
    EXPECT_EQ(2, tall);

    // Stopped, every phase rests at 1: no ticks, only the centre line.
    output.running = false;
    EXPECT_TRUE(strip.Ticks(10.0f).empty());
    output.seconds = 10.0;
    Canvas canvas(100, 50);
    strip.Draw(canvas.painter, 0, 0, 100, 50);
    EXPECT_EQ(0, InkedPixels(canvas.image, {0, 0, 48, 50}));
    EXPECT_GT(InkedPixels(canvas.image, {49, 0, 2, 50}), 50);
}

TEST_F(BeatDisplays, TheContainerCyclesGaugeMarkersAndBlankAndKeepsItsChoice)
{
    SettingsFolder settings;
    TiXmlElement* skin = Skin("MetronomeVis.xml");
    int first = -1;
    {
        MetronomeVis vis(skin);
        ASSERT_EQ(3u, vis.DisplayCount());
        first = vis.ShownIndex();
        Vabo::Signal::MouseClick click;
        for (int i = 0; i < 3; ++i)
            vis.NextChildSlot(&click, &vis);
        EXPECT_EQ(first, vis.ShownIndex());
        vis.NextChildSlot(&click, &vis);
    }
    MetronomeVis again(skin);
    EXPECT_EQ((first + 1) % 3, again.ShownIndex());
}

} // namespace
