// The hot, most-replied and newest topic lists on a small board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BrowseBoard.h"

namespace {

class TopicRankings : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    TopicRankings() {
        db.con.Execute("insert into forum (forumname, [restrict]) "
                       "values ('Public', ''), ('Open', null), ('Secret', 'private'), ('Vault', 'PRIVATE')");
    }

    // A topic with its counters set after the triggers have had their say.
    long long AddTopic(const std::string& forum, const std::string& subject, int hits, int replies,
                       const std::string& lastReply, const platform::Variant& message = "text") {
        db.con.Execute("insert into post (forumname, username, subject, message, posttime) "
                       "values (?, 'ann', ?, ?, '2024-01-01 08:00:00')",
                       {forum, subject, message});
        const long long id = db.con.LastIdentity();
        db.con.Execute("update post set hits=?, replycount=?, lastreplyposttime=? where postid=?",
                       {hits, replies, lastReply, id});
        return id;
    }

    // The subjects of the listed topics, in page order.
    static std::vector<std::string> Subjects(const std::string& body) {
        std::vector<std::string> subjects;
        const std::string mark = "] - 主题：";
        for (std::size_t at = body.find(mark); at != std::string::npos; at = body.find(mark, at + 1)) {
            const std::size_t start = at + mark.size();
            subjects.push_back(body.substr(start, body.find("</b>", start) - start));
        }
        return subjects;
    }
};

TEST_F(TopicRankings, EachPageOrdersPublicTopicsByItsMeasure) {
    const long long a = AddTopic("Public", "A", 5, 1, "2024-01-03 00:00:00");
    AddTopic("Open", "B", 9, 3, "2024-01-01 00:00:00");
    AddTopic("Public", "C", 1, 7, "2024-01-05 00:00:00");
    AddTopic("Secret", "S", 100, 100, "2024-02-01 00:00:00");
    AddTopic("Vault", "V", 100, 100, "2024-02-01 00:00:00");  // the rule in any letter case
    AddTopic("Gone", "G", 100, 100, "2024-02-01 00:00:00");  // no forum row
    db.con.Execute("insert into post (parentid, forumname, username, subject, hits, posttime) "
                   "values (?, 'Public', 'bob', 'R', 500, '2024-01-02 00:00:00')",
                   {a});
    db.con.Execute("update post set replycount=1, lastreplyposttime='2024-01-03 00:00:00' where postid=?", {a});

    const struct {
        const char* page;
        std::vector<std::string> order;
    } cases[] = {
        {"hot.asp", {"B", "A", "C"}},
        {"morereply.asp", {"C", "B", "A"}},
        {"active.asp", {"C", "A", "B"}},
    };
    for (const auto& c : cases) {
        const auto response = driver.Get(c.page);
        ASSERT_EQ(response.status, 200) << c.page;
        EXPECT_EQ(Subjects(response.body), c.order) << c.page;
    }
}

TEST_F(TopicRankings, ShowsOnlyTheFirst25) {
    for (int hits = 1; hits <= 30; ++hits)
        AddTopic("Public", "t" + std::to_string(hits), hits, 0, "2024-01-01 00:00:00");
    const std::vector<std::string> subjects = Subjects(driver.Get("hot.asp").body);
    ASSERT_EQ(subjects.size(), 25u);
    EXPECT_EQ(subjects.front(), "t30");
    EXPECT_EQ(subjects.back(), "t6");
}

TEST_F(TopicRankings, WritesEachTopicWithAnEncodedShortPreview) {
    const std::string hundred(100, 'x');
    const struct {
        platform::Variant message;
        std::string preview;
    } cases[] = {
        {hundred, hundred},
        {hundred + "y", hundred + "......"},
        // "<" is encoded first and counts as its four characters.
        {std::string(97, 'x') + "<b", std::string(97, 'x') + "&lt" + "......"},
        {"[b]bold[/b]", "[b]bold[/b]"},
        {platform::Variant::null(), ""},
    };
    for (const auto& c : cases) {
        db.con.Execute("delete from post");
        const long long id = AddTopic("Public", "<i>Hi</i>", 4, 2, "2024-01-01 00:00:00", c.message);
        const std::string body = driver.Get("active.asp").body;
        const std::string expected =
            "<table  cellpadding=4 border=0 cellspacing=1 width=95%><tr bgcolor=\"#000000\"><td valign=middle "
            "colspan=2><FONT   COLOR=#ffffff><b>[Public] - 主题：&lt;i&gt;Hi&lt;/i&gt;</b></FONT></td></tr>"
            "<tr bgcolor=\"#f7f7f7\"><td width=18% valign=top>ann</td><td><IMG SRC=images/posticon.gif "
            "BORDER=0>发贴于 2024-01-01 <FONT COLOR=#800080>08:00:00</font>&nbsp;&nbsp;回复:2&nbsp;&nbsp;"
            "点击：4<HR>" +
            c.preview + "<p><a href=newsdetail.asp?id=" + std::to_string(id) +
            ">更详细信息...</a></td></tr></table>";
        EXPECT_NE(body.find(expected), std::string::npos) << c.preview << "\n" << body;
    }
}

TEST_F(TopicRankings, EmptyBoardHasTitleHeaderAndNoTopic) {
    host.application().Set("BBName", "Board");
    host.application().Set("TableBorderColor", "#123456");
    const std::string body = driver.Get("morereply.asp").body;
    EXPECT_NE(body.find("<title>最多回复25条贴子 - Board</title>"), std::string::npos);
    EXPECT_NE(body.find("<td align=center><b>最多回复25条贴子</b><br><p align=right>"), std::string::npos);
    EXPECT_NE(body.find("<TR><td bgcolor=\"#123456\" > </td></tr></table></center>"), std::string::npos) << body;
}

}  // namespace
