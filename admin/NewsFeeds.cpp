// jscode.asp: an administrator exports the newest topics as JavaScript
// files that other sites include with one script tag: one file per public
// forum ("1.js", "2.js", ... in the order the forums were made) or one of
// the newest archived topics ("archive.js"). The files go to the data
// folder's "js", which the host serves at "/js/".
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <vector>

#include "admin/Admin.h"
#include "admin/forms/ToolForms.h"
#include "core/ArchiveAccess.h"
#include "core/ForumNames.h"
#include "core/Module1.h"
#include "core/PublicForum.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Recordset.h"
#include "platform/Strings.h"

namespace admin {

namespace {

namespace fs = std::filesystem;

constexpr const char* kCrLf = "\r\n";

// Text for a JavaScript string in double quotes that document.write puts
// into a page: HTML-encoded, then its backslashes and line breaks escaped.
std::string JsText(const std::string& text) {
    std::string out;
    for (const char c : platform::HtmlEncode(text)) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) out += ' ';
                else out += c;
        }
    }
    return out;
}

// The board's folder address: the BBURL setting before its last "/".
std::string FeedBase(const std::string& bburl) {
    const std::size_t slash = bburl.rfind('/');
    return slash == std::string::npos ? bburl : bburl.substr(0, slash);
}

struct Feed {
    std::string title;       // as stored
    std::string topicPage;   // "newsdetail.asp" or "archivecontent.asp"
    std::string moreHref;
    std::string moreText;    // HTML
    bool archived = false;   // topics of archivelist, with their archiveid
};

// The script of one feed. `topics` holds postid, subject, posttime (and
// archiveid for archived topics).
std::string FeedScript(const Feed& feed, const std::string& base, platform::Recordset& topics) {
    std::string js;
    auto line = [&js](const std::string& text, bool spaced = false) {
        js += text + kCrLf;
        if (spaced) js += kCrLf;
    };
    line("document.write(\"<table border=0 width=100%>\");", true);
    line("document.write(\"<tr><td>" + JsText(feed.title) + "</td></tr>\");", true);
    line("document.write(\"<tr><td><ul>\");", true);
    for (; !topics.Eof(); topics.MoveNext()) {
        const platform::DateParts t = platform::Parts(platform::CDate(topics.Fields("posttime")));
        // An archived copy is named by its archive too.
        const std::string address = feed.topicPage + "?id=" + topics.Fields("postid").str() +
                                    (feed.archived ? "&archiveid=" + topics.Fields("archiveid").str() : "");
        line("document.write(\"<li><a href=\\\"" + base + "/" + address + "\\\" target=_blank>" +
             JsText(topics.Fields("subject").str()) + "</a>\");");
        line("document.write(\"&nbsp;<font size=1>(" + std::to_string(t.month) + "/" + std::to_string(t.day) +
             "&nbsp;" + std::to_string(t.hour) + ":" + std::to_string(t.minute) + ")</font>\");");
        line("document.write(\"<br>\");");
    }
    line("document.write(\"</ul></td></tr>\")", true);
    line("document.write(\"<tr><td align=right><a href=\\\"" + feed.moreHref + "\\\">" + feed.moreText +
         "</a></td></tr></table>\");");
    return js;
}

// Replaces the file whole, so that a site fetching it meanwhile gets the
// old feed or the new one, never a part.
void ReplaceFile(const fs::path& path, const std::string& content) {
    std::string temporary = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    bool written = fd >= 0 && ::fchmod(fd, 0644) == 0;
    for (std::size_t done = 0; written && done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    if (fd >= 0 && ::close(fd) != 0) written = false;
    std::error_code error;
    if (written) fs::rename(temporary, path, error);
    if (!written || error) {
        if (fd >= 0) fs::remove(temporary, error);
        platform::raise(platform::kErrPathFileAccess, platform::kPathAccessText + path.string());
    }
}

// Numbered feeds of forums that are gone or no longer public.
void RemoveNumberedFeedsBeyond(const fs::path& folder, int count) {
    std::set<std::string> kept;
    for (int n = 1; n <= count; ++n) kept.insert(std::to_string(n) + ".js");
    std::vector<fs::path> stale;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string stem = entry.path().stem().string();
        if (entry.path().extension() == ".js" && !stem.empty() &&
            stem.find_first_not_of("0123456789") == std::string::npos &&
            !kept.contains(entry.path().filename().string()))
            stale.push_back(entry.path());
    }
    for (const auto& path : stale) fs::remove(path);
}

