#include "platform/MailComponent.h"

#include <gtest/gtest.h>

#include <regex>

#include "platform/Charset.h"
#include "platform/MailMime.h"
#include "platform/SmtpSink.h"

namespace {

using platform::MailComponent;
using testing_smtp::DecodeBase64;
using testing_smtp::SmtpSink;

// The text of a header made of encoded words, back in UTF-8.
std::string DecodeWords(const std::string& value) {
    static const std::regex word(R"(=\?([^?]+)\?B\?([^?]*)\?=)");
    std::string bytes;
    for (std::sregex_iterator it(value.begin(), value.end(), word), end; it != end; ++it)
        bytes += DecodeBase64((*it)[2]);
    return platform::GbkToUtf8(bytes);
}

void FillBoardMail(MailComponent& mail, const std::string& server) {
    mail.MailServer(server);
    mail.MailFromName("清风论坛");
    mail.MailFromAddress("board@example.com");
    mail.AddRecipient("张三", "zhang@example.com");
    mail.MailContentType("text/html");
    mail.MailCharset("gb2312");
    mail.MailSubject("一个帖子");
    mail.MailBody("<html><body>你好，世界</body></html>");
}

TEST(MailComponent, SendsGbkMimeMailToTheRelay) {
    SmtpSink sink;
    MailComponent mail;
    FillBoardMail(mail, sink.Address());
    mail.AddRecipient("Li \"Junior\"", " li@example.com");
    mail.AddBlindRecipient("论坛注册用户", "hidden@example.com");
    mail.MailReplyTo("visitor@example.org");
    const platform::MailResult result = mail.SendNow();
    ASSERT_TRUE(result.sent) << result.failure;

    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const auto& m = mails[0];
    EXPECT_EQ(m.mailFrom, "board@example.com");
    EXPECT_EQ(m.rcptTo, (std::vector<std::string>{"zhang@example.com", "li@example.com",
                                                  "hidden@example.com"}));
    EXPECT_EQ(DecodeWords(m.Header("Subject")), "一个帖子");
    EXPECT_NE(m.Header("Subject").find("=?gb2312?B?"), std::string::npos);
    EXPECT_EQ(DecodeWords(m.Header("From")), "清风论坛");
    EXPECT_NE(m.Header("From").find("<board@example.com>"), std::string::npos);
    EXPECT_NE(m.Header("To").find("<zhang@example.com>"), std::string::npos);
    EXPECT_NE(m.Header("To").find("\"Li \\\"Junior\\\"\" <li@example.com>"), std::string::npos);
    EXPECT_EQ(m.Header("Reply-To"), "<visitor@example.org>");
    EXPECT_EQ(m.Header("Content-Type"), "text/html; charset=gb2312");
    EXPECT_EQ(m.Header("MIME-Version"), "1.0");
    EXPECT_TRUE(std::regex_match(
        m.Header("Date"),
        std::regex(R"([A-Z][a-z]{2}, \d\d [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d [+-]\d{4})")));
    EXPECT_TRUE(std::regex_match(m.Header("Message-ID"), std::regex(R"(<[^@ ]+@example\.com>)")));
    EXPECT_EQ(DecodeBase64(m.RawBody()), platform::Utf8ToGbk("<html><body>你好，世界</body></html>"));
    // The blind recipient is in the envelope only.
    EXPECT_EQ(m.Head().find("hidden"), std::string::npos);
    EXPECT_EQ(m.Head().find("论坛注册用户"), std::string::npos);
}

TEST(MailComponent, OnlyBlindRecipientsLeaveTheToHeaderUndisclosed) {
    SmtpSink sink;
    MailComponent mail;
    mail.MailServer(sink.Address());
    mail.MailFromAddress("board@example.com");
    mail.MailCharset("gb2312");
    mail.AddBlindRecipient("a", "a@example.com");
    mail.AddBlindRecipient("b", "b@example.com");
    const platform::MailResult result = mail.SendNow();
    ASSERT_TRUE(result.sent) << result.failure;
    const auto m = sink.Mails().at(0);
    EXPECT_EQ(m.rcptTo.size(), 2u);
    EXPECT_EQ(m.Header("To"), "undisclosed-recipients:;");
    EXPECT_EQ(m.Head().find("a@example.com"), std::string::npos);
}

TEST(MailComponent, RecipientTheRelayRefusesDoesNotStopTheOthers) {
    SmtpSink sink;
    sink.RefuseRecipient("gone@example.com", "550 5.1.1 No such user");
    MailComponent mail;
    mail.MailServer(sink.Address());
    mail.MailFromAddress("board@example.com");
    for (const char* address : {"a@example.com", "gone@example.com", "b@example.com"})
        mail.AddBlindRecipient("", address);
    const platform::MailResult result = mail.SendNow();
    ASSERT_TRUE(result.sent) << result.failure;
    EXPECT_EQ(sink.Mails().at(0).rcptTo, (std::vector<std::string>{"a@example.com", "b@example.com"}));
}

TEST(MailComponent, RelayRefusalsGiveFalseWithTheRelaysReply) {
    struct Case {
        const char* command;
        const char* reply;
    };
    for (const Case c : {Case{"MAIL", "550 5.7.1 Sender rejected"},
                         Case{"RCPT", "550 5.1.1 No such user"},
                         Case{"RCPT", "451 4.3.0 Try again later"},
                         Case{"DATA", "554 5.5.1 No valid recipients"},
                         Case{".", "552 5.3.4 Message too big"}}) {
        SCOPED_TRACE(c.command);
        SmtpSink sink;
        sink.Refuse(c.command, c.reply);
        MailComponent mail;
        FillBoardMail(mail, sink.Address());
        const platform::MailResult mailResult = mail.SendNow();
        EXPECT_FALSE(mailResult.sent);
        EXPECT_NE(mailResult.failure.find(c.reply), std::string::npos) << mailResult.failure;
        EXPECT_TRUE(sink.Mails().empty());
    }
}

TEST(MailComponent, RelayThatIsDownGivesFalse) {
    MailComponent mail;
    FillBoardMail(mail, SmtpSink::DeadAddress());
    const platform::MailResult mailResult = mail.SendNow();
    EXPECT_FALSE(mailResult.sent);
    EXPECT_NE(mailResult.failure.find("无法连接邮件服务器"), std::string::npos) << mailResult.failure;
}

// A relay that greets and then says nothing more was reached: it did not
// answer in time.
TEST(MailComponent, RelayThatFallsSilentDidNotAnswer) {
    SmtpSink sink;
    sink.StallAt("MAIL");
    MailComponent mail;
    FillBoardMail(mail, sink.Address());
    mail.MailDeadline(1);
    const platform::MailResult mailResult = mail.SendNow();
    EXPECT_FALSE(mailResult.sent);
    EXPECT_NE(mailResult.failure.find("邮件服务器 " + sink.Address() + " 没有应答"), std::string::npos)
        << mailResult.failure;
    EXPECT_EQ(mailResult.failure.find("无法连接"), std::string::npos);
}

TEST(MailComponent, LineBreakInAnyHeaderValueRefusesTheMail) {
    using Setter = void (*)(MailComponent&);
    const Setter cases[] = {
        [](MailComponent& m) { m.MailSubject("hi\r\nBcc: victim@example.net"); },
        [](MailComponent& m) { m.MailFromName("x\nBcc: victim@example.net"); },
        [](MailComponent& m) { m.MailFromAddress("board@example.com\r\nBcc: v@example.net"); },
        [](MailComponent& m) { m.MailReplyTo("a@example.org\rX: y"); },
        [](MailComponent& m) { m.AddRecipient("n\r\nBcc: v@example.net", "ok@example.com"); },
        [](MailComponent& m) { m.AddRecipient("n", "ok@example.com\r\nRCPT TO:<v@example.net>"); },
        [](MailComponent& m) { m.AddBlindRecipient("n", "ok@example.com\n"); },
    };
    SmtpSink sink;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        MailComponent mail;
        FillBoardMail(mail, sink.Address());
        cases[i](mail);
        const platform::MailResult mailResult = mail.SendNow();
        EXPECT_FALSE(mailResult.sent);
        EXPECT_NE(mailResult.failure.find("换行符"), std::string::npos) << mailResult.failure;
    }
    EXPECT_TRUE(sink.Mails().empty());
}

