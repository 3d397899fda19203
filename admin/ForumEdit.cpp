// forum.asp: the edit form of one forum and its save, which renames,
// changes the rules and moderators of, or deletes the forum. Every save is
// one transaction over all tables that name the forum (core/NameCascades.h)
// but the posts of a renamed or deleted forum, which follow in batches.
#include "admin/Admin.h"
#include "admin/ForumRules.h"
#include "admin/forms/ForumForms.h"
#include "core/ForumChanges.h"
#include "core/NameCascades.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

void Admin::ForumEditForm(core::Page& p) {
    RequireAdministrator(p, SessionUserName(), SessionPassword(), "对不起，找不到该用户");
    const std::string forumname = Request()("forumname").str();
    platform::Recordset rs;
    rs.Open("select * from forum where forumname=?", p.Db(), {forumname});
    if (rs.Eof()) p.Refuse("对不起，该论坛不存在！");

    std::vector<std::string> moderators;
    platform::Recordset current;
    current.Open("select moderater from moderated where forum=?", p.Db(), {forumname});
    for (; !current.Eof(); current.MoveNext()) moderators.push_back(current.Fields(0).str());

    const forms::ForumFields forum{rs.Fields("forumname").str(), rs.Fields("catalog").str(),
                                   rs.Fields("restrict").str(), rs.Fields("forumpassword").str(),
                                   rs.Fields("descript").str()};
    Response().Write(forms::EditForumForm(SessionLogin(), forum, ForumCatalogs(p.Db()), moderators));
}

void Admin::ForumSubmitEdit(core::Page& p) {
    const platform::Request& in = Request();
    const auto [name, password] = PostedLogin();
    if (name.empty() || password.empty()) p.Refuse("请输入用户名、口令！此为必须输入项目");
    RequireAdministrator(p, name, password, "对不起，没有发现该用户");
    // The stored name as the form was opened for it: a name kept with blanks
    // around it from earlier must still be found.
    const std::string oldforumname = in("oldforumname").str();
    if (in("deleteforum").str() == "on") {
        ForumSubmitDelete(p, oldforumname);
        return;
    }

    const std::string forumname = platform::Trim(in("forumname").str());
    const std::string catalog = in("newcatalog").str() == "on" ? in("newcatalogname").str() : in("catalog").str();
    if (forumname.empty() || catalog.empty()) p.Refuse("请输入论坛名称和类别！此为必须输入项目");
    if (forumname != oldforumname) RefuseUnusableForumName(p, forumname, oldforumname);

    platform::Connection& con = p.Db();
    platform::Transaction tx(con);
    platform::Recordset exists;
    exists.Open("select forumname from forum where forumname=?", con, {oldforumname});
    if (exists.Eof()) p.Refuse("错误，该版面已不存在！");
    exists.Close();
    if (forumname != oldforumname) core::RenameEverywhere(con, core::NameOf::Forum, oldforumname, forumname);
    // By now the row carries the new name.
    const bool isPrivate = in("private").str() == "private";
    con.Execute("update forum set [restrict]=?, forumpassword=?, forumname=?, descript=?, catalog=? "
                "where forumname=?",
                {isPrivate ? "private" : in("topicrestrict").str() + "&" + in("replyrestrict").str(),
                 isPrivate ? platform::Variant(platform::Trim(in("ForumPassword").str())) : platform::Variant::null(),
                 forumname, in("descript"), catalog, forumname});

    for (const std::string& member : in.Form().Values("deleteModerater")) {
        con.Execute("delete from moderated where forum=? and moderater=?", {forumname, member});
        ClearIdleModeratorStatus(con, member);
    }
    const std::string moderator = in("Moderater").str();
    if (!moderator.empty()) AppointModerator(con, forumname, moderator, "Moderater");
    StoreModeratorList(con, forumname);
    EndForumChange(tx);
    if (forumname != oldforumname) core::FinishForumChangesSoon(con.FilePath());
}

// The forum goes with its moderator rows, announcement targets and
// subscriptions (core/NameCascades.h), its posts in batches after the
// answer (core/ForumChanges.h); archived copies of its topics stay in
// their archives.
void Admin::ForumSubmitDelete(core::Page& p, const std::string& oldforumname) {
    platform::Connection& con = p.Db();
    platform::Transaction tx(con);
    std::vector<std::string> moderators;
    platform::Recordset rs;
    rs.Open("select forumname from forum where forumname=?", con, {oldforumname});
    if (rs.Eof()) p.Refuse("错误，该版面已不存在！");
    rs.Close();
    rs.Open("select moderater from moderated where forum=?", con, {oldforumname});
    for (; !rs.Eof(); rs.MoveNext()) moderators.push_back(rs.Fields(0).str());
    rs.Close();
    core::DeleteEverywhere(con, core::NameOf::Forum, oldforumname);
    for (const std::string& member : moderators) ClearIdleModeratorStatus(con, member);
    EndForumChange(tx);
    core::FinishForumChangesSoon(con.FilePath());
}

}  // namespace admin
