// The streams the screens start, lost when the rig's sound server goes away:
// the button of each is reset and the user told once, and a press after the
// server's return starts it again. A server that hangs is a loss too, and
// its return leaves one capture stream.
#include "app/MetronomeLayout.h"
#include "app/TunerLayout.h"

#include "AppTestSupport.h"
#include "audio/AudioDevice.h"
#include "audio/RecordBuffer.h"
#include "audio/SoundRig.h"
#include "framework/core/GlobalObjectFactory.h"
#include "framework/core/ObjectSignals.h"
#include "framework/widgets/Text.h"
#include "framework/widgets/ToggleButton.h"
#include "platform/EventLoop.h"
#include "platform/SoundServerCalls.h"
#include "support/SanitizerStretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

class StreamLoss : public AppTest::ScreenFixture {
protected:
    void SetUp() override
    {
        AppTest::ScreenFixture::SetUp();
        MetronomeLayout::SetMessage([this](const std::string& text) { messages_.push_back(text); });
        TunerLayout::SetQuestion([this](const std::string& text, const std::string&) {
            messages_.push_back(text);
            return std::string();
        });
        window_ = AppTest::OpenMainWindow(loader_);
        metronome_ = Vabo::GetXMLObject<MetronomeLayout>(window_.get(), "MetronomeLayout");
        tuner_ = Vabo::GetXMLObject<TunerLayout>(window_.get(), "TunerLayout");
        ASSERT_NE(nullptr, metronome_);
        ASSERT_NE(nullptr, tuner_);
    }

    void TearDown() override
    {
        AudioDevice& device = AudioDevice::Instance();
        device.StopOutput();
        device.Output().Close();
        device.StopInput();
        window_.reset();
        MetronomeLayout::SetMessage({});
        TunerLayout::SetQuestion({});
        AppTest::ScreenFixture::TearDown();
    }

    // The screen shown as the switch shows it: capture for the tuner's
    // analysis runs only while the tuner shows.
    void Show(Vabo::GuiObject* shown, Vabo::GuiObject* hidden)
    {
        Vabo::Signal::Activate activate;
        hidden->SlotHide(&activate, hidden);
        shown->SlotShow(&activate, shown);
        if (shown == tuner_)
            AudioDevice::Instance().RestartCapture();
        else
            AudioDevice::Instance().StopInput();
    }

    Vabo::ToggleButton* Toggle(Vabo::GuiObject* screen, const std::string& name)
    {
        return Vabo::GetXMLObject<Vabo::ToggleButton>(screen, name);
    }

    // A press as the user makes it: the toggle's own slot flips the state,
    // then the skin's slot runs.
    void Press(Vabo::ToggleButton* toggle)
    {
        Vabo::Signal::Activate activate;
        toggle->InvokeSlots(&activate, toggle, window_.get());
    }

    MetronomeLayout* metronome_ = nullptr;
    TunerLayout* tuner_ = nullptr;
    std::vector<std::string> messages_;
};

double OutputFrames()
{
    return AudioDevice::Instance().Output().StreamTime();
}

std::size_t Recorded()
{
    return RecordBuffer::Instance().SampleCount();
}

} // namespace

