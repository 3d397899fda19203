// mail.asp: one mail to every member who accepts mass mail, all of them
// blind recipients, or instead a mailing-list file of their addresses in the
// data folder for other mail software. Addresses that cannot stand in a
// mail envelope are left out and counted, so one broken address never stops
// the run.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "admin/Admin.h"
#include "admin/forms/MailForms.h"
#include "core/AppFolder.h"
#include "core/SendMail.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Error.h"
#include "platform/MailComponent.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

namespace fs = std::filesystem;

struct MassMailAddresses {
    std::vector<std::string> usable;
    long skipped = 0;
};

MassMailAddresses ReadMassMailAddresses(platform::Connection& con) {
    MassMailAddresses addresses;
    platform::Recordset rs;
    rs.Open("select email from register where allowmassmail=1 and ifnull(email,'')<>''", con);
    for (; !rs.Eof(); rs.MoveNext()) {
        const std::string address = platform::Trim(rs.Fields(0).str());
        if (platform::LooksLikeMailAddress(address))
            addresses.usable.push_back(address);
        else
            ++addresses.skipped;
    }
    return addresses;
}

// "共 N 个地址", and the skipped ones when there are any.
std::string AddressCount(const MassMailAddresses& addresses) {
    std::string text = "<center><p>共 " + std::to_string(addresses.usable.size()) + " 个地址";
    if (addresses.skipped > 0) text += "，另有 " + std::to_string(addresses.skipped) + " 个地址不合格，已跳过";
    return text + "</p></center>";
}

// Replaces `path` whole: the text goes to a file of its own first, so that
// two runs at once never mix their lists.
void ReplaceFile(const fs::path& path, const std::string& text) {
    static std::atomic<unsigned> serial{0};
    const fs::path draft =
        path.string() + "." + std::to_string(getpid()) + "-" + std::to_string(serial++) + ".tmp";
    {
        std::ofstream out(draft, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) platform::raise(platform::kErrPathFileAccess, platform::kPathAccessText + draft.string());
    }
    std::error_code error;
    fs::rename(draft, path, error);
    if (error) {
        fs::remove(draft, error);
        platform::raise(platform::kErrPathFileAccess, platform::kPathAccessText + path.string());
    }
}

}  // namespace

void Admin::EMail() {
    RunPanelPage("给用户发 E-Mail", [&](core::Page& p) {
        const platform::Request& in = Request();
        if (in.ServerVariables("request_method").str() != "POST") {
            Response().Write(forms::MassMailForm(SessionLogin()));
            return;
        }
        RequireAdministrator(p, PostedLogin().name, PostedLogin().password, "对不起，你没有权限执行该操作！");
        const core::Settings& s = core::CurrentSettings();
        platform::Response& out = Response();

        if (in("createlist").str() == "yes") {
            const MassMailAddresses addresses = ReadMassMailAddresses(p.Db());
            const std::string separator = in("delimit").str() == "comma" ? "," : "\r\n";
            std::string list;
            for (const std::string& address : addresses.usable) list += address + separator;
            if (!list.empty()) list += "\r\n";
            const fs::path file = fs::path(core::AppFolder()) / "emaillist.asp";
            ReplaceFile(file, platform::Utf8ToGbk(list));
            out.Write("<br><br><center><p><h3>邮件列表文件已被保存到 " + Text(file.string()) + " 文件中</h3></p></center>");
            out.Write(AddressCount(addresses));
            return;
        }

        const std::string subject = in("subject").str();
        const std::string message = in("message").str();
        if (subject.empty() || message.empty()) p.Refuse("请输入主题和内容！");
        const MassMailAddresses addresses = ReadMassMailAddresses(p.Db());
        if (addresses.usable.empty()) {
            out.Write("<br><br><center><p><h3>没有接收群发邮件的用户，邮件没有发送</h3></p></center>");
            out.Write(AddressCount(addresses));
            return;
        }
        platform::MailSendSlot slot;
        if (!slot.Take()) p.Refuse(core::kMailServerBusy);
        platform::MailComponent mail;
        mail.MailFromName(s.BBName);
        mail.MailFromAddress(s.BBEMail);
        mail.MailServer(s.SmtpServer);
        // One mail to every member: a long list takes the relay a while.
        mail.MailDeadline(60);
        mail.MailSubject(subject);
        for (const std::string& address : addresses.usable) mail.AddBlindRecipient(s.BBName + "注册用户", address);
        mail.MailCharset("gb2312");
        mail.MailContentType("text/html");
        mail.MailBody("<html><body>" + message + "<br><p>---------------------------------<br>欢迎访问<a href=" +
                      s.BBURL + ">" + s.BBName + "</a><br>");
        const platform::MailResult result = mail.SendNow();
        if (!result.sent) p.Refuse(Text(result.failure));
        out.Write("<br><br><center><p><h3>邮件已经送出</h3></p></center>");
        out.Write(AddressCount(addresses));
    });
}

}  // namespace admin
