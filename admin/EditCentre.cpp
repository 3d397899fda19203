// edit.asp: the post editing centre. Edit checks the caller for every step,
// carries out the three writing steps (a topic's new subject, deleting a
// topic, pruning the checked topics) and hands the other steps to the
// thread editor (admin/ThreadEditor.cpp) and the forum choice and topic
// lists (admin/EditLists.cpp). Without a known step it shows the menu.
#include <vector>

#include "admin/Admin.h"
#include "admin/forms/EditForms.h"
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
            out.Write(forms::EditMenu(SessionLogin()));
        }
    });
}

}  // namespace admin
