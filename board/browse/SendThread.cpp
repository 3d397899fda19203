// Send a page to a friend (ubbmisc.asp?action=sendthread): a form prefilled
// with the referring page, and on POST one mail through SendMail.
//
// The mail goes out from the board's own address with the visitor's name
// and a Reply-To of the visitor's address, and the visitor's text is
// encoded, so the board cannot be used to forge mail or send HTML in its
// name; the board adds the recommended page as a link of its own. The mail
// guard limits it as every mail page, and per recipient.
#include <string>

#include "board/mail/MailGuard.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "board/browse/BrowsePages.h"
#include "platform/MailComponent.h"
#include "platform/Strings.h"

namespace board {

using namespace core;  // the board frame and the shared helpers

namespace {

struct FormField {
    const char* label;
    const char* input;  // the control without its value
};

// The referring page as an address of this board ("/newsdetail.asp?id=3")
// when it lies on this host, so that the forwarding page accepts it.
std::string OnThisBoard(const std::string& url, const std::string& host) {
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix = scheme + host + "/";
        if (!host.empty() && url.size() >= prefix.size() &&
            platform::EqualsIgnoreCase(url.substr(0, prefix.size()), prefix))
            return url.substr(prefix.size() - 1);
    }
    return url;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && platform::EqualsIgnoreCase(text.substr(0, start.size()), start);
}

// The recommended page's address under the board's folder (the folder of
// BBURL): a page under that folder as it is; a page under the same path on
// the host the visitor reached the board by (another name for it) moved
// onto BBURL's host, so that the mail never links another site. "" for
// any other page.
std::string PageOfTheBoard(const std::string& url, const std::string& boardUrl, const std::string& host) {
    const std::size_t hostStart = boardUrl.find("://");
    if (hostStart == std::string::npos) return "";
    const std::size_t lastSlash = boardUrl.rfind('/');
    const std::string folder =
        lastSlash > hostStart + 2 ? boardUrl.substr(0, lastSlash + 1) : boardUrl + "/";
    if (StartsWithIgnoringCase(url, folder)) return url;
    const std::size_t pathStart = folder.find('/', hostStart + 3);
    const std::string folderPath = folder.substr(pathStart);
    const std::string onThisHost = OnThisBoard(url, host);
    if (onThisHost == url || !StartsWithIgnoringCase(onThisHost, folderPath)) return "";
    return folder + onThisHost.substr(folderPath.size());
}

// The board's own link under the visitor's text, written out so that the
// friend sees where it leads.
std::string LinkToPage(const platform::Server& server, const std::string& page) {
    if (page.empty()) return "";
    const std::string address = server.HTMLEncode(page);
    return "<br><br><a href=\"" + address + "\">" + address + "</a>";
}

// Typed text as HTML: encoded, line breaks kept.
std::string TextAsHtml(const platform::Server& server, const std::string& text) {
    std::string html = platform::Replace(server.HTMLEncode(text), "\r\n", "<br>");
    return platform::Replace(html, "\n", "<br>");
}

}  // namespace

