// The write-ahead log gives its space back after a burst of writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestDatabase.h"
#include "platform/SqliteDatabase.h"

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
    reader.Open(db.ConnectionString());
    reader.ReadFromOneSnapshot();
    reader.Execute("select count(*) from forum");
    WriteBurst(db.con);
    EXPECT_GT(LogBytes(db), platform::kLogSizeLimitBytes) << "the reader's state is still in the log";
    reader.Close();
    db.con.CheckpointLog();
    EXPECT_LE(LogBytes(db), platform::kLogSizeLimitBytes);
}

}  // namespace
