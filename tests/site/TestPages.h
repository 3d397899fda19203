#pragma once
// Page objects the host tests route to: each shows one behaviour of the
// request, response, session or application objects.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/MailComponent.h"
#include "platform/PageObject.h"
#include "platform/Strings.h"
#include "platform/WaitMark.h"
#include "site/BoardHost.h"

namespace site_test {

// Where hold.asp waits until the test opens it, as a page waits for a
// stalled mail relay or a long write.
struct Gate {
    std::mutex mutex;
    std::condition_variable changed;
    int waiting = 0;
    bool open = false;

    void Open() {
        std::lock_guard lock(mutex);
        open = true;
        changed.notify_all();
    }
    // Counted among the waiting until the gate opens; a page's wait, marked
    // as such unless told otherwise.
    void Pass(bool marked = true) {
        std::optional<platform::WaitMark> mark;
        if (marked) mark.emplace();
        std::unique_lock lock(mutex);
        ++waiting;
        changed.notify_all();
        changed.wait(lock, [&] { return open; });
        --waiting;
    }
    // False when fewer than `count` wait within `limit`.
    bool WaitUntilWaiting(int count, std::chrono::seconds limit) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, limit, [&] { return waiting >= count; });
    }
};
inline Gate& HoldGate() {
    static Gate gate;
    return gate;
}

class TestPage : public platform::PageObject {
public:
    // Writes "key=value|" for the named fields of each collection, "<empty>"
    // for an absent one.
    void Echo() {
        for (const char* key : {"name", "blank", "multi"}) {
            Show("q", key, Request().QueryString(key));
            Show("f", key, Request().Form(key));
        }
        Show("c", "who", Request().Cookies("who"));
        Show("c", "late", Request().Cookies("LATE"));
        Show("any", "name", Request()("name"));
    }
    void CookieAfterWrite() {
        Response().Write("before the cookie");
        Response().SetCookie("Late", Request()("value"));
    }
    void ClearKeepsCookie() {
        Response().Write("discarded");
        Response().SetCookie("Kept", "yes");
        Response().Clear();
        Response().Write("after clear");
    }
    void SessionCounter() {
        const platform::Variant count = Session().Get("Count");
        Session().Set("count", count.isEmpty() ? 1 : platform::CLng(count) + 1);
        Response().Write(Session()("COUNT"));
    }
    void Fail() {
        Response().Write("half a page");
        throw std::runtime_error("page bug");
    }
    void LockAndFail() {
        Application().Lock();
        throw std::runtime_error("page bug while holding the lock");
    }
    void Increment() {
        Application().Lock();
        const platform::Variant count = Application().Get("Counter");
        Application().Set("counter", count.isEmpty() ? 1 : platform::CLng(count) + 1);
        Application().UnLock();
        Response().Write("ok");
    }

    void Variables() {
        for (const char* key : {"Remote_addr", "request_method", "script_name", "query_string",
                                "http_referer", "HTTP_USER_AGENT", "http_host"})
            Show("sv", key, Request().ServerVariables(key));
        Show("any", "x", Request()("x"));
        Show("any", "remote_addr", Request()("remote_addr"));
        for (const std::string& value : Request().Form().Values("multi")) Response().Write("[" + value + "]");
    }
    void Body() {
        const std::size_t total = Request().TotalBytes();
        const std::string head = Request().BinaryRead(3);
        const std::string rest = Request().BinaryRead(total);
        Response().Write(std::to_string(total) + ":" + head + "/" + rest);
    }
    void Unrepresentable() { Response().Write("中\xF0\x9F\x98\x80"); }  // U+1F600
    // "valid", or the keys whose name or value is not valid UTF-8.
    void Utf8Check() {
        std::string bad;
        for (const platform::RequestCollection* c : {&Request().QueryString(), &Request().Form(),
                                                     &Request().Cookies(), &Request().ServerVariables()}) {
            for (const std::string& key : c->Keys()) {
                bool valid = platform::IsValidUtf8(key);
                for (const std::string& value : c->Values(key)) valid = valid && platform::IsValidUtf8(value);
                if (!valid) bad += "[" + platform::ToValidUtf8(key) + "]";
            }
        }
        Response().Write(bad.empty() ? "valid" : bad);
    }
    void Cookies() {
        Response().ExpiresImmediately();
        Response().SetCookie("UserName", "old");
        Response().SetCookie("username", "新");
        Response().CookieExpires("USERNAME", platform::MakeDateTime(2030, 1, 2));
        Response().Cookies("Password").Value = "x";
        Response().Cookies("password").Expires = platform::MakeDateTime(2001, 1, 2);
    }
    void Hold() {
        HoldGate().Pass();
        Response().Write("held");
    }
    // One mail through the relay the application names, as the mail pages
    // send theirs; shows whether it went.
    void Mail() {
        platform::MailComponent mail;
        mail.MailServer(Application()("SmtpServer").str());
        mail.MailFromAddress("board@example.com");
        mail.AddRecipient("Li", "li@example.com");
        mail.MailSubject("hello");
        mail.MailBody("text");
        const platform::MailResult result = mail.SendNow();
        Response().Write(result.sent ? "sent" : result.failure);
    }
    void Forward() {
        Response().Write("lost");
        Response().Redirect("list.asp?GroupName=中 文");
    }

private:
    void Show(const char* collection, const char* key, const platform::Variant& value) {
        Response().Write(std::string(collection) + "." + key + "=");
        Response().Write(value.isEmpty() ? std::string("<empty>") : value.str());
        Response().Write("|");
    }
};

inline void RegisterTestPages(platform::Router& router) {
    router.add("echo.asp", &TestPage::Echo);
    router.add("late.asp", &TestPage::CookieAfterWrite);
    router.add("clear.asp", &TestPage::ClearKeepsCookie);
    router.add("session.asp", &TestPage::SessionCounter);
    router.add("fail.asp", &TestPage::Fail);
    router.add("lockfail.asp", &TestPage::LockAndFail);
    router.add("admin/increment.asp", &TestPage::Increment);
    router.add("variables.asp", &TestPage::Variables);
    router.add("body.asp", &TestPage::Body);
    router.add("unrepresentable.asp", &TestPage::Unrepresentable);
    router.add("utf8check.asp", &TestPage::Utf8Check);
    router.add("cookies.asp", &TestPage::Cookies);
    router.add("forward.asp", &TestPage::Forward);
    router.add("hold.asp", &TestPage::Hold);
    router.add("mail.asp", &TestPage::Mail);
}

}  // namespace site_test
