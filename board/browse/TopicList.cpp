// The topic list of one forum (list.asp): newest activity first, one page
// of PageSize topics at a time, filtered by the age of the last reply.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "board/visits/LastVisit.h"
#include "board/browse/TopicRows.h"
#include "core/Module1.h"
#include "board/browse/BrowsePages.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

using platform::Variant;

// A request's day filter made non-negative.
std::int16_t AbsoluteDays(const Variant& value) {
    const std::int16_t days = platform::CInt(value);
    if (days == INT16_MIN) platform::raise(platform::kErrOverflow);
    return static_cast<std::int16_t>(days < 0 ? -days : days);
}

// The day filter from the query, else the cookie (repaired when it holds no
// number), else the default.
std::int16_t DayFilter(const platform::Request& request, platform::Response& response) {
    const std::int16_t fallback = CurrentSettings().DaysPruneDefault;
    const Variant query = request.QueryString("DaysPrune");
    if (!query.str().empty()) return platform::IsNumeric(query) ? AbsoluteDays(query) : fallback;
    const Variant cookie = request.Cookies("DaysPrune");
    if (cookie.str().empty()) return fallback;
    if (platform::IsNumeric(cookie)) return AbsoluteDays(cookie);
    board::SetYearCookie(response, "DaysPrune", std::to_string(fallback));
    return fallback;
}

struct DayOption {
    std::int16_t days;
    const char* label;
};

constexpr DayOption kDayOptions[] = {
    {1, "显示前一天的贴子"},    {2, "显示前两天的贴子"},     {5, "显示前五天的贴子"},
    {10, "显示前十天的贴子"},   {20, "显示前二十天的贴子"},   {30, "显示前三十天的贴子"},
    {45, "显示前四十五天的贴子"}, {60, "显示前六十天的贴子"}, {75, "显示前七十五天的贴子"},
    {365, "显示前一年的贴子"},  {0, "显示所有的贴子"},
};

std::string DaySelect(std::int16_t filter) {
    std::string html = "<select name=DaysPrune size=1 class=smallsel>";
    for (const DayOption& option : kDayOptions)
        html += "<option value=" + std::to_string(option.days) + (option.days == filter ? " selected>" : ">") +
                option.label;
    return html;
}

// The forum's stored topic count, when it has one: paging the unfiltered
// list then needs no count over the whole forum.
std::optional<long> StoredTopicCount(platform::Connection& con, const std::string& forum) {
    platform::Recordset rs;
    rs.Open("select topiccount from forum where forumname=?", con, {forum});
    if (rs.Eof() || rs.Fields(0).isNull()) return std::nullopt;
    return platform::CLng(rs.Fields(0));
}

class TopicListPage {
public:
    TopicListPage(Tarnbell& page, platform::Connection& con, std::string forum, std::string master,
                  const board::LastVisit& visit, std::int16_t days)
        : s_(CurrentSettings()),
          page_(page),
          out_(page.Response()),
          server_(page.Server()),
          con_(con),
          forum_(std::move(forum)),
          forumHtml_(server_.HTMLEncode(forum_)),
          forumUrl_(server_.URLEncode(forum_)),
          master_(std::move(master)),
          visit_(visit),
          days_(days) {}

    void WriteHeader() {
        out_.Write("<table border=0 width=" + s_.TableWidth + ">");
        out_.Write("<form action=list.asp method=get name=frmSearch>");
        out_.Write("<input type=hidden name=GroupName value=\"" + forumHtml_ + "\">");
        out_.Write("<input type=hidden name=Page >");
        out_.Write("<tr>");
        if (s_.BBStyle == "UBB") {
            out_.Write("<td valign=top>" + s_.Logo + "<br>");
            WriteForumLines();
            out_.Write("</td>");
            out_.Write("<td><p align=left><img border=0 src=images/open.gif align=absmiddle >&nbsp;&nbsp;"
                       "<a href=default.asp><acronym title=返回讨论区总页.>" + s_.BBName + "</acronym></a>");
            out_.Write("<br>");
            out_.Write("<img border=0 src=images/tline.gif align=absmiddle><img border=0 src=images/open.gif "
                       "align=absmiddle>&nbsp;&nbsp;" + forumHtml_ + "</p>");
            WriteNewTopicButton();
            out_.Write("<p>" + GetNavBarHtml() + "</p>");
        } else {
            out_.Write("<td valign=top align=center colspan=2>" + s_.Logo + "</td>");
            out_.Write("</tr>");
            out_.Write("<tr><td align=right colspan=2>" + GetNavBarHtml() + "</td></tr>");
            out_.Write("<tr><td>");
            WriteForumLines();
            out_.Write("</td>");
            out_.Write("<td valign=middle>");
            out_.Write("<p>");
            WriteNewTopicButton();
            out_.Write("</p>");
        }
        out_.Write("<p align=right>" + DaySelect(days_));
        out_.Write("</select><input type=submit name=go value=GO class=buttonface></p></td>");
        out_.Write("</tr>");
        out_.Write("</form>");
        out_.Write("</table>");
    }

