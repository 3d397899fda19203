// Reading, answering and sending messages.
#include <gtest/gtest.h>

#include "PmBoard.h"
#include "core/MemberLinks.h"

namespace {

using namespace pm_test;

class ReadAndSendTest : public ::testing::Test, public PmBoard {};

TEST_F(ReadAndSendTest, ReadingMarksOnlyTheInboxRowRead) {
    const long long id = AddMessage("Bob", "alice", "hello");
    const std::string n = std::to_string(id);
    auto isNew = [&] { return Number("select isnew+0 from PM where postid=?", {id}); };

    const std::string copy = Open("Bob", {{"action", "viewoutbox"}, {"postid", n}}).body;
    EXPECT_TRUE(Has(copy, "主题:&nbsp;&nbsp;hello"));
    EXPECT_FALSE(Has(copy, "加入拒绝列表"));
    EXPECT_EQ(isNew(), 1);

    for (const char* other : {"carol", "Bob"})
        EXPECT_TRUE(Has(Open(other, {{"action", "viewpm"}, {"postid", n}}).body, "你没有权限查看该留言"));
    EXPECT_EQ(isNew(), 1);

    const std::string read = Open("alice", {{"action", "viewpm"}, {"postid", n}}).body;
    EXPECT_TRUE(Has(read, "<a href=pm.asp?action=replypm&recipient=Bob&postid=" + n + ">回复</a>"));
    EXPECT_TRUE(Has(read, "<a href=pm.asp?action=Addtoignorelist&Ignore=Bob>加入拒绝列表</a>"));
    EXPECT_EQ(isNew(), 0);

    for (const char* bad : {"0", "-4"})
        EXPECT_TRUE(Has(Open("alice", {{"action", "viewpm"}, {"postid", bad}}).body, "参数错误！")) << bad;
    EXPECT_TRUE(Has(Open("alice", {{"action", "viewpm"}, {"postid", "x"}}).body, "错误号：13"));
}

TEST_F(ReadAndSendTest, TheMessageViewWritesTheSendersDataAsText) {
    db.con.Execute(
        "update register set nickname='<i>nick', icon='javascript:alert(1)', email='a\"b@x', "
        "emailview=1, url='HTTPS://Example.com/Home', signature='[b]sig[/b]<u>' where username='Bob'");
    db.con.Execute("update PM set usesign=1");
    const long long id = AddMessage("Bob", "alice", "<s>subject");
    db.con.Execute("update PM set message='<script>x</script>[b]bold[/b]', usesign=1, icon=99");
    const std::string body = Open("alice", {{"action", "viewpm"}, {"postid", std::to_string(id)}}).body;
    EXPECT_TRUE(Has(body, "<b>&lt;i&gt;nick</b>"));
    EXPECT_FALSE(Has(body, "javascript:"));  // the picture falls back to the rank icon
    EXPECT_TRUE(Has(body, "<img src=icon/user.gif vspace=5><br>"));
    EXPECT_TRUE(Has(body, "<a href=\"mailto:a&quot;b@x\">"));
    EXPECT_TRUE(Has(body, "<a href=\"HTTPS://Example.com/Home\" target=_blank>"));
    EXPECT_TRUE(Has(body, "&lt;script&gt;x&lt;/script&gt;<B>bold</B>"));
    EXPECT_TRUE(Has(body, "<p><hr><B>sig</B>&lt;u&gt;"));
    EXPECT_TRUE(Has(body, "主题:&nbsp;&nbsp;&lt;s&gt;subject"));
    EXPECT_TRUE(Has(body, "src=icon/icon1.gif>"));
}

TEST_F(ReadAndSendTest, NamesWithMarkupAreText) {
    AddMember("<i>x", "pw");
    const long long id = AddMessage("<i>x", "alice", "s");
    const std::string body = Open("alice", {{"action", "viewpm"}, {"postid", std::to_string(id)}}).body;
    EXPECT_FALSE(Has(body, "<i>"));
    EXPECT_TRUE(Has(body, "'18%'>&lt;i&gt;x<br>"));
    EXPECT_TRUE(Has(body, "alt=\"按此观看&lt;i&gt;x的个人资料\""));
    EXPECT_TRUE(Has(body, "action=replypm&recipient=%3Ci%3Ex&postid="));
    EXPECT_FALSE(Has(Open("alice", {}).body, "<i>"));
}

TEST(MemberPictureTest, OnlyPathsOfThisSite) {
    const struct {
        const char* path;
        const char* shown;
    } cases[] = {
        {"", "rank"},
        {"images/face/1.gif", "<img src=\"images/face/1.gif\" vspace=5>"},
        {"/upload/me.gif", "<img src=\"/upload/me.gif\" vspace=5>"},
        {"a\" onerror=\"x", "<img src=\"a&quot; onerror=&quot;x\" vspace=5>"},
        {"http://evil/x.gif", "rank"},
        {"JavaScript:alert(1)", "rank"},
        {"//evil/x.gif", "rank"},
        {"../../etc/x.gif", "rank"},
        {"a\\b.gif", "rank"},
    };
    for (const auto& c : cases) EXPECT_EQ(core::MemberPicture(c.path, "rank"), c.shown) << c.path;
}

TEST_F(ReadAndSendTest, ComposeFormsArePrefilledAsText) {
    const std::string blank = Open("alice", {{"action", "newpm"}}).body;
    EXPECT_TRUE(Has(blank, "name=recipient class=smallinput size=25 maxlength=255 value=\"\">"));
    EXPECT_TRUE(Has(blank, "<input type=radio name=MsgIcon value=1 checked>"));

    const std::string prefilled =
        Open("alice", {{"action", "newpm"}, {"recipient", "Bob\"><x>"}, {"subject", "re <b>"}}).body;
    EXPECT_TRUE(Has(prefilled, "value=\"Bob&quot;&gt;&lt;x&gt;\">"));
    EXPECT_TRUE(Has(prefilled, "value=\"re &lt;b&gt;\">"));

    const long long id = AddMessage("Bob", "alice", "<b>hi");
    db.con.Execute("update PM set message='a <b>b</b>'");
    const std::string n = std::to_string(id);
    const std::string reply = Open("alice", {{"action", "replypm"}, {"recipient", "Bob"}, {"postid", n}}).body;
    EXPECT_TRUE(Has(reply, "<title>回复悄悄话 - "));
    EXPECT_TRUE(Has(reply, "value=\"回复:&lt;b&gt;hi\">"));
    EXPECT_TRUE(Has(reply, "-----原始邮件-----\r\n发件人: Bob\r\n"));
    // The box shows the characters "<b>", not bold text.
    EXPECT_TRUE(Has(reply, "主题: &lt;b&gt;hi\r\n\r\na &lt;b&gt;b&lt;/b&gt;</textarea>"));

    for (const auto& [member, postid, answer] : {std::tuple{"carol", n, "不存在被回复的悄悄话"},
                                                 {"alice", std::string("999"), "不存在被回复的悄悄话"},
                                                 {"alice", std::string("0"), "参数错误！"},
                                                 {"alice", std::string("x"), "参数错误！"}})
        EXPECT_TRUE(Has(Open(member, {{"action", "replypm"}, {"postid", postid}}).body, answer)) << member << postid;
}

TEST_F(ReadAndSendTest, SendingStoresBothCopiesForTheRightMember) {
    const auto done = Send(
        "alice",
        {{"Recipient", "BOB"}, {"Subject", " hi "}, {"Message", " text "}, {"msgicon", "99"}, {"signature", "on"}});
    EXPECT_TRUE(Has(done.body, "alice,谢谢你发表悄悄话"));
    EXPECT_TRUE(Has(done.body, "URL='pm.asp'"));
    platform::Recordset rs;
    rs.Open(
        "select PM.recipient, PM.sender, PM.subject, PM.message, PM.icon, PM.usesign, PM.isnew, "
        "outbox.postid as copy from PM inner join outbox on outbox.postid=PM.postid",
        db.con);
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.Fields("recipient").str(), "Bob");
    EXPECT_EQ(rs.Fields("sender").str(), "alice");
    EXPECT_EQ(rs.Fields("subject").str(), "hi");
    EXPECT_EQ(rs.Fields("message").str(), "text");
    EXPECT_EQ(platform::CLng(rs.Fields("icon")), 1);
    EXPECT_TRUE(platform::CBool(rs.Fields("usesign")));
    EXPECT_TRUE(platform::CBool(rs.Fields("isnew")));
    EXPECT_TRUE(Has(Open("Bob", {}).body, "<b>hi</b></a>"));
    EXPECT_TRUE(Has(Open("alice", {{"action", "outbox"}}).body, "<b>hi</b></a>"));
    // The board home tells Bob.
    EXPECT_TRUE(Has(As("Bob").Get("default.asp").body, "您有1条新悄悄话"));
}

