#pragma once
// A board with members who use private messages, each member in a browser
// of his own (own cookies, own session), through the request driver.
#include <map>
#include <memory>
#include <string>

#include "board/browse/BrowseBoard.h"
#include "platform/Convert.h"
#include "platform/Recordset.h"

namespace pm_test {

using browse_test::Count;
using browse_test::Has;

class PmBoard : public browse_test::BrowseBoard {
public:
    PmBoard() {
        AddMember("alice", "pa");
        AddMember("Bob", "pb");
        AddMember("carol", "pc");
        // Sends of one member follow each other at once here.
        Set("SubmitInterval", -1);
    }

    // The browser of `member`, logged in through the login form on first use.
    site::RequestDriver& As(const std::string& member) {
        auto& browser = browsers_[member];
        if (!browser) {
            browser = std::make_unique<site::RequestDriver>(host);
            platform::Recordset rs;
            rs.Open("select password from register where username=?", db.con, {member});
            browser->Post("pm.asp", {{"userName", member}, {"Password", rs.Fields(0).str()}, {"QueryString", ""}});
        }
        return *browser;
    }

    site::DriverResponse Open(const std::string& member, site::Fields query) {
        return As(member).Get("pm.asp", std::move(query));
    }
    site::DriverResponse Send(const std::string& member, site::Fields form) {
        form.emplace_back("action", "postpm");
        return As(member).Post("pm.asp", std::move(form));
    }
    site::DriverResponse Send(const std::string& from, const std::string& to, const std::string& subject) {
        return Send(from, {{"Recipient", to}, {"Subject", subject}, {"Message", "text"}, {"msgicon", "2"}});
    }

    // A message stored as sending stores it; its id.
    long long AddMessage(const std::string& from, const std::string& to, const std::string& subject,
                         const std::string& time = browse_test::DaysAgo(0)) {
        db.con.Execute(
            "insert into PM (sender, recipient, subject, message, icon, usesign, posttime) "
            "values (?, ?, ?, 'body', 1, 0, ?)",
            {from, to, subject, time});
        const long long id = db.con.LastIdentity();
        db.con.Execute(
            "insert into outbox select postid, usesign, sender, recipient, subject, message, icon, "
            "posttime from PM where postid=?",
            {id});
        return id;
    }

    long long Number(const std::string& sql, const platform::SqlParams& params = {}) {
        platform::Recordset rs;
        rs.Open(sql, db.con, params);
        return platform::CLng(rs.Fields(0));
    }

private:
    std::map<std::string, std::unique_ptr<site::RequestDriver>> browsers_;
};

}  // namespace pm_test