    void WriteTopics() {
        std::int16_t pageNumber = 1;
        if (IsPositiveNumber(page_.Request()("Page"))) pageNumber = platform::CInt(page_.Request()("page"));
        const std::int32_t recordCount = CountTopics();
        std::int16_t pageCount = 0;

        out_.Write(s_.TableBorderOpen);
        out_.Write("<table width=" + s_.InnerTableWidth + " border=0 cellspacing=1 cellPadding=4>\r\n");
        WriteTopicHeaderRow();
        if (recordCount > 0 && s_.PageSize <= 0) platform::raise(platform::kErrDatabase, platform::kPageOutOfRangeText);
        // A stored count can claim topics the forum no longer has.
        const auto first = recordCount > 0 ? Rows(0) : nullptr;
        if (first && !first->empty()) {
            pageCount = platform::CInt(Variant((recordCount + s_.PageSize - 1) / s_.PageSize));
            if (pageNumber > pageCount) pageNumber = pageCount;
            const long offset = static_cast<long>(pageNumber - 1) * s_.PageSize;
            // The day filter keeps a prefix of the forum's topics: its count
            // tells where the page ends.
            const auto rows = offset == 0 ? first : Rows(offset);
            const std::size_t shown = std::min<std::size_t>(rows->size(), static_cast<std::size_t>(recordCount - offset));
            for (std::size_t i = 0; i < shown; ++i) {
                const TopicRow& row = (*rows)[i];
                out_.Write(StateCell(row));
                out_.Write(row.cells);
            }
        }
        out_.Write("</table>");
        out_.Write(s_.TableBorderClose);

        page_.PageStyle(recordCount, pageNumber, pageCount, s_.PageSize,
                        "&GroupName=" + forumUrl_ + "&DaysPrune=" + std::to_string(days_));
    }

    void WriteLegend() {
        const std::string hot = std::to_string(s_.HotCount);
        out_.Write("<table width=" + s_.TableWidth + ">");
        out_.Write("<tr><td>");
        out_.Write("<p><img alt=有新贴子 src=images/closedb.gif WIDTH=18 HEIGHT=16><span class=smallFont>&nbsp;&nbsp;"
                   "自从你上次来过以后有新贴子.(&nbsp;<img src=images/hotclosedb.gif align=absmiddle WIDTH=18 "
                   "HEIGHT=17>&nbsp;超过 " + hot + " 个回复)</span><br>\r\n");
        out_.Write("<img alt=没新贴子 src=images/closed.gif WIDTH=18 HEIGHT=16><span class=smallFont>&nbsp;&nbsp;"
                   "自从你上次来过以后没有新贴子.(&nbsp;<img src=images/hotclosed.gif align=absmiddle WIDTH=18 "
                   "HEIGHT=17>&nbsp;超过 " + hot + " 个回复)</span><br><img alt=已关闭的主题 src=images/lock.gif "
                   "WIDTH=18 HEIGHT=16><span class=smallFont>&nbsp;&nbsp;&nbsp;已关闭的主题 - 不再接受回复."
                   "</span>\r\n");
        out_.Write("</td></tr></table>");
    }

private:
    // The forum's name, its moderators and its current announcement.
    void WriteForumLines() {
        out_.Write("<font color=#000080><b>" + forumHtml_ + "</b></font><br>");
        out_.Write("<font color=#2f2f4f>版主：" + master_ + "</font><br>");
        WriteAnnouncement();
    }

