// Who may moderate what, closing and reopening, copying a post's text and
// the poster's address, with forged requests.
#include "ModerationBoard.h"

namespace {

using browse_test::Has;
using site::Fields;

class TopicModerationTest : public ModerationTest {
protected:
    std::string Status(long long id) { return Value("select status from post where postid = ?", {id}); }
};

// Each action of a fresh thread, by each kind of member: only those allowed
// act; everyone else changes nothing.
TEST_F(TopicModerationTest, RightsTable) {
    struct Action {
        std::string name;
        std::string page;
        std::function<Fields(long long topic)> form;
        std::string done;  // what a page that acted says
    };
    const Action actions[] = {
        {"edit", "posting.asp",
         [](long long t) { return Fields{{"action", "submitedit"}, {"topic", std::to_string(t)}, {"TopicSubject", "改"}, {"Message", "改"}}; },
         "谢谢你编辑贴子"},
        {"delete post", "posting.asp",
         [](long long t) { return Fields{{"action", "submitedit"}, {"topic", std::to_string(t)}, {"DeletePost", "on"}}; },
         "删除主题成功"},
        {"delete topic", "posting.asp",
         [](long long t) { return Fields{{"action", "deletepost"}, {"topic", std::to_string(t)}}; }, "已经被删除"},
        {"close", "posting.asp",
         [](long long t) { return Fields{{"action", "processclose"}, {"topic", std::to_string(t)}, {"which", "close"}, {"forum", "精华"}}; },
         "已经被关闭"},
        {"reopen", "posting.asp",
         [](long long t) { return Fields{{"action", "processclose"}, {"topic", std::to_string(t)}, {"which", "open"}, {"forum", "精华"}}; },
         "已经被重新开放"},
        {"move", "archive.asp",
         [](long long t) {
             return Fields{{"action", "submittransfer"}, {"topic", std::to_string(t)}, {"Option", "Transfer"},
                           {"TransferToForumNum", "开放"}, {"TransferChoiceOption", "Keep"}};
         },
         "移动完成"},
        {"address", "ubbmisc.asp",
         [](long long t) { return Fields{{"action", "getip"}, {"topic", std::to_string(t)}, {"Forum", "精华"}}; },
         "Here is the requested IP number"},
    };
    const struct {
        std::string who;
        std::string forum;         // where the thread is; ann wrote it
        std::string allowed;       // the actions this member may take, by first letter
    } members[] = {
        {"nobody", "精华", ""},              // -1: no such member
        {"joe", "精华", ""},                 // 0: a member
        {"ann", "精华", "ed"},               // 0: the author edits and deletes her post, nothing more
        {"boss", "精华", "edDcram"},         // 1: an administrator
        {"mod", "精华", "edDcram"},          // 2: moderator of the forum
        {"mod", "灌水", ""},                 // moderator of another forum
    };
    const std::string letters = "edDcram";
    for (const auto& m : members) {
        for (std::size_t a = 0; a < std::size(actions); ++a) {
            const Action& action = actions[a];
            SCOPED_TRACE(m.who + " in " + m.forum + ": " + action.name);
            const long long topic = AddThread(m.forum).topic;
            if (action.name == "reopen") db.con.Execute("update post set status = 'close' where postid = ?", {topic});
            Fields form = action.form(topic);
            form.insert(form.end(), {{"UserName", m.who}, {"Password", "pw"}});
            const long long posts = PostCount();
            const std::string body = Send("POST", action.page, form).body;
            const bool allowed = m.allowed.find(letters[a]) != std::string::npos;
            EXPECT_EQ(Has(body, action.done), allowed) << body;
            if (!allowed) {
                EXPECT_EQ(PostCount(), posts);
                EXPECT_EQ(Value("select count(*) from post where postid = ? and subject = '旧话题' and "
                                "edithistory is null and status = ?",
                                {topic, action.name == "reopen" ? "close" : "open"}),
                          "1");
            }
        }
    }
    EXPECT_EQ(CounterMismatches(), "");
}

TEST_F(TopicModerationTest, CloseAndReopenInTwoSteps) {
    const long long topic = AddThread("精华", "ann", "<b>题</b>").topic;
    const std::string id = std::to_string(topic);
    const struct {
        std::string action;
        std::string shows;
    } forms[] = {
        {"CloseThread", "<b>关 闭 主 题 </b>"},
        {"closethread", "需要关闭的主题: &lt;b&gt;题&lt;/b&gt;"},
        {"OpenThread", "需要重新开放的主题: &lt;b&gt;题&lt;/b&gt;"},
        {"processclose", "<INPUT TYPE=HIDDEN NAME=which VALUE=\"open\">"},
        {"closethread", "<INPUT TYPE=HIDDEN NAME=which VALUE=\"close\">"},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(f.action);
        const std::string body =
            Send("GET", "posting.asp", {{"action", f.action}, {"topic", id}, {"TopicSubject", "<i>forged</i>"}}).body;
        EXPECT_TRUE(Has(body, f.shows)) << body;
        EXPECT_TRUE(Has(body, "<title>关闭主题 - 清风论坛</title>"));
        EXPECT_FALSE(Has(body, "<i>"));
    }

    const Fields post = {{"action", "processclose"}, {"topic", id}, {"which", "close"},
                         {"UserName", "mod"},        {"Password", "pw"}};
    const std::string closed = Send("POST", "posting.asp", post).body;
    EXPECT_TRUE(Has(closed, "主题&lt;b&gt;题&lt;/b&gt;已经被关闭，将不再接受任何回复，您将在2秒内被自动转送到精华贴子列表。"))
        << closed;
    EXPECT_EQ(Status(topic), "close");
    EXPECT_TRUE(Has(Get("list.asp", {{"GroupName", "精华"}}).body, "images/lock.gif"));

    const struct {
        std::string name;
        Fields form;
    } refused[] = {
        {"a status but close or open", With(post, "which", "o'pen")},
        {"no status", With(post, "which", "(none)")},
        {"id of no post", With(With(post, "topic", "99999"), "which", "open")},
        {"text id", With(With(post, "topic", "x"), "which", "open")},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.name);
        const std::string body = Send("POST", "posting.asp", r.form).body;
        EXPECT_TRUE(Has(body, "参数错误！")) << body;
        EXPECT_EQ(Status(topic), "close");
    }
    // The rights of the topic's own forum, whatever forum the form names.
    const long long other = AddThread("灌水").topic;
    EXPECT_TRUE(Has(Send("POST", "posting.asp", With(With(post, "topic", std::to_string(other)), "forum", "精华")).body,
                    "对不起，您没有执行该操作的权限"));
    EXPECT_EQ(Status(other), "open");

