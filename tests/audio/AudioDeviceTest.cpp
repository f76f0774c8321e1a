// The audio device on the test rig's sound server: capture into the analysis
// buffers, a metronome bar looped by our own output stream, and a recording
// played back.
#include "audio/AudioDevice.h"
#include "audio/LatestBlock.h"
#include "audio/LoopBuffer.h"
#include "audio/PitchTracker.h"
#include "audio/RecordBuffer.h"
#include "audio/SoundCardCheck.h"
#include "platform/Log.h"

#include "SoundRig.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

TEST(AudioDevice, CaptureFeedsTheDisplayBlockAndTheAnalysisWindow)
{
    AudioDevice& device = AudioDevice::Instance();
    ASSERT_EQ(0, device.Input().GetError());
    const std::string tone = SoundRig::ToneFile(1000.0, 3.0);
    ASSERT_EQ(0, device.Input().Start(false));
    LatestBlock& latest = LatestBlock::Instance();
    ASSERT_TRUE(SoundRig::WaitFor([&] { return latest.Get().size() == 512; }, SoundRig::CaptureStartMs));
    SoundRig::Player player(tone);
    ASSERT_TRUE(player.Started());
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            const std::vector<float>& block = latest.Get();
            return SoundRig::Rms(block, 0, block.size()) > 0.05;
        },
        3000));
    // A block from inside the tone, not from its start.
    SoundRig::WaitFor([] { return false; }, 300);
    const std::vector<float> block = latest.Get();
    EXPECT_NEAR(1000.0, SoundRig::ZeroCrossingFrequency(block, 0, block.size(), 11025.0), 25.0);
    const std::vector<float> window = PitchTracker::Instance().Window();
    ASSERT_EQ(2048u, window.size());
    EXPECT_TRUE(PitchTracker::Instance().HasNewWindow());

    EXPECT_EQ(0, device.StopInput());
    EXPECT_EQ(std::vector<float>(512, 0.0f), latest.Get());
    std::remove(tone.c_str());
}

TEST(AudioDevice, AMetronomeBarLoopsWithTheAccentLast)
{
    AudioDevice& device = AudioDevice::Instance();
    LoopBuffer& loop = LoopBuffer::Instance();
    ASSERT_TRUE(loop.BuildBeats(120, 2, ToneClick(1000.0f), ToneClick(2000.0f)));
    ASSERT_EQ(44100u, loop.Size());
    ASSERT_EQ(0, device.StartOutput(44100, loop.Size(), loop));
    const std::vector<float> heard = SoundRig::Record(2.0);
    EXPECT_GT(device.Output().StreamTime(), 44100.0);
    EXPECT_EQ(0, device.StopOutput());
    ASSERT_GT(heard.size(), 3u * 22050u);

    // Click onsets: where sound starts after at least 0.1 s of silence.
    std::vector<std::size_t> onsets;
    std::size_t silent = 0;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        if (std::fabs(heard[i]) > 0.05f) {
            if (silent >= 4410)
                onsets.push_back(i);
            silent = 0;
        } else {
            ++silent;
        }
    }
    ASSERT_GE(onsets.size(), 3u);
    for (std::size_t k = 1; k < onsets.size(); ++k)
        EXPECT_NEAR(22050.0, double(onsets[k] - onsets[k - 1]), 100.0) << k;
    // Plain and accented clicks alternate.
    for (std::size_t k = 0; k + 1 < onsets.size(); ++k) {
        const std::size_t at = onsets[k] + 100;
        const bool high = SoundRig::RelativePower(heard, at, at + 4410, 2000.0) > 0.5;
        const bool low = SoundRig::RelativePower(heard, at, at + 4410, 1000.0) > 0.5;
        EXPECT_NE(high, low) << k;
        if (k > 0) {
            const std::size_t before = onsets[k - 1] + 100;
            EXPECT_NE(high, SoundRig::RelativePower(heard, before, before + 4410, 2000.0) > 0.5) << k;
        }
    }
}

