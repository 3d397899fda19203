#include "board/posting/PostingForm.h"

#include "core/Module1.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Charset.h"
#include "platform/Request.h"
#include "platform/Session.h"
#include "core/Visitor.h"

namespace board {

namespace {

std::string Quoted(const std::string& value) { return "\"" + platform::HtmlEncode(value) + "\""; }

std::string StripCell(const std::string& text, bool bold) {
    const core::Settings& s = core::CurrentSettings();
    return "<td><font color=" + s.TableStripTextColor + ">" + (bold ? "<b>" + text + "</b>" : text) +
           "</font></td>";
}

}  // namespace

std::string WhoMayPostRows(const std::string& aboutRegistering) {
    const core::Settings& s = core::CurrentSettings();
    return "<tr " + s.TableColorStrip + ">" + StripCell("谁能发表？", true) +
           StripCell("全部注册用户均能发表和回复", true) + "</tr><tr " + s.TableColorStrip + ">" +
           StripCell("关于注册", true) + StripCell(aboutRegistering, false) + "</tr>";
}

std::string LoginRows(core::Tarnbell& page, const std::string& nameLabel, const std::string& passwordLabel,
                      const std::string& afterPassword) {
    if (core::SessionLoggedIn(page.Session())) return {};
    const core::Settings& s = core::CurrentSettings();
    const platform::Request& request = page.Request();
    core::KeepOutOfCaches(page.Response());
    return "<tr " + s.AltColumnColor2 + "><td>" + nameLabel +
           "</td><td><INPUT TYPE=TEXT NAME=UserName SIZE=25 MAXLENGTH=25 class=SmallInput VALUE=" +
           Quoted(request.Cookies("UserName").str()) + "></td></tr><tr " + s.AltColumnColor2 + "><td>" +
           passwordLabel + "</td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=13 MAXLENGTH=13 class=SmallInput VALUE=" +
           Quoted(request.Cookies("Password").str()) + ">" + afterPassword + "</td></tr>";
}

std::string CredentialRows(core::Tarnbell& page) {
    return LoginRows(page, "<b>你的用户名：</b>", "<b>你的密码：</b>",
                     " <a href=ubbmisc.asp?action=lostpw>忘了密码？</a>");
}

std::string IconRow() {
    static const std::string row = [] {
        auto icon = [](int n) {
            const std::string v = std::to_string(n);
            return "<INPUT TYPE=RADIO NAME=MsgIcon VALUE=" + v + (n == 1 ? " CHECKED" : "") +
                   "><IMG SRC=icon/icon" + v + ".gif WIDTH=15 HEIGHT=15>&nbsp;&nbsp;";
        };
        std::string icons;
        for (int n : {1, 10, 11, 12, 13, 14, 2}) icons += icon(n);
        icons += "<br>";
        for (int n = 3; n <= 9; ++n) icons += icon(n);
        return icons + "<br>";
    }();
    return "<tr " + core::CurrentSettings().AltColumnColor2 + "><td valign=top><b>消息图标：</b></td><td>" + row +
           "</td></tr>";
}

std::string MessageRow(const std::string& label, const std::string& editorText, const std::string& aboveEditor,
                       bool smileyHelp) {
    return "<tr " + core::CurrentSettings().AltColumnColor2 + "><td noWrap align=right valign=top><b>" + label +
           "</b><br><br>* HTML 代码关闭<br><a href=ubbcode.htm target=_blank>* UBB　代码开启</a>" +
           (smileyHelp ? "<br><a href=smiles.htm target=_blank>* 笑脸转换一点通</a>" : "") + "</td><td>" + aboveEditor +
           core::PageEditor(editorText) + "</td></tr>";
}

std::string OptionBox(const std::string& name, bool checked, const std::string& label, const std::string& note) {
    return "<INPUT TYPE=CHECKBOX NAME=" + name + (checked ? " CHECKED" : "") + "><b>" + label + "</b>" + note +
           "<br>";
}

std::string OptionsRow(const std::string& boxes) {
    return "<tr " + core::CurrentSettings().AltColumnColor2 + "><td valign=top><b>选项：</b></td><td>" + boxes +
           "</td></tr>";
}

std::string HiddenField(const std::string& name, const std::string& value) {
    return "<INPUT TYPE=HIDDEN NAME=" + name + " VALUE=" + Quoted(value) + ">";
}

std::string FormButtons(const std::string& label) {
    return "<INPUT TYPE=SUBMIT NAME=Submit VALUE=" + label +
           " class=buttonface>&nbsp;<INPUT TYPE=RESET NAME=Reset VALUE=清除字段 class=buttonface>";
}

std::string MarkupNote() {
    return "<p>* 如果 HTML 和/或 <a href=ubbcode.htm target=_blank>UBB 代码</a>"
           "功能被打开，则意味着你可以在消息中使用 HTML 和/或 UBB 代码。</p>";
}

std::string NotesBelowForm() {
    return MarkupNote() + "<p>如果你先前已经注册，但忘了密码，<a href=ubbmisc.asp?action=lostpw>按这里</a></p>";
}

}  // namespace board
