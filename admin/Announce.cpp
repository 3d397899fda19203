// announce.asp: the announcement centre. Every step checks the posted
// identity; the login form leads to the new-announcement form or to the
// pick list of admin/AnnounceEdit.cpp. A new announcement is stored with
// its forums in one transaction.
#include <set>

#include "admin/Admin.h"
#include "admin/forms/AnnounceForms.h"
#include "core/Module1.h"
#include "platform/Connection.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"

namespace admin {

void Admin::Announce(const PanelStep& step) {
    RunPanelPage("公告中心 - " + core::CurrentSettings().BBName, step);
}

void Admin::Announce_Login(core::Page&) { Response().Write(forms::AnnounceLoginForm(SessionLogin())); }

void Admin::Announce_Enter(core::Page& p) {
    const PanelLeader leader = RequireLeader(p, PostedLogin(), forms::kUnknownLeader);
    const std::string choice = platform::LCase(Request()("announcefunction").str());
    if (choice == "createannouncement") Announce_CreateAnnouncement(leader.forums);
    if (choice == "editannouncement") Announce_EditAnnouncement(p.Db(), leader.administrator);
}

void Admin::Announce_CreateAnnouncement(const std::string& ForumList) {
    platform::Response& out = Response();
    out.Write("<CENTER><h1>建 立 新 告 示</h1><P>注意：只有超级管理员或者版主可以建立，查看或编辑告示。<br></CENTER>");
    out.Write("<FORM ACTION=announce.asp METHOD=POST NAME=REPLIER><table border=0>");
    out.Write(forms::AnnounceIdentityRows(SessionLogin()));
    out.Write("<tr><td><B>主题：</B></td><td><INPUT TYPE=TEXT NAME=Subject SIZE=30 MAXLENGTH=100></td></tr>");
    out.Write("<tr><td valign=top><B>你的公告：</B><BR><FONT COLOR=#808000>你可以在消息中<BR>使用 "
              "<A HREF=../ubbcode.htm target=_new>UBB 代码</a><BR></FONT></td>"
              "<td><TEXTAREA NAME=EditedMessage ROWS=10 COLS=50 WRAP=SOFT></TEXTAREA></td></tr>");
    out.Write("<tr><td valign=top><B>想要发表公告的论坛：</B></td><td><SELECT NAME=ForumName SIZE=5 MULTIPLE>");
    if (!ForumList.empty())
        for (const std::string& forum : platform::Split(ForumList, ","))
            out.Write("<OPTION VALUE=" + Attr(forum) + ">" + Text(forum));
    out.Write("</SELECT></td></tr>");
    const int year = platform::Parts(platform::Now()).year;
    out.Write(forms::AnnounceDateRows(0, 0, year, 0, 0, year));
    out.Write("</table><center><INPUT TYPE=HIDDEN NAME=action VALUE=submitannounce>"
              "<INPUT TYPE=SUBMIT NAME=Submit VALUE=\"发 布 公 告\"> "
              "<INPUT TYPE=RESET NAME=Reset VALUE=\"清 除 内 容\"></center></FORM>");
}

void Admin::ReadAnnounceFields(std::string& subject, std::string& content, platform::DateTime& start,
                               platform::DateTime& end) {
    const platform::Request& in = Request();
    content = in("EditedMessage").str();
    subject = in("Subject").str();
    if (content.empty() || subject.empty()) Refuse("主题和公告内容不能为空！");
    if (!forms::ReadAnnounceDate(in, "Start", start) || !forms::ReadAnnounceDate(in, "End", end))
        Refuse("开始日期或结束日期不合法！请检查！");
}

void Admin::Announce_SubmitAnnounce(core::Page& p) {
    const PanelLeader leader = RequireLeader(p, PostedLogin(), forms::kUnknownLeader);
    const std::string& ForumList = leader.forums;
    platform::Connection& con = p.Db();
    std::string subject, content;
    platform::DateTime start, end;
    ReadAnnounceFields(subject, content, start, end);
    // Dates are days: an end before today would never be shown.
    const platform::DateParts today = platform::Parts(platform::Now());
    if (end < platform::MakeDateTime(today.year, today.month, today.day))
        Refuse("结束日期已经过去，这个公告不会显示！请检查！");
    if (ForumList.empty()) Refuse("没有版面存在，不能发布公告");
    const std::vector<std::string>& forums = Request().Form().Values("ForumName");
    if (forums.empty()) Refuse("请选择版面！");
    for (const std::string& forum : forums)
        if (!core::IsInList(ForumList, forum)) Refuse("你不能发布公告到其它论坛，请检查！");

    platform::Transaction tx(con);
    con.Execute("insert into announce (subject, content, startdate, enddate, username) values (?, ?, ?, ?, ?)",
                {subject, content, start, end, PostedLogin().name});
    const long long id = con.LastIdentity();
    std::set<std::string> stored;  // a forum chosen twice shows it once
    for (const std::string& forum : forums)
        if (stored.insert(forum).second)
            con.Execute("insert into announceto (id,forumname) values (?, ?)", {id, forum});
    tx.Commit();
    Response().Write("<br><br><center><p><h3>公告发布结束，重新进入<a href=announce.asp>公告发布中心</a></h3></p></center>");
}

}  // namespace admin
