#include "FakeMixerBackend.h"

#include "audio/PlaybackMixer.h"
#include "audio/RecordMixer.h"
#include "audio/StreamWatch.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/NativeWindow.h"
#include "support/MinimisedMark.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A card with microphone and line-in lines chosen through a source enumeration,
// and a stereo master output.
std::shared_ptr<FakeMixerBackend::State> Card()
{
    auto s = std::make_shared<FakeMixerBackend::State>();
    // Name, playback and capture volume, playback and capture switch, source choice, its items, channels.
    s->elements = {{"Master", true, false, true, false, false, {}, 2, 0},
                   {"Mic", false, true, false, true, false, {}, 0, 1},
                   {"Line", false, true, false, false, false, {}, 0, 2},
                   {"Capture Source", false, false, false, false, true, {"Mic", "Line", "CD"}, 0, 0}};
    s->volumes = {{{0, false}, {65535, 65535}}, {{1, true}, {40000}}, {{2, true}, {10000, 12000}}};
    s->switches = {{{0, false}, true}, {{1, true}, true}};
    s->items[3] = 0;
    return s;
}

// What a sound server offers: one capture control.
std::shared_ptr<FakeMixerBackend::State> Server()
{
    auto s = std::make_shared<FakeMixerBackend::State>();
    s->elements = {{"Capture", false, true, false, true, false, {}, 0, 2}};
    s->volumes[{0, true}] = {65535, 65535};
    s->switches[{0, true}] = true;
    return s;
}

MixerClient::Opener OpenerFor(std::shared_ptr<FakeMixerBackend::State> state)
{
    return [state](unsigned device) -> std::unique_ptr<Platform::MixerBackend> {
        if (device != 0)
            return nullptr;
        return std::make_unique<FakeMixerBackend>(state);
    };
}

// A shown window of the program, served by the event loop: notes when it is
// to be drawn again (it comes back from being minimised).
class ProgramWindow : public Platform::WindowClient {
public:
    explicit ProgramWindow(std::vector<std::string>& seen)
        : seen_(seen)
        , window_(Platform::NativeWindow::Create({Platform::NativeWindow::Kind::Application, "", 0, 0, 40, 30}))
    {
        if (window_) {
            Platform::EventLoop::Instance().Attach(window_->Id(), *this);
            window_->Show();
        }
    }
    ~ProgramWindow() override
    {
        if (window_)
            Platform::EventLoop::Instance().Detach(window_->Id());
    }
    SDL_Window* Handle() const { return window_ ? window_->Handle() : nullptr; }

    void OnInput(const Platform::HostInput& input) override
    {
        if (input.kind == Platform::HostInput::Kind::Exposed)
            seen_.push_back("window drawn");
    }
    void OnTick() override { }

private:
    std::vector<std::string>& seen_;
    std::unique_ptr<Platform::NativeWindow> window_;
};

// The loop for `ms` of the hand-driven clock, 10 ms a pass.
void RunLoopFor(Platform::ManualClock& clock, Platform::Milliseconds ms)
{
    for (Platform::Milliseconds t = 0; t < ms; t += 10) {
        clock.Advance(10);
        Platform::EventLoop::Instance().RunOnce(0);
    }
}

} // namespace

TEST(RecordMixer, ListsEveryCaptureElementAndSourceItemAsALineAndASingleInputToo)
{
    RecordMixer mixer(OpenerFor(Card()));
    std::vector<MixerLine> lines;
    ASSERT_EQ(3, mixer.GetInputLines(lines));
    const std::pair<std::string, unsigned> expected[] = {{"Mic", MixerComponent::SrcMicrophone},
                                                         {"Line", MixerComponent::SrcLine},
                                                         {"CD", MixerComponent::SrcUndefined}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(expected[i].first, lines[i].name);
        EXPECT_EQ(expected[i].second, lines[i].componentType) << expected[i].first;
    }
    EXPECT_TRUE(mixer.HasControl(MixerComponent::DstWaveIn, MixerControlType::Mux));
    EXPECT_TRUE(mixer.HasControl(MixerComponent::SrcMicrophone, MixerControlType::Volume));
    EXPECT_FALSE(mixer.HasControl(MixerComponent::SrcUndefined, MixerControlType::Volume));

    // A single input is still an input; its switch makes it the one choice of a
    // multiple-choice source control.
    RecordMixer server(OpenerFor(Server()));
    ASSERT_EQ(1, server.GetInputLines(lines));
    EXPECT_EQ("Capture", lines[0].name);
    EXPECT_TRUE(server.HasControl(MixerComponent::DstWaveIn, MixerControlType::Mixer));
    EXPECT_EQ(1.0, server.GetVolumeOfComponentType(MixerComponent::SrcUndefined));
}