void BrowsePages::SendThread() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        const Settings& s = CurrentSettings();
        platform::Response& out = Response();
        StartPage(p, {"推荐给你的朋友", "把本页发送给你的朋友 - " + s.BBName});

        if (Request().ServerVariables("request_method").str() != "POST") {
            const std::string subject = Request().QueryString("subject").str();
            const std::string referer = Request().ServerVariables("http_referer").str();
            // Plain text: the mail encodes it, and the board adds the page's link itself.
            const std::string message = "这是" + s.BBName + "里的一个帖子，我想，你可能会对此页有兴趣：" + subject;
            out.Write("<center>");
            out.Write("<FORM ACTION=ubbmisc.asp METHOD=POST>");
            WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><TR bgcolor=#FFFFFF>"
                             "<TD align=left><A HREF=default.asp><IMG src=images/vuvedirir.gif BORDER=0 "
                             "ALT=VUVEdirir></A></TD><TD align=right valign=bottom><FONT COLOR=" +
                             s.BBTitleFontColor + "><B>把本页发送给朋友</B></FONT></td></tr></table>");
            out.Write("<BR>" + s.TableBorderOpen + "<TABLE BORDER=0 cellspacing=1 cellpadding=4 width=" +
                      s.InnerTableWidth + ">");
            const FormField fields[] = {
                {"你的姓名：", "<INPUT TYPE=TEXT NAME=FromName SIZE=25 MAXLENGTH=100 class=smallinput>"},
                {"你的电子邮件（让你的朋友可以写回信给你）：",
                 "<INPUT TYPE=TEXT NAME=FromEmail SIZE=25 MAXLENGTH=100 class=smallinput>"},
                {"对方的姓名：", "<INPUT TYPE=TEXT NAME=SendToName SIZE=25 MAXLENGTH=75 class=smallinput>"},
                {"对方的电子邮件：", "<INPUT TYPE=TEXT NAME=SendToEmail SIZE=25 MAXLENGTH=100 class=smallinput>"},
            };
            int row = 0;
            auto rowStart = [&] { return "<TR " + (row++ % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) + ">"; };
            for (const FormField& f : fields)
                out.Write(rowStart() + "<TD><B>" + f.label + "</B></TD><TD>" + f.input + "</TD></TR>");
            out.Write(rowStart() + "<TD><B>标题：</B></TD><TD><INPUT TYPE=TEXT NAME=EmailSubject SIZE=40 "
                                   "MAXLENGTH=100 class=smallinput VALUE=\"" +
                      Server().HTMLEncode(subject) + "\"></TD></TR>");
            out.Write(rowStart() + "<TD valign=top><B>正文：</B></TD><TD><TEXTAREA NAME=EmailMessage ROWS=4 "
                                   "COLS=50 class=smallarea>" +
                      Server().HTMLEncode(message) + "</TEXTAREA></TD></TR>");
            out.Write("</table>" + s.TableBorderClose);
            out.Write("<P><INPUT TYPE=SUBMIT NAME=SUBMIT VALUE=发送邮件！ class=buttonface>");
            out.Write("<INPUT TYPE=HIDDEN NAME=ForwardURL VALUE=\"" + Server().HTMLEncode(referer) + "\">");
            out.Write("<INPUT TYPE=HIDDEN NAME=action VALUE=sendthread></FORM></p></center>");
            out.Write(s.Copyright);
            return;
        }

        const platform::Request& in = Request();
        const std::string sendToName = in.Form("SendToName").str();
        const std::string sendToEmail = in.Form("sendtoemail").str();
        const std::string fromName = in.Form("fromname").str();
        const std::string fromEmail = in.Form("fromEMail").str();
        const std::string message = in.Form("emailMessage").str();
        const std::string subject = in.Form("EmailSubject").str();
        if (sendToName.empty() || sendToEmail.empty() || fromName.empty() || fromEmail.empty() ||
            message.empty() || subject.empty()) {
            ErrorForm("请输入所有内容。按浏览器的后退按钮可进行修改！");
            return;
        }
        if (!platform::LooksLikeMailAddress(platform::Trim(sendToEmail)) ||
            !platform::LooksLikeMailAddress(platform::Trim(fromEmail))) {
            ErrorForm("请输入合法电子邮件地址!");
            return;
        }
        platform::MailSendSlot slot;
        if (!slot.Take()) {
            ErrorForm(core::kMailServerBusy);
            return;
        }
        const std::string repeated = board::RepeatedMailRefusal(*this, {sendToEmail});
        if (!repeated.empty()) {
            ErrorForm(repeated);
            return;
        }

        const std::string forwardUrl = in.Form("forwardurl").str();
        const platform::MailResult mail = SendMail(
            fromName, s.BBEMail, sendToName, sendToEmail, subject,
            TextAsHtml(Server(), message) +
                LinkToPage(Server(), PageOfTheBoard(forwardUrl, s.BBURL, in.ServerVariables("http_host").str())),
            platform::Trim(fromEmail));
        if (mail.sent) {
            Wait("我们已经给 " + Server().HTMLEncode(sendToEmail) + " 发送了电子邮件",
                 OnThisBoard(forwardUrl, in.ServerVariables("http_host").str()), "你发送这个电子邮件的页面", 2);
        } else {
            ErrorForm(Server().HTMLEncode(mail.failure));
        }
        out.Write("</center>");
    });
}

}  // namespace board
