// The metronome's beat displays: the phases of beat and bar from the output's
// time, the gauge's and the markers' pixels, the tick strip, and the
// container built from the real skin cycling on clicks and keeping its choice.
#include "app/vis/BarVis.h"
#include "app/vis/BeatClock.h"
#include "app/vis/BeatVis.h"
#include "app/vis/MetronomeVis.h"
#include "app/vis/TimeVis.h"

#include "audio/AppState.h"
#include "audio/LoopBuffer.h"
#include "framework/core/ObjectSignals.h"
#include "framework/drawing/Region.h"

#include "tests/app/vis/VisTestSupport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

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

// The loop buffer played as a stream plays it: asked for its frames a tenth
// of a second ahead of what is heard, in buffers of 512. What it gave is
// kept; a click is heard where its first sample lies in it.
struct LoopOutput {
    static constexpr std::size_t Ahead = 4410;
    static constexpr std::size_t Buffer = 512;
    // A click of constant loudness: the accent's is full scale.
    static ClickGenerator Click(float loudness)
    {
        return [loudness](std::vector<float>& click, int, float, int) {
            click.assign(200, loudness);
            return true;
        };
    }

    LoopOutput()
    {
        loop.Restart();
    }
    void Build(int bpm, int beats)
    {
        AppState::Instance().SetBpm(bpm);
        AppState::Instance().SetAccent(beats);
        ASSERT_TRUE(loop.BuildBeats(bpm, beats, Click(0.5f), Click(1.0f)));
    }
    void HearUpTo(std::size_t frame)
    {
        heard = frame;
        float out[Buffer];
        while (given.size() < heard + Ahead) {
            loop.PlayCallback(nullptr, out, Buffer, double(given.size()), nullptr);
            given.insert(given.end(), out, out + Buffer);
        }
    }
    BeatClock Clock()
    {
        return BeatClock([this] { return double(heard) / 44100.0; }, [] { return true; },
                         [this](double frame, LoopBuffer::Played& played) { return loop.PlayedAt(frame, played); });
    }
    struct Onset {
        std::size_t at;
        bool accent;
    };
    std::vector<Onset> Clicks(std::size_t upTo) const
    {
        std::vector<Onset> clicks;
        for (std::size_t i = 0; i < upTo && i < given.size(); ++i)
            if (given[i] != 0.0f && (i == 0 || given[i - 1] == 0.0f))
                clicks.push_back({i, given[i] == 1.0f});
        return clicks;
    }

    LoopBuffer& loop = LoopBuffer::Instance();
    std::vector<float> given;
    std::size_t heard = 0;
};

