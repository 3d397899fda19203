// Favourites: adding a topic (login form, checks, duplicates, private
// forums) and the member's list with its deletions and pages.
#include <vector>

#include "MembersTest.h"

namespace {

using browse_test::Count;
using browse_test::DaysAgo;
using browse_test::Has;
using site::Fields;

class FavouritesTest : public MembersTest {
protected:
    void SetUp() override {
        AddMember("bob", "bpw");
        AddMember("carol", "cpw");
        AddForum("Open", "综合", 1);
        AddForum("Secret", "综合", 2, "private");
        topic_ = AddTopic("Open", "carol", "<b>subject</b>", DaysAgo(2));
        AddReply(topic_, "Open", "bob", DaysAgo(1));
        reply_ = db.con.LastIdentity();
        secret_ = AddTopic("Secret", "carol", "hidden", DaysAgo(2));
    }

    site::DriverResponse Add(const std::string& id, const std::string& password = "bpw") {
        return Post("favor.asp", {{"id", id}, {"UserName", " bob "}, {"Password", password}});
    }

    std::vector<long long> Kept(const std::string& member) {
        std::vector<long long> ids;
        platform::Recordset rs;
        rs.Open("select postid from favor where username=? order by postid", db.con, {member});
        for (; !rs.Eof(); rs.MoveNext()) ids.push_back(static_cast<long long>(rs.Fields(0).toDouble()));
        return ids;
    }

    // A session id the driver sends from now on; a login must not keep it.
    std::string PlantSession() {
        const auto planted = host.sessions().Begin("");
        planted->Set("x", 1);
        host.sessions().End(planted);
        driver.jar[site::kSessionCookie] = planted->SessionID();
        return planted->SessionID();
    }

