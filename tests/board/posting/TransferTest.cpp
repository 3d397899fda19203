// Moving a topic to another forum or filing it into an archive: the form,
// the copies, the source kept closed or deleted, the counters, and nothing
// half done.
#include "ModerationBoard.h"

namespace {

using browse_test::Has;
using site::Fields;

class TransferTest : public ModerationTest {
protected:
    TransferTest() {
        db.con.Execute("insert into archive (archivename) values ('<b>旧档</b>'), ('二档')");
        // The replies stored out of time order: ids keep the thread's order.
        thread.topic = AddTopic("精华", "ann", "旧话题", browse_test::DaysAgo(3));
        for (const auto& [who, days] : {std::pair{"joe", 0.5}, std::pair{"boss", 1.0}}) {
            AddReply(thread.topic, "精华", who, browse_test::DaysAgo(days));
            thread.replies.push_back(db.con.LastIdentity());
        }
        db.con.Execute("update post set hits = 7, ip = '10.0.0.' || postid, edithistory = 'h' || postid, "
                       "emailnotification = 1, usesign = 1, icon = 5");
    }

    static Fields Move(long long topic, const std::string& target, const std::string& choice) {
        return {{"action", "submittransfer"}, {"topic", std::to_string(topic)}, {"Option", "Transfer"},
                {"TransferToForumNum", target}, {"TransferChoiceOption", choice}, {"UserName", "mod"},
                {"Password", "pw"}};
    }
    static Fields File(long long topic, const std::string& archive, const std::string& choice) {
        return {{"action", "submittransfer"}, {"topic", std::to_string(topic)}, {"Option", "Archive"},
                {"ArchiveSelect", archive}, {"ArchiveChoiceOption", choice}, {"UserName", "mod"},
                {"Password", "pw"}};
    }
    site::DriverResponse Submit(const Fields& form) { return Send("POST", "archive.asp", form); }

    // A thread's rows as "author:ip:history:hits:status" in id order.
    std::string Rows(const std::string& where, const platform::SqlParams& params = {}) {
        return Value("select group_concat(username || ':' || ip || ':' || edithistory || ':' || hits || ':' || "
                     "ifnull(status, '-'), ' ') from (select * from post where " + where + " order by postid)",
                     params);
    }

