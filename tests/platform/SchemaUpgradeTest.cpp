// Schema steps: a file takes each step it lacks once, in order, each in a
// transaction of its own.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "TempFolder.h"
#include "platform/Connection.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/SchemaUpgrade.h"
#include "platform/SqliteDatabase.h"

using platform::SchemaStep;

namespace {

const SchemaStep kForums{1, "CREATE TABLE forum (name TEXT); INSERT INTO forum VALUES ('first')"};
const SchemaStep kTopics{2, "CREATE TABLE topic (id INTEGER PRIMARY KEY)"};
// Its second statement fails: the first must not stay.
const SchemaStep kBroken{3, "CREATE TABLE reply (id INTEGER); INSERT INTO nowhere VALUES (1)"};
const SchemaStep kIndex{3, "CREATE INDEX forum_name ON forum (name)"};
// A check and its repair: the repair runs only when the check fails, and
// what a failed check did is undone.
const SchemaStep kCheckPasses{3, "INSERT INTO forum VALUES ('checked')", "INSERT INTO forum VALUES ('repaired')"};
const SchemaStep kCheckFails{3, "INSERT INTO forum VALUES ('checked'); INSERT INTO nowhere VALUES (1)",
                             "INSERT INTO forum VALUES ('repaired')"};
const SchemaStep kRepairFails{3, "INSERT INTO nowhere VALUES (1)", "INSERT INTO elsewhere VALUES (1)"};

// The file's tables and indexes by name, and its forums' names.
std::string Layout(const std::string& path) {
    platform::Connection con;
    con.OpenFile(path);
    platform::Recordset rs;
    rs.Open("SELECT (SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master ORDER BY name))"
            " || ' / ' || (SELECT group_concat(name, ',') FROM forum)",
            con);
    return rs.Fields(0).str();
}

}  // namespace

TEST(SchemaUpgrade, AFileTakesTheStepsItLacksOnceAndInOrder) {
    const struct {
        const char* name;
        std::optional<std::vector<SchemaStep>> before;  // nullopt: a file with step 1's layout but no number
        std::vector<SchemaStep> steps;
        int step;  // recorded afterwards
        std::string layout;
        bool fails;
    } cases[] = {
        {"new file", std::vector<SchemaStep>{}, {kForums, kTopics}, 2, "forum,topic / first", false},
        {"earlier build", std::vector{kForums}, {kForums, kTopics}, 2, "forum,topic / first", false},
        {"up to date", std::vector{kForums, kTopics}, {kForums, kTopics}, 2, "forum,topic / first", false},
        {"no number", std::nullopt, {kForums, kTopics, kIndex}, 3, "forum,forum_name,topic / old", false},
        {"failing step", std::vector{kForums}, {kForums, kTopics, kBroken}, 2, "forum,topic / first", true},
        {"later build", std::vector{kForums, kTopics}, {kForums}, 2, "forum,topic / first", true},
        {"out of order", std::vector{kForums}, {kForums, kIndex}, 1, "forum / first", true},
        {"check passes", std::vector{kForums}, {kForums, kTopics, kCheckPasses}, 3, "forum,topic / first,checked",
         false},
        {"check fails", std::vector{kForums}, {kForums, kTopics, kCheckFails}, 3, "forum,topic / first,repaired",
         false},
        {"repair fails", std::vector{kForums}, {kForums, kTopics, kRepairFails}, 2, "forum,topic / first", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = folder.File("board.db");
        if (c.before)
            platform::UpgradeDatabaseFile(path, *c.before);
        else
            platform::SqliteDatabase(path, true).Exec("CREATE TABLE forum (name TEXT); INSERT INTO forum VALUES ('old')");

        bool failed = false;
        try {
            platform::UpgradeDatabaseFile(path, c.steps);
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.number(), platform::kErrDatabase);
            failed = true;
        }
        EXPECT_EQ(failed, c.fails);
        EXPECT_EQ(platform::SchemaStepOf(path), c.step);
        EXPECT_EQ(Layout(path), c.layout);
    }
}
