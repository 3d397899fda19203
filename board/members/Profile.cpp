// Profile editing (profile.asp): a login form, the edit form filled from the
// member's row, and the save.
//
// The save changes only the member this session proved to be: the one whose
// password the login step checked (kept in the session), or the logged-in
// member, proven against the register again as it saves. The edit form's
// hidden name must be that member; any other name changes nothing. A saved
// password ends the member's other sessions.
#include <string>

#include "board/visits/LastVisit.h"
#include "board/members/AddressChecks.h"
#include "board/members/MemberPages.h"
#include "core/MemberCheck.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

namespace {

using platform::HtmlEncode;
using platform::Variant;

constexpr const char* kNotAMember = "对不起，你不是论坛的注册用户！";

// A quoted attribute value.
std::string Attr(const std::string& value) { return "\"" + HtmlEncode(value) + "\""; }

bool IsTrue(const Variant& flag) { return !flag.isNull() && platform::CBool(flag); }

std::string Checked(bool on) { return on ? " checked" : ""; }

}  // namespace

void MemberPages::Profile(const std::function<void(core::Page&)>& step) {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        // Its forms carry the password of the remembered login.
        core::KeepOutOfCaches(out);
        // Its CLUB header stands centred: the style branch is its own.
        StartPage(p, {"编辑个人资料", "编辑个人资料 -  " + s.BBName});
        if (s.BBStyle == "UBB") {
            out.Write("<center><table border=0 width=" + s.TableWidth + "><tbody><tr><td>" + s.Logo + "</td>"
                      "<td><p align=Left><font class=bbtitle>编辑个人资料</font><br><br><p>" + core::GetNavBarHtml() +
                      "</p></td></tr></tbody></table></center>");
        } else if (s.BBStyle == "CLUB") {
            out.Write("<CENTER>" + GetClubHeader() + "</CENTER>");
        }
        step(p);
    });
}

void MemberPages::ProfileLogin(core::Page& p) {
    // A logged-in member goes straight to the edit form.
    if (core::SessionLoggedIn(Session())) {
        ProfileEditForm(p);
        return;
    }
    const core::Settings& s = core::CurrentSettings();
    const platform::Request& in = Request();
    Response().Write("<center><form action=profile.asp method=post name=chkUser>"
                     "<input type=hidden name=action value=chkUser>"
                     "<table border=0 width=" + s.TableWidth + "><tbody>"
                     "<tr><td colspan=2><p><b>编辑个人资料，请您通过身份验证：</b></td></tr>"
                     "<tr><td><b>用户名</b></td><td><input maxLength=25 name=UserName size=25 class=smallInput value=" +
                     Attr(in.Cookies("UserName").str()) + "></td></tr>"
                     "<tr><td><b>密码</b> </td><td><input maxLength=13 name=Password size=13 class=smallInput "
                     "type=password value=" + Attr(in.Cookies("Password").str()) +
                     ">&nbsp;&nbsp;<a href=ubbmisc.asp?action=lostpw>忘记了密码?</a></td></tr></tbody></table>"
                     "<p><input class=buttonface name=Submit type=submit value=提交验证> "
                     "<input class=buttonface name=Reset type=reset value=重置字段></P></form>"
                     "<p>我已经注册过了，天啊！我把密码给忘了？！<a href=ubbmisc.asp?action=lostpw>点这里.</a></p>"
                     "</center>");
}

void MemberPages::ProfileEditForm(core::Page& p) {
    platform::Session& session = Session();
    // Credentials travel in the posted form only, never in an address.
    const bool loggedIn = core::SessionLoggedIn(session);
    const std::string name = loggedIn ? session("UserName").str() : Request().Form("username").str();
    const std::string password = loggedIn ? session("Password").str() : Request().Form("password").str();
    platform::Recordset rs;
    if (!core::OpenMember(rs, p.Db(), "*", name, password)) p.Refuse(kNotAMember);
    const std::string member = rs.Fields("UserName").str();
    // A newly proven member: a session id known before the proof must lead
    // nowhere after it.
    if (!platform::EqualsIgnoreCase(session(core::kProvenMember).str(), member)) {
        session.Set(core::kProvenMember, member);
        session.RenewId();
    }
    session.Set(core::kProvenPassword, password);
    WriteProfileForm(rs);
}

