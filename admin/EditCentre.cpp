// edit.asp: the post editing centre. Its steps (admin/AdminRoutes.cpp) run
// in Edit's panel page and check the caller; here the three writing steps
// (a topic's new subject, deleting a topic, pruning the checked topics) and
// the choices that lead to the thread editor (admin/ThreadEditor.cpp) and
// the forum choice and topic lists (admin/EditLists.cpp). Without a known
// step the page shows the menu.
#include <vector>

#include "admin/Admin.h"
#include "board/posting/PostEdit.h"
#include "core/Module1.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

// The forum of the post `id` (only of a topic when `topicOnly`); false when
// there is no such post.
bool ForumOfPost(platform::Connection& con, std::int32_t id, bool topicOnly, std::string& forum) {
    platform::Recordset rs;
    rs.Open(std::string("select forumname from post where postid=?") + (topicOnly ? " and parentid is null" : ""),
            con, {id});
    if (rs.Eof()) return false;
    forum = rs.Fields(0).str();
    return true;
}

const char* const kRefused = "对不起，你不能进行该操作！";
const char* const kYouMayNot = "对不起，您不能进行该操作！";

void WriteEditDone(platform::Response& out, const std::string& what) {
    out.Write("<br><br><center><p><h3>" + what + "，重新进入<a href=edit.asp>编辑和删除贴子功能</a></h3></p></center>");
}

}  // namespace

void Admin::Edit(const PanelStep& step) {
    RunPanelPage("编辑和删除贴子 - " + core::CurrentSettings().BBName, step);
}

void Admin::Edit_Menu(core::Page&) { WriteEditMenu(); }

void Admin::Edit_SubmitEditSubject(core::Page& p) {
    const std::string subject = Request()("newsubject").str();
    if (subject.empty() || PostedLogin().name.empty() || PostedLogin().password.empty())
        p.Refuse("用户名，口令或主题均不能为空！");
    const std::string ForumList = RequireLeader(p, PostedLogin(), kYouMayNot).forums;
    const std::int32_t topic = RecordId(Request()("topic"));
    std::string forum;
    if (!ForumOfPost(p.Db(), topic, true, forum)) p.Refuse("该主题已经不存在！");
    if (!core::IsInList(ForumList, forum)) p.Refuse(kYouMayNot);
    board::LivePosts().RenameThread(p.Db(), topic, subject);
    WriteEditDone(Response(), "主题更新完毕");
}

void Admin::Edit_DoDeleteThread(core::Page& p) {
    if (PostedLogin().name.empty() || PostedLogin().password.empty()) p.Refuse("用户名，口令均不能为空！");
    const std::string ForumList = RequireLeader(p, PostedLogin(), kYouMayNot).forums;
    const std::int32_t topic = RecordId(Request()("topic"));
    std::string forum;
    if (!ForumOfPost(p.Db(), topic, false, forum)) p.Refuse("该主题已经不存在！");
    if (!core::IsInList(ForumList, forum)) p.Refuse(kYouMayNot);
    board::LivePosts().DeleteThread(p.Db(), topic);
    WriteEditDone(Response(), "主题删除完毕");
}

void Admin::Edit_GetExactEditMessage(core::Page& p) {
    const platform::Request& in = Request();
    const std::string ForumList = RequireLeader(p, {SessionUserName(), SessionPassword()}, kRefused).forums;
    if (in("editsubject").str() == "yes")
        Edit_EditSubject(p.Db(), ForumList);
    else if (in("deletethread").str() == "yes")
        Edit_DeleteThread(p.Db(), ForumList);
    else
        Edit_EditPost(p.Db(), RecordId(in("editMessageNumber")), ForumList);
}

