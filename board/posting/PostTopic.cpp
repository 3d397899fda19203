// posting.asp, action=posttopic: stores a new topic.
#include "board/search/SearchIndexQueue.h"
#include "board/posting/PostRow.h"
#include "board/posting/PostingPages.h"
#include "board/posting/PostingTexts.h"
#include "platform/Charset.h"
#include "platform/Connection.h"

namespace board {

using platform::Variant;

void PostingPages::posttopic() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        Submission s = CheckSubmission(p, PostKind::Topic);
        const std::string forum = Request().Form("Forum").str();
        platform::Connection& con = p.Db();
        // The forum's checks and the new row in one write: a forum deleted
        // or closed to the poster meanwhile gets no topic.
        platform::Transaction write(con);
        const core::ForumAdmission entry = CheckForum(con, forum);
        if (!entry.exists) p.Refuse(kNoSuchForum);
        if (!entry.admitted) p.Refuse(kNotAdmitted);
        CheckPostingRule(p, PostKind::Topic, forum, entry, s.poster);
        AddPostRow(con, {{"username", Variant(s.poster.name)},
                         {"Subject", Variant(s.subject)},
                         {"message", Variant(s.message)},
                         {"Forumname", Variant(forum)},
                         {"ip", Request().ServerVariables("Remote_addr")},
                         {"smiles", Variant(s.smiles ? 1 : 0)},
                         {"useSign", s.signature ? Variant(true) : Variant()},
                         {"emailNotification", s.notify ? Variant(true) : Variant()},
                         {"icon", Variant(s.icon)}});
        write.Commit();
        IndexQueuedPostsSoon(con);
        Wait(platform::HtmlEncode(s.poster.name) + ",谢谢您发表新主题", "list.asp?groupname=" + platform::UrlEncode(forum),
             platform::HtmlEncode(forum) + "贴子列表", 2);
    });
}

}  // namespace board
