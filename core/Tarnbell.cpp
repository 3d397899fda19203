// Page start and end of Tarnbell, and the shared tail of its page methods.
#include "core/Tarnbell.h"

#include "core/PageFrame.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Error.h"

namespace core {

void Tarnbell::OnStartPage(platform::ScriptingContext& context) {
    platform::PageObject::OnStartPage(context);
    LoadSettings(Application());
    LoadStyleSettings(Application());
}

void Tarnbell::ConnectionString(const std::string& value) {
    CurrentSettings().ConnectionString = value;
}

Page::Page(Tarnbell& owner) : owner_(owner) {}

Page::~Page() = default;

platform::Connection& Page::Db() {
    if (!db_) {
        auto con = std::make_unique<platform::Connection>();
        con->Open(CurrentSettings().ConnectionString.str());
        db_ = std::move(con);
    }
    return *db_;
}

void Page::Refuse(const std::string& message) {
    owner_.ErrorForm(message);
    throw PageStopped{};
}

void Page::Stop() { throw PageStopped{}; }

void Tarnbell::RunPage(Closing closing, const std::function<void(Page&)>& body) {
    Page page(*this);
    try {
        body(page);
    } catch (const PageStopped&) {
    } catch (const platform::RuntimeError& e) {
        ErrorForm(e.tailText());
    }
    switch (closing) {
        case Closing::CopyrightAndBody:
            Response().Write(CurrentSettings().Copyright);
            Response().Write("</body></html>");
            break;
        case Closing::BodyOnly: Response().Write("</body></html>"); break;
        case Closing::Nothing: break;
    }
    // `page` closes its connection as it goes out of scope.
}

}  // namespace core
