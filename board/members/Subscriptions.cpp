// Forum subscriptions (subscibe.asp): every forum by catalog with a tick for
// the member's subscriptions; a POST replaces them. The site's own script
// reads them through GetSubscibeList.
#include <string>

#include "board/members/MemberPages.h"
#include "core/MemberCheck.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Recordset.h"

namespace board {

using platform::HtmlEncode;

void MemberPages::subscibe() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& in = Request();
        platform::Response& out = Response();
        platform::Session& session = Session();
        // The CLUB header whatever the style.
        StartPage(p, {"个人订阅", "个人订阅 - " + s.BBName});
        out.Write(GetClubHeader());
        if (!core::SessionLoggedIn(session)) p.Refuse("对不起，个人订阅必须登录后才能进行该操作！请先登录！");

        platform::Recordset rs;
        if (!core::OpenMember(rs, p.Db(), "username", session("UserName").str(), session("password").str()))
            p.Refuse("对不起，您没有通过我们的身份认证！请重新登录！");
        // The stored spelling of the name, as the rows keep it.
        const std::string member = rs.Fields("username").str();
        rs.Close();

        if (in.ServerVariables("request_method").str() == "POST") {
            // All or nothing: a failure leaves the old subscriptions.
            platform::Transaction transaction(p.Db());
            p.Db().Execute("delete from subscibe where username=?", {member});
            if (in("submit").str() == "订阅") {
                for (const std::string& forum : in.Form().Values("subscibe"))
                    p.Db().Execute("insert into subscibe (username,forumname) values (?,?)", {member, forum});
            }
            transaction.Commit();
        }

        rs.Open("select forum.forumname,descript,catalog,a.forumname as subscibeforum from forum "
                "left outer join (select forumname from subscibe where username=?) as a "
                "on forum.forumname=a.forumname order by sequence",
                p.Db(), {member});
        std::string page = "<form action=subscibe.asp method=post><table border=0 width=" + s.TableWidth + ">";
        const bool any = !rs.Eof();
        std::string catalog;
        for (; !rs.Eof(); rs.MoveNext()) {
            const platform::Variant rowCatalog = rs.Fields("catalog");
            if (!rowCatalog.isNull() && rowCatalog.str() != catalog)
                page += "<tr " + s.CategoryStripColor + "><td><font color=" + s.CategoryStripTextColor + "><b>" +
                        HtmlEncode(rowCatalog.str()) + "</b></font></td></tr>";
            catalog = rowCatalog.isNull() ? std::string() : rowCatalog.str();
            const std::string forum = rs.Fields("forumname").str();
            page += std::string("<tr><td><input type=checkbox name=subscibe ") +
                    (rs.Fields("subscibeforum").isNull() ? "" : " checked") +
                    " value=" + platform::QuotedAttribute(forum) + ">" + HtmlEncode(forum) + "(" +
                    rs.Fields("descript").str() + ")</td></tr>";
        }
        rs.Close();
        if (any)
            page += "<tr><td align=center><input name=submit type=submit value=订阅 class=buttonface>"
                    "&nbsp;&nbsp;&nbsp;&nbsp;<input type=submit name=cancelsubscibe value='取消订阅' "
                    "class=buttonface>";
        out.Write(page + "</table></form>");
    });
}

platform::Variant MemberPages::GetSubscibeList(const platform::Variant& UserName) {
    platform::Connection con;
    con.Open(core::CurrentSettings().ConnectionString.str());
    platform::Recordset rs;
    rs.Open("select * from subscibe where username=?", con, {UserName.str()});
    if (rs.Eof()) return platform::Variant();
    return platform::Variant(rs.GetRows());
}

}  // namespace board
