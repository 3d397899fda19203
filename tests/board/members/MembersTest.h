#pragma once
// The members' pages on a fresh board whose mail relay is a test sink.
#include <string>

#include "board/browse/MailPageTest.h"
#include "platform/DateTime.h"
#include "platform/Recordset.h"

class MembersTest : public MailPageTest {
protected:
    // From a client address of its own unless `from` names one: the
    // registration and the mail guard count per address.
    site::DriverResponse Post(const std::string& page, site::Fields form, const std::string& from = "") {
        return PostFrom(page, std::move(form), from);
    }

    // The registration form as a visitor fills it in, with `changes` applied
    // (a field the form lacks is added).
    site::Fields RegistrationForm(const site::Fields& changes = {}) {
        site::Fields form = {{"action", "RegSubmit"},    {"UserName", "新会员"},
                             {"password", "pw123"},      {"password2", "pw123"},
                             {"Email", "new@example.com"}, {"OICQ", "1234"},
                             {"ICQ", "5678"},            {"Location", "杭州"},
                             {"Occupation", "教师"},     {"URL", "http://"},
                             {"Interests", "读书"},      {"Signature", "签名"},
                             {"AllowMassMail", "yes"},   {"NameStorage", "yes"},
                             {"DaysPrune", "10"},        {"EmailView", "yes"}};
        for (const auto& [key, value] : changes) {
            bool found = false;
            for (auto& field : form)
                if (field.first == key) field.second = value, found = true;
            if (!found) form.emplace_back(key, value);
        }
        return form;
    }

    site::DriverResponse Register(const site::Fields& changes = {}, const std::string& from = "") {
        return Post("signup.asp", RegistrationForm(changes), from);
    }

    // A column of a member's row as text ("<none>" when there is no row).
    std::string Column(const std::string& name, const std::string& column) {
        platform::Recordset rs;
        rs.Open("select * from register where username=?", db.con, {name});
        if (rs.Eof()) return "<none>";
        const platform::Variant v = rs.Fields(column);
        return v.isNull() ? "<null>" : v.str();
    }

    long Members() {
        platform::Recordset rs;
        rs.Open("select count(*) from register", db.con);
        return static_cast<long>(rs.Fields(0).toDouble());
    }

    void AddMemberWithMail(const std::string& name, const std::string& password, const std::string& email) {
        db.con.Execute("insert into register (username, password, email) values (?, ?, ?)", {name, password, email});
    }

    // Whether the response sets the cookie to `value` for a year, deletes it
    // ("<deleted>"), or leaves it ("<unset>").
    static std::string CookieState(const site::DriverResponse& response, const std::string& name) {
        const platform::ResponseCookie* c = response.cookie(name);
        if (!c) return "<unset>";
        if (c->Expires && c->Expires->serial < platform::Now().serial) return "<deleted>";
        return c->Value;
    }
};
