// The sound server goes away while the tuner listens, and comes back.
#include "audio/AudioDevice.h"
#include "audio/LatestBlock.h"
#include "audio/PitchTracker.h"
#include "audio/PlaybackMixer.h"
#include "audio/RecordMixer.h"
#include "platform/Clock.h"
#include "platform/Log.h"

#include "HostBufferCounts.h"
#include "SoundRig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

TEST(SoundServerLoss, ADeadCaptureShowsNoMeasurementAndTheMixerComesBackWithTheServer)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
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
    // The mixers say they cannot read, rather than answering stale values.
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            playback.Poll();
            return mixer.GetLineVolume(line) == -1.0 && device.GetOutputVolume() == -100;
        },
        5000));
    EXPECT_FALSE(mixer.SetLineVolume(line, 0.5));

    ASSERT_TRUE(SoundRig::StartServer());
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            mixer.Poll();
            playback.Poll();
            return mixer.GetLineVolume(line) >= 0.0 && device.GetOutputVolume() >= 0;
        },
        5000));
    EXPECT_TRUE(log.Contains("the mixer is back"));
    EXPECT_TRUE(mixer.SetLineVolume(line, 0.5)) << "its registrations are made anew";
    EXPECT_NEAR(0.5, mixer.GetLineVolume(line), 0.001);
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
TEST(SoundServerLoss, WhileTheServerStaysAwayEachFailureIsWrittenOnceAndAtTheTenthAndHundredthAttempt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto hundredAttempts = [] {
        ::setenv("PELLORA_LOG", "1", 1);
        ::setenv("PULSE_SERVER", "unix:/nonexistent/pellora-no-server", 1);
        Platform::ManualClock clock;
        RecordMixer& mixer = RecordMixer::Instance();
        AudioDevice& device = AudioDevice::Instance();
        bool failed = !mixer.IsOpen();
        for (int attempt = 2; attempt <= 100; ++attempt) {
            clock.Advance(MixerClient::ReconnectIntervalMs);
            mixer.Poll();
            failed = failed && !mixer.IsOpen() && device.RestartCapture() != 0;
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
TEST(SoundServerLoss, ACaptureWhoseServerHangsTakesTheLongBuffersOnlyAtItsNextStart)
{
    ASSERT_FALSE(SoundRig::RigFolder().empty()) << "needs the test rig's own sound server";
    AudioDevice& device = AudioDevice::Instance();
    ASSERT_EQ(0, device.StartInput(44100, 512, device.CaptureCallback()));
    ASSERT_TRUE(SoundRig::WaitFor([&] { return device.Input().StreamTime() > 0; }, SoundRig::CaptureStartMs));
    ASSERT_TRUE(SoundRig::SignalServer(SIGSTOP));
    const bool stalled = SoundRig::WaitFor(
        [&] { return device.Input().StalledFor() > AudioDevice::CaptureDeliversWithinMs; }, 5000);
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
