// The member directory (member.asp): members a page at a time, filtered by
// the first letter of the name or searched by name or e-mail, in one of four
// orders. The letter links, the search-and-sort form and the pager lead back
// here.
#include <algorithm>
#include <cstdint>
#include <string>

#include "board/members/MemberPages.h"
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::QuotedAttribute;
using platform::UrlEncode;
using platform::Variant;

// What the request asks the list for, after the defaults.
struct ListChoice {
    std::string searchColumn;  // "username", "email" or "" for no search
    std::string key;
    std::string letter;  // "ALL", "@" or the beginning of the names
    std::string order;   // one of the four sort columns
};

ListChoice ReadChoice(const platform::Request& in) {
    ListChoice c;
    c.searchColumn = platform::LCase(in("searchBy").str());
    if (c.searchColumn != "username" && c.searchColumn != "email") c.searchColumn.clear();
    c.key = in("key").str();
    c.letter = in("Letter").str();
    if (c.letter.empty()) c.letter = "ALL";
    c.order = platform::LCase(in("orderby").str());
    if (c.order != "username" && c.order != "postcount" && c.order != "jf") c.order = "signdate";
    return c;
}

// `text` as a LIKE pattern that matches it literally (escape character "\").
std::string LiteralLike(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\\' || ch == '%' || ch == '_') out += '\\';
        out += ch;
    }
    return out;
}

// The member query. Names compare ignoring case (the column's collation),
// so a name range on the name index serves the letter filters: "@" takes
// names whose first character comes after "z" (code above 122).
std::string MemberQuery(const ListChoice& c, platform::SqlParams& params) {
    const std::string order =
        " order by " + c.order + (c.order == "username" ? " asc" : " desc");
    if (c.letter == "@") return "select * from register where username>='{'" + order;
    if (c.letter != "ALL") {
        params = {c.letter, c.letter + "\U0010FFFF"};
        return "select * from register where username>=? and username<?" + order;
    }
    if (!c.key.empty() && !c.searchColumn.empty()) {
        params = {"%" + LiteralLike(c.key) + "%"};
        return "select * from register where " + c.searchColumn + " like ? escape '\\'" + order;
    }
    return "select * from register" + order;
}

std::string LetterBar() {
    std::string bar = "<b>字母:</b>&nbsp;";
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        bar += std::string("<a href=Member.asp?letter=") + letter + ">" + letter + "</a>&nbsp;";
    return bar + "<a href=member.asp?letter=@>@</a>";
}

std::string Option(const std::string& value, const std::string& label, bool selected) {
    return "<option value=" + value + (selected ? " selected" : "") + ">" + label + "</option>";
}

std::string Text(const Variant& v) { return v.isNull() ? std::string() : HtmlEncode(v.str()); }

std::string MemberRow(platform::Recordset& rs) {
    const core::Settings& s = core::CurrentSettings();
    const std::string name = rs.Fields("username").str();
    const Variant email = rs.Fields("email");
    const Variant emailView = rs.Fields("emailview");
    const bool showMail = !emailView.isNull() && platform::CBool(emailView) && !email.isNull() && !email.str().empty();
    const std::string home = core::HomepageAddress(rs.Fields("url").isNull() ? "" : rs.Fields("url").str());

    const std::string cells[] = {
        "<a title=" + QuotedAttribute("给" + name + "发悄悄话") + " href=pm.asp?action=newpm&recipient=" +
            UrlEncode(name) + ">" + HtmlEncode(name) + "</a>",
        showMail ? "<a href=" + QuotedAttribute("mailto:" + email.str()) +
                       "><img src=images/email.gif border=0></a>"
                 : "",
        home.empty() ? "" : "<a href=" + QuotedAttribute(home) + " target=_blank><img src=images/home.gif border=0></a>",
        "<a href=search.asp?action=searchuser&username=" + UrlEncode(name) +
            "><img src=images/find.gif border=0></a>",
        Text(rs.Fields("location")),
        rs.Fields("signdate").isNull() ? "" : core::FormatPostTime(rs.Fields("signdate")).str(),
        Text(rs.Fields("interests")),
        Text(rs.Fields("postcount")),
        Text(rs.Fields("jf")),
    };
    std::string row = "<tr>";
    for (int i = 0; i < 9; ++i) {
        row += "<td " + (i % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) +
               (i == 0 ? "" : " align=center valign=middle") + (i == 3 ? "" : " nowrap") + ">" + cells[i] + "</td>";
    }
    return row + "</tr>";
}

}  // namespace

