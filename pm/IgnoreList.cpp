// The member's ignore list: the members whose messages the member refuses.
#include "core/ConfirmationForm.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "core/Visitor.h"
#include "pm/PM.h"
#include "platform/Charset.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace pm {

namespace {

using platform::HtmlEncode;

std::string HeadingCell(const std::string& text) {
    return "<td><font color=" + core::CurrentSettings().TableStripTextColor + "><b>" + text + "</b></font></td>";
}

}  // namespace

void PM::IgnoreList() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page&) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        platform::Recordset rs;
        rs.Open("select * from ignorelist where username=? order by dateandtime desc, rowid desc", Con(),
                {member_.name});
        out.Write(core::PageHead("拒绝列表 - " + s.BBName));
        out.Write("<center>");
        WriteHeader("<p><b>　　　　悄　悄　话 　　　　</b></p>", true);
        out.Write("<form action=pm.asp method=post><input type=hidden name=action value=deleteignoreList>");
        out.Write(s.TableBorderOpen);
        out.Write("<table cellpadding=4 cellspacing=1 border=0 width=" + s.InnerTableWidth + ">");
        out.Write("<tr " + s.TableColorStrip + ">" + HeadingCell("取消?") + HeadingCell("拒绝用户") +
                  HeadingCell("加入时间") + "</tr>");
        const bool empty = rs.Eof();
        if (empty) out.Write("<tr " + s.AltColumnColor1 + "><td colspan=3>没有被拒绝的用户</td></tr>");
        for (; !rs.Eof(); rs.MoveNext()) {
            const std::string name = rs.Fields("ignoreusername").str();
            out.Write("<tr><td " + s.AltColumnColor1 +
                      "><input type=checkbox name=delete value=" + platform::QuotedAttribute(name) + "></td><td " +
                      s.AltColumnColor2 + "><a href=viewuser.asp?username=" + platform::UrlEncode(name) + ">" +
                      HtmlEncode(name) + "</a></td><td " + s.AltColumnColor1 + ">" +
                      core::FormatPostTime(rs.Fields("dateandtime")).str() + "</td></tr>");
        }
        rs.Close();
        out.Write("</table>");
        out.Write(s.TableBorderClose);
        if (!empty)
            out.Write("<table border=0 width=" + s.TableWidth +
                      "><tr><td colspan=3 align=right>"
                      "<input type=submit value=取消选择的用户 class=buttonface></td></tr></table>");
        out.Write("</form></center>");
    });
}

void PM::AddToIgnoreList() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const std::string typed = platform::Trim(Request()("ignore").str());
        // Names compare ignoring case, as the member table does.
        if (platform::EqualsIgnoreCase(typed, member_.name)) p.Refuse("您不能把自己加入自己的拒绝列表");
        platform::Recordset rs;
        rs.Open("select username from register where username=?", Con(), {typed});
        if (rs.Eof()) p.Refuse("没有该用户！");
        const std::string name = rs.Fields("username").str();
        rs.Close();
        // The message view's link asks; only the posted answer adds the name.
        if (!core::IsPost(Request())) {
            const core::Settings& s = core::CurrentSettings();
            platform::Response& out = Response();
            out.Write(core::PageHead("加入拒绝列表 - " + s.BBName));
            out.Write("<center>");
            WriteHeader("<p><b>　　　　悄　悄　话 　　　　</b></p>", true);
            out.Write(core::ConfirmationForm({"pm.asp",
                                              {{"action", "addtoignorelist"}, {"ignore", name}},
                                              "加入拒绝列表",
                                              "要把 " + HtmlEncode(name) + " 加入您的拒绝列表吗？加入后，" +
                                                  HtmlEncode(name) + " 不能再给您发送悄悄话。",
                                              "加入拒绝列表"}));
            out.Write("</center>" + s.Copyright);
            return;
        }
        // The list's unique key makes the test and the insert one step.
        if (Con().Execute("insert or ignore into ignorelist (username, ignoreusername) values (?, ?)",
                          {member_.name, name}) == 0)
            p.Refuse("该用户已经在您的拒绝列表中！");
        Wait(HtmlEncode(name) + "已经被增加到您的拒绝列表", "pm.asp?action=ignorelist", "悄悄话首页", 2);
    });
}

void PM::DeleteIgnoreList() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const std::vector<std::string>& checked = Request().Form().Values("delete");
        if (checked.empty()) p.Refuse("请选择想取消的成员！");
        long removed = 0;
        platform::Transaction transaction(Con());
        for (const std::string& name : checked)
            removed +=
                Con().Execute("delete from ignorelist where ignoreusername=? and username=?", {name, member_.name});
        transaction.Commit();
        Wait(HtmlEncode(member_.name) + "您已经从拒绝列表中取消了" + std::to_string(removed) + "个成员",
             "pm.asp?action=ignoreList", "悄悄话首页", 2);
    });
}

}  // namespace pm
