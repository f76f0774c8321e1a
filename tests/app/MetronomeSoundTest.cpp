// What the metronome screen sounds like, heard back from the test sound
// server's sink: the beat's spacing and accent at 114 bpm over a minute, a
// tempo change while playing, the recording played back as "SAMPLE", and the
// first click of a PLAY (and the tuner's reference tone) heard whole.
#include "app/MetronomeLayout.h"
#include "app/TunerLayout.h"

#include "AppTestSupport.h"
#include "audio/AppState.h"
#include "audio/AudioDevice.h"
#include "audio/LoopBuffer.h"
#include "audio/PitchTracker.h"
#include "audio/RecordBuffer.h"
#include "audio/SoundRig.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/host/AppWindow.h"
#include "framework/widgets/EditBoxSignal.h"
#include "framework/widgets/EditBox.h"
#include "framework/widgets/ToggleButton.h"
#include "support/ClickOnsets.h"
#include "support/HeardStart.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using TestSupport::ClickOnsets;

// Where the sound heard ends: one past its last sample that is not silence.
std::size_t SoundEnd(const std::vector<float>& heard)
{
    std::size_t end = heard.size();
    while (end > 0 && std::fabs(heard[end - 1]) <= 1e-4f)
        --end;
    return end;
}

class MetronomeSound : public AppTest::ScreenFixture {
protected:
    void SetUp() override
    {
        AppTest::ScreenFixture::SetUp();
        MetronomeLayout::SetMessage([this](const std::string& text) { messages_.push_back(text); });
        window_ = AppTest::OpenMainWindow(loader_);
        metronome_ = Vabo::GetXMLObject<MetronomeLayout>(window_.get(), "MetronomeLayout");
        ASSERT_NE(nullptr, metronome_);
    }

    void TearDown() override
    {
        // Closed, so that later tests find the output as a fresh program does.
        AudioDevice::Instance().StopOutput();
        AudioDevice::Instance().Output().Close();
        AudioDevice::Instance().StopInput();
        window_.reset();
        MetronomeLayout::SetMessage({});
        AppTest::ScreenFixture::TearDown();
    }

    // A press of the toggle as the user makes it: its own slot flips the
    // state, then the skin's slot runs.
    void Press(const std::string& name)
    {
        auto* toggle = Vabo::GetXMLObject<Vabo::ToggleButton>(metronome_, name);
        Vabo::Signal::Activate activate;
        toggle->InvokeSlots(&activate, toggle, window_.get());
    }

    double OutputSeconds() { return AudioDevice::Instance().Output().StreamTime() / 44100.0; }

    void WaitForOutput(double seconds)
    {
        ASSERT_TRUE(SoundRig::WaitFor([&] { return OutputSeconds() >= seconds; }, int(seconds * 1000) + 5000));
    }

    MetronomeLayout* metronome_ = nullptr;
    std::vector<std::string> messages_;
};

TEST_F(MetronomeSound, At114BpmTheClicksAre23197SamplesApartWithEveryFourthTheAccentAndNoDrift)
{
    Press("Play");
    ASSERT_TRUE(metronome_->IsPlayActive()) << (messages_.empty() ? "" : messages_.front());
    const std::vector<float> heard = SoundRig::Record(61.0);
    ASSERT_GT(heard.size(), 60u * 44100u);
    const std::vector<std::size_t> onsets = ClickOnsets(heard);
    ASSERT_GE(onsets.size(), 110u) << "a minute at 114 bpm";

    const double beat = 23197.0;
    const double ms = 44.1;
    double worstStep = 0.0;
    double worstDrift = 0.0;
    for (std::size_t k = 1; k < onsets.size(); ++k) {
        worstStep = std::max(worstStep, std::fabs(double(onsets[k] - onsets[k - 1]) - beat));
        worstDrift = std::max(worstDrift, std::fabs(double(onsets[k] - onsets[0]) - k * beat));
    }
    EXPECT_LE(worstStep, ms) << "samples off 23197 at worst";
    EXPECT_LE(worstDrift, ms) << "samples off the grid after " << onsets.size() << " beats";
    std::printf("onsets %zu, worst step %.1f samples, worst drift %.1f samples over %.1f s\n", onsets.size(), worstStep,
                worstDrift, double(onsets.back() - onsets.front()) / 44100.0);

    // The accent sounds an octave above the plain click, every fourth beat.
    std::vector<bool> accents;
    for (std::size_t onset : onsets) {
        if (onset + 4000 > heard.size())
            break;
        accents.push_back(SoundRig::ZeroCrossingFrequency(heard, onset, onset + 4000) > 660.0);
    }
    std::size_t first = 0;
    while (first < accents.size() && !accents[first])
        ++first;
    ASSERT_LT(first, 4u);
    for (std::size_t k = first; k < accents.size(); ++k)
        EXPECT_EQ((k - first) % 4 == 0, bool(accents[k])) << "beat " << k;
}

