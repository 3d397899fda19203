// The board host through a real socket, as a browser reaches it.
#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "platform/Charset.h"
#include "platform/Convert.h"
#include "site/HttpServer.h"
#include "site/TestPages.h"

namespace {

// One request over a plain socket, as a browser sends it, without a client
// library between: returns the raw response.
std::string RawExchange(int port, const std::string& request) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return {};
    }
    (void)!write(fd, request.data(), request.size());
    std::string response;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) response.append(buffer, n);
    close(fd);
    return response;
}

std::string RawGet(int port, const std::string& target, const std::string& cookie = "") {
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n";
    if (!cookie.empty()) request += "Cookie: " + cookie + "\r\n";
    return RawExchange(port, request + "\r\n");
}

// The name=value part of the response's Set-Cookie line, as a browser keeps it.
std::string SetCookiePair(const std::string& response) {
    const std::size_t at = response.find("Set-Cookie: ");
    if (at == std::string::npos) return {};
    const std::size_t start = at + 12;
    return response.substr(start, response.find_first_of(";\r", start) - start);
}

class HostSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        site_test::RegisterTestPages(host.router());
        server.logRequests = false;
        ASSERT_TRUE(server.Bind("127.0.0.1", 0));
        running = std::thread([this] { server.Run(); });
        while (!server.IsRunning()) std::this_thread::yield();
    }
    void TearDown() override {
        server.Stop();
        running.join();
    }
    httplib::Client Client() {
        httplib::Client client("127.0.0.1", server.Port());
        client.set_url_encode(false);
        return client;
    }
    static std::string Text(const httplib::Result& result) { return platform::GbkToUtf8(result->body); }

    site::BoardHost host;
    site::HttpServer server{host, 40};
    std::thread running;
};

// "中文" in GBK is D6 D0 CE C4; "&#35821;" is how a browser sends a character
// that GBK lacks, and stays as that text.
TEST_F(HostSocketTest, ChineseQueryAndFormComeBackIntact) {
    auto client = Client();
    const auto result = client.Post("/echo.asp?name=%D6%D0%CE%C4%26%2335821%3B&blank=", {},
                                    "name=%CE%C4+x&multi=1&multi=%D6%D0&blank=",
                                    "application/x-www-form-urlencoded");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=gb2312");
    const std::string body = Text(result);
    for (const char* expected : {"q.name=中文&#35821;|", "f.name=文 x|", "any.name=中文&#35821;|",
                                 // absent and empty differ; a repeated field is joined
                                 "q.blank=|", "f.blank=|", "q.multi=<empty>|", "f.multi=1, 中|"})
        EXPECT_NE(body.find(expected), std::string::npos) << expected << " in " << body;
}

TEST_F(HostSocketTest, CookieSetAfterWriteReadsBackExactly) {
    // "中 a;b%41+=&#35821;" sent in the query, GBK percent-encoded.
    const std::string set = RawGet(server.Port(), "/late.asp?value=%D6%D0+a%3Bb%2541%2B%3D%26%2335821%3B");
    ASSERT_NE(set.find("before the cookie"), std::string::npos) << set;
    const std::string pair = SetCookiePair(set);
    ASSERT_EQ(pair.rfind("Late=", 0), 0u) << set;
    EXPECT_EQ(pair.find_first_of(" ;,\x80"), std::string::npos) << pair;  // a plain token

    const std::string echoed = platform::GbkToUtf8(RawGet(server.Port(), "/echo.asp", pair));
    EXPECT_NE(echoed.find("c.late=中 a;b%41+=&#35821;|"), std::string::npos) << echoed;
}

TEST_F(HostSocketTest, ClearDropsTheBodyButKeepsTheCookie) {
    auto client = Client();
    const auto cleared = client.Get("/clear.asp");
    ASSERT_TRUE(cleared);
    EXPECT_EQ(Text(cleared), "after clear");
    EXPECT_EQ(cleared->get_header_value("Set-Cookie"), "Kept=yes; HttpOnly; SameSite=Lax");
}

TEST_F(HostSocketTest, SessionValueSurvivesOnlyWithTheSessionCookie) {
    auto client = Client();
    const auto first = client.Get("/session.asp");
    ASSERT_TRUE(first);
    EXPECT_EQ(Text(first), "1");
    const std::string setCookie = first->get_header_value("Set-Cookie");
    ASSERT_EQ(setCookie.rfind(std::string(site::kSessionCookie) + "=", 0), 0u) << setCookie;
    EXPECT_NE(setCookie.find("HttpOnly"), std::string::npos);
    EXPECT_NE(setCookie.find("SameSite=Lax"), std::string::npos);
    const std::string sessionCookie = setCookie.substr(0, setCookie.find(';'));

    const auto second = client.Get("/session.asp", {{"Cookie", sessionCookie}});
    ASSERT_TRUE(second);
    EXPECT_EQ(Text(second), "2");
    EXPECT_FALSE(second->has_header("Set-Cookie"));  // known session: no new id

    const auto stranger = client.Get("/session.asp");
    ASSERT_TRUE(stranger);
    EXPECT_EQ(Text(stranger), "1");
}

TEST_F(HostSocketTest, PageNamesIgnoreCaseAndUnknownPagesAre404) {
    auto client = Client();
    for (const char* path : {"/ECHO.ASP", "/Echo.asp", "/Admin/Increment.ASP"}) {
        const auto result = client.Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, 200) << path;
    }
    for (const char* path : {"/nothing.asp", "/increment.asp", "/admin/echo.asp"}) {
        const auto result = client.Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, 404) << path;
    }
}

TEST_F(HostSocketTest, PageErrorGives500AndTheServerGoesOn) {
    auto client = Client();
    const auto failed = client.Get("/fail.asp");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 500);
    EXPECT_EQ(Text(failed).find("half a page"), std::string::npos);

    const auto next = client.Get("/echo.asp?name=x");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->status, 200);
}

TEST_F(HostSocketTest, LockLeftByAFailedPageIsReleased) {
    auto client = Client();
    const auto failed = client.Get("/lockfail.asp");
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 500);
    // Another thread must get the lock; a leaked lock would block it.
    auto other = std::async(std::launch::async, [this] {
        host.application().Lock();
        host.application().UnLock();
    });
    ASSERT_EQ(other.wait_for(std::chrono::seconds(30)), std::future_status::ready);
}

TEST_F(HostSocketTest, IncrementsUnderLockFromManyThreadsAreNotLost) {
    constexpr int kThreads = 32, kRequests = 1000;
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            auto client = Client();
            client.set_keep_alive(true);
            for (int i = 0; i < kRequests; ++i) {
                const auto result = client.Get("/admin/increment.asp");
                if (!result || result->status != 200) ++failures;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(platform::CLng(host.application().Get("COUNTER")), kThreads * kRequests);
}

}  // namespace
