// The registration handler (signup.asp, action "RegSubmit"): checks the
// form, adds the member, sets the option and login cookies and shows the
// result.
//
// With the password mailed (EMailRegister) the member and the mail go
// together: the row is committed first, the mail goes out after the write
// lock is released, and a mail that fails takes the row away again. The
// address check (under EMailCheck), the name check and the insert run in one
// write transaction, so of two registrations racing for one name or one
// address the second sees the first's row.
#include <cstdint>
#include <string>

#include "board/visits/LastVisit.h"
#include "board/mail/MailGuard.h"
#include "board/members/AddressChecks.h"
#include "board/members/DayFilters.h"
#include "board/members/MemberPages.h"
#include "core/Module1.h"
#include "core/PageFrame.h"
#include "core/RecentActs.h"
#include "platform/Charset.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace board {

namespace {

using platform::Variant;

// What the form gives, read and checked in the order the refusals come.
struct Registration {
    std::string name;
    std::string password;
    std::string email;
    std::string location;
    std::string occupation;
    std::string url;
    std::string interests;
    std::string signature;
    std::string oicq;
    std::string icq;
    bool nameStorage = false;
    std::int16_t daysPrune = 0;
    bool emailView = false;
    bool allowMassMail = false;
};

// The board's table of registrations, and how many one client address may
// make within an hour.
const core::ActTable kRegistrations{"Registrations"};
constexpr std::size_t kRegistrationsPerHour = 5;

// The preset "http://" (or one slash too many) and blanks mean no home page.
Variant StoredHomePage(const std::string& url) {
    const std::string lower = platform::LCase(url);
    if (platform::Trim(url).empty() || lower == "http://" || lower == "http:///") return Variant::null();
    return Variant(url);
}

}  // namespace

