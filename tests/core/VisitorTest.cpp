#include <gtest/gtest.h>

#include <string>

#include "TestDatabase.h"
#include "core/Visitor.h"
#include "platform/Request.h"
#include "platform/Session.h"

namespace {

using platform::Variant;

platform::Request RequestWith(const std::string& cookies, const std::string& query = "") {
    platform::RawRequest raw;
    raw.path = "/default.asp";
    raw.queryString = query;
    if (!cookies.empty()) raw.headers.emplace_back("Cookie", cookies);
    return platform::Request(std::move(raw));
}

class VisitorTest : public ::testing::Test {
protected:
    VisitorTest() { db.con.Execute("insert into register (username, password) values ('alice', 'Pw')"); }

    core::Credentials Prove(const platform::Request& request, platform::Session& session) {
        return core::ProvenVisitor(request, session, [this]() -> platform::Connection& {
            ++lookups;
            return db.con;
        });
    }

    TestDatabase db;
    int lookups = 0;
};

// A member only when the session's login or a matching pair of cookies says
// so; a name cookie alone, or with a wrong password, is a guest.
TEST_F(VisitorTest, NamesAMemberOnlyWhenTheNameWasProven) {
    const struct {
        const char* sessionName;
        const char* cookies;
        const char* name;  // "" for a guest
    } cases[] = {
        {"", "", ""},
        {"", "UserName=alice", ""},
        {"", "UserName=alice; Password=pw", ""},
        {"", "UserName=alice; Password=Pw", "alice"},
        {"", "UserName=ALICE; Password=Pw", "alice"},
        {"", "Password=Pw", ""},
        {"bob", "UserName=alice; Password=Pw", "bob"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sessionName) + " / " + c.cookies);
        platform::Session session("s");
        if (*c.sessionName) {
            session.Set("UserName", c.sessionName);
            session.Set("Password", "x");
        }
        EXPECT_EQ(Prove(RequestWith(c.cookies), session).name, c.name);
    }
}

TEST_F(VisitorTest, CookiesAreCheckedOncePerSessionForEachPair) {
    platform::Session session("s");
    EXPECT_EQ(Prove(RequestWith("UserName=alice; Password=Pw"), session).name, "alice");
    EXPECT_EQ(Prove(RequestWith("UserName=alice; Password=Pw"), session).name, "alice");
    EXPECT_EQ(lookups, 1);

    EXPECT_EQ(Prove(RequestWith("UserName=alice; Password=bad"), session).name, "");
    EXPECT_EQ(Prove(RequestWith("UserName=alice; Password=bad"), session).name, "");
    EXPECT_EQ(lookups, 2);
    // The board's own values stay untouched.
    EXPECT_TRUE(session("UserName").isEmpty());
    EXPECT_TRUE(session("Login").isEmpty());
}

TEST(ActingCredentials, SessionAfterTheLoginElseThePostedFieldsTrimmed) {
    platform::RawRequest raw;
    raw.method = "POST";
    raw.headers = {{"Cookie", "UserName=cookie; Password=cookie"},
                   {"Content-Type", "application/x-www-form-urlencoded"}};
    raw.body = "UserName=+joe+&Password=+p+w+";
    platform::Request request(raw);
    platform::Session session("s");
    session.Set("UserName", "alice");
    session.Set("Password", "Pw");
    core::Credentials acting = core::ActingCredentials(request, session);
    EXPECT_EQ(acting.name, "joe");
    EXPECT_EQ(acting.password, "p w");

    session.Set("Login", Variant::integer(1));
    acting = core::ActingCredentials(request, session);
    EXPECT_EQ(acting.name, "alice");
    EXPECT_EQ(acting.password, "Pw");

    // Neither a link's fields nor the remembered login's cookies are a member.
    for (const char* method : {"GET", "POST"}) {
        raw.method = method;
        raw.body.clear();
        raw.queryString = "UserName=joe&Password=pw";
        const platform::Request unposted(raw);
        acting = core::ActingCredentials(unposted, platform::Session("t"));
        EXPECT_EQ(acting.name, "") << method;
        EXPECT_EQ(acting.password, "") << method;
    }
}

}  // namespace
