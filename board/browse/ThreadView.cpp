// newsdetail.asp: one thread, HotCount posts a page, with the step to the
// next newer or older topic of a forum ("findthread").
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "board/authors/PostPanel.h"
#include "board/browse/ThreadHits.h"
#include "board/browse/ThreadPost.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "board/browse/BrowsePages.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

using platform::HtmlEncode;
using platform::UrlEncode;
using platform::Variant;

// The thread is the topic and its replies: postid = id or parentid = id,
// listed in postid order straight from the indexes.
const std::string kThreadIds = "select ? as postid union all select postid from post where parentid = ?";

// The thread's first row, which is the topic itself (or, for a reply's id,
// that reply). Of the replies only the first can come first, so the
// thread's other ids are never read.
std::string FirstRowQuery() {
    return "select postid, parentid, " + core::CurrentForumName("forumname") +
           " as forumname, subject, status from post where postid in"
           " (select ?1 union all select min(postid) from post where parentid = ?1)"
           " order by postid limit 1";
}

// One page of the thread: its ids are picked on the index first, so only
// the page's own posts are read and joined.
std::string PageQuery() {
    return "select post.postid, post.parentid, " + core::CurrentForumName("post.forumname") +
           " as forumname, post.username, post.subject, post.message,"
           " post.posttime, post.smiles, post.usesign, post.edithistory, post.icon as posticon,"
           " " + std::string(board::kAuthorColumns) +
           " from post left outer join register on post.username = register.username"
           " where post.postid in (" + kThreadIds + " order by 1 limit ? offset ?)"
           " order by post.postid";
}

std::string NewTopicButton(const board::ThreadTopic& topic, const std::string& image) {
    return "<a href=posting.asp?action=newtopic&forum=" + topic.forumUrl + ">" + image + "</a>";
}

std::string ReplyButton(const board::ThreadTopic& topic, const std::string& forumKey, const std::string& image) {
    return "<a href=posting.asp?action=reply&topic=" + topic.id + "&" + forumKey + "=" + topic.forumUrl +
           "&TopicSubject=" + topic.subjectUrl + ">" + image + "</a>";
}

// The buttons under the board header: new topic, and reply while the topic is open.
std::string HeaderButtons(const board::ThreadTopic& topic) {
    const Settings& s = CurrentSettings();
    std::string html = NewTopicButton(topic, "<img src=images/" + s.BBTopic + " border=0 alt=新开主题>");
    html += "&nbsp;&nbsp;";
    if (topic.status == "open")
        html += ReplyButton(topic, "forum", "<img src=images/" + s.BBReply + " border=0 alt=回复该主题>");
    return html;
}

std::string SendToFriendLine(const board::ThreadTopic& topic) {
    return "<img src=images/vuvedirirminiicon.gif width=33 height=11> <b>论坛信使：</b>"
           "<a href=ubbmisc.asp?action=sendthread&Subject=" + topic.subjectUrl + ">推荐本页给你的朋友！</a>";
}

void WriteUbbHeader(platform::Response& out, const board::ThreadTopic& topic, std::int16_t page,
                    std::int16_t pageCount) {
    const Settings& s = CurrentSettings();
    out.Write("<table border=0 width=" + s.TableWidth + "><tr>");
    out.Write("<td valign=top>" + s.Logo + "<br><br> <br>" + SendToFriendLine(topic) + "</td>");
    out.Write("<td><p align=left class=smallFont>");
    out.Write("<img src=images/open.gif> <a href=default.asp title=返回讨论区总页.>" + s.BBName + "</a><br>");
    out.Write("<img src=images/tline.gif><img src=images/open.gif> <a href=list.asp?groupname=" + topic.forumUrl +
              ">" + HtmlEncode(topic.forum) + "</a><br>");
    out.Write("&nbsp;&nbsp;&nbsp;&nbsp;<img src=images/tline3.gif><img src=images/open.gif> " +
              HtmlEncode(topic.subject));
    if (pageCount >= 2) out.Write(" (页 " + std::to_string(page) + ")");
    out.Write("</p><p align=center>" + HeaderButtons(topic) + "</p>");
    out.Write("<p class=smallFont>" + GetNavBarHtml() + "</p></td></tr></table>");
}

void WriteClubHeader(platform::Response& out, const board::ThreadTopic& topic) {
    const Settings& s = CurrentSettings();
    out.Write("<table border=0 width=" + s.TableWidth + ">");
    out.Write("<tr><td colspan=2 align=center>" + s.Logo + "</td></tr>");
    out.Write("<tr><td colspan=2 align=right>" + GetNavBarHtml() + "</td></tr>");
    out.Write("<tr><td>" + SendToFriendLine(topic) + "</td><td align=center>" + HeaderButtons(topic) +
              "</td></tr></table>");
}

