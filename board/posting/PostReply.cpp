// posting.asp, action=postreply: stores a reply to a topic and mails the
// topic's author when the topic asked for it.
#include "board/search/SearchIndexQueue.h"
#include "board/posting/PostRow.h"
#include "board/posting/PostingPages.h"
#include "board/posting/PostingTexts.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::Variant;

constexpr const char* kNoSuchTopic = "对不起，该主题已经不存在，可能已经被删除！";

// The notice to the topic's author, sent after the answer: a slow or failing
// relay delays or loses the notice (with a log line), never the reply.
void NotifyTopicAuthor(platform::Connection& con, const std::string& author, const std::string& poster,
                       const std::string& subject) {
    const core::Settings& s = core::CurrentSettings();
    // Names compare ignoring case: that is one member.
    if (!s.MailNotify || platform::EqualsIgnoreCase(author, poster)) return;
    platform::Recordset rs;
    rs.Open("select username, email from register where username=?", con, {Variant(author)});
    if (rs.Eof() || rs.Fields("email").isNull()) return;
    const Variant name = rs.Fields("username");
    const Variant address = rs.Fields("email");
    rs.Close();
    const std::string body = HtmlEncode(author) + "," + HtmlEncode(poster) + "回复了您在" + s.BBName +
                             "中发表的主题:" + HtmlEncode(subject) + "，请到以下地址查看详细情况<a href=" + s.BBURL +
                             ">" + s.BBName + "</a><br>谢谢!";
    core::QueueMail(Variant(s.BBName), Variant(s.BBEMail), name, address, Variant("您的贴子已经有人回复了！"),
                    Variant(body));
}

}  // namespace

void PostingPages::PostReply() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        Submission s = CheckSubmission(p, PostKind::Reply);
        platform::Connection& con = p.Db();
        AnsweredPost topic;
        {
            // The topic's checks and the new row in one write: a topic
            // deleted or closed meanwhile gets no reply.
            platform::Transaction write(con);
            const std::optional<AnsweredPost> found = ReadAnsweredPost(con, s.topic);
            if (!found) p.Refuse(kNoSuchTopic);
            topic = *found;
            const core::ForumAdmission entry = CheckForum(con, topic.forum);
            if (!entry.exists) p.Refuse(kNoSuchForum);
            if (!entry.admitted) p.Refuse(kNotAdmitted);
            CheckPostingRule(p, PostKind::Reply, topic.forum, entry, s.poster);
            if (!topic.isTopic) p.Refuse(kNoSuchTopic);
            if (topic.closed) p.Refuse(kTopicClosed);
            AddPostRow(con, {{"parentid", Variant(s.topic)},
                             {"message", Variant(s.message)},
                             {"subject", Variant(s.subject)},
                             {"ForumName", Variant(topic.forum)},
                             {"username", Variant(s.poster.name)},
                             {"icon", Variant(s.icon)},
                             {"smiles", Variant(s.smiles ? 1 : 0)},
                             {"useSign", s.signature ? Variant(true) : Variant()},
                             {"ip", Request().ServerVariables("Remote_addr")}});
            write.Commit();
            IndexQueuedPostsSoon(con);
        }
        if (topic.notify) NotifyTopicAuthor(con, topic.author, s.poster.name, s.subject);
        Wait(HtmlEncode(s.poster.name) + "，谢谢您回复话题", "newsdetail.asp?id=" + std::to_string(s.topic),
             "您回复的话题", 2);
    });
}

}  // namespace board
