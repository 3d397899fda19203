// Whether a visitor may post in a forum: the private-forum admission and
// the forum's posting rule, as the forms and the handlers apply them.
#include "board/posting/PostingPages.h"
#include "core/Module1.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

bool PostingPages::AdmittedToForum(const std::string& forum) {
    return CurrentForumRestrict != "private" || !Session()(forum).isEmpty();
}

void PostingPages::CheckPostingRule(core::Page& p, PostKind kind, const std::string& forum,
                                    core::Credentials& who) {
    const MayPost rule = WhoMayPost(CurrentForumRestrict, kind);
    if (rule == MayPost::Members) return;
    if (rule == MayPost::Leaders) {
        const std::int16_t level = core::GetModeratorLevel(who.userName, who.password, forum, p.Db());
        if (level == 1 || level == 2) return;
    }
    p.Refuse(PostingRuleRefusal(rule, kind));
}

void PostingPages::RefuseLoggedInVisitorByRule(core::Page& p, PostKind kind, const std::string& forum) {
    if (!core::IsLoggedIn(Session())) return;
    core::Credentials who = core::CredentialsOf(Session(), Request().Form());
    CheckPostingRule(p, kind, forum, who);
}

}  // namespace board

namespace board {

std::optional<PostingPages::AnsweredPost> PostingPages::ReadAnsweredPost(platform::Connection& con,
                                                                         std::int32_t id) {
    platform::Recordset rs;
    rs.Open("select parentid, forumname, username, message, status, emailnotification from post where postid=?", con,
            {platform::Variant(id)});
    if (rs.Eof()) return std::nullopt;
    AnsweredPost post;
    post.isTopic = rs.Fields("parentid").isNull();
    // Compared as the thread view does, which shows such a topic locked.
    post.closed = platform::LCase(rs.Fields("status").str()) == "close";
    const platform::Variant& notify = rs.Fields("emailnotification");
    post.notify = !notify.isNull() && platform::CBool(notify);
    post.forum = rs.Fields("forumname").str();
    post.author = rs.Fields("username").str();
    post.message = rs.Fields("message").str();
    return post;
}

}  // namespace board
