// The engine thread never waits for the GUI thread, allocates or throws, and
// leaving the program while streams run stops them before anything they call
// is destroyed.
#include "audio/AudioDevice.h"
#include "audio/LatestBlock.h"
#include "audio/LoopBuffer.h"
#include "audio/PitchTracker.h"
#include "audio/RecordBuffer.h"
#include "platform/DiagnosticQueue.h"

#include "RealTimeWatch.h"
#include "SoundRig.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

// The callable run inside a watch, counting its calls.
StreamCallback Watched(StreamCallback callback, std::atomic<int>& calls)
{
    return [callback, &calls](void* input, void* output, unsigned long frames, double outTime, void* userData) {
        RealTimeWatch::Scope watch;
        calls.fetch_add(1);
        return callback(input, output, frames, outTime, userData);
    };
}

} // namespace

TEST(AudioThread, RecordingPlayBackCaptureAndLoopTakeNoLockAllocateNothingAndThrowNothingWhileTheGuiReadsEveryBuffer)
{
    // The checker sees a lock, an allocation and a throw in its scope, and
    // none outside.
    std::mutex probe;
    probe.lock();
    probe.unlock();
    // Through a volatile pointer, so the compiler cannot drop the pair.
    static int* volatile allocated;
    allocated = new int(1);
    delete allocated;
    RealTimeWatch::Reset();
    {
        RealTimeWatch::Scope watch;
        probe.lock();
        probe.unlock();
        allocated = new int(1);
        delete allocated;
        try {
            throw 1;
        } catch (int) {
        }
    }
    ASSERT_EQ(1u, RealTimeWatch::Locks());
    ASSERT_EQ(1u, RealTimeWatch::Allocations());
    ASSERT_EQ(1u, RealTimeWatch::Throws());
    RealTimeWatch::Reset();
    // The sound libraries' error hooks run on the engine thread: posting a
    // diagnostic takes no lock either.
    {
        Platform::DiagnosticQueue queue;
        RealTimeWatch::Scope watch;
        queue.Post("ALSA: pcm_pulse.c: the server went away");
    }
    EXPECT_EQ(0u, RealTimeWatch::Locks());
    EXPECT_EQ(0u, RealTimeWatch::Allocations()) << "posting a diagnostic";

    AudioDevice& device = AudioDevice::Instance();
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    std::atomic<int> recorded{0}, played{0};
    ASSERT_EQ(0, device.StartInput(44100, 512, Watched(device.RecordingCallback(record), recorded)));
    ASSERT_EQ(0, device.StartOutput(44100, 512, Watched(device.PlaybackCallback(record), played), false));
    LatestBlock& latest = LatestBlock::Instance();
    PitchTracker& tracker = PitchTracker::Instance();
    // The GUI side reads, copies and rewinds all the while.
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            for (int i = 0; i < 20; ++i) {
                latest.Get();
                tracker.Window();
                record.BlockCount();
                record.SampleCount();
                record.ResetPosition();
            }
            return recorded.load() >= 200 && played.load() >= 200;
        },
        SoundRig::CaptureStartMs + 5000));
    device.StopOutput();
    device.StopInput();
    EXPECT_EQ(0u, RealTimeWatch::Locks()) << "locks taken on the engine thread";
    EXPECT_EQ(0u, RealTimeWatch::Allocations()) << "allocations on the engine thread";
    EXPECT_EQ(0u, RealTimeWatch::Throws()) << "throws on the engine thread";
    EXPECT_GE(record.BlockCount(), 150u);
    EXPECT_EQ(2048u, tracker.Window().size());

    // The metronome's loop, while the GUI hands it bar after bar.
    RealTimeWatch::Reset();
    LoopBuffer& loop = LoopBuffer::Instance();
    ASSERT_TRUE(loop.BuildBeats(600, 4, ToneClick(440.0f), ToneClick(880.0f)));
    loop.Restart();
    std::atomic<int> looped{0};
    int bars = 0;
    ASSERT_EQ(0, device.StartOutput(44100, 512, Watched(device.PlaybackCallback(loop), looped), false));
    EXPECT_TRUE(SoundRig::WaitFor(
        [&] {
            loop.BuildBeats(600 + 100 * (++bars % 3), 4, ToneClick(440.0f), ToneClick(880.0f));
            return looped.load() >= 200;
        },
        SoundRig::CaptureStartMs + 5000));
    device.StopOutput();
    LoopBuffer::Played newest;
    ASSERT_TRUE(loop.PlayedAt(1e12, newest));
    EXPECT_GT(newest.start, 0.0) << "bars were taken over while playing";
    EXPECT_EQ(0u, RealTimeWatch::Locks()) << "locks taken playing the loop";
    EXPECT_EQ(0u, RealTimeWatch::Allocations()) << "allocations playing the loop";
    EXPECT_EQ(0u, RealTimeWatch::Throws()) << "throws playing the loop";
}

// Recording (and playing the recording back) while the program ends: every
// stream stops before the buffers it calls die, and the exit does not hang.
TEST(AudioThread, LeavingWhileRecordingOrPlayingBackEndsCleanly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const bool playBack : {false, true}) {
        EXPECT_EXIT(
            {
                ::alarm(30);
                AudioDevice& device = AudioDevice::Instance();
                RecordBuffer& record = RecordBuffer::Instance();
                record.Clear();
                bool ok = device.StartInput(44100, 512, record) == 0;
                ok = ok && SoundRig::WaitFor([&] { return record.BlockCount() > 10; }, SoundRig::CaptureStartMs);
                if (playBack)
                    ok = ok && device.StartOutput(44100, 512, record) == 0;
                std::exit(ok ? 0 : 3);
            },
            ::testing::ExitedWithCode(0), "")
            << (playBack ? "recording and playing back" : "recording");
    }
}
