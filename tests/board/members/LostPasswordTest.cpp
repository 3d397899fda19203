// The lost password: the form, and the mail to the member who has the address.
#include "AllMailSendsTaken.h"
#include "MembersTest.h"

namespace {

using browse_test::Has;

const char* const kUnknown = "我们注册的用户中没有你列出的电子邮件地址。使用浏览器的后退按钮并再试一次。";

class LostPasswordTest : public MembersTest {
protected:
    site::DriverResponse Ask(const std::string& address, const std::string& from = "") {
        return Post("ubbmisc.asp", {{"action", "lostpw"}, {"sendto", address}}, from);
    }
};

TEST_F(LostPasswordTest, FormAsksForTheAddress) {
    const std::string body = Get("ubbmisc.asp", {{"action", "lostpw"}, {"sendto", "x@example.com"}}).body;
    EXPECT_TRUE(Has(body, "<title>通过提供电子邮件获得密码</title>")) << body;
    EXPECT_TRUE(Has(body, "<FORM ACTION=ubbmisc.asp METHOD=POST><p><br><b>你的电子邮件地址：</b><br>"
                          "<INPUT TYPE=TEXT NAME=sendto SIZE=35 MAXLENGTH=90><P><input type=Hidden name=action "
                          "value=lostpw>"));
    EXPECT_TRUE(Has(body, "感谢每一位参与讨论的朋友</font></p></body></html>"));
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(LostPasswordTest, MailsTheFirstMemberWithTheAddressAtTheStoredAddress) {
    AddMemberWithMail("carol", "c<pw>", "Shared@Example.com");
    AddMemberWithMail("dave", "dpw", "shared@example.com");
    for (const char* address : {"", "nobody@example.com"}) {
        EXPECT_TRUE(Has(Ask(address).body, kUnknown)) << address;
    }
    EXPECT_TRUE(sink.Mails().empty());

    const site::DriverResponse page = Ask("SHARED@example.COM");
    EXPECT_TRUE(Has(page.body, "<B>你在此公告牌中的用户名和密码刚发送给你！")) << page.body;
    EXPECT_TRUE(Has(page.body, "<meta http-equiv=Refresh content=\"2; URL=default.asp\">"));
    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{"Shared@Example.com"});
    const std::string text = MailText(mails[0]);
    EXPECT_TRUE(Has(text, "这里是你要求的在清风论坛中的注册信息。<br>\r\n你的用户名：carol<br>你的密码：c&lt;pw&gt;"
                          "<br>这个公告牌系统的位置在<a href=http://board.test/>http://board.test/</a><br>谢谢你！"))
        << text;

    sink.Refuse("RCPT", "550 5.1.1 No such mailbox");
    Set("SubmitInterval", -1);  // a second mail to the address at once
    const std::string failed = Ask("shared@example.com").body;
    EXPECT_TRUE(Has(failed, "发送邮件错误：")) << failed;
    EXPECT_TRUE(Has(failed, "No such mailbox"));
}

TEST_F(LostPasswordTest, OneMailPerIntervalToEachMailboxFromAnyClientAddress) {
    AddMemberWithMail("carol", "cpw", "carol@example.com");
    AddMemberWithMail("dave", "dpw", "dave@example.com");
    ASSERT_TRUE(Has(Ask("carol@example.com", "10.7.2.1").body, "刚发送给你"));
    driver.jar.clear();  // a new session
    const std::string body = Ask("CAROL@example.com", "10.7.2.2").body;
    EXPECT_TRUE(Has(body, "论坛开启了重复递交检查功能，如果你在 60 秒内发送第二封邮件被视为重复提交")) << body;
    EXPECT_EQ(sink.Mails().size(), 1u);
    driver.jar.clear();
    EXPECT_TRUE(Has(Ask("dave@example.com", "10.7.2.1").body, "刚发送给你"));  // a member beside carol
    EXPECT_EQ(sink.Mails().size(), 2u);
}

// With every send taken, the page answers at once and spends no repeat slot.
TEST_F(LostPasswordTest, BusyMailServerIsToldAtOnce) {
    AddMemberWithMail("carol", "cpw", "carol@example.com");
    {
        const AllMailSendsTaken busy;
        const std::string refused = Ask("carol@example.com", "10.7.4.1").body;
        EXPECT_TRUE(Has(refused, "邮件服务器正忙，邮件没有发送，请稍后再试！")) << refused;
    }
    EXPECT_TRUE(sink.Mails().empty());
    EXPECT_TRUE(Has(Ask("carol@example.com", "10.7.4.1").body, "刚发送给你"));
}

}  // namespace