TEST_F(MetronomeSound, ATempoTypedWhilePlayingIsHeardWithinOneBeat)
{
    Press("Play");
    WaitForOutput(0.2);
    auto recording = std::async(std::launch::async, [] { return SoundRig::Record(5.0); });
    // Two beats and more at 114 bpm, then 120.
    ASSERT_TRUE(SoundRig::WaitFor([&] { return OutputSeconds() >= 2.5; }, 10000));
    Vabo::Signal::EditBoxSignal entered("120");
    Vabo::GetXMLObject<Vabo::EditBox>(metronome_, "DesiredBpm")->SendToSelf(&entered);
    const std::vector<float> heard = recording.get();
    const std::vector<std::size_t> onsets = ClickOnsets(heard);
    ASSERT_GE(onsets.size(), 6u);
    // Plain beats of 23197, the last of them played out whole, then the new
    // bar's beats 22050 apart: no shorter step (a doubled click).
    std::size_t change = 1;
    while (change < onsets.size() && std::fabs(double(onsets[change] - onsets[change - 1]) - 23197.0) <= 44.1)
        ++change;
    ASSERT_LT(change + 2, onsets.size());
    for (std::size_t k = change; k < onsets.size(); ++k)
        EXPECT_NEAR(22050.0, double(onsets[k] - onsets[k - 1]), 44.1) << "beat " << k;
}

TEST_F(MetronomeSound, WhatWasRecordedPlaysBackAsSample)
{
    // The recording hears the sink, where the tone clicks sound once the
    // output runs.
    Press("Play");
    WaitForOutput(0.2);
    Press("Record");
    ASSERT_TRUE(SoundRig::WaitFor([] { return RecordBuffer::Instance().SampleCount() >= 3u * 44100u; }, 15000));
    Press("Record");
    Press("Play");
    const std::size_t recorded = RecordBuffer::Instance().SampleCount();

    ASSERT_TRUE(metronome_->SelectOutput("SAMPLE"));
    Press("Play");
    ASSERT_TRUE(metronome_->IsPlayActive());
    const std::vector<float> heard = SoundRig::Record(3.0);
    const std::vector<std::size_t> onsets = ClickOnsets(heard);
    ASSERT_GE(onsets.size(), 3u) << "clicks from a recording of " << recorded << " samples";
    const double hz = SoundRig::MedianCrossingFrequency(heard, onsets[1], onsets[1] + 4000);
    EXPECT_TRUE(std::fabs(hz - 440.0) < 20.0 || std::fabs(hz - 880.0) < 40.0) << hz;
}

TEST_F(MetronomeSound, TheSwitchStopsTheOutputResetsPlayAndRecordAndGivesTheCaptureBackToTheAnalysis)
{
    AudioDevice& device = AudioDevice::Instance();
    RecordBuffer& recording = RecordBuffer::Instance();
    Press("Play");
    Press("Record");
    ASSERT_TRUE(SoundRig::WaitFor([&] { return recording.SampleCount() > 0u; }, SoundRig::CaptureStartMs));

    metronome_->SwitchClickedSlot(nullptr, nullptr);
    EXPECT_FALSE(device.Output().IsActive());
    EXPECT_FALSE(metronome_->IsPlayActive());
    EXPECT_EQ(0, Vabo::GetXMLObject<Vabo::ToggleButton>(metronome_, "Record")->GetState());
    ASSERT_TRUE(device.Input().IsActive());
    // The analysis hears window after window while the recording grows no more.
    const std::size_t recorded = recording.SampleCount();
    PitchTracker& tracker = PitchTracker::Instance();
    for (int window = 0; window < 3; ++window) {
        tracker.GetFrequency();
        ASSERT_TRUE(SoundRig::WaitFor([&] { return tracker.HasNewWindow(); }, SoundRig::CaptureStartMs)) << window;
    }
    EXPECT_EQ(recorded, recording.SampleCount());
}