TEST(MailComponent, RefusesWithoutUsableRecipientOrRelay) {
    SmtpSink sink;
    MailComponent noRecipient;
    noRecipient.MailServer(sink.Address());
    noRecipient.MailFromAddress("board@example.com");
    EXPECT_FALSE(noRecipient.AddRecipient("x", "not-an-address"));
    EXPECT_FALSE(noRecipient.AddRecipient("", "a b@example.com"));
    EXPECT_FALSE(noRecipient.AddBlindRecipient("", ""));
    const platform::MailResult noRecipientResult = noRecipient.SendNow();
    EXPECT_FALSE(noRecipientResult.sent);
    EXPECT_NE(noRecipientResult.failure.find("没有收件人"), std::string::npos) << noRecipientResult.failure;

    MailComponent noServer;
    FillBoardMail(noServer, "");
    const platform::MailResult noServerResult = noServer.SendNow();
    EXPECT_FALSE(noServerResult.sent);
    EXPECT_NE(noServerResult.failure.find("邮件服务器"), std::string::npos) << noServerResult.failure;

    MailComponent badSender;
    FillBoardMail(badSender, sink.Address());
    badSender.MailFromAddress("nobody");
    const platform::MailResult badSenderResult = badSender.SendNow();
    EXPECT_FALSE(badSenderResult.sent);
    EXPECT_NE(badSenderResult.failure.find("发信人"), std::string::npos) << badSenderResult.failure;
    EXPECT_TRUE(sink.Mails().empty());
}

TEST(MailMime, LongHeaderTextSplitsIntoWholeCharacterWords) {
    std::string subject;
    for (int i = 0; i < 40; ++i) subject += "汉字a";
    const std::string encoded = platform::mime::EncodeHeaderText(subject, "gb2312");
    std::size_t words = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = encoded.find("\r\n ", start);
        const std::string word = encoded.substr(start, end - start);
        EXPECT_LE(word.size(), 75u);
        // Each word holds whole characters: it decodes on its own.
        EXPECT_EQ(DecodeWords(word).find("\xEF\xBF\xBD"), std::string::npos);
        ++words;
        if (end == std::string::npos) break;
        start = end + 3;
    }
    EXPECT_GT(words, 1u);
    EXPECT_EQ(DecodeWords(encoded), subject);
    EXPECT_EQ(platform::mime::EncodeHeaderText("Plain subject", "gb2312"), "Plain subject");
}

}  // namespace
