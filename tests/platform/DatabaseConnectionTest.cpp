// Connection: opening by data source name, statements, transactions,
// identities and errors, against a real database file.
#include <gtest/gtest.h>

#include <chrono>

#include "TestDatabase.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/SqliteDatabase.h"

using platform::Connection;
using platform::RuntimeError;
using platform::Variant;

namespace {

long CountRows(Connection& con, const std::string& table) {
    platform::Recordset rs;
    rs.Open("select count(*) from " + table, con);
    return static_cast<long>(rs.Fields(0).toDouble());
}

}  // namespace

TEST(DatabaseConnection, OpensByDataSourceNameAndRefusesUnknownNames) {
    TestDatabase db("BoardTest");
    Connection con;
    con.Open("Provider=MSDASQL.1;USER ID=sa;PASSWORD=x;DATA SOURCE=boardtest");  // names ignore case
    EXPECT_EQ(con.State(), platform::ObjectState::Open);
    con.Close();
    EXPECT_EQ(con.State(), platform::ObjectState::Closed);

    try {
        con.Open("Provider=MSDASQL.1;USER ID=sa;PASSWORD=;DATA SOURCE=Nowhere");
        FAIL() << "unknown data source opened";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kErrDatabase);
        EXPECT_NE(e.description().find("Nowhere"), std::string::npos);
    }
    EXPECT_EQ(con.State(), platform::ObjectState::Closed);
}

TEST(DatabaseConnection, ExecuteCountsChangedRowsAndAcceptsSetDateformat) {
    TestDatabase db;
    EXPECT_EQ(db.con.Execute("set dateformat ymd"), 0);
    db.con.Execute("insert into forum (forumname) values (?)", {"A"});
    db.con.Execute("insert into forum (forumname) values (?)", {"B"});
    db.con.Execute("insert into forum (forumname) values (?)", {"C"});
    EXPECT_EQ(db.con.Execute("update forum set descript='x' where forumname<>'b'"), 2);
    EXPECT_EQ(db.con.Execute("delete from forum where forumname='nothing'"), 0);
}

// Control characters, NUL included, are data when bound; written into the
// statement text, a NUL is refused rather than cutting the statement short.
TEST(DatabaseConnection, ControlCharactersAreBoundAsTheyStandAndNulNeverCutsAStatement) {
    TestDatabase db;
    const std::string values[] = {std::string("a\0' or 1=1 --", 14), std::string("\0", 1), "\x01\x1B\x7F\t\r\n",
                                  std::string("中\0文", 7)};
    for (const std::string& value : values) {
        db.con.Execute("insert into forum (forumname) values (?)", {value});
        platform::Recordset rs;
        rs.Open("select forumname from forum where forumname = ?", db.con, {value});
        ASSERT_FALSE(rs.Eof());
        EXPECT_EQ(rs.Fields("forumname").str(), value);
    }
    EXPECT_EQ(CountRows(db.con, "forum"), 4);

    const std::string cut = std::string("delete from forum where forumname='x", 36) + '\0' + "' or 1=1";
    try {
        db.con.Execute(cut);
        FAIL() << "a statement with a NUL ran";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kErrDatabase);
        EXPECT_NE(e.description().find("NUL"), std::string::npos) << e.description();
    }
    EXPECT_EQ(CountRows(db.con, "forum"), 4);
}

TEST(DatabaseConnection, ParametersCarryQuotesAsData) {
    TestDatabase db;
    std::string name = "O'Brien'); drop table forum; --";
    db.con.Execute("insert into forum (forumname) values (?)", {name});
    platform::Recordset rs;
    rs.Open("select forumname from forum where forumname = ?", db.con, {name});
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("forumname").str(), name);
}

TEST(DatabaseConnection, LastIdentityIsTheLastInsertOfThisConnection) {
    TestDatabase db;
    db.con.Execute("insert into archive (archivename) values ('one')");
    db.con.Execute("insert into archive (archivename) values ('two')");
    EXPECT_EQ(db.con.LastIdentity(), 2);

    Connection other;
    other.Open(db.ConnectionString());
    other.Execute("insert into archive (archivename) values ('three')");
    EXPECT_EQ(other.LastIdentity(), 3);
    EXPECT_EQ(db.con.LastIdentity(), 2);
}

