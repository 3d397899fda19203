// posting.asp, action=reply and action=replywquote: the reply form, empty or
// quoting a post of the thread, with the whole thread below for review.
#include <cstdlib>

#include "board/converter/Converter.h"
#include "board/posting/PostingForm.h"
#include "board/posting/PostingPages.h"
#include "board/posting/PostingTexts.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::Variant;

constexpr const char* kNoSuchTopic = "该主题已不存在，可能已经被删除，请检查！";

// The topic id of the plain reply form: any number, its sign dropped; a
// missing value reads as 0, which names no post.
std::optional<std::int32_t> PlainTopicId(const Variant& value) {
    if (!platform::IsNumeric(value)) return std::nullopt;
    try {
        const std::int64_t id = std::llabs(static_cast<std::int64_t>(platform::CLng(value)));
        return platform::CLng(Variant(static_cast<long long>(id)));
    } catch (const platform::RuntimeError&) {
        return std::nullopt;
    }
}

// The editor's text for a quoted post: who said it, then the text inside a
// quote block, encoded so that the text area shows it as it was typed.
std::string QuoteText(const std::string& author, const std::string& quoted) {
    if (quoted.empty()) return {};
    return HtmlEncode(author) + "在上个贴子中说\r\n[quote] " + HtmlEncode(quoted) + " [/quote]";
}

// The quoted post's author and text, when the post belongs to the thread.
std::pair<std::string, std::string> QuotedPost(platform::Connection& con, std::int32_t topicId, std::int32_t quoteId) {
    platform::Recordset rs;
    rs.Open("select username, message from post where postid=? and parentid=?", con,
            {Variant(quoteId), Variant(topicId)});
    if (rs.Eof()) return {};
    return {rs.Fields("username").str(), rs.Fields("message").str()};
}

// The UBB style's header: the forum and the topic, and the way to register.
std::string UbbHeader(const std::string& forum, const std::string& subject) {
    const core::Settings& s = core::CurrentSettings();
    return "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td><td><b>论坛：</b>" +
           HtmlEncode(forum) + "<br><b>话题：</b>" + HtmlEncode(subject) + "</td></tr></table><table border=0 width=" +
           s.TableWidth + "><tr><td><a href=signup.asp><b>我想注册？</b></a></td></tr></table>";
}

// The topic and all its replies, oldest first, converted as the thread
// view shows them, without times, signatures or links.
void WriteThreadReview(platform::Response& out, platform::Connection& con, std::int32_t topicId) {
    const core::Settings& s = core::CurrentSettings();
    out.Write("<center>" + s.TableBorderOpen + "<table align=center cellpadding=4 cellspacing=1 width=" +
              s.InnerTableWidth + "><tr " + s.TableColorStrip + "><td colspan=2 align=center><font color=" +
              s.TableStripTextColor + "><b>话题回顾</b></font></td></tr>");
    platform::Recordset rs;
    rs.Open("select username, message, smiles from post where postid=?1 or parentid=?1 order by postid", con,
            {Variant(topicId)});
    std::string rows;
    for (int row = 2; !rs.Eof(); ++row, rs.MoveNext()) {
        rows += "<tr " + (row % 2 == 0 ? s.AltColumnColor2 : s.AltColumnColor1) +
                "><td noWrap vAlign=top width='18%'>" + HtmlEncode(rs.Fields("username").str()) +
                "</td><td vAlign=top>" + PostHtml(rs.Fields("message"), rs.Fields("smiles")) + "</td></tr>";
    }
    out.Write(rows);
    out.Write("</table>" + s.TableBorderClose + "</center>");
}

}  // namespace

void PostingPages::reply() { ReplyPage(false); }

void PostingPages::replywquote() { ReplyPage(true); }

void PostingPages::ReplyPage(bool quoting) {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& request = Request();
        platform::Response& out = Response();
        StartPage(p, {quoting ? "引用话题回复" : "回复话题", (quoting ? "引用话题回复 - " : "回复话题 - ") + s.BBName,
                      "", std::nullopt});

        std::int32_t topicId = 0;
        std::int32_t quoteId = 0;
        if (quoting) {
            if (!core::IsPositiveNumber(request("topic"))) p.Refuse("参数错误！");
            topicId = platform::CLng(request("topic"));
            if (!core::IsPositiveNumber(request("quotenum"))) p.Refuse("参数错误！");
            quoteId = platform::CLng(request("quotenum"));
        } else {
            const std::optional<std::int32_t> id = PlainTopicId(request("topic"));
            if (!id) p.Refuse("参数错误");
            topicId = *id;
        }
        const std::string subject = (quoting ? request("TopicSubject") : request.QueryString("TopicSubject")).str();

        // Gated on the topic's own forum, whatever forum the link names.
        platform::Connection& con = p.Db();
        const std::optional<AnsweredPost> topic = ReadAnsweredPost(con, topicId);
        if (!topic) p.Refuse(kNoSuchTopic);
        const core::ForumAdmission entry = CheckForum(con, topic->forum);
        if (!entry.exists) p.Refuse(kNoSuchForum);
        if (!entry.admitted) {
            PrivateForum(topic->forum);
            p.Stop();
        }
        RefuseLoggedInVisitorByRule(p, PostKind::Reply, topic->forum, entry);
        if (!topic->isTopic) p.Refuse(kNoSuchTopic);
        if (topic->closed) p.Refuse(kTopicClosed);

        std::string editorText;
        if (quoting) {
            const auto [author, quoted] =
                quoteId == topicId ? std::make_pair(topic->author, topic->message) : QuotedPost(con, topicId, quoteId);
            editorText = QuoteText(author, quoted);
        }

        out.Write("<center>");
        WriteBoardHeader(UbbHeader(topic->forum, subject));
        out.Write("<FORM ACTION=posting.asp METHOD=POST NAME=PostTopic>");
        out.Write(s.TableBorderOpen);
        out.Write("<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
        out.Write(WhoMayPostRows("为了回复消息，您必须先注册"));
        out.Write(CredentialRows(*this));
        out.Write(IconRow());
        out.Write(MessageRow("您的回复：", editorText));
        out.Write(OptionsRow(OptionBox("Signature", true, kSignatureLabel, kSignatureNote) +
                             OptionBox("DisableSmilies", false, kSmiliesLabel, kSmiliesNote)));
        out.Write("</table>");
        out.Write(s.TableBorderClose);
        out.Write("<p>" + HiddenField("forum", topic->forum) + HiddenField("action", "postreply") +
                  HiddenField("Topic", std::to_string(topicId)) + HiddenField("TopicSubject", subject) +
                  FormButtons("发送回贴") + "</p></FORM>");
        out.Write(NotesBelowForm());
        out.Write("</center>");
        WriteThreadReview(out, con, topicId);
    });
}

}  // namespace board