void MemberPages::WriteProfileForm(platform::Recordset& rs) {
    const core::Settings& s = core::CurrentSettings();
    platform::Response& out = Response();
    auto text = [&](const char* column) { return Attr(rs.Fields(column).str()); };
    const Variant massMail = rs.Fields("allowmassmail");
    const bool emailView = IsTrue(rs.Fields("emailview"));
    const std::string name = rs.Fields("UserName").str();

    const std::pair<const char*, std::string> rows[] = {
        {"名字:", "<td valign=top>" + HtmlEncode(name) + "</td>"},
        {"密码:", "<td><input type=password name=password maxlength=10 size=20 class=smallInput> "
                  "<font color=red>(3-10字节)</font></td>"},
        {"密码确认:", "<td><input type=password name=password1 maxlength=10 size=20 class=smallInput></td>"},
        {"E-Mail:", "<td><input type=text name=email maxlength=50 size=50 class=smallInput value=" + text("email") +
                        "></td>"},
        {"OICQ:", "<td><input type=text name=OICQ maxlength=10 size=10 class=smallInput value=" + text("OICQ") +
                      "></td>"},
        {"ICQ:", "<td><input type=text name=ICQ maxlength=10 size=10 class=smallInput value=" + text("ICQ") +
                     "></td>"},
        {"所在市，省，国:", "<td><input type=text name=Location maxLength=50 class=smallInput value=" +
                                text("Location") + "></td>"},
        {"职业:", "<td><input type=text name=Occupation size=20 maxlength=50 class=smallInput value=" +
                      text("Occupation") + "></td>"},
        {"主页:", "<td><input type=text name=URL size=50 maxlength=100 class=smallInput value=" + text("URL") +
                      "></td>"},
        {"兴趣:", "<td><input type=text name=Interests size=20 maxlength=200 class=smallInput value=" +
                      text("Interests") + "></td>"},
        {"是否公开Email:", "<td><input type=radio name=emailview value=yes" + Checked(emailView) +
                                ">是 <input type=radio name=emailview value=no" + Checked(!emailView) + ">否</td>"},
        {"签名:", "<td ><textarea rows=5 name=signature cols=40 class=smallArea>" +
                      HtmlEncode(rs.Fields("Signature").str()) +
                      "</textarea><br><font color=red>(最多255字节)</font></td>"},
        {"是否允许版主和主持人发送 Email 通知给你？",
         "<td><input type=radio name=AllowMassMail value=yes" +
             Checked(IsTrue(massMail)) + ">好的 <input type=radio name=AllowMassMail value=no" +
             Checked(!massMail.isNull() && !IsTrue(massMail)) + ">不行</td>"},
    };
    out.Write("<center><form method=POST action=profile.asp name=frmFillOut>"
              "<input type=hidden name=action value=check>"
              "<input type=hidden value=" + Attr(name) + " name=username>" + s.TableBorderOpen +
              "<table border=0 width=" + s.InnerTableWidth + " cellpadding=4 cellspacing=1>"
              "<tr " + s.TableColorStrip + "><td colspan=2><font color=" + s.TableStripTextColor +
              "><b>请填写下表完成个人信息修改</b></font></td></tr>");
    int n = 0;
    for (const auto& [label, control] : rows)
        out.Write("<tr " + (n++ % 2 == 0 ? s.AltColumnColor1 : s.AltColumnColor2) + "><td valign=top><b>" + label +
                  "</b></td>" + control + "</tr>");
    out.Write("</table>" + s.TableBorderClose +
              "<p><input class=buttonface type=submit value=' 确 定 ' name=cmdOK>&nbsp;&nbsp;"
              "<input type=reset value=' 重 写 ' class=buttonface name=cmdReset></p></form></center>");
}

void MemberPages::SaveProfile(core::Page& p) {
    const core::Settings& s = core::CurrentSettings();
    const platform::Request& in = Request();
    platform::Session& session = Session();

    const bool loggedIn = core::SessionLoggedIn(session);
    const std::string verified = session(loggedIn ? "UserName" : core::kProvenMember).str();
    const std::string provenPassword = session(loggedIn ? "Password" : core::kProvenPassword).str();
    if (verified.empty() || !platform::EqualsIgnoreCase(verified, in.Form("username").str())) p.Refuse(kNotAMember);

    std::string password = in.Form("Password").str();
    if (password.empty()) p.Refuse("口令不能为空！");
    if (platform::Trim(in.Form("Password1").str()) != password) p.Refuse("两口令不符，请修改");
    if (!core::IsValidUserName(password, 10))
        p.Refuse("口令输入错误，请用英文字符、数字作为您的口令，口令最大长度为10位，请检查！");
    const std::string email = in.Form("email").str();
    RefuseBadAddress(p, email);

    std::string signature = in.Form("Signature").str();
    const bool nameStorage = platform::LCase(in.Cookies("NameStorage").str()) == "yes";
    platform::Connection& con = p.Db();
    std::string member, daysPrune;
    {
        platform::Transaction write(con);
        if (s.EMailCheck) RefuseTakenAddress(p, email, verified);
        platform::Recordset rs;
        if (!core::OpenMember(rs, con, "username, daysprune", verified, provenPassword))
            p.Refuse(core::kAccountProblem);
        member = rs.Fields("username").str();
        daysPrune = rs.Fields("daysprune").str();
        rs.Close();
        con.Execute("update register set password=?, email=?, location=?, occupation=?, url=?, oicq=?, icq=?, "
                    "interests=?, signature=?, emailview=?, allowmassmail=?, namestorage=? where username=?",
                    {password, email, in.Form("location"), in.Form("Occupation"), in.Form("url"), in("oicq"),
                     in("icq"), in.Form("Interests"), platform::Left(signature, 500),
                     Variant::integer(in.Form("emailview").str() == "yes" ? 1 : 0),
                     in.Form("allowmassmail").str() == "yes", nameStorage, member});
        write.Commit();
    }

    // Saved: the cookies follow the stored row, and this session keeps a
    // password that still matches.
    platform::Response& out = Response();
    if (nameStorage) {
        SetYearCookie(out, "NameStorage", "yes");
        SetYearCookie(out, "UserName", member);
        SetYearCookie(out, "Password", password);
        SetYearCookie(out, "DaysPrune", daysPrune);
    } else {
        SetYearCookie(out, "NameStorage", "no");
        DeleteCookie(out, "UserName");
        DeleteCookie(out, "Password");
    }
    session.Set(loggedIn ? "Password" : core::kProvenPassword, password);
    core::EndOtherSessionsOf(session, member);
    out.Write("<p align=center><a href=default.asp><b>编辑用户资料成功，按此回 " + s.BBName + " 首页>></a></b></p>");
}

}  // namespace board