// Page list on the left, the steps to the neighbouring topics on the right.
void WritePageBarRow(platform::Response& out, const board::ThreadTopic& topic, std::int16_t page,
                     std::int16_t pageCount) {
    out.Write("<tr><td>");
    out.Write(board::ThreadPageList("newsdetail.asp?id=" + topic.id, page, pageCount));
    const std::string step = "<a href=newsDetail.asp?action=findthread&Forum=" + topic.forumUrl + "&go=";
    out.Write("</td><td align=right>" + step + "newer&id=" + topic.id + ">上一贴</a>&nbsp;|&nbsp;" + step +
              "older&id=" + topic.id + ">下一贴</a></td></tr>");
}

void WriteModeratorOptions(platform::Response& out, const board::ThreadTopic& topic) {
    const Settings& s = CurrentSettings();
    const std::string keys = "&topic=" + topic.id + "&topicsubject=" + topic.subjectUrl;
    out.Write("<table border=0 width=" + s.TableWidth + "><tr><td align=center><b>管理选项：</b>");
    if (topic.status == "close")
        out.Write("<a href=Posting.asp?action=OpenThread" + keys + "&Forum=" + topic.forumUrl + ">开放话题</a>&nbsp;");
    else
        out.Write("<a href=Posting.asp?action=CloseThread" + keys + "&Forum=" + topic.forumUrl + ">关闭话题</a>&nbsp;");
    out.Write("|&nbsp;<a href=archive.asp?action=transfer" + keys + "&forum=" + topic.forumUrl + ">移动/归档</a>&nbsp;");
    out.Write("|&nbsp;<a href=posting.asp?action=deletepost" + keys + "&forum=" + topic.forumUrl + ">删除话题</a>&nbsp;");
    out.Write("</td></tr><tr><td><p>");
    out.Write(NewTopicButton(topic, "<img alt=新开主题 border=0 src='images/" + s.BBTopic + "'>") + "&nbsp;&nbsp;");
    if (topic.status == "open")
        out.Write(ReplyButton(topic, "Forum", "<img alt=回复该主题 border=0 src='images/" + s.BBReply + "'>") + "<br>");
    out.Write("</p></td></tr></table>");
}

// The id of the forum's nearest topic after (newer) or before (older) `from`,
// or Empty when there is none. A topic has no parent (null, or 0); each
// kind is looked up on its index.
Variant NeighbourTopic(platform::Connection& con, const std::string& forum, const Variant& from, bool newer) {
    const std::string beyond = newer ? "postid > ?2" : "postid < ?2";
    const std::string ofForum = core::ForumPostsCondition("forumname", "?1");
    platform::Recordset rs;
    rs.Open(std::string(newer ? "select min(postid)" : "select max(postid)") +
                " from (select postid from post where " + ofForum + " and parentid is null and " + beyond +
                " union all select postid from post where " + ofForum + " and parentid = 0 and " + beyond + ")",
            con, {Variant(forum), from});
    const Variant id = rs.Fields(0);
    return id.isNull() ? Variant() : id;
}

// A page of the thread's posts as HTML, with the subject of its first post:
// the same for every visitor, so built once and kept on the database handle
// until the file changes (a popular thread is read far more than written).
struct ThreadPagePosts {
    std::string firstSubject;
    std::size_t posts = 0;
    std::shared_ptr<const platform::EncodedText> html;
};

std::pair<std::shared_ptr<ThreadPagePosts>, std::size_t> BuildPagePosts(platform::Connection& con,
                                                                        const board::ThreadTopic& topic,
                                                                        std::int16_t page) {
    const Settings& s = CurrentSettings();
    platform::Recordset rs;
    rs.Open(PageQuery(), con,
            {Variant(topic.postid), Variant(topic.postid), Variant(s.HotCount), Variant((page - 1) * s.HotCount)});
    auto posts = std::make_shared<ThreadPagePosts>();
    platform::Response block;
    if (!rs.Eof()) posts->firstSubject = rs.Fields("Subject").str();
    for (int i = 1; i <= s.HotCount && !rs.Eof(); ++i) {
        board::WritePostRow(block, rs, topic, i);
        rs.MoveNext();
        ++posts->posts;
    }
    rs.Close();
    posts->html = block.BodyForWire();
    return {posts, 256 + posts->firstSubject.size() + posts->html->Bytes()};
}

std::shared_ptr<const ThreadPagePosts> PagePosts(platform::Connection& con, const board::ThreadTopic& topic,
                                                 std::int16_t page) {
    const Settings& s = CurrentSettings();
    return con.KeptOrBuilt<ThreadPagePosts>({"thread posts", topic.id, std::to_string(page), s.Fingerprint()},
                                            [&] { return BuildPagePosts(con, topic, page); });
}