std::string ScriptTag(const std::string& comment, const std::string& base, const std::string& file) {
    return "<!-- " + comment + " js 文件 -->" + kCrLf + "<script language=javascript src=" + base + "/js/" + file +
           ">" + kCrLf;
}

// Writes a feed file of each public forum; returns the script tags of those
// with topics.
std::string ExportForums(platform::Connection& con, const fs::path& folder, const std::string& base,
                         std::int32_t count) {
    std::string paste;
    platform::Recordset forums;
    forums.Open(std::string("select forumname from forum where ") + core::kPublicForumSql + " order by rowid", con);
    int n = 0;
    for (; !forums.Eof(); forums.MoveNext()) {
        const std::string forum = forums.Fields("forumname").str();
        const std::string file = std::to_string(++n) + ".js";
        platform::Recordset topics;
        topics.Open("select postid, subject, posttime from post where " + core::ForumPostsCondition("forumname", "?") +
                        " and parentid is null order by posttime desc limit ?",
                    con, {forum, count});
        if (!topics.Eof()) paste += ScriptTag(platform::HtmlEncode(forum), base, file);
        const Feed feed{forum, "newsdetail.asp", base + "/list.asp?groupname=" + platform::UrlEncode(forum),
                        "更多" + JsText(forum) + " >>"};
        ReplaceFile(folder / file, platform::Utf8ToGbk(FeedScript(feed, base, topics)));
    }
    RemoveNumberedFeedsBeyond(folder, n);
    return paste;
}

// Writes the feed of the newest archived topics of public forums when there
// are any, and returns its script tag then. With none, an earlier feed is
// emptied, so that it shows no topic that has gone or turned private.
std::string ExportArchive(platform::Connection& con, const fs::path& folder, const std::string& base,
                          std::int32_t count) {
    // Read without a session: no private forum is admitted.
    core::SqlCondition visible = core::ArchivedTopicVisibleSql("a", {});
    visible.params.emplace_back(count);
    platform::Recordset topics;
    topics.Open("select postid, archiveid, subject, posttime from archivelist a where parentid is null and " +
                    visible.sql + " order by posttime desc limit ?",
                con, visible.params);
    const bool any = !topics.Eof();
    const fs::path file = folder / "archive.js";
    if (!any && !fs::exists(file)) return "";
    const Feed feed{"精华归档", "archivecontent.asp", base, "更多精华归档>>", true};
    ReplaceFile(file, platform::Utf8ToGbk(FeedScript(feed, base, topics)));
    return any ? ScriptTag("归档精华", base, "archive.js") : "";
}

}  // namespace

void Admin::JsCode() {
    const platform::Request& in = Request();
    const std::string title = "JavaScript 新闻 - " + core::CurrentSettings().BBName;
    // Called with none of its fields, the page offers them in a form.
    if (in("Num").isEmpty() && in("Action").isEmpty()) {
        RunPanelPage(title, [&](core::Page&) { Response().Write(forms::FeedForm(SessionLogin())); });
        return;
    }
    // The result is a whole page as well.
    RunPanelPage(title, [&](core::Page& p) {
        if (!core::IsPositiveNumber(in("Num"))) p.Refuse("参数错误！");
        const std::int32_t count = platform::CLng(in("Num"));
        const auto [userName, password] = PostedLogin();
        const std::string action = platform::LCase(in("Action").str());
        const std::string base = FeedBase(core::CurrentSettings().BBURL);
        if (action != "forumjs" && action != "archivejs") p.Refuse("参数错误！");
        if (userName.empty() || password.empty()) p.Refuse("对不起，您必须输入您的用户名和密码！");
        if (!IsAdministrator(userName, password, p.Db())) p.Refuse("对不起，您没有权限执行该操作！");

        const fs::path folder = core::EnsureAppFolder("js");
        const std::string paste = action == "forumjs" ? ExportForums(p.Db(), folder, base, count)
                                                      : ExportArchive(p.Db(), folder, base, count);
        Response().Write("<b>JsCode已经生成，请按以下语法在其他页面中引用</b><br>");
        Response().Write("<textarea class=smallarea cols=80 rows=10>" + Text(paste) + "</textarea>");
    });
}

}  // namespace admin