TEST_F(ReadAndSendTest, SendChecksRunInOrder) {
    db.con.Execute("insert into ignorelist (username, ignoreusername) values ('carol', 'alice')");
    const struct {
        const char* what;
        const char* rejected;  // RejectiveIP
        int interval;
        site::Fields form;
        const char* answer;
    } cases[] = {
        {"refused address first", "127.0.0.1", -1, {}, "对不起，你的 ip 地址 127.0.0.1 已经被列入 IP 拒绝列表"},
        {"empty fields", "", -1, {{"Recipient", "Bob"}, {"Subject", "  "}, {"Message", "m"}}, "均不能为空"},
        {"empty message", "", -1, {{"Recipient", "Bob"}, {"Subject", "s"}, {"Message", " "}}, "均不能为空"},
        {"unknown recipient starts the interval",
         "",
         60,
         {{"Recipient", "nobody"}, {"Subject", "s"}, {"Message", "m"}},
         "你发送给的用户并不存在"},
        {"repeat before the recipient test",
         "",
         60,
         {{"Recipient", "nobody"}, {"Subject", "s"}, {"Message", "m"}},
         "论坛开启了重复递交检查功能，如果你在 60 秒内"},
        {"ignored by the recipient",
         "",
         -1,
         {{"Recipient", "CAROL"}, {"Subject", "s"}, {"Message", "m"}},
         "对不起，您已经被carol加入到悄悄话拒绝列表"},
    };
    for (const auto& c : cases) {
        Set("RejectiveIP", c.rejected);
        Set("SubmitInterval", c.interval);
        EXPECT_TRUE(Has(Send("alice", c.form).body, c.answer)) << c.what;
    }
    EXPECT_EQ(Number("select count(*) from PM"), 0);
    // The ignored sender is refused; the list's owner may still write.
    Send("carol", "alice", "still");
    EXPECT_EQ(Number("select count(*) from PM where recipient='alice'"), 1);
}

