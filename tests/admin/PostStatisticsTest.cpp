// analyzer.asp: the posts per day of a month with weekdays and shares, for
// the board, one forum or a moderator's forums; the login it asks for and
// the checks of year and month.
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "PanelBoard.h"

namespace {

using admin_test::Has;

// One report row: date, weekday (Monday 1), share and count.
std::string Row(const std::string& date, int weekday, const std::string& share, int count) {
    return "><td>" + date + "</td><td>" + std::to_string(weekday) + "</td><td><img src=images/dot.gif height=8 width=" +
           share + "></td><td>" + share + "</td><td>" + std::to_string(count) + "</td></tr>";
}

class PostStatisticsTest : public ::testing::Test {
protected:
    // March 2026: three posts on Monday the 2nd (two in A, one in B), one on
    // Sunday the 8th (B), one on Tuesday the 31st (C); one post just before
    // and one just after the month.
    PostStatisticsTest() {
        for (const char* forum : {"A", "B", "C"}) board.AddForum(forum, "Cat", 1);
        board.AddMember("mod", "pw");
        board.AddMember("plain", "pw");
        board.db.con.Execute("update register set status='moderater' where username='mod'");
        board.db.con.Execute("insert into moderated (forum, moderater) values ('B', 'mod')");
        const long long a = board.AddTopic("A", "plain", "a", "2026-03-02 10:00:00");
        board.AddReply(a, "A", "plain", "2026-03-02 11:00:00");
        const long long b = board.AddTopic("B", "plain", "b", "2026-03-02 12:00:00");
        board.AddReply(b, "B", "plain", "2026-03-08 09:00:00");
        board.AddTopic("C", "plain", "c", "2026-03-31 23:59:59");
        board.AddTopic("A", "plain", "after", "2026-04-01 00:00:00");
        board.AddTopic("A", "plain", "before", "2026-02-28 23:59:59");
    }

    site::DriverResponse LogIn(const std::string& name, const std::string& password) {
        return board.Post("analyzer.asp", {{"UserName", name}, {"Password", password}});
    }
    site::DriverResponse Report(site::Fields fields) { return board.Post("analyzer.asp", std::move(fields)); }

    FixedClock clock{platform::MakeDateTime(2026, 3, 15, 12, 0, 0)};
    admin_test::PanelBoard board;
};

TEST_F(PostStatisticsTest, AsksForAPanelLoginOfAnAdministratorOrModerator) {
    const auto first = board.PanelGet("analyzer.asp");
    EXPECT_TRUE(Has(first.body, "<INPUT TYPE=PASSWORD NAME=Password")) << first.body;
    EXPECT_FALSE(Has(first.body, "请选择分析条件"));
    EXPECT_TRUE(Has(LogIn("plain", "pw").body, "对不起，您没有执行该操作的权限！"));
    EXPECT_TRUE(Has(LogIn("boss", "wrong").body, "对不起，您没有执行该操作的权限！"));

    // The login shows the form for this month, without a report.
    const auto form = LogIn("boss", "secret");
    EXPECT_TRUE(Has(form.body, "<OPTION VALUE=2026 selected>2026"));
    EXPECT_TRUE(Has(form.body, "<OPTION VALUE=2000 >2000"));
    EXPECT_TRUE(Has(form.body, "<OPTION VALUE=3 selected>3"));
    EXPECT_TRUE(Has(form.body, "<option value=''>全部版面<option value=\"A\">A"));
    EXPECT_FALSE(Has(form.body, "星期几"));
    // Later requests go by the session's panel login.
    EXPECT_TRUE(Has(board.PanelGet("analyzer.asp").body, "请选择分析条件"));
}

TEST_F(PostStatisticsTest, DaysOfTheMonthWithWeekdaysAndShares) {
    LogIn("boss", "secret");
    const auto all = Report({{"YEAR", "2026"}, {"MONTH", "3"}, {"forum", ""}});
    EXPECT_TRUE(Has(all.body, Row("2026-3-2", 1, "60.00%", 3) + "<tr") ) << all.body;
    EXPECT_TRUE(Has(all.body, Row("2026-3-8", 7, "20.00%", 1)));
    EXPECT_TRUE(Has(all.body, Row("2026-3-31", 2, "20.00%", 1) + "</table>"));
    EXPECT_EQ(browse_test::Count(all.body, "<td>2026-"), 3u);

    const auto forum = Report({{"YEAR", "2026"}, {"MONTH", "3"}, {"forum", "B"}});
    EXPECT_TRUE(Has(forum.body, "<option value=\"B\" selected>B"));
    EXPECT_TRUE(Has(forum.body, Row("2026-3-2", 1, "50.00%", 1)));
    EXPECT_TRUE(Has(forum.body, Row("2026-3-8", 7, "50.00%", 1)));
    EXPECT_EQ(browse_test::Count(forum.body, "<td>2026-"), 2u);

    const auto empty = Report({{"YEAR", "2025"}, {"MONTH", "3"}});
    EXPECT_TRUE(Has(empty.body, "<b>发贴</b></font></td></tr></table>"));
    // Without year and month: this month.
    EXPECT_TRUE(Has(Report({}).body, Row("2026-3-8", 7, "20.00%", 1)));
}

TEST_F(PostStatisticsTest, AModeratorSeesOnlyTheOwnForums) {
    LogIn("mod", "pw");
    const auto all = Report({{"YEAR", "2026"}, {"MONTH", "3"}});
    EXPECT_TRUE(Has(all.body, "<option value=''>全部版面<option value=\"B\">B</select>"));
    EXPECT_TRUE(Has(all.body, Row("2026-3-2", 1, "50.00%", 1)));
    EXPECT_EQ(browse_test::Count(all.body, "<td>2026-"), 2u);
    EXPECT_EQ(browse_test::Count(Report({{"YEAR", "2026"}, {"MONTH", "3"}, {"forum", "A"}}).body, "<td>2026-"), 0u);
}

TEST_F(PostStatisticsTest, YearAndMonthMustBeWholeNumbersInRange) {
    board.Login();
    for (const auto& [year, month] : std::vector<std::pair<std::string, std::string>>{
             {"abc", "3"}, {"0", "3"}, {"40000", "3"}, {"2026.5", "3"}, {"2026", "13"}, {"2026", "0"},
             {"2026", "-1"}, {"2026", "3 or 1=1"}}) {
        const auto page = Report({{"YEAR", year}, {"MONTH", month}});
        EXPECT_TRUE(Has(page.body, "参数错误！")) << year << "/" << month;
        EXPECT_FALSE(Has(page.body, "<td>2026-")) << year << "/" << month;
    }
}

}  // namespace
