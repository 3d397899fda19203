// Editing and deleting posts: the edit form, its handler and the two-step
// topic deletion, with forged requests.
#include "FixedClock.h"
#include "ModerationBoard.h"

namespace {

using browse_test::Has;
using site::Fields;

constexpr const char* kNotMember = "对不起，您不是本论坛的用户，请先注册后再使用！";
constexpr const char* kMayNotDelete = "对不起，你没有删除该贴子的权限，只有管理员、版主或贴子的原作者才能删除它！";
constexpr const char* kMayNotEdit = "您没有权限编辑该贴子，该贴子只能为管理员、版主或原作者才可编辑！";

class PostEditTest : public ModerationTest {
protected:
    site::DriverResponse EditForm(long long id, const std::string& forum = "灌水") {
        return Send("GET", "posting.asp", {{"action", "editpost"}, {"Forum", forum}, {"Topic", std::to_string(id)}},
                    true);
    }
    static Fields Edit(long long id, const std::string& who, Fields more = {}) {
        Fields form = {{"action", "submitedit"}, {"Topic", std::to_string(id)}, {"UserName", who},
                       {"Password", "pw"},       {"Message", "新正文"}};
        form.insert(form.end(), more.begin(), more.end());
        return form;
    }
};

TEST_F(PostEditTest, EditFormOfATopicAndOfAReply) {
    db.con.Execute("insert into post (forumname, username, subject, message, smiles) "
                   "values ('灌水', 'ann', '<b>粗</b>', '[b]x[/b] </textarea><i>', 0)");
    const long long topic = db.con.LastIdentity();
    AddReply(topic, "灌水", "joe", browse_test::DaysAgo(1));
    const long long reply = db.con.LastIdentity();
    db.con.Execute("update post set smiles = 1 where postid = ?", {reply});
    db.con.Execute("update post set parentid = 0 where postid = ?", {topic});  // 0 also marks a topic

    const std::string body = EditForm(topic).body;
    EXPECT_TRUE(Has(body, "<title>编辑话题 - 清风论坛</title>")) << body;
    EXPECT_TRUE(Has(body, "帖子名称：<font color=#2f2f4f>&lt;b&gt;粗&lt;/b&gt;</font>"));
    EXPECT_TRUE(Has(body, "<b>注意：</b>删除此贴会导致整个话题"));
    EXPECT_TRUE(Has(body, "NAME=TopicSubject SIZE=40 MAXLENGTH=30 class=smallinput VALUE=\"&lt;b&gt;粗&lt;/b&gt;\">"));
    EXPECT_TRUE(Has(body, "[b]x[/b] &lt;/textarea&gt;&lt;i&gt;</textarea>"));
    EXPECT_TRUE(Has(body, "原作者：ann　发表于："));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=CHECKBOX NAME=DisableSmilies CHECKED>"));
    EXPECT_TRUE(Has(body, "NAME=UserName SIZE=25"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=action VALUE=\"submitedit\"><INPUT TYPE=HIDDEN NAME=forum "
                          "VALUE=\"灌水\"><INPUT TYPE=HIDDEN NAME=Topic VALUE=\"" + std::to_string(topic) + "\">"));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");

    LogIn("joe");
    const std::string replyForm = EditForm(reply).body;
    EXPECT_TRUE(Has(replyForm, "删除？想删除的话，选中左边的复选框。</font>")) << replyForm;
    EXPECT_FALSE(Has(replyForm, "NAME=TopicSubject"));
    EXPECT_FALSE(Has(replyForm, "NAME=UserName"));
    EXPECT_TRUE(Has(replyForm, "<INPUT TYPE=CHECKBOX NAME=DisableSmilies>"));
}

TEST_F(PostEditTest, EditFormGatesOnThePostsOwnForum) {
    const long long secret = AddThread("密室").topic;
    const struct {
        std::string name;
        Fields query;
        std::string shows;
    } cases[] = {
        {"private forum's post under a public forum's name",
         {{"action", "editpost"}, {"forum", "灌水"}, {"topic", std::to_string(secret)}},
         "<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>"},
        {"no id", {{"action", "editpost"}, {"forum", "灌水"}}, "参数错误"},
        {"id of no post", {{"action", "editpost"}, {"topic", "99999"}}, "该贴子已不存在，可能被其他人删除！"},
        {"id beyond 32 bits", {{"action", "editpost"}, {"topic", "2147483648"}}, "参数错误"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = Send("GET", "posting.asp", c.query).body;
        EXPECT_TRUE(Has(body, c.shows)) << body;
        EXPECT_FALSE(Has(body, "NAME=TopicSubject"));
    }
    // An id sent only in a posted form is read like one in the address.
    EXPECT_TRUE(Has(Send("POST", "posting.asp", {{"action", "editpost"}, {"topic", std::to_string(AddThread("灌水").topic)}}).body,
                    "NAME=TopicSubject"));
}

TEST_F(PostEditTest, EditsAccumulateNotesAndRenameTheThread) {
    const Thread t = AddThread("灌水");
    FixedClock clock(platform::MakeDateTime(2024, 5, 6, 7, 8, 9));
    const std::string first =
        Send("POST", "posting.asp", Edit(t.topic, "  ann ", {{"TopicSubject", "新<题>"}, {"DisableSmilies", "on"}})).body;
    EXPECT_TRUE(Has(first, "ann，谢谢你编辑贴子，您将在2秒内被自动转送到编辑的话题。")) << first;
    EXPECT_TRUE(Has(first, "URL='newsdetail.asp?id=" + std::to_string(t.topic) + "'"));
    clock.Advance(60);
    const std::string second = Send("POST", "posting.asp", With(Edit(t.replies[0], "boss"), "Message", "改[b]过[/b]")).body;
    EXPECT_TRUE(Has(second, "URL='newsdetail.asp?id=" + std::to_string(t.topic) + "'")) << second;
    Send("POST", "posting.asp", Edit(t.topic, "mod", {{"TopicSubject", "新<题>"}}));  // moderator of another forum
    Send("POST", "posting.asp", Edit(t.topic, "boss", {{"TopicSubject", "新<题>"}}));

    const std::string note1 = "[这消息被ann编辑过(编辑时间2024-05-06 <FONT COLOR=#800080>07:08:09</font>)]<br>";
    const std::string note2 = "[这消息被boss编辑过(编辑时间2024-05-06 <FONT COLOR=#800080>07:09:09</font>)]<br>";
    EXPECT_EQ(Value("select edithistory from post where postid = ?", {t.topic}), note1 + note2);
    EXPECT_EQ(Value("select message || '/' || smiles from post where postid = ?", {t.topic}), "新正文/1");
    EXPECT_EQ(Value("select group_concat(subject, '|') from post where postid in (?, ?, ?)",
                    {t.topic, t.replies[0], t.replies[1]}),
              "新<题>|新<题>|新<题>");
    EXPECT_EQ(Value("select message || '/' || edithistory from post where postid = ?", {t.replies[0]}),
              "改[b]过[/b]/" + note2);
}

TEST_F(PostEditTest, AnUnchangedSubjectLeavesTheRepliesSubjects) {
    const Thread t = AddThread("灌水");
    Send("POST", "posting.asp", Edit(t.topic, "ann", {{"TopicSubject", "旧话题"}}));
    EXPECT_EQ(Value("select group_concat(subject, '|') from post where parentid = ?", {t.topic}), "Re|Re");
    Send("POST", "posting.asp", Edit(t.topic, "ann", {{"TopicSubject", "旧话题"}, {"DisableSmilies", "on"}}));
    EXPECT_EQ(Value("select cast(smiles as integer) from post where postid = ?", {t.topic}), "0");
}

TEST_F(PostEditTest, HandlerRefusesInItsOrder) {
    const Thread t = AddThread("灌水");
    const std::string topic = std::to_string(t.topic);
    const struct {
        std::string name;
        Fields form;
        std::string message;
    } cases[] = {
        {"no id", {{"action", "submitedit"}, {"Message", "x"}}, "参数错误！"},
        {"id of no post", Edit(99999, "boss"), "参数错误！"},
        {"text id", Edit(0, "boss", {{"Topic", "abc"}}), "参数错误！"},
        {"empty subject before the credentials", Edit(t.topic, "nobody", {{"TopicSubject", ""}}), "主题不能为空！"},
        {"empty text before the credentials", {{"action", "submitedit"}, {"Topic", topic}, {"TopicSubject", "s"}},
         "内容不能为空！你也可以按浏览器的后退按钮进行修改！"},
        {"unknown member", Edit(t.topic, "nobody", {{"TopicSubject", "s"}}), kNotMember},
        {"wrong password", With(Edit(t.topic, "ann", {{"TopicSubject", "s"}}), "Password", "PW"), kNotMember},
        {"another member", Edit(t.topic, "joe", {{"TopicSubject", "s"}}), kMayNotEdit},
        {"moderator of another forum", Edit(t.topic, "mod", {{"TopicSubject", "s"}}), kMayNotEdit},
        {"delete by another member", Edit(t.topic, "joe", {{"DeletePost", "on"}}), kMayNotDelete},
        {"delete by a stranger", Edit(t.topic, "nobody", {{"DeletePost", "on"}}), kNotMember},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string body = Send("POST", "posting.asp", c.form).body;
        EXPECT_TRUE(Has(body, c.message)) << body;
    }
    EXPECT_EQ(Value("select count(*) from post where edithistory is not null or subject <> '旧话题' and parentid is null"),
              "0");
    EXPECT_EQ(PostCount(), 3);
}

TEST_F(PostEditTest, DeleteByTopicIdTakesTheThreadByReplyIdTheReply) {
    const Thread a = AddThread("灌水", "ann");
    const Thread b = AddThread("灌水", "joe", "另一个");
    // The reply's author deletes it; the forum's list is the next page.
    const std::string gone = Send("POST", "posting.asp", Edit(a.replies[0], "joe", {{"DeletePost", "on"}})).body;
    EXPECT_TRUE(Has(gone, "joe，删除主题成功，您将在2秒内被自动转送到灌水贴子列表。")) << gone;
    EXPECT_TRUE(Has(gone, "URL='list.asp?groupname=%B9%E0%CB%AE'"));
    EXPECT_EQ(Value("select count(*) from post where postid = ? or parentid = ?", {a.topic, a.topic}), "2");
    EXPECT_EQ(CounterMismatches(), "");

    LogIn("boss");  // the session's login; posted names are ignored
    Send("POST", "posting.asp", Edit(b.topic, "nobody", {{"DeletePost", "on"}}), true);
    EXPECT_EQ(Value("select count(*) from post where postid = ? or parentid = ?", {b.topic, b.topic}), "0");
    EXPECT_EQ(PostCount(), 2);
    EXPECT_EQ(CounterMismatches(), "");
}

TEST_F(PostEditTest, TopicDeletionInTwoSteps) {
    const Thread t = AddThread("精华", "ann", "<i>题</i>");
    const std::string id = std::to_string(t.topic);
    const std::string form =
        Send("GET", "posting.asp", {{"action", "deletepost"}, {"topic", id}}).body;
    EXPECT_TRUE(Has(form, "<FORM ACTION=posting.asp NAME=Authorize METHOD=POST><INPUT TYPE=HIDDEN NAME=action "
                          "VALUE=\"deletepost\"><INPUT TYPE=HIDDEN NAME=topic VALUE=\"" + id + "\">")) << form;
    EXPECT_TRUE(Has(form, "<b>需要删除的话题: &lt;i&gt;题&lt;/i&gt;</b>"));
    EXPECT_TRUE(Has(form, "<b>您的用户名</b>"));
    EXPECT_TRUE(Has(form, "VALUE=提交认证"));
    EXPECT_TRUE(Has(form, "</FORM></CENTER>"));

    const Fields post = {{"action", "deletepost"}, {"topic", id}, {"UserName", "ann"}, {"Password", "pw"}};
    const struct {
        std::string who;
        std::string shows;
    } refusals[] = {
        {"nobody", "对不起，你不是我们的注册用户，请先注册。按后退按钮重新输入用户名和口令！"},
        {"ann", "对不起，您没有执行该操作的权限，该权限需要您有版主或管理员的许可。"},  // the author has no right here
        {"joe", "对不起，您没有执行该操作的权限"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.who);
        EXPECT_TRUE(Has(Send("POST", "posting.asp", With(post, "UserName", r.who)).body, r.shows));
    }
    EXPECT_EQ(PostCount(), 3);
    EXPECT_TRUE(Has(Send("POST", "posting.asp", With(post, "topic", "99999")).body, "参数错误！"));

    LogIn("mod");
    EXPECT_FALSE(Has(Send("GET", "posting.asp", {{"action", "deletepost"}, {"topic", id}}, true).body, "NAME=UserName"));
    const std::string done = Send("POST", "posting.asp", With(post, "UserName", "nobody"), true).body;
    EXPECT_TRUE(Has(done, "话题&lt;i&gt;题&lt;/i&gt;已经被删除，您将在2秒内被自动转送到精华贴子列表。")) << done;
    EXPECT_EQ(PostCount(), 0);
    EXPECT_EQ(CounterMismatches(), "");
}

}  // namespace

namespace {

// A member whose login typed his name in other letters acts as the member
// he is: his posts keep the registered name, and his older ones stay his.
TEST_F(PostEditTest, LoginInOtherLettersStillOwnsThePosts) {
    const long long old = Topic("灌水", "joe");
    LogIn("JOE");
    const Fields session = {
        {"action", "submitedit"}, {"Topic", std::to_string(old)}, {"TopicSubject", "旧话题"}, {"Message", "改过"}};
    EXPECT_TRUE(Has(Send("POST", "posting.asp", session, true).body, "谢谢你编辑贴子"));
    EXPECT_EQ(Value("select message from post where postid=?", {old}), "改过");

    Send("POST", "posting.asp",
         {{"action", "posttopic"}, {"forum", "灌水"}, {"TopicSubject", "新"}, {"MsgIcon", "1"}, {"Message", "正文"}},
         true);
    EXPECT_EQ(Value("select username from post where subject='新'"), "joe");

    // Typed into the edit form the same way.
    EXPECT_TRUE(Has(Send("POST", "posting.asp", Edit(old, "Joe", {{"TopicSubject", "旧话题"}})).body, "谢谢你编辑贴子"));
    EXPECT_EQ(Value("select message from post where postid=?", {old}), "新正文");
}

}  // namespace
