// Table `post` as the edit pages read and change it, and the post id they
// act on.
#include "board/posting/PostEdit.h"
#include "core/ForumNames.h"
#include "core/InputChecks.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

using platform::Variant;

EditedPost EditedPostOfRow(platform::Recordset& rs, std::int32_t id) {
    EditedPost post;
    post.id = id;
    const Variant& parent = rs.Fields("parentid");
    post.parentId = parent.isNull() ? 0 : platform::CLng(parent);
    post.forum = rs.Fields("forumname").str();
    post.author = rs.Fields("username").str();
    post.subject = rs.Fields("subject").str();
    post.message = rs.Fields("message").str();
    post.editHistory = rs.Fields("edithistory").str();
    post.ip = rs.Fields("ip").str();
    post.postTime = rs.Fields("posttime");
    return post;
}

std::optional<EditedPost> LivePosts::Find(platform::Connection& con, std::int32_t id) {
    platform::Recordset rs;
    rs.Open("select parentid, " + core::CurrentForumName("forumname") +
                " as forumname, username, subject, message, edithistory, ip, posttime, smiles from post where postid=?",
            con, {Variant(id)});
    if (rs.Eof()) return std::nullopt;
    EditedPost post = EditedPostOfRow(rs, id);
    const Variant& smiles = rs.Fields("smiles");
    post.smiles = !smiles.isNull() && platform::CBool(smiles);
    return post;
}

void LivePosts::SaveEdit(platform::Connection& con, std::int32_t id, const std::string& message,
                         const std::string& history, bool smiles) {
    con.Execute("update post set message=?, edithistory=?, smiles=? where postid=?",
                {Variant(message), Variant(history), Variant(smiles ? 1 : 0), Variant(id)});
}

void LivePosts::RenameThread(platform::Connection& con, std::int32_t thread, const std::string& subject) {
    con.Execute("update post set subject=?2 where postid=?1 or parentid=?1", {Variant(thread), Variant(subject)});
}

void LivePosts::DeleteThread(platform::Connection& con, std::int32_t id) {
    con.Execute("delete from post where postid=?1 or parentid=?1", {Variant(id)});
}

Forward ForumTopicList(const std::string& forum) {
    return {"list.asp?groupname=" + platform::UrlEncode(forum), platform::HtmlEncode(forum) + "贴子列表"};
}

std::int32_t RequestedPostId(core::Tarnbell& page, core::Page& p, const std::string& refusal) {
    const Variant id = page.Request()("topic");
    if (!core::IsPositiveNumber(id)) p.Refuse(refusal);
    return platform::CLng(id);
}

}  // namespace board