TEST_F(StreamLoss, EveryStreamAScreenStartedResetsItsButtonAndSaysSoWhenTheServerGoes)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    const struct {
        const char* what;
        bool metronome;
        const char* button;
        // Whether the stream moves on, from a reading taken before.
        std::function<double()> progress;
        const char* message;
    } streams[] = {
        {"the metronome's clicks", true, "Play", OutputFrames, "sound output was lost"},
        {"the recording", true, "Record", [] { return double(Recorded()); }, "sound input was lost"},
        {"the reference tone", false, "Play", OutputFrames, "sound output was lost"},
    };
    for (const auto& stream : streams) {
        SCOPED_TRACE(stream.what);
        messages_.clear();
        Vabo::GuiObject* screen = stream.metronome ? static_cast<Vabo::GuiObject*>(metronome_) : tuner_;
        Show(screen, stream.metronome ? static_cast<Vabo::GuiObject*>(tuner_) : metronome_);
        Vabo::ToggleButton* toggle = Toggle(screen, stream.button);
        Press(toggle);
        ASSERT_EQ(1, toggle->GetState());
        ASSERT_TRUE(SoundRig::WaitFor([&] { return stream.progress() > 4410.0; }, SoundRig::CaptureStartMs));

        ASSERT_TRUE(SoundRig::StopServer());
        const bool reset = AppTest::PumpUntil([&] { return toggle->GetState() == 0; }, 10000);
        ASSERT_TRUE(SoundRig::StartServer());
        EXPECT_TRUE(reset);
        AppTest::Pump(500);
        ASSERT_EQ(1u, messages_.size());
        EXPECT_NE(std::string::npos, messages_[0].find(stream.message)) << messages_[0];

        // The server is back: a press starts the stream anew.
        Press(toggle);
        ASSERT_EQ(1, toggle->GetState());
        const double before = stream.progress();
        EXPECT_TRUE(AppTest::PumpUntil([&] { return stream.progress() > before + 4410.0; }, 8000));
        Press(toggle);
        EXPECT_EQ(1u, messages_.size());
    }
}

TEST_F(StreamLoss, ClicksAndARecordingLostTogetherAreToldInOneBoxNotInTwoOverEachOther)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    int open = 0;
    int most = 0;
    MetronomeLayout::SetMessage([&](const std::string& text) {
        messages_.push_back(text);
        most = std::max(most, ++open);
        // A box stays open in a loop of its own, on which the clock goes on.
        AppTest::Pump(1000);
        --open;
    });
    Show(metronome_, tuner_);
    Vabo::ToggleButton* play = Toggle(metronome_, "Play");
    Vabo::ToggleButton* record = Toggle(metronome_, "Record");
    Press(play);
    Press(record);
    ASSERT_TRUE(
        SoundRig::WaitFor([] { return OutputFrames() > 4410.0 && Recorded() > 4410; }, SoundRig::CaptureStartMs));

    ASSERT_TRUE(SoundRig::StopServer());
    const bool reset = AppTest::PumpUntil([&] { return play->GetState() == 0 && record->GetState() == 0; }, 10000);
    ASSERT_TRUE(SoundRig::StartServer());
    EXPECT_TRUE(reset);
    AppTest::Pump(1500);
    EXPECT_EQ(1, most) << "boxes open at once";
    std::string told;
    for (const std::string& message : messages_)
        told += message + "\n";
    EXPECT_NE(std::string::npos, told.find("output")) << told;
    EXPECT_NE(std::string::npos, told.find("input")) << told;
}

TEST_F(StreamLoss, AServerThatHangsIsALossAfterAFewSecondsAndItsReturnGivesOneCaptureStream)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    const auto reading = [this] { return Vabo::GetXMLObject<Vabo::Text>(tuner_, "VisFreq")->GetText(); };
    const auto capturing = [&] { return !device.CaptureLost() && device.Input().StreamTime() > 4410.0; };
    ASSERT_EQ(0, device.RestartCapture());
    ASSERT_TRUE(AppTest::PumpUntil(capturing, SoundRig::CaptureStartMs));

    SoundRig::HungServer server;
    ASSERT_TRUE(server.Stopped());
    // Five seconds without frames make a loss; the first new try comes after.
    EXPECT_TRUE(AppTest::PumpUntil([&] { return reading() == "SOUND INPUT LOST"; }, 9000)) << reading();
    server.Resume();
    int most = 0;
    const bool back = AppTest::PumpUntil(
        [&] {
            most = std::max(most, SoundRig::CaptureStreams());
            return capturing();
        },
        10000);
    EXPECT_TRUE(back);
    EXPECT_EQ(1, most) << "capture streams at once after the server went on";
    EXPECT_EQ(1, SoundRig::CaptureStreams());
}

namespace {

// The longest the GUI thread went between two looks of a test's condition.
class Gaps {
public:
    void Look()
    {
        const auto now = std::chrono::steady_clock::now();
        longest_ = std::max(longest_, std::chrono::duration_cast<std::chrono::milliseconds>(now - last_).count());
        last_ = now;
    }
    Platform::Milliseconds Longest() const { return longest_; }

private:
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    Platform::Milliseconds longest_ = 0;
};

} // namespace