TEST_F(MetronomeSound, ARecordingAtItsLimitStopsKeepsWhatItHoldsAndSaysWhy)
{
    AudioDevice& device = AudioDevice::Instance();
    RecordBuffer& recording = RecordBuffer::Instance();
    // Half a second stands for the ten minutes a recording keeps.
    const std::size_t limit = 44100 / 2;
    recording.SetLimit(limit);
    Press("Record");
    auto* record = Vabo::GetXMLObject<Vabo::ToggleButton>(metronome_, "Record");
    ASSERT_EQ(1, record->GetState());
    const bool reset = AppTest::PumpUntil([&] { return record->GetState() == 0; }, SoundRig::CaptureStartMs + 2000);
    recording.SetLimit(RecordBuffer::MaxSamples);
    EXPECT_TRUE(reset);
    EXPECT_FALSE(device.Input().IsActive()) << "stopped as RECORD stops it";
    EXPECT_LE(recording.SampleCount(), limit);
    EXPECT_GT(recording.SampleCount(), limit - AudioDevice::CaptureFrames) << "what was recorded stays";
    ASSERT_EQ(1u, messages_.size());
    EXPECT_NE(std::string::npos, messages_[0].find("limit of ten minutes")) << messages_[0];
}

TEST_F(MetronomeSound, ARecordingThatCannotStartResetsRecordAndSaysWhy)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    // The tuner's capture is closed first: a stream is not closed while its server is away.
    device.StopInput();
    device.Input().Close();
    ASSERT_TRUE(SoundRig::StopServer());
    Press("Record");
    const int state = Vabo::GetXMLObject<Vabo::ToggleButton>(metronome_, "Record")->GetState();
    const bool capturing = device.Input().IsActive();
    ASSERT_TRUE(SoundRig::StartServer());
    // Capture as the program had it, for the tests after this one.
    EXPECT_EQ(0, device.RestartCapture());
    EXPECT_EQ(0, state);
    EXPECT_FALSE(capturing);
    ASSERT_EQ(1u, messages_.size());
    EXPECT_EQ("Could not open input device! Stop other applications using your sound port", messages_[0]);
}

TEST_F(MetronomeSound, ASoundServerThatGoesAwayStopsPlayAndSaysSo)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    Vabo::Signal::Activate show;
    metronome_->SlotShow(&show, metronome_);
    Press("Play");
    WaitForOutput(0.2);
    ASSERT_TRUE(SoundRig::StopServer());
    const bool reset = AppTest::PumpUntil([&] { return !metronome_->IsPlayActive(); }, 10000);
    ASSERT_TRUE(SoundRig::StartServer());
    EXPECT_TRUE(reset);
    ASSERT_EQ(1u, messages_.size());
    EXPECT_NE(std::string::npos, messages_[0].find("sound output was lost")) << messages_[0];
}

