// The first two stages of registration: the board's rules with the
// agreement buttons, and the registration form.
#include <string>

#include "board/members/DayFilters.h"
#include "board/members/MemberPages.h"
#include "core/PageFrame.h"
#include "core/Settings.h"

namespace board {

namespace {

struct FormRow {
    const std::string* colour;
    std::string label;  // the whole label cell
    const char* input;
};

}  // namespace

void MemberPages::WriteSignupStart(core::Page& p) {
    const core::Settings& s = core::CurrentSettings();
    StartPage(p, {"用户注册", "用户注册 - " + s.BBName, "<center>",
                  "<table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td>" +
                      "<td align=center valign=middle><font class=bbtitle>" + s.BBName + " 用户注册</font></td>" +
                      "</tr></table>"});
}

void MemberPages::Agree() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        WriteSignupStart(p);
        Response().Write(
            "<form NAME=Register METHOD=POST ACTION=Signup.asp>" + s.TableBorderOpen +
            "<table cellpadding=4 border=0 cellspacing=1   align=center width=" + s.InnerTableWidth + ">"
            "<tr " + s.TableColorStrip + "><td align=center><font color=" + s.TableStripTextColor +
            "><b>论坛规则及用户协议</b></font></td></tr>"
            "<tr " + s.AltColumnColor1 + "><td>在此论坛注册是完全免费的！但你必须首先同意遵守以下的规则，"
            "请仔细阅读下列条款，单击“我同意“按钮，进行注册，如果你不同意，按“不同意”按钮退出.</td></tr>"
            "<tr " + s.AltColumnColor1 + "><td>" + Application()("BBRules").str() + "</td></tr>"
            "</table>" + s.TableBorderClose + "<br><br><br>"
            "<input TYPE=HIDDEN NAME=action VALUE=Agree >"
            "<input TYPE=SUBMIT NAME=Submit VALUE='同意' class=buttonface>"
            "<input TYPE=Submit NAME=Submit VALUE='不同意' class=buttonface>"
            "</form></center>");
    });
}

void MemberPages::SignupOrLeave() {
    if (Request().Form("Submit").str() == "不同意") Response().Redirect("default.asp");
    else Signup();
}

