#include "audio/RecordBuffer.h"

#include "SoundRig.h"
#include "TestSignals.h"

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

// The heap in use, as the allocator in this build counts it: a sanitizer
// brings an allocator of its own.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PELLORA_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PELLORA_SANITIZER_HEAP 1
#endif
#endif
#ifdef PELLORA_SANITIZER_HEAP
// The sanitizer's runtime has it; GCC ships no header that declares it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using TestSignals::Play;

namespace {

// A block is taken once the memory for it is in: the first that runs ahead
// of what was brought in asks for more.
bool AppendWhenReady(RecordBuffer& record, const std::vector<float>& block)
{
    return SoundRig::WaitFor([&] { return record.Append(block.data(), block.size()); }, 5000);
}

constexpr double Mb = 1024.0 * 1024.0;

double HeapMb()
{
#ifdef PELLORA_SANITIZER_HEAP
    return double(__sanitizer_get_current_allocated_bytes()) / Mb;
#else
    const struct mallinfo2 info = ::mallinfo2();
    return double(info.uordblks + info.hblkhd) / Mb;
#endif
}

// What the recording holds in memory: the pages of its samples' address space
// that are in, and whatever the heap grew by since `heapBefore` (a copy kept
// elsewhere). The process's resident size would count a thread sanitizer's
// shadow too, several times the samples, and kept after they are given back.
double HeldMb(const float* samples, double heapBefore)
{
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t pages = (RecordBuffer::MaxSamples * sizeof(float) + page - 1) / page;
    std::vector<unsigned char> in(pages);
    if (::mincore(const_cast<float*>(samples), pages * page, in.data()) != 0) {
        ADD_FAILURE() << "mincore: " << std::strerror(errno);
        return NAN;
    }
    std::size_t resident = 0;
    for (unsigned char p : in)
        resident += p & 1;
    return double(resident * page) / Mb + HeapMb() - heapBefore;
}

} // namespace

TEST(RecordBuffer, PlaysItsBlocksInACycleCopyingWhatFits)
{
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    EXPECT_EQ((std::vector<float>{0, 0}), Play(record, 2));
    for (float b : {1.0f, 2.0f, 3.0f}) {
        const std::vector<float> block(2, b);
        ASSERT_TRUE(record.Append(block.data(), block.size()));
    }
    for (float expected : {1.0f, 2.0f, 3.0f, 1.0f, 2.0f})
        EXPECT_EQ(std::vector<float>(2, expected), Play(record, 2));
    record.ResetPosition();
    EXPECT_EQ(std::vector<float>(2, 1.0f), Play(record, 2));
    // Taking blocks by hand moves on from the same place the play-back left.
    for (float expected : {2.0f, 3.0f, 1.0f}) {
        const RecordBuffer::BlockView next = record.NextBlock();
        ASSERT_EQ(2u, next.size);
        EXPECT_EQ(expected, next.samples[1]);
    }
    EXPECT_EQ(std::vector<float>(2, 2.0f), Play(record, 2));

    record.Clear();
    EXPECT_EQ(nullptr, record.NextBlock().samples);
    const std::vector<float> block{1, 2, 3, 4};
    record.Append(block.data(), block.size());
    EXPECT_EQ((std::vector<float>{1, 2}), Play(record, 2));
    EXPECT_EQ((std::vector<float>{1, 2, 3, 4, 0, 0}), Play(record, 6));
}

TEST(RecordBuffer, StopsKeepingBlocksAfterTenMinutes)
{
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    const std::vector<float> minute(60 * 44100, 0.25f);
    for (int m = 0; m < 10; ++m)
        ASSERT_TRUE(AppendWhenReady(record, minute)) << m;
    const std::vector<float> more(512, 0.5f);
    EXPECT_FALSE(record.Append(more.data(), more.size()));
    EXPECT_TRUE(record.IsFull());
    EXPECT_EQ(10u, record.BlockCount());
    EXPECT_EQ(RecordBuffer::MaxSamples, record.SampleCount());
    record.Clear();
    EXPECT_FALSE(record.IsFull());
    EXPECT_EQ(0u, record.SampleCount());

    // A shorter limit keeps the whole blocks that fit in it.
    record.SetLimit(1000);
    EXPECT_TRUE(record.Append(more.data(), more.size()));
    EXPECT_FALSE(record.Append(more.data(), more.size()));
    EXPECT_TRUE(record.IsFull());
    EXPECT_EQ(512u, record.SampleCount());
    record.SetLimit(RecordBuffer::MaxSamples);
    record.Clear();
}

TEST(RecordBuffer, HoldsInMemoryWhatItRecordedAndGivesItBackForTheNextRecording)
{
    const double heapBefore = HeapMb();
    const double spareMb = RecordBuffer::SpareSeconds * RecordBuffer::Rate * sizeof(float) / Mb;
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    std::vector<float> block(512, 0.0f);
    ASSERT_TRUE(AppendWhenReady(record, block));
    record.ResetPosition();
    const float* const samples = record.NextBlock().samples;
    ASSERT_NE(nullptr, samples);
    EXPECT_LT(HeldMb(samples, heapBefore), spareMb + 1.0)
        << "a recording about to start holds its first seconds, not ten minutes";

    // Half a minute in callback-sized blocks, faster than real time.
    const std::size_t blocks = 30 * 44100 / 512;
    for (std::size_t b = 1; b < blocks; ++b) {
        block.assign(512, float(b % 1000));
        ASSERT_TRUE(AppendWhenReady(record, block)) << "block " << b;
    }
    EXPECT_EQ(blocks * 512, record.SampleCount());
    const double recordedMb = blocks * 512 * sizeof(float) / Mb;
    EXPECT_LT(HeldMb(samples, heapBefore), recordedMb + spareMb + 1.0)
        << "30 s of samples are 5.3 MB, held once";
    record.ResetPosition();
    for (std::size_t b = 0; b < blocks; ++b) {
        const RecordBuffer::BlockView view = record.NextBlock();
        ASSERT_EQ(512u, view.size);
        ASSERT_EQ(float(b % 1000), view.samples[511]) << "block " << b;
    }

    record.Clear();
    EXPECT_LT(HeldMb(samples, heapBefore), spareMb + 1.0) << "what the last recording held is given back";
}