void Admin::Edit_SubmitPrune(core::Page& p) {
    const std::string ForumList = RequireLeader(p, PostedLogin(), kRefused).forums;
    // Whole topics only, each of a forum the caller manages; all or
    // nothing. A value that names no topic (gone already) is passed by.
    platform::Connection& con = p.Db();
    platform::Transaction tx(con);
    std::vector<std::int32_t> topics;
    for (const std::string& value : Request().Form().Values("delete")) {
        const std::int32_t topic = RecordId(platform::Variant(value));
        std::string forum;
        if (!ForumOfPost(con, topic, true, forum)) continue;
        if (!core::IsInList(ForumList, forum)) p.Refuse(kRefused);
        topics.push_back(topic);
    }
    board::LivePosts posts;
    for (std::int32_t topic : topics) posts.DeleteThread(con, topic);
    tx.Commit();
    WriteEditDone(Response(), "贴子删除完毕");
}

void Admin::Edit_EditFunction(core::Page& p) {
    const std::string ForumList = RequireLeader(p, PostedLogin(), "对不起，你没有执行该操作的权限").forums;
    const std::string choice = platform::LCase(Request()("Editfunction").str());
    if (choice == "prune") {
        Edit_Prune(ForumList);
    } else if (choice == "pruneuser") {
        if (Request()("deletename").str().empty()) p.Refuse("您没有输入要删除的用户名!");
        edit_prunesuer(ForumList, p.Db());
    } else if (choice == "edit") {
        Edit_Edit(ForumList);
    }
}

void Admin::WriteEditMenu() {
    platform::Response& out = Response();
    out.Write("<BR><center><h1>编 辑 和 删 除 帖 子</h1></center><center><P><B><FONT COLOR=#800000>"
              "注意：只有超级管理员和版主才可以编辑或删除消息。版主只能在他们自己的论坛中改变消息。在下面认证你的身份。"
              "</font></B></center>");
    out.Write("<FORM ACTION=edit.asp METHOD=POST NAME=THEFORM ><center>"
              "<table border=0 cellpadding=0 cellspacing=0 width=90%><TR><TD bgcolor=#000000>"
              "<table border=0 cellspacing=1 width=100%>");
    out.Write("<tr bgcolor=#8EA3B7><TD colspan=3><B>超级管理员和版主 身份认证：</B>");
    out.Write("<tr bgcolor=#8EA3B7><td width=25>&nbsp;</td><td><B>用户名：</B><BR>"
              "<INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 value=" + Attr(SessionUserName()) + "></td>"
              "<td><B>密码</B><BR><INPUT TYPE=PASSWORD NAME=Password SIZE=15 MAXLENGTH=15 value=" +
              Attr(SessionPassword()) + "></td></tr>");
    out.Write("<TR bgcolor=#C6CFA0><TD width=25><INPUT TYPE=RADIO NAME=EditFunction VALUE=Prune CHECKED></td>"
              "<td colspan=2><B>根据日期删除：</b><br>一个广泛的删除选项可以删除一个论坛所有的消息或基于一段你选定的时间内的消息。"
              "</td></tr>");
    out.Write("<TR bgcolor=#C6CFA0><TD width=25 valign=top><INPUT TYPE=RADIO NAME=EditFunction VALUE=PruneUser></td>"
              "<td colspan=2><B>根据用户删除：</b><br>一个广泛的删除选项可删除某个用户发表的所有的消息。<P>"
              "如果你正在删除某个 <font color=#800000>注册</font> 用户的帖子，你可输入全部或部分的用用户名，"
              "我们会为你生成一个符合的用户名列表。<P>用户名：<INPUT TYPE=TEXT NAME=DeleteName SIZE=20 MAXLENGTH=25>"
              "</td></tr>");
    out.Write("<TR bgcolor=#C6CFA0><td width=25><INPUT TYPE=RADIO NAME=EditFunction VALUE=Edit></td>"
              "<TD colspan=2><B>编辑/删除消息：</b><br>编辑某个特定的消息，有一份来自于超级管理员和版主的注释会出现在消息中。"
              "</td></tr>");
    out.Write("</table></td></tr></table><p><input type=hidden name=action value='EditFunction'>"
              "<INPUT TYPE=SUBMIT NAME=Submit VALUE='完 成 选 择'></center></form><BR>");
}

}  // namespace admin
