// What the visitor may do: the board login, the forum admission with the
// private-forum identity form and its handler, and the visit's start time.
// Who the visitor is: core/Visitor.cpp.
#include <cmath>

#include "core/MemberCheck.h"
#include "core/Module1.h"
#include "core/PublicForum.h"
#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace core {

void Tarnbell::Login() {
    RunPage(Closing::ErrorPageBody, [&](Page& p) {
        // Only a posted form logs in: credentials in an address end up in
        // histories and server logs, and cookies are not a login.
        const bool posted = Request().ServerVariables("request_method").str() == "POST";
        const std::string name = posted ? platform::Trim(Request().Form("UserName").str()) : "";
        const std::string password = posted ? platform::Trim(Request().Form("Password").str()) : "";
        if (name.empty() || password.empty())
            p.Refuse("请输入您的用户名和密码！按浏览器“后退“按钮可以重新处理！");

        platform::Recordset rs;
        if (!OpenMember(rs, p.Db(), "username", name, password))
            p.Refuse("对不起，您不是我们论坛的注册用户，请先<a href=signup.asp>注册</a>，按浏览器的“后退“按钮可以重新处理！");
        // The name as registered, whatever letter case was typed: pages
        // compare it with the names their rows keep (a post's author).
        Session().Set("UserName", rs.Fields("username").str());
        Session().Set("Password", password);
        Session().Set("Login", platform::Variant::integer(1));
        Session().RenewId();
        Response().Redirect("Default.htm");
    });
}

namespace {

// A private forum's admission in this session, kept apart from the board's
// other session values whatever the forum is called.
std::string AdmissionKey(const std::string& forumname) { return "admitted:" + forumname; }

}  // namespace

ForumAdmission Tarnbell::CheckForum(platform::Connection& con, const std::string& forumname) {
    ForumAdmission forum;
    if (forumname.empty()) return forum;
    platform::Recordset rs;
    rs.Open("select [restrict], forummaster from forum where forumname=?", con, {forumname});
    if (rs.Eof()) return forum;
    forum.exists = true;
    forum.rule = platform::LCase(rs.Fields("restrict").str());
    forum.master = rs.Fields("forummaster").str();
    if (forum.master.empty()) forum.master = "诚征版主";
    forum.admitted = forum.rule != "private" || !Session()(AdmissionKey(forumname)).isEmpty();
    return forum;
}

std::vector<std::string> Tarnbell::AdmittedPrivateForums(platform::Connection& con) {
    std::vector<std::string> admitted;
    platform::Recordset rs;
    rs.Open(std::string("select forumname from forum where not (") + kPublicForumSql + ")", con);
    for (; !rs.Eof(); rs.MoveNext()) {
        const std::string name = rs.Fields(0).str();
        if (!Session()(AdmissionKey(name)).isEmpty()) admitted.push_back(name);
    }
    return admitted;
}

