// The sound server goes away while the tuner listens, and comes back.
#include "audio/AudioDevice.h"
#include "audio/LatestBlock.h"
#include "audio/LoopBuffer.h"
#include "audio/MixerNotifyWindow.h"
#include "audio/PitchTracker.h"
#include "audio/PlaybackMixer.h"
#include "audio/RecordMixer.h"
#include "platform/Clock.h"
#include "platform/Log.h"
#include "platform/SoundServerCalls.h"

#include "HostBufferCounts.h"
#include "MixersBack.h"
#include "SoundRig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

namespace {

// Each test leaves the sound server, and the process's hold on it, as it
// found them, so that the tests after it in the same process find them so
// too: the server going on (or started again on its socket) with its
// settings, no stream running, and the mixers reading the server again
// (these tests run no event loop, whose clock would poll them). A stream
// left to the library while the server hung holds back every other until it
// ends: a capture that starts shows that none is left.
class SoundServerLoss : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_EQ("", SoundRig::BringServerBack(found_));
        AudioDevice& device = AudioDevice::Instance();
        device.StopOutput();
        device.StopInput();
        device.SetSlowCapture(false);
        EXPECT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not read the server again";
        EXPECT_TRUE(
            SoundRig::WaitFor([&] { return device.StartInput(44100, 512, device.CaptureCallback()) == 0; }, 20000))
            << "no capture starts";
        device.StopInput();
    }

    const SoundRig::ServerSettings found_ = SoundRig::ReadServerSettings();
};

} // namespace

TEST_F(SoundServerLoss, ADeadCaptureShowsNoMeasurementAndTheMixerComesBackWithTheServer)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    // The mixers open on the sound server's call thread, after the device is made.
    AudioDevice::Instance();
    ASSERT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not open";
    AudioDevice& device = AudioDevice::Instance();
    RecordMixer& mixer = RecordMixer::Instance();
    PlaybackMixer& playback = PlaybackMixer::Instance();
    PitchTracker& tracker = PitchTracker::Instance();
    const MixerLine line = device.SelectedLine();
    ASSERT_GE(mixer.GetLineVolume(line), 0.0);
    ASSERT_EQ(0, device.StartInput(44100, 512, device.CaptureCallback()));
    LatestBlock& latest = LatestBlock::Instance();
    ASSERT_TRUE(SoundRig::WaitFor([&] { return latest.Get().size() == 512; }, SoundRig::CaptureStartMs));

    Platform::LogCapture log;
    ASSERT_TRUE(SoundRig::StopServer());
    EXPECT_TRUE(SoundRig::WaitFor([&] { return device.CaptureLost(); }, 5000));
    EXPECT_TRUE(log.Contains("stopped by itself"));
    EXPECT_EQ(-1.0f, tracker.GetFrequency()) << "no measurement from a dead capture";
    EXPECT_EQ(std::vector<float>(512, 0.0f), latest.Get());
    // The mixers know they are lost, and answer what they last read; a
    // volume set meanwhile is kept for the server's return.
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            playback.Poll();
            return !mixer.IsOpen() && !playback.IsOpen();
        },
        5000));
    EXPECT_GE(mixer.GetLineVolume(line), 0.0);
    EXPECT_TRUE(mixer.SetLineVolume(line, 0.5));
    EXPECT_NEAR(0.5, mixer.GetLineVolume(line), 0.001);

    ASSERT_TRUE(SoundRig::StartServer());
    EXPECT_TRUE(SoundRig::MixersReadTheServer());
    EXPECT_TRUE(log.Contains("the mixer is back"));
    EXPECT_TRUE(SoundRig::WaitFor([] { return SoundRig::VolumeIs("source", 50); }, 5000))
        << "the volume set while the server was away is written on its return";
    EXPECT_TRUE(mixer.SetLineVolume(line, 0.25)) << "its registrations are made anew";
    EXPECT_NEAR(0.25, mixer.GetLineVolume(line), 0.001);
    mixer.SetLineVolume(line, 1.0);
    device.SetOutputVolume(70);
    EXPECT_EQ(70, device.GetOutputVolume());
    device.SetOutputVolume(100);

    // Capture starts again on a new stream.
    ASSERT_EQ(0, device.StartInput(44100, 512, device.CaptureCallback()));
    EXPECT_FALSE(device.CaptureLost());
    tracker.GetFrequency();
    EXPECT_TRUE(SoundRig::WaitFor([&] { return tracker.HasNewWindow(); }, SoundRig::CaptureStartMs));
    EXPECT_FALSE(device.CaptureLost());
    device.StopInput();
}

