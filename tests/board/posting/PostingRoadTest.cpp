// Posts seen at once by the reading pages, and counters that agree with the
// rows when many members post at the same time.
#include <thread>

#include "PostingBoard.h"
#include "board/search/SearchIndexQueue.h"

namespace {

using browse_test::Count;
using browse_test::Has;

class PostingRoadTest : public PostingTest {
protected:
    long long Value(const std::string& sql, const platform::SqlParams& params = {}) {
        platform::Recordset rs;
        rs.Open(sql, db.con, params);
        return static_cast<long long>(platform::CDbl(rs.Fields(0)));
    }
};

TEST_F(PostingRoadTest, TopicAndReplyShowAtOnceEverywhere) {
    Post(With(TopicForm(), "TopicSubject", "今天的[b]新闻[/b]"));
    const long long topic = Value("select max(postid) from post");
    const site::DriverResponse reply = Post(With(With(ReplyForm(topic), "UserName", "ann"), "Message", "[i]好[/i] :)"));
    EXPECT_TRUE(Has(reply.body, "谢谢您回复话题"));

    const std::string list = Get("list.asp", {{"GroupName", "灌水"}}).body;
    EXPECT_TRUE(Has(list, "今天的[b]新闻[/b]")) << list;
    const std::string thread = Get("newsdetail.asp", {{"id", std::to_string(topic)}}).body;
    EXPECT_TRUE(Has(thread, "正文<B>粗</B>"));
    EXPECT_TRUE(Has(thread, "<I>好</I>"));
    EXPECT_TRUE(Has(Get("active.asp").body, "今天的[b]新闻[/b]"));
    EXPECT_TRUE(Has(Get("top.asp").body, "joe"));

    EXPECT_EQ(Value("select replycount from post where postid = ?", {topic}), 1);
    EXPECT_EQ(Value("select topiccount + replycount * 100 from forum where forumname = '灌水'"), 101);
    EXPECT_EQ(Value("select count(*) from post where postid = ? and lastreplyusername = 'ann'", {topic}), 1);
    EXPECT_EQ(Value("select postcount from register where username = 'joe'"), 1);
}

// A topic and a reply sent with a NUL and other control characters: they
// are stored without them (tab and line breaks stay), found by the search,
// and the search index agrees with the posts after they are indexed.
TEST_F(PostingRoadTest, ControlCharactersNeverReachTheStoredTextsNorTheIndex) {
    using namespace std::string_literals;
    Post(With(With(TopicForm(), "TopicSubject", "备份\0计划\x01"s), "Message", "第一行\r\n\t第二\0行\x7F tapes\x1B"s));
    const long long topic = Value("select max(postid) from post");
    Post(With(ReplyForm(topic), "Message", "\0回复\0里的备份"s));
    EXPECT_EQ(Value("select count(*) from post where subject = '备份计划' and message = "
                    "'第一行' || char(13, 10, 9) || '第二行 tapes'"),
              1);
    EXPECT_EQ(Value("select count(*) from post where message = '回复里的备份'"), 1);

    const std::string found = driver.Post("search.asp", {{"action", "simplesearch"}, {"SearchTerms", "备份\0"s},
                                                         {"ForumChoice", "灌水\0"s}, {"SearchIn", "ALL"},
                                                         {"SearchDate", "ALL"}}).body;
    EXPECT_EQ(Count(found, "<A href=newsdetail.asp?id=" + std::to_string(topic) + ">"), 2) << found;
    board::IndexQueuedPosts(db.con);
    EXPECT_NO_THROW(db.con.Execute("insert into post_words (post_words, rank) values ('integrity-check', 1)"));
}

// Many writers at once, each a browser of its own: every post is stored
// (a writer that finds the database busy waits) and the counters match a
// recount.
TEST_F(PostingRoadTest, ConcurrentWritersLoseNothing) {
    const long long topic = Topic("灌水");
    constexpr int kWriters = 8, kPostsEach = 6;
    Set("SubmitInterval", -1);
    std::vector<std::thread> writers;
    std::atomic<int> thanked{0};
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            site::RequestDriver browser{host};
            const std::string name = w % 2 ? "joe" : "ann";
            for (int i = 0; i < kPostsEach; ++i) {
                site::DriverRequest request;
                request.method = "POST";
                request.page = "posting.asp";
                request.form = i % 2 ? With(ReplyForm(topic), "UserName", name) : With(TopicForm(), "UserName", name);
                if (Has(browser.Run(request).body, "谢谢您")) ++thanked;
            }
        });
    }
    for (auto& t : writers) t.join();
    EXPECT_EQ(thanked, kWriters * kPostsEach);
    EXPECT_EQ(PostCount(), 1 + kWriters * kPostsEach);
    EXPECT_EQ(Value("select replycount from post where postid = ?", {topic}), kWriters * kPostsEach / 2);
    EXPECT_EQ(Value("select count(*) from forum where forumname = '灌水' and topiccount = "
                    "(select count(*) from post where parentid is null) and replycount = "
                    "(select count(*) from post where parentid is not null)"),
              1);
    EXPECT_EQ(Value("select count(*) from register where postcount <> "
                    "(select count(*) from post where post.username = register.username)"),
              0);
}

}  // namespace