// A loop buffer started again on a stream that plays it: the stream that
// stops fades out, and the new one takes the sound up from its beginning, not
// from where the old one's last calls left it.
TEST(AudioDevice, ALoopStartedAgainWhileItPlaysStartsItsSoundFromTheBeginning)
{
    AudioDevice& device = AudioDevice::Instance();
    LoopBuffer& loop = LoopBuffer::Instance();
    // A rise over two seconds: the first sample heard tells how far in.
    std::vector<float> rise(2 * 44100);
    for (std::size_t i = 0; i < rise.size(); ++i)
        rise[i] = 0.8f * float(i) / float(rise.size());
    loop.SetSamples(rise);
    const auto playedFor = [&device](double seconds) {
        return SoundRig::WaitFor([&] { return device.Output().StreamTime() >= seconds * 44100.0; }, 5000);
    };
    ASSERT_EQ(0, device.StartOutput(44100, 512, loop));
    ASSERT_TRUE(playedFor(0.3));
    SoundRig::Recorder recorder;
    ASSERT_TRUE(recorder.WaitUntilRecording());
    ASSERT_EQ(0, device.StartOutput(44100, 512, loop));
    ASSERT_TRUE(playedFor(0.3));
    const std::vector<float> heard = recorder.Stop();
    device.StopOutput();

    // The new stream is heard after the silence between the two.
    std::size_t start = heard.size();
    std::size_t quiet = 0;
    for (std::size_t i = 0; i < heard.size(); ++i) {
        if (std::fabs(heard[i]) > 1e-4f && quiet >= 220)
            start = i;
        quiet = std::fabs(heard[i]) > 1e-4f ? 0 : quiet + 1;
    }
    ASSERT_LT(start, heard.size()) << "no start heard in " << heard.size() << " samples";
    EXPECT_LT(std::fabs(heard[start]), 0.01f) << "a step at its first sample";
}

TEST(AudioDevice, ARecordingIsPlayedBack)
{
    AudioDevice& device = AudioDevice::Instance();
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    const std::string tone = SoundRig::ToneFile(700.0, 1.0);
    // Only the tone is recorded.
    ASSERT_TRUE(SoundRig::WaitUntilSilent());
    ASSERT_EQ(0, device.StartInput(44100, 512, record));
    ASSERT_TRUE(SoundRig::WaitFor([&] { return record.BlockCount() > 0; }, SoundRig::CaptureStartMs));
    SoundRig::Player player(tone);
    ASSERT_TRUE(player.Started());
    // The whole tone is recorded: played to its end, and captured a while on.
    EXPECT_TRUE(SoundRig::WaitFor([&] { return player.Finished(); }, 20000));
    const std::size_t afterTone = record.SampleCount() + 22050;
    EXPECT_TRUE(SoundRig::WaitFor([&] { return record.SampleCount() > afterTone; }, SoundRig::CaptureStartMs));
    EXPECT_EQ(0, device.StopInput());
    std::remove(tone.c_str());
    EXPECT_TRUE(PitchTracker::Instance().HasNewWindow()) << "recording still feeds the analysis";

    // Heard from the start of the play-back to its end.
    SoundRig::Recorder recorder;
    ASSERT_TRUE(recorder.WaitUntilRecording());
    record.ResetPosition();
    ASSERT_EQ(0, device.StartOutput(44100, 512, record));
    const double recorded = double(record.SampleCount());
    EXPECT_TRUE(SoundRig::WaitFor([&] { return device.Output().StreamTime() > recorded + 11025.0; },
                                  int(recorded / 44.1) + SoundRig::CaptureStartMs));
    const std::vector<float> heard = recorder.Stop();
    device.StopOutput();
    ASSERT_GT(heard.size(), 22050u);
    const std::size_t at = SoundRig::Loudest(heard, 11025);
    EXPECT_GT(SoundRig::RelativePower(heard, at, at + 11025, 700.0), 0.8);

    EXPECT_EQ(0, device.RestartCapture());
    device.StopInput();
}

TEST(AudioDevice, TheCaptureHandlerLeavesTheBlockItDecimatesIntact)
{
    AudioDevice& device = AudioDevice::Instance();
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    // 1001 frames: not a multiple of the decimation factor.
    std::vector<float> block(1001);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = float(std::sin(0.05 * double(i)));
    const std::vector<float> original = block;
    EXPECT_EQ(0, device.RecordingCallback(record)(block.data(), nullptr, block.size(), 0.0, nullptr));
    EXPECT_EQ(original, block);
    EXPECT_EQ(0, device.OnInput(block.data(), nullptr, block.size(), 0.0, nullptr));
    EXPECT_EQ(original, block);
    EXPECT_EQ(1u, record.BlockCount());
    EXPECT_EQ(1001u, record.SampleCount());

    // What the recording plays back is the block as captured.
    std::vector<float> out(1001);
    record.ResetPosition();
    record.PlayCallback(nullptr, out.data(), out.size(), 0.0, nullptr);
    EXPECT_EQ(original, out);
    record.Clear();
}