// While the server stays away the mixer tries to attach again every second
// and the tuner to start its capture again: with the log on, each failure is
// written once and then only at the 10th and 100th attempt, so a long loss
// writes a few lines rather than one an attempt.
TEST_F(SoundServerLoss, WhileTheServerStaysAwayEachFailureIsWrittenOnceAndAtTheTenthAndHundredthAttempt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto hundredAttempts = [] {
        ::setenv("PELLORA_LOG", "1", 1);
        ::setenv("PULSE_SERVER", "unix:/nonexistent/pellora-no-server", 1);
        Platform::ManualClock clock;
        RecordMixer& mixer = RecordMixer::Instance();
        AudioDevice& device = AudioDevice::Instance();
        bool failed = !mixer.IsOpen();
        for (int attempt = 1; attempt <= 100; ++attempt) {
            // Each opening is answered on the call thread.
            SoundRig::WaitFor(
                [&] {
                    mixer.Poll();
                    return !mixer.Opening();
                },
                5000);
            failed = failed && !mixer.IsOpen() && device.RestartCapture() != 0;
            clock.Advance(MixerClient::ReconnectIntervalMs);
            mixer.Poll();
        }
        std::exit(failed ? 0 : 1);
    };
    // How often the line said most often was said, its counts taken off.
    const auto mostRepeated = [](const std::string& output) {
        std::map<std::string, int> times;
        std::istringstream lines(output);
        int most = 0;
        for (std::string line; std::getline(lines, line);) {
            const std::size_t count = line.find(" times so far)");
            if (count != std::string::npos)
                line.erase(line.rfind(" (", count));
            most = std::max(most, ++times[line]);
        }
        return most;
    };
    EXPECT_EXIT(hundredAttempts(), ::testing::ExitedWithCode(0),
                ::testing::Matcher<const std::string&>(::testing::AllOf(
                    ::testing::HasSubstr("mixer: cannot attach the mixer of \"default\""),
                    ::testing::HasSubstr("(100 times so far)"), ::testing::HasSubstr("audio: opening a stream failed"),
                    ::testing::ResultOf(mostRepeated, ::testing::Le(3)))));
}

// A capture whose server hangs is not stopped to change its buffers (the stop
// would wait for the server): it takes the long ones at its next start.
TEST_F(SoundServerLoss, ACaptureWhoseServerHangsTakesTheLongBuffersOnlyAtItsNextStart)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    ASSERT_EQ(0, device.StartInput(44100, 512, device.CaptureCallback()));
    ASSERT_TRUE(SoundRig::WaitFor([&] { return device.Input().StreamTime() > 0; }, SoundRig::CaptureStartMs));
    ASSERT_TRUE(SoundRig::SignalServer(SIGSTOP));
    const bool stalled =
        SoundRig::WaitFor([&] { return device.Input().StalledFor() > AudioDevice::CaptureDeliversWithinMs; }, 5000);
    if (stalled)
        device.SetSlowCapture(true);
    ASSERT_TRUE(SoundRig::SignalServer(SIGCONT));
    ASSERT_TRUE(stalled);
    EXPECT_TRUE(device.IsSlowCapture());
    EXPECT_FALSE(SoundRig::CapturesInLongBuffersOnly(device)) << "the stream left running keeps its short buffers";
    ASSERT_EQ(0, device.RestartCapture());
    EXPECT_TRUE(SoundRig::CapturesInLongBuffersOnly(device)) << "started again, it has the long ones";
    device.SetSlowCapture(false);
    EXPECT_FALSE(SoundRig::CapturesInLongBuffersOnly(device)) << "delivering, it changes back at once";
    device.StopInput();
}

