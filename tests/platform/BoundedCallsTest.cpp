// A call that does not return in time is given up, never waited for, and
// what is queued behind it runs once it returns.
#include "platform/BoundedCalls.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <vector>

TEST(BoundedCalls, ACallGivenUpGoesOnAloneAndWhatFollowsItRunsInOrder)
{
    Platform::BoundedCalls calls;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    // Written on the call thread only; read once a call was seen done.
    std::vector<int> order;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(calls.Run(
        [&] {
            released.wait();
            order.push_back(1);
        },
        50, [&] { order.push_back(2); }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(calls.Stuck());
    calls.Post([&] { order.push_back(3); });
    release.set_value();
    bool onCallThread = false;
    EXPECT_TRUE(calls.Run(
        [&] {
            onCallThread = calls.OnCallThread();
            // Made on the call thread itself, a call just runs.
            EXPECT_TRUE(calls.Run([&] { order.push_back(4); }, 0));
        },
        5000));
    EXPECT_FALSE(calls.Stuck());
    EXPECT_TRUE(onCallThread);
    EXPECT_FALSE(calls.OnCallThread());
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), order);
}

// Nobody waits for a posted call: should one not return, ending the calls
// leaves it to end with the process rather than waiting for it.
TEST(BoundedCalls, EndingWaitsForAPostedCallThatDoesNotReturnOnlySoLong)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    auto calls = std::make_unique<Platform::BoundedCalls>();
    calls->Post([released] { released.wait(); });
    auto ending = std::async(std::launch::async, [&] { calls.reset(); });
    const auto status = ending.wait_for(std::chrono::milliseconds(Platform::BoundedCalls::EndWithinMs + 2000));
    release.set_value();
    ending.wait();
    EXPECT_TRUE(status == std::future_status::ready) << "ending waited for the call";
}