TEST(RecordMixer, SelectingASourceWritesItAndNotifiesNobody)
{
    auto card = Card();
    RecordMixer mixer(OpenerFor(card));
    MixerLine line, destination;
    ASSERT_TRUE(mixer.FindLineByName("Line", line));
    ASSERT_TRUE(mixer.FindLineByComponentType(MixerComponent::DstWaveIn, destination));

    EXPECT_FALSE(mixer.SelectInput(line)) << "an unregistered control is not written";
    EXPECT_EQ(0, card->writes);

    std::vector<double> reported;
    ASSERT_TRUE(mixer.RegisterControl(destination, MixerControlType::Mux, [&](double v) { reported.push_back(v); }));
    EXPECT_TRUE(mixer.SelectInput(line));
    EXPECT_EQ(1u, card->items[3]);
    EXPECT_EQ(1.0, mixer.IsInputSelected(line));
    MixerLine selected;
    EXPECT_EQ(int(line.lineId), mixer.GetSelectedInput(selected));
    EXPECT_EQ("Line", selected.name);
    mixer.Poll();
    EXPECT_TRUE(reported.empty()) << "our own write is no change";

    // A change made elsewhere is reported once, as the chosen line's type.
    card->items[3] = 0;
    card->changed.push_back(3);
    mixer.Poll();
    mixer.Poll();
    EXPECT_EQ(std::vector<double>{double(MixerComponent::SrcMicrophone)}, reported);

    MixerLine stranger = line;
    stranger.lineId = 0x777;
    const int writes = card->writes;
    EXPECT_FALSE(mixer.SelectInput(stranger));
    EXPECT_EQ(writes, card->writes);
}

TEST(RecordMixer, ControlValuesReadUnsignedAndSignedAndLinesFilterByTheirControls)
{
    auto card = Card();
    RecordMixer mixer(OpenerFor(card));
    MixerDevice& device = *mixer.Device();
    MixerControl micVolume, micMute;
    ASSERT_TRUE(device.GetControlOfComponentType(MixerComponent::SrcMicrophone, MixerControlType::Volume, micVolume));
    ASSERT_TRUE(device.GetControlOfComponentType(MixerComponent::SrcMicrophone, MixerControlType::Mute, micMute));
    struct Reading {
        unsigned raw;
        double unsignedValue;
        double signedValue;
    };
    for (const Reading& r : {Reading{40000, 40000.0, 40000.0}, Reading{0, 0.0, 0.0},
                             Reading{0x7fffffff, 2147483647.0, 2147483647.0},
                             Reading{0xffffffff, 4294967295.0, -1.0}, Reading{0x80000000, 2147483648.0, -2147483648.0}}) {
        card->volumes[{1, true}] = {r.raw};
        EXPECT_EQ(r.unsignedValue, device.GetControlValue(micVolume.controlId)) << r.raw;
        EXPECT_EQ(r.signedValue, device.GetControlValueSigned(micVolume.controlId)) << r.raw;
    }
    EXPECT_EQ(0.0, device.GetControlValueSigned(micMute.controlId)) << "the switch is on: not muted";
    EXPECT_EQ(-1.0, device.GetControlValueSigned(0x999)) << "no such control";

    std::vector<MixerLine> inputs;
    ASSERT_EQ(3, mixer.GetInputLines(inputs));
    struct Filter {
        unsigned controlType;
        std::vector<std::string> kept;
    };
    for (const Filter& f : {Filter{MixerControlType::Volume, {"Mic", "Line"}}, Filter{MixerControlType::Mute, {"Mic"}},
                            Filter{MixerControlType::Mux, {}}}) {
        std::vector<MixerLine> lines = inputs;
        EXPECT_EQ(int(f.kept.size()), device.FilterLinesByControlType(lines, f.controlType)) << f.controlType;
        std::vector<std::string> names;
        for (const MixerLine& l : lines)
            names.push_back(l.name);
        EXPECT_EQ(f.kept, names) << f.controlType;
    }
    std::vector<MixerLine> lines = inputs;
    lines.push_back(inputs[0]);
    lines.back().lineId = 0x777;
    EXPECT_EQ(-1, device.FilterLinesByControlType(lines, MixerControlType::Volume)) << "a line of no mixer";
    EXPECT_EQ(4u, lines.size()) << "a failed filter keeps the list";
}

