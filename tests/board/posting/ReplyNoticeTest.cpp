// The notice mail to a topic's author when someone replies.
#include "PostingBoard.h"
#include "platform/MailQueue.h"

namespace {

using browse_test::Has;

class ReplyNoticeTest : public PostingTest {};

TEST_F(ReplyNoticeTest, MailsTheAuthorWhoAskedWithTheSubjectAsText) {
    const long long topic = Topic("灌水", "ann", true);
    const site::DriverResponse page = Post(With(ReplyForm(topic), "TopicSubject", "<b>回</b>复"));
    EXPECT_TRUE(Has(page.body, "谢谢您回复话题"));
    platform::WaitForQueuedMail();
    const auto mails = sink.Mails();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].rcptTo, std::vector<std::string>{"ann@example.com"});
    EXPECT_EQ(mails[0].mailFrom, "board@example.com");
    EXPECT_EQ(MailText(mails[0]),
              "<html><body>ann,joe回复了您在清风论坛中发表的主题:&lt;b&gt;回&lt;/b&gt;复，请到以下地址查看详细情况"
              "<a href=http://board.test/>清风论坛</a><br>谢谢!</body></html>");
}

TEST_F(ReplyNoticeTest, NoMailWhenNotAskedForOrToOneself) {
    const struct {
        std::string name;
        std::string author;
        bool notify;
    } cases[] = {
        {"topic did not ask", "ann", false},
        {"one's own topic", "joe", true},
        {"one's own topic, name in another letter case", "JOE", true},
        {"author no longer a member", "gone", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Has(Post(ReplyForm(Topic("灌水", c.author, c.notify))).body, "谢谢您回复话题"));
    }
    platform::WaitForQueuedMail();
    EXPECT_TRUE(sink.Mails().empty());
}

TEST_F(ReplyNoticeTest, AFailingRelayLosesTheNoticeNotTheReply) {
    Set("SmtpServer", testing_smtp::SmtpSink::DeadAddress());
    const long long topic = Topic("灌水", "ann", true);
    EXPECT_TRUE(Has(Post(ReplyForm(topic)).body, "谢谢您回复话题"));
    EXPECT_EQ(PostCount(), 2);
    platform::WaitForQueuedMail();
    EXPECT_TRUE(sink.Mails().empty());
}

// The notice goes out after the answer: a relay that stalls holds up the
// notice alone, which it gets once it goes on.
TEST_F(ReplyNoticeTest, AStalledRelayHoldsTheNoticeNotTheThanks) {
    sink.StallAt("DATA");
    const long long topic = Topic("灌水", "ann", true);
    EXPECT_TRUE(Has(Post(ReplyForm(topic)).body, "谢谢您回复话题"));
    EXPECT_EQ(PostCount(), 2);
    sink.Resume();
    platform::WaitForQueuedMail();
    ASSERT_EQ(sink.Mails().size(), 1u);
    EXPECT_EQ(sink.Mails()[0].rcptTo, std::vector<std::string>{"ann@example.com"});
}

}  // namespace
