// The new-topic and reply handlers: what they store, the order in which
// they refuse, and forged requests that must store nothing.
#include "FixedClock.h"
#include "PostingBoard.h"

namespace {

using browse_test::Has;
using site::Fields;

constexpr const char* kRejectedIp = "对不起，你的 ip 地址 10.9.9.9 已经被列入 IP 拒绝列表！";
constexpr const char* kNoCredentials = "请同时输入用户名，口令！按浏览器的后退按钮可重新输入！";
constexpr const char* kNoTopicText = "请同时输入主题和内容！按浏览器的后退按钮可重新输入！";
constexpr const char* kNoReplyText = "请输入内容！按浏览器的后退按钮可重新输入！";
constexpr const char* kUnknownMember = "对不起，您不是本论坛的注册用户，请先注册后再发表！";
constexpr const char* kBarred = "对不起，您已经被禁止在本论坛发表话题，请和论坛管理员联系以获得详细信息！";
constexpr const char* kBadParameter = "参数错误！";
constexpr const char* kNoForum = "对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！";
constexpr const char* kNotAdmitted = "对不起，这是一个私家论坛，您还没有通过本论坛的身份认证";
constexpr const char* kLeadersTopics = "对不起，本论坛只有管理员和版主才能发表新话题！";
constexpr const char* kLeadersReplies = "对不起，本论坛只有管理员和版主才能回复话题！";
constexpr const char* kNoReplies = "对不起，本论坛不接受回复！";
constexpr const char* kNoTopic = "对不起，该主题已经不存在，可能已经被删除！";
constexpr const char* kClosed = "该主题已被关闭，不再接受回复，请检查！";

class PostingHandlersTest : public PostingTest {
protected:
    void SetUp() override { Set("RejectiveIP", "10.8.8.8,10.9.9.9"); }

    struct Case {
        std::string name;
        Fields form;
        std::string message;  // what the error page says
        std::string ip = "10.1.2.3";
    };

    // Every case is refused with its message, and nothing is stored.
    void ExpectRefusals(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            const long long before = PostCount();
            const std::string body = Post(c.form, false, c.ip).body;
            EXPECT_TRUE(Has(body, c.message)) << body;
            EXPECT_FALSE(Has(body, "谢谢您"));
            EXPECT_EQ(PostCount(), before);
        }
    }
};

TEST_F(PostingHandlersTest, NewTopicIsStoredAsTypedAndForwardsToTheForum) {
    const site::DriverResponse page =
        Post(With(With(With(TopicForm(), "TopicSubject", "  <b>粗</b> & 细  "), "Signature", "on"),
                  "EmailNotification", "on"));
    EXPECT_TRUE(Has(page.body, "<B>joe,谢谢您发表新主题，您将在2秒内被自动转送到灌水贴子列表。</b>")) << page.body;
    EXPECT_TRUE(Has(page.body, "URL='list.asp?groupname=%B9%E0%CB%AE'"));
    EXPECT_EQ(page.body.substr(page.body.size() - 14), "</body></html>");

    platform::Recordset rs;
    rs.Open("select * from post", db.con);
    EXPECT_EQ(rs.Fields("subject").str(), "<b>粗</b> & 细");
    EXPECT_EQ(rs.Fields("message").str(), "正文[b]粗[/b]");
    EXPECT_EQ(rs.Fields("forumname").str(), "灌水");
    EXPECT_EQ(rs.Fields("username").str(), "joe");
    EXPECT_EQ(rs.Fields("ip").str(), "10.1.2.3");
    EXPECT_EQ(platform::CLng(rs.Fields("icon")), 3);
    EXPECT_EQ(Flag("smiles"), "1");
    EXPECT_EQ(Flag("usesign"), "1");
    EXPECT_EQ(Flag("emailnotification"), "1");
    EXPECT_TRUE(rs.Fields("parentid").isNull());
}

