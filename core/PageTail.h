#pragma once
// The one way every page method of a board page object ends.
//
//   void BrowsePages::list() {
//       RunPage(Closing::CopyrightAndBody, [&](Page& p) {
//           if (!CheckForum(p.Db(), forum)) p.Refuse("没有这个论坛");
//           platform::Recordset rs;
//           rs.Open("select ...", p.Db());
//           ...
//       });
//   }
//
// RunPage runs the body, then, on every path:
//   1. a platform::RuntimeError that escaped the body is shown through
//      ErrorForm as "错误号：n<br>错误描述：d<br>错误来源：s" (d and s HTML-encoded);
//   2. the closing text is written (Copyright + "</body></html>", only
//      "</body></html>", or nothing, as the page says);
//   3. the connection opened through p.Db() is closed (record sets the body
//      declared are closed by their destructors on the way out).
// p.Refuse(message) writes ErrorForm(message) and leaves the body at once;
// p.Stop() leaves it without writing anything (after Wait, for example).
#include <functional>
#include <memory>
#include <string>

namespace platform {
class Connection;
}

namespace core {

class BoardPage;

enum class Closing {
    CopyrightAndBody,  // Copyright, then "</body></html>"
    BodyOnly,          // "</body></html>"
    Nothing,
    // The page ends its own answer; its error page (a refusal or a
    // failure) gets "</body></html>".
    ErrorPageBody,
};

class Page {
public:
    explicit Page(BoardPage& owner);
    ~Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    // The page's connection, opened on first use with the settings'
    // connection string.
    platform::Connection& Db();

    [[noreturn]] void Refuse(const std::string& message);
    [[noreturn]] void Stop();
    bool Refused() const { return refused_; }

private:
    BoardPage& owner_;
    std::unique_ptr<platform::Connection> db_;
    bool refused_ = false;
};

// Ends a page body early; caught by RunPage, never seen outside it.
struct PageStopped {};

}  // namespace core
