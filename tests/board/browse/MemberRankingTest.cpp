// The member ranking: ten members by posts and ten by points, two a row.
#include <gtest/gtest.h>

#include <string>

#include "BrowseBoard.h"

namespace {

const std::string kCell = "<td align=center bgcolor=#f7f7f7>";

std::string Member(int place, const std::string& name, const std::string& count, bool rightHalf = false) {
    return kCell + "<font color='NAVY'><strong>" + std::to_string(place) + (rightHalf ? " " : "") +
           "</strong></font>&nbsp;</td>" + kCell + "<span class=BigFont>" + name + "</span>&nbsp;</td>" + kCell +
           "<span class=BigFont>" + count + "</span>&nbsp;</td>";
}

const std::string kNoMember = kCell + "<font color='NAVY'><strong></strong></font>&nbsp;</td>" + kCell +
                              "<span class=BigFont></span>&nbsp;</td>" + kCell + "&nbsp;</td>";

std::string Heading(const std::string& count) {
    auto cell = [](const std::string& text) {
        return "<td align=center><span class=BigFont><b><font color=#ffffff>" + text + "</font></b></span></td>";
    };
    return "<tr bgcolor=\"#000000\">" + cell("名次") + cell("网友") + cell(count) + cell("名次") + cell("网友") +
           "<td align=center><span class=BigFont><b style=color:white>" + count + "</b></span></td></tr>";
}

// The rows of one ranking table, from its heading row to its end.
std::string Rows(const std::string& body, const std::string& count) {
    const std::size_t start = body.find(Heading(count));
    if (start == std::string::npos) return "no heading for " + count;
    const std::size_t rows = start + Heading(count).size();
    return body.substr(rows, body.find("</table>", rows) - rows);
}

class MemberRanking : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    void AddMember(const std::string& name, const platform::Variant& posts, const platform::Variant& points) {
        db.con.Execute("insert into register (username, password, postcount, jf) values (?, 'pw', ?, ?)",
                       {name, posts, points});
    }
};

TEST_F(MemberRanking, TenByPostsAndTenByPointsTwoToARow) {
    // m1 has the fewest posts and the most points.
    for (int i = 1; i <= 11; ++i) AddMember("m" + std::to_string(i), i, 100 - i);
    const std::string body = driver.Get("top.asp").body;

    std::string byPosts, byPoints;
    for (int place = 1; place <= 10; place += 2) {
        byPosts += "<tr>" + Member(place, "m" + std::to_string(12 - place), std::to_string(12 - place)) +
                   Member(place + 1, "m" + std::to_string(11 - place), std::to_string(11 - place), true) + "</tr>";
        byPoints += "<tr>" + Member(place, "m" + std::to_string(place), std::to_string(100 - place)) +
                    Member(place + 1, "m" + std::to_string(place + 1), std::to_string(99 - place), true) + "</tr>";
    }
    EXPECT_EQ(Rows(body, "发贴"), byPosts);
    EXPECT_EQ(Rows(body, "积分"), byPoints);
    EXPECT_NE(body.find("<tr><td><b>论坛发贴排行榜</b></td></tr>"), std::string::npos);
    EXPECT_NE(body.find("<tr><td><b>论坛积分排行榜</b></td></tr>"), std::string::npos);
}

TEST_F(MemberRanking, OddCountEndsWithEmptyCellsAndNullCountsLast) {
    AddMember("a", 3, 1);
    AddMember("b", platform::Variant::null(), 2);
    AddMember("<c>", 5, 3);
    const std::string body = driver.Get("top.asp").body;
    EXPECT_EQ(Rows(body, "发贴"),
              "<tr>" + Member(1, "&lt;c&gt;", "5") + Member(2, "a", "3", true) + "</tr><tr>" + Member(3, "b", "") +
                  kNoMember);
    EXPECT_EQ(Rows(body, "积分"), "<tr>" + Member(1, "&lt;c&gt;", "3") + Member(2, "b", "2", true) + "</tr><tr>" +
                                      Member(3, "a", "1") + kNoMember);
}

TEST_F(MemberRanking, NoMembersLeavesTheHeadingRowsAlone) {
    host.application().Set("BBName", "Board");
    const std::string body = driver.Get("top.asp").body;
    EXPECT_EQ(Rows(body, "发贴"), "");
    EXPECT_EQ(Rows(body, "积分"), "");
    EXPECT_NE(body.find("<title>排行榜 - Board</title>"), std::string::npos);
    EXPECT_NE(body.find("<td><p align=Left>&nbsp;&nbsp;&nbsp;<b>Board排行榜</b><br><br><p><span class=smallFont>"),
              std::string::npos);
}

}  // namespace
