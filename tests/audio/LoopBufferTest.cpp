#include "audio/LoopBuffer.h"
#include "audio/SampleFile.h"
#include "platform/Log.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <future>
#include <thread>
#include <vector>

using TestSignals::Play;

// A call of the engine side under way, on a thread of its own, for as long
// as it lives: as a call of a stream given up while the engine thread was
// starved.
struct LoopBufferCallUnderWay {
    explicit LoopBufferCallUnderWay(LoopBuffer& loop)
    {
        std::promise<void> inside;
        held = std::thread([&loop, &inside, this] {
            const SoleEntry::Pass pass(loop.engine_);
            inside.set_value();
            while (!leave.load())
                std::this_thread::yield();
        });
        inside.get_future().wait();
    }
    ~LoopBufferCallUnderWay()
    {
        leave.store(true);
        held.join();
    }
    std::atomic<bool> leave{false};
    std::thread held;
};

TEST(LoopBuffer, ABarIsPlainBeatsThenTheAccentAndTempoOrBarBelowOneIsRefused)
{
    LoopBuffer& loop = LoopBuffer::Instance();
    ASSERT_TRUE(loop.BuildBeats(114, 4, ToneClick(440.0f), ToneClick(880.0f)));
    const std::vector<float> bar = loop.Samples();
    ASSERT_EQ(92788u, bar.size());
    const std::size_t beat = 23197;
    for (std::size_t i : {1u, 100u}) {
        for (std::size_t b = 0; b < 3; ++b)
            EXPECT_FLOAT_EQ(std::sin(float(2.0 * M_PI * 440.0 * double(i) / 44100.0)), bar[b * beat + i]) << b;
        EXPECT_FLOAT_EQ(std::sin(float(2.0 * M_PI * 880.0 * double(i) / 44100.0)), bar[3 * beat + i]);
    }
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

TEST(LoopBuffer, PlaysOnAndWrapsAndTakesANewSoundOnlyAtTheNextBeat)
{
    LoopBuffer& loop = LoopBuffer::Instance();
    // A starting stream takes the newest sound at once.
    loop.SetSamples({1, 2, 3, 4, 5, 6}, 3);
    loop.Restart();
    EXPECT_EQ((std::vector<float>{1, 2, 3, 4}), Play(loop, 4));
    // Handed over mid-beat: the beat plays to its end, then the new sound
    // from its start; one handed over and replaced before that never plays.
    loop.SetSamples({9, 9}, 2);
    loop.SetSamples({7, 8}, 2);
    EXPECT_EQ((std::vector<float>{5, 6, 7, 8, 7}), Play(loop, 5));
    // Without a beat the whole sound is one.
    loop.SetSamples({1, 2, 3});
    std::vector<float> out(4);
    loop.PlayCallback(nullptr, out.data(), 4, 1000.0, nullptr);
    EXPECT_EQ((std::vector<float>{8, 1, 2, 3}), out);
    LoopBuffer::Played played;
    ASSERT_TRUE(loop.PlayedAt(1001.0, played));
    EXPECT_EQ(1001.0, played.start) << "the stream frame where the new sound began";
    EXPECT_EQ(3u, played.beat);
    EXPECT_EQ(3u, played.bar);
    EXPECT_EQ((std::vector<float>{1, 2}), Play(loop, 2));
    loop.SetSamples({5, 6});
    EXPECT_EQ((std::vector<float>{3, 5, 6}), Play(loop, 3));
    loop.SetSamples({});
    EXPECT_EQ((std::vector<float>{0, 0, 0}), Play(loop, 3));
    loop.SetSamples({7, 8});
    EXPECT_EQ((std::vector<float>{7, 8, 7}), Play(loop, 3));

    // A tempo change inside a sounding click lets the click finish.
    ASSERT_TRUE(loop.BuildBeats(114, 4, ToneClick(440.0f), ToneClick(880.0f)));
    const std::vector<float> bar = loop.Samples();
    loop.Restart();
    Play(loop, 23197 + 100);
    ASSERT_TRUE(loop.BuildBeats(120, 4, ToneClick(440.0f), ToneClick(880.0f)));
    const std::vector<float> next = loop.Samples();
    const std::vector<float> heard = Play(loop, 23197 + 22050);
    EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + 23097, bar.begin() + 23297)) << "the old beat plays out";
    EXPECT_TRUE(std::equal(heard.begin() + 23097, heard.end(), next.begin())) << "then the new bar";
}

// A tone handed over while one plays (a retune) is heard from the next call:
// the new tone from its start, the old one fading out beside it over a few
// milliseconds, so that there is neither a gap nor a step.
TEST(LoopBuffer, ANewToneTakesOverAtTheNextCallCrossingFromTheOldOne)
{
    LoopBuffer& loop = LoopBuffer::Instance();
    const std::size_t n = LoopBuffer::CrossingFrames;
    loop.SetSamples(std::vector<float>(3 * n, 1.0f));
    loop.Restart();
    Play(loop, 10);
    loop.SetSamples(std::vector<float>(3 * n, -1.0f), 0, LoopBuffer::HandOver::Crossing);
    const std::vector<float> out = Play(loop, 2 * n);
    EXPECT_FLOAT_EQ(1.0f, out[0]) << "the old tone, whole at the first sample";
    EXPECT_NEAR(0.0f, out[n / 2], 2.0f / float(n)) << "half of each half way";
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_LE(out[i - 1] - out[i], 2.0f / float(n) + 1e-6f) << "a step at " << i;
    EXPECT_EQ(std::vector<float>(n, -1.0f), std::vector<float>(out.begin() + long(n), out.end()))
        << "the new tone alone once crossed";
    // Sounds handed over at a beat still wait for it.
    loop.SetSamples(std::vector<float>(3 * n, 0.5f));
    EXPECT_EQ(std::vector<float>(n, -1.0f), Play(loop, n));
}

// Two streams may call the buffer at once (a stop stopped waiting for a call
// under way). The second caller plays silence and touches nothing of the
// engine's side: the sound, where it stands, and the sounds to hand over or
// to free stay as the first caller leaves them.
TEST(LoopBuffer, ACallWhileAnotherIsUnderWayPlaysSilenceAndChangesNothing)
{
    LoopBuffer& loop = LoopBuffer::Instance();
    loop.SetSamples({1, 2, 3, 4, 5, 6}, 3);
    loop.Restart();
    EXPECT_EQ((std::vector<float>{1, 2}), Play(loop, 2));
    loop.SetSamples({7, 8}, 2);
    {
        LoopBufferCallUnderWay underWay(loop);
        for (int call = 0; call < 3; ++call)
            EXPECT_EQ((std::vector<float>{0, 0, 0, 0}), Play(loop, 4)) << call;
        loop.Restart();
        EXPECT_EQ((std::vector<float>{0, 0}), Play(loop, 2));
    }
    // The restart waits for a call that may take it.
    EXPECT_EQ((std::vector<float>{7, 8, 7}), Play(loop, 3));
    {
        LoopBufferCallUnderWay underWay(loop);
        EXPECT_EQ((std::vector<float>{0, 0}), Play(loop, 2));
    }
    EXPECT_EQ((std::vector<float>{8, 7}), Play(loop, 2)) << "taken up where it stood";
}
