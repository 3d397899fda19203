// Writers wait for the write turn in line, and give it up at their deadline
// or at once when the line is full.
#include <gtest/gtest.h>

#include <mutex>
#include <thread>
#include <vector>

#include "FullWriteQueue.h"
#include "platform/Error.h"
#include "platform/WriteTurn.h"

namespace {

using namespace std::chrono_literals;

// Until `count` writers wait for the turn.
void UntilWaiting(platform::WriteTurn& turn, std::size_t count) {
    while (turn.Waiting() < count) std::this_thread::yield();
}

TEST(WriteTurn, TheFirstInLineAfterItsLongWaitGoesBeforeTheHolderAskingAgain) {
    platform::WriteTurn& turn = platform::WriteTurn::Of("/write-turn-test/order.db");
    ASSERT_TRUE(turn.TryAcquire());
    std::mutex orderLock;
    std::vector<int> order;
    auto write = [&](int writer) {
        if (!turn.Acquire(10s)) return;
        {
            std::lock_guard lock(orderLock);
            order.push_back(writer);
        }
        turn.Release();
    };
    std::thread first(write, 0);
    UntilWaiting(turn, 1);
    std::this_thread::sleep_for(platform::TurnLine::kLongWait);
    turn.Release();
    write(1);
    first.join();
    EXPECT_EQ(order, (std::vector<int>{0, 1}));
    ASSERT_TRUE(turn.TryAcquire()) << "the turn is free again";
    turn.Release();
}

// A writer that gave up at its deadline leaves the queue: the turn goes
// to the one behind it, and is free once that one is done.
TEST(WriteTurn, AWriterThatGaveUpLeavesTheQueue) {
    platform::WriteTurn& turn = platform::WriteTurn::Of("/write-turn-test/deadline.db");
    ASSERT_TRUE(turn.TryAcquire());
    bool quickTook = true, patientTook = false;
    std::thread quick([&] { quickTook = turn.Acquire(1ms); });
    quick.join();
    std::thread patient([&] {
        patientTook = turn.Acquire(10s);
        if (patientTook) turn.Release();
    });
    UntilWaiting(turn, 1);
    turn.Release();
    patient.join();
    EXPECT_FALSE(quickTook);
    EXPECT_TRUE(patientTook);
    EXPECT_EQ(turn.Waiting(), 0u);
    ASSERT_TRUE(turn.TryAcquire()) << "nobody holds the turn";
    turn.Release();
}

// Each waiting writer holds a page thread: past the bound the next one is
// refused at once, as busy, and those in line keep their places.
TEST(WriteTurn, AWriterBeyondTheBoundIsRefusedAtOnce) {
    const std::string path = "/write-turn-test/full.db";
    platform::WriteTurn& turn = platform::WriteTurn::Of(path);
    FullWriteQueue full(path);
    try {
        turn.Acquire(1s);
        ADD_FAILURE() << "a writer beyond the bound took its place in line";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.httpStatus(), platform::kUnavailable);
        EXPECT_EQ(e.description(), platform::kWritersQueueFullText);
    }
    EXPECT_EQ(turn.Waiting(), platform::WriteTurn::kMostWaiting);
    EXPECT_EQ(full.Drain(), static_cast<int>(platform::WriteTurn::kMostWaiting));
    ASSERT_TRUE(turn.TryAcquire()) << "the turn is free again";
    turn.Release();
}

}  // namespace
