// account.asp: moves the members of an older board into this one. The older
// board keeps one text file per member ("*.cgi", GBK text, one value per
// line); the administrator names the folder that holds them, and each file
// becomes one register row. A file that would make a broken member (a name
// the registration would refuse, no password, a date that is no date) is
// left out, and so is a name that is taken: the report lists every file with
// what became of it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "admin/Admin.h"
#include "admin/forms/DataForms.h"
#include "core/InputChecks.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

namespace fs = std::filesystem;

// Fifteen short lines; a bigger file is no account file.
constexpr std::size_t kMaxAccountFileBytes = 64 * 1024;
constexpr std::size_t kAccountLines = 15;

// The member a file describes: the columns its lines set, or why it cannot
// become a member.
struct Account {
    std::string name;
    std::vector<std::pair<std::string, platform::Variant>> columns;
    std::string refusal;
};

// Up to `kAccountLines` lines of GBK text as UTF-8. A line ends at CR, CR LF
// or LF.
std::vector<std::string> AccountLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size() && lines.size() < kAccountLines) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(platform::GbkToUtf8(std::string_view(bytes).substr(start, end - start)));
        start = end + 1;
        if (end < bytes.size() && bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
    }
    return lines;
}

// A post-count line's value, or nullopt when it lies beyond the 32-bit
// count every reader of the column converts it to.
std::optional<double> PostCount(const std::string& line) {
    if (line.empty()) return 0.0;
    try {
        const double count = platform::Val(line);
        platform::CLng(count);
        return count;
    } catch (const platform::RuntimeError&) {
        return std::nullopt;
    }
}

bool IsBoardStatus(const std::string& status) {
    const std::string lower = platform::LCase(status);
    return lower == "administrator" || lower == "moderater";
}

Account ReadAccount(const std::vector<std::string>& lines) {
    Account a;
    auto line = [&](std::size_t n) { return n < lines.size() ? lines[n] : std::string(); };
    auto set = [&](const char* column, platform::Variant value) { a.columns.emplace_back(column, std::move(value)); };
    auto setUnlessEmpty = [&](const char* column, std::size_t n) {
        if (!line(n).empty()) set(column, line(n));
    };

    a.name = line(0);
    if (!core::IsValidUserName(a.name, 15)) {
        a.refusal = "用户名不合要求";
        return a;
    }
    if (line(1).empty()) {
        a.refusal = "没有密码";
        return a;
    }
    set("username", a.name);
    set("password", line(1));
    setUnlessEmpty("email", 2);
    const std::string url = platform::LCase(line(3));
    if (!url.empty() && url != "http://" && url != "http:///") set("url", line(3));
    setUnlessEmpty("occupation", 5);
    setUnlessEmpty("location", 6);
    if (lines.size() > 7) {
        const std::optional<double> postcount = PostCount(line(7));
        if (!postcount) {
            a.refusal = "发贴数超出范围";
            return a;
        }
        set("postcount", *postcount);
    }
    if (IsBoardStatus(line(8))) set("status", line(8));
    setUnlessEmpty("interests", 9);
    if (!line(10).empty()) {
        const std::optional<platform::DateTime> signdate = platform::ParseDateTime(platform::Trim(line(10)));
        if (!signdate) {
            a.refusal = "注册日期无法识别";
            return a;
        }
        set("signdate", *signdate);
    }
    if (lines.size() > 11) set("namestorage", platform::Trim(line(11)) == "yes");
    if (!platform::Trim(line(12)).empty()) set("signature", line(12));
    setUnlessEmpty("icq", 13);
    if (lines.size() > 14) set("emailview", platform::Trim(line(14)) == "yes");
    return a;
}