// A tempo, accent or preset changed while playing is heard from the next
// beat of the bar that plays, and the displays follow what is heard: drawn
// every 10 ms, each beat and each bar they start (the beat's or the bar's
// phase starting again) starts within that frame of a heard click (an
// accented one for a bar), and every click heard starts one.
TEST(BeatClock, AfterAChangeWhilePlayingTheBeatsShownAreTheBeatsHeard)
{
    Tempo tempo(120, 4);
    struct Change {
        double at; // seconds heard
        int bpm;
        int beats;
    };
    const struct {
        const char* name;
        int bpm;
        int beats;
        std::vector<Change> changes;
    } cases[] = {
        {"tempo up", 100, 4, {{1.3, 130, 4}}},
        {"tempo down", 130, 4, {{1.3, 100, 4}}},
        {"slow to fast", 30, 4, {{1.3, 120, 4}}},
        {"very slow to very fast", 20, 4, {{1.3, 200, 4}}},
        {"fast to slow", 240, 4, {{1.1, 40, 4}}},
        {"accent", 100, 4, {{1.0, 100, 3}}},
        {"preset", 90, 4, {{1.0, 150, 6}}},
        {"in the bar's last beat", 60, 4, {{3.5, 90, 2}}},
        {"two changes within one bar", 60, 4, {{0.5, 120, 3}, {1.2, 200, 5}}},
        {"two changes within the sound queued ahead", 1000, 4, {{0.305, 600, 3}, {0.33, 1200, 2}}},
    };
    constexpr std::size_t Frame = 441;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LoopOutput output;
        output.Build(c.bpm, c.beats);
        const BeatClock clock = output.Clock();
        std::vector<std::size_t> beatsShown, barsShown;
        // When the next beat was due, as the clock foresaw it at each frame.
        std::vector<std::pair<std::size_t, double>> nextBeats;
        float beat = 1.0f, bar = 1.0f;
        std::size_t next = 0;
        const std::size_t end = 8 * 44100;
        for (std::size_t heard = 0; heard <= end; heard += Frame) {
            if (next < c.changes.size() && heard >= std::size_t(c.changes[next].at * 44100)) {
                output.Build(c.changes[next].bpm, c.changes[next].beats);
                ++next;
            }
            output.HearUpTo(heard);
            const float beatNow = clock.BeatPhaseNow();
            const float barNow = clock.BarPhaseNow();
            // A phase that starts again, from rest or from the end of its
            // period, to within a frame of its start. (A bar taken over at a
            // beat of the old one carries the bar's phase on from there.)
            LoopBuffer::Played played;
            ASSERT_TRUE(output.loop.PlayedAt(double(heard), played));
            if (beatNow < beat && beatNow * float(played.beat) <= float(Frame) + 0.5f)
                beatsShown.push_back(heard);
            if (barNow < bar && barNow * float(played.bar) <= float(Frame) + 0.5f && bar < 1.0f)
                barsShown.push_back(heard);
            beat = beatNow;
            bar = barNow;
            if (heard > 0)
                nextBeats.push_back({heard, double(heard) + clock.ToNextBeat() * 44100.0});
        }
        const std::vector<LoopOutput::Onset> clicks = output.Clicks(end + 1);
        ASSERT_GE(clicks.size(), 4u);
        const auto check = [&](const std::vector<std::size_t>& shown, bool accents, const char* what) {
            for (std::size_t at : shown)
                EXPECT_TRUE(std::any_of(clicks.begin(), clicks.end(),
                                        [&](const LoopOutput::Onset& click) {
                                            return (click.accent || !accents) && click.at <= at
                                                && at - click.at <= Frame;
                                        }))
                    << what << " shown at " << double(at) / 44.1 << " ms, by no click";
            for (const LoopOutput::Onset& click : clicks) {
                // The bar's phase leaves its rest with the stream, not at an accent.
                if ((accents && (!click.accent || click.at == 0)) || click.at + Frame > end)
                    continue;
                EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                                        [&](std::size_t at) { return click.at <= at && at - click.at <= Frame; }))
                    << what << " heard at " << double(click.at) / 44.1 << " ms, not shown";
            }
        };
        check(beatsShown, false, "a beat");
        check(barsShown, true, "a bar");
        for (const auto& [at, due] : nextBeats) {
            const auto next = std::find_if(clicks.begin(), clicks.end(),
                                           [at = at](const LoopOutput::Onset& click) { return click.at > at; });
            if (next != clicks.end()) {
                EXPECT_NEAR(double(next->at), due, 1.0) << "foreseen at " << double(at) / 44.1 << " ms";
            }
        }
    }
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

// Pixels that differ between two pictures of one size.
int DifferingPixels(const GdiplusGfxLayer::Image& one, const GdiplusGfxLayer::Image& other)
{
    int count = 0;
    for (int y = 0; y < one.GetHeight(); ++y)
        for (int x = 0; x < one.GetWidth(); ++x)
            count += !(one.GetPixel(x, y) == other.GetPixel(x, y));
    return count;
}

