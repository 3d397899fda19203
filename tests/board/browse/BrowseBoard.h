#pragma once
// A small board in a fresh database, served through the request driver as a
// browser would see it. Times are given in days before now. The page tests
// hold one, or derive their fixture from it beside ::testing::Test.
#include <string>

#include "TestDatabase.h"
#include "platform/DateTime.h"
#include "site/RequestDriver.h"

namespace browse_test {

// "yyyy-mm-dd hh:nn:ss", `days` (may be fractional) before now.
inline std::string DaysAgo(double days) {
    return platform::FormatGeneral(platform::AddDays(platform::Now(), -days));
}

inline std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

inline bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

class BrowseBoard {
public:
    BrowseBoard() = default;

    void AddForum(const std::string& name, const platform::Variant& catalog, int sequence,
                  const std::string& access = "") {
        db.con.Execute("insert into forum (forumname, descript, catalog, sequence, [restrict], forummaster) "
                       "values (?, ?, ?, ?, ?, ?)",
                       {name, "<i>about " + name + "</i>", catalog, sequence, access, "<b>mod</b>"});
    }

    void AddMember(const std::string& name, const std::string& password) {
        db.con.Execute("insert into register (username, password) values (?, ?)", {name, password});
    }

    // A topic posted at `time`; its counters come from the triggers.
    long long AddTopic(const std::string& forum, const std::string& author, const std::string& subject,
                       const std::string& time) {
        db.con.Execute("insert into post (forumname, username, subject, message, posttime, icon) "
                       "values (?, ?, ?, ?, ?, 1)",
                       {forum, author, subject, "text of " + subject, time});
        return db.con.LastIdentity();
    }

    void AddReply(long long topic, const std::string& forum, const std::string& author, const std::string& time) {
        db.con.Execute("insert into post (parentid, forumname, username, subject, message, posttime, icon) "
                       "values (?, ?, ?, 'Re', 'reply', ?, 1)",
                       {topic, forum, author, time});
    }

    void Set(const std::string& key, const platform::Variant& value) { host.application().Set(key, value); }

    site::DriverResponse Get(const std::string& page, site::Fields query = {}, site::Fields cookies = {}) {
        site::DriverRequest request;
        request.page = page;
        request.query = std::move(query);
        request.cookies = std::move(cookies);
        request.remoteAddr = "10.1.2.3";
        return driver.Run(request);
    }

    TestDatabase db;
    site::BoardHost host;
    site::RequestDriver driver{host};
};

}  // namespace browse_test