// A server that hangs while a screen's stream plays never holds the window:
// left alone, the stream is lost after five seconds (its button reset, the
// user told) as when the server goes; pressed off, or left for the other
// screen, the call returns within its bound. Once the server goes on, a
// press starts the stream again.
TEST_F(StreamLoss, AServerThatHangsNeverHoldsTheWindow)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    enum Action { Nothing, PressOff, Switch };
    const struct {
        const char* what;
        bool metronome;
        const char* button;
        std::function<double()> progress;
        Action action;
        const char* message;
    } streams[] = {
        {"the metronome's clicks", true, "Play", OutputFrames, Nothing, "sound output was lost"},
        {"the recording", true, "Record", [] { return double(Recorded()); }, Nothing, "sound input was lost"},
        {"the reference tone", false, "Play", OutputFrames, Nothing, "sound output was lost"},
        {"the metronome's clicks pressed off", true, "Play", OutputFrames, PressOff, nullptr},
        {"the metronome's clicks left for the tuner", true, "Play", OutputFrames, Switch, nullptr},
        {"the recording pressed off", true, "Record", [] { return double(Recorded()); }, PressOff, nullptr},
        {"the reference tone pressed off", false, "Play", OutputFrames, PressOff, nullptr},
    };
    for (const auto& stream : streams) {
        SCOPED_TRACE(stream.what);
        messages_.clear();
        Vabo::GuiObject* screen = stream.metronome ? static_cast<Vabo::GuiObject*>(metronome_) : tuner_;
        Show(screen, stream.metronome ? static_cast<Vabo::GuiObject*>(tuner_) : metronome_);
        Vabo::ToggleButton* toggle = Toggle(screen, stream.button);
        Press(toggle);
        ASSERT_EQ(1, toggle->GetState());
        ASSERT_TRUE(AppTest::PumpUntil([&] { return stream.progress() > 4410.0; }, SoundRig::CaptureStartMs));
        Gaps gaps;
        {
            SoundRig::HungServer server(std::chrono::seconds(30));
            ASSERT_TRUE(server.Stopped());
            AppTest::Pump(300);
            gaps = Gaps();
            if (stream.action == PressOff)
                Press(toggle);
            else if (stream.action == Switch)
                metronome_->SwitchClickedSlot(nullptr, nullptr);
            gaps.Look();
            const Platform::Milliseconds stopping = gaps.Longest();
            EXPECT_LT(stopping, SoundRig::WindowMayWaitMs) << "taken by the press";
            if (stream.action != Nothing)
                std::printf("[ %s: the press took %lld ms ]\n", stream.what, (long long)stopping);
            AppTest::PumpUntil(
                [&] {
                    gaps.Look();
                    return !messages_.empty();
                },
                stream.message ? 9000 : 1000);
        }
        EXPECT_EQ(0, toggle->GetState());
        EXPECT_LT(gaps.Longest(), SoundRig::WindowMayWaitMs) << "the longest the window waited";
        std::printf("[ %s: the window waited at most %lld ms ]\n", stream.what, (long long)gaps.Longest());
        if (stream.message) {
            ASSERT_EQ(1u, messages_.size());
            EXPECT_NE(std::string::npos, messages_[0].find(stream.message)) << messages_[0];
        } else {
            EXPECT_TRUE(messages_.empty()) << messages_[0];
        }
        // Back: a press starts the stream anew (refused while the call the
        // server held still waits).
        bool again = false;
        for (int attempt = 0; attempt < 20 && !again; ++attempt) {
            if (toggle->GetState() == 0)
                Press(toggle);
            const double before = stream.progress();
            again = AppTest::PumpUntil([&] { return stream.progress() > before + 4410.0; }, 1000);
        }
        EXPECT_TRUE(again);
        Press(toggle);
    }
}

namespace {

// The longest the window was held by one pass of its loop (the press, the
// ticks and the calls posted to it), while the loop ran for that long.
Platform::Milliseconds LongestPass(Platform::Milliseconds length)
{
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(length);
    Platform::Milliseconds longest = 0;
    while (Clock::now() < end) {
        const auto begun = Clock::now();
        Platform::EventLoop::Instance().RunOnce(1);
        longest = std::max<Platform::Milliseconds>(
            longest, std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - begun).count());
    }
    return longest;
}

} // namespace

