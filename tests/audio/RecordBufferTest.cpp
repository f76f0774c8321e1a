#include "audio/RecordBuffer.h"

#include "SoundRig.h"
#include "TestSignals.h"

#include <gtest/gtest.h>

#include <fstream>
#include <unistd.h>
#include <vector>

using TestSignals::Play;

namespace {

// A block is taken once the memory for it is in: the first that runs ahead
// of what was brought in asks for more.
bool AppendWhenReady(RecordBuffer& record, const std::vector<float>& block)
{
    return SoundRig::WaitFor([&] { return record.Append(block.data(), block.size()); }, 5000);
}

double ResidentMb()
{
    std::ifstream statm("/proc/self/statm");
    double pages = 0.0, resident = 0.0;
    statm >> pages >> resident;
    return resident * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
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
    const double before = ResidentMb();
    RecordBuffer& record = RecordBuffer::Instance();
    record.Clear();
    const double prepared = ResidentMb() - before;
    EXPECT_LT(prepared, 8.0) << "a recording about to start holds its first seconds, not ten minutes";

    // Half a minute in callback-sized blocks, faster than real time.
    std::vector<float> block(512);
    const std::size_t blocks = 30 * 44100 / 512;
    for (std::size_t b = 0; b < blocks; ++b) {
        block.assign(512, float(b % 1000));
        ASSERT_TRUE(AppendWhenReady(record, block)) << "block " << b;
    }
    EXPECT_EQ(blocks * 512, record.SampleCount());
    EXPECT_LT(ResidentMb() - before, 16.0) << "30 s of samples are 5.3 MB";
    record.ResetPosition();
    for (std::size_t b = 0; b < blocks; ++b) {
        const RecordBuffer::BlockView view = record.NextBlock();
        ASSERT_EQ(512u, view.size);
        ASSERT_EQ(float(b % 1000), view.samples[511]) << "block " << b;
    }

    record.Clear();
    EXPECT_LT(ResidentMb() - before, 8.0) << "what the last recording held is given back";
}
