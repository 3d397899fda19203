// archive.asp (the panel's): creating, renaming and deleting archives, the
// names given back whole by the edit form, and the board's archive lists
// built anew after every change.
#include <gtest/gtest.h>

#include "PanelBoard.h"
#include "core/JumpBox.h"

namespace {

using admin_test::Has;
using site::Fields;

class ArchiveCentreTest : public ::testing::Test {
protected:
    ArchiveCentreTest() { board.AddMember("mo", "pw"); }

    site::DriverResponse Archive(Fields form) {
        form.insert(form.begin(), {{"UserName", "boss"}, {"Password", "secret"}});
        return board.Post("archive.asp", std::move(form));
    }
    // The edit form's fields as the browser sends them back, with `changes`.
    Fields Submitted(const std::string& form, const Fields& changes) {
        Fields fields = {{"action", "archivecenter"}};
        const std::string mark = "NAME='hiddenArchiveid' VALUE='";
        int i = 0;
        for (std::size_t at = form.find(mark); at != std::string::npos; at = form.find(mark, at + 1)) {
            const std::string n = std::to_string(++i);
            fields.emplace_back("hiddenArchiveid", Between(form.substr(at), mark, "'"));
            fields.emplace_back("ArchiveName" + n, Between(form, "NAME='ArchiveName" + n + "' VALUE=\"", "\""));
            fields.emplace_back("descript" + n, Between(form, "NAME='descript" + n + "' ROWS=3 COLS=50>", "</TEXTAREA>"));
        }
        return admin_test::With(fields, changes);
    }
    // The text between `open` and `close`, with the page's entities read back.
    static std::string Between(const std::string& page, const std::string& open, const std::string& close) {
        const std::size_t start = page.find(open) + open.size();
        std::string text = page.substr(start, page.find(close, start) - start);
        for (const auto& [entity, c] : {std::pair<std::string, std::string>{"&quot;", "\""}, {"&lt;", "<"},
                                        {"&gt;", ">"}, {"&amp;", "&"}})
            for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
                text.replace(at, entity.size(), c);
        return text;
    }
    void CacheLists() {
        board.Set("ArchiveList", "cached");
        board.Set(core::kForumJumpListKey, "cached");
    }
    bool ListsEmptied() {
        return board.host.application().Get("ArchiveList").isEmpty() &&
               board.host.application().Get(core::kForumJumpListKey).isEmpty();
    }
    std::string Archives() { return board.Value("select group_concat(archivename||'|'||descript, ';') from archive"); }

