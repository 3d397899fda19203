// Whether a visitor may post in a forum: the forum's posting rule, as the
// forms and the handlers apply it, and the post a reply answers.
#include "board/posting/PostingPages.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

void PostingPages::CheckPostingRule(core::Page& p, PostKind kind, const std::string& forum,
                                    const core::ForumAdmission& entry, core::Credentials who) {
    const MayPost rule = WhoMayPost(entry.rule, kind);
    if (rule == MayPost::Members) return;
    if (rule == MayPost::Leaders) {
        const std::int16_t level = core::GetModeratorLevel(who.name, who.password, forum, p.Db());
        if (level == 1 || level == 2) return;
    }
    p.Refuse(PostingRuleRefusal(rule, kind));
}

void PostingPages::RefuseLoggedInVisitorByRule(core::Page& p, PostKind kind, const std::string& forum,
                                               const core::ForumAdmission& entry) {
    if (core::SessionLoggedIn(Session()))
        CheckPostingRule(p, kind, forum, entry, core::ActingCredentials(Request(), Session()));
}

std::optional<PostingPages::AnsweredPost> PostingPages::ReadAnsweredPost(platform::Connection& con,
                                                                         std::int32_t id) {
    platform::Recordset rs;
    rs.Open("select parentid, " + core::CurrentForumName("forumname") +
                " as forumname, username, message, status, emailnotification from post where postid=?",
            con,
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
