// Requests a page of another site makes the visitor's browser send: what
// would change something is refused with 403 and changes nothing; reading
// stays open, and requests without the browser's site headers (old
// browsers, scripts) and the board's own forms keep working.
#include <gtest/gtest.h>

#include "board/browse/BrowseBoard.h"
#include "platform/Recordset.h"
#include "platform/Request.h"
#include "platform/Router.h"
#include "site/CrossSite.h"
#include "site/TrustedProxy.h"

namespace {

using browse_test::Has;
using site::Fields;

platform::Request RequestWith(Fields headers) {
    platform::RawRequest raw;
    raw.headers = std::move(headers);
    return platform::Request(std::move(raw));
}

// The board's address when the site names none: where the server listens.
constexpr const char* kListening = "http://127.0.0.1:8080/";

TEST(FromAnotherSite, ReadsTheBrowsersHeaders) {
    const struct {
        Fields headers;
        bool foreign;
        const char* board = kListening;  // the BBURL setting
        bool viaTrustedProxy = false;
    } cases[] = {
        {{}, false},
        {{{"Host", "board.test"}}, false},
        {{{"Sec-Fetch-Site", "same-origin"}}, false},
        {{{"Sec-Fetch-Site", "none"}}, false},
        {{{"Sec-Fetch-Site", "cross-site"}}, true},
        {{{"Sec-Fetch-Site", "Cross-Site"}}, true},
        {{{"Sec-Fetch-Site", "same-site"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://board.test"}}, false},
        {{{"Host", "Board.Test:80"}, {"Origin", "http://board.test"}}, false},
        {{{"Host", "board.test:8080"}, {"Origin", "http://board.test:8080"}}, false},
        {{{"Host", "board.test:8080"}, {"Origin", "http://board.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://evil.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://board.test.evil.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "null"}}, true},
        {{{"Origin", "http://board.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://board.test"}, {"Sec-Fetch-Site", "cross-site"}}, true},
        // This server speaks plain http: an https page of the same name is
        // another site, unless the board's address says it is the board.
        {{{"Host", "board.test"}, {"Origin", "https://board.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "https://board.test:443"}}, false, "https://board.test/"},
        // Behind a proxy that passes nothing of the browser's address:
        // the board's address names it, scheme, host and port.
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "https://bbs.example.org"}}, false, "https://bbs.example.org/"},
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "https://BBS.example.org:443"}}, false, "https://bbs.example.org/bbs/"},
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "http://bbs.example.org"}}, true, "https://bbs.example.org/"},
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "https://bbs.example.org"}}, true, "http://bbs.example.org/"},
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "https://bbs.example.org"}}, true, "https://bbs.example.org:8443/"},
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "https://bbs.example.org:8443"}}, false, "https://bbs.example.org:8443/"},
        {{{"Host", "127.0.0.1:8080"}, {"Origin", "https://evil.test"}}, true, "https://bbs.example.org/"},
        // X-Forwarded-Host, believed from a trusted proxy only, with the
        // scheme of the board's address.
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "board.test"}, {"Origin", "http://board.test"}}, true},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "board.test"}, {"Origin", "http://board.test"}},
         false, kListening, true},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "alias.test"}, {"Origin", "https://alias.test"}},
         false, "https://board.test/", true},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "alias.test"}, {"Origin", "http://alias.test"}},
         true, "https://board.test/", true},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "board.test"}, {"Origin", "http://evil.test"}},
         true, kListening, true},
        // A list names first the address the browser used, as the proxy
        // nearest to it passed it on; the later entries are proxies' own.
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", " board.test , 10.0.0.2:8080"}, {"Origin", "http://board.test"}},
         false, kListening, true},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "board.test, 10.0.0.2:8080"}, {"Origin", "http://10.0.0.2:8080"}},
         true, kListening, true},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "evil.test, board.test"}, {"Origin", "http://board.test"}},
         true, kListening, true},
    };
    for (const auto& c : cases) {
        std::string shown = std::string(c.board) + (c.viaTrustedProxy ? " via proxy; " : "; ");
        for (const auto& [name, value] : c.headers) shown += name + ": " + value + "; ";
        SCOPED_TRACE(shown);
        EXPECT_EQ(site::FromAnotherSite(RequestWith(c.headers), c.board, c.viaTrustedProxy), c.foreign);
    }
}

