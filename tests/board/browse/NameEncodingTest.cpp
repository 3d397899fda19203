// Names and titles are text: a forum, catalog, archive, announcement or
// member detail holding markup shows as written on every page that writes it.
#include <gtest/gtest.h>

#include <string>

#include "BrowseBoard.h"

namespace {

using browse_test::DaysAgo;
using browse_test::Has;

class NameEncodingTest : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    // Every name carries the tag <x>; descriptions and moderator lists,
    // which are HTML by design, carry none.
    NameEncodingTest() {
        auto& con = db.con;
        con.Execute("insert into forum (forumname, descript, catalog, forummaster) "
                    "values ('论坛<x>', 'about', '分类<x>', 'mod'), ('后来', 'about', '分类<x>', 'mod')");
        AddMember("作者<x>", "pw");
        topic = AddTopic("论坛<x>", "作者<x>", "主题<x>", DaysAgo(1));
        con.Execute("update register set nickname='昵称<x>', icon='pic\" onerror=\"x', "
                    "postcount=3, jf='9<x>'");
        con.Execute("insert into announce (subject, username, content, startdate, enddate) "
                    "values ('公告<x>', '作者<x>', 'text', ?, ?)",
                    {DaysAgo(1), DaysAgo(-1)});
        con.Execute("insert into announceto (id, forumname) values (1, '论坛<x>')");
        con.Execute("insert into archive (archivename) values ('档案<x>')");
        con.Execute("insert into archivelist (archiveid, postid, forumname, username, subject, message, posttime) "
                    "values (1, 99, '论坛<x>', '作者<x>', '旧<x>', 'x', ?)",
                    {DaysAgo(3)});
    }

    long long topic = 0;
};

TEST_F(NameEncodingTest, EveryPageWritesNamesAsText) {
    const std::string id = std::to_string(topic);
    const struct {
        const char* what;
        site::DriverResponse response;
    } pages[] = {
        {"home", Get("default.asp")},
        {"topic list", Get("list.asp", {{"GroupName", "论坛<x>"}})},
        {"thread", Get("newsdetail.asp", {{"id", id}})},
        {"no older topic: message with the jump box",
         Get("newsdetail.asp", {{"action", "findthread"}, {"forum", "论坛<x>"}, {"go", "older"}, {"id", id}})},
        {"announcements", Get("ubbmisc.asp", {{"action", "getannounce"}, {"forum", "论坛<x>"}})},
        {"hot topics", Get("hot.asp")},
        {"member ranking", Get("top.asp")},
        {"search form", Get("search.asp")},
        {"search results", driver.Post("search.asp", {{"SearchTerms", ""},
                                                      {"BooleanAND", "YES"},
                                                      {"ForumChoice", "ALL"},
                                                      {"SearchIn", "ALL"},
                                                      {"SearchDate", "ALL"},
                                                      {"SearchUser", ""},
                                                      {"ExactName", "no"},
                                                      {"action", "simplesearch"}})},
    };
    for (const auto& page : pages) {
        EXPECT_EQ(page.response.status, 200) << page.what;
        EXPECT_FALSE(Has(page.response.body, "<x>")) << page.what;
        EXPECT_TRUE(Has(page.response.body, "&lt;x&gt;")) << page.what;
    }
}

TEST_F(NameEncodingTest, ThreadQuotesThePicturePath) {
    const std::string body = Get("newsdetail.asp", {{"id", std::to_string(topic)}}).body;
    EXPECT_TRUE(Has(body, "<img src=\"pic&quot; onerror=&quot;x\" vspace=5><br><b>昵称&lt;x&gt;</b><br>"
                          "发贴：3<br>"))
        << body;
}

}  // namespace