    long long topic_ = 0, reply_ = 0, secret_ = 0;
};

TEST_F(FavouritesTest, LoginFormCarriesTheTopicAndTheRememberedLogin) {
    const std::string body = Get("favor.asp", {{"id", std::to_string(topic_)}, {"GroupName", "<Open>"},
                                               {"Subject", "a\"<b>"}},
                                 {{"UserName", "bo\"b"}, {"Password", "bpw"}})
                                 .body;
    EXPECT_TRUE(Has(body, "<title>收藏主题 [a&quot;&lt;b&gt;] - 清风论坛</title>"));
    EXPECT_TRUE(Has(body, "<input type=hidden name=id  value=" + std::to_string(topic_) + ">"));
    EXPECT_TRUE(Has(body, "name=UserName size=25 class=smallInput value=\"bo&quot;b\""));
    EXPECT_TRUE(Has(body, "value=\"bpw\""));
    EXPECT_TRUE(Kept("bob").empty());
    for (const char* id : {"abc", "-3", "99999999999"})
        EXPECT_TRUE(Has(Get("favor.asp", {{"id", id}}).body, "参数错误！")) << id;
    EXPECT_TRUE(Has(Get("favor.asp").body, "<input type=hidden name=id  value=0>"));
}

TEST_F(FavouritesTest, AddsATopicOnceAndRefusesWhatIsNoTopic) {
    const std::string id = std::to_string(topic_);
    const std::string before = PlantSession();
    const std::string added = Add(id).body;
    EXPECT_NE(driver.jar.at(site::kSessionCookie), before) << "a login starts a new session id";
    EXPECT_TRUE(Has(added, "bob，该主题已被收藏！")) << added;
    EXPECT_TRUE(Has(added, "newsdetail.asp?id=" + id));
    EXPECT_EQ(Kept("bob"), std::vector<long long>{topic_});
    EXPECT_TRUE(Has(Add(id).body, "收藏主题失败，通常情况是该主题已经被收藏！"));
    EXPECT_EQ(Kept("bob").size(), 1u);

    struct Case {
        std::string id, password;
        const char* message;
    };
    const Case cases[] = {
        {"0", "bpw", "参数错误！"},
        {"-1", "bpw", "参数错误！"},
        {"abc", "bpw", "参数错误！"},
        {"", "bpw", "参数错误！"},
        {std::to_string(reply_), "bpw", "参数错误！"},
        {"99999", "bpw", "参数错误！"},
        {id, "wrong", "对不起，您不是我们的注册用户，请注册后再使用该功能！"},
        {id, "", "对不起，您不是我们的注册用户，请注册后再使用该功能！"},
    };
    site::RequestDriver fresh(host);
    for (const Case& c : cases) {
        const std::string body =
            fresh.Post("favor.asp", {{"id", c.id}, {"UserName", "carol"}, {"Password", c.password}}).body;
        EXPECT_TRUE(Has(body, c.message)) << c.id << " " << c.password << body;
    }
    EXPECT_TRUE(Kept("carol").empty());
}

TEST_F(FavouritesTest, PrivateForumTopicNeedsItsAdmission) {
    const std::string body = Add(std::to_string(secret_)).body;
    EXPECT_TRUE(Has(body, "idcheck")) << body;
    EXPECT_TRUE(Kept("bob").empty());
}

// The link may be a picture in a post: for a logged-in member it asks, naming
// the topic the id names (not the link's own subject), and only the posted
// answer keeps it.
TEST_F(FavouritesTest, LoggedInSessionIsAskedAndOnlyTheAnswerKeeps) {
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    const std::string id = std::to_string(topic_);
    const std::string asked = Get("favor.asp", {{"id", id}, {"Subject", "假题目"}}).body;
    EXPECT_TRUE(Has(asked, "<title>收藏主题 [&lt;b&gt;subject&lt;/b&gt;] - 清风论坛</title>")) << asked;
    EXPECT_TRUE(Has(asked, "要把主题 [&lt;b&gt;subject&lt;/b&gt;] 加入您的收藏吗？"));
    EXPECT_TRUE(Has(asked, "<form action=favor.asp method=post><input type=hidden name=id value=\"" + id + "\">"));
    EXPECT_TRUE(Has(asked, "<input type=submit name=Submit value=\"收藏\" class=buttonface></p></form></center>"));
    EXPECT_FALSE(Has(asked, "假题目"));
    EXPECT_EQ(asked.substr(asked.size() - 14), "</body></html>");
    EXPECT_TRUE(Kept("bob").empty());

    EXPECT_TRUE(Has(Get("favor.asp", {{"id", std::to_string(reply_)}}).body, "参数错误！"));
    EXPECT_TRUE(Has(Get("favor.asp", {{"id", std::to_string(secret_)}}).body, "idcheck"));
    EXPECT_TRUE(Kept("bob").empty());

    EXPECT_TRUE(Has(Post("favor.asp", {{"id", id}}).body, "bob，该主题已被收藏！"));
    EXPECT_EQ(Kept("bob"), std::vector<long long>{topic_});
}

TEST_F(FavouritesTest, ListNeedsAMemberAndShowsTheirTopics) {
    EXPECT_TRUE(Has(Get("showfavor.asp").body, "<input type=hidden name=action value=chkUser>"));
    EXPECT_TRUE(Has(Post("showfavor.asp", {{"action", "chkUser"}, {"UserName", "bob"}, {"Password", "x"}}).body,
                    "对不起，你不是我们论坛的注册用户，请注册后再使用该功能！"));
    const std::string before = PlantSession();
    EXPECT_TRUE(Has(Post("showfavor.asp", {{"action", "chkUser"}, {"UserName", "bob"}, {"Password", "bpw"}}).body,
                    "没有发现收藏！"));
    EXPECT_NE(driver.jar.at(site::kSessionCookie), before) << "a login starts a new session id";
    Add(std::to_string(topic_));
    const std::string body = Get("showfavor.asp").body;
    EXPECT_TRUE(Has(body, "<title>我的收藏 - 清风论坛</title>"));
    EXPECT_TRUE(Has(body, "<a href=newsdetail.asp?id=" + std::to_string(topic_) + ">&lt;b&gt;subject&lt;/b&gt;</a>"));
    EXPECT_TRUE(Has(body, "<input type=checkbox name=Delete value=" + std::to_string(topic_) + ">"));
}

TEST_F(FavouritesTest, DeletesOnlyTheMembersOwnCheckedRows) {
    std::vector<long long> topics;
    for (int i = 0; i < 3; ++i) topics.push_back(AddTopic("Open", "carol", "t" + std::to_string(i), DaysAgo(1)));
    for (long long t : topics) {
        db.con.Execute("insert into favor (username, postid) values ('bob', ?)", {t});
        db.con.Execute("insert into favor (username, postid) values ('carol', ?)", {t});
    }
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    Post("showfavor.asp", {{"action", "deletefavor"},
                           {"delete", std::to_string(topics[0])},
                           {"delete", std::to_string(topics[2]) + " or 1=1"},
                           {"delete", "x"},
                           {"Delete", std::to_string(topics[1])}});
    EXPECT_EQ(Kept("bob"), std::vector<long long>{topics[2]});
    EXPECT_EQ(Kept("carol"), topics);
}

TEST_F(FavouritesTest, ListPagesStayInRange) {
    Set("PageSize", 2);
    for (int i = 0; i < 5; ++i) {
        const long long t = AddTopic("Open", "carol", "t" + std::to_string(i), DaysAgo(1));
        db.con.Execute("insert into favor (username, postid, favordate) values ('bob', ?, ?)", {t, DaysAgo(5 - i)});
    }
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    struct Case {
        const char* page;
        const char* first;
    };
    const Case cases[] = {{"0", ">t4<"}, {"2", ">t2<"}, {"3", ">t0<"}, {"9", ">t0<"}, {"40000", ">t0<"}};
    for (const Case& c : cases) {
        const std::string body = Get("showfavor.asp", {{"page", c.page}}).body;
        EXPECT_TRUE(Has(body, c.first)) << c.page;
        EXPECT_FALSE(Has(body, "错误号")) << c.page;
    }
    EXPECT_EQ(Count(Get("showfavor.asp").body, "name=Delete"), 2u);
}

}  // namespace
