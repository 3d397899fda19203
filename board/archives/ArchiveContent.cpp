// archivecontent.asp: one archived topic with its replies, as filed in one
// archive, ten posts a page. Read-only: no hits counted, no smiley codes,
// no edit history; the archive's management links go to the moving and
// deleting pages, each post's edit link to the archived post form.
#include <algorithm>
#include <cstdint>
#include <string>

#include "board/archives/ArchivePages.h"
#include "board/archives/ArchivedTopic.h"
#include "board/converter/Converter.h"
#include "board/authors/PostPanel.h"
#include "board/posting/ModerationForm.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

using platform::HtmlEncode;
using platform::UrlEncode;
using platform::Variant;

constexpr int kPostsPerPage = 10;

// The thread in one archive: the topic and its replies filed with it.
const std::string kThreadRows = " from archivelist a where " + ArchivedThreadRows("a");

const std::string kPageQuery =
    "select a.postid, a.parentid, a.forumname, a.username, a.subject, a.message, a.posttime, a.usesign,"
    " a.icon as posticon, archive.archivename,"
    " " + std::string(board::kAuthorColumns) +
    " from archivelist a left outer join register on a.username = register.username"
    " inner join archive on a.archiveid = archive.archiveid"
    " where " + ArchivedThreadRows("a") + " order by a.postid limit ?3 offset ?4";

// What the page says of the thread, from the first post of its page.
struct ShownThread {
    std::string id;         // the topic's postid
    std::string archiveId;
    std::string archiveName;
    std::string forum;
    std::string subject;
    std::string address;    // archivecontent.asp?id=..&archiveid=..
    std::int16_t page = 1;
    std::int16_t pageCount = 1;
};

void WriteUbbHeader(platform::Response& out, const ShownThread& t) {
    const Settings& s = CurrentSettings();
    out.Write("<table border=0 width=" + s.TableWidth + "><tr>");
    out.Write("<td>" + s.Logo + "<br><br> <br><img SRC=images/vuvedirirminiicon.gif BORDER=0> <b>论坛信使：</b>"
              "<a HREF='ubbmisc.asp?action=sendthread&Subject=" + UrlEncode(t.subject) +
              "'>发送本页给你的朋友！</a></td>");
    out.Write("<td valign=top><p align=left><img src=images/open.gif align=absmiddle>&nbsp;&nbsp;"
              "<a href=default.asp><acronym title=返回讨论区总页.><span class=smallFont>" + s.BBName +
              "</span></acronym></a> <br>");
    out.Write("<img src=images/tline.gif align=absmiddle><img src=images/open.gif align=absmiddle>&nbsp;&nbsp;"
              "<span class=smallFont><a href=archivelist.asp?archiveid=" + t.archiveId + ">" +
              HtmlEncode(t.archiveName) + "</a></span><br>");
    out.Write("<img src=images/tline3.gif align=absmiddle><img src=images/open.gif align=absmiddle>&nbsp;&nbsp;"
              "<span class=smallFont>" + HtmlEncode(t.subject));
    if (t.pageCount > 1) out.Write(" (页 " + std::to_string(t.page) + ")");
    out.Write("</span></p>");
    out.Write("<p><span class=smallFont>" + GetNavBarHtml() + "</span></p></td></tr></table>");
}

std::string EditLink(const PostValues& post, const ShownThread& t) {
    return post.Link("'posting.asp?Forum=" + t.archiveId + "&Topic=" + post.id + "&TopicSubject=" + post.subjectUrl +
                         "&action=editarchive'",
                     "<img align=absmiddle border=0 alt=编辑/删除贴子 src=images/edit.gif >");
}

void WritePostRow(platform::Response& out, platform::Recordset& rs, const ShownThread& t, int i) {
    const Settings& s = CurrentSettings();
    const PostValues post(rs);
    out.Write("<tr " + (i % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) + ">");
    WriteAuthorCell(out, post, "资格：");
    out.Write("<td vAlign=top>" + PostIcon(post) + "&nbsp;发表于 " + FormatPostTime(post["PostTime"]).str() +
              "&nbsp;&nbsp;");
    out.Write(ProfileLink(post) + EmailLink(post) + HomepageLink(post) + IcqLink(post) + OicqImage(post) +
              MessageLink(post) + SearchLink(post) + EditLink(post, t));
    out.Write("<hr>");
    // Archived posts keep no smiley flag: their codes stay text.
    out.Write(PostHtml(post["message"], Variant()));
    const Variant& usesign = post["usesign"];
    const std::string signature = PostHtml(post["signature"], Variant());
    if (!usesign.isNull() && platform::CBool(usesign) && !signature.empty()) out.Write("<p><hr>" + signature);
    out.Write("</td></tr>");
}

