// forum.asp: the login form, the forum summary with its sort orders, the
// display order, the new-forum form and the storing of a new forum. The
// edit form and its save are in admin/ForumEdit.cpp.
#include <vector>

#include "admin/Admin.h"
#include "admin/ForumRules.h"
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

void Admin::ForumLoginForm() {
    platform::Response& out = Response();
    out.Write("<BR><center><h1>论 坛 设 置</h1></center><P><center>");
    out.Write("<FONT COLOR=#800000><b>你必须是超级管理员才能改变论坛设置。</b></FONT>");
    out.Write("<FORM ACTION=forum.asp METHOD=POST NAME=THEFORM >");
    out.Write("<table width=65% border=0 cellspacing=1 cellpadding=4>");
    WriteSessionLoginRows("<tr bgcolor=#C7C6BA><td>");
    out.Write("</table>");
    out.Write("<INPUT TYPE=HIDDEN NAME=action VALUE=login><INPUT TYPE=HIDDEN NAME=StartPoint VALUE=0>");
    out.Write("<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"发 送 身 份 确 认\"></FORM></center>");
}

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

void Admin::WriteForumIdentityBlock() {
    platform::Response& out = Response();
    out.Write("首先认证你的身份（只有超级管理员才可以增加新的论坛）<BR>");
    out.Write("<table border=0><tr><td><b>你的用户名：</b></td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 "
              "MAXLENGTH=25 value=" + Attr(SessionUserName()) + "></td></tr>");
    out.Write("<tr><td><b>你的密码：</b></td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 value=" +
              Attr(SessionPassword()) + "></td></tr></table><hr>");
}

void Admin::ForumNewForm(core::Page& p) {
    RequireAdministrator(p, SessionUserName(), SessionPassword(), "对不起找不到该用户");
    platform::Response& out = Response();
    out.Write("<BR><center><h1>增 加 新 论 坛</h1></center><P><B>完整填写下面的表格就可新增论坛！</B><P>");
    out.Write("<FORM ACTION=forum.asp METHOD=POST NAME=THEFORM>");
    WriteForumIdentityBlock();
    out.Write("<table width=95% border=0><tr><td><B><FONT COLOR=#800000>在下面新增论坛</FONT></B></td></tr></table>");
    WriteForumTable(p.Db(), "在此输入论坛名称", "", "allreg&allreg", "", "",
                    "<B>版主设定</B><BR>现在，我们允许你在新增论坛时同时设定一个版主，当然你也可以忽略此选项</td><td>"
                    "<B>新任版主：</b><input type=text size=25 maxlength=25 name=moderater>"
                    "<p><b>注意：</b>版主必须是已经注册的用户</p></td></tr>");
    out.Write("<INPUT TYPE=HIDDEN NAME=action VALUE=addnewforum>");
    out.Write("<center><INPUT TYPE=SUBMIT NAME=Submit VALUE=\"新 增 此 论 坛\"></center></FORM>");
}

void Admin::WriteForumTable(platform::Connection& con, const std::string& name, const std::string& catalog,
                            const std::string& restrict, const std::string& password,
                            const std::string& descript, const std::string& moderatorCell) {
    const AccessRule rule = ReadAccessRule(restrict);
    platform::Response& out = Response();
    out.Write("<table width=95% border=0 cellspacing=0 cellpadding=0><tr><td bgcolor=#000000>"
              "<table width=100% border=0 cellspacing=1 cellpadding=4>");
    out.Write("<tr bgcolor=#D3CE87><td colspan=2><B>新论坛</B></td></tr>");
    out.Write("<tr bgcolor=#c7c6ba><td><B>名称:</B></td><td><INPUT TYPE=TEXT NAME=forumname SIZE=30 MAXLENGTH=100 "
              "VALUE=" + Attr(name) + "></td></tr>");

    out.Write("<tr bgcolor=#d5d2bb><td><B>类别</B><br>你可以选择一个存在的类别，或新增一个类别。新增类别时请和选择新类别，"
              "并输入新类别的名称</td><td><select name=catalog>");
    platform::Recordset catalogs;
    catalogs.Open("select distinct catalog from forum", con);
    for (; !catalogs.Eof(); catalogs.MoveNext()) {
        const std::string c = catalogs.Fields(0).str();
        out.Write("<OPTION Value=" + Attr(c) + (!catalog.empty() && c == catalog ? " selected>" : " >") + Text(c));
    }
    out.Write("</select> <input type=checkbox name=newcatalog>新类别 "
              "<input type=text name=newcatalogName size=25 maxlength=25></td></tr>");

    out.Write("<tr bgcolor=#c7c6ba><td><B>访问限制</B><br>你可把此论坛完全设置成私家论坛，只有输入论坛密码的用户才能进入；"
              "否则可以规定谁能在论坛里发表话题和回复贴子。</td><td>");
    out.Write(std::string("<INPUT TYPE=CHECKBOX NAME=Private VALUE=private") + (rule.isPrivate ? " checked>" : " >") +
              "私家论坛 - 读/写 只有超级管理员，版主和特权用户<FONT COLOR=#800000>*</font>才能查看和发表贴子");
    out.Write("<BR>论坛密码：<INPUT TYPE=TEXT NAME=forumpassword SIZE=12 MAXLENGTH=12 value=" + Attr(password) + ">");
    out.Write("<CENTER>发表条件（当所有用户都可以看到贴子时）</CENTER>"
              "如果这个论坛没有设置成私家论坛，你可以确定哪些用户可以在论坛里发表新话题和回复贴子。");
    out.Write("<br>谁能发表话题？<select name=TopicRestrict>");
    out.Write("<option value=restrict" + Selected(rule.topic == "restrict") + ">超级管理员，版主和特权用户");
    out.Write("<option value=allreg" + Selected(rule.topic == "allreg") + ">所有注册用户");
    out.Write("<option value=all" + Selected(rule.topic == "all") + ">任何用户（包含未注册的）</select>");
    out.Write("<br>谁能回复话题？<select name=ReplyRestrict>");
    out.Write("<option value=restrict" + Selected(rule.reply == "restrict") + ">超级管理员，版主和特权用户");
    out.Write("<option value=allreg" + Selected(rule.reply == "allreg") + ">任何注册用户");
    out.Write("<option value=all" + Selected(rule.reply == "all") + ">任何用户 (包含未注册的)");
    out.Write("<option value=none" + Selected(rule.reply == "none") + ">没有人可以回复贴子</select>");
    out.Write("<p><FONT COLOR=#800000>* 特权用户是版主或主持人授予其特殊的权限使用私家论坛的人。管理员可以把论坛密码告知该用户以便进入。"
              "</FONT></td></tr>");

    out.Write("<tr bgcolor=#d5d2bb><td><B>论坛描述：</B><br>这些描述将出现在用户访问时的所有论坛的摘要中。</td><td>"
              "<TEXTAREA NAME=Descript ROWS=3 COLS=30 wrap=VIRTUAL>" + Text(descript) + "</TEXTAREA></td></tr>");
    out.Write("<tr bgcolor=#c7c6ba><td>" + moderatorCell);
    out.Write("</table></td></tr></table>");
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
