#include "site/SitePages.h"

#include "core/BoardAddress.h"
#include "core/PageFrame.h"
#include "core/Settings.h"

namespace site {

void SitePages::Jump() {
    const std::string target = Request()("jumpTo").str();
    Response().Redirect(core::IsBoardAddress(target) ? target : "default.asp");
}

void SitePages::Start() { Response().Redirect("default.asp"); }

void SitePages::LoginForm() {
    core::LoadPageSettings(Application());
    const core::Settings& s = core::CurrentSettings();
    Response().Write(
        core::PageHead("用户登录 - " + s.BBName) +
        "<center><table border=0 width=" + s.TableWidth + "><tr><td>" + s.Logo + "</td>"
        "<td align=center valign=middle><font class=bbtitle>" + s.BBName + " 用户登录</font></td></tr></table>"
        "<form name=login method=post action=login.asp>" + s.TableBorderOpen +
        "<table cellpadding=4 border=0 cellspacing=1 align=center width=" + s.InnerTableWidth + ">"
        "<tr " + s.TableColorStrip + "><td colspan=2><font color=" + s.TableStripTextColor +
        "><b>请输入您的用户名和密码</b></font></td></tr>"
        "<tr " + s.AltColumnColor1 + "><td><b>用户名</b></td>"
        "<td><input type=text name=UserName size=25 maxlength=25 class=smallInput></td></tr>"
        "<tr " + s.AltColumnColor2 + "><td><b>密码</b></td>"
        "<td><input type=password name=Password size=13 maxlength=13 class=smallInput>"
        "&nbsp;&nbsp;<a href=ubbmisc.asp?action=lostpw>忘记了密码?</a></td></tr>"
        "</table>" + s.TableBorderClose +
        "<p><input type=submit name=Submit value=登录 class=buttonface></p></form>"
        "<p>还没有注册？<a href=signup.asp>请先注册</a></p></center>" + s.Copyright + "</body></html>");
}

void RegisterSitePages(platform::Router& router) {
    router.add("jump.asp", &SitePages::Jump);
    router.add("Default.htm", &SitePages::Start);
    router.add("login.htm", &SitePages::LoginForm);
}

}  // namespace site
