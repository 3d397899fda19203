// A page a database failure ends is answered as a failure: 503 while the
// database cannot serve (locked, not readable), 500 for the board's own
// faults; the error page stays as it is.
#include <fstream>

#include "FullWriteQueue.h"
#include "PostingBoard.h"
#include "TempFolder.h"
#include "platform/DataSources.h"
#include "platform/Error.h"
#include "platform/SqliteDatabase.h"

namespace {

using browse_test::Has;

class FailureStatusTest : public PostingTest {};

TEST_F(FailureStatusTest, DatabaseFailuresAnswerWithTheirStatus) {
    TempFolder folder;
    const std::string notADatabase = folder.File("garbage.db");
    std::ofstream(notADatabase) << std::string(8192, 'x');

    const long long topic = Topic("灌水", "ann");
    struct Case {
        const char* name;
        std::function<void()> breakIt, mendIt;
        int status;
    } cases[] = {
        {"a table the board needs is gone", [&] { db.con.Execute("alter table forum rename to forum_gone"); },
         [&] { db.con.Execute("alter table forum_gone rename to forum"); }, 500},
        {"the file is not a database", [&] { platform::DataSources::Set("Tarnbell", notADatabase); },
         [&] { platform::DataSources::Set("Tarnbell", db.Path()); }, 503},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.breakIt();
        const site::DriverResponse page = Post(ReplyForm(topic));
        c.mendIt();
        EXPECT_EQ(page.status, c.status);
        EXPECT_TRUE(Has(page.body, "<p><b>错误号：3000<br>错误描述：")) << page.body;
        EXPECT_TRUE(Has(page.body, "</body></html>"));
    }
    // An expected refusal is an answer, not a failure.
    const site::DriverResponse refused = Post(ReplyForm(topic + 1000));
    EXPECT_EQ(refused.status, 200);
    EXPECT_TRUE(Has(refused.body, "该主题已经不存在"));
}

// A writer that holds the file past the lock wait: the post is refused as
// "database is locked", answered 503 (the page waits the lock wait first).
TEST_F(FailureStatusTest, ALockedDatabaseAnswers503) {
    const long long topic = Topic("灌水", "ann");
    platform::SqliteDatabase other(db.Path());
    other.Exec("BEGIN IMMEDIATE");
    const site::DriverResponse page = Post(ReplyForm(topic));
    other.Exec("ROLLBACK");
    EXPECT_EQ(page.status, 503);
    EXPECT_TRUE(Has(page.body, "database is locked")) << page.body;
    EXPECT_EQ(PostCount(), 1);
}

// Writers piled up behind a long change: the next post is answered busy at
// once instead of taking one more page thread into the line.
TEST_F(FailureStatusTest, APostFindingTheWritersLineFullAnswers503) {
    const long long topic = Topic("灌水", "ann");
    site::DriverResponse page;
    {
        FullWriteQueue full(db.con.FilePath());
        page = Post(ReplyForm(topic));
    }
    EXPECT_EQ(page.status, 503);
    EXPECT_TRUE(Has(page.body, platform::kWritersQueueFullText)) << page.body;
    EXPECT_TRUE(Has(page.body, "</body></html>"));
    EXPECT_EQ(PostCount(), 1);
}

}  // namespace
