// The lost password (ubbmisc.asp?action=lostpw): a form asking for a mail
// address, and a mail with the name and password of the member who has it.
// The mail goes to the address stored with that member, the one the member
// registered, and to nobody else, within the mail guard's interval.
#include <string>

#include "board/mail/MailGuard.h"
#include "board/members/MemberPages.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "platform/Charset.h"
#include "platform/Recordset.h"

namespace board {

void MemberPages::lostpw() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        out.Write(core::PageHead("通过提供电子邮件获得密码"));

        if (Request().ServerVariables("REQUEST_METHOD").str() != "POST") {
            out.Write("<center>");
            WriteBoardHeader("<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td><td><FONT COLOR=" +
                             s.BBTitleFontColor + "><b>通过提供电子邮件获得密码</b></td></tr></table>");
            out.Write("<table border=0 width=" + s.TableWidth + "><tr><td ><p><b>你可以通过提供电子邮件来获得你的用户名和"
                      "密码。我们会将与此邮件相关的用户名和密码发至下面的信箱中。</b></p></td></tr>"
                      "<tr><td ><FORM ACTION=ubbmisc.asp METHOD=POST><p><br><b>你的电子邮件地址：</b><br>"
                      "<INPUT TYPE=TEXT NAME=sendto SIZE=35 MAXLENGTH=90><P>"
                      "<input type=Hidden name=action value=lostpw>"
                      "<INPUT TYPE=SUBMIT NAME=Submit VALUE=发送我的用户名和密码 class=buttonface>"
                      "</p></FORM></td></tr></table></center>");
            return;
        }

        const std::string sendto = Request().Form("sendto").str();
        platform::Recordset rs;
        rs.Open("select username, password, email from register where email=? order by rowid limit 1", p.Db(),
                {sendto});
        if (sendto.empty() || rs.Eof())
            p.Refuse("我们注册的用户中没有你列出的电子邮件地址。使用浏览器的后退按钮并再试一次。");
        platform::MailSendSlot slot;
        if (!slot.Take()) p.Refuse(core::kMailServerBusy);
        const std::string repeated = RepeatedMailRefusal(*this, {rs.Fields("email").str()});
        if (!repeated.empty()) p.Refuse(repeated);
        const std::string name = rs.Fields("username").str();
        const std::string body = "这里是你要求的在" + s.BBName + "中的注册信息。<br>" + "\r\n" + "你的用户名：" +
                                 platform::HtmlEncode(name) + "<br>" + "你的密码：" +
                                 platform::HtmlEncode(rs.Fields("password").str()) +
                                 "<br>这个公告牌系统的位置在<a href=" + s.BBURL + ">" + s.BBURL + "</a><br>" + "谢谢你！";
        const platform::MailResult mail =
            core::SendMail(s.BBName, s.BBEMail, name, rs.Fields("email").str(), "您的用户名和口令", body);
        if (!mail.sent) p.Refuse("发送邮件错误：" + platform::HtmlEncode(mail.failure));
        out.Write("<table border=0 cellpadding=4 border=0 cellspacing=1 width=95%><TR bgcolor=#f7f7f7><TD>"
                  "<B>你在此公告牌中的用户名和密码刚发送给你！你正被自动转送到论坛主页。 请稍候... "
                  "<P><A HREF=default.asp>如果你不想再等或浏览器没自动转移，请按这里。</A></B><br><br>"
                  "</td></tr></table></center><meta http-equiv=Refresh content=\"2; URL=default.asp\">");
    });
}

}  // namespace board