TEST(AudioDevice, WithoutASoundServerEverythingFailsCleanlyAndTheCardCheckFails)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("PULSE_SERVER", "unix:/nonexistent/pellora-no-server", 1);
            bool ok = !IsSoundCardPresent();
            AudioDevice& device = AudioDevice::Instance();
            ok = ok && device.Input().GetError() != 0 && !device.Input().IsOpen();
            ok = ok && device.GetInputs().empty() && device.GetInputFullScale() == 32768;
            ok = ok && device.Input().Start(false) != 0 && LatestBlock::Instance().Get().empty();
            LoopBuffer& loop = LoopBuffer::Instance();
            ok = ok && loop.BuildBeats(120, 4, ToneClick(440.0f), ToneClick(880.0f));
            ok = ok && device.StartOutput(44100, loop.Size(), loop) != 0 && !device.Output().IsActive();
            std::exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Once the server is gone, every attempt to open a stream makes the sound
// libraries report the same failed steps again.
TEST(AudioDevice, WithTheServerGoneTheLibrariesOwnReportsStayOffStderrAndTheirRepeatsAreCounted)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto attempts = [] {
        AudioDevice& device = AudioDevice::Instance();
        bool ok = device.Input().IsOpen();
        device.StopInput();
        device.Input().Close();
        ::setenv("PULSE_SERVER", "unix:/nonexistent/pellora-no-server", 1);
        for (int i = 0; i < 30; ++i)
            ok = ok && device.Input().Open(AudioDevice::CaptureRate, AudioDevice::CaptureFrames) != 0;
        std::exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(
        {
            ::unsetenv("PELLORA_LOG");
            attempts();
        },
        ::testing::ExitedWithCode(0), ::testing::Matcher<const std::string&>(::testing::IsEmpty()));
    // With the log on, each of the library's reports is there once, and then
    // only at the tenth time.
    const auto libraryLines = [](const std::string& output) {
        std::size_t lines = 0;
        for (std::size_t at = output.find("PortAudio: "); at != std::string::npos;
             at = output.find("PortAudio: ", at + 1))
            ++lines;
        return lines;
    };
    EXPECT_EXIT(
        {
            ::setenv("PELLORA_LOG", "1", 1);
            attempts();
        },
        ::testing::ExitedWithCode(0),
        ::testing::Matcher<const std::string&>(::testing::AllOf(
            ::testing::HasSubstr("PortAudio: Expression"), ::testing::HasSubstr("(10 times so far)"),
            ::testing::ResultOf(libraryLines, ::testing::Le(std::size_t(16))))));
}

TEST(AudioDevice, AnEmptyLoopBufferFailsToStartWithAnHonestMessage)
{
    AudioDevice& device = AudioDevice::Instance();
    LoopBuffer& loop = LoopBuffer::Instance();
    loop.SetSamples({});
    Platform::LogCapture log;
    EXPECT_EQ(Platform::Pa::BufferTooSmall, device.StartOutput(44100, loop.Size(), loop));
    EXPECT_TRUE(log.Contains("buffer of no frames")) << "logged as what it is";
    EXPECT_FALSE(log.Contains("no stream callback"));
    EXPECT_FALSE(device.Output().IsActive());
}

TEST(AudioDevice, StoppingAnOutputThatIsNotOpenIsNoFailure)
{
    AudioDevice& device = AudioDevice::Instance();
    if (device.Output().IsOpen())
        device.Output().Close();
    Platform::LogCapture log;
    EXPECT_EQ(0, device.StopOutput());
    EXPECT_TRUE(log.Messages().empty()) << log.Messages().front();
}

TEST(AudioDevice, TheSoundLibrariesProbingGoesToTheLogAndStderrStaysQuiet)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto startAndStop = [] {
        AudioDevice& device = AudioDevice::Instance();
        const bool ok = device.Input().Start(false) == 0 && device.StopInput() == 0;
        std::exit(ok ? 0 : 1);
    };
    EXPECT_EXIT(
        {
            ::unsetenv("PELLORA_LOG");
            startAndStop();
        },
        ::testing::ExitedWithCode(0), ::testing::Matcher<const std::string&>(::testing::IsEmpty()));
    // With the log on, the same reports are there, marked as ours.
    EXPECT_EXIT(
        {
            ::setenv("PELLORA_LOG", "1", 1);
            startAndStop();
        },
        ::testing::ExitedWithCode(0),
        ::testing::Matcher<const std::string&>(
            ::testing::AnyOf(::testing::HasSubstr("JACK: "), ::testing::HasSubstr("ALSA: "))));
}
