// forum.asp: the login form, the forum summary with its sort orders, the
// display order, the new-forum form and the storing of a new forum. The
// edit form and its save are in admin/ForumEdit.cpp.
#include <vector>

#include "admin/Admin.h"
#include "admin/ForumRules.h"
#include "admin/forms/ForumForms.h"
#include "core/JumpBox.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

// The ORDER BY of the summary for the lower-cased `sortby`.
const char* SummaryOrder(const std::string& sortby) {
    if (sortby == "category") return " order by catalog";
    if (sortby == "alpha") return " order by forumname";
    if (sortby == "postcount") return " order by topiccount+replycount desc";
    return " order by sequence";
}

std::string Selected(bool on) { return on ? " selected" : ""; }

}  // namespace

void Admin::Forum(const PanelStep& step) {
    RunPanelPage("论 坛 设 置 - " + core::CurrentSettings().BBName, step);
}

void Admin::ForumLogin(core::Page&) { Response().Write(forms::ForumLoginForm(SessionLogin())); }

void Admin::ForumSummary(core::Page& p, bool posted) {
    if (posted)
        RequireAdministrator(p, PostedLogin().name, PostedLogin().password, "对不起，没有找到该用户的记录！");
    else
        RequireAdministrator(p, SessionUserName(), SessionPassword(), "对不起，没有找到该用户的记录！");

    std::string sortby = platform::LCase(Request()("sortby").str());
    if (sortby.empty()) sortby = "number";
    platform::Recordset rs;
    rs.Open(std::string("select * from forum ") + SummaryOrder(sortby), p.Db(), platform::CursorType::Static);

    platform::Response& out = Response();
    out.Write("<BR><center><h1>设 置 论 坛 变 量</h1>");
    out.Write("<table width=95% border=0><tr><td>你可以轻易地通过这个控制面板来设定/改变论坛名称，描述，和其它属性(如版主)。<p>");
    out.Write("<B>想要增加一个论坛，<A HREF=forum.asp?action=addforums>按这里</a>。</B><p>");
    out.Write("<B>在下面更新现有的论坛</B></td></tr>");
    out.Write("<tr><td>你现在共有 " + std::to_string(rs.RecordCount()) +
              " 个论坛（包括开放的和关闭的）。想对针对某个论坛设定权限和其它设置，单击该论坛的\"详细资料\"链接。<p>");
    out.Write("\"次序\" 字段表示论坛显示的次序，你只能在次序字段中填入数字。例如，要调整 5 个论坛的次序，则对每个论坛分别填入 1 到 5 "
              "的数字，数字越小，就越早出现在论坛列表上，如果你在类别组下显示论坛，首先按照类别次序排序，你亦可以在此设置类别次序。"
              "</td></tr></table>");

    out.Write("<table width=95% border=0><tr><td><A HREF=forum.asp?action=addforums>增加论坛</a> </td>"
              "<td align=right><form action=forum.asp method=POST><INPUT TYPE=HIDDEN NAME=action VALUE=order>"
              "<select name=sortby>");
    out.Write("<option value=Category" + Selected(sortby == "category") + ">按类别次序</option>");
    out.Write("<option value=Number" + Selected(sortby == "number") + ">按论坛数字排序</option>");
    out.Write("<option value=Alpha" + Selected(sortby == "alpha") + ">按字母排序</option>");
    out.Write("<option value=PostCount" + Selected(sortby == "postcount") + ">按贴子数排序</option>");
    out.Write("</select><INPUT TYPE=SUBMIT NAME=Submit VALUE=排序></form></td></tr></table></center>");

    out.Write("<FORM ACTION=forum.asp METHOD=POST NAME=THEFORM><center>");
    out.Write("<table width=95% border=0 cellspacing=0 cellpadding=0><tr><td bgcolor=#000000>"
              "<table width=100% border=0 cellspacing=1 cellpadding=4>");
    out.Write("<tr bgcolor=Olive><td colspan=6><font color=#FFFFFF><b>论坛摘要</b></font></td></tr>");
    out.Write("<tr bgcolor=#B8C6AE><td>号码</td><td>名称</td><td>次序</td><td>贴子总数</td><td>类别</td><td></td></tr>");
    for (long row = 1; !rs.Eof(); ++row, rs.MoveNext()) {
        const std::string name = rs.Fields("forumname").str();
        const platform::Variant topics = rs.Fields("topiccount"), replies = rs.Fields("replycount");
        const std::string total = topics.isNull() || replies.isNull()
                                      ? ""
                                      : std::to_string(static_cast<long long>(topics.toDouble() + replies.toDouble()));
        out.Write("<tr bgcolor=#FFFFFF><td>" + std::to_string(row) + "</td><td>" + Text(name) + "</td>");
        out.Write("<INPUT TYPE=HIDDEN NAME=forumname VALUE=" + Attr(name) + ">");
        out.Write("<TD><INPUT TYPE=TEXT NAME=sequence VALUE=" + Attr(rs.Fields("sequence").str()) +
                  " SIZE=5 MAXLENGTH=5></TD>");
        out.Write("<td>" + total + "</td><td>" + Text(rs.Fields("catalog").str()) + "</td>");
        out.Write("<td><a href=" + Attr("forum.asp?action=getforum&forumname=" + Server().URLEncode(name)) +
                  ">详细资料</a></td></tr>");
    }
    out.Write("</table></td></tr></table>");
    out.Write("<INPUT TYPE=HIDDEN NAME=action VALUE=setforums><hr><B>输入你的用户名和密码：");
    out.Write("<font color=#000080>用户名：<INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" +
              Attr(SessionUserName()) + "> 密码：<INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
              Attr(SessionPassword()) + "></font></B><p>");
    out.Write("<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"完 成 论 坛 设 置\"></form></center>");
}

