#include "admin/AnnounceForm.h"

#include <algorithm>
#include <cctype>

#include "platform/Charset.h"
#include "platform/DateTime.h"
#include "platform/Request.h"

namespace admin {

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

std::string AnnounceIdentityRows(const std::string& name, const std::string& password) {
    return "<tr><td><B>你的用户名：</B></td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" +
           platform::QuotedAttribute(name) + "></td></tr>"
           "<tr><td><B>你的密码：</B></td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
           platform::QuotedAttribute(password) +
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

bool ReadAnnounceDate(const platform::Request& in, const std::string& prefix, platform::DateTime& date) {
    const int year = SmallNumber(in(prefix + "Year").str());
    const int month = SmallNumber(in(prefix + "Month").str());
    const int day = SmallNumber(in(prefix + "Day").str());
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    date = platform::MakeDateTime(year, month, day);
    const platform::DateParts parts = platform::Parts(date);
    return parts.year == year && parts.month == month && parts.day == day;
}

}  // namespace admin