void Tarnbell::PrivateForum(const std::string& forumname) {
    const Settings& s = CurrentSettings();
    platform::Response& out = Response();
    out.Write("<br><br><center>");
    out.Write("<b>加　密　论　坛</b>");
    out.Write("<FORM ACTION=ubbmisc.asp NAME=THEFORM METHOD=POST>");
    out.Write("<table cellpadding=4 cellspacing=1 border=0 width=" + s.TableWidth + ">");
    out.Write("<tr " + s.TableColorStrip + "><td colspan=2><FONT color=" + s.TableStripTextColor +
              "><B>你正打算进入一个私家论坛。请在下面认证你的身份。注意在一个浏览器进程（每个私家论坛，"
              "如果你通过论坛密码进入）这个认证屏幕只要求一次。我们将把你的私家论坛进入权作为 cookie "
              "存放（因此，我们强烈建议你不要在浏览器中关闭 cookie  ！）。</b></font></td></tr>");
    if (!SessionLoggedIn(Session())) {
        KeepOutOfCaches(out);
        out.Write("<TR " + s.AltColumnColor1 +
                  "><TD>用户名：</td><td><INPUT TYPE=TEXT NAME=UserName  SIZE=20 MAXLENGTH=35 value=" +
                  platform::QuotedAttribute(Request().Cookies("UserName").str()) + "></td></tr>");
        out.Write("<TR " + s.AltColumnColor2 +
                  "><TD>用户密码：</td><td><INPUT TYPE=PASSWORD NAME=Password SIZE=20 MAXLENGTH=35 value=" +
                  platform::QuotedAttribute(Request().Cookies("Password").str()) + "></td></tr>");
    }
    out.Write("<TR " + s.AltColumnColor1 +
              "><TD colspan=2>如果你不是版主或主持人也没有被给予特殊权限进入此论坛但知道论坛的密码，"
              "你必须在下面输入密码以便进入。</td></tr>");
    out.Write("<TR " + s.AltColumnColor2 +
              "><TD>本论坛密码：</td><td><INPUT TYPE=PASSWORD NAME=ForumPassword  SIZE=12 MAXLENGTH=12></td></tr>");
    out.Write("</table>");
    out.Write("<P>");
    out.Write("<INPUT TYPE=HIDDEN NAME=action VALUE=idcheck>");
    const std::string back = Request().ServerVariables("script_name").str() + "?" +
                             Request().ServerVariables("query_string").str();
    out.Write("<input type=hidden name=url value=" + platform::QuotedAttribute(back) + ">");
    out.Write("<INPUT TYPE=HIDDEN NAME=forum value=" + platform::QuotedAttribute(forumname) + ">");
    out.Write("<INPUT TYPE=SUBMIT NAME=Submit VALUE=这就确认身份 class=buttonface>");
    out.Write("<INPUT TYPE=RESET NAME=Reset VALUE=清除上面的字段 class=buttonface></CENTER>");
    out.Write("</form>");
    out.Write("<br><br>");
}

void Tarnbell::IDCheck() {
    RunPage(Closing::BodyOnly, [&](Page& p) {
        Credentials member = ActingCredentials(Request(), Session());
        const std::string forum = platform::Trim(Request()("Forum").str());
        const std::string forumPassword = platform::Trim(Request()("ForumPassword").str());
        const std::string url = Request()("url").str();
        // Only the posted identity form admits; a link leads to the forum,
        // which shows that form to a visitor not yet admitted.
        if (!IsPost(Request())) {
            Response().Redirect("list.asp?GroupName=" + Server().URLEncode(forum));
            return;
        }

        const ModeratorLevel level = GetModeratorLevel(member.name, member.password, forum, p.Db());
        if (level == kNotAMember)
            p.Refuse("对不起，您不是本论坛的注册用户，请注册后再使用！按浏览器的后退按钮可重新处理！");
        if (level == kMember) {
            // A private forum without a password admits every member who
            // types none.
            platform::Recordset rs;
            if (!forumPassword.empty())
                rs.Open("select forumpassword from forum where forumname=? and forumpassword=?", p.Db(),
                        {forum, forumPassword});
            else
                rs.Open("select forumpassword from forum where forumname=? and forumpassword is null", p.Db(),
                        {forum});
            if (rs.Eof()) p.Refuse("对不起，您不能进入该身份认证论坛，按浏览器后退按钮可重新处理！");
        }
        Session().Set(AdmissionKey(forum), true);
        // As after every login: an id planted before the admission is
        // worthless after it.
        Session().RenewId();
        Wait("谢谢你！我们已经确认了你的身份并允许你进入此论坛", url, "该论坛", 2);
    });
}

platform::Variant Tarnbell::GetSessionLoginDT() {
    const platform::Variant cookie = Request().Cookies("sessionLoginDT");
    if (platform::IsDate(cookie)) return platform::CDate(cookie);

    const platform::DateTime now = platform::Now();
    const std::string text = platform::FormatGeneral(now);
    Response().SetCookie("sessionLoginDT", text);
    Response().CookieExpires("sessionLoginDT", platform::AddDays(platform::DateTime{std::floor(now.serial)}, 365));
    return text;
}

}  // namespace core