// A sound server makes a new stream heard at once by mixing again what it
// had mixed ahead; what had already left for the sink's monitor (which the
// rig records) stays, and a stream whose sound began at its first frame was
// heard from some way in. Every start of the output, each kind of click,
// bars longer and shorter than a host buffer, and the tuner's reference
// tone: the first sound heard is the sound from its first sample, with no
// step, and as loud as it is later on.
TEST_F(MetronomeSound, EveryStartOfTheOutputIsHeardWholeFromItsFirstSample)
{
    const auto choose = [this](const char* output, int bpm, const char* accent) {
        return [this, output, bpm, accent] {
            metronome_->SetTempo(bpm);
            metronome_->SelectAccent(accent);
            metronome_->SelectOutput(output);
        };
    };
    const auto play = [this] { Press("Play"); };
    auto* tuner = Vabo::GetXMLObject<TunerLayout>(window_.get(), "TunerLayout");
    ASSERT_NE(nullptr, tuner);
    const struct {
        const char* name;
        std::function<void()> before; // ahead of the recording
        std::function<void()> start;
        bool tone;
    } cases[] = {
        {"TONE, first PLAY", choose("TONE", 114, "ACCENT: 4"), play, false},
        {"WOOD", choose("WOOD", 114, "ACCENT: 4"), play, false},
        {"CLAVE", choose("CLAVE", 114, "ACCENT: 4"), play, false},
        {"BEEP", choose("BEEP", 114, "ACCENT: 4"), play, false},
        {"TONE, PLAY after STOP",
         [&] {
             choose("TONE", 114, "ACCENT: 4")();
             Press("Play");
             WaitForOutput(0.3);
             Press("Play");
         },
         play, false},
        {"TONE chosen while an empty SAMPLE plays (a new stream)",
         [&] {
             RecordBuffer::Instance().Clear();
             choose("SAMPLE", 114, "ACCENT: 4")();
             Press("Play");
             WaitForOutput(0.3);
         },
         [this] { metronome_->SelectOutput("TONE"); }, false},
        {"TONE at 50 bpm, a beat a bar", choose("TONE", 50, "ACCENT: 1"), play, false},
        {"TONE at 5000 bpm, a bar shorter than a host buffer", choose("TONE", 5000, "ACCENT: 2"), play, false},
        {"WOOD at 5000 bpm", choose("WOOD", 5000, "ACCENT: 2"), play, false},
        {"the tuner's reference tone", [] {}, [tuner] { EXPECT_EQ(0, tuner->Play(true)); }, true},
    };
    // The recording is taken from a silence before the sound starts (what
    // played before may still end as it begins), and holds the sound as far
    // as it is measured.
    const auto silentAtItsEnd = [](const std::vector<float>& x) {
        return x.size() >= 4410 && SoundEnd(x) + 4410 <= x.size();
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.before();
        SoundRig::Recorder recorder;
        ASSERT_TRUE(recorder.WaitUntilRecording());
        std::size_t silentFrom = 0;
        ASSERT_TRUE(AppTest::PumpUntil([&] {
            const std::vector<float> x = recorder.SoFar();
            silentFrom = x.size() - std::min<std::size_t>(x.size(), 4410);
            return silentAtItsEnd(x);
        })) << "what played before is still heard";
        c.start();
        const std::vector<float> played = LoopBuffer::Instance().Samples();
        ASSERT_FALSE(played.empty());
        // Heard again half a second into a tone, or whole bars on.
        const std::size_t size = played.size();
        const std::size_t later = c.tone ? 22050 : (22050 + size - 1) / size * size;
        WaitForOutput(double(later + 4096) / 44100.0 + 0.3);
        EXPECT_TRUE(SoundRig::WaitFor(
            [&] {
                const std::vector<float> x = recorder.SoFar();
                const auto begin =
                    std::find_if(x.begin() + long(silentFrom), x.end(), [](float v) { return std::fabs(v) > 1e-4f; });
                return std::size_t(x.end() - begin) > later + 4096 + 4410;
            },
            5000))
            << "the recording does not reach as far as measured";
        std::vector<float> heard = recorder.Stop();
        heard.erase(heard.begin(), heard.begin() + long(silentFrom));
        if (metronome_->IsPlayActive())
            Press("Play");
        tuner->Play(false);

        const TestSupport::HeardStart start = TestSupport::MeasureHeardStart(heard, played, later);
        ASSERT_TRUE(start.found) << heard.size() << " samples heard";
        std::printf("%-52s %4zu samples missing, first %+.4f (whole %+.4f), worst %.3f, peak %5.1f dB, later "
                    "%5.1f dB\n",
                    c.name, start.missing, start.first, start.whole, start.worstError, start.firstPeakDb,
                    start.laterPeakDb);
        EXPECT_LE(start.missing, 4u);
        EXPECT_LT(start.worstError, 0.02) << "first sample " << start.first << ", whole " << start.whole;
        EXPECT_NEAR(start.laterPeakDb, start.firstPeakDb, 0.5);
    }
}

} // namespace

