#include "site/BoardHost.h"

#include <cstdio>
#include <exception>

#include "platform/Charset.h"
#include "platform/Error.h"
#include "platform/ScriptingContext.h"
#include "platform/Server.h"
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
    if (response.IsExpiringImmediately()) {
        out.headers.emplace_back("Cache-Control", "no-cache");
        out.headers.emplace_back("Expires", HttpDate(std::time(nullptr)));
    } else {
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
        out.body = platform::Utf8ToGbk(response.Body());
    }
    return out;
}

HostResponse NotFound(const std::string& page) {
    return MessagePage(404, "404 找不到网页", "找不到网页：" + platform::HtmlEncode(platform::GbkToUtf8(page)));
}

}  // namespace

BoardHost::BoardHost(HostOptions options)
    : options_(std::move(options)), staticFiles_(options_.wwwRoot) {
    RegisterSitePages(router_);
    router_.addAll(platform::RegisteredPages());
    boardPageCount_ = platform::RegisteredPages().size();
}

HostResponse BoardHost::Handle(platform::RawRequest raw) {
    // One leading slash: pages link to their own address (script_name), and
    // "//list.asp" would send the browser to another host.
    raw.path.erase(0, raw.path.find_first_not_of('/'));
    raw.path.insert(0, "/");
    std::string page = raw.path.substr(1);
    if (page.empty()) page = "Default.htm";
    if (router_.has(page)) return runPage(page, std::move(raw));

    if (raw.method == "GET" || raw.method == "HEAD") {
        if (const auto file = staticFiles_.Find(page)) {
            HostResponse out;
            out.contentType = file->contentType;
            out.body = file->content;
            return out;
        }
    }
    return NotFound(page);
}

HostResponse BoardHost::runPage(const std::string& page, platform::RawRequest raw) {
    const std::string scriptName = platform::GbkToUtf8(raw.path);
    platform::Request request(std::move(raw));
    // A page of actions without an answer of its own to this one.
    const platform::PageHandler* handler = router_.find(page, request);
    if (!handler) return NotFound(page);
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
