// Recordset: values, fields, paging, adding and changing rows, GetRows and
// GetString, against a real database file.
#include <gtest/gtest.h>

#include "TestDatabase.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

using platform::CursorType;
using platform::Recordset;
using platform::RuntimeError;
using platform::Variant;

namespace {

// Forums "f1".."fN" with sequence 1..N.
void AddForums(TestDatabase& db, int n) {
    for (int i = 1; i <= n; ++i) {
        std::string name = "f";
        name += std::to_string(i);
        db.con.Execute("insert into forum (forumname, sequence) values (?, ?)", {name, i});
    }
}

std::string Names(Recordset& rs, long maxRows) {
    std::string out;
    for (long i = 0; i < maxRows && !rs.Eof(); ++i, rs.MoveNext()) out += rs.Fields("forumname").str() + " ";
    return out;
}

}  // namespace

TEST(DatabaseRecordset, ValuesTakeTheirTypeFromTheColumn) {
    TestDatabase db;
    auto when = platform::MakeDateTime(2003, 4, 5, 6, 7, 8);
    db.con.Execute(
        "insert into post (forumname, username, subject, posttime, icon, smiles, hits) "
        "values ('F', 'tom', 'hello', ?, 3, 1, NULL)",
        {Variant(when)});
    Recordset rs;
    rs.Open("select subject, posttime, icon, smiles, hits, usesign, max(posttime) as latest, "
            "'2003-04-05 06:07:08x' as nodate, 5000000000 as big from post",
            db.con);
    EXPECT_EQ(rs.Fields("subject").type(), Variant::Type::String);
    ASSERT_EQ(rs.Fields("posttime").type(), Variant::Type::Date);
    EXPECT_EQ(rs.Fields("posttime").rawDate(), when);  // Date parameter stored as text, read back
    EXPECT_EQ(rs.Fields("icon").type(), Variant::Type::Long);
    EXPECT_EQ(rs.Fields("smiles").type(), Variant::Type::Boolean);
    EXPECT_TRUE(rs.Fields("smiles").rawBool());
    EXPECT_TRUE(rs.Fields("hits").isNull());
    EXPECT_TRUE(rs.Fields("usesign").isNull());
    ASSERT_EQ(rs.Fields("latest").type(), Variant::Type::Date);  // expression in the stored form
    EXPECT_EQ(rs.Fields("latest").rawDate(), when);
    EXPECT_EQ(rs.Fields("nodate").type(), Variant::Type::String);
    EXPECT_EQ(rs.Fields("big").type(), Variant::Type::Double);
}

TEST(DatabaseRecordset, FieldsByNameIgnoringCaseFirstDuplicateWinsAndByPosition) {
    TestDatabase db;
    db.con.Execute("insert into register (username, icon) values ('tom', 'icon/a.gif')");
    db.con.Execute("insert into post (username, icon, forumname) values ('Tom', 7, 'F')");
    for (CursorType cursor : {CursorType::ForwardOnly, CursorType::Static}) {
        Recordset rs;
        rs.Open("select post.*, register.icon from post left outer join register on post.username=register.username",
                db.con, cursor);
        ASSERT_FALSE(rs.Eof());
        EXPECT_EQ(rs.Fields("ICON").str(), "7");
        EXPECT_EQ(rs.Fields("UserName").str(), "Tom");
        int last = rs.FieldCount() - 1;
        EXPECT_EQ(rs.FieldName(last), "icon");
        EXPECT_EQ(rs.Fields(last).str(), "icon/a.gif");
        EXPECT_EQ(rs.FieldName(0), "postid");
        EXPECT_THROW(rs.Fields("nosuchfield"), RuntimeError);
        EXPECT_THROW(rs.Fields(last + 1), RuntimeError);
    }
}

TEST(DatabaseRecordset, EmptyResultIsBothBofAndEofAndFieldsRefuse) {
    TestDatabase db;
    for (CursorType cursor : {CursorType::ForwardOnly, CursorType::Static}) {
        Recordset rs;
        rs.Open("select * from forum", db.con, cursor);
        EXPECT_TRUE(rs.Bof());
        EXPECT_TRUE(rs.Eof());
        EXPECT_THROW(rs.Fields("forumname"), RuntimeError);
        EXPECT_THROW(rs.MoveNext(), RuntimeError);
    }
}

