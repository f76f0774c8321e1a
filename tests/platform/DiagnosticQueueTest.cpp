#include "platform/DiagnosticQueue.h"
#include "platform/Log.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using Platform::DiagnosticQueue;

TEST(DiagnosticQueue, PostedMessagesReachTheLogInOrderAndAFullQueueDropsAndSaysSo)
{
    static DiagnosticQueue queue;
    Platform::LogCapture log;
    queue.Post("first");
    queue.Post(std::string(1000, 'x').c_str());
    queue.Post("third");
    EXPECT_TRUE(log.Messages().empty()) << "nothing is logged before the flush";
    queue.Flush();
    ASSERT_EQ(3u, log.Messages().size());
    EXPECT_EQ("first", log.Messages()[0]);
    EXPECT_EQ(DiagnosticQueue::TextLength - 1, log.Messages()[1].size());
    EXPECT_EQ("third", log.Messages()[2]);

    log.Clear();
    for (std::size_t i = 0; i < DiagnosticQueue::Slots + 3; ++i)
        queue.Post(std::to_string(i).c_str());
    queue.Flush();
    ASSERT_EQ(DiagnosticQueue::Slots + 1, log.Messages().size());
    EXPECT_EQ("0", log.Messages().front());
    EXPECT_EQ("3 diagnostic messages were dropped: too many at once", log.Messages().back());
    log.Clear();
    for (std::size_t i = 0; i < DiagnosticQueue::Slots + 1; ++i)
        queue.Post(std::to_string(i).c_str());
    queue.Flush();
    EXPECT_EQ("1 diagnostic message was dropped: too many at once", log.Messages().back());

    // Posting from several threads while another flushes loses nothing that fits.
    log.Clear();
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t)
        posters.emplace_back([t] {
            for (int i = 0; i < 10; ++i)
                queue.Post(("thread " + std::to_string(t)).c_str());
        });
    for (int i = 0; i < 100; ++i)
        queue.Flush();
    for (std::thread& poster : posters)
        poster.join();
    queue.Flush();
    EXPECT_EQ(40u, log.Messages().size());
}