// Which requests the rule guards: every one but a GET or HEAD, and the GETs
// of the links registered as changing something, a whole page's whatever
// action they carry.
TEST(FromAnotherSite, GuardsTheChangingLinksWhateverActionTheyCarry) {
    platform::Router router;
    router.addChangingLink("favor.asp");
    router.addChangingLink("pm.asp", "addtoignorelist");
    const struct {
        const char* method;
        const char* page;
        const char* query;
        bool changes;
    } cases[] = {
        {"GET", "favor.asp", "id=1", true},
        {"GET", "favor.asp", "id=1&action=x", true},
        {"GET", "Favor.asp", "action=", true},
        {"HEAD", "favor.asp", "action=x", true},
        {"GET", "pm.asp", "action=AddToIgnoreList&Ignore=a", true},
        {"GET", "pm.asp", "action=inbox", false},
        {"GET", "pm.asp", "", false},
        {"GET", "newsdetail.asp", "action=x", false},
        {"POST", "newsdetail.asp", "", true},
    };
    for (const auto& c : cases) {
        platform::RawRequest raw;
        raw.method = c.method;
        raw.queryString = c.query;
        EXPECT_EQ(router.changes(c.page, platform::Request(std::move(raw))), c.changes)
            << c.method << " " << c.page << "?" << c.query;
    }
}

class CrossSiteTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    CrossSiteTest() {
        AddForum("Talk", "Cat", 1);
        AddMember("tester1", "pw1");
        AddMember("other", "pw2");
        topic = AddTopic("Talk", "other", "Kept", browse_test::DaysAgo(1));
    }

    site::DriverResponse Send(const std::string& method, const std::string& page, Fields fields, Fields headers) {
        site::DriverRequest request;
        request.method = method;
        request.page = page;
        (method == "GET" ? request.query : request.form) = std::move(fields);
        request.headers = std::move(headers);
        request.headers.emplace_back("Host", "board.test");
        return driver.Run(request);
    }
    long Count(const std::string& sql) {
        platform::Recordset rs;
        rs.Open("select count(*) from " + sql, db.con);
        return static_cast<long>(rs.Fields(0).toDouble());
    }

    long long topic = 0;
};

const Fields kCrossSite = {{"Sec-Fetch-Site", "cross-site"}};
const Fields kOtherOrigin = {{"Origin", "http://evil.test"}};

TEST_F(CrossSiteTest, LoginFromAnotherSiteIsRefused) {
    for (const Fields& headers : {kCrossSite, kOtherOrigin}) {
        driver.jar.clear();
        const site::DriverResponse r =
            Send("POST", "login.asp", {{"UserName", "tester1"}, {"Password", "pw1"}}, headers);
        EXPECT_EQ(r.status, 403);
        EXPECT_EQ(r.header("Set-Cookie"), "");
    }
    for (const Fields& headers : {Fields{}, Fields{{"Sec-Fetch-Site", "same-origin"}, {"Origin", "http://board.test"}}}) {
        driver.jar.clear();
        EXPECT_EQ(Send("POST", "login.asp", {{"UserName", "tester1"}, {"Password", "pw1"}}, headers).status, 302);
    }
}

// The two links that lead to a change only ask, from the board's own pages
// too (an [img] in a post is a same-site request); the posted answer acts,
// and only from the board's own page.
TEST_F(CrossSiteTest, TheFavouriteLinkAsksAndOnlyTheBoardsOwnAnswerKeeps) {
    Send("POST", "login.asp", {{"UserName", "tester1"}, {"Password", "pw1"}}, {});
    const Fields link = {{"id", std::to_string(topic)}};
    EXPECT_EQ(Send("GET", "favor.asp", link, kCrossSite).status, 403);
    // An action the page does not read leaves it the page it is.
    Send("GET", "favor.asp", {{"id", std::to_string(topic)}, {"action", "x"}}, kCrossSite);
    EXPECT_EQ(Count("favor"), 0);
    // A link from another site to a page that only reads is followed.
    EXPECT_EQ(Send("GET", "newsdetail.asp", link, kCrossSite).status, 200);
    for (const Fields& headers : {Fields{}, Fields{{"Sec-Fetch-Site", "same-origin"}}}) {
        const site::DriverResponse asked = Send("GET", "favor.asp", link, headers);
        EXPECT_EQ(asked.status, 200);
        EXPECT_TRUE(Has(asked.body, "<form action=favor.asp method=post><input type=hidden name=id value=\"" +
                                        std::to_string(topic) + "\">"))
            << asked.body;
        EXPECT_TRUE(Has(asked.body, "要把主题 [Kept] 加入您的收藏吗？"));
    }
    for (const Fields& headers : {kCrossSite, kOtherOrigin}) EXPECT_EQ(Send("POST", "favor.asp", link, headers).status, 403);
    EXPECT_EQ(Count("favor"), 0);
    EXPECT_TRUE(Has(Send("POST", "favor.asp", link, {{"Origin", "http://board.test"}}).body, "该主题已被收藏！"));
    EXPECT_EQ(Count("favor"), 1);
}

