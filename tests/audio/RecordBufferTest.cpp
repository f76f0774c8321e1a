#include "audio/RecordBuffer.h"

#include "TestSignals.h"

#include <gtest/gtest.h>

#include <vector>

using TestSignals::Play;

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
        ASSERT_TRUE(record.Append(minute.data(), minute.size())) << m;
    const std::vector<float> more(512, 0.5f);
    EXPECT_FALSE(record.Append(more.data(), more.size()));
    EXPECT_TRUE(record.IsFull());
    EXPECT_EQ(10u, record.BlockCount());
    EXPECT_EQ(RecordBuffer::MaxSamples, record.SampleCount());
    record.Clear();
    EXPECT_FALSE(record.IsFull());
    EXPECT_EQ(0u, record.SampleCount());
}
