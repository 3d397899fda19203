// analyzer.asp: how many posts (topics and replies) were written on each day
// of a month, on the whole board or in one forum, with the weekday, a bar
// and the day's share. For administrators, and for moderators over their
// own forums; the caller is the panel login of the session.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "admin/Admin.h"
#include "admin/forms/ToolForms.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

// The request's whole number from `low` to `high`; `fallback` when it has
// none; nothing when it has another value.
std::optional<int> WholeNumber(const platform::Variant& value, int fallback, int low, int high) {
    const std::string text = platform::Trim(value.str());
    if (text.empty()) return fallback;
    if (text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int number = std::stoi(text);
    if (number < low || number > high) return std::nullopt;
    return number;
}

// Monday 1 to Sunday 7.
int Weekday(int year, int month, int day) {
    // Day 0 of the serial dates, 1899-12-30, was a Saturday.
    const long long serial = static_cast<long long>(std::floor(platform::MakeDateTime(year, month, day).serial));
    return static_cast<int>(((serial + 5) % 7 + 7) % 7) + 1;
}

std::string Percent(double share) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%%", share * 100);
    return text;
}

std::string MonthStart(int year, int month) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-01", year, month);
    return text;
}

// The posts of a month, of one forum or of all, limited to a moderator's
// forums when `moderator` is not empty.
struct MonthPosts {
    std::string where;
    platform::SqlParams params;

    MonthPosts(int year, int month, const std::string& forum, const std::string& moderator) {
        // The month's posts are found through the index of times ("+"
        // keeps the planner off the forum index, which is far slower for a
        // busy forum).
        where = " from post where posttime>=? and posttime<?";
        params = {MonthStart(year, month), month == 12 ? MonthStart(year + 1, 1) : MonthStart(year, month + 1)};
        if (!forum.empty()) {
            where += " and " + core::CurrentForumName("+forumname") + "=?";
            params.push_back(forum);
        }
        if (!moderator.empty()) {
            where += " and " + core::CurrentForumName("+forumname") + " in (select forum from moderated where moderater=?)";
            params.push_back(moderator);
        }
    }
};

}  // namespace

void Admin::MonthPostAnalyzer() {
    RunPanelPage("月发贴分析", [&](core::Page& p) {
        const platform::Request& in = Request();
        const core::Settings& s = core::CurrentSettings();
        // The login form posts the identity; later requests use the session's.
        const bool loggingIn = core::IsPost(in) && in.Form().Contains("UserName");
        const std::string userName = loggingIn ? PostedLogin().name : SessionUserName();
        const std::string password = loggingIn ? PostedLogin().password : SessionPassword();
        std::string ownForums;
        bool administrator = false;
        if (userName.empty() || !isAdminOrModerater(userName, password, p.Db(), ownForums, &administrator)) {
            if (loggingIn) p.Refuse("对不起，您没有执行该操作的权限！");
            Response().Write(forms::AnalyzerLoginForm(SessionLogin()));
            return;
        }
        const std::string moderator = administrator ? "" : userName;

        const platform::DateParts today = platform::Parts(platform::Now());
        const std::optional<int> year = WholeNumber(in("Year"), today.year, 1, 9999);
        const std::optional<int> month = WholeNumber(in("Month"), today.month, 1, 12);
        if (!year || !month) p.Refuse("参数错误！");
        const std::string forum = in("Forum").str();

        platform::Response& out = Response();
        out.Write("<br>");
        out.Write("<CENTER><H3>月发贴分析</H3></CENTER>");
        out.Write("<BR>");
        out.Write("<form action=analyzer.asp method=post>");
        out.Write("<table border=0 width=" + s.TableWidth + ">");
        out.Write("<tr><td colspan=2><b>请选择分析条件</b></td></tr>");
        // The years up to this one (and the chosen one), so that the
        // current year can always be chosen.
        out.Write("<tr><td><B>年:</B></td><td><SELECT NAME=YEAR>");
        for (int y = std::min(2000, *year); y <= std::max({2020, today.year, *year}); ++y)
            out.Write("<OPTION VALUE=" + std::to_string(y) + (y == *year ? " selected>" : " >") + std::to_string(y));
        out.Write("</SELECT></td></tr>");
        out.Write("<tr><td><B>月：</B></td><td><SELECT NAME=MONTH>");
        for (int m = 1; m <= 12; ++m)
            out.Write("<OPTION VALUE=" + std::to_string(m) + (m == *month ? " selected>" : ">") + std::to_string(m));
        out.Write("</SELECT></td></tr>");
        out.Write("<tr><td><b>版面</b></td><td><select name=forum><option value=''>全部版面");
        platform::Recordset forums;
        if (administrator)
            forums.Open("select forumname from forum", p.Db());
        else
            forums.Open("select forumname from forum where forumname in "
                        "(select forum from moderated where moderater=?)",
                        p.Db(), {userName});
        for (; !forums.Eof(); forums.MoveNext()) {
            const std::string name = forums.Fields(0).str();
            out.Write("<option value=" + Attr(name) + (name == forum ? " selected>" : ">") + Text(name));
        }
        out.Write("</select></td></tr>");
        out.Write("<tr><td colspan=2 align=center><input type=submit class=buttonface value='分析'></td></tr>");
        out.Write("</table>");
        out.Write("</form>");
        out.Write("<br>");
        if (in.ServerVariables("request_method").str() != "POST" || loggingIn) return;

        auto heading = [&](const std::string& label, const std::string& width = "") {
            return "<td" + (width.empty() ? "" : " width=" + width) + "><font color=" + s.TableStripTextColor +
                   "><b>" + label + "</b></font></td>";
        };
        out.Write(s.TableBorderOpen + "<table border=0 width=" + s.InnerTableWidth + ">");
        out.Write("<tr " + s.TableColorStrip + ">" + heading("日期", "15%") + heading("星期几？") +
                  heading("图例", "60%") + heading("比例") + heading("发贴") + "</tr>");
        const MonthPosts posts(*year, *month, forum, moderator);
        platform::Recordset rs;
        rs.Open("select count(*)" + posts.where, p.Db(), posts.params);
        const double total = platform::CDbl(rs.Fields(0));
        rs.Close();
        rs.Open("select cast(substr(posttime,9,2) as integer), count(*)" + posts.where +
                    " group by substr(posttime,1,10) order by 1",
                p.Db(), posts.params);
        for (; !rs.Eof(); rs.MoveNext()) {
            const int day = platform::CInt(rs.Fields(0));
            const std::string count = rs.Fields(1).str();
            const std::string share = Percent(platform::CDbl(rs.Fields(1)) / total);
            out.Write("<tr " + s.AltColumnColor1 + "><td>" + std::to_string(*year) + "-" + std::to_string(*month) +
                      "-" + std::to_string(day) + "</td><td>" + std::to_string(Weekday(*year, *month, day)) +
                      "</td><td><img src=images/dot.gif height=8 width=" + share + "></td><td>" + share +
                      "</td><td>" + count + "</td></tr>");
        }
        out.Write("</table>" + s.TableBorderClose);
    });
}

}  // namespace admin
