// edit.asp: the post editing centre. Edit checks the caller for every step,
// carries out the three writing steps (a topic's new subject, deleting a
// topic, pruning the checked topics) and hands the other steps to the
// thread editor (admin/ThreadEditor.cpp) and the forum choice and topic
// lists (admin/EditLists.cpp). Without a known step it shows the menu.
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

void WriteEditDone(platform::Response& out, const std::string& what) {
    out.Write("<br><br><center><p><h3>" + what + "，重新进入<a href=edit.asp>编辑和删除贴子功能</a></h3></p></center>");
}

}  // namespace

void Admin::Edit() {
    const platform::Request& in = Request();
    const std::string action = platform::LCase(in("action").str());
    RunPanelPage("编辑和删除贴子 - " + core::CurrentSettings().BBName, [&](core::Page& p) {
        platform::Response& out = Response();
        std::string ForumList;
        // The identity of the step: the posted login fields, or the panel
        // login kept in the session for the steps reached by links.
        auto check = [&](bool posted, const std::string& refusal) {
            const std::string name = posted ? PostedLogin().name : SessionUserName();
            const std::string password = posted ? PostedLogin().password : SessionPassword();
            if (!isAdminOrModerater(name, password, p.Db(), ForumList)) p.Refuse(refusal);
        };
        // A moderator acts only on the posts of his forums.
        auto requireForum = [&](const std::string& forum, const std::string& refusal) {
            if (!core::IsInList(ForumList, forum)) p.Refuse(refusal);
        };
        const std::string refused = "对不起，你不能进行该操作！";

        if (action == "domessageedit") {
            Edit_DoMeassageEdit();
        } else if (action == "submiteditsubject") {
            const std::string subject = in("newsubject").str();
            if (subject.empty() || PostedLogin().name.empty() || PostedLogin().password.empty())
                p.Refuse("用户名，口令或主题均不能为空！");
            check(true, "对不起，您不能进行该操作！");
            const std::int32_t topic = RecordId(in("topic"));
            std::string forum;
            if (!ForumOfPost(p.Db(), topic, true, forum)) p.Refuse("该主题已经不存在！");
            requireForum(forum, "对不起，您不能进行该操作！");
            board::LivePosts().RenameThread(p.Db(), topic, subject);
            WriteEditDone(out, "主题更新完毕");
        } else if (action == "dodeletethread") {
            if (PostedLogin().name.empty() || PostedLogin().password.empty()) p.Refuse("用户名，口令均不能为空！");
            check(true, "对不起，您不能进行该操作！");
            const std::int32_t topic = RecordId(in("topic"));
            std::string forum;
            if (!ForumOfPost(p.Db(), topic, false, forum)) p.Refuse("该主题已经不存在！");
            requireForum(forum, "对不起，您不能进行该操作！");
            board::LivePosts().DeleteThread(p.Db(), topic);
            WriteEditDone(out, "主题删除完毕");
        } else if (action == "getexacteditmessage") {
            check(false, refused);
            if (in("editsubject").str() == "yes")
                Edit_EditSubject(p.Db(), ForumList);
            else if (in("deletethread").str() == "yes")
                Edit_DeleteThread(p.Db(), ForumList);
            else
                Edit_EditPost(p.Db(), RecordId(in("editMessageNumber")), ForumList);
        } else if (action == "prunebydate" || action == "prunebyuser") {
            check(false, refused);
            Edit_DeletePost(p.Db(), action, ForumList);
        } else if (action == "submitprune") {
            check(true, refused);
            // Whole topics only, each of a forum the caller manages; all or
            // nothing. A value that names no topic (gone already) is passed by.
            platform::Connection& con = p.Db();
            platform::Transaction tx(con);
            std::vector<std::int32_t> topics;
            for (const std::string& value : Request().Form().Values("delete")) {
                const std::int32_t topic = RecordId(platform::Variant(value));
                std::string forum;
                if (!ForumOfPost(con, topic, true, forum)) continue;
                requireForum(forum, refused);
                topics.push_back(topic);
            }
            board::LivePosts posts;
            for (std::int32_t topic : topics) posts.DeleteThread(con, topic);
            tx.Commit();
            WriteEditDone(out, "贴子删除完毕");
        } else if (action == "admineditthisforum") {
            check(false, refused);
            Edit_AdminEditThisForum(p.Db(), ForumList);
        } else if (action == "geteditthreads") {
            check(false, refused);
            Edit_GetEditThreads(p.Db(), ForumList, RecordId(in("topic")));
        } else if (action == "editfunction") {
            check(true, "对不起，你没有执行该操作的权限");
            const std::string choice = platform::LCase(in("Editfunction").str());
            if (choice == "prune") {
                Edit_Prune(ForumList);
            } else if (choice == "pruneuser") {
                if (in("deletename").str().empty()) p.Refuse("您没有输入要删除的用户名!");
                edit_prunesuer(ForumList, p.Db());
            } else if (choice == "edit") {
                Edit_Edit(ForumList);
            }
        } else {
            WriteEditMenu();
        }
    });
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
