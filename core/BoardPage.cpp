// Page start of every board page object, the shared tail of its page
// methods and the repeat-submit guard.
#include "core/BoardPage.h"

#include "core/PageFrame.h"
#include "core/RecentActs.h"
#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"
#include "platform/Request.h"
#include "platform/Strings.h"

namespace core {

void BoardPage::OnStartPage(platform::ScriptingContext& context) {
    platform::PageObject::OnStartPage(context);
    LoadSettings(Application());
    LoadStyleSettings(Application());
}

void BoardPage::ConnectionString(const std::string& value) {
    CurrentSettings().ConnectionString = value;
}

Page::Page(BoardPage& owner) : owner_(owner) {}

Page::~Page() = default;

platform::Connection& Page::Db() {
    if (!db_) {
        auto con = std::make_unique<platform::Connection>();
        con->Open(CurrentSettings().ConnectionString.str());
        con->ReadFromOneSnapshot();
        db_ = std::move(con);
    }
    return *db_;
}

void Page::Refuse(const std::string& message) {
    refused_ = true;
    owner_.ErrorForm(message);
    throw PageStopped{};
}

void Page::Stop() { throw PageStopped{}; }

void BoardPage::RunPage(Closing closing, const std::function<void(Page&)>& body) {
    Page page(*this);
    bool failed = false;
    try {
        body(page);
    } catch (const PageStopped&) {
    } catch (const platform::RuntimeError& e) {
        FailureForm(e);
        failed = true;
    }
    switch (closing) {
        case Closing::CopyrightAndBody:
            Response().Write(CurrentSettings().Copyright);
            Response().Write("</body></html>");
            break;
        case Closing::BodyOnly: Response().Write("</body></html>"); break;
        case Closing::Nothing: break;
        case Closing::ErrorPageBody:
            if (failed || page.Refused()) Response().Write("</body></html>");
            break;
    }
    // `page` closes its connection as it goes out of scope.
}

void BoardPage::FailureForm(const platform::RuntimeError& error) {
    Response().SetStatus(error.httpStatus());
    ErrorForm(error.tailText());
}

namespace {

// The last submissions of the board's members and client addresses.
const ActTable kSubmissions{"SubmitTimes"};

}  // namespace

bool BoardPage::PostSubmitCheck() {
    const long interval = CurrentSettings().SubmitInterval;
    const platform::DateTime now = platform::Now();
    const platform::Variant last = Session()("SubmitTime");
    // A negative interval never refuses, not even against a time another
    // page of this session stored a moment after this one read the clock.
    if (interval >= 0 && !(last == platform::Variant("")) && platform::IsDate(last) &&
        platform::SecondsBetween(platform::CDate(last), now) <= interval)
        return false;
    Session().Set("SubmitTime", now);
    return true;
}

bool BoardPage::MemberSubmitCheck(const std::string& member) {
    const long interval = CurrentSettings().SubmitInterval;
    // Member names ignore letter case as the member table does.
    return static_cast<bool>(MayActNow(Application(), kSubmissions,
                                       {{"member:" + platform::LCase(member), interval},
                                        AddressAct(Request().ServerVariables("Remote_addr").str(), interval)}));
}

}  // namespace core