TEST(DatabaseRecordset, StaticPagingCountsAndPositions) {
    TestDatabase db;
    AddForums(db, 7);
    Recordset rs;
    rs.CacheSize(3);
    rs.Open("select forumname from forum where sequence > ? order by sequence", db.con, CursorType::Static, {0});
    EXPECT_EQ(rs.RecordCount(), 7);
    rs.PageSize(3);
    EXPECT_EQ(rs.PageCount(), 3);
    rs.AbsolutePage(3);
    EXPECT_EQ(rs.AbsolutePage(), 3);
    EXPECT_EQ(Names(rs, 3), "f7 ");
    EXPECT_TRUE(rs.Eof());
    rs.AbsolutePage(2);
    EXPECT_EQ(Names(rs, 3), "f4 f5 f6 ");
    EXPECT_FALSE(rs.Eof());
    EXPECT_THROW(rs.AbsolutePage(4), RuntimeError);
    rs.MoveFirst();
    EXPECT_EQ(Names(rs, 100), "f1 f2 f3 f4 f5 f6 f7 ");

    Recordset forward;
    forward.Open("select * from forum", db.con);
    EXPECT_EQ(forward.RecordCount(), -1);
    EXPECT_THROW(forward.AbsolutePage(1), RuntimeError);
}

// A count may be kept for later record sets, but no change may outdate it:
// another connection's, this one's, or one inside a transaction.
TEST(DatabaseRecordset, CountsFollowEveryChange) {
    TestDatabase db;
    AddForums(db, 30);  // more than one window of rows, so they are counted
    platform::Connection other;
    other.Open(db.ConnectionString());
    auto count = [&db] {
        Recordset rs;
        rs.Open("select forumname from forum where sequence > ?", db.con, CursorType::Static, {0});
        return rs.RecordCount();
    };
    EXPECT_EQ(count(), 30);
    EXPECT_EQ(count(), 30);
    other.Execute("insert into forum (forumname, sequence) values ('g1', 31)");
    EXPECT_EQ(count(), 31);
    db.con.Execute("delete from forum where forumname = 'f1'");
    EXPECT_EQ(count(), 30);
    db.con.BeginTrans();
    db.con.Execute("insert into forum (forumname, sequence) values ('g2', 32)");
    EXPECT_EQ(count(), 31);
    db.con.RollbackTrans();
    EXPECT_EQ(count(), 30);
}

TEST(DatabaseRecordset, StaticRecordSetReadsLongResultsWholeAndInOrder) {
    TestDatabase db;
    db.con.BeginTrans();
    for (int i = 1; i <= 1000; ++i) db.con.Execute("insert into archive (archivename) values (?)", {i});
    db.con.CommitTrans();
    Recordset rs;
    rs.Open("select archiveid from archive order by archiveid desc", db.con, CursorType::Static);
    long expected = 1000, rows = 0;
    for (; !rs.Eof(); rs.MoveNext(), ++rows) ASSERT_EQ(rs.Fields(0).toDouble(), expected--);
    EXPECT_EQ(rows, 1000);
    EXPECT_EQ(rs.RecordCount(), 1000);

    // The LIMIT after the final ORDER BY decides how many rows count.
    Recordset top;
    top.Open("select archiveid from archive order by archiveid desc limit ?", db.con, CursorType::Static, {300});
    EXPECT_EQ(top.RecordCount(), 300);

    // Pages far from the rows read so far.
    rs.PageSize(7);
    for (long page : {100L, 3L, 143L}) {
        rs.AbsolutePage(page);
        EXPECT_EQ(rs.Fields(0).toDouble(), 1000 - (page - 1) * 7) << page;
    }
    long last = 0;
    for (; !rs.Eof(); rs.MoveNext()) ++last;
    EXPECT_EQ(last, 6);  // 1000 = 142 * 7 + 6
}

