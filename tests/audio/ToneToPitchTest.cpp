// The whole road of one sound on the test rig's sound server: a tone played
// into the null sink (by paplay, or by our own output stream from the loop
// buffer) is captured through PortAudio, decimated, windowed and analysed.
#include "audio/AudioDevice.h"
#include "audio/LoopBuffer.h"
#include "audio/PitchTracker.h"

#include "SoundRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

// Reads the measured frequency on a 50 ms clock, as the tuner screen does,
// until it has stayed within 0.5 Hz of the expected one for half a second.
float SettledFrequency(float expected, int milliseconds)
{
    PitchTracker& tracker = PitchTracker::Instance();
    float f = 0.0f;
    int steady = 0;
    SoundRig::WaitFor(
        [&] {
            f = tracker.GetFrequency();
            steady = std::fabs(f - expected) <= 0.5f ? steady + 1 : 0;
            return steady >= 50;
        },
        milliseconds);
    return f;
}

} // namespace

TEST(ToneToPitch, APlayedToneIsMeasured)
{
    AudioDevice& device = AudioDevice::Instance();
    const std::string tone = SoundRig::ToneFile(440.0, 4.0);
    ASSERT_EQ(0, device.Input().Start(false));
    const int runs = PitchTracker::Instance().Runs();
    ASSERT_TRUE(SoundRig::WaitFor(
        [&] {
            PitchTracker::Instance().GetFrequency();
            return PitchTracker::Instance().Runs() > runs + 1;
        },
        SoundRig::CaptureStartMs));
    SoundRig::Player player(tone);
    ASSERT_TRUE(player.Started());
    EXPECT_NEAR(440.0, SettledFrequency(440.0f, 3500), 0.5);
    device.StopInput();
    std::remove(tone.c_str());
}

TEST(ToneToPitch, TheReferenceToneIsHeardAtItsFrequency)
{
    AudioDevice& device = AudioDevice::Instance();
    LoopBuffer& loop = LoopBuffer::Instance();
    // 30 dB and more plays at full scale.
    loop.SetLoudnessCurve(LoudnessCurve{{100.0f, 30.0f}, {1000.0f, 30.0f}});
    loop.BuildTone(329.63f);
    ASSERT_GT(loop.Size(), 400000u);
    ASSERT_EQ(0, device.Input().Start(false));
    ASSERT_EQ(0, device.StartOutput(44100, loop.Size(), loop));
    EXPECT_NEAR(329.63, SettledFrequency(329.63f, 6000), 0.5);
    EXPECT_TRUE(device.Output().IsActive());
    device.StopOutput();
    device.StopInput();
}