// A stop in the middle of a sound ends it on silence (a sound cut where it
// stands is heard as a click), and a new reference frequency is taken over
// by the tone that plays, without a break between the two.
TEST_F(MetronomeSound, EveryStopEndsOnSilenceAndARetunedTonePlaysOnWithoutABreak)
{
    auto* tuner = Vabo::GetXMLObject<TunerLayout>(window_.get(), "TunerLayout");
    ASSERT_NE(nullptr, tuner);
    auto* tunerPlay = Vabo::GetXMLObject<Vabo::ToggleButton>(tuner, "Play");
    ASSERT_NE(nullptr, tunerPlay);
    const auto tone = [tuner, tunerPlay](bool on) {
        tunerPlay->SetState(on ? 1 : 0);
        EXPECT_EQ(0, tuner->Play(on));
    };
    const struct {
        const char* name;
        std::function<void()> start;
        std::function<void()> during; // once it has played a while
        std::function<void()> stop;
    } cases[] = {
        // A click lasts half a beat: stopped 0.3 s into the first.
        {"TONE clicks at 60 bpm",
         [this] {
             metronome_->SetTempo(60);
             metronome_->SelectAccent("ACCENT: 1");
             metronome_->SelectOutput("TONE");
             Press("Play");
         },
         [] {}, [this] { Press("Play"); }},
        {"the reference tone", [&] { tone(true); }, [] {}, [&] { tone(false); }},
        {"the reference tone, retuned", [&] { tone(true); }, [tuner] { tuner->SetDesiredFrequency(116.54f); },
         [&] { tone(false); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppTest::Pump(300);
        SoundRig::Recorder recorder;
        ASSERT_TRUE(recorder.WaitUntilRecording());
        c.start();
        WaitForOutput(0.15);
        c.during();
        WaitForOutput(0.3);
        c.stop();
        // Heard until it has ended.
        EXPECT_TRUE(AppTest::PumpUntil([&] {
            const std::vector<float> x = recorder.SoFar();
            return x.size() > 4410 && SoundEnd(x) + 4410 <= x.size();
        }));
        const std::vector<float> heard = recorder.Stop();

        const std::size_t end = SoundEnd(heard);
        ASSERT_GT(end, 8u) << "nothing heard";
        const auto begin = std::find_if(heard.begin(), heard.end(), [](float v) { return std::fabs(v) > 1e-4f; });
        const double peak = TestSupport::PeakOf(heard, 0, heard.size());
        const double last = TestSupport::PeakOf(heard, end - 8, 8);
        std::printf("%-30s peak %.3f, the last 8 samples up to %.3f\n", c.name, peak, last);
        EXPECT_LT(last, 0.1 * peak) << "the sound was cut where it stood";
        if (c.name == std::string("the reference tone, retuned")) {
            std::size_t quiet = 0, longest = 0;
            for (auto it = begin; it != heard.begin() + long(end); ++it) {
                quiet = std::fabs(*it) < 0.01 * peak ? quiet + 1 : 0;
                longest = std::max(longest, quiet);
            }
            EXPECT_LT(longest, 44u) << "samples of silence between the tones";
        }
    }
}

// A STOP pressed in the quiet before a beat lets nothing of that beat be
// heard, however little before it comes: the beat's click is already queued
// for the sound server then, and a fade at the end of the queue would let
// it begin and cut it, heard as a faint tick after the stop.
TEST_F(MetronomeSound, AStopInTheQuietBeforeABeatLetsNothingOfThatBeatBeHeard)
{
    // Clicks half a beat long, half a beat of quiet between them.
    metronome_->SetTempo(120);
    metronome_->SelectAccent("ACCENT: 1");
    metronome_->SelectOutput("TONE");
    constexpr double Beat = 22050.0;
    // Onsets of anything heard, however faint: loud enough after a quiet.
    const auto onsets = [](const std::vector<float>& x) {
        std::vector<std::size_t> found;
        std::size_t quiet = 0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const bool sound = std::fabs(x[i]) > 1e-3f;
            if (sound && quiet >= 4000)
                found.push_back(i);
            quiet = sound ? 0 : quiet + 1;
        }
        return found;
    };
    const auto silentAtItsEnd = [](const std::vector<float>& x) {
        return x.size() >= 4410 && SoundEnd(x) + 4410 <= x.size();
    };
    for (const double before : {0.05, 0.09, 0.11, 0.13, 0.2}) {
        SCOPED_TRACE("STOP " + std::to_string(before) + " s before the third beat");
        SoundRig::Recorder recorder;
        ASSERT_TRUE(recorder.WaitUntilRecording());
        ASSERT_TRUE(AppTest::PumpUntil([&] { return silentAtItsEnd(recorder.SoFar()); }));
        Press("Play");
        const double stopAt = 2.0 * Beat - before * 44100.0;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (OutputSeconds() * 44100.0 < stopAt && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const double pressedAt = OutputSeconds() * 44100.0;
        Press("Play");
        // Heard past the third beat's place, and silent since the stop.
        EXPECT_TRUE(SoundRig::WaitFor(
            [&] {
                const std::vector<float> x = recorder.SoFar();
                const std::vector<std::size_t> heard = onsets(x);
                return !heard.empty() && x.size() > heard.front() + std::size_t(2.5 * Beat);
            },
            5000));
        const std::vector<std::size_t> heard = onsets(recorder.Stop());
        std::printf("STOP %.2f s before a beat (%.1f ms): %zu clicks heard\n", before, (2.0 * Beat - pressedAt) / 44.1,
                    heard.size());
        EXPECT_EQ(2u, heard.size()) << "the beat after the stop was heard";
    }
}