TEST(RecordMixer, TheSelectedInputAlsoReadsAsANumber)
{
    auto card = Card();
    RecordMixer mixer(OpenerFor(card));
    MixerLine selected;
    for (unsigned item : {0u, 1u, 2u}) {
        card->items[3] = item;
        const int id = mixer.GetSelectedInput(selected);
        ASSERT_GT(id, 0) << item;
        EXPECT_EQ(double(id), mixer.GetSelectedInputValue(selected)) << item;
        EXPECT_EQ((std::vector<std::string>{"Mic", "Line", "CD"}[item]), selected.name);
    }
    card->items.erase(3);
    EXPECT_EQ(-1.0, mixer.GetSelectedInputValue(selected)) << "the choice cannot be read";
    RecordMixer none([](unsigned) { return std::unique_ptr<Platform::MixerBackend>(); });
    EXPECT_EQ(-1.0, none.GetSelectedInputValue(selected));
}

TEST(RecordMixer, VolumesAreFractionsOfTheCommonScaleWrittenOnlyWhenRegistered)
{
    auto card = Card();
    RecordMixer mixer(OpenerFor(card));
    MixerLine mic;
    ASSERT_TRUE(mixer.FindLineByName("Mic", mic));
    EXPECT_DOUBLE_EQ(40000.0 / 65535.0, mixer.GetLineVolume(mic));
    EXPECT_EQ(65535.0, mixer.GetLineVolumeMax(mic));

    EXPECT_FALSE(mixer.SetLineVolume(mic, 0.5));
    EXPECT_EQ(40000u, (card->volumes[{1, true}][0]));

    int calls = 0;
    ASSERT_TRUE(mixer.RegisterControl(mic, MixerControlType::Volume, [&](double) { ++calls; }));
    EXPECT_TRUE(mixer.SetLineVolume(mic, 0.5));
    EXPECT_EQ(32768u, (card->volumes[{1, true}][0]));
    EXPECT_TRUE(mixer.SetVolumeOfComponentType(MixerComponent::SrcMicrophone, 1.0));
    EXPECT_EQ(65535u, (card->volumes[{1, true}][0]));
    mixer.Poll();
    EXPECT_EQ(0, calls);
    EXPECT_EQ(0.0, mixer.GetMute(MixerComponent::SrcMicrophone));
}

TEST(RecordMixer, TheGuiClockReportsOutsideChangesKeepingTheNewValueBeforeTheCallbackRuns)
{
    auto card = Card();
    RecordMixer mixer(OpenerFor(card));
    MixerLine mic;
    MixerControl volume;
    ASSERT_TRUE(mixer.FindLineByName("Mic", mic));
    ASSERT_TRUE(mixer.Device()->GetControlOfLine(mic, MixerControlType::Volume, volume));
    std::vector<double> reported;
    ASSERT_TRUE(mixer.RegisterControl(mic, MixerControlType::Volume, [&](double v) {
        reported.push_back(v);
        // A listener that looks again sees no further change.
        mixer.OnControlChange(volume.controlId);
    }));
    card->volumes[{1, true}][0] = 1234;
    card->changed.push_back(1);
    // The clock polls every mixer; the report comes with the next poll.
    for (int waited = 0; reported.empty() && waited < 5000; waited += 10)
        Platform::EventLoop::Instance().RunFor(10);
    EXPECT_EQ(std::vector<double>{1234.0}, reported);
}

