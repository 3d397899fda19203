// mail.asp: the mass mail as the relay receives it, the mailing-list file,
// the members who are left out, and the refusals.
#include <gtest/gtest.h>


#include "PanelBoard.h"
#include "platform/Charset.h"
#include "platform/SmtpSink.h"

namespace {

using admin_test::Has;

class MassMailTest : public ::testing::Test {
protected:
    MassMailTest() {
        platform::Application& app = board.host.application();
        app.Set("SmtpServer", sink.Address());
        app.Set("BBEMail", "board@example.com");
        app.Set("BBName", "清风论坛");
        app.Set("BBURL", "http://board.test/");
        // Only ann and gus can be mailed: bob declined, cid and dan have no
        // address, eve's and fay's are no addresses.
        Member("ann", 1, "ann@example.com");
        Member("bob", 0, "bob@example.com");
        Member("cid", 1, platform::Variant::null());
        Member("dan", 1, "");
        Member("eve", 1, "eve at example");
        Member("fay", 1, "fay@example.com\r\nBcc: all@example.com");
        Member("gus", 1, " gus@example.com ");
    }

    void Member(const std::string& name, int allow, const platform::Variant& email) {
        board.AddMember(name, "pw");
        board.db.con.Execute("update register set allowmassmail=?, email=? where username=?", {allow, email, name});
    }
    site::DriverResponse Send(site::Fields fields) { return board.AsBoss("mail.asp", std::move(fields)); }
    std::string ListFile() { return admin_test::FileContent(data.File("emaillist.asp")); }

    admin_test::PanelBoard board;
    testing_smtp::SmtpSink sink;
    admin_test::ScopedDataFolder data;
};

TEST_F(MassMailTest, OneMailWithEveryMemberAsBlindRecipient) {
    const auto page = Send({{"subject", "新闻"}, {"message", "<b>hello</b>"}});
    EXPECT_TRUE(Has(page.body, "<br><br><center><p><h3>邮件已经送出</h3></p></center>"
                               "<center><p>共 2 个地址，另有 2 个地址不合格，已跳过</p></center></body></html>"))
        << page.body;
    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const testing_smtp::SinkMail& mail = mails[0];
    EXPECT_EQ(mail.mailFrom, "board@example.com");
    EXPECT_EQ(mail.rcptTo, (std::vector<std::string>{"ann@example.com", "gus@example.com"}));
    EXPECT_EQ(mail.Header("To"), "undisclosed-recipients:;");
    EXPECT_FALSE(Has(mail.Head(), "ann@") || Has(mail.Head(), "gus@")) << mail.Head();
    EXPECT_EQ(mail.Header("Content-Type"), "text/html; charset=gb2312");
    EXPECT_EQ(platform::GbkToUtf8(testing_smtp::DecodeBase64(mail.RawBody())),
              "<html><body><b>hello</b><br><p>---------------------------------<br>"
              "欢迎访问<a href=http://board.test/>清风论坛</a><br>");
    EXPECT_FALSE(std::filesystem::exists(data.File("emaillist.asp")));
}

TEST_F(MassMailTest, MailingListFileInsteadOfTheMail) {
    struct Case {
        const char* delimit;
        const char* file;
    } cases[] = {
        {"comma", "ann@example.com,gus@example.com,\r\n"},
        {"line", "ann@example.com\r\ngus@example.com\r\n\r\n"},
        {"", "ann@example.com\r\ngus@example.com\r\n\r\n"},
    };
    for (const Case& c : cases) {
        const auto page = Send({{"createlist", "yes"}, {"delimit", c.delimit}, {"subject", "s"}, {"message", "m"}});
        EXPECT_TRUE(Has(page.body, "邮件列表文件已被保存到 " + data.File("emaillist.asp") + " 文件中")) << page.body;
        EXPECT_TRUE(Has(page.body, "共 2 个地址，另有 2 个地址不合格")) << page.body;
        EXPECT_EQ(ListFile(), c.file) << c.delimit;
    }
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(MassMailTest, NoRecipientIsReportedNotFailed) {
    board.db.con.Execute("update register set allowmassmail=0");
    const auto list = Send({{"createlist", "yes"}});
    EXPECT_TRUE(Has(list.body, "邮件列表文件已被保存到")) << list.body;
    EXPECT_TRUE(Has(list.body, "共 0 个地址</p>"));
    EXPECT_EQ(ListFile(), "");
    const auto mail = Send({{"subject", "s"}, {"message", "m"}});
    EXPECT_TRUE(Has(mail.body, "没有接收群发邮件的用户，邮件没有发送</h3></p></center><center><p>共 0 个地址"))
        << mail.body;
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(MassMailTest, FormRefusalsAndRelayFailure) {
    const auto form = board.PanelGet("mail.asp");
    EXPECT_TRUE(Has(form.body, "<FORM ACTION='mail.asp' METHOD='POST' NAME='THEFORM'>"));
    EXPECT_TRUE(Has(form.body, "NAME='UserName' SIZE=25 MAXLENGTH=25 value=\"\">"));
    board.Login();
    EXPECT_TRUE(Has(board.PanelGet("mail.asp").body, "NAME='UserName' SIZE=25 MAXLENGTH=25 value=\"boss\">"));

    const auto missing = Send({{"subject", "s"}, {"message", ""}});
    EXPECT_TRUE(Has(missing.body, "<h3>请输入主题和内容！</h3>")) << missing.body;
    const auto wrong = board.Post("mail.asp", {{"UserName", "boss"}, {"Password", "guess"}, {"subject", "s"},
                                               {"message", "m"}, {"createlist", "yes"}});
    EXPECT_TRUE(Has(wrong.body, "对不起，你没有权限执行该操作！"));
    EXPECT_FALSE(std::filesystem::exists(data.File("emaillist.asp")));
    EXPECT_TRUE(sink.Mails().empty());

    sink.Refuse("DATA", "554 5.7.1 <no> spam");
    const auto refused = Send({{"subject", "s"}, {"message", "m"}});
    EXPECT_TRUE(Has(refused.body, "邮件服务器拒绝了这封邮件：554 5.7.1 &lt;no&gt; spam")) << refused.body;
    EXPECT_FALSE(Has(refused.body, "邮件已经送出"));
}

}  // namespace