TEST(DatabaseConnection, RollbackLeavesNothingAndAnUncommittedTransactionRollsBack) {
    TestDatabase db;
    db.con.BeginTrans();
    db.con.Execute("insert into forum (forumname) values ('A')");
    db.con.Execute("insert into moderated (forum, moderater) values ('A', 'tom')");
    db.con.RollbackTrans();
    EXPECT_EQ(CountRows(db.con, "forum"), 0);
    EXPECT_EQ(CountRows(db.con, "moderated"), 0);

    {
        platform::Transaction t(db.con);
        db.con.Execute("insert into forum (forumname) values ('B')");
        // left without Commit, e.g. by an error
    }
    EXPECT_FALSE(db.con.InTransaction());
    EXPECT_EQ(CountRows(db.con, "forum"), 0);

    platform::Transaction t(db.con);
    db.con.Execute("insert into forum (forumname) values ('C')");
    t.Commit();
    EXPECT_EQ(CountRows(db.con, "forum"), 1);
}

TEST(DatabaseConnection, SqliteFailuresAreRuntimeErrorsWithSqlitesMessage) {
    TestDatabase db;
    struct Case {
        const char* sql;
        const char* message;
    } cases[] = {
        {"selec * from post", "syntax error"},
        {"select * from nosuchtable", "no such table"},
        {"select 1; delete from post", "more than one statement"},
    };
    for (const Case& c : cases) {
        try {
            db.con.Execute(c.sql);
            ADD_FAILURE() << c.sql;
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), platform::kErrDatabase) << c.sql;
            EXPECT_NE(e.description().find(c.message), std::string::npos) << e.description();
            EXPECT_EQ(e.source(), platform::kBoardSource);
        }
    }
}

TEST(DatabaseConnection, ReadersAreNotBlockedByAnotherConnectionsWrite) {
    TestDatabase db;
    Connection other;
    other.Open(db.ConnectionString());
    other.BeginTrans();
    other.Execute("insert into forum (forumname) values ('A')");
    // Readers are not blocked by the open write transaction (WAL).
    EXPECT_EQ(CountRows(db.con, "forum"), 0);
    other.CommitTrans();
    EXPECT_EQ(CountRows(db.con, "forum"), 1);
}

TEST(DatabaseConnection, AFileReplacedUnderTheSameNameIsOpenedAfresh) {
    TestDatabase db;
    db.con.Execute("insert into forum (forumname) values ('old')");
    {
        platform::Transaction t(db.con);  // the write turn's handle opens the old file
        db.con.Execute("insert into forum (forumname) values ('older')");
        t.Commit();
    }
    db.con.Close();  // its handle is kept for reuse
    for (const char* suffix : {"", "-wal", "-shm"}) std::remove((db.Path() + suffix).c_str());
    core::EnsureDatabase(db.Path());
    db.con.Open(db.ConnectionString());
    EXPECT_EQ(CountRows(db.con, "forum"), 0);
    EXPECT_EQ(db.con.LastIdentity(), 0);
    {
        platform::Transaction t(db.con);
        db.con.Execute("insert into forum (forumname) values ('new')");
        t.Commit();
    }
    EXPECT_EQ(CountRows(db.con, "forum"), 1) << "the turn's handle follows the file";
}

