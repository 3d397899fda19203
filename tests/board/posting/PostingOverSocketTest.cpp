// Posting through the server's socket from several loopback client
// addresses: the repeat limits count the address the connection came from.
#include <thread>

#include "PostingBoard.h"
#include "platform/Charset.h"
#include "site/HttpServer.h"
#include "site/RawClient.h"

namespace {

using browse_test::Has;

class PostingOverSocketTest : public PostingTest {
protected:
    PostingOverSocketTest() {
        server.logRequests = false;
        EXPECT_TRUE(server.Bind("127.0.0.1", 0));
        running = std::thread([this] { server.Run(); });
        while (!server.IsRunning()) std::this_thread::yield();
    }
    ~PostingOverSocketTest() override {
        server.Stop();
        running.join();
    }

    // A new topic by `member` from the client at `from`, in a session of its
    // own; the page as UTF-8.
    std::string PostFrom(const std::string& member, const char* from) {
        const std::string form = "action=posttopic&forum=" + platform::UrlEncode("灌水") +
                                 "&UserName=" + member + "&Password=pw&TopicSubject=hello&MsgIcon=1&Message=text";
        const std::string request = "POST /posting.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n"
                                    "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                                    std::to_string(form.size()) + "\r\n\r\n" + form;
        return platform::GbkToUtf8(site_test::RawExchange(server.Port(), request, from));
    }

    site::HttpServer server{host, 2};
    std::thread running;
};

TEST_F(PostingOverSocketTest, AMadeUpNameSpendsNoOnesTurnAndFiveMembersShareAnAddress) {
    Set("SubmitInterval", 60);
    AddMember("eve", "pw");
    AddMember("fay", "pw");
    const struct {
        const char* member;
        const char* from;
        const char* answer;
    } steps[] = {
        {"nobody", "127.0.0.2", "对不起，您不是本论坛的注册用户"},
        {"joe", "127.0.0.2", "谢谢您发表新主题"},
        {"ann", "127.0.0.2", "谢谢您发表新主题"},
        {"boss", "127.0.0.2", "谢谢您发表新主题"},
        {"mod", "127.0.0.2", "谢谢您发表新主题"},
        {"eve", "127.0.0.2", "谢谢您发表新主题"},
        {"fay", "127.0.0.2", "秒内递交第二个贴子被视为重复提交"},
        {"fay", "127.0.0.3", "谢谢您发表新主题"},
        {"joe", "127.0.0.4", "秒内递交第二个贴子被视为重复提交"},
    };
    for (const auto& s : steps) {
        const std::string page = PostFrom(s.member, s.from);
        EXPECT_TRUE(Has(page, s.answer)) << s.member << " from " << s.from << "\n" << page;
    }
    EXPECT_EQ(PostCount(), 6);
}

}  // namespace
