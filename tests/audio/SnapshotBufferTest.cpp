#include "audio/SnapshotBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(SnapshotBuffer, TheConsumerTakesTheNewestWholeBlockNeverATornOne)
{
    SnapshotBuffer buffer(4);
    EXPECT_FALSE(buffer.Take());
    EXPECT_EQ(0u, buffer.Size());
    const float a[] = {1, 2, 3, 4, 5};
    const float b[] = {6, 7};
    buffer.Publish(a, 5);
    buffer.Publish(b, 2);
    ASSERT_TRUE(buffer.Take());
    std::vector<float> taken;
    buffer.CopyTo(taken);
    EXPECT_EQ((std::vector<float>{6, 7}), taken) << "the newest wins";
    EXPECT_FALSE(buffer.Take()) << "taken once";
    buffer.Publish(a, 5);
    ASSERT_TRUE(buffer.Take());
    buffer.CopyTo(taken);
    EXPECT_EQ((std::vector<float>{1, 2, 3, 4}), taken) << "cut to the capacity";

    // A producer thread publishing blocks of one value each, counting up:
    // every block taken is whole, and none is older than the one before.
    SnapshotBuffer shared(512);
    std::atomic<bool> done{false};
    std::thread producer([&] {
        std::vector<float> block(512);
        for (int k = 1; k <= 20000; ++k) {
            block.assign(512, float(k));
            shared.Publish(block.data(), block.size());
        }
        done = true;
    });
    float last = 0.0f;
    int takes = 0;
    for (;;) {
        const bool finished = done.load();
        if (!shared.Take()) {
            if (finished)
                break;
            continue;
        }
        ++takes;
        const float* data = shared.Data();
        for (std::size_t i = 0; i < shared.Size(); ++i)
            ASSERT_EQ(data[0], data[i]) << "torn block";
        EXPECT_GE(data[0], last);
        last = data[0];
    }
    producer.join();
    EXPECT_GT(takes, 0);
}