// Transactions run on the write turn's handle: the connection's identity
// follows its inserts there and on its own handle, and a record set read
// past its transaction's end fails instead of running in another's.
TEST(DatabaseConnection, TransactionsRunOnTheWriteTurnsHandle) {
    TestDatabase db;
    db.con.Execute("insert into forum (forumname) values ('a'), ('b')");
    const long long own = db.con.LastIdentity();
    platform::Recordset kept;
    {
        platform::Transaction t(db.con);
        EXPECT_EQ(db.con.LastIdentity(), 0) << "nothing inserted on the turn's handle yet";
        db.con.Execute("insert into forum (forumname) values ('c')");
        EXPECT_EQ(db.con.LastIdentity(), own + 1);
        kept.Open("select forumname from forum", db.con);
        t.Commit();
    }
    EXPECT_EQ(db.con.LastIdentity(), own + 1);
    db.con.Execute("insert into forum (forumname) values ('d')");
    EXPECT_EQ(db.con.LastIdentity(), own + 2);

    EXPECT_EQ(kept.Fields(0).str(), "a") << "the row read in the transaction";
    Connection other;
    other.Open(db.ConnectionString());
    other.BeginTrans();
    other.Execute("insert into forum (forumname) values ('e')");
    try {
        kept.MoveNext();
        FAIL() << "a record set of an ended transaction read on";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kErrDatabase);
    }
    other.RollbackTrans();
    kept.Close();
    EXPECT_EQ(CountRows(db.con, "forum"), 4);
}

TEST(DatabaseConnection, HandlesOfDeletedFilesAreNotKept) {
    std::string goneFile;
    {
        TestDatabase gone("GoneBoard");
        gone.con.Close();  // its handle goes back to the pool
        goneFile = gone.Path();
    }  // the file is deleted here
    const std::size_t before = platform::IdleDatabaseHandles();
    TestDatabase live("LiveBoard");
    live.con.Close();  // returning this handle drops the deleted file's
    EXPECT_LT(platform::IdleDatabaseHandles(), before + 1) << goneFile;
}

// A pooled handle that has written reads through its page cache, which
// stays within its bound however much the handle reads.
TEST(DatabaseConnection, APooledHandlesPageCacheStaysWithinItsBound) {
    TestDatabase db;
    db.con.Execute("create table filler (t text)");
    db.con.BeginTrans();  // from here on the connection's own handle reads without its map
    db.con.Execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
                   "insert into filler select hex(randomblob(1000)) from n");
    db.con.CommitTrans();
    platform::Recordset rs;
    rs.Open("select sum(length(t)) from filler", db.con);
    EXPECT_EQ(rs.Fields(0).toDouble(), 4000000.0) << "every page read";
    rs.Close();
    const std::size_t bound = platform::kPooledPageCacheKiB * std::size_t{1024};
    EXPECT_LE(db.con.Database()->PageCacheBytes(), bound + bound / 4);
}

// A page's connection reads from one snapshot until it first writes; the
// write ends it, is committed, and what runs after it sees the file afresh.
TEST(DatabaseConnection, OneSnapshotReadsUntilTheFirstWrite) {
    TestDatabase db;
    Connection other;
    other.Open(db.ConnectionString());
    auto countForums = [](Connection& con) {
        platform::Recordset rs;
        rs.Open("select forumname from forum", con, platform::CursorType::Static);
        return rs.RecordCount();
    };

    db.con.ReadFromOneSnapshot();
    EXPECT_EQ(countForums(db.con), 0);
    other.Execute("insert into forum (forumname) values ('A')");
    EXPECT_EQ(countForums(db.con), 0) << "the snapshot and its kept count";
    EXPECT_EQ(CountRows(db.con, "forum"), 0);
    EXPECT_FALSE(db.con.InTransaction());

    db.con.Execute("insert into forum (forumname) values ('B')");
    EXPECT_EQ(CountRows(other, "forum"), 2) << "the write is committed";
    other.Execute("insert into forum (forumname) values ('C')");
    EXPECT_EQ(countForums(db.con), 3) << "after the write each statement reads afresh";

    // A transaction may begin inside the snapshot; closing commits nothing
    // left open and hands back a handle that reads afresh.
    Connection page;
    page.Open(db.ConnectionString());
    page.ReadFromOneSnapshot();
    EXPECT_EQ(CountRows(page, "forum"), 3);
    {
        platform::Transaction t(page);
        page.Execute("insert into forum (forumname) values ('D')");
        t.Commit();
    }
    EXPECT_EQ(CountRows(other, "forum"), 4);
    page.Close();
    page.Open(db.ConnectionString());
    EXPECT_EQ(CountRows(page, "forum"), 4);
    other.Execute("insert into forum (forumname) values ('E')");
    EXPECT_EQ(CountRows(page, "forum"), 5);

    // A count as the page's first read begins the snapshot too.
    Connection counting;
    counting.Open(db.ConnectionString());
    counting.ReadFromOneSnapshot();
    EXPECT_EQ(platform::CountOf(counting, "select count(*) from forum"), 5);
    other.Execute("insert into forum (forumname) values ('F')");
    EXPECT_EQ(platform::CountOf(counting, "select count(*) from forum"), 5);
    EXPECT_EQ(CountRows(counting, "forum"), 5);
    counting.Execute("delete from forum where forumname = 'F'");
    EXPECT_EQ(platform::CountOf(counting, "select count(*) from forum"), 5);
    other.Execute("insert into forum (forumname) values ('G')");
    EXPECT_EQ(platform::CountOf(counting, "select count(*) from forum"), 6);
}