namespace {

Platform::Milliseconds TimeOf(const std::function<void()>& call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

// A server that hangs answers nothing, and the sound libraries would wait for
// it without end: every call made on the GUI thread returns within its bound,
// whether a stream ran when the server stopped or not, and once the server
// goes on the stream starts again.
TEST_F(SoundServerLoss, WhileTheServerHangsStoppingOpeningAndStartingReturnWithinTheirBounds)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    using SoundRig::WindowMayWaitMs;
    AudioDevice& device = AudioDevice::Instance();
    LoopBuffer& loop = LoopBuffer::Instance();
    loop.BuildTone(440.0f);
    const struct {
        const char* what;
        std::function<int()> start;
        std::function<int()> stop;
        std::function<double()> frames;
        Wave& wave;
        bool runs;
    } streams[] = {
        {"a tone played", [&] { return device.StartOutput(44100, loop.Size(), loop); },
         [&] { return device.StopOutput(); }, [&] { return device.Output().StreamTime(); }, device.Output(), true},
        {"a capture", [&] { return device.StartInput(44100, 512, device.CaptureCallback()); },
         [&] { return device.StopInput(); }, [&] { return device.Input().StreamTime(); }, device.Input(), true},
        {"a tone started on the stopped server", [&] { return device.StartOutput(44100, loop.Size(), loop); },
         [&] { return device.StopOutput(); }, [&] { return device.Output().StreamTime(); }, device.Output(), false},
    };
    for (const auto& stream : streams) {
        SCOPED_TRACE(stream.what);
        if (stream.runs) {
            ASSERT_EQ(0, stream.start());
            ASSERT_TRUE(SoundRig::WaitFor([&] { return stream.frames() > 4410.0; }, SoundRig::CaptureStartMs));
        }
        {
            SoundRig::HungServer server(std::chrono::seconds(30));
            ASSERT_TRUE(server.Stopped());
            if (stream.runs) {
                // The frames stop coming: the stop finds the server stopped.
                ASSERT_TRUE(SoundRig::WaitFor([&] { return stream.wave.StalledFor() > 200; }, 5000));
                const Platform::Milliseconds stopping = TimeOf([&] { stream.stop(); });
                EXPECT_LT(stopping, WindowMayWaitMs);
                std::printf("[ stopping %s on the hung server took %lld ms ]\n", stream.what, (long long)stopping);
            }
            int started = 0;
            const Platform::Milliseconds starting = TimeOf([&] { started = stream.start(); });
            EXPECT_NE(0, started);
            EXPECT_LT(starting, WindowMayWaitMs);
            std::printf("[ starting %s on the hung server took %lld ms ]\n", stream.what, (long long)starting);
        }
        EXPECT_TRUE(SoundRig::WaitFor([&] { return stream.start() == 0; }, 20000)) << "the server went on";
        EXPECT_TRUE(SoundRig::WaitFor([&] { return stream.frames() > 4410.0; }, SoundRig::CaptureStartMs));
        stream.stop();
    }
}

// A mixer's write is sent and not waited for: on a server that hangs it
// returns at once, the mixer is not lost, and the server takes the write when
// it goes on.
TEST_F(SoundServerLoss, AMixerWriteOnAServerThatHangsReturnsAtOnceAndReachesItWhenItGoesOn)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    // The mixers open on the sound server's call thread, after the device is made.
    AudioDevice::Instance();
    ASSERT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not open";
    AudioDevice& device = AudioDevice::Instance();
    RecordMixer& mixer = RecordMixer::Instance();
    PlaybackMixer& playback = PlaybackMixer::Instance();
    const MixerLine line = device.SelectedLine();
    {
        SoundRig::HungServer server(std::chrono::seconds(30));
        ASSERT_TRUE(server.Stopped());
        const Platform::Milliseconds writing = TimeOf([&] {
            mixer.SetLineVolume(line, 0.5);
            device.SetOutputVolume(50);
            mixer.Poll();
            playback.Poll();
        });
        // Far inside the half second the window may wait: nothing is waited for.
        EXPECT_LT(writing, 100);
        EXPECT_TRUE(mixer.IsOpen() && playback.IsOpen()) << "a slow answer loses no mixer";
        EXPECT_EQ(50, device.GetOutputVolume());
    }
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            playback.Poll();
            return SoundRig::VolumeIs("source", 50) && SoundRig::VolumeIs("sink", 50);
        },
        20000));
    mixer.SetLineVolume(line, 1.0);
    device.SetOutputVolume(100);
}

