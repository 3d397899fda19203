// edit.asp: the post editing centre. Its steps (admin/AdminRoutes.cpp) run
// in Edit's panel page and check the caller; here the three writing steps
// (a topic's new subject, deleting a topic, pruning the checked topics) and
// the choices that lead to the thread editor (admin/ThreadEditor.cpp) and
// the forum choice and topic lists (admin/EditLists.cpp). Without a known
// step the page shows the menu.
#include <vector>

#include "admin/Admin.h"
#include "admin/forms/EditForms.h"
#include "board/posting/PostEdit.h"
#include "core/ForumNames.h"
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
    rs.Open("select " + core::CurrentForumName("forumname") + " from post where postid=?" +
                (topicOnly ? " and parentid is null" : ""),
            con, {id});
    if (rs.Eof()) return false;
    forum = rs.Fields(0).str();
    return true;
}

const char* const kYouMayNot = "对不起，您不能进行该操作！";

void WriteEditDone(platform::Response& out, const std::string& what) {
    out.Write("<br><br><center><p><h3>" + what + "，重新进入<a href=edit.asp>编辑和删除贴子功能</a></h3></p></center>");
}

}  // namespace

void Admin::Edit(const PanelStep& step) {
    RunPanelPage("编辑和删除贴子 - " + core::CurrentSettings().BBName, step);
}

void Admin::Edit_Menu(core::Page&) { Response().Write(forms::EditMenu(SessionLogin())); }

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
    const std::string ForumList = RequireLeader(p, SessionLogin(), kRefused).forums;
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

}  // namespace admin
