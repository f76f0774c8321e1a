#include "audio/LoopBuffer.h"
#include "audio/SampleFile.h"
#include "platform/Log.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using TestSignals::Play;

TEST(LoopBuffer, ABarIsPlainBeatsThenTheAccentAndTempoOrBarBelowOneIsRefused)
{
    LoopBuffer& loop = LoopBuffer::Instance();
    ASSERT_TRUE(loop.BuildBeats(114, 4, ToneClick(440.0f), ToneClick(880.0f)));
    const std::vector<float> bar = loop.Samples();
    ASSERT_EQ(92788u, bar.size());
    const std::size_t beat = 23197;
    const float step = float(2.0 * M_PI * 440.0 / 44100.0);
    for (std::size_t b = 0; b < 3; ++b)
        EXPECT_FLOAT_EQ(std::sin(step), bar[b * beat + 1]) << b;
    EXPECT_FLOAT_EQ(std::sin(float(2.0 * M_PI * 880.0 / 44100.0)), bar[3 * beat + 1]);
    EXPECT_EQ(0.0f, bar[3 * beat + 11597]);
    EXPECT_EQ(0.0f, bar.back());

    EXPECT_FALSE(loop.BuildBeats(0, 4, ToneClick(440.0f), ToneClick(880.0f)));
    EXPECT_FALSE(loop.BuildBeats(120, 0, ToneClick(440.0f), ToneClick(880.0f)));
    // A bar is held whole: its beats are bounded (100000 would take 8.8 GB).
    Platform::LogCapture log;
    EXPECT_FALSE(loop.BuildBeats(120, 100000, ToneClick(440.0f), ToneClick(880.0f)));
    EXPECT_FALSE(loop.BuildBeats(120, LoopBuffer::MaxBeatsPerBar + 1, ToneClick(440.0f), ToneClick(880.0f)));
    EXPECT_TRUE(log.Contains("at most 32"));
    // A click sound file that is missing is a failure, not a bar of silence.
    EXPECT_FALSE(loop.BuildBeats(120, 4, ToneClick(440.0f), SampleClick("/nonexistent/pellora-accent.wav")));
    EXPECT_TRUE(log.Contains("/nonexistent/pellora-accent.wav"));
    EXPECT_EQ(bar, loop.Samples());
    ASSERT_TRUE(loop.BuildBeats(120, LoopBuffer::MaxBeatsPerBar, ToneClick(440.0f), ToneClick(880.0f)));
    EXPECT_EQ(32u * 22050u, loop.Size());
}

TEST(LoopBuffer, PlaysOnFromWhereItStoppedAndWraps)
{
    LoopBuffer& loop = LoopBuffer::Instance();
    loop.SetSamples({1, 2, 3, 4, 5});
    EXPECT_EQ((std::vector<float>{1, 2, 3}), Play(loop, 3));
    EXPECT_EQ((std::vector<float>{4, 5, 1, 2, 3, 4, 5, 1}), Play(loop, 8));
    // A rebuild to a shorter sound starts it again from its beginning.
    loop.SetSamples({7, 8});
    EXPECT_EQ((std::vector<float>{7, 8, 7}), Play(loop, 3));
    loop.SetSamples({});
    EXPECT_EQ((std::vector<float>{0, 0, 0}), Play(loop, 3));
}