// A server that went away and came back hung: the capture is lost and nothing
// is known to be stuck. The tuner's retry, made every second, never waits on
// it, and no stream is opened on it: one would wait until the server's plugin
// gave up (30 s), and the library could fail on what it got then and end the
// process. The hang outlasts that time-out; once the server goes on, the
// retry brings the capture back by itself.
TEST_F(SoundServerLoss, RetriesOnAServerHungLongerThanTheLibrarysTimeOutNeverWaitOrOpenAndCaptureComesBack)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    ASSERT_EQ(0, device.StartInput(44100, 512, device.CaptureCallback()));
    ASSERT_TRUE(SoundRig::WaitFor([&] { return device.Input().StreamTime() > 0; }, SoundRig::CaptureStartMs));
    Platform::LogCapture log;
    ASSERT_TRUE(SoundRig::StopServer());
    ASSERT_TRUE(SoundRig::WaitFor([&] { return device.CaptureLost(); }, 5000));
    ASSERT_TRUE(SoundRig::StartServer());

    Platform::Milliseconds longest = 0;
    int retries = 0;
    const auto retryEverySecondFor = [&](std::chrono::seconds length) {
        const auto end = std::chrono::steady_clock::now() + length;
        while (std::chrono::steady_clock::now() < end && device.CaptureLost()) {
            int result = 0;
            longest = std::max(longest, TimeOf([&] { result = device.RetryCapture(); }));
            ++retries;
            if (result == 0)
                break;
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    };
    {
        SoundRig::HungServer server(std::chrono::seconds(60));
        ASSERT_TRUE(server.Stopped());
        retryEverySecondFor(std::chrono::seconds(40));
        EXPECT_TRUE(device.CaptureLost());
    }
    std::printf("[ %d retries on the hung server, the longest took %lld ms ]\n", retries, (long long)longest);
    EXPECT_LT(longest, 200);
    EXPECT_FALSE(log.Contains("opening of a stream")) << "an open was begun on the hung server";

    const auto resumed = std::chrono::steady_clock::now();
    retryEverySecondFor(std::chrono::seconds(10));
    ASSERT_FALSE(device.CaptureLost()) << "capture did not come back";
    const double back = std::chrono::duration<double>(std::chrono::steady_clock::now() - resumed).count();
    std::printf("[ capture came back %.1f s after the server went on ]\n", back);
    const double frames = device.Input().StreamTime();
    EXPECT_TRUE(
        SoundRig::WaitFor([&] { return device.Input().StreamTime() > frames + 4410.0; }, SoundRig::CaptureStartMs));
    device.StopInput();
}

// A mixer lost with its sound server is opened again only once the server
// answers: one that came back hung (stopped as it started) would hold the
// opening, and with it the GUI thread, for the opening's whole bound.
TEST_F(SoundServerLoss, ALostMixerIsNotOpenedAgainOnAServerThatCameBackHung)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    // The mixers open on the sound server's call thread, after the device is made.
    AudioDevice::Instance();
    ASSERT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not open";
    RecordMixer& mixer = RecordMixer::Instance();
    const MixerLine line = AudioDevice::Instance().SelectedLine();
    ASSERT_GE(mixer.GetLineVolume(line), 0.0);
    ASSERT_TRUE(SoundRig::StopServer());
    ASSERT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            return !mixer.IsOpen();
        },
        5000));
    ASSERT_TRUE(SoundRig::StartServer());
    {
        SoundRig::HungServer server(std::chrono::seconds(30));
        ASSERT_TRUE(server.Stopped());
        for (int attempt = 0; attempt < 3; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(MixerClient::ReconnectIntervalMs + 50));
            mixer.Poll();
        }
        EXPECT_FALSE(Platform::SoundServerCalls().Stuck()) << "an opening was begun on the hung server";
        EXPECT_FALSE(mixer.IsOpen());
    }
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            return mixer.GetLineVolume(line) >= 0.0;
        },
        20000))
        << "the mixer comes back once the server answers";
}