    LogIn("boss");
    EXPECT_FALSE(Has(Send("GET", "posting.asp", {{"action", "openthread"}, {"topic", id}}, true).body, "NAME=UserName"));
    Send("POST", "posting.asp", With(With(post, "which", "open"), "UserName", "nobody"), true);
    EXPECT_EQ(Status(topic), "open");
}

TEST_F(TopicModerationTest, CopyPageShowsTheTextAsTyped) {
    const long long topic = AddTopic("灌水", "ann", "<b>题</b>", browse_test::DaysAgo(1));
    db.con.Execute("update post set message = '[b]粗[/b] </textarea><script>x</script>' where postid = ?", {topic});
    const long long secret = AddThread("密室").topic;
    const std::string body = Get("posting.asp", {{"action", "copypost"}, {"topic", std::to_string(topic)}}).body;
    EXPECT_TRUE(Has(body, "<textarea name=CopyMessage rows=18 cols=100 wrap=VIRTUAL>[b]粗[/b] &lt;/textarea&gt;"
                          "&lt;script&gt;x&lt;/script&gt;</textarea>"))
        << body;
    EXPECT_TRUE(Has(body, "话题: <font color=#2f2f4f>&lt;b&gt;题&lt;/b&gt;</font>"));
    EXPECT_TRUE(Has(body, "<title>复制主题 - 清风论坛</title>"));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");
    // The form, sent, shows the page again.
    EXPECT_TRUE(Has(body, "<form name=CopyForm action=posting.asp method=post><input type=hidden name=action "
                          "value=copypost><input type=hidden name=topic value=" + std::to_string(topic) + "><input "
                          "type=button value=选择全部"));
    const site::DriverResponse sent = Send("POST", "posting.asp", {{"action", "copypost"}, {"topic", std::to_string(topic)},
                                                                  {"CopyMessage", "[b]粗[/b]"}});
    EXPECT_EQ(sent.status, 200);
    EXPECT_TRUE(Has(sent.body, "wrap=VIRTUAL>[b]粗[/b] &lt;/textarea&gt;"));

    const struct {
        std::string topic;
        std::string shows;
    } cases[] = {
        {std::to_string(secret), "<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>"},
        {"99999", "不存在该贴子！"},
        {"0", "参数错误！"},
        {"", "参数错误！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.topic);
        const std::string page = Get("posting.asp", {{"action", "copypost"}, {"topic", c.topic}}).body;
        EXPECT_TRUE(Has(page, c.shows)) << page;
        EXPECT_FALSE(Has(page, "CopyMessage"));
    }
}

TEST_F(TopicModerationTest, PostersAddress) {
    const Thread t = AddThread("精华");
    db.con.Execute("update post set ip = '10.7.7.7', message = ':) [b]粗[/b] <i>' where postid = ?", {t.replies[0]});
    const std::string reply = std::to_string(t.replies[0]);

    // A guest gets the identity form, also without a post named.
    const std::string form = Get("ubbmisc.asp", {{"action", "getip"}, {"forum", "\"><b>"}}).body;
    EXPECT_TRUE(Has(form, "<FORM ACTION=ubbmisc.asp NAME=Authorize METHOD=POST><INPUT TYPE=HIDDEN NAME=action "
                          "VALUE=\"getip\"><INPUT TYPE=HIDDEN NAME=Forum VALUE=\"&quot;&gt;&lt;b&gt;\">"))
        << form;
    EXPECT_TRUE(Has(form, "<b>你的用户名</b>"));
    EXPECT_TRUE(Has(form, "VALUE=发送认证"));

    LogIn("mod");  // a logged-in moderator gets the answer at once
    const std::string shown = Send("GET", "ubbmisc.asp", {{"action", "getip"}, {"topic", reply}, {"forum", "灌水"}}, true).body;
    EXPECT_TRUE(Has(shown, "<B>10.7.7.7</B>")) << shown;
    EXPECT_TRUE(Has(shown, "<A HREF=NewsDetail.asp?id=" + std::to_string(t.topic) + ">Re</A>"));
    EXPECT_TRUE(Has(shown, "返回到: <A HREF=list.asp?GroupName=%BE%AB%BB%AA>精华</A>"));
    EXPECT_TRUE(Has(shown, "由joe发表于"));
    EXPECT_TRUE(Has(shown, ":) <B>粗</B> &lt;i&gt;")) << shown;
    EXPECT_EQ(shown.substr(shown.size() - 14), "</body></html>");

    const struct {
        std::string name;
        Fields form;
        std::string shows;
    } cases[] = {
        {"no post id", {{"UserName", "boss"}}, "参数错误！"},
        {"unknown member", {{"topic", reply}, {"UserName", "nobody"}}, "对不起，您不是本系统的注册用户，请先注册后再使用！"},
        {"member", {{"topic", reply}, {"UserName", "joe"}}, "对不起，您没有执行这个操作的权限"},
        {"moderator of another forum, naming his own",
         {{"topic", std::to_string(AddThread("灌水").topic)}, {"UserName", "mod"}, {"Forum", "精华"}},
         "对不起，您没有执行这个操作的权限"},
        {"a moderator asks for no post", {{"topic", "99999"}, {"UserName", "mod"}}, "对不起，您没有执行这个操作的权限"},
        {"an administrator asks for no post", {{"topic", "99999"}, {"UserName", "boss"}}, "该记录不存在"},
        {"an administrator, any forum named", {{"topic", reply}, {"UserName", "boss"}, {"Forum", ""}}, "<B>10.7.7.7</B>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fields form = c.form;
        form.insert(form.end(), {{"action", "getip"}, {"Password", "pw"}});
        const std::string body = Send("POST", "ubbmisc.asp", form).body;
        EXPECT_TRUE(Has(body, c.shows)) << body;
        if (c.shows.find("10.7") == std::string::npos) {
            EXPECT_FALSE(Has(body, "10.7.7.7"));
        }
    }
}

// A moderation form names its topic (title, notice, fields): one of a private
// forum only for a visitor admitted to it; anyone else gets the forum's
// identity form and nothing of the topic.
TEST_F(TopicModerationTest, ModerationFormsKeepPrivateTopicsToTheAdmitted) {
    const long long topic = AddTopic("密室", "ann", "机密话题", browse_test::DaysAgo(2));
    db.con.Execute("insert into post (parentid, forumname, username, subject, message, icon) "
                   "values (?, '密室', 'joe', '机密回复', 'x', 1)",
                   {topic});
    const std::string id = std::to_string(topic), reply = std::to_string(db.con.LastIdentity());
    const struct {
        std::string page;
        Fields query;
        std::string subject;
    } forms[] = {
        {"posting.asp", {{"action", "closethread"}, {"topic", id}}, "机密话题"},
        {"posting.asp", {{"action", "openthread"}, {"topic", id}}, "机密话题"},
        {"posting.asp", {{"action", "processclose"}, {"topic", id}}, "机密话题"},
        {"posting.asp", {{"action", "deletepost"}, {"topic", id}}, "机密话题"},
        {"posting.asp", {{"action", "deletepost"}, {"topic", reply}}, "机密回复"},
        {"archive.asp", {{"action", "transfer"}, {"topic", id}}, "机密话题"},
    };
    for (const auto& f : forms) {
        SCOPED_TRACE(site::EncodeFields(f.query));
        const std::string guest = Send("GET", f.page, f.query).body;
        EXPECT_FALSE(Has(guest, "机密")) << guest;
        EXPECT_TRUE(Has(guest, "<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>")) << guest;
        EXPECT_FALSE(Has(guest, "NAME=Authorize")) << guest;
    }

    driver.jar.clear();
    driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"forum", "密室"}, {"UserName", "joe"}, {"Password", "pw"},
                                {"ForumPassword", "door"}});
    for (const auto& f : forms) {
        SCOPED_TRACE(site::EncodeFields(f.query));
        const std::string admitted = Send("GET", f.page, f.query, true).body;
        EXPECT_TRUE(Has(admitted, f.subject)) << admitted;
        EXPECT_FALSE(Has(admitted, "VALUE=idcheck")) << admitted;
    }
    EXPECT_EQ(Status(topic), "open");
    EXPECT_EQ(Value("select count(*) from post where forumname = '密室'"), "2");
}

}  // namespace
