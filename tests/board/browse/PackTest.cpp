// Mail a post: the address form, the mail of one post in the board's name,
// its refusals, and the private-forum and repeat-submit guards.
#include "AllMailSendsTaken.h"
#include "MailPageTest.h"

namespace {

using browse_test::Has;

using site::Fields;

class PackTest : public MailPageTest {
protected:
    PackTest() {
        db.con.Execute("insert into forum (forumname) values ('General')");
        db.con.Execute("insert into forum (forumname, [restrict], forumpassword) values ('Inner', 'private', 'pw')");
        db.con.Execute("insert into register (username, password) values ('carol', 'cpw')");
        db.con.Execute("insert into post (postid, forumname, username, subject, message) values "
                       "(7, 'General', 'alice', '<Hi>', 'Look: [b]bold[/b] <script>x</script>'), "
                       "(9, 'Inner', 'bob', 'secret', 'inner text')");
        db.con.Execute("insert into post (postid, parentid, forumname, username, subject, message) values "
                       "(8, 7, 'General', 'bob', 'Re: Hi', null)");
    }

    site::DriverResponse Mail(const std::string& topic, const std::string& emails, const std::string& from = "") {
        return PostFrom("download.asp", {{"topic", topic}, {"email", emails}}, from);
    }
};

TEST_F(PackTest, FormCarriesTheTopicEncoded) {
    const std::string body = driver.Get("download.asp", {{"topic", "7 onclick=\"x\""}}).body;
    EXPECT_TRUE(Has(body, "<title>打包下载 - 清风论坛</title>")) << body;
    EXPECT_TRUE(Has(body, "<form action=download.asp method=post>"
                          "<input type=hidden name=topic value=\"7 onclick=&quot;x&quot;\">"));
    EXPECT_TRUE(Has(body, "<td><b>EMail地址</b><td><input type=text name=email size=40 maxlength=255></td></tr>"));
    EXPECT_TRUE(Has(body, "<input type=submit value=发送 class=buttonface id=submit1 name=submit1></p></form>"
                          "</center><p align=center>"));
    EXPECT_TRUE(Has(body, "</font></p></body></html>"));

    const std::string titled = driver.Get("download.asp", {{"subject", "<i>"}}).body;
    EXPECT_TRUE(Has(titled, "<title>&lt;i&gt;打包下载 - 清风论坛</title>"));
}

TEST_F(PackTest, MailsThePostToEveryAddressBlindAndForwardsToTheThread) {
    const std::string body = Mail("7", "a@example.com, b@example.org,nobody").body;
    EXPECT_TRUE(Has(body, "<B>你的邮件已经送出，您将在2秒内被自动转送到话题。</b>")) << body;
    EXPECT_TRUE(Has(body, "URL='newsdetail.asp?id=7'"));
    EXPECT_FALSE(Has(body, "打包下载"));

    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const auto& m = mails[0];
    EXPECT_EQ(m.mailFrom, "board@example.com");
    EXPECT_EQ(m.rcptTo, (std::vector<std::string>{"a@example.com", "b@example.org"}));
    EXPECT_EQ(m.Header("To"), "undisclosed-recipients:;");  // nobody learns the other address
    EXPECT_FALSE(Has(m.data, "b@example.org"));
    EXPECT_EQ(m.Header("Subject"), "<Hi>");
    const std::string text = MailText(m);
    EXPECT_EQ(text.substr(0, text.find("<p></p>") + 7),
              "<html><body>发信人:alice,讨论区：General<br>主题:&lt;Hi&gt;<br>"
              "来自:<a href=http://board.test/>清风论坛</a><br><p></p>");
    EXPECT_TRUE(Has(text, "Look: <B>bold</B> &lt;script&gt;x&lt;/script&gt;<p></p>")) << text;
    EXPECT_TRUE(text.ends_with("<p></p>---------------------------------<br>"
                               "欢迎访问<a href=http://board.test/>清风论坛</a><br>"));
}

TEST_F(PackTest, AReplyIsMailedAloneAndForwardsToItsTopic) {
    const std::string body = Mail("8", "a@example.com").body;
    EXPECT_TRUE(Has(body, "URL='newsdetail.asp?id=7'")) << body;
    EXPECT_EQ(sink.Mails().at(0).Header("To"), "\"a\" <a@example.com>");  // one recipient is named
    const std::string text = MailText(sink.Mails().at(0));
    EXPECT_TRUE(Has(text, "发信人:bob,讨论区：General<br>主题:Re: Hi<br>"));
    EXPECT_TRUE(Has(text, "<br><p></p><p></p>---"));  // a null message is empty
}

TEST_F(PackTest, RefusalsSendNothing) {
    driver.keepCookies = false;
    const struct {
        Fields form;
        const char* message;
    } cases[] = {
        {{{"email", "a@example.com"}}, "参数错误"},
        {{{"topic", "0"}, {"email", "a@example.com"}}, "参数错误"},
        {{{"topic", "abc"}, {"email", "a@example.com"}}, "错误号：13"},
        {{{"topic", "99999999999"}, {"email", "a@example.com"}}, "错误号：6"},
        {{{"topic", "99"}, {"email", "a@example.com"}}, "贴子不存在"},
        {{{"topic", "7"}, {"email", "nobody, @"}}, "请输入合法电子邮件地址!"},
        {{{"topic", "7"}, {"email", ""}}, "请输入合法电子邮件地址!"},
        {{{"topic", "7"}, {"email", "a@example.com\r\nBcc: v@example.net"}}, "请输入合法电子邮件地址!"},
        {{{"topic", "7"}, {"email", "a@example.com,b@example.com\r\nBcc: v@example.net"}}, "回车或换行符"},
    };
    for (const auto& c : cases) {
        const std::string body = PostFrom("download.asp", c.form).body;
        EXPECT_TRUE(Has(body, c.message)) << c.message << "\n" << body;
        EXPECT_TRUE(body.ends_with("</body></html>"));
    }
    db.con.Execute("delete from forum where forumname='General'");
    EXPECT_TRUE(Has(Mail("7", "a@example.com").body, "对不起，该论坛不存在"));
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(PackTest, RelayRefusalOrOutageShowsTheReason) {
    driver.keepCookies = false;
    sink.Refuse(".", "554 <spam> rejected");
    EXPECT_TRUE(Has(Mail("7", "a@example.com").body, "邮件服务器拒绝了这封邮件：554 &lt;spam&gt; rejected"));
    host.application().Set("SmtpServer", testing_smtp::SmtpSink::DeadAddress());
    EXPECT_TRUE(Has(Mail("7", "b@example.com").body, "无法连接邮件服务器"));
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(PackTest, PrivateForumPostOnlyForAdmittedVisitors) {
    const std::string refused = Mail("9", "a@example.com").body;
    EXPECT_TRUE(Has(refused, "<b>加　密　论　坛</b>")) << refused;
    EXPECT_TRUE(sink.Mails().empty());

    driver.Post("ubbmisc.asp", {{"action", "idcheck"}, {"UserName", "carol"}, {"Password", "cpw"},
                                {"forum", "Inner"}, {"ForumPassword", "pw"}, {"url", "default.asp"}});
    EXPECT_TRUE(Has(Mail("9", "a@example.com").body, "你的邮件已经送出"));
    EXPECT_TRUE(Has(MailText(sink.Mails().at(0)), "inner text"));
}

TEST_F(PackTest, OneMailPerSubmitIntervalFromEachSessionAndToEachAddress) {
    ASSERT_TRUE(Has(Mail("7", "a@example.com").body, "你的邮件已经送出"));
    EXPECT_TRUE(Has(Mail("7", "b@example.com").body, "秒内发送第二封邮件被视为重复提交"));

    driver.keepCookies = false;  // a new session each time
    EXPECT_TRUE(Has(Mail("7", "c@example.com,A@example.com", "10.8.0.1").body, "秒内发送第二封邮件被视为重复提交"));
    ASSERT_TRUE(Has(Mail("7", "c@example.com,d@example.com", "10.8.0.1").body, "你的邮件已经送出"));
    EXPECT_EQ(sink.Mails().size(), 2u);
}

// With every send taken, the page answers at once and spends no repeat slot.
TEST_F(PackTest, BusyMailServerIsToldAtOnce) {
    {
        const AllMailSendsTaken busy;
        const std::string refused = Mail("7", "a@example.com", "10.8.1.1").body;
        EXPECT_TRUE(Has(refused, "邮件服务器正忙，邮件没有发送，请稍后再试！")) << refused;
    }
    EXPECT_TRUE(sink.Mails().empty());
    EXPECT_TRUE(Has(Mail("7", "a@example.com", "10.8.1.1").body, "你的邮件已经送出"));
}

TEST_F(PackTest, AFewRecipientsAtMost) {
    driver.keepCookies = false;
    const std::string five = "a@example.com,b@example.com,c@example.com,d@example.com,e@example.com";
    EXPECT_TRUE(Has(Mail("7", five + ",f@example.com").body, "一次最多只能发送给5个电子邮件地址"));
    EXPECT_TRUE(sink.Mails().empty());
    EXPECT_TRUE(Has(Mail("7", five + ",nobody").body, "你的邮件已经送出"));
    ASSERT_EQ(sink.Mails().size(), 1u);
    EXPECT_EQ(sink.Mails()[0].rcptTo.size(), 5u);
}

TEST_F(PackTest, AuthorAndForumNamesAreMailedAsText) {
    db.con.Execute("insert into forum (forumname) values ('A&B <i>')");
    db.con.Execute("insert into post (postid, forumname, username, subject, message) values "
                   "(20, 'A&B <i>', '<u>eve</u>', 's', 'm')");
    ASSERT_TRUE(Has(Mail("20", "a@example.com").body, "你的邮件已经送出"));
    EXPECT_TRUE(Has(MailText(sink.Mails().at(0)), "发信人:&lt;u&gt;eve&lt;/u&gt;,讨论区：A&amp;B &lt;i&gt;<br>"));
}

}  // namespace
