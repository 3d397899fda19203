// The tables of recent acts behind the board's repeat and rate limits.
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "core/RecentActs.h"
#include "platform/Application.h"

namespace {

using core::Act;
using core::ActAnswer;

struct Step {
    int second;  // since the test's start
    std::vector<Act> acts;
    ActAnswer::Outcome outcome;
    std::size_t act = 0;  // with OverLimit
};

void RunSteps(const core::ActTable& table, const std::vector<Step>& steps) {
    const platform::DateTime start = platform::MakeDateTime(2024, 5, 1, 12, 0, 0);
    FixedClock clock(start);
    platform::Application app;
    int at = 0;
    for (const Step& s : steps) {
        clock.Advance(s.second - at);
        at = s.second;
        const ActAnswer answer = core::MayActNow(app, table, s.acts);
        EXPECT_EQ(answer.outcome, s.outcome) << "at " << s.second << ": " << s.acts.front().who;
        if (s.outcome == ActAnswer::OverLimit) {
            EXPECT_EQ(answer.act, s.act) << "at " << s.second;
        }
    }
}

TEST(MayActNow, CountsEachWithinItsWindowAndRefusesWhenFullInsteadOfForgetting) {
    RunSteps({"Acts", 3}, {
        {0, {{"a", 10, 2}}, ActAnswer::Recorded},
        {5, {{"a", 10, 2}}, ActAnswer::Recorded},
        {6, {{"a", 10, 2}}, ActAnswer::OverLimit},  // two within ten seconds
        {10, {{"b", 10}}, ActAnswer::Recorded},     // the table is full now
        {10, {{"c", 60}}, ActAnswer::TableFull},    // and "a" is not forgotten
        {10, {{"a", 10, 2}}, ActAnswer::OverLimit},
        {11, {{"c", 60}}, ActAnswer::Recorded},     // "a"'s first act is past its window
        {12, {{"a", 10, 2}}, ActAnswer::TableFull},
        {16, {{"a", 10, 2}}, ActAnswer::Recorded},
        {21, {{"b", 10}}, ActAnswer::Recorded},     // a window of ten seconds: past at the 11th
        {70, {{"c", 60}}, ActAnswer::OverLimit},    // each row keeps its own window
        {72, {{"c", 60}}, ActAnswer::Recorded},
    });
}

TEST(MayActNow, SeveralActsAreRecordedAllOrNone) {
    RunSteps({"Acts", 4}, {
        {0, {{"to:x", 10}}, ActAnswer::Recorded},
        {1, {{"address:1", 10, 5}, {"to:x", 10}}, ActAnswer::OverLimit, 1},
        {1, {{"address:1", 10, 5}, {"to:y", 10}}, ActAnswer::Recorded},
        {2, {{"address:1", 10, 5}, {"to:z", 10}}, ActAnswer::TableFull},  // one row left, two wanted
        {2, {{"to:z", 10}}, ActAnswer::Recorded},
    });
}

TEST(MayActNow, ANegativeWindowNeverRefusesAndTakesNoRow) {
    RunSteps({"Acts", 1}, {
        {0, {{"a", -1}}, ActAnswer::Recorded},
        {0, {{"a", -1}}, ActAnswer::Recorded},
        {0, {{"b", 10}, {"a", -1}}, ActAnswer::Recorded},
        {1, {{"a", -1}, {"c", 10}}, ActAnswer::TableFull},
        {1, {{"a", -1}}, ActAnswer::Recorded},
    });
}

TEST(AddressAct, CountsAnIpv6ClientByItsSlash64) {
    EXPECT_EQ(core::AddressAct("2001:db8::1", 20).who, core::AddressAct("2001:db8::2", 20).who);
    EXPECT_EQ(core::AddressAct("::ffff:10.0.0.1", 20).who, core::AddressAct("10.0.0.1", 20).who);
}

}  // namespace