TEST_F(ReadAndSendTest, NeitherANewLoginNorAnotherAddressRestartsTheMembersInterval) {
    Set("SubmitInterval", 60);
    ASSERT_TRUE(Has(Send("alice", "Bob", "first").body, "谢谢你发表悄悄话"));
    const struct {
        const char* what;
        const char* member;
        const char* password;
        const char* ip;
        const char* answer;
    } cases[] = {
        {"the member logged in afresh from another address", "alice", "pa", "10.6.0.1",
         "论坛开启了重复递交检查功能，如果你在 60 秒内"},
        {"another member from the same address", "Bob", "pb", "127.0.0.1", "谢谢你发表悄悄话"},
    };
    for (const auto& c : cases) {
        site::RequestDriver browser(host);
        site::DriverRequest request;
        request.method = "POST";
        request.page = "pm.asp";
        request.remoteAddr = c.ip;
        request.form = {{"userName", c.member}, {"Password", c.password}, {"QueryString", ""}};
        browser.Run(request);
        request.form = {{"action", "postpm"}, {"Recipient", "carol"}, {"Subject", "again"}, {"Message", "m"}};
        const std::string body = browser.Run(request).body;
        EXPECT_TRUE(Has(body, c.answer)) << c.what << body;
    }
    EXPECT_EQ(Number("select count(*) from PM"), 2);
}

TEST_F(ReadAndSendTest, AFailedCopyStoresNothing) {
    db.con.Execute("create trigger refuse_copy before insert on outbox begin select raise(abort, 'disk full'); end");
    const std::string body = Send("alice", "Bob", "lost").body;
    EXPECT_TRUE(Has(body, "错误号："));
    EXPECT_TRUE(Has(body, "disk full"));
    EXPECT_EQ(Number("select count(*) from PM"), 0);
}

TEST_F(ReadAndSendTest, AGetCannotSendInTheMembersName) {
    const std::string body =
        Open("alice", {{"action", "postpm"}, {"Recipient", "Bob"}, {"Subject", "s"}, {"Message", "m"}}).body;
    EXPECT_TRUE(Has(body, "均不能为空"));
    EXPECT_EQ(Number("select count(*) from PM"), 0);
}

}  // namespace