// One press may ask several things of the sound server in a row (the switch
// away from a playing metronome stops its clicks and starts the tuner's
// capture again; a start closes, opens and starts), and the server may stop
// at any moment of them, or stutter (stop, answer what waited, and stop
// again, as a loaded or distant one does): however many calls a press
// makes, it never holds the window half a second, and once the server goes
// on a press starts the stream again.
TEST_F(StreamLoss, NoPressHoldsTheWindowHalfASecondWhenTheServerStopsAnyTimeAfterIt)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    enum Kind { Switch, Play, Tone, Record };
    const struct {
        const char* what;
        Kind press;
    } presses[] = {
        {"the switch away from playing clicks", Switch},
        {"PLAY", Play},
        {"the reference tone", Tone},
        {"RECORD", Record},
    };
    const Platform::Milliseconds delays[] = {0, 50, 100, 160, 300};
    for (const auto& press : presses) {
        for (const Platform::Milliseconds delay : delays) {
            for (const bool stutters : {false, true}) {
                const std::string how =
                    std::string(stutters ? "stuttered" : "stopped") + " " + std::to_string(delay) + " ms after it";
                SCOPED_TRACE(std::string(press.what) + ", the server " + how);
                messages_.clear();
                const bool onMetronome = press.press != Tone;
                Vabo::GuiObject* screen = onMetronome ? static_cast<Vabo::GuiObject*>(metronome_) : tuner_;
                Show(screen, onMetronome ? static_cast<Vabo::GuiObject*>(tuner_) : metronome_);
                Vabo::ToggleButton* toggle = Toggle(screen, press.press == Record ? "Record" : "Play");
                std::function<double()> progress = OutputFrames;
                if (press.press == Switch) {
                    Press(toggle);
                    ASSERT_TRUE(AppTest::PumpUntil([] { return OutputFrames() > 4410.0; }, SoundRig::CaptureStartMs));
                    progress = [&device] { return device.Input().StreamTime(); };
                } else if (press.press == Record) {
                    progress = [] { return double(Recorded()); };
                }
                // Pressed as the user presses: an event the loop hands on.
                Platform::EventLoop::Post([&] {
                    if (press.press == Switch)
                        metronome_->SwitchClickedSlot(nullptr, nullptr);
                    else
                        Press(toggle);
                });
                Platform::Milliseconds longest = 0;
                {
                    std::optional<SoundRig::HungServer> server;
                    std::thread stopper([&] {
                        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                        if (stutters) {
                            SoundRig::HungServer brief(std::chrono::seconds(30));
                            std::this_thread::sleep_for(std::chrono::milliseconds(300));
                            brief.Resume();
                            std::this_thread::sleep_for(std::chrono::milliseconds(20));
                        }
                        server.emplace(std::chrono::seconds(30));
                    });
                    longest = LongestPass(1500);
                    stopper.join();
                    ASSERT_TRUE(server->Stopped());
                }
                EXPECT_LT(longest, SoundRig::WindowMayWaitMs * TestSupport::SanitizerStretch)
                    << "the longest the window was held";
                std::printf("[ %s, the server %s: the window was held at most %lld ms ]\n", press.what, how.c_str(),
                            (long long)longest);
                // Back: the stream runs again, pressed anew where the press was
                // refused or the stream lost meanwhile.
                bool again = false;
                for (int attempt = 0; attempt < 20 && !again; ++attempt) {
                    if (press.press != Switch && toggle->GetState() == 0)
                        Press(toggle);
                    if (press.press == Switch && device.CaptureLost())
                        device.RestartCapture();
                    const double before = progress();
                    again = AppTest::PumpUntil([&] { return progress() > before + 4410.0; }, 1000);
                }
                EXPECT_TRUE(again) << "the stream does not run again once the server went on";
                if (press.press != Switch && toggle->GetState() == 1)
                    Press(toggle);
                device.StopOutput();
                device.StopInput();
                EXPECT_TRUE(AppTest::PumpUntil([] { return !Platform::SoundServerCalls().Stuck(); }, 40000));
            }
        }
    }
}