TEST_F(PostingHandlersTest, OptionsAndIconsAsSent) {
    const struct {
        std::string name;
        Fields changes;
        int icon;
        std::string smiles, usesign, notify;
    } cases[] = {
        {"boxes unchecked", {}, 3, "1", "null", "null"},
        {"smilies off", {{"DisableSmilies", "on"}}, 3, "0", "null", "null"},
        {"icon missing", {{"MsgIcon", "(none)"}}, 1, "1", "null", "null"},
        {"icon beyond the board's", {{"MsgIcon", "99"}}, 1, "1", "null", "null"},
        {"icon one past the last", {{"MsgIcon", "15"}}, 1, "1", "null", "null"},
        {"icon zero", {{"MsgIcon", "0"}}, 1, "1", "null", "null"},
        {"icon 14", {{"MsgIcon", "14"}}, 14, "1", "null", "null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Fields form = TopicForm();
        for (const auto& [key, value] : c.changes) form = With(form, key, value);
        EXPECT_TRUE(Has(Post(form).body, "谢谢您发表新主题"));
        EXPECT_EQ(platform::CLng(Newest("icon")), c.icon);
        EXPECT_EQ(Flag("smiles"), c.smiles);
        EXPECT_EQ(Flag("usesign"), c.usesign);
        EXPECT_EQ(Flag("emailnotification"), c.notify);
    }
}

// The search reads queued posts too, so only the index itself shows that
// a post left the queue for it.
TEST_F(PostingHandlersTest, NewTopicsAndRepliesReachTheSearchIndex) {
    const auto expectIndexed = [&] {
        const long long post = platform::CLng(Newest("postid"));
        platform::Recordset rs;
        rs.Open("select (select count(*) from post_words where rowid = ?1), "
                "(select count(*) from post_words_pending where postid = ?1)",
                db.con, {platform::Variant(post)});
        EXPECT_EQ(platform::CLng(rs.Fields(0)), 1) << post;
        EXPECT_EQ(platform::CLng(rs.Fields(1)), 0) << post;
        return post;
    };
    EXPECT_TRUE(Has(Post(TopicForm()).body, "谢谢您发表新主题"));
    const long long topic = expectIndexed();
    EXPECT_TRUE(Has(Post(ReplyForm(topic)).body, "谢谢您"));
    EXPECT_NE(expectIndexed(), topic);
}

TEST_F(PostingHandlersTest, NewTopicRefusesInOrder) {
    const Fields topic = TopicForm();
    ExpectRefusals({
        {"address on the reject list, before everything", With(topic, "UserName", ""), kRejectedIp, "10.9.9.9"},
        {"icon not a number, before an empty name", With(With(topic, "MsgIcon", "abc"), "UserName", ""),
         kBadParameter},
        {"icon beyond 16 bits", With(topic, "MsgIcon", "40000"), kBadParameter},
        {"empty name, before an empty subject", With(With(topic, "UserName", ""), "TopicSubject", ""), kNoCredentials},
        {"no password", With(topic, "Password", "(none)"), kNoCredentials},
        {"blank subject", With(topic, "TopicSubject", "   "), kNoTopicText},
        {"blank message", With(topic, "Message", "  "), kNoTopicText},
        {"unknown member", With(topic, "UserName", "nobody"), kUnknownMember},
        {"wrong password", With(topic, "Password", "PW"), kUnknownMember},
        {"a name of blanks", With(topic, "UserName", "   "), kNoCredentials},
        {"barred member", With(topic, "UserName", "barred"), kBarred},
        {"unknown forum", With(topic, "forum", "不存在"), kNoForum},
        {"no forum", With(topic, "forum", "(none)"), kNoForum},
        {"private forum, not admitted", With(topic, "forum", "密室"), kNotAdmitted},
        {"topics for leaders only", With(topic, "forum", "公告"), kLeadersTopics},
    });
}

TEST_F(PostingHandlersTest, ReplyRefusesInOrder) {
    const long long topic = Topic("灌水");
    const Fields reply = ReplyForm(topic);
    const long long closed = Topic("灌水");
    db.con.Execute("update post set status = 'Close' where postid = ?", {closed});
    db.con.Execute("insert into post (parentid, forumname, username, message) values (?, '灌水', 'ann', 'x')", {topic});
    const long long aReply = db.con.LastIdentity();
    const long long inPrivate = Topic("密室");
    const long long noReplies = Topic("公告");
    const long long leadersReplies = Topic("精华");
    const long long orphan = Topic("已删除的论坛");
    ExpectRefusals({
        {"address on the reject list", With(reply, "Topic", "x"), kRejectedIp, "10.9.9.9"},
        {"topic not a number, before an empty name", With(With(reply, "Topic", "1 or 1=1"), "UserName", ""),
         kBadParameter},
        {"topic beyond 32 bits", With(reply, "Topic", "2147483648"), kBadParameter},
        {"icon beyond a byte", With(reply, "MsgIcon", "256"), kBadParameter},
        {"empty name", With(With(reply, "UserName", ""), "Message", ""), kNoCredentials},
        {"blank message", With(reply, "Message", "   "), kNoReplyText},
        {"unknown member", With(reply, "Password", "x"), kUnknownMember},
        {"barred member", With(reply, "UserName", "barred"), kBarred},
        {"no such topic", With(reply, "Topic", "99999"), kNoTopic},
        {"topic missing", With(reply, "Topic", "(none)"), kNoTopic},
        {"topic of a forum that is gone", With(reply, "Topic", std::to_string(orphan)), kNoForum},
        {"private forum, whatever forum the form names", With(reply, "Topic", std::to_string(inPrivate)),
         kNotAdmitted},
        {"no replies in this forum", With(reply, "Topic", std::to_string(noReplies)), kNoReplies},
        {"replies for leaders only", With(reply, "Topic", std::to_string(leadersReplies)), kLeadersReplies},
        {"a reply's id", With(reply, "Topic", std::to_string(aReply)), kNoTopic},
        {"closed topic, in any letter case", With(reply, "Topic", std::to_string(closed)), kClosed},
    });
}

TEST_F(PostingHandlersTest, RepeatWithinTheIntervalIsRefusedAlsoAfterARefusedPost) {
    Set("SubmitInterval", 60);
    EXPECT_TRUE(Has(Post(With(TopicForm(), "UserName", "nobody")).body, kUnknownMember));
    EXPECT_TRUE(Has(Post(TopicForm(), true).body, "论坛开启了重复递交检查功能，如果你在 60 秒内递交第二个贴子被视为重复提交"));
    EXPECT_EQ(PostCount(), 0);
    Set("SubmitInterval", -1);
    EXPECT_TRUE(Has(Post(TopicForm(), true).body, "谢谢您发表新主题"));
}

TEST_F(PostingHandlersTest, NeitherANewLoginNorAnotherAddressRestartsTheMembersInterval) {
    Set("SubmitInterval", 60);
    LogIn("joe");
    ASSERT_TRUE(Has(Post(TopicForm(), true).body, "谢谢您发表新主题"));
    const struct {
        const char* what;
        const char* member;
        const char* ip;
        bool logsIn;
    } cases[] = {
        {"the member logs in again", "joe", "10.1.2.3", true},
        {"the member in a new session from another address", "joe", "10.4.4.4", false},
    };
    for (const auto& c : cases) {
        driver.jar.clear();
        if (c.logsIn) LogIn(c.member);
        const std::string body = Post(With(TopicForm(), "UserName", c.member), true, c.ip).body;
        EXPECT_TRUE(Has(body, "论坛开启了重复递交检查功能，如果你在 60 秒内递交第二个贴子被视为重复提交")) << c.what;
    }
    EXPECT_EQ(PostCount(), 1);
    EXPECT_TRUE(Has(Post(With(TopicForm(), "UserName", "ann"), false, "10.4.4.5").body, "谢谢您发表新主题"));
}

TEST_F(PostingHandlersTest, AMadeUpNameSpendsNoOnesTurnAndMembersShareTheirAddress) {
    Set("SubmitInterval", 60);
    for (const char* name : {"eve", "fay", "gus", "hal", "ivy", "jan", "kim", "lee"}) AddMember(name, "pw");
    const char* const kPosted = "谢谢您发表新主题";
    const char* const kRepeated = "秒内递交第二个贴子被视为重复提交";
    // Five members a client may post for in an interval: an IPv6 client
    // holds a /64, an IPv4-mapped address is its IPv4 client.
    const struct {
        const char* member;
        const char* ip;
        const char* answer;
    } cases[] = {
        {"nobody", "2001:db8:5:1::1", kUnknownMember},
        {"joe", "2001:db8:5:1::1", kPosted},
        {"ann", "2001:db8:5:1::2", kPosted},
        {"boss", "2001:db8:5:1:ffff::3", kPosted},
        {"mod", "2001:db8:5:1::4", kPosted},
        {"eve", "2001:db8:5:1::5", kPosted},
        {"fay", "2001:db8:5:1::6", kRepeated},
        {"fay", "2001:db8:5:2::6", kPosted},
        {"nobody", "::ffff:10.5.0.1", kUnknownMember},
        {"gus", "::ffff:10.5.0.1", kPosted},
        {"hal", "10.5.0.1", kPosted},
        {"ivy", "10.5.0.1", kPosted},
        {"jan", "10.5.0.1", kPosted},
        {"kim", "10.5.0.1", kPosted},
        {"lee", "::ffff:10.5.0.1", kRepeated},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Has(Post(With(TopicForm(), "UserName", c.member), false, c.ip).body, c.answer))
            << c.member << " from " << c.ip;
    EXPECT_EQ(PostCount(), 11);
}

TEST_F(PostingHandlersTest, ANegativeIntervalNeverRefuses) {
    // Each post as if another page had recorded its time just after this one
    // read the clock.
    FixedClock clock(platform::MakeDateTime(2024, 5, 1, 12, 0, 0));
    for (const bool sameSession : {false, true, true}) {
        EXPECT_TRUE(Has(Post(TopicForm(), sameSession).body, "谢谢您发表新主题"));
        clock.Advance(-1);
    }
}

TEST_F(PostingHandlersTest, PostingRuleLetsLeadersIn) {
    const long long leadersReplies = Topic("精华");
    const struct {
        std::string name;
        Fields form;
        bool stored;
    } cases[] = {
        {"moderator opens a topic", With(With(TopicForm("公告"), "UserName", "mod"), "Password", "pw"), true},
        {"administrator opens a topic", With(TopicForm("公告"), "UserName", "boss"), true},
        {"moderator of another forum", With(TopicForm("精华"), "UserName", "joe"), false},
        {"nobody replies, not even the administrator",
         With(ReplyForm(Topic("公告")), "UserName", "boss"), false},
        {"moderator replies", With(ReplyForm(leadersReplies), "UserName", "mod"), true},
        {"'all' counts as members", TopicForm("开放"), true},
        {"a member of an open forum replies", ReplyForm(Topic("开放")), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const long long before = PostCount();
        Post(c.form);
        EXPECT_EQ(PostCount(), before + (c.stored ? 1 : 0));
    }
}

TEST_F(PostingHandlersTest, LoggedInMemberPostsWithTheSessionsLogin) {
    LogIn("joe");
    const site::DriverResponse page = Post(With(With(TopicForm(), "UserName", "ann"), "Password", "wrong"), true);
    EXPECT_TRUE(Has(page.body, "joe,谢谢您发表新主题")) << page.body;
    EXPECT_EQ(Newest("username").str(), "joe");
}

TEST_F(PostingHandlersTest, PrivateForumTakesPostsOnceAdmitted) {
    driver.jar.clear();
    driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"forum", "密室"}, {"UserName", "joe"}, {"Password", "pw"},
                                {"ForumPassword", "door"}, {"url", "list.asp"}});
    EXPECT_TRUE(Has(Post(TopicForm("密室"), true).body, "谢谢您发表新主题"));
    const long long topic = static_cast<long long>(platform::CDbl(Newest("postid")));
    Set("SubmitInterval", -1);
    EXPECT_TRUE(Has(Post(ReplyForm(topic), true).body, "谢谢您回复话题"));
    EXPECT_EQ(PostCount(), 2);
}

TEST_F(PostingHandlersTest, ReplyTakesItsForumFromTheTopic) {
    const long long topic = Topic("灌水");
    const site::DriverResponse page =
        Post(With(With(With(ReplyForm(topic), "forum", "公告"), "Signature", "on"), "DisableSmilies", "on"));
    EXPECT_TRUE(Has(page.body, "<B>joe，谢谢您回复话题，您将在2秒内被自动转送到您回复的话题。</b>")) << page.body;
    EXPECT_TRUE(Has(page.body, "URL='newsdetail.asp?id=" + std::to_string(topic) + "'"));
    EXPECT_EQ(Newest("forumname").str(), "灌水");
    EXPECT_EQ(platform::CLng(Newest("parentid")), topic);
    EXPECT_EQ(Newest("subject").str(), "回复");
    EXPECT_EQ(Flag("smiles"), "0");
    EXPECT_EQ(Flag("usesign"), "1");
    EXPECT_EQ(Flag("emailnotification"), "null");

    // An empty subject is fine for a reply.
    EXPECT_TRUE(Has(Post(With(ReplyForm(topic), "TopicSubject", "")).body, "谢谢您回复话题"));
}

}  // namespace