void WriteThreadPage(platform::Response& out, platform::Recordset& rs, const ShownThread& t) {
    const Settings& s = CurrentSettings();
    const std::string pages = ThreadPageList(t.address, t.page, t.pageCount);
    out.Write("<table border=0 width=" + s.TableWidth + "><tr><td colspan=2>注意：这是一个归档话题。它是只读的。　"
              "<BR>此话题先前所在的论坛：" + HtmlEncode(t.forum) + "</td></tr><tr><td colspan=2>" + pages +
              "</td></tr></table>");

    out.Write(s.TableBorderOpen);
    out.Write("<table border=0 cellPadding=4 cellspacing=1 width=" + s.InnerTableWidth + "><tbody>");
    out.Write("<tr " + s.TableColorStrip + "><td vAlign=center width='18%' ><font color=" + s.TableStripTextColor +
              "><b>发表人</b></font></td><td vAlign=center ><font color=" + s.TableStripTextColor +
              "><b>主题:&nbsp;&nbsp;" + HtmlEncode(t.subject) + "</b></font></td></tr>");
    for (int i = 1; i <= kPostsPerPage && !rs.Eof(); ++i) {
        WritePostRow(out, rs, t, i);
        rs.MoveNext();
    }
    out.Write("</table>");
    out.Write(s.TableBorderClose);

    out.Write("<table border=0 width=" + s.TableWidth + "><tr><td >" + pages + "</td></tr></table>");
    const std::string keys = "&topic=" + t.id + "&archiveid=" + t.archiveId;
    out.Write("<table border=0 width=" + s.TableWidth +
              "><tr><td  align=right><b>这是个归档话题，你不能回复！</b></td></tr>"
              "<tr><td  align=center><b>管理选项：</b>&nbsp;<a href=archive.asp?action=transferarchive" + keys +
              ">移动归档话题</a>&nbsp;|&nbsp;<a href=posting.asp?action=deletearchive" + keys +
              ">删除归档话题</a>&nbsp;</td></tr></table>");
}

}  // namespace

void ArchivePages::ArchiveContent() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        const Settings& s = CurrentSettings();
        RecordVisit(p, "查看归档文件");
        const Variant idValue = Request()("id");
        if (!IsPositiveNumber(idValue)) p.Refuse("参数错误！");
        const std::int32_t topicId = platform::CLng(idValue);
        platform::Connection& con = p.Db();
        const std::optional<std::int32_t> archiveId = ArchiveOfRequest(con, Request()("archiveid"), topicId);
        if (!archiveId) p.Refuse("参数错误！");
        const platform::SqlParams thread = {Variant(*archiveId), Variant(topicId)};

        // The thread's first post is the topic itself; for a reply's id, that reply.
        platform::Recordset rs;
        rs.Open("select a.parentid, a.forumname" + kThreadRows +
                    " and exists (select 1 from archive where archive.archiveid = a.archiveid)"
                    " order by a.postid limit 1",
                con, thread);
        if (rs.Eof()) p.Refuse("没有该主题！");
        if (!rs.Fields("parentid").isNull()) p.Refuse("调用错误!");
        const std::string forum = rs.Fields("forumname").str();
        rs.Close();

        // A visitor not admitted to the forum learns nothing of the topic.
        RequireSightOf(*this, p, forum, true);

        ShownThread t;
        t.id = std::to_string(topicId);
        t.archiveId = std::to_string(*archiveId);
        t.address = "archivecontent.asp?id=" + t.id + "&archiveid=" + t.archiveId;
        const long long posts = platform::CountOf(con, "select count(*)" + kThreadRows, thread);
        t.pageCount = static_cast<std::int16_t>(std::min<long long>((posts + kPostsPerPage - 1) / kPostsPerPage,
                                                                    INT16_MAX));
        t.page = RequestedPage(Request()("page"), t.pageCount);

        rs.Open(kPageQuery, con,
                {Variant(*archiveId), Variant(topicId), Variant(kPostsPerPage),
                 Variant((t.page - 1) * kPostsPerPage)});
        t.archiveName = rs.Fields("archivename").str();
        t.forum = rs.Fields("forumname").str();
        t.subject = rs.Fields("subject").str();

        platform::Response& out = Response();
        out.Write(PageHead(HtmlEncode(t.subject) + " - " + s.BBName));
        out.Write(kIcqWindowScript);
        out.Write("<center>");
        if (s.BBStyle == "UBB")
            WriteUbbHeader(out, t);
        else if (s.BBStyle == "CLUB")
            out.Write(GetClubHeader());
        WriteThreadPage(out, rs, t);
        rs.Close();
        if (s.BBStyle == "UBB") out.Write(JumpTo(con, Variant(*archiveId), true));
        out.Write("</center>");
        out.Write(s.Copyright);
    });
}

}  // namespace board
