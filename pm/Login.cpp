// The login of private messages: the proof of a member, the login form and
// its post.
#include "core/MemberCheck.h"
#include "core/PageFrame.h"
#include "core/Settings.h"
#include "pm/MemberProof.h"
#include "pm/PM.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"
#include "platform/Request.h"

namespace pm {

const char* const kBannedMessage =
    "对不起，您已经被禁止在本论坛发表话题，因此，同时你也不能使用论坛的悄悄话功能，具体信息，"
    "请联系论坛管理员！";

MemberProof ProveMember(platform::Connection& con, const std::string& name, const std::string& password) {
    platform::Recordset rs;
    MemberProof proof;
    if (!core::OpenMember(rs, con, "canPost,username", name, password)) return proof;
    const platform::Variant& canPost = rs.Fields("canpost");
    // Only a stored "no" bars; an unset right does not.
    proof.result = !canPost.isNull() && !platform::CBool(canPost) ? MemberProof::Banned : MemberProof::Member;
    proof.name = rs.Fields("username").str();
    return proof;
}

namespace {

// A query string rebuilt from its parsed fields, each name and value
// URL-encoded again: whatever was sent, the result is plain field=value
// pairs.
std::string RebuiltQuery(const platform::RequestCollection& fields) {
    std::string query;
    for (const std::string& key : fields.Keys()) {
        for (const std::string& value : fields.Values(key)) {
            if (!query.empty()) query += '&';
            query += platform::UrlEncode(key) + "=" + platform::UrlEncode(value);
        }
    }
    return query;
}

}  // namespace

void PM::Login() {
    RunPage(core::Closing::CopyrightAndBody, [&](core::Page&) {
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();
        core::KeepOutOfCaches(out);
        out.Write(core::PageHead("悄悄话 - " + s.BBName));
        out.Write("<center>");
        WriteHeader("<p><b>　　　　悄　悄　话　　　　</b></p>", false);
        out.Write("<br><br>");
        out.Write("<form action=pm.asp method=post name=frmPM>");
        out.Write("<input type=hidden name=action value=idcheck>");
        out.Write("<table border=0 width=95%>");
        out.Write("<tr><td colspan=2><b>要发表或查看悄悄话，您必须通过身份验证！</b></td></tr>");
        out.Write(
            "<tr><td><b>您的用户名:</b></td><td><input type=text name=userName size=25 maxlength=25 "
            "class=smallinput value=" +
            platform::QuotedAttribute(Request().Cookies("username").str()) + "></td></tr>");
        out.Write(
            "<tr><td><b>您的口令:</b></td><td><input type=password name=Password size=13 maxlength=13 "
            "class=smallinput value=" +
            platform::QuotedAttribute(Request().Cookies("Password").str()) + "></td></tr>");
        out.Write("<tr><td colspan=2 align=center><input type=hidden name=QueryString value=" +
                  platform::QuotedAttribute(RebuiltQuery(Request().QueryString())) + ">");
        out.Write("<br><input type=submit name=SUBMIT value=现在认证我 class=buttonface></td></tr>");
        out.Write("</table>");
        out.Write("<input type=hidden name=action value=viewPM>");
        out.Write("</form></center>");
    });
}

void PM::VerifyLogin() {
    RunPage(core::Closing::ErrorPageBody, [&](core::Page& p) {
        // Only the posted form logs in.
        const std::string name = Request().Form("username").str();
        const std::string password = Request().Form("password").str();
        const MemberProof proof = ProveMember(Con(), name, password);
        if (proof.result == MemberProof::Unknown) p.Refuse(core::kAccountProblem);
        if (proof.result == MemberProof::Banned) p.Refuse(kBannedMessage);

        Session().Set("UserName", proof.name);
        Session().Set("Password", password);
        Session().RenewId();
        platform::RequestCollection back;
        platform::ParseUrlEncoded(Request().Form("QueryString").str(), back);
        Wait("谢谢你！我们已经确认了你的身份并允许你进入悄悄话。", "pm.asp?" + RebuiltQuery(back), "悄悄话", 2);
    });
}

}  // namespace pm
