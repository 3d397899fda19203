// forum.asp: creating, ordering, editing, renaming and deleting forums with
// their moderators, each change carried through every table that names the
// forum, and the board's jump list emptied.
#include <gtest/gtest.h>

#include "PanelBoard.h"
#include "core/ForumChanges.h"
#include "core/JumpBox.h"
#include "core/NameCascades.h"

namespace {

using admin_test::Has;

constexpr const char* kDone = "版面更新结束";

class ForumSetupTest : public ::testing::Test {
protected:
    ForumSetupTest() {
        board.AddMember("mia", "pw");
        board.AddMember("max", "pw");
        board.Login();
    }

    site::DriverResponse NewForum(const std::string& name, site::Fields more = {}) {
        return board.AsBoss("forum.asp", admin_test::With({{"action", "addnewforum"}, {"forumname", name},
                                                          {"catalog", "Cat"}, {"descript", "about"},
                                                          {"topicrestrict", "all"}, {"replyrestrict", "none"}},
                                                         more));
    }
    // The edit form's save for `old` with the fields it shows changed by `more`.
    site::DriverResponse Save(const std::string& old, site::Fields more) {
        return board.AsBoss("forum.asp", admin_test::With({{"action", "submitedit"}, {"oldforumname", old},
                                                          {"forumname", old}, {"catalog", "Cat"},
                                                          {"TopicRestrict", "allreg"}, {"ReplyRestrict", "allreg"}},
                                                         more));
    }
    bool JumpListEmptied() { return board.host.application().Get(core::kForumJumpListKey).isEmpty(); }