// Kept results are given back until any commit to the file, never inside a
// write transaction, and a handle keeps no more than its byte bound.
TEST(DatabaseConnection, KeptResultsLastUntilTheFileChanges) {
    TestDatabase db;
    Connection other;
    other.Open(db.ConnectionString());
    auto keep = [&db](const std::string& key, int value, std::size_t bytes = 8) {
        EXPECT_EQ(db.con.KeptResult<int>(key), nullptr);  // checks the version first, as users do
        db.con.KeepResult<int>(key, std::make_shared<const int>(value), bytes);
    };
    auto kept = [&db](const std::string& key) {
        const auto result = db.con.KeptResult<int>(key);
        return result ? *result : -1;
    };

    keep("a", 1);
    EXPECT_EQ(kept("a"), 1);
    other.Execute("insert into forum (forumname) values ('A')");
    EXPECT_EQ(kept("a"), -1) << "another connection's commit";
    keep("a", 2);
    db.con.Execute("insert into forum (forumname) values ('B')");
    EXPECT_EQ(kept("a"), -1) << "this connection's own commit";

    keep("b", 3);
    db.con.BeginTrans();
    EXPECT_EQ(kept("b"), -1) << "nothing is given inside a write transaction";
    db.con.KeepResult<int>("c", std::make_shared<const int>(4), 8);
    db.con.RollbackTrans();
    EXPECT_EQ(kept("b"), 3);
    EXPECT_EQ(kept("c"), -1) << "nor kept there";

    const std::size_t bound = platform::SqliteDatabase::kMaxKeptBytes;
    keep("big", 5, bound + 1);
    EXPECT_EQ(kept("big"), -1) << "larger than the bound";
    keep("half", 6, bound / 2);
    EXPECT_EQ(kept("b"), 3);
    keep("other half", 7, bound / 2 + 1);
    EXPECT_EQ(kept("other half"), 7);
    EXPECT_EQ(kept("half"), -1) << "past the bound the older results go";
}

// A time budget stops a long read, and the reads after it on the same
// handle run to their end again once the budget is over.
TEST(DatabaseConnection, ATimeBudgetStopsALongReadAndEndsWithItsScope) {
    TestDatabase db;
    const std::string longRead =
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000000) select count(*) from n";
    {
        const platform::TimeBudget budget(db.con, std::chrono::milliseconds(1));
        EXPECT_THROW(platform::CountOf(db.con, longRead), platform::TimeBudgetSpent);
        EXPECT_THROW(platform::CountOf(db.con, longRead + " where 1"), platform::TimeBudgetSpent);
    }
    EXPECT_EQ(platform::CountOf(db.con, longRead), 1000000);
    const platform::TimeBudget ample(db.con, std::chrono::seconds(60));
    EXPECT_EQ(platform::CountOf(db.con, longRead + " where 1"), 1000000);
}