// Everything between the page head and the jump box: headers, page bars,
// the page's posts and the moderator options.
void WriteThreadPage(platform::Response& out, const ThreadPagePosts& posts, const board::ThreadTopic& topic,
                     std::int16_t page, std::int16_t pageCount) {
    const Settings& s = CurrentSettings();
    out.Write(board::kIcqWindowScript);
    out.Write("<center>");
    if (s.BBStyle == "UBB")
        WriteUbbHeader(out, topic, page, pageCount);
    else if (s.BBStyle == "CLUB")
        WriteClubHeader(out, topic);

    out.Write("<table border=0  width=" + s.TableWidth + ">");
    if (topic.status == "close")
        out.Write("<tr><td colspan=2><img src=images/lock.gif>该话题已被锁定，不再接受回复&nbsp;</td></tr>");
    WritePageBarRow(out, topic, page, pageCount);
    out.Write("</table>");

    out.Write(s.TableBorderOpen);
    out.Write("<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<tr " + s.TableColorStrip + "><td width=18% valign=middle><font color=" + s.TableStripTextColor +
              "><b>发表人</b></font></td><td><font color=" + s.TableStripTextColor + "><b>主题:&nbsp;&nbsp;" +
              HtmlEncode(posts.firstSubject) + "</b></font></td></tr>");
    out.Write(posts.html);
    out.Write("</table>");
    out.Write(s.TableBorderClose);

    out.Write("<table border=0 width=" + s.TableWidth + ">");
    WritePageBarRow(out, topic, page, pageCount);
    out.Write("</table>");
    WriteModeratorOptions(out, topic);
}

// The topic's values from the thread's first row.
board::ThreadTopic TopicOf(platform::Recordset& rs) {
    board::ThreadTopic topic;
    topic.postid = static_cast<long long>(platform::CDbl(rs.Fields("postid")));
    topic.id = std::to_string(topic.postid);
    topic.forum = rs.Fields("ForumName").str();
    topic.forumUrl = UrlEncode(topic.forum);
    topic.subject = rs.Fields("subject").str();
    topic.subjectUrl = UrlEncode(topic.subject);
    topic.status = platform::LCase(rs.Fields("Status").str());
    return topic;
}

// Counted on the replies' index: cheaper than counting the thread query.
long CountReplies(platform::Connection& con, long long topicId) {
    const long long replies = platform::CountOf(con, "select count(*) from post where parentid = ?", {Variant(topicId)});
    return platform::CLng(Variant(replies));
}

// Pages of `posts` posts, `perPage` a page, as a 16-bit number.
std::int16_t PageCount(long posts, std::int16_t perPage) {
    if (perPage < 1) platform::raise(platform::kErrInvalidCall);
    return platform::CInt(Variant((posts + perPage - 1) / perPage));
}

}  // namespace

void BrowsePages::Detail() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        const Settings& s = CurrentSettings();
        RecordVisit(p, "查看话题内容");
        const Variant idValue = Request()("id");
        if (!IsPositiveNumber(idValue)) p.Refuse("调用参数错误，请检查！");
        // The number as the request wrote it: "12.5" names no post.
        Variant topicId(platform::CDbl(idValue));
        platform::Connection& con = p.Db();

        if (Request()("action").str() == "findthread") {
            const std::string forum = Request()("forum").str();
            const std::string go = platform::LCase(Request()("go").str());
            if (forum.empty() || (go != "newer" && go != "older")) p.Refuse("调用参数错误！请联系系统管理员!");
            topicId = NeighbourTopic(con, forum, topicId, go == "newer");
            if (topicId.isEmpty()) {
                MessageWithJumpTo(con, forum,
                                  go == "newer"
                                      ? "对不起，没有比该主题更新的贴子了！按浏览器的后退按钮可退回到上一个主题！"
                                      : "对不起，没有比该主题更旧的贴子了！按浏览器的后退按钮可退回到上一个主题！",
                                  false);
                p.Stop();
            }
        }

        std::int16_t page = 1;
        const Variant pageValue = Request()("page");
        if (!pageValue.isEmpty() && IsPositiveNumber(pageValue)) page = platform::CInt(pageValue);

        platform::Recordset rs;
        rs.Open(FirstRowQuery(), con, {topicId});
        if (rs.Eof()) p.Refuse("没有该主题！");
        if (!rs.Fields("parentid").isNull()) p.Refuse("调用错误!");
        const board::ThreadTopic topic = TopicOf(rs);
        rs.Close();

        const std::int16_t pageCount = PageCount(1 + CountReplies(con, topic.postid), s.HotCount);
        if (page > pageCount) page = pageCount;

        platform::Response& out = Response();
        const ForumAdmission admission = CheckForum(con, topic.forum);
        if (!admission.exists)
            p.Refuse("对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！");
        // A visitor not admitted to the forum learns nothing of the topic,
        // its subject in the title included.
        if (!admission.admitted) {
            out.Write(PageHead(s.BBName));
            PrivateForum(topic.forum);
            p.Stop();
        }
        out.Write(PageHead(HtmlEncode(topic.subject) + " - " + s.BBName));

        const auto posts = PagePosts(con, topic, page);
        // A page without posts fails as reading its first row did.
        if (posts->posts == 0)
            platform::raise(platform::kErrDatabase, platform::kNoCurrentRecordText);
        WriteThreadPage(out, *posts, topic, page, pageCount);
        if (s.BBStyle == "UBB") out.Write(JumpTo(con, Variant(topic.forum), false));
        board::CountThreadView(con, topic.postid);
        out.Write("</center>");
        out.Write(s.Copyright);
    });
}

}  // namespace board
