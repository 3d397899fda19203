// Favourite topics: favor.asp adds one (its link asks first, with a login
// form unless the session is logged in; only the posted answer keeps the
// topic), showfavor.asp lists the member's favourites, newest first, and
// deletes the ticked ones.
#include <algorithm>
#include <cstdint>
#include <string>

#include "board/members/MemberPages.h"
#include "core/ConfirmationForm.h"
#include "core/ForumNames.h"
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::QuotedAttribute;

constexpr const char* kBadId = "参数错误！";
constexpr const char* kLostPassword = "<a href=ubbmisc.asp?action=lostpw>";

// The name and password rows of the favourites' login forms, prefilled from
// the remembered login; the page is kept out of caches.
std::string LoginRows(const platform::Request& in, platform::Response& out) {
    core::KeepOutOfCaches(out);
    return "<tr><td><b>用户名</b></td><td><input maxLength=25 name=UserName size=25 class=smallInput value=" +
           QuotedAttribute(in.Cookies("UserName").str()) +
           "></td></tr><tr><td><b>密码</b></td><td><input maxLength=13 name=Password size=13 class=smallInput "
           "type=password value=" + QuotedAttribute(in.Cookies("Password").str()) + ">&nbsp;&nbsp;" +
           kLostPassword + "忘记了密码?</a></td></tr>";
}

std::string LostPasswordNote() {
    return std::string("<p>我已经注册过了，天啊！我把密码给忘了？！") + kLostPassword + "点这里.</a></p>";
}

}  // namespace

void MemberPages::WriteFavorHead(const std::string& forum, const std::string& subject) {
    const core::Settings& s = core::CurrentSettings();
    Response().Write(core::PageHead("收藏主题 [" + subject + "] - " + s.BBName) + "<center>");
    WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                     "</td><td><p align=center>&nbsp;&nbsp;&nbsp;<b>在讨论区" + forum + "<br>收藏主题 [" + subject +
                     "]</b></p><p align=right>" + core::GetNavBarHtml() + "</p></td></tr></table>");
}

void MemberPages::Favor() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& in = Request();
        platform::Response& out = Response();
        platform::Session& session = Session();
        RecordVisit(p, "收藏话题");

        if (!core::IsPost(in) && !core::SessionLoggedIn(session)) {
            const platform::Variant idField = in("id");
            if (!idField.str().empty() && !core::IsPositiveNumber(idField)) p.Refuse(kBadId);
            const std::string id = idField.str().empty() ? "0" : std::to_string(platform::CLng(idField));
            WriteFavorHead(HtmlEncode(in("GroupName").str()), HtmlEncode(in("Subject").str()));
            out.Write("<form action=Favor.asp method=post name=chkUser><input type=hidden name=id  value=" + id +
                      "><table border=0 width=" + s.TableWidth +
                      "><tr><td colspan=2><p><b>要收藏该主题，您必须通过身份验证：</b></td></tr>" + LoginRows(in, out) +
                      "</table><p><input class=buttonface name=Submit type=submit value=提交验证> "
                      "<input class=buttonface name=Reset type=reset value=重置字段> </p></form>" +
                      LostPasswordNote() + "</center>" + s.Copyright);
            p.Stop();
        }

        if (!core::IsPositiveNumber(in("id"))) p.Refuse(kBadId);
        const std::int32_t id = platform::CLng(in("id"));
        core::Credentials member = core::ActingCredentials(in, session);

        platform::Recordset rs;
        rs.Open("select postid, " + core::CurrentForumName("forumname") +
                    " as forumname, subject from post where postid=? and parentid is null",
                p.Db(), {id});
        if (rs.Eof()) p.Refuse(kBadId);
        const std::string forum = rs.Fields("forumname").str();
        const std::string subject = rs.Fields("subject").str();
        rs.Close();
        // A private forum's topic only for a visitor admitted to that forum.
        if (!CheckForum(p.Db(), forum).admitted) {
            out.Write(core::PageHead(s.BBName) + "<center>");
            PrivateForum(forum);
            p.Stop();
        }

        // The link asks; only the posted answer keeps the topic.
        if (!core::IsPost(in)) {
            WriteFavorHead(HtmlEncode(forum), HtmlEncode(subject));
            out.Write(core::ConfirmationForm({"favor.asp",
                                              {{"id", std::to_string(id)}},
                                              "收藏主题",
                                              "要把主题 [" + HtmlEncode(subject) + "] 加入您的收藏吗？",
                                              "收藏"}) +
                      "</center>" + s.Copyright);
            p.Stop();
        }

        bool canPost = false;
        if (!core::CheckUserCanPost(member.name, member.password, p.Db(), canPost))
            p.Refuse("对不起，您不是我们的注册用户，请注册后再使用该功能！");
        if (!core::SessionLoggedIn(session)) {
            session.Set("UserName", member.name);
            session.Set("Password", member.password);
            session.RenewId();
        }

        // The pair is unique: a topic already kept changes no row. Any other
        // failure is a run-time error and shows as one.
        if (p.Db().Execute("insert or ignore into favor (username,postid) values (?,?)", {member.name, id}) == 0)
            p.Refuse("收藏主题失败，通常情况是该主题已经被收藏！");
        Wait(HtmlEncode(member.name) + "，该主题已被收藏！", "newsdetail.asp?id=" + std::to_string(id), "您收藏的话题");
        p.Stop();
    });
}