void MemberPages::MemberList() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        StartPage(p, {"成员列表", "成员列表 - " + s.BBName, "<center>",
                      "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                          "</td><td align=center><b>成员列表</b><br><p align=right>" + core::GetNavBarHtml() +
                          "</p></td></tr></table>"});
        out.Write("<table border=0 width=" + s.TableWidth + ">");

        const ListChoice c = ReadChoice(Request());
        platform::SqlParams params;
        const std::string sql = MemberQuery(c, params);
        platform::Recordset rs;
        rs.CacheSize(s.PageSize);
        rs.Open(sql, p.Db(), platform::CursorType::Static, params);

        out.Write("</table><form action=member.asp method=post><table border=0 width=" + s.TableWidth + ">");
        const std::int32_t recordCount = static_cast<std::int32_t>(rs.RecordCount());
        std::int16_t pageCount = 0;
        std::int16_t page = 1;
        if (!rs.Eof()) {
            rs.PageSize(s.PageSize);
            pageCount = static_cast<std::int16_t>(std::min<long>(rs.PageCount(), INT16_MAX));
            page = core::RequestedPage(Request()("page"), pageCount);
        }

        out.Write("<tr><td><b>按</b><select name=SearchBy class=smallsel>" +
                  Option("UserName", "用户名", c.searchColumn == "username") +
                  Option("EMail", "EMail", c.searchColumn == "email") +
                  "</select><input type=text name=key size=12 maxlength=255 value=" + QuotedAttribute(c.key) +
                  "><input type=submit name=b1 value=搜索 class=buttonface></td><td align=right>" + LetterBar() +
                  "</td></tr></table>");
        out.Write("<table width=" + s.TableWidth + " cellpadding=4 border=0 cellspacing=1><tr>"
                  "<td colspan=2><b>成员列表</b></td><td colspan=7 align=right><b>按</b>"
                  "<select name=OrderBy class=smallsel>" +
                  Option("username", "用户名", c.order == "username") +
                  Option("postcount", "发贴总数", c.order == "postcount") + Option("jf", "积分", c.order == "jf") +
                  Option("signdate", "注册日期", c.order == "signdate") +
                  "</select><input type=submit value=排序 class=buttonface></td></tr></table></form>");

        std::string table = s.TableBorderOpen + "<table width=" + s.InnerTableWidth +
                            " cellpadding=4 border=0 cellspacing=1><tr " + s.TableColorStrip + ">";
        for (const char* heading : {"用户名", "邮件", "主页", "搜索", "来自", "注册日期", "兴趣爱好", "贴子总数", "积分"})
            table += "<td align=center><font color=" + s.TableStripTextColor + "><b>" + heading + "</b></font></td>";
        table += "</tr>";
        if (!rs.Eof()) {
            rs.AbsolutePage(page);
            for (int n = 0; n < s.PageSize && !rs.Eof(); ++n, rs.MoveNext()) table += MemberRow(rs);
        }
        rs.Close();
        out.Write(table + "</table>" + s.TableBorderClose);

        out.Write("<table border=0 width=" + s.TableWidth + "><tr><td colspan=9 align=right>" + LetterBar() +
                  "</td></tr><tr><td colspan=9 align=right>");
        if (pageCount > 1)
            PageStyle(recordCount, page, pageCount, s.PageSize,
                      "&searchby=" + c.searchColumn + "&orderby=" + UrlEncode(c.order) + "&key=" + UrlEncode(c.key) +
                          "&Letter=" + UrlEncode(c.letter));
        out.Write("</td></tr></table></center>");
    });
}

}  // namespace board