TEST(DatabaseRecordset, AddNewOnAnEmptyRecordSetInsertsWithDefaults) {
    TestDatabase db;
    Recordset rs;
    rs.Open("Select * from post where 1<>0", db.con, CursorType::Static);
    rs.AddNew();
    rs.Fields("username") = "tom";
    rs.Fields("Subject") = "hello";
    rs.Fields("ForumName") = "General";
    rs.Fields("smiles") = true;
    rs.Update();
    long long id = db.con.LastIdentity();
    EXPECT_GT(id, 0);
    EXPECT_EQ(rs.Fields("postid").toDouble(), id);  // the saved row is read back
    EXPECT_EQ(rs.Fields("status").str(), "open");
    rs.Close();

    rs.Open("select * from PM where 1=0", db.con, CursorType::Static);
    rs.AddNew();
    rs.Fields("recipient") = "ann";
    rs.Fields("posttime") = "2004-1-2 3:04:05";  // any date text is stored in the one sortable form
    rs.Update();
    rs.Close();
    rs.Open("select posttime, isnew from PM where postid=?", db.con, {db.con.LastIdentity()});
    EXPECT_EQ(platform::FormatGeneral(rs.Fields("posttime").rawDate()), "2004-01-02 03:04:05");
    EXPECT_TRUE(rs.Fields("isnew").rawBool());
}

TEST(DatabaseRecordset, ChangesAndDeletesTheCurrentRow) {
    TestDatabase db;
    AddForums(db, 3);
    Recordset rs;
    rs.Open("select * from [Forum] where sequence >= 2 order by sequence", db.con, CursorType::Static);
    rs.Fields("descript") = "second";
    rs.Update();
    rs.MoveNext();
    rs.Fields("descript") = "dropped";  // moving on forgets unsaved changes
    rs.MoveFirst();
    rs.MoveNext();
    rs.Delete();
    EXPECT_THROW(rs.Fields("descript"), RuntimeError);
    rs.Close();

    rs.Open("select forumname, descript from forum order by sequence", db.con);
    std::string seen;
    for (; !rs.Eof(); rs.MoveNext()) seen += rs.Fields(0).str() + "=" + rs.Fields(1).str() + " ";
    EXPECT_EQ(seen, "f1= f2=second ");
}

TEST(DatabaseRecordset, JoinedRecordSetsAreReadOnly) {
    TestDatabase db;
    AddForums(db, 1);
    db.con.Execute("insert into moderated (forum, moderater) values ('f1', 'tom')");
    Recordset rs;
    rs.Open("select * from forum inner join moderated on forum.forumname = moderated.forum", db.con,
            CursorType::Static);
    rs.Fields("descript") = "x";
    EXPECT_THROW(rs.Update(), RuntimeError);
    EXPECT_THROW(rs.AddNew(), RuntimeError);
}

TEST(DatabaseRecordset, GetRowsIsIndexedByColumnThenRowFromTheCurrentRow) {
    TestDatabase db;
    AddForums(db, 3);
    for (CursorType cursor : {CursorType::ForwardOnly, CursorType::Static}) {
        Recordset rs;
        rs.Open("select forumname, sequence from forum order by sequence", db.con, cursor);
        rs.MoveNext();
        platform::VariantArray rows = rs.GetRows();
        ASSERT_EQ(rows.size1(), 2u);
        ASSERT_EQ(rows.size2(), 2u);
        EXPECT_EQ(rows.at(0, 0).str(), "f2");
        EXPECT_EQ(rows.at(1, 1).str(), "3");
        EXPECT_TRUE(rs.Eof());
    }
}

TEST(DatabaseRecordset, GetStringJoinsFieldsAndRowsWithNullText) {
    TestDatabase db;
    AddForums(db, 2);
    db.con.Execute("update forum set descript='d1' where forumname='f1'");
    for (CursorType cursor : {CursorType::ForwardOnly, CursorType::Static}) {
        Recordset rs;
        rs.Open("select forumname, descript from forum order by sequence", db.con, cursor);
        EXPECT_EQ(rs.GetString("|", ",", "-"), "f1|d1,f2|-,");
        EXPECT_TRUE(rs.Eof());
        EXPECT_EQ(rs.GetString("|", ","), "");
    }
}