void MemberPages::Signup() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        WriteSignupStart(p);
        out.Write("<form NAME=Register METHOD=POST ACTION=Signup.asp>" + s.TableBorderOpen +
                  "<table cellpadding=4 border=0 cellspacing=1   align=center width=" + s.InnerTableWidth + ">");
        out.Write("<tr " + s.AltColumnColor1 + "><td colspan=2><b>要发表贴子，你首先要注册."
                  "<br>用户名最长 15 个字符，可以使用中文,字母或数字. 一个中文字等于一个字符."
                  "<br>注意: 所有在本页填写的信息(除了密码)都会在论坛公开. 你如果觉得某些信息不想公开，"
                  "可以留空它不填.  必须填写的字段后面有个星号..</b></td></tr>");

        auto row = [&](const std::string& colour, const std::string& label, const std::string& input) {
            out.Write("<tr " + colour + ">" + label + "<td>" + input + "</td></tr>");
        };
        row(s.AltColumnColor2, "<td " + s.AltColumnColor1 + "><b>用户名*</b></td>",
            "<input TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=15 class=smallinput>");
        if (!s.EMailRegister) {
            row(s.AltColumnColor2, "<td><b>密码*</b></td>",
                "<input TYPE=PASSWORD NAME=password SIZE=13 MAXLENGTH=13 class=smallinput>");
            row(s.AltColumnColor1, "<td><b>重复密码*</b></td>",
                "<input TYPE=PASSWORD NAME=password2 SIZE=13 MAXLENGTH=13 class=smallinput>");
        }
        out.Write("<tr " + s.AltColumnColor2 + "><TD  colspan=2><FONT COLOR=#000080>" +
                  (s.EMailRegister ? "重要信息：我们将根据你提供的邮件地址把注册密码发送给你。"
                                     "因此，错误的电子邮件地址将导致你无法发表信息。"
                                   : "重要信息：为了便于其他成员和您联系，请输入您正确的电子邮件地址！") +
                  "</FONT></td></tr>");
        const FormRow rows[] = {
            {&s.AltColumnColor1, "<td ><b>Email*</b></td>",
             "<input TYPE=TEXT NAME=Email SIZE=30 MAXLENGTH=50 class=smallinput>"},
            {&s.AltColumnColor2, "<td><b>OICQ(有的话还是输入它吧)</b></td>",
             "<input TYPE=TEXT NAME=OICQ SIZE=10 MAXLENGTH=10 class=smallinput>"},
            {&s.AltColumnColor1, "<td><b>ICQ(我们的论坛允许别人在Web页发消息给您)</b></td>",
             "<input TYPE=TEXT NAME=ICQ SIZE=10 MAXLENGTH=10 VALUE class=smallinput>"},
            {&s.AltColumnColor2, "<td><b>所在市, 省, 国</b></td>",
             "<input TYPE=TEXT NAME=Location SIZE=30 MAXLENGTH=50 class=smallinput>"},
            {&s.AltColumnColor1, "<td><b>职业</b></td>",
             "<input TYPE=TEXT NAME=Occupation SIZE=30 MAXLENGTH=50 class=smallinput>"},
            {&s.AltColumnColor2, "<td><b>主页</b></td>",
             "<input TYPE=TEXT NAME=URL SIZE=30 MAXLENGTH=100 VALUE=\"http://\" class=smallinput>"},
            {&s.AltColumnColor1, "<td><b>兴趣</b></td>",
             "<input TYPE=TEXT NAME=Interests SIZE=30 MAXLENGTH=200 class=smallinput>"},
            {&s.AltColumnColor2,
             "<td valign=top><b>个人签名</b><br>你可以在贴子的后面加入你自己的签名. 注意: "
             "论坛管理员把签名的<a href=ubbcode.htm>Ubb功能</a>状态设为 开放 . </td>",
             "<textarea NAME=Signature ROWS=3 COLS=25 WRAP=PHYSICAL class=smallarea></textarea>"},
        };
        for (const FormRow& r : rows) row(*r.colour, r.label, r.input);
        out.Write("<TR " + s.AltColumnColor1 + "><TD><B>是否允许版主和主持人发送 Email通知给你？</B></TD>"
                  "<TD><CENTER><INPUT TYPE=RADIO NAME=AllowMassMail VALUE=yes CHECKED> 好的  "
                  "<INPUT TYPE=RADIO NAME=AllowMassMail VALUE=no> 不行</CENTER></TD></tr>");
        out.Write("</table>");

        out.Write("<table cellpadding=4 border=0 cellspacing=1 width=" + s.InnerTableWidth + ">");
        out.Write("<tr  " + s.AltColumnColor2 + "><td colspan=2><p><b>设置个人选项:</b> 如果你使用支持 "
                  "cookies的浏览器, 您的选项将会作为cookies被存在您的浏览器里,  除了 &quot;EMAIL显示&quot; "
                  "选项之外.  如果您的浏览器不支持cookie或您的cookie选项被关闭，那么您的以下设置则无效.</td></tr>");
        out.Write("<tr " + s.AltColumnColor1 + "><td valign=top><b>一年内在浏览器缓存中储存我的用户名和密码。"
                  "（否则您每次进入论坛都要至少填写一次)</b></td><td valign=top align=center>"
                  "<input TYPE=RADIO NAME=NameStorage VALUE=yes CHECKED> 好的  "
                  "<input TYPE=RADIO NAME=NameStorage VALUE=no> 不行</td></tr>");
        out.Write("<tr " + s.AltColumnColor2 + "><td valign=top><b>默认主题浏览:</b></td>"
                  "<td valign=top align=center><select NAME=DaysPrune class=smallSel>" +
                  DayFilterOptions(s.DaysPruneDefault, "显示所有的贴子", "") + "</select></td></tr>");
        out.Write("<tr " + s.AltColumnColor1 + "><td valign=top><b>是否在你发表的贴子中公开你的EMAIL，"
                  "以便他人给你写信?</b></td><td valign=top align=center>"
                  "<input TYPE=RADIO NAME=EmailView VALUE=yes CHECKED>yes "
                  "<input TYPE=RADIO NAME=EmailView VALUE=no> no</td></tr>");
        out.Write("</table>" + s.TableBorderClose + "<br><br><br>"
                  "<input TYPE=HIDDEN NAME=action VALUE=RegSubmit >"
                  "<input TYPE=SUBMIT NAME=Submit VALUE=提交 class=buttonface>"
                  "<input TYPE=RESET NAME=Reset VALUE=重置 class=buttonface>"
                  "</form></center>");
    });
}

}  // namespace board
