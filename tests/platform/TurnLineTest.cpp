// Who takes a write turn next: a running writer while the first in line
// has not waited long, the first in line once it has.
#include <gtest/gtest.h>

#include "platform/TurnLine.h"

namespace {

using platform::TurnLine;
using platform::TurnWaiter;
using namespace std::chrono_literals;

constexpr TurnLine::Time t0{};
constexpr auto kLong = TurnLine::kLongWait;

TEST(TurnLine, ARunningWriterTakesTheFreeTurnWhileTheFirstInLineHasNotWaitedLong) {
    TurnLine line;
    ASSERT_TRUE(line.Take(nullptr, t0));
    TurnWaiter first;
    line.Join(first, t0);
    const TurnLine::Time soon = t0 + kLong / 2;
    EXPECT_EQ(line.Release(soon), &first) << "woken to try";
    EXPECT_FALSE(first.given);
    EXPECT_TRUE(line.Take(nullptr, soon)) << "a writer not in line goes first";
    EXPECT_FALSE(line.Take(&first, soon));
    EXPECT_EQ(line.Waiting(), 1u);
}

// Nobody passes the first in line once it has waited long, and the one
// behind it has its long wait from when it is first.
TEST(TurnLine, OnceTheFirstInLineHasWaitedLongItHasTheTurnNext) {
    TurnLine line;
    ASSERT_TRUE(line.Take(nullptr, t0));
    TurnWaiter a, b;
    line.Join(a, t0);
    line.Join(b, t0 + 100us);
    // Free for a moment while `a` has not waited long.
    EXPECT_EQ(line.Release(t0 + kLong / 2), &a);
    for (TurnWaiter* other : {static_cast<TurnWaiter*>(nullptr), &b})
        EXPECT_FALSE(line.Take(other, t0 + kLong)) << "passed the first in line after its long wait";
    ASSERT_TRUE(line.Take(&a, t0 + kLong));
    // `b` is first since `a` took the turn.
    const TurnLine::Time bFirst = t0 + kLong;
    EXPECT_EQ(line.Release(bFirst + kLong / 2), &b);
    EXPECT_FALSE(b.given) << "first for less than the long wait";
    ASSERT_TRUE(line.Take(nullptr, bFirst + kLong / 2));
    EXPECT_EQ(line.Release(bFirst + kLong), &b);
    EXPECT_TRUE(b.given);
    EXPECT_TRUE(line.Held()) << "handed on, never free";
    EXPECT_EQ(line.Waiting(), 0u);
    EXPECT_EQ(line.Release(bFirst + 5 * kLong), nullptr);
    EXPECT_FALSE(line.Held());
}

// The first in line gave up: the one behind it is first from then on.
TEST(TurnLine, AWriterThatGaveUpLeavesTheLine) {
    TurnLine line;
    ASSERT_TRUE(line.Take(nullptr, t0));
    TurnWaiter a, b;
    line.Join(a, t0);
    line.Join(b, t0);
    line.Leave(a, t0 + kLong);
    EXPECT_EQ(line.First(), &b);
    EXPECT_EQ(line.Release(t0 + kLong), &b);
    EXPECT_FALSE(b.given);
    ASSERT_TRUE(line.Take(nullptr, t0 + kLong));
    EXPECT_EQ(line.Release(t0 + 2 * kLong), &b);
    EXPECT_TRUE(b.given);
    EXPECT_FALSE(a.given);
}

}  // namespace