// No call the window's thread makes on the sound server holds it longer than
// the window's wait, whatever the server does: stopped, killed, killed and
// started again stopped, stopped again right after a short run (in which it
// answered a question asked before: that answer is old), or stopped with a
// change pending that the mixers must read from it (a volume just moved, a
// stream of ours just started, another program's stream). The calls are
// those the window makes: the mixers' polls (which read changes, and open a
// lost mixer anew), a mixer's write, and a play-back's and a capture's start
// and stop.
TEST_F(SoundServerLoss, NoCallOfTheWindowsThreadWaitsOnTheServerLongerThanTheWindowsWait)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    // The mixers open on the sound server's call thread, after the device is made.
    AudioDevice::Instance();
    ASSERT_TRUE(SoundRig::MixersReadTheServer()) << "the mixers do not open";
    AudioDevice& device = AudioDevice::Instance();
    RecordMixer& mixer = RecordMixer::Instance();
    PlaybackMixer& playback = PlaybackMixer::Instance();
    LoopBuffer& loop = LoopBuffer::Instance();
    loop.BuildTone(440.0f);
    const MixerLine line = device.SelectedLine();
    const std::string tone = SoundRig::ToneFile(440.0, 10.0);
    ASSERT_FALSE(tone.empty());
    // Long enough for a wait without a bound to show, short of the library's own time-out.
    constexpr std::chrono::seconds HangFor(8);

    Platform::Milliseconds longest = 0;
    std::string longestCall;
    const auto timed = [&](const char* call, const std::function<void()>& f) {
        const Platform::Milliseconds took = TimeOf(f);
        if (took > longest) {
            longest = took;
            longestCall = call;
        }
    };
    const auto pollFor = [&](Platform::Milliseconds length) {
        for (Platform::Milliseconds polled = 0; polled < length; polled += MixerNotifyWindow::kPollMs) {
            // The window's clock polls both mixers in one tick.
            timed("the mixers' polls", [&] {
                mixer.Poll();
                playback.Poll();
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(MixerNotifyWindow::kPollMs));
        }
    };
    const auto windowCalls = [&] {
        pollFor(1500);
        timed("a mixer's write", [&] { mixer.SetLineVolume(line, 0.9); });
        timed("a play-back's start", [&] { device.StartOutput(44100, loop.Size(), loop); });
        timed("a play-back's stop", [&] { device.StopOutput(); });
        timed("a capture's start", [&] { device.StartInput(44100, 512, device.CaptureCallback()); });
        timed("a capture's stop", [&] { device.StopInput(); });
    };

    std::optional<SoundRig::HungServer> server;
    std::optional<SoundRig::Player> player;
    const auto killed = [&] {
        ASSERT_TRUE(SoundRig::StopServer());
        ASSERT_TRUE(SoundRig::WaitFor(
            [&] {
                mixer.Poll();
                return !mixer.IsOpen();
            },
            5000));
    };
    const auto hung = [&] {
        server.emplace(HangFor);
        ASSERT_TRUE(server->Stopped());
    };
    const struct {
        const char* what;
        std::function<void()> stop;
    } states[] = {
        {"stopped", hung},
        {"killed", killed},
        {"killed, then started again stopped",
         [&] {
             killed();
             ASSERT_TRUE(SoundRig::StartServer());
             hung();
         }},
        {"stopped again right after a short run",
         [&] {
             killed();
             ASSERT_TRUE(SoundRig::StartServer());
             hung();
             // The lost mixer's tries leave a question unanswered.
             pollFor(2 * MixerClient::ReconnectIntervalMs);
             server.reset();
             std::this_thread::sleep_for(std::chrono::milliseconds(300));
             hung();
             longest = 0;
         }},
        {"stopped with a volume just moved",
         [&] {
             ASSERT_EQ(0, std::system("pactl set-sink-volume @DEFAULT_SINK@ 90%"));
             hung();
         }},
        {"stopped with a stream of ours just started",
         [&] {
             ASSERT_EQ(0, device.StartOutput(44100, loop.Size(), loop));
             hung();
         }},
        {"stopped with another program's stream just started",
         [&] {
             player.emplace(tone);
             ASSERT_TRUE(SoundRig::WaitFor(
                 [] { return !SoundRig::Output("pactl list short sink-inputs").empty(); }, 5000));
             hung();
         }},
    };
    for (const auto& state : states) {
        SCOPED_TRACE(state.what);
        longest = 0;
        state.stop();
        windowCalls();
        EXPECT_LT(longest, SoundRig::WindowMayWaitMs) << longestCall;
        std::printf("[ %s: the longest call took %lld ms (%s) ]\n", state.what, (long long)longest,
                    longestCall.c_str());
        server.reset();
        player.reset();
        device.StopOutput();
        device.StopInput();
        EXPECT_EQ("", SoundRig::BringServerBack(found_));
        EXPECT_TRUE(SoundRig::WaitFor([] { return !Platform::SoundServerCalls().Stuck(); }, 40000));
        EXPECT_TRUE(SoundRig::MixersReadTheServer(10000));
    }
}
