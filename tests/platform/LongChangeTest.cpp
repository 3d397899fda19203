// Writers that find a long change holding the write turn wait for its end
// instead of failing at their usual deadline.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "TestDatabase.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/WriteTurn.h"

namespace {

using namespace std::chrono_literals;

// Tells when a writer waits for a long change, or gave up before.
class WaitWatch {
public:
    WaitWatch() {
        platform::WriteTurn::SetWaitingForLongChangeHook([this] { Note(waiting_); });
    }
    ~WaitWatch() { platform::WriteTurn::SetWaitingForLongChangeHook({}); }
    void WriterDone() { Note(done_); }
    // Until the writer waits for the long change or is done; true for the first.
    bool WriterWaits() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return waiting_ || done_; });
        return waiting_;
    }

private:
    void Note(bool& flag) {
        std::lock_guard lock(mutex_);
        flag = true;
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    bool waiting_ = false, done_ = false;
};

TEST(LongChange, AWriterWaitsPastItsDeadlineForALongChange) {
    platform::WriteTurn& turn = platform::WriteTurn::Of("/long-change-test/board.db");
    for (const bool longChange : {false, true}) {
        ASSERT_TRUE(turn.TryAcquire());
        if (longChange) turn.MarkLongChange();
        WaitWatch watch;
        bool taken = false;
        std::thread writer([&] {
            taken = turn.Acquire(1ms);
            watch.WriterDone();
            if (taken) turn.Release();
        });
        EXPECT_EQ(watch.WriterWaits(), longChange);
        turn.Release();
        writer.join();
        EXPECT_EQ(taken, longChange) << "long change: " << longChange;
        EXPECT_FALSE(turn.HeldByOthersLongChange()) << "the mark ends with the turn";
    }
}

// The writers queued behind a long change have their usual time again from
// its end: the queue it held up goes through before any gives up.
TEST(LongChange, WritersQueuedBehindALongChangeHaveTheirTimeFromItsEnd) {
    platform::WriteTurn& turn = platform::WriteTurn::Of("/long-change-test/queue.db");
    ASSERT_TRUE(turn.TryAcquire());
    turn.MarkLongChange();
    bool firstTook = false, secondTook = false;
    std::thread first([&] {
        firstTook = turn.Acquire(10s);
        if (!firstTook) return;
        std::this_thread::sleep_for(200ms);  // a post that takes a while
        turn.Release();
    });
    while (turn.Waiting() < 1) std::this_thread::yield();
    std::thread second([&] {
        secondTook = turn.Acquire(500ms);
        if (secondTook) turn.Release();
    });
    while (turn.Waiting() < 2) std::this_thread::yield();
    std::this_thread::sleep_for(800ms);  // past the second writer's deadline
    turn.Release();
    first.join();
    second.join();
    EXPECT_TRUE(firstTook);
    EXPECT_TRUE(secondTook) << "gave up behind the writer after the long change";
}

// A member's post waits for the forum rename that holds the turn and is
// stored after it.
TEST(LongChange, APostBehindALongChangeIsStored) {
    TestDatabase db;
    platform::Transaction rename(db.con);
    db.con.MarkLongChange();
    db.con.Execute("insert into forum (forumname) values ('Renamed')");
    WaitWatch watch;
    bool refused = false;
    std::thread poster([&] {
        try {
            platform::Connection con;
            con.Open(db.ConnectionString());
            platform::Transaction post(con);
            con.Execute("insert into post (forumname, subject) values ('Renamed', 'waited')");
            post.Commit();
        } catch (const platform::RuntimeError&) {
            refused = true;
        }
        watch.WriterDone();
    });
    EXPECT_TRUE(watch.WriterWaits());
    rename.Commit();
    poster.join();
    EXPECT_FALSE(refused);
    platform::Recordset rs;
    rs.Open("select count(*) from post where subject = 'waited'", db.con);
    EXPECT_EQ(rs.Fields(0).toDouble(), 1);
}

}  // namespace
