#pragma once
// BoardPage: what every page object of the board has, whatever its area:
// the page start, the shared tail of its page methods, the short pages that
// replace a page's output, the pager and the repeat-submit guard. The
// public board's pages (core::Tarnbell and the areas' classes on it), the
// private messages and the control panel build on it.
#include <cstdint>
#include <functional>
#include <string>

#include "core/PageTail.h"
#include "platform/PageObject.h"
#include "platform/Variant.h"

namespace platform {
class Connection;
class RuntimeError;
}

namespace core {

class BoardPage : public platform::PageObject {
public:
    // ---- Page start (core/BoardPage.cpp) ----
    // Keeps the request's objects (PageObject), then loads the settings.
    // OnEndPage is PageObject's.
    void OnStartPage(platform::ScriptingContext& context) override;
    // Replaces the thread's connection string until the next page start.
    void ConnectionString(const std::string& value);

    // Runs a page body and its shared tail (core/PageTail.h).
    void RunPage(Closing closing, const std::function<void(Page&)>& body);

    // ---- Short pages (core/PageFrame.cpp) ----
    // Each clears the response and writes a short page of its own. A class
    // with an error page of its own overrides ErrorForm; RunPage and
    // Page::Refuse then show that one.
    virtual void ErrorForm(const std::string& errormessage);
    // The error page of a run-time error, answered with the error's status
    // (503 when the database cannot serve for now, 500 for the board's own
    // faults): the page is a failure, whatever it shows.
    void FailureForm(const platform::RuntimeError& error);
    platform::Variant MessageWithJumpTo(platform::Connection& con, const std::string& forumname,
                                        const std::string& message, bool isArchive = false);
    // Forwards to `url` only when it is a relative address of this board,
    // else to "default.asp".
    void Wait(const std::string& tip, const std::string& url, const std::string& target,
              std::uint8_t waittime = 2);

    // ---- Pager (core/Pager.cpp) ----
    void PageStyle(std::int32_t recordCount, std::int16_t page, std::int16_t pageCount,
                   std::int16_t pageSize, const std::string& addon = "");

    // ---- Repeat-submit guard (core/BoardPage.cpp) ----
    // True when a submission of this session may go ahead now; then starts
    // the session's interval.
    bool PostSubmitCheck();
    // The same for the proven member who submits, whatever the session or
    // address (a login starts a new session), and for the client address,
    // which has a few submissions an interval (its members share it). Called
    // once the member is proven, so that a made-up name spends no one's turn.
    bool MemberSubmitCheck(const std::string& member);
};

}  // namespace core
