#pragma once
// A Tarnbell page object on hand-made request objects, for calling frame
// methods directly. The thread's settings are put back afterwards.
#include <optional>
#include <string>

#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Application.h"
#include "platform/Request.h"
#include "platform/Response.h"
#include "platform/ScriptingContext.h"
#include "platform/Server.h"
#include "platform/Session.h"

namespace testing_support {

class TarnbellPage {
public:
    // `shared`: an application the page shares with other pages.
    explicit TarnbellPage(platform::Application* shared = nullptr)
        : saved_(core::CurrentSettings()), app_(shared ? *shared : ownApp_) {}
    ~TarnbellPage() {
        if (context_) page_.OnEndPage();
        core::CurrentSettings() = saved_;
    }
    TarnbellPage(const TarnbellPage&) = delete;
    TarnbellPage& operator=(const TarnbellPage&) = delete;

    // Application and session values are set before Start.
    platform::Application& app() { return app_; }
    platform::Session& session() { return session_; }

    // Runs OnStartPage for a request of `path` with `query` (GET).
    core::Tarnbell& Start(const std::string& path = "/list.asp", const std::string& query = "",
                          const std::string& cookies = "") {
        return Begin(Raw("GET", path, query, cookies));
    }
    // The same for a form POST of `body` (URL-encoded) to `path` with `query`.
    core::Tarnbell& Post(const std::string& path, const std::string& body, const std::string& query = "",
                         const std::string& cookies = "") {
        platform::RawRequest raw = Raw("POST", path, query, cookies);
        raw.headers.emplace_back("Content-Type", "application/x-www-form-urlencoded");
        raw.body = body;
        return Begin(std::move(raw));
    }

    core::Tarnbell& page() { return page_; }
    platform::Response& response() { return response_; }
    const std::string& Body() const { return response_.Body(); }

private:
    static platform::RawRequest Raw(const char* method, const std::string& path, const std::string& query,
                                    const std::string& cookies) {
        platform::RawRequest raw;
        raw.method = method;
        raw.path = path;
        raw.queryString = query;
        raw.remoteAddr = "10.0.0.1";
        if (!cookies.empty()) raw.headers.emplace_back("Cookie", cookies);
        return raw;
    }
    core::Tarnbell& Begin(platform::RawRequest raw) {
        request_.emplace(std::move(raw));
        context_.emplace(*request_, response_, server_, session_, app_);
        page_.OnStartPage(*context_);
        return page_;
    }

    core::Settings saved_;
    platform::Application ownApp_;
    platform::Application& app_;
    platform::Session session_{"test-session"};
    platform::Server server_;
    platform::Response response_;
    std::optional<platform::Request> request_;
    std::optional<platform::ScriptingContext> context_;
    core::Tarnbell page_;
};

}  // namespace testing_support
