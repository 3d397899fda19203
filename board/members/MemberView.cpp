// A member's public page (viewuser.asp): links to the member's posts and to
// a private message, then the profile with the member title; the e-mail
// address only when the member shows it.
#include <string>
#include <utility>

#include "board/members/MemberPages.h"
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::QuotedAttribute;
using platform::Variant;

std::string Text(const Variant& v) { return v.isNull() ? std::string() : v.str(); }

// ICQ and OICQ numbers are written only when they are all digits.
std::string Number(const Variant& v) {
    const std::string text = Text(v);
    if (text.find_first_not_of("0123456789") != std::string::npos) return "";
    return text;
}

}  // namespace

void MemberPages::ViewUser() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        const std::string requested =
            Request().TypedName("userName", Request()("userName").str(), [&](const std::string& name) {
                platform::Recordset member;
                member.Open("select username from register where username=?", p.Db(), {name});
                return !member.Eof();
            });
        StartPage(p, {"个人信息查询", "个人信息查询 - " + s.BBName, "<center><div align=center>",
                      "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                          "</td><td align=center valign=middle> <p><strong><font color=darkblue>用户察看</font>"
                          "</strong> </p></td></tr></table>"});

        platform::Recordset rs;
        rs.Open("Select * from Register where username=?", p.Db(), {requested});
        if (rs.Eof()) p.Refuse("该用户不存在！");

        const std::string stored = rs.Fields("UserName").str();
        const Variant emailView = rs.Fields("emailview");
        const bool showMail = emailView.isNull() || platform::CBool(emailView);
        const std::string email = showMail ? Text(rs.Fields("Email")) : "";
        const std::string home = core::HomepageAddress(Text(rs.Fields("URL")));
        const Variant postcount = rs.Fields("postcount");
        const Variant points = rs.Fields("jf");
        Variant icon, title;
        core::GetUserRank(rs.Fields("status"), postcount, icon, title);
        const std::pair<const char*, std::string> rows[] = {
            {"姓　名:", HtmlEncode(requested)},
            {"状  态:", title.str()},
            {"E-Mail:", email.empty() ? "用户没有提供他的邮件地址或用户不允许显示他的电子邮件信息"
                                      : "<A href=" + QuotedAttribute("mailto:" + email) + ">" + HtmlEncode(email) +
                                            "</a>"},
            {"OICQ:", Number(rs.Fields("OICQ"))},
            {"ICQ:", Number(rs.Fields("ICQ"))},
            {"个人主页:",
             home.empty() ? "" : "<a href=" + QuotedAttribute(home) + " target=_blank>" + HtmlEncode(home) + "</a>"},
            {"所在市、省、国 :", HtmlEncode(Text(rs.Fields("Location")))},
            {"职业:", HtmlEncode(Text(rs.Fields("Occupation")))},
            {"兴趣:", HtmlEncode(Text(rs.Fields("Interests")))},
            {"发表文章:", std::to_string(postcount.isNull() ? 0 : platform::CLng(postcount)) + "&nbsp;"},
            {"积分:", (points.isNull() ? std::string("0") : points.str()) + "&nbsp;"},
        };
        rs.Close();

        std::string page = "<table border=0 width=" + s.TableWidth +
                           "><tr><td colspan=2 align=left><img src=images/find.gif align=absmiddle>&nbsp;"
                           "<a href=search.asp?action=searchuser&username=" + platform::UrlEncode(requested) +
                           ">搜索：这个用户的所有贴子</a>&nbsp;&nbsp;<img align=absmiddle src=images/pm.gif>&nbsp;"
                           "<a href=pm.asp?action=newpm&recipient=" + platform::UrlEncode(stored) + ">给 " +
                           HtmlEncode(stored) + " 写悄悄话</a></td></tr></table>";
        page += s.TableBorderOpen + "<table border=0 width=" + s.InnerTableWidth + " cellspacing=1 cellpadding=4 >";
        bool first = true;
        for (const auto& [label, value] : rows) {
            page += "<tr " + (first ? s.AltColumnColor1 : s.AltColumnColor2) +
                    "><td width=102 align=left class=smallFont>" + label + "</td><td width=245>" + value +
                    "</td></tr>";
            first = !first;
        }
        out.Write(page + "</table>" + s.TableBorderClose + "</div></center>");
    });
}

}  // namespace board
