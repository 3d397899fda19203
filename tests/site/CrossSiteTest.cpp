// Requests a page of another site makes the visitor's browser send: what
// would change something is refused with 403 and changes nothing; reading
// stays open, and requests without the browser's site headers (old
// browsers, scripts) and the board's own forms keep working.
#include <gtest/gtest.h>

#include "board/browse/BrowseBoard.h"
#include "platform/Recordset.h"
#include "platform/Request.h"
#include "site/CrossSite.h"

namespace {

using browse_test::Has;
using site::Fields;

platform::Request RequestWith(Fields headers) {
    platform::RawRequest raw;
    raw.headers = std::move(headers);
    return platform::Request(std::move(raw));
}

TEST(FromAnotherSite, ReadsTheBrowsersHeaders) {
    const struct {
        Fields headers;
        bool foreign;
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
        {{{"Host", "board.test"}, {"Origin", "https://board.test:443"}}, false},
        {{{"Host", "board.test:8080"}, {"Origin", "http://board.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://evil.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://board.test.evil.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "null"}}, true},
        {{{"Origin", "http://board.test"}}, true},
        // Behind a proxy that passes the address the browser used.
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "board.test"}, {"Origin", "https://board.test"}}, false},
        {{{"Host", "127.0.0.1:8080"}, {"X-Forwarded-Host", "board.test"}, {"Origin", "https://evil.test"}}, true},
        {{{"Host", "board.test"}, {"Origin", "http://board.test"}, {"Sec-Fetch-Site", "cross-site"}}, true},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& [name, value] : c.headers) shown += name + ": " + value + "; ";
        SCOPED_TRACE(shown);
        EXPECT_EQ(site::FromAnotherSite(RequestWith(c.headers)), c.foreign);
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

}  // namespace