void Admin::ForumSaveOrder(core::Page& p) {
    RequireAdministrator(p, PostedLogin().name, PostedLogin().password, "对不起，没有找到该用户");
    const auto& names = Request().Form().Values("forumname");
    const auto& sequences = Request().Form().Values("sequence");
    if (names.size() != sequences.size()) p.Refuse("错误！");
    // Every entry is checked before any row changes.
    std::vector<std::int32_t> order;
    for (const std::string& text : sequences) {
        std::int32_t value = 0;
        if (!ParseWholeNumber(text, value)) p.Refuse("排序必须用整数");
        order.push_back(value);
    }
    platform::Transaction tx(p.Db());
    for (std::size_t i = 0; i < names.size(); ++i)
        p.Db().Execute("update forum set sequence=? where forumname=?", {order[i], names[i]});
    tx.Commit();
    WriteForumDone();
}

void Admin::EndForumChange(platform::Transaction& tx) {
    tx.Commit();
    core::EmptyForumJumpList(Application());
    WriteForumDone();
}

void Admin::WriteForumDone() {
    Response().Write("<center><br><br><p><h3>版面更新结束，再次进入<a href=forum.asp?action=order>论坛设置</a></h3></p></center>");
}

void Admin::ForumNewForm(core::Page& p) {
    RequireAdministrator(p, SessionUserName(), SessionPassword(), "对不起找不到该用户");
    Response().Write(forms::NewForumForm(SessionLogin(), ForumCatalogs(p.Db())));
}

void Admin::ForumAdd(core::Page& p) {
    const platform::Request& in = Request();
    const std::string catalog = in("newcatalog").str() == "on" ? in("newcatalogname").str() : in("catalog").str();
    const std::string forumname = platform::Trim(in("forumname").str());
    const auto [name, password] = PostedLogin();
    if (name.empty() || password.empty() || forumname.empty() || catalog.empty())
        p.Refuse("请输入用户名、口令、论坛名称和类别！此为必须输入项目");
    RequireAdministrator(p, name, password, "对不起，没有发现该用户");
    RefuseUnusableForumName(p, forumname, "");

    platform::Connection& con = p.Db();
    platform::Transaction tx(con);
    const bool isPrivate = in("private").str() == "private";
    // A new forum is listed after every other one.
    const std::string nextSequence = "(select ifnull(max(sequence), 0) + 1 from forum)";
    if (isPrivate)
        con.Execute("insert into forum (forumname, descript, catalog, [restrict], forumpassword, sequence) "
                    "values (?,?,?,?,?," + nextSequence + ")",
                    {forumname, in("descript"), catalog, "private", in("forumpassword")});
    else
        con.Execute("insert into forum (forumname, descript, catalog, [restrict], sequence) values (?,?,?,?," +
                        nextSequence + ")",
                    {forumname, in("descript"), catalog,
                     in("topicrestrict").str() + "&" + in("replyrestrict").str()});
    const std::string moderator = in("Moderater").str();
    if (!moderator.empty()) AppointModerator(con, forumname, moderator, "moderater");
    StoreModeratorList(con, forumname);
    EndForumChange(tx);
}

}  // namespace admin
