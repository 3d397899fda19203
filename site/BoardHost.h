#pragma once
// The host of the board's pages: turns one raw request into a response by
// running the routed page object (or serving a static file), with the
// site-wide application values and the browser sessions. Used by the HTTP
// server and, without a socket, by the request driver.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Application.h"
#include "platform/Request.h"
#include "platform/Response.h"
#include "platform/Session.h"
#include "platform/Router.h"
#include "site/RequestLimits.h"
#include "site/StaticFiles.h"
#include "site/TrustedProxy.h"

namespace site {

struct HostOptions {
    std::string wwwRoot = BOARD_DEFAULT_WWW;
    RequestLimits limits;
    TrustedProxies trustedProxies;  // the setting TrustedProxy
};

struct HostResponse {
    int status = 200;
    std::string contentType;
    std::vector<std::pair<std::string, std::string>> headers;  // Set-Cookie, Location, ...
    std::string body;                                          // bytes as sent
    std::vector<platform::ResponseCookie> cookies;             // the page's cookies
};

inline constexpr const char* kSessionCookie = "BoardSession";

class BoardHost {
public:
    // Routes the site's own pages and the pages the board's areas registered.
    explicit BoardHost(HostOptions options = {});

    platform::Router& router() { return router_; }
    platform::Application& application() { return application_; }
    platform::SessionStore& sessions() { return sessions_; }
    const HostOptions& options() const { return options_; }
    // How many routes the board's own pages have (the site's pages aside).
    std::size_t boardPageCount() const { return boardPageCount_; }

    // A request from a trusted proxy runs with its client's address
    // (TrustedProxies::TakeClientAddress).
    HostResponse Handle(platform::RawRequest raw);

    // The body limit of the page at a request path ("/list.asp"): the
    // page's own (Router::setBodyLimit, platform::BodyLimit), else the
    // limits' default.
    std::size_t BodyLimit(std::string_view path) const;
    // The answer to a request over a limit (413, 414 or 431), to a client
    // with too many requests at once (429) or to one that does not parse (400).
    static HostResponse Refusal(int status);

private:
    HostResponse runPage(const std::string& page, platform::RawRequest raw, bool viaTrustedProxy);

    HostOptions options_;
    platform::Router router_;
    StaticFiles staticFiles_;
    platform::Application application_;
    platform::SessionStore sessions_;
    std::size_t boardPageCount_ = 0;
};

}  // namespace site
