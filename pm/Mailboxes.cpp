// The inbox and the outbox: twin paged lists of the member's messages, and
// the deletion of the messages checked in them.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "core/Settings.h"
#include "pm/PM.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace pm {

// What tells the two boxes apart.
struct Mailbox {
    const char* action;  // of the box's own links
    const char* title;
    const char* deleteAction;  // the form's hidden action
    const char* personHeading;
    const char* timeHeading;
    const char* list;   // the member's messages, bound to name and password
    const char* empty;  // the row of an empty box
    bool unreadMarks;   // new/old marker and its legend
    const char* viewAction;
    const char* person;  // the other party's column
    const char* remove;  // one message of the member's, bound to id and name
};

namespace {

const Mailbox kInbox{
    "inbox",
    "收件箱 - ",
    "deletePM",
    "留言人",
    "留言时间",
    "select pm.* from PM inner join register on pm.recipient=register.username "
    "where recipient=? and password=? order by posttime desc, postid desc",
    "对不起，你没有留言！",
    true,
    "viewpm",
    "sender",
    "delete from PM where postid=? and recipient=?",
};

const Mailbox kOutbox{
    "outbox",
    "发件箱 - ",
    "deleteOutbox",
    "收件人",
    "发送时间",
    "select outbox.* from outbox inner join register on outbox.sender=register.username "
    "where sender=? and password=? order by posttime desc, postid desc",
    "对不起，你的发件箱中没有发送过的悄悄话！",
    false,
    "viewoutbox",
    "recipient",
    "delete from outbox where postid=? and sender=?",
};

// A message id as the delete forms send it: a whole number above 0.
std::optional<std::int32_t> MessageId(const std::string& text) {
    if (text.empty() || text.size() > 10) return std::nullopt;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(n);
}

std::string HeadingCell(const std::string& attributes, const std::string& text) {
    return "<td " + attributes + "><font color=" + core::CurrentSettings().TableStripTextColor + "><b>" + text +
           "</b></font></td>";
}

}  // namespace

void PM::inbox() { ShowMailbox(kInbox); }
void PM::outbox() { ShowMailbox(kOutbox); }
void PM::DeletePM() { DeleteFromMailbox(kInbox); }
void PM::DeleteOutbox() { DeleteFromMailbox(kOutbox); }

void PM::ShowMailbox(const Mailbox& box) {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page&) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        out.Write(core::PageHead(box.title + s.BBName));
        out.Write("<center>");
        WriteHeader("<p><font class=bbtitle>　　　　悄　悄　话 　　　　</font></p>", true);
        out.Write("<br><br><form action=pm.asp method=post name=frmPM id=frmPM>");
        out.Write(std::string("<input type=hidden name=action value=") + box.deleteAction + ">");
        out.Write(s.TableBorderOpen);
        out.Write("<table width=" + s.InnerTableWidth + " cellpadding=4 cellspacing=1 border=0>");
        out.Write("<tr " + s.TableColorStrip + "><td width=20>&nbsp;</td><td width=20>&nbsp;</td>" +
                  HeadingCell("align=left", "主题") + HeadingCell("align=center", box.personHeading) +
                  HeadingCell("align=center", box.timeHeading) + HeadingCell("align=center nowrap", "删除?") + "</tr>");

        platform::Recordset rs;
        rs.CacheSize(s.PageSize);
        rs.PageSize(s.PageSize);
        rs.Open(box.list, Con(), platform::CursorType::Static, {member_.name, member_.password});
        const bool hasRows = !(rs.Eof() && rs.Bof());
        std::int32_t count = 0;
        std::int16_t page = 1, pageCount = 0;
        if (!hasRows) {
            out.Write("<tr " + s.AltColumnColor1 + "><td colspan=6>" + box.empty + "</td></tr>");
        } else {
            count = static_cast<std::int32_t>(rs.RecordCount());
            pageCount = static_cast<std::int16_t>(std::min<long>(rs.PageCount(), INT16_MAX));
            page = core::RequestedPage(Request()("page"), pageCount);
            rs.AbsolutePage(page);
            std::string rows;
            for (int n = 1; n <= s.PageSize && !rs.Eof(); ++n) {
                const std::string id = rs.Fields("postid").str();
                const std::string person = rs.Fields(box.person).str();
                const bool unread =
                    box.unreadMarks && !rs.Fields("isnew").isNull() && platform::CBool(rs.Fields("isnew"));
                rows += "<tr ><td width=0 align=center valign=middle " + s.AltColumnColor1 + ">";
                rows += !box.unreadMarks ? "<img src=images/closed.gif >"
                        : unread         ? "<img src=images/closedb.gif alt=新留言>"
                                         : "<img src=images/closed.gif alt=旧留言>";
                rows += "</td><td " + s.AltColumnColor2 + " align=center><img src=icon/icon" +
                        std::to_string(core::MessageIcon(rs.Fields("icon"))) + ".gif></td>";
                rows += "<td valign=top " + s.AltColumnColor1 + "><a href=pm.asp?action=" + box.viewAction +
                        "&postid=" + id + "><b>" + platform::HtmlEncode(rs.Fields("subject").str()) + "</b></a></td>";
                rows += "<td valign=top " + s.AltColumnColor2 +
                        " width=120 align=center><a href=viewuser.asp?username=" + platform::UrlEncode(person) +
                        "><b>" + platform::HtmlEncode(person) + "</b></a></td>";
                rows += "<td  nowrap valign=top " + s.AltColumnColor1 + " width=150 align=center>" +
                        core::FormatPostTime(rs.Fields("posttime")).str() + "</td>";
                rows += "<td valign=top " + s.AltColumnColor2 +
                        " width=20 align=center><input type=checkbox name=delete value=" + id + "></td></tr>";
                rs.MoveNext();
            }
            out.Write(rows);
        }
        rs.Close();
        out.Write("</table>");
        out.Write(s.TableBorderClose);

        if (hasRows) {
            PageStyle(count, page, pageCount, s.PageSize, std::string("&action=") + box.action);
            out.Write("<table border=0 width=" + s.TableWidth +
                      "><tr><td colspan=6 align=right>"
                      "<input type=submit value=删除所选的留言 class=buttonface></td></tr></table>");
        }
        if (box.unreadMarks) {
            out.Write("<table border=0 width=" + s.TableWidth +
                      "><tr><td colspan=6>"
                      "　<img src=images/closedb.gif><b> - 新留言</b><br>"
                      "　<img src=images/closed.gif><b> - 旧留言</b><br></td></tr></table>");
        }
        out.Write("</form></center>");
    });
}

void PM::DeleteFromMailbox(const Mailbox& box) {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const std::vector<std::string>& checked = Request().Form().Values("delete");
        if (checked.empty()) p.Refuse("请选择您想删除的记录，按浏览器的后退按钮可重新处理！");
        // Only ids, and only the member's own messages; all or none.
        platform::Transaction transaction(Con());
        for (const std::string& value : checked)
            if (const auto id = MessageId(value))
                Con().Execute(box.remove, {platform::Variant::longValue(*id), member_.name});
        transaction.Commit();
        Wait("您选择的悄悄话已经被删除！", std::string("pm.asp?action=") + box.action, "悄悄话首页", 2);
    });
}

}  // namespace pm