// While nothing of the program shows, no control shows a mixer's value: the
// mixer is not polled, and the streams are checked once a second (a lost sound
// server is still noticed). A window coming back has both done before it is
// drawn, so its controls show a volume changed meanwhile at once.
TEST(RecordMixer, MinimisedItIsNotPolledAndAWindowComingBackHasItReadAndTheStreamsCheckedFirst)
{
    Platform::ManualClock clock(1000000);
    std::vector<std::string> seen;
    ProgramWindow window(seen);
    ASSERT_NE(nullptr, window.Handle());
    auto card = Card();
    RecordMixer mixer(OpenerFor(card));
    MixerLine mic;
    ASSERT_TRUE(mixer.FindLineByName("Mic", mic));
    ASSERT_TRUE(mixer.RegisterControl(mic, MixerControlType::Volume,
                                      [&](double v) { seen.push_back("read " + std::to_string(int(v))); }));
    StreamWatch watch([&] { seen.push_back("check"); });
    RunLoopFor(clock, 100);
    struct Step {
        const char* what;
        unsigned volume;
        std::function<void()> then;
        std::vector<std::string> reads;
        long checks;
        bool drawn;
    };
    const Step steps[] = {
        {"shown", 1000, [&] { RunLoopFor(clock, 1000); }, {"read 1000"}, 1000 / StreamWatch::kCheckMs, false},
        {"minimised",
         2000,
         [&] {
             ASSERT_TRUE(TestSupport::MarkMinimised(window.Handle(), true));
             RunLoopFor(clock, 10000);
         },
         {},
         10000 / StreamWatch::kBackgroundCheckMs,
         false},
        {"back",
         3000,
         [&] {
             ASSERT_TRUE(TestSupport::MarkMinimised(window.Handle(), false));
             Platform::EventLoop::Instance().RunOnce(0);
         },
         {"read 3000"},
         1,
         true},
    };
    for (const Step& step : steps) {
        seen.clear();
        card->volumes[{1, true}][0] = step.volume;
        card->changed.push_back(1);
        step.then();
        std::vector<std::string> reads;
        long checks = 0;
        bool drawn = false;
        bool afterDrawn = false;
        for (const std::string& what : seen) {
            if (what == "window drawn") {
                drawn = true;
                continue;
            }
            afterDrawn = afterDrawn || drawn;
            if (what == "check")
                ++checks;
            else
                reads.push_back(what);
        }
        EXPECT_EQ(step.reads, reads) << step.what;
        EXPECT_NEAR(step.checks, checks, 1) << step.what;
        EXPECT_EQ(step.drawn, drawn) << step.what;
        EXPECT_FALSE(afterDrawn) << step.what << ": read and checked before the window is drawn";
    }
}

TEST(RecordMixer, NoMixerMeansEveryQueryFails)
{
    RecordMixer mixer([](unsigned) { return std::unique_ptr<Platform::MixerBackend>(); });
    std::vector<MixerLine> lines;
    MixerLine line;
    EXPECT_FALSE(mixer.IsOpen());
    EXPECT_EQ(0, mixer.GetInputLines(lines));
    EXPECT_FALSE(mixer.FindLineByName("Mic", line));
    EXPECT_EQ(-1.0, mixer.GetLineVolume(line));
    EXPECT_FALSE(mixer.SelectInput(line));
    EXPECT_EQ(-1, mixer.GetSelectedInput(line));
    mixer.Poll();
}

