#include "admin/forms/AnnounceForms.h"

#include <algorithm>
#include <cctype>

#include "platform/Charset.h"
#include "platform/DateTime.h"
#include "platform/Request.h"

namespace admin::forms {

namespace {

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// 1 to 4 digits, else -1.
int SmallNumber(const std::string& text) {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
        return -1;
    return std::stoi(text);
}

}  // namespace

std::string AnnounceLoginForm(const core::Credentials& login) {
    return "<BR><B><CENTER><h1>公 告 中 心</h1></B></CENTER>"
           "<FORM ACTION=announce.asp METHOD=POST NAME=THEFORM><center>"
           "<table border=0 cellpadding=0 cellspacing=0 width=90%><tr><td bgcolor=#000000>"
           "<table border=0 cellpadding=3 cellspacing=1 width=100%>"
           "<tr bgcolor=#D5D2BB><td><B>识别自己：</b></td><td><B>选择一项：</b></td></tr>"
           "<tr bgcolor=#C7C6BA><td><B>你的用户名：<BR><INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" +
           platform::QuotedAttribute(login.name) + "><P>你的密码：</FONT></B><BR>"
           "<INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" + platform::QuotedAttribute(login.password) +
           "></td>"
           "<td><INPUT TYPE=RADIO NAME=AnnounceFunction VALUE=CreateAnnouncement CHECKED><B>建立新的公告<BR>"
           "<INPUT TYPE=RADIO NAME=AnnounceFunction VALUE=EditAnnouncement>查看和编辑公告</B></td></tr>"
           "<tr bgcolor=#CAB5A6><td colspan=2><center><INPUT TYPE=HIDDEN NAME=action VALUE=enter>"
           "<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"根 据 选 择 进 入 中 心\"></center></td></tr>"
           "</table></td></tr></table></center></FORM><P>注意：只有超级管理员或者版主可以建立，查看或编辑告示。";
}

std::string AnnounceIdentityRows(const core::Credentials& login) {
    return "<tr><td><B>你的用户名：</B></td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" +
           platform::QuotedAttribute(login.name) + "></td></tr>"
           "<tr><td><B>你的密码：</B></td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
           platform::QuotedAttribute(login.password) +
           ">&nbsp;&nbsp;<A HREF=../ubbmisc.asp?action=lostpw>忘了你的密码？</A></td></tr>";
}

std::string AnnounceDateBlock(const std::string& prefix, int month, int day, int year) {
    static const char* const kMonths[] = {"正月", "二月", "三月", "四月", "五月",   "六月",
                                          "七月", "八月", "九月", "十月", "十一月", "十二月"};
    std::string html = "<table border=0><tr><td>月</td><td>日</td><td>年</td></tr><tr><td><SELECT NAME=" + prefix +
                       "Month>";
    for (int m = 1; m <= 12; ++m)
        html += "<OPTION VALUE=" + TwoDigits(m) + (m == month ? " SELECTED" : "") + ">" + kMonths[m - 1];
    html += "</SELECT></td><td><SELECT NAME=" + prefix + "Day>";
    for (int d = 1; d <= 31; ++d)
        html += "<OPTION VALUE=" + TwoDigits(d) + (d == day ? " SELECTED" : "") + ">" + std::to_string(d);
    html += "</SELECT></td><td><INPUT TYPE=TEXT NAME=" + prefix + "Year SIZE=4 MAXLENGTH=4 VALUE=" +
            std::to_string(year) + "></td></tr></table>";
    return html;
}

std::string AnnounceDateRows(int startMonth, int startDay, int startYear, int endMonth, int endDay, int endYear) {
    return "<tr><td><b>开始日期：</b><BR><FONT COLOR=#808000>公告会在你设定的日期出现?</font></td><td>" +
           AnnounceDateBlock("Start", startMonth, startDay, startYear) + "</td></tr>"
           "<tr><td><b>结束日期：</b><BR><FONT COLOR=#808000>公告会在你设定的日期结束?</font></td><td>" +
           AnnounceDateBlock("End", endMonth, endDay, endYear) + "</td></tr>";
}

bool ReadAnnounceDate(const platform::Request& in, const std::string& prefix, platform::DateTime& date) {
    const int year = SmallNumber(in(prefix + "Year").str());
    const int month = SmallNumber(in(prefix + "Month").str());
    const int day = SmallNumber(in(prefix + "Day").str());
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    date = platform::MakeDateTime(year, month, day);
    const platform::DateParts parts = platform::Parts(date);
    return parts.year == year && parts.month == month && parts.day == day;
}

}  // namespace admin::forms
