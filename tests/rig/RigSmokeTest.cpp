// The test rig's sound path: a tone played into the null sink with paplay is
// heard back from its monitor by arecord through ALSA's default device.
#include <gtest/gtest.h>

#include <cstdio>

#include "audio/SoundRig.h"

TEST(RigSmoke, ToneIntoNullSinkIsHeardFromItsMonitor)
{
    const std::string tone = SoundRig::ToneFile(440.0, 4.0);
    ASSERT_FALSE(tone.empty());
    SoundRig::Player player(tone);
    ASSERT_TRUE(player.Started());
    const std::vector<float> samples = SoundRig::Record(3.0);
    std::remove(tone.c_str());
    ASSERT_GT(samples.size(), 44100u);

    // The tone sits somewhere in the recording: take its loudest half second.
    const std::size_t block = 22050, at = SoundRig::Loudest(samples, block);
    ASSERT_GT(SoundRig::Rms(samples, at, at + block), 0.1) << "the recording is silent";
    EXPECT_GT(SoundRig::RelativePower(samples, at, at + block, 440.0), 0.8);
    EXPECT_LT(SoundRig::RelativePower(samples, at, at + block, 660.0), 0.05);
}
