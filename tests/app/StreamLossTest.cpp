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

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <mutex>
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

namespace {

// Holds the rig's sound server stopped, as a hung server is; lets it go on
// when it goes out of scope, or after a minute whatever the test does.
class HungServer {
public:
    HungServer()
        : stopped_(SoundRig::SignalServer(SIGSTOP))
        , watchdog_([this] {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!over_.wait_for(lock, std::chrono::minutes(1), [this] { return resumed_; }))
                SoundRig::SignalServer(SIGCONT);
        })
    {
    }
    ~HungServer()
    {
        Resume();
        watchdog_.join();
    }
    bool Stopped() const { return stopped_; }
    void Resume()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!resumed_)
            SoundRig::SignalServer(SIGCONT);
        resumed_ = true;
        over_.notify_all();
    }

private:
    bool stopped_;
    std::mutex mutex_;
    std::condition_variable over_;
    bool resumed_ = false;
    std::thread watchdog_;
};

} // namespace

TEST_F(StreamLoss, AServerThatHangsIsALossAfterAFewSecondsAndItsReturnGivesOneCaptureStream)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    const auto reading = [this] { return Vabo::GetXMLObject<Vabo::Text>(tuner_, "VisFreq")->GetText(); };
    const auto capturing = [&] { return !device.CaptureLost() && device.Input().StreamTime() > 4410.0; };
    ASSERT_EQ(0, device.RestartCapture());
    ASSERT_TRUE(AppTest::PumpUntil(capturing, SoundRig::CaptureStartMs));

    HungServer server;
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
