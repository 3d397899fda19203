// Writing a message: the compose form, empty or answering a received
// message, and its post, which stores the message in the recipient's inbox
// and the sender's outbox.
#include "core/MemberLinks.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "pm/PM.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace pm {

struct ComposeForm {
    const char* title;
    std::string recipient;
    std::string subject;
    std::string text;  // of the message box, as HTML source
    bool alwaysUbb;    // the answer form keeps the UBB header in every style
};

namespace {

using platform::HtmlEncode;
using platform::QuotedAttribute;

// The fourteen icon choices, the first checked.
const std::string& IconChoices() {
    static const std::string choices = [] {
        auto choice = [](int n) {
            const std::string v = std::to_string(n);
            return "<input type=radio name=MsgIcon value=" + v + (n == 1 ? " checked" : "") + "><img src=icon/icon" +
                   v + ".gif width=15 height=15 ALIGN=ABSCENTER>&nbsp;&nbsp;";
        };
        std::string html;
        for (int n : {1, 10, 11, 12, 13, 14, 2}) html += choice(n);
        html += "<br>";
        for (int n = 3; n <= 9; ++n) html += choice(n);
        return html + "<br>";
    }();
    return choices;
}

std::string FieldRow(const std::string& labelAttributes, const std::string& label, const std::string& field) {
    return "<tr " + core::CurrentSettings().AltColumnColor2 + "><td align=right" + labelAttributes + ">" + label +
           "</td><td>" + field + "</td></tr>";
}

}  // namespace

void PM::WriteComposePage(const ComposeForm& form) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = Response();
    out.Write(core::PageHead(form.title + s.BBName));
    out.Write("<center>");
    WriteHeader("<p><b>　　　　悄　悄　话 　　　　</b></p>", true, form.alwaysUbb);
    out.Write("<form action=pm.asp method=post NAME=PostTopic>");
    out.Write(s.TableBorderOpen);
    out.Write("<table border=0 cellpadding=4 cellspacing=1 width=" + s.InnerTableWidth + ">");
    out.Write("<tr " + s.TableColorStrip + "><td valign=top><FONT COLOR=" + s.TableStripTextColor +
              "><b>谁能发表？</b></font></td><td valign=top><FONT COLOR=" + s.TableStripTextColor +
              "><b>全部注册用户均能发表悄悄话</b></font></td></tr>");
    out.Write(FieldRow("", "<B>收件人</B>",
                       "<input type=text name=recipient class=smallinput size=25 maxlength=255 value=" +
                           QuotedAttribute(form.recipient) + ">&nbsp;<a href=member.asp><b>成员列表</b></a>"));
    out.Write(FieldRow("", "<B>标题：</B>",
                       "<input type=text name=Subject class=smallinput size=40 maxlength=85 value=" +
                           QuotedAttribute(form.subject) + ">"));
    out.Write(FieldRow(" valign=top", "<B>消息图标：</B>", IconChoices()));
    out.Write(
        FieldRow(" valign=top NOWRAP",
                 "<B>正文：</B><p><BR>* HTML 代码关闭<BR><A HREF=ubbcode.htm target=_blank>* UBB　代码开启</A></p>",
                 core::PageEditor(form.text)));
    out.Write(
        "<tr " + s.AltColumnColor2 +
        "><td align=right valign=top><B>选项：</B></td><td>"
        "<INPUT TYPE=CHECKBOX NAME=Signature checked> <B>显示签名:</B> 包含你在户口本中的签名。只有注册用户有此功能。");
    out.Write("</td></tr></table>");
    out.Write(s.TableBorderClose);
    out.Write(
        "<P><input type=hidden name=action value=postpm>"
        "<input type=submit name=Submit value=发送 class=buttonface>"
        "<input type=reset name=Reset value=重来 class=buttonface></p></form>");
    out.Write(
        "<p>*如果 HTML 和/或 <A HREF=ubbcode.htm target=_blank>UBB 代码</A> "
        "功能被开放，则意味着你可以在消息使用 HTML 和/或 UBB 代码。</p>");
    out.Write("</center>");
    out.Write(s.Copyright);
    out.Write("</body></html>");
}

