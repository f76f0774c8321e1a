#include "platform/GrowingMemory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr std::size_t MB = 1024 * 1024;

bool WaitForReady(const Platform::GrowingMemory& memory, std::size_t bytes)
{
    for (int waited = 0; waited < 5000; waited += 5) {
        if (memory.Ready() >= bytes)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return memory.Ready() >= bytes;
}

} // namespace

TEST(GrowingMemory, KeepsTheSpareReadyAheadOfWhatIsUsedAndGivesTheRestBack)
{
    Platform::GrowingMemory memory(64 * MB, MB);
    ASSERT_NE(nullptr, memory.Data());
    EXPECT_EQ(64 * MB, memory.Capacity());
    EXPECT_EQ(0u, memory.Ready()) << "only address space until asked";
    memory.MakeReady(0);
    EXPECT_EQ(MB, memory.Ready());

    struct Step {
        std::size_t used;
        std::size_t readyAtLeast;
    };
    // Use below the spare's second half wakes nobody; beyond it (or beyond
    // the ready end) the worker brings the use and a spare in.
    for (const Step& s : {Step{MB / 4, MB}, Step{MB, 2 * MB}, Step{10 * MB + 5, 11 * MB + 5},
                          Step{63 * MB, 64 * MB}, Step{64 * MB, 64 * MB}}) {
        memory.Use(s.used);
        EXPECT_TRUE(WaitForReady(memory, s.readyAtLeast)) << s.used << " used, " << memory.Ready() << " ready";
        EXPECT_LE(memory.Ready(), memory.Capacity());
    }
    auto* bytes = static_cast<unsigned char*>(memory.Data());
    std::memset(bytes, 7, 64 * MB);

    memory.Use(0);
    memory.GiveBackBeyond(MB / 2);
    EXPECT_EQ(MB + MB / 2, memory.Ready()) << "what is kept, and the spare";
    EXPECT_EQ(7, bytes[MB + MB / 2 - 1]) << "what is kept keeps its content";
    memory.MakeReady(MB);
    EXPECT_EQ(2 * MB, memory.Ready());
    EXPECT_EQ(0, bytes[2 * MB - 1]) << "what was given back comes again empty";
}

TEST(GrowingMemory, AnUnreservableSizeLeavesNothingToUse)
{
    Platform::GrowingMemory memory(std::size_t(1) << 62, MB);
    EXPECT_EQ(nullptr, memory.Data());
    EXPECT_EQ(0u, memory.Capacity());
    memory.MakeReady(0);
    memory.Use(MB);
    memory.GiveBackBeyond(0);
    EXPECT_EQ(0u, memory.Ready());
}