    admin_test::PanelBoard board;
};

TEST_F(ArchiveCentreTest, StepsNeedTheirExactNameAndAPanelLogin) {
    EXPECT_TRUE(Has(board.Post("archive.asp", {{"action", "enterarchive"}, {"UserName", "mo"}, {"Password", "pw"}}).body,
                    "对不起，您没有使用该功能的权限"));
    EXPECT_TRUE(Has(board.Post("archive.asp", {{"action", "archivecenter"}, {"NewArchiveName", "x"}}).body,
                    "对不起，您没有使用该功能的权限"));
    EXPECT_TRUE(Has(Archive({{"action", "EnterArchive"}}).body, "进 入 归 档 中 心"));
    EXPECT_TRUE(Has(Archive({{"action", "ARCHIVECENTER"}, {"NewArchiveName", "x"}}).body, "进 入 归 档 中 心"));
    EXPECT_EQ(board.Count("archive"), 0);

    const auto empty = Archive({{"action", "enterarchive"}});
    EXPECT_TRUE(Has(empty.body, "你目前有 0 个归档")) << empty.body;
    CacheLists();
    EXPECT_TRUE(Has(Archive({{"action", "archivecenter"}, {"NewArchiveName", "   "}}).body, "档案更新结束"));
    EXPECT_EQ(board.Count("archive"), 0);
    EXPECT_TRUE(ListsEmptied());

    // A moderator may use the centre.
    board.db.con.Execute("update register set status='Moderater' where username='mo'");
    EXPECT_TRUE(Has(board.Post("archive.asp", {{"action", "enterarchive"}, {"UserName", "mo"}, {"Password", "pw"}}).body,
                    "你目前有 0 个归档"));
}

TEST_F(ArchiveCentreTest, CreateRenameAndDeleteWithNamesKeptWhole) {
    CacheLists();
    Archive({{"action", "archivecenter"}, {"NewArchiveName", " Bob's \"FAQ\" "}, {"NewDescript", "a < b & c"}});
    EXPECT_TRUE(ListsEmptied());
    Archive({{"action", "archivecenter"}, {"NewArchiveName", "Second"}, {"NewDescript", "two"}});
    EXPECT_EQ(Archives(), " Bob's \"FAQ\" |a < b & c;Second|two");

    // Saving the form unchanged gives every name back as it was; the board
    // lists the archive by its name.
    std::string form = Archive({{"action", "enterarchive"}}).body;
    EXPECT_TRUE(Has(form, "你目前有 2 个归档"));
    EXPECT_TRUE(Has(form, "VALUE=\" Bob's &quot;FAQ&quot; \"")) << form;
    CacheLists();
    Archive(Submitted(form, {}));
    EXPECT_EQ(Archives(), " Bob's \"FAQ\" |a < b & c;Second|two");
    EXPECT_TRUE(ListsEmptied());
    EXPECT_TRUE(Has(board.Get("default.asp").body, "Bob's &quot;FAQ&quot;"));

    // A rename, and a deletion that takes the archived topics along.
    const std::string second = board.Value("select archiveid from archive where archivename='Second'");
    const std::string first = board.Value("select archiveid from archive where archivename<>'Second'");
    for (const std::string& id : {first, second, second})
        board.db.con.Execute("insert into archivelist (archiveid, postid, subject) values (?, 1, 's')", {id});
    form = Archive({{"action", "enterarchive"}}).body;
    Archive(Submitted(form, {{"ArchiveName1", "First"}, {"Delete", second}}));
    EXPECT_EQ(Archives(), "First|a < b & c");
    EXPECT_EQ(board.Value("select group_concat(archiveid) from archivelist"), first);

    // Forged numbers delete nothing.
    for (const char* bad : {"0 or 1=1", "1 or 1=1", "x"}) Archive({{"action", "archivecenter"}, {"Delete", bad}});
    EXPECT_EQ(board.Count("archive"), 1);
    EXPECT_EQ(board.Count("archivelist"), 1);
}

// A moderator renames, describes and deletes only archives whose every
// archived post comes from his forums; a refused change is refused whole.
TEST_F(ArchiveCentreTest, AModeratorChangesOnlyArchivesOfHisForums) {
    board.db.con.Execute("update register set status='moderater' where username='mo'");
    board.db.con.Execute("insert into moderated (forum, moderater) values ('Mine', 'mo')");
    board.db.con.Execute("insert into archive (archiveid, archivename, descript) values "
                         "(1, 'own', 'd1'), (2, 'mixed', 'd2'), (3, 'empty', 'd3'), (4, 'private', 'd4')");
    const struct {
        int archive;
        const char* forum;
    } filed[] = {{1, "mine"}, {1, "Mine"}, {2, "Mine"}, {2, "Other"}, {4, "Secret"}};
    for (const auto& f : filed)
        board.db.con.Execute("insert into archivelist (archiveid, postid, forumname, subject) values (?, 1, ?, 's')",
                             {f.archive, f.forum});
    const auto asModerator = [&](const Fields& changes) {
        Fields form = Submitted(Archive({{"action", "enterarchive"}}).body, changes);
        form.insert(form.begin(), {{"UserName", "mo"}, {"Password", "pw"}});
        return board.Post("archive.asp", form).body;
    };
    const std::string before = Archives();
    const char* const refused = "只有管理员才能修改或删除它";
    const struct {
        const char* name;
        Fields changes;
    } outOfReach[] = {
        {"rename", {{"ArchiveName2", "x"}}},
        {"describe", {{"descript4", "x"}}},
        {"delete", {{"Delete", "2"}}},
        {"delete the private forum's", {{"Delete", "4"}}},
        {"with an allowed change", {{"ArchiveName1", "x"}, {"ArchiveName2", "x"}}},
    };
    for (const auto& c : outOfReach) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Has(asModerator(c.changes), refused));
        EXPECT_EQ(Archives(), before);
        EXPECT_EQ(board.Count("archivelist"), 5);
    }

    EXPECT_TRUE(Has(asModerator({}), "档案更新结束"));  // the whole form, unchanged
    EXPECT_TRUE(Has(asModerator({{"ArchiveName1", "own!"}, {"descript3", "new"}, {"NewArchiveName", "added"}}),
                    "档案更新结束"));
    EXPECT_TRUE(Has(asModerator({{"Delete", "1"}}), "档案更新结束"));
    EXPECT_EQ(Archives(), "mixed|d2;empty|new;private|d4;added|");
    EXPECT_EQ(board.Count("archivelist"), 3);

    // The administrator reaches every archive ("mixed" is listed first now).
    EXPECT_TRUE(Has(Archive(Submitted(Archive({{"action", "enterarchive"}}).body,
                                      {{"ArchiveName1", "renamed"}, {"Delete", "4"}})).body,
                    "档案更新结束"));
    EXPECT_EQ(Archives(), "renamed|d2;empty|new;added|");
}

}  // namespace