void PM::newpm() {
    RunPage(core::Closing::ErrorPageBody, [&](core::Page&) {
        WriteComposePage({"发表悄悄话 - ", Request()("Recipient").str(), Request()("subject").str(), "", false});
    });
}

void PM::ReplyPM() {
    RunPage(core::Closing::ErrorPageBody, [&](core::Page& p) {
        const platform::Variant requested = Request()("PostID");
        if (!core::IsPositiveNumber(requested)) p.Refuse("参数错误！");
        platform::Recordset rs;
        rs.Open("select * from pm where postid=? and recipient=?", Con(),
                {platform::Variant::longValue(platform::CLng(requested)), member_.name});
        if (rs.Eof()) p.Refuse("不存在被回复的悄悄话或你没有权限回复该悄悄话！");

        const std::string subject = rs.Fields("subject").str();
        const std::string quote =
            "\r\n\r\n-----原始邮件-----\r\n发件人: " + HtmlEncode(rs.Fields("sender").str()) +
            "\r\n发送时间: " + rs.Fields("posttime").str() + "\r\n收件人: " + HtmlEncode(rs.Fields("recipient").str()) +
            "\r\n主题: " + HtmlEncode(subject) + "\r\n\r\n" + HtmlEncode(rs.Fields("message").str());
        rs.Close();
        WriteComposePage({"回复悄悄话 - ", Request()("Recipient").str(), "回复:" + subject, quote, true});
    });
}

void PM::PostPM() {
    RunPage(core::Closing::BodyOnly, [&](core::Page& p) {
        const std::string ip = Request().ServerVariables("Remote_addr").str();
        if (!core::IsIPAllowed(ip))
            p.Refuse("对不起，你的 ip 地址 " + HtmlEncode(ip) +
                     " 已经被列入 IP 拒绝列表！您不能发表或回复任何话题。如果要取消此 IP 拒绝，请和论坛管理员联系！");
        // The form's fields only: a link cannot send a message in the member's name.
        const platform::RequestCollection& form = Request().Form();
        const std::string typed = platform::LCase(form("Recipient").str());
        const std::string message = platform::Trim(form("Message").str());
        const std::string subject = platform::Trim(form("Subject").str());
        if (subject.empty() || typed.empty() || message.empty())
            p.Refuse("发送给，主题，留言均不能为空！按后退按钮可重新处理！");
        if (!PostSubmitCheck() || !MemberSubmitCheck(member_.name))
            p.Refuse("论坛开启了重复递交检查功能，如果你在 " + std::to_string(core::CurrentSettings().SubmitInterval) +
                     " 秒内递交第二个贴子被视为重复提交,请稍待片刻后再试!");

        platform::Recordset rs;
        rs.Open("select username from register where username=?", Con(), {typed});
        if (rs.Eof()) p.Refuse("对不起，你发送给的用户并不存在，按浏览器的后退按钮可重新处理！");
        const std::string recipient = rs.Fields("username").str();
        rs.Close();
        rs.Open("select username from ignorelist where username=? and ignoreusername=?", Con(),
                {recipient, member_.name});
        if (!rs.Eof())
            p.Refuse("对不起，您已经被" + HtmlEncode(recipient) + "加入到悄悄话拒绝列表，在" + HtmlEncode(recipient) +
                     "没有把您从拒绝列表中删除前，悄悄话不能发送！");
        rs.Close();

        // The inbox row and the outbox copy are stored together or not at all.
        platform::Transaction transaction(Con());
        Con().Execute("insert into PM (icon, usesign, recipient, sender, message, subject) values (?, ?, ?, ?, ?, ?)",
                      {platform::Variant::integer(static_cast<std::int16_t>(core::MessageIcon(form("msgicon")))),
                       platform::Variant::integer(form("signature").str() == "on" ? 1 : 0), recipient, member_.name,
                       message, subject});
        const long long id = Con().LastIdentity();
        Con().Execute(
            "insert into outbox (postid,usesign,sender,recipient,subject,message,icon,posttime) "
            "select postid,usesign,sender,recipient,subject,message,icon,posttime from pm where postid=?",
            {platform::Variant(id)});
        transaction.Commit();
        Wait(HtmlEncode(member_.name) + ",谢谢你发表悄悄话", "pm.asp", "悄悄话首页", 2);
    });
}

}  // namespace pm
