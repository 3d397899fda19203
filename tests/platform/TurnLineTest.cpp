// Who takes a write turn next: a running writer while nobody in line has
// waited long, the line in order once its first has.
#include <gtest/gtest.h>

#include "platform/TurnLine.h"

namespace {

using platform::TurnLine;
using platform::TurnWaiter;
using namespace std::chrono_literals;

constexpr TurnLine::Time t0{};
constexpr auto kLong = TurnLine::kLongWait;

TEST(TurnLine, ARunningWriterTakesTheFreeTurnWhileNobodyHasWaitedLong) {
    TurnLine line;
    ASSERT_TRUE(line.Take(nullptr, t0));
    TurnWaiter first;
    first.since = t0;
    line.Join(first);
    const TurnLine::Time soon = t0 + kLong / 2;
    EXPECT_EQ(line.Release(soon), &first) << "woken to try";
    EXPECT_FALSE(first.given);
    EXPECT_TRUE(line.Take(nullptr, soon)) << "a writer not in line goes first";
    EXPECT_FALSE(line.Take(&first, soon));
    EXPECT_EQ(line.Waiting(), 1u);
}

TEST(TurnLine, OnceTheFirstHasWaitedLongTheTurnGoesInLineOrder) {
    TurnLine line;
    ASSERT_TRUE(line.Take(nullptr, t0));
    TurnWaiter a, b;
    a.since = t0;
    b.since = t0 + 100us;
    line.Join(a);
    line.Join(b);
    // Free for a moment while `a` has not waited long: nobody passes `a`
    // once it has.
    EXPECT_EQ(line.Release(t0 + kLong / 2), &a);
    EXPECT_FALSE(line.Take(nullptr, t0 + kLong)) << "passed the first in line after its long wait";
    EXPECT_FALSE(line.Take(&b, t0 + kLong)) << "passed the first in line after its long wait";
    ASSERT_TRUE(line.Take(&a, t0 + kLong));
    // Handed on in order from here: `b` has waited long too.
    EXPECT_EQ(line.Release(t0 + 100us + kLong), &b);
    EXPECT_TRUE(b.given);
    EXPECT_TRUE(line.Held());
    EXPECT_EQ(line.Waiting(), 0u);
    EXPECT_EQ(line.Release(t0 + 5 * kLong), nullptr);
    EXPECT_FALSE(line.Held());
}

// The first in line gave up: the one behind it is first now.
TEST(TurnLine, AWriterThatGaveUpLeavesTheLine) {
    TurnLine line;
    ASSERT_TRUE(line.Take(nullptr, t0));
    TurnWaiter a, b;
    a.since = b.since = t0;
    line.Join(a);
    line.Join(b);
    line.Leave(a);
    EXPECT_EQ(line.First(), &b);
    EXPECT_EQ(line.Release(t0 + kLong), &b);
    EXPECT_TRUE(b.given);
    EXPECT_FALSE(a.given);
}

}  // namespace
