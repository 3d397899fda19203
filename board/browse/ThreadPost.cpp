#include "board/browse/ThreadPost.h"

#include "board/converter/Converter.h"
#include "board/authors/PostPanel.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Response.h"

namespace board {

namespace {

using platform::Variant;

bool IsTrue(const Variant& flag) { return !flag.isNull() && platform::CBool(flag); }

// Without copying a long text to look at it.
bool HasText(const Variant& value) { return value.isString() ? !value.rawString().empty() : !value.str().empty(); }

std::string FavouriteLink(const PostValues& post) {
    if (!post["parentid"].isNull()) return "";
    return post.Link("favor.asp?id=" + post.id + "&GroupName=" + post.forumUrl + "&Subject=" + post.subjectUrl,
                     "<img src=images/favor.gif border=0 alt=收藏该主题供以后查看>");
}

std::string EditLink(const PostValues& post) {
    return post.Link("posting.asp?Forum=" + post.forumUrl + "&Topic=" + post.id + "&TopicSubject=" +
                         post.subjectUrl + "&action=editpost",
                     "<img src=images/edit.gif border=0 alt=编辑/删除贴子>");
}

std::string QuoteLink(const PostValues& post, const ThreadTopic& topic) {
    return post.Link("posting.asp?quotenum=" + post.id + "&action=replywquote&forum=" + topic.forumUrl +
                         "&topic=" + topic.id + "&TopicSubject=" + topic.subjectUrl,
                     "<img src=images/quote.gif border=0 alt=引用这个贴子回复>");
}

std::string CopyLink(const PostValues& post) {
    return post.Link("posting.asp?action=copypost&topic=" + post.id, "<img src=images/copy.gif border=0 alt=复制>");
}

std::string MailLink(const PostValues& post) {
    return post.Link("download.asp?topic=" + post.id,
                     "<img src=images/mailto.gif border=0 alt=将本贴子内容通过email打包下载>");
}

std::string IpLink(const PostValues& post, const ThreadTopic& topic) {
    return post.Link("ubbmisc.asp?forum=" + topic.forumUrl + "&action=getip&topic=" + post.id,
                     "<img src=images/ip.gif border=0" + post.Alt("管理员查看" + post.user + "的IP") + ">");
}

// The links both styles show together, profile to mail.
std::string SharedLinks(const PostValues& post) {
    return ProfileLink(post) + EmailLink(post) + HomepageLink(post);
}

std::string ActionLinks(const PostValues& post, const ThreadTopic& topic) {
    return FavouriteLink(post) + MessageLink(post) + SearchLink(post) + EditLink(post) + QuoteLink(post, topic) +
           CopyLink(post) + MailLink(post);
}

// Message, edit history and signature, each text through its own converter.
void WriteBody(platform::Response& out, const PostValues& post) {
    const Variant& message = post["message"];
    if (HasText(message)) {
        out.Write(CachedPostHtml(message, post["smiles"]));
        const Variant& history = post["EditHistory"];
        if (!history.isNull()) out.Write("<div align=right><p align=right>" + history.str() + "</p></div>");
    }
    if (IsTrue(post["usesign"])) {
        const Variant& signature = post["signature"];
        if (HasText(signature)) {
            out.Write("<p><hr>");
            out.Write(CachedPostHtml(signature, Variant(false)));
        }
    }
}

void WriteUbbPostCell(platform::Response& out, const PostValues& post, const ThreadTopic& topic) {
    out.Write(PostIcon(post) + "&nbsp;");
    out.Write("发表于 " + core::FormatPostTime(post["PostTime"]).str() + "&nbsp;&nbsp;");
    out.Write(SharedLinks(post));
    out.Write(IcqLink(post) + OicqImage(post));
    out.Write(ActionLinks(post, topic));
    out.Write(IpLink(post, topic));
    out.Write("<hr>");
    WriteBody(out, post);
}

void WriteClubPostCell(platform::Response& out, const PostValues& post, const ThreadTopic& topic) {
    out.Write("<table border=0 width=100%><tr><td width=18>" + PostIcon(post) + "</td>");
    out.Write("<td>发表于 " + core::FormatPostTime(post["PostTime"]).str() + "</td>");
    out.Write("<td align=right>" + IcqLink(post) + OicqImage(post) + IpLink(post, topic) + "</td></tr></table>");
    out.Write("<hr>");
    WriteBody(out, post);
    out.Write("<hr>");
    out.Write(SharedLinks(post));
    out.Write(ActionLinks(post, topic));
}

}  // namespace

void WritePostRow(platform::Response& out, platform::Recordset& rs, const ThreadTopic& topic, int i) {
    const core::Settings& s = core::CurrentSettings();
    const PostValues post(rs);
    out.Write("<tr " + (i % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) + ">");
    WriteAuthorCell(out, post, "注册：");
    out.Write("<td valign=top>");
    if (s.BBStyle == "UBB")
        WriteUbbPostCell(out, post, topic);
    else if (s.BBStyle == "CLUB")
        WriteClubPostCell(out, post, topic);
    out.Write("</td></tr>");
}

}  // namespace board
