// Send a page to a friend: the form, the mail it sends in the board's name,
// and its refusals.
#include "AllMailSendsTaken.h"
#include "FixedClock.h"
#include "MailPageTest.h"
#include "board/mail/MailGuard.h"

namespace {

using browse_test::Has;

using site::Fields;

class SendThreadTest : public MailPageTest {
protected:
    site::DriverResponse Form(Fields query, Fields headers = {}) {
        site::DriverRequest request;
        request.page = "ubbmisc.asp";
        request.query = std::move(query);
        request.query.insert(request.query.begin(), {"action", "sendthread"});
        request.headers = std::move(headers);
        return driver.Run(request);
    }

    site::DriverResponse Send(Fields changes = {}, const std::string& from = "") {
        Fields form = {{"action", "sendthread"},
                       {"FromName", "王五"},
                       {"FromEmail", "wang@example.org"},
                       {"SendToName", "李四"},
                       {"SendToEmail", "li@example.net"},
                       {"EmailSubject", "好帖"},
                       {"EmailMessage", "你看看<b>这个</b>\r\n第二行"},
                       {"ForwardURL", "http://board.test/newsdetail.asp?id=3"}};
        for (const auto& [key, value] : changes)
            for (auto& field : form)
                if (field.first == key) field.second = value;
        return PostFrom("ubbmisc.asp", form, from);
    }
};

TEST_F(SendThreadTest, FormIsPrefilledFromTheReferringPageWithRequestTextEncoded) {
    const std::string body =
        Form({{"Subject", "<b>好帖\"</b>"}}, {{"Referer", "http://board.test/newsdetail.asp?id=3&a=\"x"}}).body;
    EXPECT_TRUE(Has(body, "<title>把本页发送给你的朋友 - 清风论坛</title>")) << body;
    EXPECT_TRUE(Has(body, "<center><FORM ACTION=ubbmisc.asp METHOD=POST><table border=0 width="));
    EXPECT_TRUE(Has(body, "<B>把本页发送给朋友</B></FONT></td></tr></table><BR>"));
    EXPECT_TRUE(Has(body, "<TD><B>你的姓名：</B></TD><TD><INPUT TYPE=TEXT NAME=FromName SIZE=25 MAXLENGTH=100 "
                          "class=smallinput></TD></TR>"));
    EXPECT_TRUE(Has(body, "NAME=EmailSubject SIZE=40 MAXLENGTH=100 class=smallinput "
                          "VALUE=\"&lt;b&gt;好帖&quot;&lt;/b&gt;\">"));
    EXPECT_TRUE(Has(body, "<TD valign=top><B>正文：</B></TD><TD><TEXTAREA NAME=EmailMessage ROWS=4 COLS=50 "
                          "class=smallarea>这是清风论坛里的一个帖子，我想，你可能会对此页有兴趣："
                          "&lt;b&gt;好帖&quot;&lt;/b&gt;</TEXTAREA>"));
    // Readable text: no markup, which the mail would show as it stands.
    EXPECT_FALSE(Has(body, "&lt;a href"));
    EXPECT_TRUE(Has(body, "<INPUT TYPE=HIDDEN NAME=ForwardURL "
                          "VALUE=\"http://board.test/newsdetail.asp?id=3&amp;a=&quot;x\">"
                          "<INPUT TYPE=HIDDEN NAME=action VALUE=sendthread></FORM></p></center>"));
    EXPECT_FALSE(Has(body, "<b>好帖"));
    EXPECT_TRUE(Has(body, "感谢每一位参与讨论的朋友</font></p></body></html>"));
    // The footer names the board's own mail address.
    EXPECT_TRUE(Has(body, "<a href=mailto:board@example.com>board@example.com</a>"));
    EXPECT_FALSE(Has(body, "board@localhost"));
    EXPECT_TRUE(sink.Mails().empty());

    // Without referring page or subject the text ends at the colon; fields
    // in the query of a GET send nothing.
    const std::string bare = Form({{"FromName", "x"}, {"SendToEmail", "li@example.net"}}).body;
    EXPECT_TRUE(Has(bare, "有兴趣：</TEXTAREA>"));
    EXPECT_TRUE(Has(bare, "NAME=ForwardURL VALUE=\"\">"));
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(SendThreadTest, SendsFromTheBoardWithTheVisitorAsReplyToAndForwardsBack) {
    const site::DriverResponse page = Send();
    EXPECT_TRUE(Has(page.body, "<B>我们已经给 li@example.net 发送了电子邮件，您将在2秒内被自动转送到"
                               "你发送这个电子邮件的页面。</b>"))
        << page.body;
    EXPECT_TRUE(Has(page.body, "URL='/newsdetail.asp?id=3'"));
    EXPECT_FALSE(Has(page.body, "把本页发送给你的朋友"));  // the page head went
    EXPECT_TRUE(Has(page.body, "</center></body></html>"));

    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const auto& m = mails[0];
    EXPECT_EQ(m.mailFrom, "board@example.com");
    EXPECT_EQ(m.rcptTo, std::vector<std::string>{"li@example.net"});
    EXPECT_TRUE(Has(m.Header("From"), "?= <board@example.com>"));
    EXPECT_EQ(m.Header("Reply-To"), "<wang@example.org>");
    EXPECT_EQ(MailText(m), "<html><body>你看看&lt;b&gt;这个&lt;/b&gt;<br>第二行<br><br>"
                           "<a href=\"http://board.test/newsdetail.asp?id=3\">"
                           "http://board.test/newsdetail.asp?id=3</a></body></html>");
}

// The board links the recommended page itself, and only a page under its own
// address (the folder of BBURL), also when the visitor reached it by another
// name (the request's host): then the link is made on BBURL.
TEST_F(SendThreadTest, MailLinksOnlyAPageOfTheBoard) {
    driver.keepCookies = false;
    const struct {
        const char* boardUrl;
        const char* forwardUrl;
        const char* link;  // "" for none
    } cases[] = {
        {"http://board.test/", "HTTP://Board.Test/list.asp?id=2&a=\"x", "HTTP://Board.Test/list.asp?id=2&amp;a=&quot;x"},
        {"http://board.test", "http://board.test/newsdetail.asp?id=3", "http://board.test/newsdetail.asp?id=3"},
        {"http://board.test/bbs/default.asp", "http://board.test/bbs/newsdetail.asp?id=3",
         "http://board.test/bbs/newsdetail.asp?id=3"},
        {"http://board.test/bbs/default.asp", "http://board.test/other/x.asp", ""},
        {"http://board.test/", "http://board.test.evil.test/x", ""},
        {"http://board.test/", "javascript:alert(1)", ""},
        {"http://board.test/", "", ""},
        // No BBURL: the default, the server's own address.
        {"", "http://board.test/newsdetail.asp?id=3", "http://127.0.0.1:8080/newsdetail.asp?id=3"},
        {"http://127.0.0.1:8080/", "http://Board.Test/newsdetail.asp?id=3", "http://127.0.0.1:8080/newsdetail.asp?id=3"},
        {"http://bbs.example/forum/default.asp", "https://board.test/forum/newsdetail.asp?id=3",
         "http://bbs.example/forum/newsdetail.asp?id=3"},
        {"http://bbs.example/forum/", "http://board.test/other/newsdetail.asp?id=3", ""},
        {"http://bbs.example/", "http://board.test.evil.test/newsdetail.asp?id=3", ""},
    };
    int friends = 0;  // one mail to each friend an interval
    for (const auto& c : cases) {
        Set("BBURL", c.boardUrl);
        Send({{"ForwardURL", c.forwardUrl}, {"SendToEmail", "li" + std::to_string(++friends) + "@example.net"}});
        const auto mails = sink.Mails();
        ASSERT_FALSE(mails.empty()) << c.forwardUrl;
        const std::string text = MailText(mails.back());
        const std::string expected = *c.link ? std::string("第二行<br><br><a href=\"") + c.link + "\">" + c.link +
                                                   "</a></body></html>"
                                             : "第二行</body></html>";
        EXPECT_TRUE(text.ends_with(expected)) << c.boardUrl << " " << c.forwardUrl << "\n" << text;
    }
}

TEST_F(SendThreadTest, RefusalsSendNothing) {
    driver.keepCookies = false;  // a new session each time
    sink.Refuse("RCPT", "550 <b>No such user</b>");
    const struct {
        Fields changes;
        const char* message;
    } cases[] = {
        {{{"SendToName", ""}}, "请输入所有内容。按浏览器的后退按钮可进行修改！"},
        {{{"EmailMessage", ""}}, "请输入所有内容。按浏览器的后退按钮可进行修改！"},
        {{{"FromEmail", "someone"}}, "请输入合法电子邮件地址!"},
        {{{"SendToEmail", "li@example.net, other@example.com"}}, "请输入合法电子邮件地址!"},
        {{{"FromName", "x\r\nBcc: victim@example.com"}}, "回车或换行符"},
        {{{"EmailSubject", "hi\nBcc: victim@example.com"}}, "回车或换行符"},
        {{}, "邮件服务器拒绝了这封邮件：550 &lt;b&gt;No such user&lt;/b&gt;"},
    };
    int friends = 0;  // a mail to each friend an interval, also one refused late
    for (const auto& c : cases) {
        Fields changes{{"SendToEmail", "li" + std::to_string(++friends) + "@example.net"}};
        changes.insert(changes.end(), c.changes.begin(), c.changes.end());
        const std::string body = Send(changes).body;
        EXPECT_TRUE(Has(body, c.message)) << c.message << "\n" << body;
        EXPECT_FALSE(Has(body, "发送了电子邮件"));
    }
    EXPECT_TRUE(sink.Mails().empty());
}

// With every send taken, the page answers at once and spends no repeat slot.
TEST_F(SendThreadTest, BusyMailServerIsToldAtOnce) {
    {
        const AllMailSendsTaken busy;
        const std::string refused = Send({}, "10.8.2.1").body;
        EXPECT_TRUE(Has(refused, "邮件服务器正忙，邮件没有发送，请稍后再试！")) << refused;
    }
    EXPECT_TRUE(sink.Mails().empty());
    EXPECT_TRUE(Has(Send({}, "10.8.2.1").body, "我们已经给 li@example.net 发送了电子邮件"));
}

TEST_F(SendThreadTest, OneMailPerIntervalFromASessionAndToAFriendAndAFewFromAClient) {
    ASSERT_TRUE(Has(Send().body, "发送了电子邮件"));
    const std::string again = Send({{"SendToEmail", "other@example.net"}}).body;
    EXPECT_TRUE(Has(again, "论坛开启了重复递交检查功能，如果你在 60 秒内发送第二封邮件被视为重复提交")) << again;

    driver.keepCookies = false;  // a new session each time
    const struct {
        const char* to;
        const char* from;
        bool sent;
    } cases[] = {
        {"LI@example.net ", "10.8.0.9", false},  // the same friend from anywhere
        {"a@example.net", "2001:db8:8:1::1", true},
        {"b@example.net", "2001:db8:8:1::2", true},
        {"c@example.net", "2001:db8:8:1:1::3", true},
        {"d@example.net", "2001:db8:8:1::4", true},
        {"e@example.net", "2001:db8:8:1::5", true},
        {"f@example.net", "2001:db8:8:1::6", false},  // five from that /64 already
        {"f@example.net", "2001:db8:8:2::6", true},
        {"g@example.net", "10.8.0.1", true},
        {"h@example.net", "10.8.0.1", true},
        {"i@example.net", "::ffff:10.8.0.1", true},
        {"j@example.net", "10.8.0.1", true},
        {"k@example.net", "10.8.0.1", true},
        {"l@example.net", "::ffff:10.8.0.1", false},
    };
    std::size_t sent = 1;
    for (const auto& c : cases) {
        const std::string body = Send({{"SendToEmail", c.to}}, c.from).body;
        EXPECT_EQ(Has(body, "发送了电子邮件"), c.sent) << c.to << " from " << c.from << "\n" << body;
        if (!c.sent) {
            EXPECT_TRUE(Has(body, "秒内发送第二封邮件被视为重复提交")) << c.to << " from " << c.from;
        }
        sent += c.sent;
    }
    EXPECT_EQ(sink.Mails().size(), sent);
}

TEST_F(SendThreadTest, TheMailPagesSendABoundedNumberOfMailsAMinute) {
    FixedClock clock(platform::MakeDateTime(2024, 5, 1, 12, 0, 0));
    Set("SubmitInterval", 120);
    driver.keepCookies = false;
    for (std::size_t i = 0; i < board::kMailsPerMinute; ++i) {
        const std::string n = std::to_string(i);
        ASSERT_TRUE(Has(Send({{"SendToEmail", "f" + n + "@example.net"}}, "10.8.1." + n).body, "发送了电子邮件"));
    }
    driver.keepCookies = true;
    driver.jar.clear();
    const std::string busy = Send({{"SendToEmail", "late@example.net"}}, "10.8.2.1").body;
    EXPECT_TRUE(Has(busy, "邮件服务器正忙，邮件没有发送，请稍后再试！")) << busy;
    EXPECT_EQ(sink.Mails().size(), board::kMailsPerMinute);
    // The refused mail counted for no one: the same session, address and
    // friend, once the minute is past.
    clock.Advance(61);
    EXPECT_TRUE(Has(Send({{"SendToEmail", "late@example.net"}}, "10.8.2.1").body, "发送了电子邮件"));
}

TEST_F(SendThreadTest, BlankFieldsCountAsFilledAndForeignForwardGoesHome) {
    const std::string body = Send({{"SendToName", " "}, {"ForwardURL", "http://evil.test/x"}}).body;
    EXPECT_TRUE(Has(body, "URL='default.asp'")) << body;
    EXPECT_EQ(sink.Mails().size(), 1u);
}

}  // namespace
