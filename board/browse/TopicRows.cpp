#include "board/browse/TopicRows.h"

#include <initializer_list>
#include <utility>
#include <string_view>

#include "core/ForumNames.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

namespace board {

namespace {

using platform::Variant;

// Digits grouped by three with commas; nothing at all for 0.
std::string GroupedDigits(long long n) {
    if (n == 0) return {};
    std::string digits = std::to_string(n < 0 ? -n : n), grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return (n < 0 ? "-" : "") + grouped;
}

void Append(std::string& text, std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) text += piece;
}

// Links to each page of a thread longer than one page of the thread view,
// joined by plain blanks so that a long row wraps.
std::string PageLinks(const core::Settings& s, const std::string& postid, const Variant& replies) {
    if (s.HotCount == 0) platform::raise(platform::kErrDivisionByZero);
    const long long posts = (replies.isNull() ? 0 : platform::CLng(replies)) + 1;
    const long long pages = (posts + s.HotCount - 1) / s.HotCount;
    if (pages <= 1) return {};
    std::string html = "<img src=images/multipage.gif align=absmiddle width=12 height=14 alt='多页'>&nbsp;";
    for (long long i = 1; i <= pages; ++i) {
        const std::string n = std::to_string(i);
        Append(html, {"<a href=newsdetail.asp?id=", postid, "&page=", n, ">[", n, "]</a> "});
    }
    return html;
}

TopicRow BuildRow(const core::Settings& s, const platform::Server& server, platform::Recordset& rs) {
    const std::string postid = rs.Fields("postid").str();
    const Variant& replies = rs.Fields("replycount");
    const Variant& lastly = rs.Fields("lastly");
    const Variant& status = rs.Fields("status");
    const std::string author = platform::CStr(rs.Fields("username"));
    const std::string lastAuthor = platform::CStr(rs.Fields("lastreplyusername"));
    const std::string subject = server.HTMLEncode(rs.Fields("subject"));

    std::string row;
    row.reserve(1024);
    Append(row, {"<TD bgcolor=#dedfdf align=center valign=MIDDLE><img src=icon/icon",
                 platform::CStr(rs.Fields("icon")), ".gif></td>"});
    Append(row, {"<td bgColor=#FED639 nowrap align=center valign=MIDDLE>", rs.Fields("hits").str(), "</td>"});
    Append(row, {"<TD bgcolor=#f7f7f7 valign=top><a href=NewsDetail.asp?id=", postid, " title=\"", subject, "\">",
                 subject, "</a> ", PageLinks(s, postid, replies)});
    if (s.DisplayTopicSize) {
        const Variant& size = rs.Fields("msglen");
        Append(row, {"<font class=topicsize>",
                     GroupedDigits(size.isNull() ? 0 : static_cast<long long>(size.toDouble())), " bytes</font>"});
    }
    row += "</td>";
    Append(row, {"<td bgcolor=#dedfdf valign=MIDDLE align=center><a href=viewuser.asp?username=",
                 server.URLEncode(author), " target=_blank>", server.HTMLEncode(author), "</a></td>"});
    Append(row, {"<TD  valign=middle align=center ", s.AltColumnColor1, "><a href=NewsDetail.asp?id=", postid,
                 " target=_blank><img src=images/newwin.gif border=0></a></td>"});
    Append(row, {"<td align=center bgcolor=#f7f7f7 valign=MIDDLE>", replies.str(), "</td>"});
    Append(row, {"<td NOWRAP bgcolor=#dedfdf  valign=MIDDLE>", core::FormatLastPostTime(lastly).str(),
                 " By <a href=viewuser.asp?username=", server.URLEncode(lastAuthor), " target=_blank>",
                 server.HTMLEncode(lastAuthor), "</a></td>"});
    row += "</tr>";

    TopicRow topic;
    topic.closed = status.isString() && status.rawString() == "close";
    topic.hot = !replies.isNull() && replies.toDouble() > s.HotCount;
    topic.lastly = lastly;
    topic.cells = platform::ShareForWire(std::move(row));
    return topic;
}

// A topic without its counters (a database from before they were kept)
// shows its own time and author as its last reply.
std::pair<std::shared_ptr<TopicRows>, std::size_t> BuildRows(platform::Connection& con, const platform::Server& server,
                                                             const core::Settings& s, const std::string& forum,
                                                             long offset, int count) {
    std::string sql = "select ";
    if (s.DisplayTopicSize) sql += "length(cast(message as blob)) as msglen,";
    sql += "username,status,postid,subject,hits,icon,replycount,"
           "ifnull(lastreplyposttime,posttime) as lastly,ifnull(lastreplyusername,username) as lastreplyusername "
           "from post where parentid is null and " +
           core::ForumPostsCondition("forumname", "?1") + " order by lastreplyposttime desc limit ?2 offset ?3";
    platform::Recordset rs;
    rs.Open(sql, con, {Variant(forum), Variant(count), Variant(offset)});
    auto rows = std::make_shared<TopicRows>();
    std::size_t bytes = 64;
    for (; !rs.Eof(); rs.MoveNext()) {
        rows->push_back(BuildRow(s, server, rs));
        bytes += 96 + rows->back().cells->Bytes();
    }
    rs.Close();
    return {rows, bytes};
}

}  // namespace

std::shared_ptr<const TopicRows> ForumTopicRows(platform::Connection& con, const platform::Server& server,
                                                const std::string& forum, long offset, int count) {
    const core::Settings& s = core::CurrentSettings();
    return con.KeptOrBuilt<TopicRows>(
        {"topic rows", forum, std::to_string(offset), std::to_string(count), s.Fingerprint()},
        [&] { return BuildRows(con, server, s, forum, offset, count); });
}

long CountForumTopics(platform::Connection& con, const std::string& forum, const Variant& since) {
    std::string sql = "select count(*) from post where parentid is null and " + core::ForumPostsCondition("forumname", "?1");
    platform::SqlParams params{Variant(forum)};
    if (!since.isEmpty()) {
        sql += " and lastreplyposttime>=?";
        params.push_back(since);
    }
    return static_cast<long>(platform::CountOf(con, sql, params));
}

}  // namespace board
