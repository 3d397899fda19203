#include "site/BoardHost.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>

#include "core/AppFolder.h"
#include "platform/Charset.h"
#include "platform/Error.h"
#include "platform/ScriptingContext.h"
#include "platform/Server.h"
#include "platform/Strings.h"
#include "site/CrossSite.h"
#include "site/HeaderText.h"
#include "site/SitePages.h"

namespace site {

namespace {

constexpr const char* kPageType = "text/html; charset=gb2312";

HostResponse MessagePage(int status, const std::string& title, const std::string& text) {
    HostResponse out;
    out.status = status;
    out.contentType = kPageType;
    out.body = platform::Utf8ToGbk("<html><head><title>" + title + "</title></head><body><h2>" +
                                   title + "</h2><p>" + text + "</p></body></html>");
    return out;
}

HostResponse PageResponse(const platform::Response& response) {
    HostResponse out;
    out.status = response.Status();
    out.cookies = response.CookieList();
    out.headers = response.Headers();
    out.contentType = response.ContentType();
    if (out.contentType.rfind("text/", 0) == 0) out.contentType += "; charset=gb2312";
    // A page may set its own rule (no-store for a form that carries a password).
    const bool pageCaching = std::any_of(out.headers.begin(), out.headers.end(), [](const auto& header) {
        return platform::EqualsIgnoreCase(header.first, "Cache-Control");
    });
    if (response.IsExpiringImmediately()) {
        if (!pageCaching) out.headers.emplace_back("Cache-Control", "no-cache");
        out.headers.emplace_back("Expires", HttpDate(std::time(nullptr)));
    } else if (!pageCaching) {
        out.headers.emplace_back("Cache-Control", "private");
    }
    for (const auto& cookie : out.cookies) out.headers.emplace_back("Set-Cookie", SetCookieText(cookie));
    if (!response.RedirectLocation().empty()) {
        const std::string location = LocationText(response.RedirectLocation());
        out.headers.emplace_back("Location", location);
        out.body = "<html><head><title>Object moved</title></head><body>"
                   "<h1>Object Moved</h1>This object may be found <a href=\"" +
                   platform::HtmlEncode(location) + "\">here</a>.</body></html>";
    } else {
        out.body = response.WireBody();
    }
    return out;
}

// The page a request path names: without leading slashes, the site's
// home for none.
std::string PageOfPath(std::string_view path) {
    path.remove_prefix(std::min(path.find_first_not_of('/'), path.size()));
    return path.empty() ? std::string("Default.htm") : std::string(path);
}

HostResponse NotFound(const std::string& page) {
    return MessagePage(404, "404 找不到网页", "找不到网页：" + platform::HtmlEncode(platform::GbkToUtf8(page)));
}

// `page` lies in `folder` ("js/"): the folder's name ignores letter case
// as the pages' addresses do; what follows is matched exactly.
bool InFolder(std::string_view page, std::string_view folder) {
    return page.size() > folder.size() && platform::EqualsIgnoreCase(page.substr(0, folder.size()), folder);
}

// The files the board writes while it runs, the uploads ("upload/...") and
// the news feeds ("js/..."): read from their folders at each request and
// only ever sent as files, with the type their name gives. nosniff keeps a
// browser from taking an upload for a page or a script. The feeds are
// written in the pages' character set. Names are stored in UTF-8, as
// browsers send a typed address; a GBK address, as the pages write their
// links, is tried next.
std::optional<HostResponse> WrittenFile(std::string_view page, platform::Application& application) {
    const bool upload = InFolder(page, "upload/");
    if (!upload && !InFolder(page, "js/")) return std::nullopt;
    std::shared_ptr<const StaticFile> file;
    try {
        const std::string folder =
            upload ? core::UploadBaseFolder(application("UploadBaseDir").str()) : core::EnsureAppFolder("js");
        const std::string_view name = page.substr(upload ? 7 : 3);
        file = ReadFolderFile(folder, name);
        if (!file) file = ReadFolderFile(folder, platform::GbkToUtf8(name));
    } catch (const platform::RuntimeError&) {
        // The data folder is gone: nothing to send.
    }
    if (!file) return NotFound(std::string(page));
    HostResponse out;
    out.contentType = file->contentType;
    if (!upload && out.contentType == "application/javascript") out.contentType += "; charset=gb2312";
    out.headers.emplace_back("X-Content-Type-Options", "nosniff");
    out.body = file->content;
    return out;
}

}  // namespace

BoardHost::BoardHost(HostOptions options)
    : options_(std::move(options)), staticFiles_(options_.wwwRoot) {
    RegisterSitePages(router_);
    router_.addAll(platform::RegisteredPages());
    boardPageCount_ = platform::RegisteredPages().size();
}

HostResponse BoardHost::Handle(platform::RawRequest raw) {
    if (const int status = LimitStatus(raw, options_.limits, BodyLimit(raw.path))) return Refusal(status);
    const bool viaTrustedProxy = options_.trustedProxies.TakeClientAddress(raw);
    const std::string page = PageOfPath(raw.path);
    // One leading slash: pages link to their own address (script_name), and
    // "//list.asp" would send the browser to another host.
    raw.path.erase(0, raw.path.find_first_not_of('/'));
    raw.path.insert(0, "/");
    if (router_.has(page)) return runPage(page, std::move(raw), viaTrustedProxy);

    if (raw.method == "GET" || raw.method == "HEAD") {
        // The control panel's pages link the stylesheet and pictures
        // relatively: its folder shows the site's files too.
        if (auto written = WrittenFile(page, application_)) return *std::move(written);
        auto file = staticFiles_.Find(page);
        if (!file && platform::LCase(page.substr(0, 6)) == "admin/") file = staticFiles_.Find(page.substr(6));
        if (file) {
            HostResponse out;
            out.contentType = file->contentType;
            // The site's own scripts are written in UTF-8; a browser would
            // read them in the GBK of the page that loads them.
            if (out.contentType == "application/javascript") out.contentType += "; charset=utf-8";
            out.body = file->content;
            return out;
        }
    }
    return NotFound(page);
}

std::size_t BoardHost::BodyLimit(std::string_view path) const {
    return router_.bodyLimit(PageOfPath(path)).value_or(options_.limits.bodyBytes);
}

HostResponse BoardHost::Refusal(int status) {
    switch (status) {
    case 400: return MessagePage(400, "400 错误的请求", "无法识别的请求。");
    case 414: return MessagePage(414, "414 请求地址过长", "请求的地址或参数超过了本站的限制。");
    case 431: return MessagePage(431, "431 请求头过大", "请求头超过了本站的限制。");
    case 429: return MessagePage(429, "429 请求过多", "来自您的地址的请求过多，请稍后再试。");
    case 503: return MessagePage(503, "503 服务器正忙", "服务器正在接收的内容太多，请稍后再试。");
    default: return MessagePage(413, "413 请求过大", "提交的内容超过了本站的限制。");
    }
}

HostResponse BoardHost::runPage(const std::string& page, platform::RawRequest raw, bool viaTrustedProxy) {
    const std::string scriptName = platform::GbkToUtf8(raw.path);
    platform::Request request(std::move(raw));
    // A page of actions without an answer of its own to this one.
    const platform::PageHandler* handler = router_.find(page, request);
    if (!handler) return NotFound(page);
    // A page of another site may link to the board's pages, never change
    // anything through them in the name of the visitor its browser carries.
    if (router_.changes(page, request) &&
        FromAnotherSite(request, application_("BBURL").str(), viaTrustedProxy))
        return MessagePage(403, "403 禁止访问", "拒绝来自其他网站的提交。");
    const auto session = sessions_.Begin(request.Cookies(kSessionCookie).str());
    platform::Response response;
    platform::Server server(options_.wwwRoot, scriptName);
    platform::ScriptingContext context(request, response, server, *session, application_);

    HostResponse out;
    try {
        (*handler)(context);
        out = PageResponse(response);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "board-server: %s failed: %s\n", scriptName.c_str(), e.what());
        out = MessagePage(500, "500 服务器错误", "页面运行出错，错误已记录。");
    } catch (...) {
        std::fprintf(stderr, "board-server: %s failed with an unknown error\n", scriptName.c_str());
        out = MessagePage(500, "500 服务器错误", "页面运行出错，错误已记录。");
    }
    application_.ReleaseLocksOfThisThread();

    if (sessions_.End(session))
        out.headers.emplace_back("Set-Cookie", std::string(kSessionCookie) + "=" +
                                                   session->SessionID() +
                                                   "; Path=/; HttpOnly; SameSite=Lax");
    return out;
}

}  // namespace site
