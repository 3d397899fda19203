// The board file at start: a file the board cannot serve is refused with a
// message that names it and says what to do, and an upgrade tells how far
// it has come.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "TempFolder.h"
#include "core/Schema.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/SchemaUpgrade.h"
#include "site/BoardDatabase.h"

namespace {

namespace fs = std::filesystem;

bool Has(const std::string& text, const std::string& what) { return text.find(what) != std::string::npos; }

// The message PrepareBoardDatabase refuses the file with; "" when it takes it.
std::string Refusal(const std::string& path) {
    platform::Application application;
    try {
        site::PrepareBoardDatabase(path, application);
        return "";
    } catch (const site::BoardFileRefused& e) {
        return e.what();
    }
}

// Writes `bytes` over the file from `offset` on.
void Overwrite(const std::string& path, std::uintmax_t offset, const std::string& bytes) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(BoardFileStartTest, AFileTheBoardCannotServeIsRefusedByName) {
    TempFolder folder;
    const std::string board = folder.File("board.db");
    ASSERT_EQ(Refusal(board), "");  // a new board

    const std::string damaged = folder.File("damaged.db");
    fs::copy_file(board, damaged);
    // The pages after the first two: the tables' and indexes' trees.
    const std::uintmax_t size = fs::file_size(damaged);
    Overwrite(damaged, 8192, std::string(size - 8192, '\x5a'));

    const std::string garbage = folder.File("garbage.db");
    std::ofstream(garbage) << std::string(8192, 'x');

    const std::string readOnly = folder.File("readonly.db");
    fs::copy_file(board, readOnly);
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    const struct {
        std::string path, finding, advice;
    } cases[] = {
        {damaged, "damaged", "PRAGMA quick_check"},
        {garbage, "file is not a database", "PRAGMA quick_check"},
        {readOnly, "write-protected", "chmod u+w " + readOnly},
        {folder.File("gone/board.db"), "does not exist", folder.File("gone")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const std::string refusal = Refusal(c.path);
        EXPECT_TRUE(Has(refusal, "the board file " + c.path)) << refusal;
        EXPECT_TRUE(Has(refusal, c.finding)) << refusal;
        EXPECT_TRUE(Has(refusal, c.advice)) << refusal;
    }
    EXPECT_EQ(Refusal(board), "");  // the sound file still starts
}

TEST(BoardFileStartTest, AnUpgradeTellsEachStep) {
    TempFolder folder;
    const std::string path = folder.File("old.db");
    const auto& steps = core::SchemaSteps();
    platform::UpgradeDatabaseFile(path, {steps.front()});  // a board of the first build

    std::vector<std::string> lines;
    platform::Application application;
    site::PrepareBoardDatabase(path, application, [&](const std::string& line) { lines.push_back(line); });
    const std::string last = std::to_string(steps.size());
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(Has(lines.front(), "checking the board file " + path)) << lines.front();
    EXPECT_TRUE(Has(lines[1], "upgrading the board file " + path + ": step 2 of " + last)) << lines[1];
    EXPECT_TRUE(Has(lines[lines.size() - 2], "step " + last + " of " + last)) << lines[lines.size() - 2];
    EXPECT_TRUE(Has(lines.back(), path + " is up to date")) << lines.back();
    EXPECT_EQ(lines.size(), steps.size() + 1);
}

// Posts a crash left in the search index's queue are indexed at the next
// start, before any new post asks for it.
TEST(BoardFileStartTest, PostsLeftQueuedAreIndexedAtTheNextStart) {
    TempFolder folder;
    const std::string path = folder.File("board.db");
    ASSERT_EQ(Refusal(path), "");
    const auto count = [&](const std::string& sql) {
        platform::Connection con;
        con.OpenFile(path);
        return platform::CountOf(con, sql);
    };
    {
        platform::Connection con;
        con.OpenFile(path);
        con.Execute("insert into forum (forumname) values ('General')");
        con.Execute("insert into post (forumname, username, subject, message) values ('General', 'ann', '留下', '崩溃前')");
    }
    const std::string indexed = "select count(*) from post_words where post_words match '\"崩溃\"'";
    ASSERT_EQ(count("select count(*) from post_words_pending"), 1);
    ASSERT_EQ(count(indexed), 0);

    EXPECT_EQ(Refusal(path), "");
    EXPECT_EQ(count("select count(*) from post_words_pending"), 0);
    EXPECT_EQ(count(indexed), 1);
}

}  // namespace