    Thread thread;
};

TEST_F(TransferTest, FormListsTheOtherForumsAndTheArchives) {
    const std::string body = Get("archive.asp", {{"action", "transfer"}, {"topic", std::to_string(thread.topic)}}).body;
    EXPECT_TRUE(Has(body, "<title>旧话题 - 清风论坛</title>")) << body;
    EXPECT_TRUE(Has(body, "<FORM ACTION=archive.asp NAME=REPLIER METHOD=POST>"));
    EXPECT_TRUE(Has(body, "<option value=\"灌水\">灌水<option value=\"公告\">公告<option value=\"开放\">开放"
                          "<option value=\"密室\">密室</SELECT>"))
        << body;
    EXPECT_FALSE(Has(body, "value=\"精华\""));
    EXPECT_TRUE(Has(body, "<option value=0>请选择一个目标档案：<option value=1>&nbsp;&nbsp;&nbsp;&nbsp;&lt;b&gt;旧档&lt;/b&gt;"));
    EXPECT_TRUE(Has(body, "NAME=UserName"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=action VALUE=\"submittransfer\">"));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");

    db.con.Execute("delete from archive");
    EXPECT_TRUE(Has(Get("archive.asp", {{"action", "transfer"}, {"topic", std::to_string(thread.topic)}}).body,
                    "<SELECT NAME=ArchiveSelect class=smallsel><OPTION VALUE=0>目前没有档案被建立</SELECT>"));
}

TEST_F(TransferTest, MoveKeepingTheSourceClosed) {
    const std::string source = Rows("postid = ?1 or parentid = ?1", {thread.topic});
    const std::string page = Submit(Move(thread.topic, "开放", "Keep")).body;
    EXPECT_TRUE(Has(page, "主题：旧话题移动完成，您将在2秒内被自动转送到精华贴子列表。")) << page;
    EXPECT_TRUE(Has(page, "URL='list.asp?groupname=%BE%AB%BB%AA'"));

    const std::string copy = Value("select postid from post where forumname = '开放' and parentid is null");
    EXPECT_EQ(Rows("forumname = '精华'"), "ann:10.0.0.1:h1:7:close joe:10.0.0.2:h2:7:open boss:10.0.0.3:h3:7:open");
    EXPECT_EQ(Rows("forumname = '开放'"), "ann:10.0.0.1:h1:0:open joe:10.0.0.2:h2:0:open boss:10.0.0.3:h3:0:open");
    EXPECT_EQ(Value("select count(*) from post where forumname = '开放' and parentid = ? and icon = 5 and "
                    "usesign and emailnotification and subject = 'Re'",
                    {copy}),
              "2");
    EXPECT_EQ(Value("select replycount from post where postid = ?", {copy}), "2");
    EXPECT_EQ(CounterMismatches(), "");
}

TEST_F(TransferTest, MoveDeletingTheSource) {
    db.con.Execute("update post set status = 'close' where postid = ?", {thread.topic});
    Submit(Move(thread.topic, "开放", "Delete"));
    EXPECT_EQ(Value("select count(*) from post where forumname = '精华'"), "0");
    // A closed topic stays closed; the copy takes the hits.
    EXPECT_EQ(Rows("forumname = '开放'"), "ann:10.0.0.1:h1:7:close joe:10.0.0.2:h2:7:open boss:10.0.0.3:h3:7:open");
    EXPECT_EQ(Value("select forumname || topiccount || '/' || replycount from forum where forumname in ('精华', '开放') "
                    "order by sequence"),
              "精华0/0");
    EXPECT_EQ(CounterMismatches(), "");
}

TEST_F(TransferTest, FilingIntoArchives) {
    const std::string filed = Submit(File(thread.topic, "1", "Keep")).body;
    EXPECT_TRUE(Has(filed, "移动完成")) << filed;
    EXPECT_EQ(Value("select group_concat(archiveid || ':' || postid || ':' || ifnull(parentid, '-') || ':' || forumname "
                    "|| ':' || username || ':' || ip || ':' || edithistory || ':' || hits || ':' || status, ' ') "
                    "from (select * from archivelist order by rowid)"),
              "1:" + std::to_string(thread.topic) + ":-:精华:ann:10.0.0.1:h1:7:open 1:" +
                  std::to_string(thread.replies[0]) + ":" + std::to_string(thread.topic) + ":精华:joe:10.0.0.2:h2:7:open 1:" +
                  std::to_string(thread.replies[1]) + ":" + std::to_string(thread.topic) + ":精华:boss:10.0.0.3:h3:7:open");
    EXPECT_EQ(Value("select count(*) from archivelist where archivedate is null or subject is null or message is null"), "0");
    EXPECT_EQ(Rows("forumname = '精华'"), "ann:10.0.0.1:h1:7:open joe:10.0.0.2:h2:7:open boss:10.0.0.3:h3:7:open");

    EXPECT_TRUE(Has(Submit(File(thread.topic, "1", "Delete")).body, "对不起，该主题已经存在于档案中，请选择其他主题！"));
    EXPECT_EQ(PostCount(), 3);
    Submit(File(thread.topic, "2", "Delete"));
    EXPECT_EQ(Value("select archiveid || ':' || count(*) from archivelist group by archiveid order by archiveid desc"), "2:3");
    EXPECT_EQ(PostCount(), 0);
    EXPECT_EQ(CounterMismatches(), "");
}

TEST_F(TransferTest, ForgedAndMistakenMovesChangeNothing) {
    const std::string topic = std::to_string(thread.topic);
    const struct {
        std::string name;
        Fields form;
        std::string shows;
    } cases[] = {
        {"no id", With(Move(0, "开放", "Delete"), "topic", "(none)"), "参数错误！"},
        {"text id", With(Move(0, "开放", "Delete"), "topic", "abc"), "参数错误！"},
        {"id of no post", Move(99999, "开放", "Delete"), "参数错误！"},
        {"id of a reply", Move(thread.replies[0], "开放", "Delete"), "参数错误！"},
        {"no target forum", Move(thread.topic, "", "Delete"), "请您选择转移目的地，按返回按钮重新选择！"},
        {"a forum that does not exist", Move(thread.topic, "无此", "Delete"), "请您选择转移目的地"},
        {"its own forum", Move(thread.topic, "精华", "Delete"), "请您选择转移目的地"},
        {"no archive", File(thread.topic, "0", "Delete"), "请您选择归档档案，请按返回按钮重新选择！"},
        {"an archive that does not exist", File(thread.topic, "9", "Delete"), "请您选择归档档案"},
        {"a text archive", File(thread.topic, "1 or 1=1", "Delete"), "参数错误！"},
        {"an archive beyond 32 bits", File(thread.topic, "99999999999", "Delete"), "参数错误！"},
        {"a member", With(Move(thread.topic, "开放", "Delete"), "UserName", "joe"),
         "对不起，您没有执行该操作的权限，该操作需要版主或管理员级别的权限！"},
        {"a stranger", With(File(thread.topic, "1", "Delete"), "UserName", "nobody"),
         "对不起，您不是本论坛的注册用户，请先注册！"},
        {"the moderator of the target forum only",
         With(With(Move(AddThread("灌水").topic, "精华", "Delete"), "UserName", "mod"), "TransferToForumNum", "精华"),
         "对不起，您没有执行该操作的权限"},
    };
    const std::string before = Rows("1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = Submit(c.form).body;
        EXPECT_TRUE(Has(body, c.shows)) << body;
        EXPECT_EQ(Value("select count(*) from archivelist"), "0");
    }
    EXPECT_EQ(Rows("1"), before);
}

// A failure after some copies were made leaves the board as it was.
TEST_F(TransferTest, AFailureMidwayUndoesTheWholeMove) {
    db.con.Execute("create trigger fail_second_reply before insert on post when new.username = 'boss' "
                   "begin select raise(abort, 'forced'); end");
    db.con.Execute("create trigger fail_archived_reply before insert on archivelist when new.username = 'boss' "
                   "begin select raise(abort, 'forced'); end");
    const std::string before = Rows("1");
    const std::string counters = Value("select group_concat(forumname || topiccount || replycount) from forum");
    for (const Fields& form : {Move(thread.topic, "开放", "Delete"), Move(thread.topic, "开放", "Keep"),
                               File(thread.topic, "1", "Delete")}) {
        const std::string body = Submit(form).body;
        EXPECT_TRUE(Has(body, "错误描述：")) << body;
        EXPECT_EQ(Rows("1"), before);
        EXPECT_EQ(Value("select count(*) from archivelist"), "0");
        EXPECT_EQ(Value("select group_concat(forumname || topiccount || replycount) from forum"), counters);
    }
}

}  // namespace