    admin_test::PanelBoard board;
};

TEST_F(ForumSetupTest, NewForumWithModeratorAndQuotedName) {
    board.Set(core::kForumJumpListKey, "cached");
    const auto page = NewForum("Bob's <place>", {{"Moderater", "mia"}});
    EXPECT_TRUE(Has(page.body, kDone)) << page.body;
    EXPECT_TRUE(JumpListEmptied());
    EXPECT_EQ(board.Value("select [restrict] from forum where forumname=?", {"bob's <place>"}), "all&none");
    EXPECT_EQ(board.Value("select forumpassword from forum where forumname=?", {"Bob's <place>"}), "NULL");
    EXPECT_EQ(board.Value("select status from register where username='mia'"), "moderater");
    EXPECT_TRUE(Has(board.Value("select forummaster from forum where forumname=?", {"Bob's <place>"}), "mia"));

    // The summary and the edit form give the name back intact.
    const auto summary = board.PanelGet("forum.asp", {{"action", "order"}});
    EXPECT_TRUE(Has(summary.body, "<td>Bob's &lt;place&gt;</td>"));
    EXPECT_TRUE(Has(summary.body, "NAME=forumname VALUE=\"Bob's &lt;place&gt;\""));
    const auto edit = board.PanelGet("forum.asp", {{"action", "getforum"}, {"forumname", "Bob's <place>"}});
    EXPECT_TRUE(Has(edit.body, "name=oldforumname value=\"Bob's &lt;place&gt;\""));
    EXPECT_TRUE(Has(edit.body, "name=deletemoderater value=\"mia\""));
}

TEST_F(ForumSetupTest, NewForumRefusals) {
    board.AddForum("Talk", "A", 1);
    struct Case {
        const char* name;
        site::Fields form;
        const char* message;
    };
    const Case cases[] = {
        {"taken ignoring case", {{"forumname", "TALK"}}, "该论坛名称重复"},
        {"comma", {{"forumname", "a,b"}}, "逗号"},
        {"no category", {{"forumname", "New"}, {"catalog", ""}}, "请输入用户名、口令、论坛名称和类别"},
        {"wrong password", {{"forumname", "New"}, {"Password", "bad"}}, "对不起，没有发现该用户"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = board.Post("forum.asp", admin_test::With({{"UserName", "boss"}, {"Password", "secret"},
                                                                    {"action", "addnewforum"}, {"catalog", "Cat"}},
                                                                   c.form));
        EXPECT_TRUE(Has(page.body, c.message)) << page.body;
        EXPECT_TRUE(Has(page.body, "</body></html>"));
        EXPECT_EQ(board.Count("forum"), 1);
    }
}

// A new forum's name loses the blanks around it, and the forum is listed
// after the others with a number the summary saves back unchanged.
TEST_F(ForumSetupTest, NewForumIsTrimmedAndNumberedLast) {
    EXPECT_TRUE(Has(NewForum("  First ").body, kDone));
    board.AddForum("Middle", "Cat", 7);
    EXPECT_TRUE(Has(NewForum(" Last", {{"Private", "private"}}).body, kDone));
    EXPECT_EQ(board.Value("select group_concat(forumname||':'||sequence) from (select * from forum order by sequence)"),
              "First:1,Middle:7,Last:8");
    EXPECT_TRUE(Has(NewForum("   ").body, "请输入用户名、口令、论坛名称和类别"));

    const auto summary = board.PanelGet("forum.asp", {{"action", "order"}});
    EXPECT_TRUE(Has(summary.body, "<td>Last</td><INPUT TYPE=HIDDEN NAME=forumname VALUE=\"Last\">"
                                  "<TD><INPUT TYPE=TEXT NAME=sequence VALUE=\"8\" SIZE=5"))
        << summary.body;
    EXPECT_TRUE(Has(board.AsBoss("forum.asp", {{"action", "setforums"}, {"forumname", "First"}, {"sequence", "1"},
                                               {"forumname", "Middle"}, {"sequence", "7"},
                                               {"forumname", "Last"}, {"sequence", "8"}})
                        .body,
                    kDone));
}

// Forums stored earlier with blanks around their names can be edited (the
// save trims the name) and deleted; a forum that is gone is said to be gone.
TEST_F(ForumSetupTest, ForumsNamedWithBlanksCanBeSavedAndDeleted) {
    board.AddForum(" Padded ", "Cat", 1);
    board.AddForum("Gone ", "Cat", 2);
    const auto edit = board.PanelGet("forum.asp", {{"action", "getforum"}, {"forumname", " Padded "}});
    EXPECT_TRUE(Has(edit.body, "name=oldforumname value=\" Padded \"")) << edit.body;

    EXPECT_TRUE(Has(Save(" Padded ", {{"descript", "kept"}}).body, kDone));
    EXPECT_EQ(board.Value("select forumname||'/'||descript from forum where sequence=1"), "Padded/kept");
    EXPECT_TRUE(Has(Save("Gone ", {{"deleteforum", "on"}}).body, kDone));
    EXPECT_EQ(board.Count("forum"), 1);

    for (const char* action : {"", "on"}) {
        SCOPED_TRACE(action);
        EXPECT_TRUE(Has(Save("Gone ", {{"deleteforum", action}}).body, "错误，该版面已不存在！"));
    }
    EXPECT_EQ(board.Count("forum"), 1);
}

TEST_F(ForumSetupTest, OrderIsSavedWholeOrNotAtAll) {
    board.AddForum("A", "C", 1);
    board.AddForum("B", "C", 2);
    board.Set(core::kForumJumpListKey, "cached");
    auto order = [&](const char* a, const char* b) {
        return board.AsBoss("forum.asp", {{"action", "setforums"}, {"forumname", "A"}, {"sequence", a},
                                          {"forumname", "B"}, {"sequence", b}});
    };
    for (const char* bad : {"x", "2.5", "1;drop table forum", ""}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(Has(order("5", bad).body, "排序必须用整数"));
        EXPECT_EQ(board.Value("select sequence from forum where forumname='A'"), "1");
    }
    EXPECT_TRUE(Has(order(" 7", "-3").body, kDone));
    EXPECT_EQ(board.Value("select group_concat(forumname||sequence) from (select * from forum order by sequence)"),
              "B-3,A7");
    EXPECT_FALSE(JumpListEmptied());
    // A count mismatch is refused.
    EXPECT_TRUE(Has(board.AsBoss("forum.asp", {{"action", "setforums"}, {"forumname", "A"}}).body, "错误！"));
}

TEST_F(ForumSetupTest, SummarySortsAndActionsIgnoreCase) {
    board.AddForum("Zed", "A", 1);
    board.AddForum("Alp", "B", 2);
    board.db.con.Execute("update forum set topiccount=9 where forumname='Alp'");
    struct Case {
        const char* sortby;
        const char* first;
        const char* selected;
    };
    for (const Case& c : {Case{"", "Zed", "Number"}, Case{"Alpha", "Alp", "Alpha"},
                          Case{"PostCount", "Alp", "PostCount"}, Case{"Category", "Zed", "Category"}}) {
        SCOPED_TRACE(c.sortby);
        const auto page = board.PanelGet("forum.asp", {{"action", "ORDER"}, {"sortby", c.sortby}});
        const auto zed = page.body.find("<td>Zed</td>"), alp = page.body.find("<td>Alp</td>");
        ASSERT_NE(zed, std::string::npos);
        EXPECT_EQ(std::string(c.first) == "Zed", zed < alp);
        EXPECT_TRUE(Has(page.body, std::string("value=") + c.selected + " selected>"));
    }
    const auto other = board.PanelGet("forum.asp", {{"action", "nothing"}});
    EXPECT_EQ(other.status, 200);
    EXPECT_TRUE(Has(other.body, "</body></html>"));
    EXPECT_FALSE(Has(other.body, "<FORM"));
}

TEST_F(ForumSetupTest, EditFormShowsTheStoredRules) {
    struct Case {
        const char* restrict;
        bool privateBox;
        const char* topic;
        const char* reply;
    };
    const Case cases[] = {
        {"all&none", false, "all", "none"},
        {"RESTRICT&All", false, "restrict", "all"},
        {"Private", true, "allreg", "allreg"},
        {"", false, "allreg", "allreg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.restrict);
        board.db.con.Execute("delete from forum");
        board.AddForum("F", "Cat", 1, c.restrict);
        const auto page = board.PanelGet("forum.asp", {{"action", "getforum"}, {"forumname", "F"}});
        EXPECT_EQ(Has(page.body, "VALUE=private checked>"), c.privateBox);
        const auto topics = page.body.substr(page.body.find("name=TopicRestrict"));
        EXPECT_TRUE(Has(topics.substr(0, topics.find("</select>")), std::string("value=") + c.topic + " selected>"));
        const auto replies = page.body.substr(page.body.find("name=ReplyRestrict"));
        EXPECT_TRUE(Has(replies.substr(0, replies.find("</select>")), std::string("value=") + c.reply + " selected>"));
    }
}

TEST_F(ForumSetupTest, SavingKeepsOrChangesRulesAndModerators) {
    NewForum("Talk", {{"Moderater", "mia"}});
    board.AddForum("Other", "Cat", 2);
    board.db.con.Execute("insert into moderated (forum, moderater) values ('Other', 'max')");
    board.db.con.Execute("update register set status='moderater' where username='max'");

    // Private with a password, mia removed, max appointed (twice: one row).
    EXPECT_TRUE(Has(Save("Talk", {{"Private", "private"}, {"ForumPassword", " pw "}, {"deletemoderater", "mia"},
                                  {"moderater", "max"}}).body, kDone));
    Save("Talk", {{"Private", "private"}, {"ForumPassword", "pw"}, {"moderater", "max"}});
    EXPECT_EQ(board.Value("select [restrict]||'/'||forumpassword from forum where forumname='Talk'"), "private/pw");
    EXPECT_EQ(board.Value("select status from register where username='mia'"), "NULL");
    EXPECT_EQ(board.Count("moderated where forum='Talk'"), 1);
    EXPECT_TRUE(Has(board.Value("select forummaster from forum where forumname='Talk'"), "max"));

    // Public again: the password goes; removing max here keeps his status,
    // as he moderates Other too.
    Save("Talk", {{"TopicRestrict", "restrict"}, {"ReplyRestrict", "none"}, {"deletemoderater", "max"}});
    EXPECT_EQ(board.Value("select [restrict]||'/'||ifnull(forumpassword,'null') from forum where forumname='Talk'"),
              "restrict&none/null");
    EXPECT_EQ(board.Value("select lower(status) from register where username='max'"), "moderater");
    EXPECT_EQ(board.Value("select forummaster from forum where forumname='Talk'"), "诚征版主");
}

// Every table that names a forum, with the rows naming `forum`.
std::string Rows(admin_test::PanelBoard& board, const std::string& forum) {
    std::string out;
    for (const char* table : {"forum where forumname=?", "post where forumname=?", "moderated where forum=?",
                              "archivelist where forumname=?", "announceto where forumname=?",
                              "subscibe where forumname=?"})
        out += std::to_string(board.Count(table, {forum})) + " ";
    return out;
}

class ForumCascadeTest : public ForumSetupTest {
protected:
    ForumCascadeTest() {
        NewForum("Old", {{"Moderater", "mia"}});
        const long long topic = board.AddTopic("Old", "max", "hello", browse_test::DaysAgo(1));
        board.AddReply(topic, "Old", "mia", browse_test::DaysAgo(0.5));
        auto& con = board.db.con;
        con.Execute("insert into archivelist (archiveid, postid, forumname, username) values (1, 99, 'Old', 'max')");
        con.Execute("insert into announceto (id, forumname) values (1, 'Old')");
        con.Execute("insert into subscibe (username, forumname) values ('max', 'Old')");
        board.Set(core::kForumJumpListKey, "cached");
    }
};

TEST_F(ForumCascadeTest, RenameCarriesEveryTable) {
    EXPECT_TRUE(Has(Save("Old", {{"forumname", "New's"}}).body, kDone));
    EXPECT_EQ(Rows(board, "Old"), "0 0 0 0 0 0 ");
    EXPECT_EQ(Rows(board, "New's"), "1 2 1 1 1 1 ");
    EXPECT_EQ(board.Value("select topiccount||'/'||replycount from forum"), "1/1");
    EXPECT_TRUE(JumpListEmptied());
}

TEST_F(ForumCascadeTest, RenameOntoATakenNameIsRefused) {
    board.AddForum("Taken", "Cat", 2);
    EXPECT_TRUE(Has(Save("Old", {{"forumname", "TAKEN"}}).body, "该论坛名称重复"));
    EXPECT_TRUE(Has(Save("Old", {{"forumname", "a,b"}}).body, "逗号"));
    EXPECT_EQ(Rows(board, "Old"), "1 2 1 1 1 1 ");
    // Changing only the letter case of its own name is allowed.
    EXPECT_TRUE(Has(Save("Old", {{"forumname", "OLD"}}).body, kDone));
    EXPECT_EQ(board.Value("select forumname from forum where forumname='old'"), "OLD");
}

TEST_F(ForumCascadeTest, FailedRenameLeavesTheBoardAsItWas) {
    board.db.con.Execute("create trigger fail_rename before update on subscibe "
                         "begin select raise(abort, 'disk trouble'); end");
    const auto page = Save("Old", {{"forumname", "New"}, {"moderater", "max"}});
    EXPECT_TRUE(Has(page.body, "错误描述：")) << page.body;
    EXPECT_EQ(Rows(board, "Old"), "1 2 1 1 1 1 ");
    EXPECT_EQ(Rows(board, "New"), "0 0 0 0 0 0 ");
    EXPECT_EQ(board.Value("select status from register where username='max'"), "NULL");
    EXPECT_FALSE(JumpListEmptied());
}

TEST_F(ForumCascadeTest, DeleteRemovesItsRowsButKeepsArchives) {
    board.AddForum("Other", "Cat", 2);
    board.db.con.Execute("insert into moderated (forum, moderater) values ('Other', 'max')");
    board.db.con.Execute("update register set status='Moderater' where username='max'");
    board.db.con.Execute("insert into moderated (forum, moderater) values ('Old', 'max')");
    EXPECT_TRUE(Has(Save("Old", {{"deleteforum", "on"}, {"forumname", ""}}).body, kDone));
    EXPECT_EQ(Rows(board, "Old"), "0 0 0 1 0 0 ");
    EXPECT_EQ(board.Value("select status from register where username='mia'"), "NULL");
    EXPECT_EQ(board.Value("select status from register where username='max'"), "Moderater");
    EXPECT_EQ(board.Value("select postcount from register where username='max'"), "0");
    EXPECT_TRUE(JumpListEmptied());
}

// A deleted forum's posts go after the panel's transaction, in batches: as
// a crash right after it leaves the board, no page shows them, no forum may
// take the name, and the next start deletes them.
TEST_F(ForumCascadeTest, DeletedForumsPostsAreHiddenUntilTheNextStartDeletesThem) {
    auto& con = board.db.con;
    {
        platform::Transaction tx(con);
        core::DeleteEverywhere(con, core::NameOf::Forum, "Old");
        tx.Commit();
    }
    EXPECT_EQ(Rows(board, "Old"), "0 2 0 1 0 0 ");
    const std::string topic = board.Value("select postid from post where parentid is null");
    EXPECT_TRUE(Has(board.driver.Get("newsdetail.asp", {{"id", topic}}).body, "该论坛不存在"));
    const std::string found = board.driver.Post("search.asp", {{"SearchTerms", "hello"}, {"BooleanAND", "YES"},
                                                               {"ForumChoice", "ALL"}, {"SearchIn", "ALL"},
                                                               {"SearchDate", "ALL"}, {"action", "simplesearch"}})
                                  .body;
    EXPECT_TRUE(Has(found, "搜索结果"));
    EXPECT_FALSE(Has(found, "newsdetail.asp?id=" + topic));
    EXPECT_TRUE(Has(NewForum("OLD").body, "该论坛名称重复"));

    core::FinishForumChangesSoon(board.db.Path());
    EXPECT_EQ(Rows(board, "Old"), "0 0 0 1 0 0 ");
    EXPECT_EQ(board.Count("forum_deleting"), 0);
    EXPECT_EQ(board.Value("select postcount from register where username='max'"), "0");
    EXPECT_TRUE(Has(NewForum("OLD").body, kDone));
}

// A renamed forum's posts follow its row in batches: as a crash right after
// the panel's transaction leaves the board, every page shows the forum
// whole under its new name, a reply goes in under it, the old name is
// taken, and the next start moves the rest.
TEST_F(ForumCascadeTest, RenamedForumIsWholeUnderItsNewNameUntilTheNextStartMovesItsPosts) {
    auto& con = board.db.con;
    {
        platform::Transaction tx(con);
        core::RenameEverywhere(con, core::NameOf::Forum, "Old", "New");
        tx.Commit();
    }
    EXPECT_EQ(Rows(board, "Old"), "0 2 0 0 0 0 ");
    const std::string topic = board.Value("select postid from post where parentid is null");
    const std::string list = board.driver.Get("list.asp", {{"GroupName", "New"}}).body;
    EXPECT_TRUE(Has(list, "NewsDetail.asp?id=" + topic) || Has(list, "newsdetail.asp?id=" + topic)) << list;
    const std::string thread = board.driver.Get("newsdetail.asp", {{"id", topic}}).body;
    EXPECT_TRUE(Has(thread, "groupname=New")) << thread;
    EXPECT_FALSE(Has(thread, "该论坛不存在"));
    const std::string found = board.driver.Post("search.asp", {{"SearchTerms", "hello"}, {"BooleanAND", "YES"},
                                                               {"ForumChoice", "New"}, {"SearchIn", "ALL"},
                                                               {"SearchDate", "ALL"}, {"action", "simplesearch"}})
                                  .body;
    EXPECT_TRUE(Has(found, "newsdetail.asp?id=" + topic)) << found;
    EXPECT_TRUE(Has(NewForum("OLD").body, "该论坛名称重复"));
    con.Execute("update forum set [restrict]='all&all'");
    const auto reply = board.driver.Post("posting.asp", {{"action", "postreply"}, {"Topic", topic}, {"forum", "New"},
                                                        {"UserName", "max"}, {"Password", "pw"},
                                                        {"TopicSubject", "re"}, {"Message", "again"}});
    EXPECT_EQ(board.Count("post where forumname='New' collate binary"), 1) << reply.body;

    core::ResumeForumChanges(board.db.Path());
    EXPECT_EQ(Rows(board, "Old"), "0 0 0 0 0 0 ");
    EXPECT_EQ(Rows(board, "New"), "1 3 1 1 1 1 ");
    EXPECT_EQ(board.Value("select topiccount||'/'||replycount from forum"), "1/2");
    EXPECT_EQ(board.Count("forum_renaming"), 0);
    EXPECT_TRUE(Has(NewForum("OLD").body, kDone));
}

TEST_F(ForumCascadeTest, StepsRefuseWithoutTheAdministrator) {
    board.db.con.Execute("update register set status=null where username='boss'");
    for (const char* action : {"order", "addforums", "getforum"}) {
        SCOPED_TRACE(action);
        const auto page = board.PanelGet("forum.asp", {{"action", action}, {"forumname", "Old"}});
        EXPECT_TRUE(Has(page.body, "对不起"));
        EXPECT_FALSE(Has(page.body, "<FORM"));
    }
    EXPECT_TRUE(Has(Save("Old", {{"deleteforum", "on"}}).body, "对不起，没有发现该用户"));
    EXPECT_EQ(Rows(board, "Old"), "1 2 1 1 1 1 ");
}

}  // namespace
