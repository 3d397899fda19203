// The three topic rankings (hot.asp, morereply.asp, active.asp): one page
// that lists the first 25 topics of the public forums by one measure, each
// with a short preview of its opening post.
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "core/PublicForum.h"
#include "core/Settings.h"
#include "board/browse/BrowsePages.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

struct TopicRanking {
    const char* location;  // text of the online list
    const char* heading;
    const char* orderBy;
};

constexpr TopicRanking kHot{"最热门话题", "最热门25条贴子", "hits desc"};
constexpr TopicRanking kMostReplies{"最多回复话题", "最多回复25条贴子", "post.replycount desc"};
constexpr TopicRanking kNewest{"最近的话题", "最近25条贴子", "lastreplyposttime desc"};

// Preview of a topic's opening post: the encoded message, cut short.
constexpr std::int16_t kPreviewLength = 100;

// Each measure has a partial index on the topics (core/Schema.sql), so the
// query reads only the first rows of that index.
std::string RankingQuery(const TopicRanking& ranking) {
    const std::string forum = core::CurrentForumName("post.forumname");
    return "select post.*, " + forum + " as currentforum from post inner join forum on forum.forumname=" + forum +
           " where " + kPublicForumSql + " and parentid is null order by " + ranking.orderBy + " limit 25";
}

void WriteTopic(Tarnbell& page, platform::Recordset& rs) {
    const Settings& s = CurrentSettings();
    platform::Response& out = page.Response();
    const platform::Server& server = page.Server();
    out.Write("<table  cellpadding=4 border=0 cellspacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<tr " + s.TableColorStrip + "><td valign=middle colspan=2>");
    out.Write("<FONT   COLOR=" + s.TableStripTextColor + "><b>[" + server.HTMLEncode(rs.Fields("currentforum")) +
              "] - 主题：" + server.HTMLEncode(rs.Fields("subject")) + "</b></FONT></td></tr>");
    out.Write("<tr " + s.AltColumnColor1 + "><td width=18% valign=top>" +
              server.HTMLEncode(rs.Fields("username")) + "</td>");
    out.Write("<td><IMG SRC=images/posticon.gif BORDER=0>发贴于 " + FormatPostTime(rs.Fields("posttime")) +
              "&nbsp;&nbsp;回复:" + rs.Fields("replycount") + "&nbsp;&nbsp;");
    out.Write("点击：" + rs.Fields("hits") + "<HR>");
    out.Write(TruncateText(server.HTMLEncode(rs.Fields("message")), kPreviewLength));
    out.Write("<p><a href=newsdetail.asp?id=" + rs.Fields("postid") + ">更详细信息...</a></td></tr></table>");
}

void WriteTopicRanking(Tarnbell& page, const TopicRanking& ranking) {
    page.RunPage(Closing::CopyrightAndBody, [&](Page& p) {
        const Settings& s = CurrentSettings();
        platform::Response& out = page.Response();
        const std::string heading = ranking.heading;
        page.StartPage(p, {ranking.location, heading + " - " + s.BBName, "<center>",
                           "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td>" +
                               "<td align=center><b>" + heading + "</b><br><p align=right>" + GetNavBarHtml() +
                               "</p></td></tr></table>"});

        platform::Recordset rs;
        rs.Open(RankingQuery(ranking), p.Db());
        out.Write(s.TableBorderOpen);
        for (; !rs.Eof(); rs.MoveNext()) WriteTopic(page, rs);
        out.Write(s.TableBorderClose);
        out.Write("</center>");
    });
}

}  // namespace

void BrowsePages::HotTopic() { WriteTopicRanking(*this, kHot); }

void BrowsePages::MoreReply() { WriteTopicRanking(*this, kMostReplies); }

void BrowsePages::NewlyTopic() { WriteTopicRanking(*this, kNewest); }

}  // namespace board