// The account files of `dir`, by name: ordinary files, not hidden, whose
// names end in ".cgi" in any letter case. Nothing when `dir` is no folder
// that can be read.
std::optional<std::vector<fs::path>> AccountFiles(const std::string& dir) {
    std::vector<fs::path> files;
    try {
        if (dir.empty() || !fs::is_directory(dir)) return std::nullopt;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
            const std::string name = entry.path().filename().string();
            std::error_code ignored;
            if (name.front() != '.' && platform::LCase(entry.path().extension().string()) == ".cgi" &&
                entry.is_regular_file(ignored))
                files.push_back(entry.path());
        }
    } catch (const fs::filesystem_error&) {
        return std::nullopt;
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The file's bytes, or nullopt when it cannot be read or is too big.
std::optional<std::string> ReadAccountFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes(kMaxAccountFileBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad() || static_cast<std::size_t>(in.gcount()) > kMaxAccountFileBytes) return std::nullopt;
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool MemberExists(platform::Connection& con, const std::string& name) {
    platform::Recordset rs;
    rs.Open("select username from register where username=?", con, {name});
    return !rs.Eof();
}

void AddMember(platform::Connection& con, const Account& a) {
    std::string names, marks;
    platform::SqlParams values;
    for (const auto& [column, value] : a.columns) {
        names += (names.empty() ? "" : ",") + column;
        marks += marks.empty() ? "?" : ",?";
        values.push_back(value);
    }
    con.Execute("insert into register (" + names + ") values (" + marks + ")", values);
}

struct ImportReport {
    long saved = 0;
    std::string savedList;
    std::string failedList;
};

// Imports one file into the report; never raises for the file's own faults.
void ImportFile(platform::Connection& con, const fs::path& path, ImportReport& report) {
    const std::string fileName = platform::ToValidUtf8(path.filename().string());
    auto fail = [&](const std::string& name, const std::string& reason) {
        report.failedList += platform::HtmlEncode(name) + "(" + platform::HtmlEncode(fileName) + ")：" + reason + "<br>";
    };
    const std::optional<std::string> bytes = ReadAccountFile(path);
    if (!bytes) return fail("", "文件无法读取或不是账号文件");
    const Account account = ReadAccount(AccountLines(*bytes));
    if (!account.refusal.empty()) return fail(account.name, account.refusal);
    if (MemberExists(con, account.name)) return fail(account.name, "用户已经存在");
    try {
        AddMember(con, account);
    } catch (const platform::RuntimeError& e) {
        return fail(account.name, platform::HtmlEncode(e.description()));
    }
    ++report.saved;
    report.savedList += platform::HtmlEncode(account.name) + "(" + platform::HtmlEncode(fileName) + ")<br>";
}

}  // namespace

void Admin::ImportAccount() {
    RunPanelPage(core::CurrentSettings().BBName, [&](core::Page& p) {
        const platform::Request& in = Request();
        if (in.ServerVariables("request_method").str() != "POST") {
            Response().Write(forms::ImportForm(SessionLogin()));
            return;
        }
        RequireAdministrator(p, in.Form("UserName").str(), in.Form("Password").str(),
                             "对不起，您没有执行这个操作的权限，只有管理员才可以执行该操作!");
        const std::string dir = in("dir").str();
        const std::optional<std::vector<fs::path>> files = AccountFiles(dir);
        if (!files) p.Refuse("账号目录“" + platform::HtmlEncode(dir) + "”不存在或无法读取，请检查后重新输入！");

        ImportReport report;
        for (const fs::path& file : *files) ImportFile(p.Db(), file, report);

        platform::Response& out = Response();
        out.Write("<br><br><center><h1>迁移报告</h1></center>");
        out.Write("<p>成功迁移账号共" + std::to_string(report.saved) + "人");
        out.Write("<br><b>成功账号:</b><br><hr size=1>" + report.savedList);
        out.Write("<br>失败账号:<br><hr size=1>" + report.failedList);
        out.Write("<hr size=1>迁移日期：" + platform::FormatDate(platform::Now()));
    });
}

}  // namespace admin