    void WriteAnnouncement() {
        const std::string today = platform::FormatGeneral(platform::DateTime{std::floor(platform::Now().serial)});
        platform::Recordset rs;
        rs.Open("select subject from announce inner join announceto on announce.id=announceto.id "
                "where startdate<=? and enddate>=? and announceto.forumname=? order by posttime desc limit 1",
                con_, {today, today, forum_});
        if (!rs.Eof())
            out_.Write("<img src=images/announce.gif align=absmiddle>&nbsp;<a href=ubbmisc.asp?action=getannounce&forum=" +
                       forumUrl_ + ">" + server_.HTMLEncode(rs.Fields("subject")) + "</a>");
    }

    void WriteNewTopicButton() {
        out_.Write("<center><p><a href=posting.asp?action=newtopic&forum=" + forumUrl_ +
                   "><img border=0 alt=新开主题 src=\"images/" + s_.BBTopic + "\"></a></p></center>");
    }

    // The forum's topics, or those whose last reply falls in the day filter.
    std::int32_t CountTopics() {
        if (days_ == 0) {
            if (const auto count = StoredTopicCount(con_, forum_)) return std::max(*count, 0L);
            return CountForumTopics(con_, forum_, Variant());
        }
        return CountForumTopics(con_, forum_,
                                Variant(platform::FormatGeneral(platform::AddDays(platform::Now(), -days_))));
    }

    std::shared_ptr<const TopicRows> Rows(long offset) {
        return ForumTopicRows(con_, server_, forum_, offset, s_.PageSize);
    }

    void WriteTopicHeaderRow() {
        const std::string font = "<font color=" + s_.TableStripTextColor + "><b>";
        out_.Write("<tr " + s_.TableColorStrip + "><td width=20>&nbsp;</td><td width=20>&nbsp;</td>");
        out_.Write("<td align=center nowrap width=26>" + font + "点击</b></font></td>");
        out_.Write("<td>" + font + "话题</b></font></td>");
        out_.Write("<td align=center>" + font + "话题发起</b></font></td>");
        out_.Write("<td align=center>" + font + "窗</b></font></td>");
        out_.Write("<td align=center width=26 nowrap>" + font + "回复</b></font></td>");
        out_.Write("<td align=center nowrap>" + font + "最后发表</b></font></td></tr>");
    }

    const char* StateCell(const TopicRow& row) const {
        if (row.closed) return "<tr><td bgColor=#f7f7f7 valign=MIDDLE><img src=images/lock.gif ></td>";
        if (visit_.IsNewer(row.lastly))
            return row.hot ? "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/hotclosedb.gif></td>"
                           : "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/closedb.gif></td>";
        return row.hot ? "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/hotclosed.gif ></td>"
                       : "<tr><td bgcolor=#f7f7f7 valign=MIDDLE align=center><img src=images/closed.gif ></td>";
    }

    const Settings& s_;
    Tarnbell& page_;
    platform::Response& out_;
    platform::Server& server_;
    platform::Connection& con_;
    std::string forum_, forumHtml_, forumUrl_;
    std::string master_;
    const board::LastVisit& visit_;
    std::int16_t days_;
};

}  // namespace

void BrowsePages::list() {
    const Settings& s = CurrentSettings();
    RunPage(Closing::BodyOnly, [&](Page& p) {
        StartPage(p, {"贴子列表", "贴子列表 - " + s.BBName, "\r\n<center>"});

        platform::Connection& con = p.Db();
        // The admission of the name chosen: the last one looked up.
        ForumAdmission admission;
        const std::string forum = Request().TypedName(
            "GroupName", Request().QueryString("GroupName").str(), [&](const std::string& name) {
                admission = CheckForum(con, name);
                return admission.exists;
            });
        if (!admission.exists)
            p.Refuse("对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！");
        if (!admission.admitted) {
            PrivateForum(forum);
            p.Stop();
        }

        const board::LastVisit visit = board::ReadSessionLoginDT(Request(), Response());
        const std::int16_t days = DayFilter(Request(), Response());
        TopicListPage list(*this, con, forum, admission.master, visit, days);
        if (s.BBStyle == "UBB" || s.BBStyle == "CLUB") list.WriteHeader();
        list.WriteTopics();
        list.WriteLegend();
        if (s.BBStyle == "UBB") Response().Write(JumpTo(con, Variant(forum), false));
        Response().Write("</center>");
        Response().Write(s.Copyright);
    });
}

}  // namespace board