// A refresh asks the gauge to draw again only the rows its columns' tops
// passed, and the markers only where they were and go: nothing while they
// stand. After every step, whatever came between (a frame over part of the
// display for another reason, phases that moved on between a refresh and its
// frame, a larger display), the screen is a fresh display drawn whole.
TEST_F(BeatDisplays, ARefreshRedrawsOnlyWhereThePartsMovedAndTheScreenLooksAsAFreshDisplay)
{
    const float same = std::numeric_limits<float>::quiet_NaN();
    constexpr int All = -1;
    const struct {
        float beat;
        float bar;
        // A frame drawn before the refresh, dirty there for another reason.
        Vabo::Rect between;
        // The beat the refresh's frame finds, when it moved on since.
        float beatAtFrame;
        int height;
        // The gauge's rows asked for, both columns (each 80 wide); All: the
        // whole display.
        int gaugeRows;
    } steps[] = {
        {0.1f, 0.3f, {}, same, 160, All}, // never drawn
        {0.1f, 0.3f, {}, same, 160, 0},
        {0.2f, 0.32f, {}, same, 160, 17 + 4}, // tops 16 to 32, 48 to 51
        {0.2001f, 0.3201f, {}, same, 160, 0}, // too little to move a row
        {0.3f, 0.35f, {}, 0.45f, 160, 17 + 6}, // drawn further on than found
        {0.45f, 0.35f, {}, same, 160, 25}, // the rows it passed meanwhile
        {0.6f, 0.4f, {10, 100, 400, 20}, same, 160, 25 + 9}, // a strip showed the new phases
        {0.6f, 0.4f, {}, same, 160, 0},
        {0.05f, 0.45f, {}, same, 160, 89 + 9}, // the next beat fills the column
        {0.15f, 0.0f, {}, same, 160, 17 + 73}, // the next bar
        {0.9f, 0.8f, {}, same, 170, All}, // a larger display
        {1.0f, 1.0f, {}, same, 170, 17 + 34}, // stopped
    };
    Value beat, bar;
    TiXmlElement* gauge = Display("BeatVis");
    TiXmlElement* markers = Display("BarVis");
    const struct {
        const char* what;
        std::function<std::unique_ptr<BeatVis>(Value&, Value&)> make;
        bool columns;
    } displays[] = {
        {"gauge", [&](Value& b, Value& r) { return std::make_unique<BeatVis>(gauge, b.Source(), r.Source()); },
         true},
        {"markers", [&](Value& b, Value& r) { return std::make_unique<BarVis>(markers, b.Source(), r.Source()); },
         false},
    };
    for (const auto& d : displays) {
        const std::unique_ptr<BeatVis> display = d.make(beat, bar);
        display->SetPosition(10, 10);
        Canvas screen(420, 190);
        const auto frame = [&](const std::vector<Vabo::Rect>& dirty) {
            GdiplusGfxLayer::Region region;
            for (const Vabo::Rect& part : dirty)
                region.Union(part);
            if (region.IsEmpty())
                return;
            screen.painter.SetClip(region);
            screen.painter.Clear();
            display->DrawSelf(screen.painter);
            screen.painter.ResetClip();
        };
        for (std::size_t i = 0; i < std::size(steps); ++i) {
            const auto& step = steps[i];
            const Vabo::Rect whole{10, 10, 400, step.height};
            display->SetSize(whole.width, whole.height);
            beat.value = step.beat;
            bar.value = step.bar;
            frame({step.between});
            const std::vector<Vabo::Rect> dirty = display->ChangedAreas(whole.x, whole.y, whole.width, whole.height);
            if (!std::isnan(step.beatAtFrame))
                beat.value = step.beatAtFrame;
            frame(dirty);
            int area = 0;
            for (const Vabo::Rect& part : dirty)
                area += part.width * part.height;
            if (step.gaugeRows == All) {
                ASSERT_EQ(1u, dirty.size()) << d.what << ", step " << i;
                EXPECT_TRUE(dirty.front() == whole) << d.what << ", step " << i;
            } else if (d.columns || step.gaugeRows == 0) {
                EXPECT_EQ(step.gaugeRows * 80, area) << d.what << ", step " << i;
            } else {
                // The markers are broad, and a new bar moves them far.
                EXPECT_GT(area, 0) << d.what << ", step " << i;
                EXPECT_LT(area, whole.width * whole.height * 3 / 4) << d.what << ", step " << i;
            }
            // A frame that drew newer phases than its refresh found drew
            // them only where it was asked to: the next refresh completes it.
            if (!std::isnan(step.beatAtFrame))
                continue;

            Value freshBeat{beat.value}, freshBar{bar.value};
            const std::unique_ptr<BeatVis> fresh = d.make(freshBeat, freshBar);
            fresh->SetPosition(whole.x, whole.y);
            fresh->SetSize(whole.width, whole.height);
            Canvas expected(420, 190);
            fresh->DrawSelf(expected.painter);
            EXPECT_EQ(0, DifferingPixels(screen.image, expected.image)) << d.what << ", step " << i;
        }
    }
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
