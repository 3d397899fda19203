// Acts counted while they run: per key at once, in all with a wait.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/RunningActs.h"

namespace {

using Clock = std::chrono::steady_clock;
using core::RunningActs;

TEST(RunningActsTest, AKeyIsRefusedAtOnceAndTheRestWaitForAPlace) {
    RunningActs acts(2, 3);
    const auto later = Clock::now() + std::chrono::hours(1);
    auto a1 = acts.TryStart("a", later);
    auto a2 = acts.TryStart("a", later);
    ASSERT_TRUE(a1.slot && a2.slot);
    const auto start = Clock::now();
    const auto a3 = acts.TryStart("a", later);  // would wait an hour if it waited
    EXPECT_FALSE(a3.slot);
    EXPECT_EQ(a3.refusal, RunningActs::Refusal::KeyFull);

    auto b1 = acts.TryStart("b", later);
    ASSERT_TRUE(b1.slot);
    const auto b2 = acts.TryStart("b", Clock::now() + std::chrono::milliseconds(30));
    EXPECT_FALSE(b2.slot);
    EXPECT_EQ(b2.refusal, RunningActs::Refusal::AllBusy);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(5));

    // A place given back wakes a waiting act; a key that waited in vain
    // holds nothing afterwards.
    std::thread end([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        a1.slot.reset();
    });
    EXPECT_TRUE(acts.TryStart("c", later).slot);
    end.join();
    a2.slot.reset();
    EXPECT_TRUE(acts.TryStart("b", later).slot);
    auto again = acts.TryStart("a", later);
    EXPECT_TRUE(again.slot);
}

}  // namespace
