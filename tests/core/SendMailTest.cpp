#include <gtest/gtest.h>

#include "core/Module1.h"
#include "core/ScopedSettings.h"
#include "platform/Charset.h"
#include "platform/MailMime.h"
#include "platform/SmtpSink.h"

namespace {

using platform::Variant;
using testing_smtp::SmtpSink;

std::string Word(const std::string& utf8) {
    return "=?gb2312?B?" + platform::mime::Base64(platform::Utf8ToGbk(utf8)) + "?=";
}

class SendMailTest : public ::testing::Test {
protected:
    SendMailTest() { settings_->SmtpServer = sink_.Address(); }

    platform::MailResult Send(const std::string& body) {
        return core::SendMail(Variant("清风论坛"), Variant("board@example.com"), Variant("李四"),
                              Variant("li@example.com"), Variant("你的密码"), Variant(body));
    }

    SmtpSink sink_;
    testing_support::ScopedSettings settings_;
};

TEST_F(SendMailTest, SendsOneHtmlMailInGb2312ThroughTheConfiguredRelay) {
    const platform::MailResult result = Send("密码：abc<br><a href=http://example.com/>论坛</a>");
    ASSERT_TRUE(result.sent) << result.failure;
    EXPECT_EQ(result.failure, "");

    const auto mails = sink_.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const auto& m = mails[0];
    EXPECT_EQ(m.mailFrom, "board@example.com");
    EXPECT_EQ(m.rcptTo, std::vector<std::string>{"li@example.com"});
    EXPECT_EQ(m.Header("Content-Type"), "text/html; charset=gb2312");
    EXPECT_EQ(m.Header("Subject"), Word("你的密码"));
    EXPECT_EQ(m.Header("From"), Word("清风论坛") + " <board@example.com>");
    EXPECT_EQ(m.Header("To"), Word("李四") + " <li@example.com>");
    EXPECT_EQ(m.Header("Reply-To"), "");
    EXPECT_EQ(testing_smtp::DecodeBase64(m.RawBody()),
              platform::Utf8ToGbk("<html><body>密码：abc<br><a href=http://example.com/>论坛"
                                  "</a></body></html>"));
}

TEST_F(SendMailTest, EmptyBodyStillSendsTheWrapper) {
    ASSERT_TRUE(Send("").sent);
    EXPECT_EQ(testing_smtp::DecodeBase64(sink_.Mails().at(0).RawBody()),
              "<html><body></body></html>");
}

TEST_F(SendMailTest, ReplyToGoesIntoTheHeaders) {
    ASSERT_TRUE(core::SendMail(Variant("Wang"), Variant("board@example.com"), Variant(""),
                               Variant("li@example.com"), Variant("hi"), Variant("x"), "wang@example.org")
                    .sent);
    EXPECT_EQ(sink_.Mails().at(0).Header("Reply-To"), "<wang@example.org>");
}

TEST_F(SendMailTest, RefusedOrUnreachableRelayGivesTheReason) {
    sink_.Refuse("RCPT", "550 5.1.1 No such user here");
    const platform::MailResult refused = Send("x");
    EXPECT_FALSE(refused.sent);
    EXPECT_NE(refused.failure.find("550 5.1.1 No such user here"), std::string::npos) << refused.failure;

    settings_->SmtpServer = SmtpSink::DeadAddress();
    const platform::MailResult unreachable = Send("x");
    EXPECT_FALSE(unreachable.sent);
    EXPECT_NE(unreachable.failure.find("无法连接邮件服务器"), std::string::npos) << unreachable.failure;
    EXPECT_TRUE(sink_.Mails().empty());
}

}  // namespace
