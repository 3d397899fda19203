// The write-ahead log gives its space back after a burst of writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestDatabase.h"
#include "platform/SqliteDatabase.h"
#include "platform/WriteTurn.h"

namespace {

long long LogBytes(const TestDatabase& db) {
    std::error_code none;
    const auto bytes = std::filesystem::file_size(db.Path() + "-wal", none);
    return none ? 0 : static_cast<long long>(bytes);
}

// One transaction that writes more than the log's bound.
void WriteBurst(platform::Connection& con) {
    platform::Transaction write(con);
    con.Execute("create table if not exists filler (x)");
    con.Execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < ?) "
                "insert into filler select randomblob(3000) from n",
                {platform::Variant(platform::kLogSizeLimitBytes / 3000 + 2000)});
    write.Commit();
}

// Keeps `reader` on the file's present state, which the log then holds
// until the reader closes.
void StayOnThePresentState(platform::Connection& reader, const TestDatabase& db) {
    reader.Open(db.ConnectionString());
    reader.ReadFromOneSnapshot();
    reader.Execute("select count(*) from forum");
}

TEST(LogSize, TheLogIsCutBackAfterTheCheckpointOfABurst) {
    TestDatabase db;
    WriteBurst(db.con);
    EXPECT_LE(LogBytes(db), platform::kLogSizeLimitBytes);
}

// A reader on an older state keeps the burst in the log; the writer that
// ends a burst cuts it back once the reader is gone, without another write.
TEST(LogSize, ALogKeptByAReaderIsCutBackWhenTheWritingEnds) {
    TestDatabase db;
    platform::Connection reader;
    StayOnThePresentState(reader, db);
    WriteBurst(db.con);
    EXPECT_GT(LogBytes(db), platform::kLogSizeLimitBytes) << "the reader's state is still in the log";
    reader.Close();
    db.con.CheckpointLog();
    EXPECT_LE(LogBytes(db), platform::kLogSizeLimitBytes);
}

// Cutting the log back takes SQLite's write lock: while a writer holds the
// write turn the checkpoint leaves it for later, instead of making that
// writer, and every one queued behind it, sleep in SQLite's busy wait.
TEST(LogSize, TheLogIsCutBackOnlyWhileNoWriterHoldsTheTurn) {
    TestDatabase db;
    platform::Connection reader;
    StayOnThePresentState(reader, db);
    WriteBurst(db.con);
    reader.Close();
    platform::WriteTurn& turn = platform::WriteTurn::Of(db.con.FilePath());
    ASSERT_TRUE(turn.TryAcquire());
    db.con.CheckpointLog();
    EXPECT_GT(LogBytes(db), platform::kLogSizeLimitBytes) << "cut back while a writer held the turn";
    turn.Release();
    db.con.CheckpointLog();
    EXPECT_LE(LogBytes(db), platform::kLogSizeLimitBytes);
}

}  // namespace
