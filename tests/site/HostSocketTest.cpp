// The board host through a real socket, as a browser reaches it.
#include <gtest/gtest.h>
#include <httplib.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/SmtpSink.h"
#include "site/HttpServer.h"
#include "site/RawClient.h"
#include "site/TestPages.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using namespace site_test;  // the raw client

std::string RawGet(int port, const std::string& target, const std::string& cookie = "",
                   const char* from = "127.0.0.1") {
    std::string request = "GET " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n";
    if (!cookie.empty()) request += "Cookie: " + cookie + "\r\n";
    return RawExchange(port, request + "\r\n", from);
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

// hold.asp's gate, closed for a test and opened again at its end, however
// it ends.
struct ClosedGate {
    ClosedGate() { gate.open = false; }
    ~ClosedGate() { gate.Open(); }
    site_test::Gate& gate = site_test::HoldGate();
};

// The host under hostile clients, with limits small enough to reach.
class HostLimitsTest : public ::testing::Test {
protected:
    void Start(const site::RequestLimits& limits, std::size_t loops = 2, std::string_view trustedProxy = "") {
        site::HostOptions options;
        options.limits = limits;
        std::string bad;
        options.trustedProxies = *site::TrustedProxies::FromSetting(trustedProxy, bad);
        host = std::make_unique<site::BoardHost>(options);
        site_test::RegisterTestPages(host->router());
        server = std::make_unique<site::HttpServer>(*host, loops);
        server->logRequests = false;
        ASSERT_TRUE(server->Bind("127.0.0.1", 0));
        running = std::thread([this] { server->Run(); });
        while (!server->IsRunning()) std::this_thread::yield();
    }
    void TearDown() override {
        for (const int fd : clients) close(fd);
        if (server) server->Stop();
        if (running.joinable()) running.join();
    }
    int Client(const char* from = "127.0.0.1") {
        const int fd = Connect(server->Port(), from);
        if (fd >= 0) clients.push_back(fd);
        return fd;
    }
    bool Answered(const char* from = "127.0.0.1") {
        return RawGet(server->Port(), "/echo.asp?name=x", "", from).rfind("HTTP/1.1 200", 0) == 0;
    }

    std::unique_ptr<site::BoardHost> host;
    std::unique_ptr<site::HttpServer> server;
    std::thread running;
    std::vector<int> clients;
};

// Stalled heads and bodies hold no thread: with two socket loops, seventy of
// each leave the board answering everyone else at once.
TEST_F(HostLimitsTest, StalledClientsDoNotStopTheBoard) {
    site::RequestLimits limits;
    limits.headTime = limits.bodyTime = 60s;
    limits.connectionsPerAddress = 1000;
    Start(limits);
    for (int i = 0; i < 70; ++i) {
        Send(Client("127.0.0.2"), "GET /echo.asp HTTP/1.1\r\nHost: localhost\r\n");
        Send(Client("127.0.0.2"), "POST /echo.asp HTTP/1.1\r\nHost: localhost\r\nContent-Length: 100\r\n"
                                  "Content-Type: application/x-www-form-urlencoded\r\n\r\nname=");
    }
    const auto start = Clock::now();
    EXPECT_TRUE(Answered());
    EXPECT_LT(Clock::now() - start, 2s);
}

// Pages that wait (for a stalled mail relay, a long write) hold only their
// own threads: with two socket loops, twenty waiting pages leave the board
// answering everyone else, and each waiting page is answered in the end.
TEST_F(HostLimitsTest, WaitingPagesDoNotStopTheBoard) {
    constexpr int kHeld = 20;
    site::RequestLimits limits;
    limits.connectionsPerAddress = 100;
    Start(limits);
    const ClosedGate closed;
    site_test::Gate& gate = closed.gate;

    std::vector<int> held;
    for (int i = 0; i < kHeld; ++i) {
        held.push_back(Client("127.0.0.2"));
        Send(held.back(), "GET /hold.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
    }
    {
        std::unique_lock lock(gate.mutex);
        ASSERT_TRUE(gate.changed.wait_for(lock, 30s, [&] { return gate.waiting == kHeld; }))
            << gate.waiting << " pages run at once";
    }
    EXPECT_TRUE(Answered());
    gate.Open();
    for (const int fd : held) EXPECT_EQ(ReadFor(fd, 10s).bytes.rfind("HTTP/1.1 200", 0), 0u);
}

// A page that waits for a stalled mail relay: other visitors are answered
// meanwhile, and the page shows the mail's result once the relay goes on.
TEST_F(HostLimitsTest, AStalledMailRelayHoldsUpOnlyItsPage) {
    Start(site::RequestLimits{});
    testing_smtp::SmtpSink relay;
    relay.StallAt("DATA");
    host->application().Set("SmtpServer", relay.Address());
    const int mailing = Client("127.0.0.2");
    Send(mailing, "GET /mail.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
    ASSERT_TRUE(relay.WaitUntilStalled());
    EXPECT_TRUE(Answered());
    relay.Resume();
    const std::string mailed = ReadFor(mailing, 10s).bytes;
    EXPECT_EQ(mailed.rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_NE(mailed.find("sent"), std::string::npos) << mailed;
    EXPECT_EQ(relay.Mails().size(), 1u);
}

// A client that keeps sending a little is cut off when its head or body
// has taken longer than allowed in all, not only between two reads.
TEST_F(HostLimitsTest, HeadAndBodyHaveTotalDeadlines) {
    site::RequestLimits limits;
    limits.headTime = limits.bodyTime = 1s;
    Start(limits);
    struct Case {
        const char* what;
        std::string start, trickle;
    } cases[] = {
        {"head", "GET /echo.asp HTTP/1.1\r\n", "X-Slow: 1\r\n"},
        {"body", "POST /echo.asp HTTP/1.1\r\nContent-Length: 100000\r\n\r\n", "name=x&"},
    };
    for (const Case& c : cases) {
        const int fd = Client();
        Send(fd, c.start);
        const auto start = Clock::now();
        Received got;
        while (!got.closed && Clock::now() - start < 6s) {
            Send(fd, c.trickle);
            got = ReadFor(fd, 200ms);
        }
        EXPECT_TRUE(got.closed) << c.what;
        EXPECT_LT(Clock::now() - start, 3s) << c.what;
    }
}

TEST_F(HostLimitsTest, IdleKeepAliveConnectionIsClosedSoon) {
    site::RequestLimits limits;
    limits.keepAliveIdle = 1s;
    Start(limits);
    const int fd = Client();
    Send(fd, "GET /echo.asp HTTP/1.1\r\nHost: localhost\r\n\r\n");
    const Received got = ReadFor(fd, 3s);
    EXPECT_EQ(got.bytes.rfind("HTTP/1.1 200", 0), 0u) << got.bytes;
    EXPECT_TRUE(got.closed);
}

TEST_F(HostLimitsTest, ConnectionsPerAddressAreCapped) {
    site::RequestLimits limits;
    limits.connectionsPerAddress = 4;
    Start(limits);
    for (int i = 0; i < 4; ++i) Client("127.0.0.3");
    EXPECT_TRUE(ReadFor(Client("127.0.0.3"), 2s).closed);  // the fifth is turned away
    EXPECT_TRUE(Answered("127.0.0.4"));
    close(clients.front());
    clients.erase(clients.begin());
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(Answered("127.0.0.3"));  // a place freed is taken again
}

// Behind a trusted proxy every client comes from the proxy's address: the
// cap counts each client's requests instead of the proxy's connections, so
// one client beyond it is refused and the others go on.
TEST_F(HostLimitsTest, BehindATrustedProxyTheCapCountsEachClient) {
    site::RequestLimits limits;
    limits.connectionsPerAddress = 4;
    Start(limits, 2, "127.0.0.1");
    const ClosedGate closed;
    site_test::Gate& gate = closed.gate;
    const auto request = [](const char* page, const char* client) {
        return std::string("GET /") + page + " HTTP/1.1\r\nHost: localhost\r\nX-Forwarded-For: " + client +
               "\r\nConnection: close\r\n\r\n";
    };

    std::vector<int> held;
    for (int i = 0; i < 4; ++i) {
        held.push_back(Client());
        Send(held.back(), request("hold.asp", "203.0.113.5"));
    }
    ASSERT_TRUE(gate.WaitUntilWaiting(4, 30s));
    for (int i = 0; i < 4; ++i) Client();  // the proxy's idle connections beyond the cap
    EXPECT_EQ(RawExchange(server->Port(), request("echo.asp", "203.0.113.5")).rfind("HTTP/1.1 429", 0), 0u);
    EXPECT_EQ(RawExchange(server->Port(), request("echo.asp", "203.0.113.6")).rfind("HTTP/1.1 200", 0), 0u);
    gate.Open();
    for (const int fd : held) EXPECT_EQ(ReadFor(fd, 10s).bytes.rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_EQ(RawExchange(server->Port(), request("echo.asp", "203.0.113.5")).rfind("HTTP/1.1 200", 0), 0u);
}

// The refusal comes before the server waits for a body it will not take.
TEST_F(HostLimitsTest, OversizedRequestIsRefusedAtOnce) {
    site::RequestLimits limits;
    limits.headBytes = 2000;
    limits.bodyBytes = 1000;
    Start(limits);
    struct Case {
        const char* what;
        std::string request;
        const char* status;
    } cases[] = {
        {"head", "GET /echo.asp HTTP/1.1\r\nX-Big: " + std::string(3000, 'h') + "\r\n\r\n", "HTTP/1.1 431"},
        {"announced body", "POST /echo.asp HTTP/1.1\r\nContent-Length: 1000000\r\n\r\n", "HTTP/1.1 413"},
        {"chunked body", "POST /echo.asp HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n7d0\r\n" + std::string(2000, 'b'),
         "HTTP/1.1 413"},
        {"garbage", "\x01\x02 nonsense\r\n\r\n", "HTTP/1.1 400"},
    };
    for (const Case& c : cases) {
        const int fd = Client();
        Send(fd, c.request);
        const Received got = ReadFor(fd, 2s);
        EXPECT_EQ(got.bytes.rfind(c.status, 0), 0u) << c.what << ": " << got.bytes.substr(0, 80);
        EXPECT_TRUE(got.closed) << c.what;
    }
}

// The bodies held at once are bounded in all, each counted at the length it
// announces (a chunked one at its page's limit): beyond the total a new body
// is refused at once, and its room comes back when its client goes.
TEST_F(HostLimitsTest, BodiesInFlightAreBoundedInAll) {
    site::RequestLimits limits;
    limits.bodyBytes = 6000;
    limits.bodyBytesInFlight = 10000;
    Start(limits);
    const auto post = [](std::size_t length) {
        return "POST /echo.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\nContent-Length: " +
               std::to_string(length) + "\r\n\r\n" + std::string(length, 'b');
    };
    const int stalled = Client("127.0.0.5");
    Send(stalled, "POST /echo.asp HTTP/1.1\r\nHost: localhost\r\nContent-Length: 6000\r\n\r\nname=x");
    ASSERT_TRUE(ReadFor(stalled, 200ms).bytes.empty());
    struct Case {
        const char* what;
        std::string request;
        const char* status;
    } cases[] = {
        {"a body past the total", post(6000), "HTTP/1.1 503"},
        {"a chunked body, at its page's limit", "POST /echo.asp HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nname=", "HTTP/1.1 503"},
        {"a body within the total", post(4000), "HTTP/1.1 200"},
        {"no body", "GET /echo.asp HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n", "HTTP/1.1 200"},
    };
    for (const Case& c : cases) {
        const std::string got = RawExchange(server->Port(), c.request, "127.0.0.6");
        EXPECT_EQ(got.rfind(c.status, 0), 0u) << c.what << ": " << got.substr(0, 80);
    }
    close(stalled);
    std::erase(clients, stalled);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(RawExchange(server->Port(), post(6000), "127.0.0.6").rfind("HTTP/1.1 200", 0), 0u);
}

}  // namespace