void MemberPages::Showfavor() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& in = Request();
        platform::Response& out = Response();
        platform::Session& session = Session();
        const std::string action = platform::LCase(in("Action").str());

        // Only a posted form logs in or deletes.
        const bool posted = core::IsPost(in);
        if (action == "chkuser" && posted) {
            const core::Credentials typed = core::PostedCredentials(in);
            std::string name = typed.name;
            std::string password = typed.password;
            bool canPost = false;
            if (!core::CheckUserCanPost(name, password, p.Db(), canPost))
                p.Refuse("对不起，你不是我们论坛的注册用户，请注册后再使用该功能！");
            session.Set("UserName", name);
            session.Set("Password", password);
            session.RenewId();
        }

        StartPage(p, {"显示收藏", "我的收藏 - " + s.BBName, "<center>",
                      "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo +
                          "</td><td><p align=Left>&nbsp;&nbsp;&nbsp;<b>我的收藏</b></p><p>" + core::GetNavBarHtml() +
                          "</p></td></tr></table>"});

        const std::string member = session("UserName").str();
        if (member.empty() || session("Password").str().empty()) {
            out.Write("<form action=ShowFavor.asp method=post name=frmSearch>"
                      "<input type=hidden name=action value=chkUser><table border=0 width=" + s.TableWidth + ">" +
                      LoginRows(in, out) +
                      "<tr><td colspan=2 align=center><input class=buttonface name=Submit type=submit value=提交验证> "
                      "<input class=buttonface name=Reset type=reset value=重置字段></td></tr></table></form>" +
                      LostPasswordNote() + "</center>");
            p.Stop();
        }

        if (action == "deletefavor" && posted) {
            // Only ids, and only the member's own rows.
            platform::Transaction transaction(p.Db());
            for (const std::string& value : in.Form().Values("delete")) {
                if (core::IsPositiveNumber(platform::Variant(value)))
                    p.Db().Execute("delete from favor where username=? and postid=?",
                                   {member, platform::CLng(platform::Variant(value))});
            }
            transaction.Commit();
        }

        platform::Recordset rs;
        rs.CacheSize(s.PageSize);
        rs.Open("select icon,post.username,favordate,favor.postid,subject,posttime from favor "
                "inner join post on favor.postid=post.postid where favor.username=? order by favordate desc",
                p.Db(), platform::CursorType::Static, {member});
        if (rs.Eof()) {
            out.Write("<table border=0 width=" + s.TableWidth +
                      "><tr><td><p><b>没有发现收藏！</b></p></td></tr></table></center>");
            return;
        }

        rs.PageSize(s.PageSize);
        const std::int16_t pageCount = static_cast<std::int16_t>(std::min<long>(rs.PageCount(), INT16_MAX));
        const std::int32_t recordCount = static_cast<std::int32_t>(rs.RecordCount());
        const std::int16_t page = core::RequestedPage(in("page"), pageCount);
        rs.AbsolutePage(page);

        std::string list = "<form action=showfavor.asp method=post><input type=hidden name=action value='deletefavor'>" +
                           s.TableBorderOpen + "<table width=" + s.InnerTableWidth +
                           " cellpadding=4 cellspacing=1><tr " + s.TableColorStrip + "><td width=20></td>";
        for (const char* heading : {"主题", "发表人", "发表时间", "收藏时间", "删除？"})
            list += std::string("<td") + (std::string(heading) == "主题" ? "" : " align=center") + "><font color=" +
                    s.TableStripTextColor + "><b>" + heading + "</b></font></td>";
        list += "</tr>";
        for (int n = 0; n < s.PageSize && !rs.Eof(); ++n, rs.MoveNext()) {
            const std::string id = std::to_string(platform::CLng(rs.Fields("postid")));
            const std::string cell[] = {s.AltColumnColor1, s.AltColumnColor2};
            list += "<tr><td " + cell[0] + " align=center><img src=icon/icon" +
                    std::to_string(core::MessageIcon(rs.Fields("icon"))) + ".gif></td><td " + cell[1] +
                    "><a href=newsdetail.asp?id=" + id + ">" + HtmlEncode(rs.Fields("subject").str()) +
                    "</a></td><td " + cell[0] + " width=100 nowrap align=center>" +
                    HtmlEncode(rs.Fields("username").str()) + "</td><td " + cell[1] + " width=150 align=center>" +
                    core::FormatPostTime(rs.Fields("posttime")).str() + "</td><td " + cell[0] +
                    " width=150 nowrap align=center>" + core::FormatPostTime(rs.Fields("favordate")).str() +
                    "</td><td " + cell[1] + " width=20 align=center><input type=checkbox name=Delete value=" + id +
                    "></td></tr>";
        }
        rs.Close();
        out.Write(list + "</table>" + s.TableBorderClose);
        PageStyle(recordCount, page, pageCount, s.PageSize);
        out.Write("<table border=0 width=" + s.TableWidth +
                  "><tr><td align=right><input type=submit value='删除选择的收藏'></td></tr></table></form></center>");
    });
}

}  // namespace board