// What the program wants of the mixer lives on its side: a mixer that opens
// late, or again after it went away, is given it, and a value changed
// meanwhile is reported as any change is.
TEST(RecordMixer, AMixerOpenedLateOrAgainGetsWhatTheProgramWantsAndReportsWhatChangedMeanwhile)
{
    Platform::ManualClock clock(1000000);
    auto card = Card();
    card->ready = false;
    RecordMixer mixer(OpenerFor(card));
    int opened = 0;
    mixer.AddOpenListener([&] { ++opened; });
    std::vector<MixerLine> lines;
    EXPECT_EQ(0, mixer.GetInputLines(lines)) << "nothing is known before the mixer opens";
    card->ready = true;
    mixer.Poll();
    ASSERT_EQ(1, opened);
    MixerLine mic, line, destination;
    ASSERT_TRUE(mixer.FindLineByName("Mic", mic) && mixer.FindLineByName("Line", line)
                && mixer.FindLineByComponentType(MixerComponent::DstWaveIn, destination));
    std::vector<std::string> reported;
    const auto report = [&](const std::string& what) {
        return [&reported, what](double v) { reported.push_back(what + " " + std::to_string(int(v))); };
    };
    ASSERT_TRUE(mixer.RegisterControl(destination, MixerControlType::Mux, report("source")));
    ASSERT_TRUE(mixer.RegisterControl(mic, MixerControlType::Volume, report("mic")));
    ASSERT_TRUE(mixer.RegisterControl(line, MixerControlType::Volume, report("line")));
    ASSERT_TRUE(mixer.SelectInput(line));

    card->lost = true;
    mixer.Poll();
    EXPECT_FALSE(mixer.IsOpen());
    EXPECT_EQ(2, mixer.GetInputLines(lines) - 1) << "the lines last read are still known";
    EXPECT_TRUE(mixer.SetLineVolume(mic, 0.5)) << "kept for the mixer's return";
    EXPECT_EQ(0.5, std::round(mixer.GetLineVolume(mic) * 100) / 100);
    EXPECT_FALSE(mixer.RegisterControl(mic, MixerControlType::Mute, report("mute"))) << "made when it opens";
    // Meanwhile, elsewhere: the line's volume and the source choice move.
    card->volumes[{2, true}] = {30000, 30000};
    card->items[3] = 0;

    card->lost = false;
    clock.Advance(MixerClient::ReconnectIntervalMs);
    mixer.Poll();
    EXPECT_EQ(2, opened);
    EXPECT_EQ(std::vector<unsigned>({32768}), (card->volumes[{1, true}])) << "the volume set while away";
    EXPECT_EQ(1u, card->items[3]) << "the input chosen";
    EXPECT_EQ(std::vector<std::string>{"line 30000"}, reported) << "the change made while away, once";
    MixerControl mute;
    ASSERT_TRUE(mixer.Device()->GetControlOfLine(mic, MixerControlType::Mute, mute));
    EXPECT_TRUE(mixer.IsRegistered(mute.controlId));
    card->switches[{1, true}] = false;
    card->changed.push_back(1);
    mixer.Poll();
    EXPECT_EQ("mute 1", reported.back());
}

TEST(PlaybackMixer, WaveOutIsMasterWithVolumeBalanceAndMute)
{
    auto card = Card();
    PlaybackMixer mixer(OpenerFor(card));
    MixerLine wave;
    ASSERT_TRUE(mixer.FindLineByComponentType(MixerComponent::SrcWaveOut, wave));
    EXPECT_EQ("Master", wave.name);
    EXPECT_TRUE(mixer.HasControl(MixerComponent::SrcWaveOut, MixerControlType::Volume));

    int calls = 0;
    ASSERT_TRUE(mixer.RegisterControlOfComponentType(
        MixerComponent::SrcWaveOut, [&](double) { ++calls; }, MixerControlType::Volume));
    ASSERT_TRUE(mixer.SetVolumeOfComponentType(MixerComponent::SrcWaveOut, 0.8));
    EXPECT_TRUE(mixer.SetBalance(wave, 0.25));
    EXPECT_EQ((std::vector<unsigned>{52428, 26214}), (card->volumes[{0, false}]));
    EXPECT_NEAR(0.25, mixer.GetBalance(wave), 1e-4);

    EXPECT_FALSE(mixer.SetMute(wave, true)) << "the mute control was not registered";
    ASSERT_TRUE(mixer.RegisterControl(wave, MixerControlType::Mute, [&](double) { ++calls; }));
    EXPECT_TRUE(mixer.SetMute(wave, true));
    EXPECT_FALSE((card->switches[{0, false}]));
    mixer.Poll();
    EXPECT_EQ(0, calls) << "our own writes are no changes";
}
