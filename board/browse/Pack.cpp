// Mail a post (download.asp): a form for a comma-separated list of
// addresses, and on POST one mail with the post rendered as HTML, sent in
// the board's name to a few addresses at most. The post's forum is checked
// as the thread view checks it, so a private forum's post reaches only
// visitors admitted to it.
#include <string>
#include <vector>

#include "board/converter/Converter.h"
#include "board/mail/MailGuard.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "board/browse/BrowsePages.h"
#include "platform/Convert.h"
#include "platform/MailComponent.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

// The post's text as the thread view shows it, without smileys.
std::string RenderedMessage(const platform::Server& server, const platform::Variant& message) {
    platform::Variant content(server.HTMLEncode(message));
    return board::NewUbbCode()->UbbCode(content);
}

}  // namespace

void BrowsePages::Pack() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        const Settings& s = CurrentSettings();
        platform::Response& out = Response();
        StartPage(p, {"打包下载", Server().HTMLEncode(Request()("subject")) + "打包下载 - " + s.BBName});

        if (Request().ServerVariables("REQUEST_METHOD").str() != "POST") {
            out.Write("<center>");
            WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td>" +
                             "<td align=center valign=middle> <strong><font color=" + s.BBTitleFontColor +
                             ">打包下载</font></strong><p>" + GetNavBarHtml() + "</p></td></tr></table>");
            out.Write("<form action=download.asp method=post>");
            out.Write("<input type=hidden name=topic value=\"" + Server().HTMLEncode(Request()("topic")) + "\">");
            out.Write(s.TableBorderOpen);
            out.Write("<table cellpadding=4 cellspacing=1 border=0 width=" + s.InnerTableWidth + ">");
            out.Write("<tr " + s.TableColorStrip + "><td colspan=2><font color=" + s.TableStripTextColor + "><b>");
            out.Write("请输入电子邮件地址，你可以同时输入多个电子邮件地址，但中间必须用逗号(,)分隔</b></font></td></tr>");
            out.Write("<tr " + s.AltColumnColor1 + ">");
            out.Write("<td><b>EMail地址</b><td>");
            out.Write("<input type=text name=email size=40 maxlength=255>");
            out.Write("</td></tr>");
            out.Write("</table>");
            out.Write(s.TableBorderClose);
            out.Write("<p>");
            out.Write("<input type=submit value=发送 class=buttonface id=submit1 name=submit1>");
            out.Write("</p>");
            out.Write("</form>");
            out.Write("</center>");
            out.Write(s.Copyright);
            return;
        }

        const std::int32_t id = platform::CLng(Request()("topic"));
        if (!IsPositiveNumber(platform::Variant(id))) p.Refuse("参数错误");

        // A few recipients at most; several are mailed blind, so that none
        // learns another's address.
        std::vector<std::string> addresses;
        for (const std::string& part : platform::Split(Request()("email").str(), ","))
            if (platform::InStr(part, "@") > 0) addresses.push_back(part);
        if (addresses.size() > board::kMaxMailRecipients)
            p.Refuse("一次最多只能发送给" + std::to_string(board::kMaxMailRecipients) + "个电子邮件地址，请减少后再试!");
        const bool blind = addresses.size() > 1;
        platform::MailComponent mail;
        int recipients = 0;
        for (const std::string& address : addresses) {
            const std::string name = platform::Left(address, platform::InStr(address, "@") - 1);
            if (blind ? mail.AddBlindRecipient(name, address) : mail.AddRecipient(name, address)) ++recipients;
        }
        if (recipients == 0) p.Refuse("请输入合法电子邮件地址!");
        mail.MailFromName(s.BBName);
        mail.MailFromAddress(s.BBEMail);
        mail.MailServer(s.SmtpServer);

        platform::Recordset rs;
        rs.Open("Select post.*, " + core::CurrentForumName("forumname") + " as currentforum from post  where postid=?",
                p.Db(), platform::CursorType::Static, {id});
        if (rs.Eof()) p.Refuse("贴子不存在");
        const platform::Variant parentId = rs.Fields("parentid");
        const std::string threadId = parentId.isNull() ? std::to_string(id) : parentId.str();

        const std::string forum = rs.Fields("currentforum").str();
        const ForumAdmission admission = CheckForum(p.Db(), forum);
        if (!admission.exists)
            p.Refuse("对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！");
        if (!admission.admitted) {
            PrivateForum(forum);
            p.Stop();
        }
        platform::MailSendSlot slot;
        if (!slot.Take()) p.Refuse(core::kMailServerBusy);
        const std::string repeated = board::RepeatedMailRefusal(*this, addresses);
        if (!repeated.empty()) p.Refuse(repeated);

        const std::string subject = rs.Fields("subject").str();
        mail.MailSubject(subject);
        mail.MailCharset("gb2312");
        mail.MailContentType("text/html");
        const std::string boardLink = "<a href=" + s.BBURL + ">" + s.BBName + "</a>";
        mail.MailBody("<html><body>"
                      "发信人:" + Server().HTMLEncode(rs.Fields("UserName")) +
                      ",讨论区：" + Server().HTMLEncode(forum) + "<br>"
                      "主题:" + Server().HTMLEncode(subject) + "<br>"
                      "来自:" + boardLink + "<br>"
                      "<p></p>" +
                      RenderedMessage(Server(), rs.Fields("Message")) +
                      "<p></p>"
                      "---------------------------------<br>"
                      "欢迎访问" + boardLink + "<br>");
        const platform::MailResult result = mail.SendNow();
        if (result.sent)
            Wait("你的邮件已经送出", "newsdetail.asp?id=" + threadId, "话题", 2);
        else
            ErrorForm(Server().HTMLEncode(result.failure));
    });
}

}  // namespace board