void MemberPages::RegSubmit() {
    RunPage(core::Closing::ErrorPageBody, [&](core::Page& p) {
        const core::Settings& s = core::CurrentSettings();
        const platform::Request& in = Request();
        RecordVisit(p, "注册");

        Registration r;
        r.name = in.Form("UserName").str();
        if (!core::IsValidUserName(r.name, 15))
            p.Refuse("用户名输入错误，请检查！用户名允许输入中文、英文字母、数字，最大长度为15！");
        if (!s.EMailRegister) {
            const std::string repeated = in.Form("Password2").str();
            r.password = in.Form("Password").str();
            if (r.password.empty()) p.Refuse("口令不能为空，请输入您的口令！");
            if (r.password != repeated) p.Refuse("两口令输入不符，请重新检查您输入的口令。");
        }
        r.email = in.Form("Email").str();
        r.location = in.Form("Location").str();
        r.occupation = in.Form("Occupation").str();
        r.url = in.Form("URL").str();
        r.interests = in.Form("Interests").str();
        r.signature = platform::Left(in.Form("Signature").str(), 255);
        r.oicq = in("OICQ").str();
        r.icq = in("ICQ").str();
        r.nameStorage = in.Form("NameStorage").str() == "yes";
        // No field stores 0 (all topics); a value that is no day filter the
        // board's default.
        if (in.Form().Contains("DaysPrune"))
            r.daysPrune = ReadDayFilter(in.Form("DaysPrune")).value_or(s.DaysPruneDefault);
        r.emailView = in.Form("EmailView").str() == "yes";
        r.allowMassMail = in("allowmassmail").str() == "yes";
        RefuseBadAddress(p, r.email);
        if (s.EMailRegister) r.password = core::RandomString(6);
        // The member is stored only when the mail can go out now.
        platform::MailSendSlot slot;
        if (s.EMailRegister && !slot.Take()) p.Refuse(core::kMailServerBusy);

        {
            platform::Connection& con = p.Db();
            platform::Transaction write(con);
            if (s.EMailCheck) RefuseTakenAddress(p, r.email, "");
            platform::Recordset rs;
            rs.Open("select username from register where username=?", con, {r.name});
            if (!rs.Eof()) p.Refuse("用户名称同已有用户重复，请使用其它名称！按浏览器的后退按钮可重新处理！");
            rs.Close();
            // The address's own count before the mail guard's, so that a
            // refused registration spends no mail of anyone else.
            const core::ActAnswer registered = core::MayActNow(
                Application(), kRegistrations,
                {core::AddressAct(in.ServerVariables("Remote_addr").str(), 3600, kRegistrationsPerHour)});
            if (registered.outcome == core::ActAnswer::OverLimit)
                p.Refuse("对不起，同一个IP地址在一小时内最多只能注册" + std::to_string(kRegistrationsPerHour) +
                         "个用户，请稍后再试！按浏览器的后退按钮可重新处理！");
            if (!registered) p.Refuse("注册的用户太多，请稍后再试！按浏览器的后退按钮可重新处理！");
            if (s.EMailRegister) {
                const std::string repeated = RepeatedMailRefusal(*this, {r.email});
                if (!repeated.empty()) p.Refuse(repeated);
            }
            con.Execute("insert into register (username, email, location, occupation, url, interests, signature, "
                        "oicq, icq, namestorage, daysprune, emailview, password, allowmassmail) "
                        "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                        {r.name, r.email, r.location, r.occupation, StoredHomePage(r.url), r.interests,
                         r.signature, r.oicq, r.icq, r.nameStorage, Variant::integer(r.daysPrune), r.emailView,
                         r.password, r.allowMassMail});
            write.Commit();
        }

        if (s.EMailRegister) {
            const std::string body = "这是您在" + s.BBName + "注册的用户名和口令:<br>" + "用户名：" + r.name +
                                     "<br>" + "口令：" + r.password + "<br>" + "你可通过如下地址:<a href=" +
                                     s.BBURL + ">" + s.BBName + "</a>更改您的缺省口令！";
            const platform::MailResult mail =
                core::SendMail(s.BBName, s.BBEMail, r.name, r.email, "您的用户名和口令", body);
            if (!mail.sent) {
                p.Db().Execute("delete from register where username=? and password=?", {r.name, r.password});
                p.Refuse("对不起，" + r.name + "，由于如下错误，你不能成功的注册:" + platform::HtmlEncode(mail.failure) +
                         ",请注意检查您的email地址！按浏览器的后退按钮可重新处理！或同<a href=mailto:" + s.BBEMail +
                         ">我们联系</a>！");
            }
        }

        platform::Response& out = Response();
        if (r.nameStorage) {
            SetYearCookie(out, "NameStorage", "yes");
            SetYearCookie(out, "UserName", r.name);
            if (s.EMailRegister) DeleteCookie(out, "Password");
            else SetYearCookie(out, "Password", r.password);
            SetYearCookie(out, "DaysPrune", std::to_string(r.daysPrune));
        } else {
            SetYearCookie(out, "NameStorage", "no");
        }
        // The board home keeps the last visit under this spelling; one
        // spelling keeps the browser from holding two such cookies.
        SetYearCookie(out, "lastLoginDT", NowText());

        if (s.EMailRegister) {
            ErrorForm(r.name + " 您好，您已经成功在 " + s.BBName + " 注册！请按电子邮件中的您的用户信息登陆 " +
                      s.BBName + " ，我们强烈建议你通过“编辑个人资料“功能改变你的缺省口令。如果你没有能够收到我们的"
                      "电子邮件，请和<a href=mailto:" + s.BBEMail + ">我们</a>取得联系！谢谢您的注册！"
                      "<a href=default.asp>进入" + s.BBName + "</a>");
            return;
        }
        const struct {
            const std::string* colour;
            const char* label;
            const std::string& value;
        } rows[] = {
            {&s.AltColumnColor1, "注册名:", r.name},       {&s.AltColumnColor2, "口令:", r.password},
            {&s.AltColumnColor1, "电子邮件:", r.email},     {&s.AltColumnColor2, "OICQ:", r.oicq},
            {&s.AltColumnColor1, "ICQ:", r.icq},            {&s.AltColumnColor2, "主页:", r.url},
            {&s.AltColumnColor1, "来自:", r.location},      {&s.AltColumnColor2, "职业:", r.occupation},
            {&s.AltColumnColor1, "兴趣:", r.interests},     {&s.AltColumnColor2, "签名:", r.signature},
        };
        std::string table = s.TableBorderOpen + "<table border=0 cellspacing=1 cellpadding=4 width=" +
                            s.InnerTableWidth + ">";
        for (const auto& row : rows)
            table += "<tr " + *row.colour + "><td><b>" + row.label + "</b></td><td>" +
                     platform::HtmlEncode(row.value) + "</td></tr>";
        table += "</table>" + s.TableBorderClose;
        // It shows the chosen password.
        core::KeepOutOfCaches(out);
        out.Write(core::PageHead("用户注册"));
        out.Write(r.name + " 您好,您已经成功在 " + s.BBName + " 注册，以下是您的注册信息！");
        out.Write(table);
        out.Write("按<a href=default.asp>此进入 " + s.BBName + "</a>");
        out.Write("</body></html>");
    });
}

}  // namespace board
