#include "admin/forms/DataForms.h"

#include "admin/forms/LoginRows.h"
#include "core/Settings.h"

namespace admin::forms {

std::string MaintenanceForm(const core::Credentials& login) {
    const core::Settings& s = core::CurrentSettings();
    return "<br><center><h1>数据维护</h1>"
           "<FORM ACTION=misc.asp  NAME=Authorize METHOD=POST>"
           "<p><B>只有管理员可以执行此操作。</B>" +
           s.TableBorderOpen + "<table cellpadding=4 border=0 cellspacing=1 width=" + s.InnerTableWidth + ">" +
           "<tr " + s.AltColumnColor2 +
           "><td colspan=2><p>数据维护是当数据发生混乱或你从低版本的Tarnbell进行迁移时使用的功能。它包括以下几个方面的操作"
           "<ul><li><input type=checkbox name=foruminfo>版面信息维护<br>"
           "根据数据库重新调整主题数、贴子总数、最后发表时间、最后发表人、版主等信息。"
           "<li><input type=checkbox name=topicinfo>主题信息维护<br>"
           "根据数据库内容重新调整主题回复数，最后回复人，最后回复时间等信息。"
           "<li><input type=checkbox name=userinfo>用户信息维护<br>"
           "主要维护用户的贴子数和积分，如果想保持现状，请不要核选此功能（如方说你想保留用户发贴总数，而又不想迁移贴子时）<br>"
           "一般的，会有一个论坛不在积分的考虑之内，如灌水版面，请输入这个论坛的名称！"
           "<input type=text name=forumname size=25 maxlength=50><br>"
           "<b>注意：</b>根据您的数据量大小，有时数据维护可能需要很长时间。同时也为了避免数据冲突，请务必在空闲时进行该操作和耐心等待"
           "</ul></td></tr>" +
           LoginRows(login, true) +
           "</TABLE>" + s.TableBorderClose +
           "<P><INPUT TYPE=SUBMIT class=buttonface NAME=Submit VALUE=进行数据维护></form></CENTER>";
}

std::string ImportForm(const core::Credentials& login) {
    const core::Settings& s = core::CurrentSettings();
    return "<br><center><h1>导入UBB账号</h1>"
           "<FORM ACTION=account.asp  NAME=Authorize METHOD=POST>"
           "<INPUT TYPE=HIDDEN NAME=action VALUE=ImportAccount>"
           "<p><B>只有管理员可以执行此操作。</B>" +
           s.TableBorderOpen + "<table border=0 cellpadding=4 border=0 cellspacing=1 width=" + s.InnerTableWidth +
           ">"
           "<tr><td colspan=2><p>如果你想从ubb 5.4版本升级到Tarnbell，这个功能可以将你的ubb 5.4用户迁移到Tarnbell,"
           "在执行迁移的前，你必须做以下准备！"
           "<ul><li>将ubb 5.4账号ftp到服务器的某一目录中，如c:\\ubbaccount"
           "<li>在账号目录中输入该目录名称，然后点击\"导入账号\"按钮</ul>"
           "<b>注意：</b>账号目录不能存在其他非账号文件，导入账号完成后，系统会产生一个导入报告！</td></tr>"
           "<TR " + s.TableColorStrip + "><TD colspan=2><FONT COLOR=" + s.TableStripTextColor +
           "><b>为了导入账号，先在下面认证你的身份。</FONT></B></td></tr>"
           "<TR " + s.AltColumnColor2 + "><TD><B>账号目录</FONT></B></TD><TD>"
           "<INPUT TYPE=TEXT NAME=dir SIZE=50 MAXLENGTH=255 ></td></tr>" +
           LoginRows(login, true) +
           "</TABLE>" + s.TableBorderClose +
           "<P><INPUT TYPE=SUBMIT class=buttonface NAME=Submit VALUE=导入账号></form></CENTER>";
}

}  // namespace admin::forms
