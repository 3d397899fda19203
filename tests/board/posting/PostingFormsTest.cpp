// The new-topic and reply forms: what they show, whom they refuse early,
// and the topic's own forum as their gate.
#include "PostingBoard.h"

namespace {

using browse_test::Count;
using browse_test::Has;
using site::Fields;

class PostingFormsTest : public PostingTest {
protected:
    site::DriverResponse Form(Fields query, Fields cookies = {}) {
        site::DriverRequest request;
        request.page = "posting.asp";
        request.query = std::move(query);
        request.cookies = std::move(cookies);
        return driver.Run(request);
    }

    long long Reply(long long topic, const std::string& author, const std::string& message, bool smiles = true) {
        db.con.Execute("insert into post (parentid, forumname, username, message, smiles) values (?, '灌水', ?, ?, ?)",
                       {topic, author, message, smiles ? 1 : 0});
        return db.con.LastIdentity();
    }
};

TEST_F(PostingFormsTest, NewTopicFormForAGuestPrefillsTheLoginCookiesEncoded) {
    const std::string body =
        Form({{"action", "newtopic"}, {"forum", "灌水"}}, {{"UserName", "joe\"><b>"}, {"Password", "p&w"}}).body;
    EXPECT_TRUE(Has(body, "<title>发表新话题</title>")) << body;
    EXPECT_TRUE(Has(body, "<b>在 灌水 论坛发表新话题</b>"));
    EXPECT_TRUE(Has(body, "NAME=UserName SIZE=25 MAXLENGTH=25 class=SmallInput VALUE=\"joe&quot;&gt;&lt;b&gt;\">"));
    EXPECT_TRUE(Has(body, "NAME=Password SIZE=13 MAXLENGTH=13 class=SmallInput VALUE=\"p&amp;w\">"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=TEXT NAME=TopicSubject SIZE=40 MAXLENGTH=30 class=smallinput>"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=RADIO NAME=MsgIcon VALUE=1 CHECKED><IMG SRC=icon/icon1.gif WIDTH=15 HEIGHT=15>"
                          "&nbsp;&nbsp;<INPUT TYPE=RADIO NAME=MsgIcon VALUE=10>"));
    EXPECT_EQ(Count(body, "NAME=MsgIcon"), 14u);
    EXPECT_TRUE(Has(body, "<TEXTAREA NAME=Message ROWS=10 COLS=95 WRAP=VIRTUAL class=smallarea></textarea>"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=CHECKBOX NAME=EmailNotification><b>Email 提醒:</b>"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=CHECKBOX NAME=Signature CHECKED><b>显示签名:</b>"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=forum VALUE=\"灌水\"><INPUT TYPE=HIDDEN NAME=action "
                          "VALUE=\"posttopic\"><INPUT TYPE=SUBMIT NAME=Submit VALUE=发表新话题 class=buttonface>"));
    EXPECT_TRUE(Has(body, "如果你先前已经注册，但忘了密码，<a href=ubbmisc.asp?action=lostpw>按这里</a>"));
    EXPECT_EQ(body.substr(body.size() - 14), "</body></html>");

    LogIn("joe");
    const std::string loggedIn = Form({{"action", "NewTopic"}, {"forum", "灌水"}}).body;
    EXPECT_TRUE(Has(loggedIn, "NAME=TopicSubject"));
    EXPECT_FALSE(Has(loggedIn, "NAME=UserName"));
    EXPECT_FALSE(Has(loggedIn, "NAME=Password"));
}

TEST_F(PostingFormsTest, NewTopicFormGates) {
    const struct {
        std::string name;
        std::string forum;
        std::string login;  // "" for a guest
        std::string shows;
    } cases[] = {
        {"unknown forum", "不存在", "", "对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！"},
        {"private forum: its identity form", "密室", "joe", "<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>"},
        {"leaders' forum, a logged-in member is told at once", "公告", "joe",
         "对不起，本论坛只有管理员和版主才能发表新话题！"},
        {"leaders' forum, a guest may still type", "公告", "", "NAME=TopicSubject"},
        {"leaders' forum, its moderator", "公告", "mod", "NAME=TopicSubject"},
        {"a forum name is text", "<i>x</i>", "", "对不起，该论坛不存在"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        driver.jar.clear();
        if (!c.login.empty()) LogIn(c.login);
        const std::string body = Form({{"action", "newtopic"}, {"forum", c.forum}}).body;
        EXPECT_TRUE(Has(body, c.shows)) << body;
        EXPECT_FALSE(Has(body, "<i>x</i>"));
    }
}

TEST_F(PostingFormsTest, ReplyFormShowsTheThreadAndGatesOnTheTopicsForum) {
    const long long topic = Topic("灌水");
    Reply(topic, "joe", "[b]粗[/b] :)");
    Reply(topic, "<i>bob</i>", ":) 原样", false);
    const std::string id = std::to_string(topic);
    const std::string body =
        Form({{"action", "reply"}, {"topic", id}, {"forum", "公告"}, {"TopicSubject", "<s>旧话题\"</s>"}}).body;
    EXPECT_TRUE(Has(body, "<title>回复话题 - 清风论坛</title>")) << body;
    EXPECT_TRUE(Has(body, "<b>论坛：</b>灌水<br><b>话题：</b>&lt;s&gt;旧话题&quot;&lt;/s&gt;</td>"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=forum VALUE=\"灌水\"><INPUT TYPE=HIDDEN NAME=action "
                          "VALUE=\"postreply\"><INPUT TYPE=HIDDEN NAME=Topic VALUE=\"" + id +
                          "\"><INPUT TYPE=HIDDEN NAME=TopicSubject VALUE=\"&lt;s&gt;旧话题&quot;&lt;/s&gt;\">"));
    EXPECT_TRUE(Has(body, "VALUE=发送回贴 class=buttonface>"));
    EXPECT_FALSE(Has(body, "<s>"));
    // The review: oldest first, colours alternating from the second one,
    // names as text, markup converted, smileys only where the post allows.
    EXPECT_TRUE(Has(body, "<b>话题回顾</b>"));
    const std::size_t first = body.find("旧正文"), second = body.find("<B>粗</B>"), third = body.find(":) 原样");
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_NE(third, std::string::npos);
    EXPECT_TRUE(Has(body, "<tr bgcolor=\"#dedfdf\"><td noWrap vAlign=top width='18%'>ann</td>"));
    EXPECT_TRUE(Has(body, "width='18%'>&lt;i&gt;bob&lt;/i&gt;</td>"));
    EXPECT_EQ(Count(body, "smile.gif"), 1u);
}

TEST_F(PostingFormsTest, ReplyFormRefusals) {
    const long long topic = Topic("灌水");
    const long long reply = Reply(topic, "joe", "回复");
    const long long inPrivate = Topic("密室");
    const long long noReplies = Topic("公告");
    db.con.Execute("update post set status = 'close' where postid = ?", {noReplies});
    const long long closed = Topic("灌水");
    db.con.Execute("update post set status = 'CLOSE' where postid = ?", {closed});
    const std::string gone = "该主题已不存在，可能已经被删除，请检查！";
    const struct {
        std::string name;
        Fields query;
        std::string login;
        std::string shows;
    } cases[] = {
        {"topic not a number", {{"topic", ""}}, "", "<p><b>参数错误</b>"},
        {"topic beyond 32 bits", {{"topic", "99999999999"}}, "", "<p><b>参数错误</b>"},
        {"topic missing", {}, "", gone},
        {"negative id answers the topic", {{"topic", "-" + std::to_string(topic)}}, "", "NAME=Message"},
        {"a reply's id", {{"topic", std::to_string(reply)}}, "", gone},
        {"private forum named by the topic", {{"topic", std::to_string(inPrivate)}, {"forum", "灌水"}}, "",
         "<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>"},
        {"no replies, logged in", {{"topic", std::to_string(noReplies)}}, "joe", "对不起，本论坛不接受回复！"},
        {"closed topic", {{"topic", std::to_string(closed)}}, "", "该主题已被关闭，不再接受回复，请检查！"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        driver.jar.clear();
        if (!c.login.empty()) LogIn(c.login);
        Fields query = c.query;
        query.insert(query.begin(), {"action", "reply"});
        const std::string body = Form(query).body;
        EXPECT_TRUE(Has(body, c.shows)) << body;
        EXPECT_FALSE(Has(body, "旧话题"));  // nothing of a refused thread
    }
}

TEST_F(PostingFormsTest, QuoteTakesAPostOfTheThreadOnly) {
    const long long topic = Topic("灌水");
    const long long quoted = Reply(topic, "joe", "说<b>过</b>的话");
    const long long other = Reply(Topic("开放"), "ann", "别的话题");
    auto editor = [&](const std::string& topicId, const std::string& quote) {
        const std::string body = Form({{"action", "replywquote"}, {"topic", topicId}, {"quotenum", quote}}).body;
        const std::size_t at = body.find("class=smallarea>");
        return at == std::string::npos ? body : body.substr(at + 16, body.find("</textarea>") - at - 16);
    };
    const std::string id = std::to_string(topic);
    EXPECT_EQ(editor(id, std::to_string(quoted)), "joe在上个贴子中说\r\n[quote] 说&lt;b&gt;过&lt;/b&gt;的话 [/quote]");
    EXPECT_EQ(editor(id, id), "ann在上个贴子中说\r\n[quote] 旧正文 [/quote]");
    EXPECT_EQ(editor(id, std::to_string(other)), "");  // another thread's post
    EXPECT_EQ(editor(id, "99999"), "");
    for (const auto& [topicId, quote] : {std::pair<std::string, std::string>{"0", id}, {"-" + id, id}, {id, "x"}})
        EXPECT_TRUE(Has(editor(topicId, quote), "<p><b>参数错误！</b>"));

    const std::string body =
        Form({{"action", "replywquote"}, {"topic", id}, {"quotenum", id}, {"TopicSubject", "题"}}).body;
    EXPECT_TRUE(Has(body, "<title>引用话题回复 - 清风论坛</title>"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=TopicSubject VALUE=\"题\">"));
}

TEST_F(PostingFormsTest, ActionsIgnoreLetterCaseAndAnUnknownOneIsNotFound) {
    EXPECT_EQ(Form({{"action", "NEWTOPIC"}, {"forum", "灌水"}}).status, 200);
    EXPECT_EQ(Form({{"action", "deletethread"}}).status, 404);
    EXPECT_EQ(Form({}).status, 404);
}

TEST_F(PostingFormsTest, ClubStyleHasTheClubHeader) {
    Set("BBStyle", "CLUB");
    const long long topic = Topic("灌水");
    for (const Fields& query : {Fields{{"action", "newtopic"}, {"forum", "灌水"}},
                                Fields{{"action", "reply"}, {"topic", std::to_string(topic)}}}) {
        const std::string body = Form(query).body;
        EXPECT_TRUE(Has(body, "<tr><td align=right><p>")) << body;
        EXPECT_FALSE(Has(body, "论坛发表新话题"));
        EXPECT_FALSE(Has(body, "<b>论坛：</b>"));
        EXPECT_TRUE(Has(body, "NAME=Message"));
    }
}

}  // namespace
