#include <gtest/gtest.h>

#include <string>

#include "TestDatabase.h"
#include "core/Module1.h"
#include "platform/Error.h"

namespace {

using platform::Variant;

class ModeratorsTest : public ::testing::Test {
protected:
    void SetUp() override {
        addMember("boss", "Secret1", "Administrator", Variant("boss@example.com"));
        addMember("alice", "pw-alice", "", Variant::null());
        addMember("bob", "pw-bob", "Moderater", Variant("b\"o<b>@example.com"));
        addMember("muted", "pw-muted", "", Variant::null(), false);
        con().Execute("insert into forum (forumname) values ('灌水'), ('Tech'), ('Empty')");
        addModerator("Tech", "alice");
        addModerator("Tech", "bob");
        addModerator("Tech", "ghost");  // no member row
        addModerator("灌水", "alice");
    }

    platform::Connection& con() { return db_.con; }
    void addMember(const std::string& name, const std::string& password, const std::string& status,
                   const Variant& email, bool canPost = true) {
        con().Execute("insert into register (username, password, status, email, canpost) values (?,?,?,?,?)",
                      {name, password, status.empty() ? Variant::null() : Variant(status), email, canPost});
    }
    void addModerator(const std::string& forum, const std::string& name) {
        con().Execute("insert into moderated (forum, moderater) values (?,?)", {forum, name});
    }
    std::int16_t level(std::string name, std::string password, const std::string& forum) {
        return core::GetModeratorLevel(name, password, forum, con());
    }

    TestDatabase db_;
};

TEST_F(ModeratorsTest, LevelOfMembersAdministratorsAndModerators) {
    const struct {
        const char* name;
        const char* password;
        const char* forum;
        int expected;
    } cases[] = {
        {"boss", "Secret1", "Tech", 1},
        {"boss", "Secret1", "no such forum", 1},  // administrators need no moderated row
        {"alice", "pw-alice", "Tech", 2},
        {"ALICE", "pw-alice", "tech", 2},         // names ignore letter case
        {"alice", "pw-alice", "Empty", 0},
        {"bob", "pw-bob", "灌水", 0},             // the status alone makes no moderator
        {"bob", "pw-bob", "Tech", 2},
        {"boss", "secret1", "Tech", -1},          // passwords compare exactly
        {"boss", "wrong", "Tech", -1},
        {"nobody", "x", "Tech", -1},
        {"boss", "", "Tech", -1},
        {"", "Secret1", "Tech", -1},
        {"alice", "' or ''='", "Tech", -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(level(c.name, c.password, c.forum), c.expected)
            << c.name << "/" << c.password << "/" << c.forum;
    }
}

TEST_F(ModeratorsTest, NameAndPasswordAreTrimmedForTheCaller) {
    std::string name = "  alice ", password = " pw-alice  ";
    EXPECT_EQ(core::GetModeratorLevel(name, password, "Tech", con()), 2);
    EXPECT_EQ(name, "alice");
    EXPECT_EQ(password, "pw-alice");

    name = " bob";
    password = "pw-bob ";
    bool canPost = false;
    EXPECT_TRUE(core::CheckUserCanPost(name, password, con(), canPost));
    EXPECT_EQ(name, "bob");
    EXPECT_EQ(password, "pw-bob");
    EXPECT_TRUE(canPost);
}

TEST_F(ModeratorsTest, CheckUserCanPostReadsTheFlagOfKnownMembersOnly) {
    std::string name = "muted", password = "pw-muted";
    bool canPost = true;
    EXPECT_TRUE(core::CheckUserCanPost(name, password, con(), canPost));
    EXPECT_FALSE(canPost);

    name = "muted";
    password = "PW-MUTED";
    canPost = true;
    EXPECT_FALSE(core::CheckUserCanPost(name, password, con(), canPost));
    EXPECT_TRUE(canPost) << "left as it was";

    name = "   ";
    password = "x";
    EXPECT_FALSE(core::CheckUserCanPost(name, password, con(), canPost));
}

TEST_F(ModeratorsTest, ModeratorListLinksMailAddressesAndEncodesBoth) {
    EXPECT_EQ(core::GetModeratorList(Variant("Tech"), con()).str(),
              "alice, <a href=\"mailto:b&quot;o&lt;b&gt;@example.com\">bob</a>");
    EXPECT_EQ(core::GetModeratorList(Variant("灌水"), con()).str(), "alice");
    EXPECT_EQ(core::GetModeratorList(Variant("Empty"), con()).str(), "诚征版主");
    EXPECT_EQ(core::GetModeratorList(Variant("it's"), con()).str(), "诚征版主");
}

TEST_F(ModeratorsTest, ModeratorListEncodesNames) {
    addMember("<i>x", "p", "", Variant::null());
    addModerator("Empty", "<i>x");
    EXPECT_EQ(core::GetModeratorList(Variant("Empty"), con()).str(), "&lt;i&gt;x");
}

}  // namespace