TEST_F(CrossSiteTest, TheIgnoreListLinkAsksAndOnlyTheBoardsOwnAnswerAdds) {
    Send("POST", "pm.asp", {{"userName", "tester1"}, {"Password", "pw1"}, {"QueryString", ""}}, {});
    const Fields link = {{"action", "Addtoignorelist"}, {"Ignore", "other"}};
    EXPECT_EQ(Send("GET", "pm.asp", link, kCrossSite).status, 403);
    EXPECT_EQ(Send("GET", "pm.asp", link, kOtherOrigin).status, 403);
    // Reading the inbox by a link from elsewhere still works.
    EXPECT_EQ(Send("GET", "pm.asp", {{"action", "inbox"}}, kCrossSite).status, 200);
    const site::DriverResponse asked = Send("GET", "pm.asp", link, {{"Sec-Fetch-Site", "same-origin"}});
    EXPECT_EQ(asked.status, 200);
    EXPECT_TRUE(Has(asked.body, "<form action=pm.asp method=post><input type=hidden name=action "
                                "value=\"addtoignorelist\"><input type=hidden name=ignore value=\"other\">"))
        << asked.body;
    EXPECT_TRUE(Has(asked.body, "要把 other 加入您的拒绝列表吗？"));
    for (const Fields& headers : {kCrossSite, kOtherOrigin}) EXPECT_EQ(Send("POST", "pm.asp", link, headers).status, 403);
    EXPECT_EQ(Count("ignorelist"), 0);
    EXPECT_TRUE(Has(Send("POST", "pm.asp", link, {{"Origin", "http://board.test"}}).body, "已经被增加到您的拒绝列表"));
    EXPECT_EQ(Count("ignorelist"), 1);
}

TEST_F(CrossSiteTest, EveryPostedFormFromAnotherSiteIsRefused) {
    Send("POST", "login.asp", {{"UserName", "tester1"}, {"Password", "pw1"}}, {});
    const Fields reply = {{"action", "postreply"}, {"Topic", std::to_string(topic)}, {"forum", "Talk"},
                          {"MsgIcon", "1"},        {"Message", "forged"}};
    for (const Fields& headers : {kCrossSite, kOtherOrigin}) {
        EXPECT_EQ(Send("POST", "posting.asp", reply, headers).status, 403);
        EXPECT_EQ(Send("POST", "subscibe.asp", {{"subscibe", "Talk"}, {"submit", "订阅"}}, headers).status, 403);
        EXPECT_EQ(Send("POST", "option.asp", {{"NameStorage", "no"}}, headers).status, 403);
    }
    EXPECT_EQ(Count("post"), 1);
    EXPECT_EQ(Count("subscibe"), 0);

    EXPECT_TRUE(Has(Send("POST", "posting.asp", reply, {{"Origin", "http://board.test"}}).body, "谢谢"));
    EXPECT_EQ(Count("post"), 2);
}

// A board behind a proxy that passes on only the client's address (a plain
// proxy_pass with X-Forwarded-For): its forms work from the board's public
// address, another site's are refused, and the pages see the client.
TEST_F(CrossSiteTest, BehindATrustedProxyThePublicAddressIsTheBoards) {
    site::HostOptions options;
    std::string bad;
    options.trustedProxies = *site::TrustedProxies::FromSetting("127.0.0.1", bad);
    site::BoardHost behindProxy(options);
    behindProxy.application().Set("BBURL", "https://bbs.example.org/");
    site::RequestDriver proxy(behindProxy);
    const auto post = [&](const std::string& page, Fields form, const std::string& origin) {
        site::DriverRequest request;
        request.method = "POST";
        request.page = page;
        request.form = std::move(form);
        request.headers = {{"Host", "127.0.0.1:8080"}, {"Origin", origin}, {"X-Forwarded-For", "203.0.113.5"}};
        return proxy.Run(request);
    };
    const Fields login = {{"UserName", "tester1"}, {"Password", "pw1"}};
    EXPECT_EQ(post("login.asp", login, "https://evil.test").status, 403);
    EXPECT_EQ(post("login.asp", login, "http://bbs.example.org").status, 403);
    EXPECT_EQ(post("login.asp", login, "https://bbs.example.org").status, 302);
    const Fields reply = {{"action", "postreply"}, {"Topic", std::to_string(topic)}, {"forum", "Talk"},
                          {"MsgIcon", "1"},        {"Message", "through the proxy"}};
    EXPECT_TRUE(Has(post("posting.asp", reply, "https://bbs.example.org").body, "谢谢"));
    EXPECT_EQ(Count("post where ip = '203.0.113.5'"), 1);
}

}  // namespace
