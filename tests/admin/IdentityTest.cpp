// The panel's identity checks on a page object of its own: who passes
// which check, what the session keeps, and the forums a user may manage.
#include <gtest/gtest.h>

#include <optional>

#include "PanelBoard.h"
#include "admin/Admin.h"
#include "core/Settings.h"
#include "platform/ScriptingContext.h"
#include "platform/Server.h"
#include "platform/Session.h"
#include "site/BoardDatabase.h"

namespace {

class IdentityTest : public ::testing::Test {
protected:
    IdentityTest() : saved_(core::CurrentSettings()) {
        context_.emplace(request_, response_, server_, session_, app_);
        page_.OnStartPage(*context_);
    }
    ~IdentityTest() override {
        page_.OnEndPage();
        core::CurrentSettings() = saved_;
    }

    void Member(const std::string& name, const platform::Variant& status) {
        board_.AddMember(name, "pw");
        board_.db.con.Execute("update register set status=? where username=?", {status, name});
    }

    admin_test::PanelBoard board_;
    core::Settings saved_;
    platform::Request request_;
    platform::Response response_;
    platform::Server server_;
    platform::Session session_{"s"};
    platform::Application app_;
    std::optional<platform::ScriptingContext> context_;
    admin::Admin page_;
};

TEST_F(IdentityTest, StatusDecidesEachCheck) {
    board_.AddForum("Talk", "A", 2);
    board_.AddForum("Art", "A", 1);
    board_.AddForum("Zoo", "B", 3);
    Member("root", "AdMiniStrator");
    Member("o'neil", "administrator");
    Member("mod", "Moderater");
    Member("lonely", "moderater");
    Member("plain", platform::Variant::null());
    Member("empty", "");
    board_.db.con.Execute("insert into moderated (forum, moderater) values ('Zoo','mod'),('Gone','mod')");
    struct Case {
        const char* name;
        const char* password;
        bool administrator, adminOrModerator;
        const char* forumList;  // after isAdminOrModerater, which starts from "given"
        bool isAdministratorFlag;
    };
    const Case cases[] = {
        {"root", "pw", true, true, "Art,Talk,Zoo", true},
        {"ROOT", "pw", true, true, "Art,Talk,Zoo", true},
        {"o'neil", "pw", true, true, "Art,Talk,Zoo", true},
        {"mod", "pw", false, true, "Zoo,Gone", false},
        {"lonely", "pw", false, true, "given", false},
        {"plain", "pw", false, false, "given", false},
        {"empty", "pw", false, false, "given", false},
        {"root", "PW", false, false, "given", false},
        {"nobody", "pw", false, false, "given", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + std::string("/") + c.password);
        EXPECT_EQ(page_.IsAdministrator(c.name, c.password, board_.db.con), c.administrator);
        std::string list = "given";
        bool flag = false;
        EXPECT_EQ(page_.isAdminOrModerater(c.name, c.password, board_.db.con, list, &flag), c.adminOrModerator);
        EXPECT_EQ(list, c.forumList);
        EXPECT_EQ(flag, c.isAdministratorFlag);
    }
}

TEST_F(IdentityTest, SessionKeepsTheLastSuccessfulLogin) {
    Member("root", "administrator");
    Member("mod", "MODERATER");
    std::string list;
    ASSERT_TRUE(page_.isAdminOrModerater("mod", "pw", board_.db.con, list));
    EXPECT_EQ(session_("usernamecp").str(), "mod");
    EXPECT_EQ(session_("Status").str(), "moderater");
    ASSERT_TRUE(page_.IsAdministrator("root", "pw", board_.db.con));
    EXPECT_FALSE(page_.IsAdministrator("root", "wrong", board_.db.con));
    EXPECT_FALSE(page_.IsAdministrator("mod", "pw", board_.db.con));
    EXPECT_EQ(session_("UserNamecp").str(), "root");
    EXPECT_EQ(session_("PASSWORDCP").str(), "pw");
    EXPECT_EQ(session_("status").str(), "administrator");
}

TEST_F(IdentityTest, ErrorFormReplacesThePage) {
    response_.Write("half a page");
    page_.ErrorForm("不行");
    EXPECT_FALSE(admin_test::Has(response_.Body(), "half a page"));
    EXPECT_TRUE(admin_test::Has(response_.Body(), "<br><br><center><p><h3>不行</h3></h3>"));
}

}  // namespace

namespace {

// The operator's command for a fresh board's first administrator.
TEST(FirstAdministrator, OnlyARegisteredMemberIsMadeAdministrator) {
    admin_test::PanelBoard board;
    board.AddMember("ann", "pw");
    EXPECT_TRUE(site::MakeAdministrator(board.db.Path(), "ANN"));
    EXPECT_EQ(board.Value("select status from register where username='ann'"), "administrator");
    EXPECT_FALSE(site::MakeAdministrator(board.db.Path(), "nobody"));
    EXPECT_EQ(board.Count("register where status='administrator'"), 2);
}

}  // namespace

namespace {

// A planted session id is worthless after a panel login; the login's later
// steps keep the id it got.
TEST(PanelLogin, NewIdentityGetsANewSessionId) {
    admin_test::PanelBoard board;
    board.AddMember("ann", "pw");
    board.db.con.Execute("update register set status='administrator' where username='ann'");
    board.PanelGet("misc.asp");  // no login: no session kept
    board.driver.jar[site::kSessionCookie] = "planted";
    board.Login();
    const std::string afterLogin = board.driver.jar.at(site::kSessionCookie);
    EXPECT_NE(afterLogin, "planted");
    board.PanelGet("forum.asp", {{"action", "order"}});
    EXPECT_EQ(board.driver.jar.at(site::kSessionCookie), afterLogin);
    board.Post("forum.asp", {{"action", "login"}, {"UserName", "ann"}, {"Password", "pw"}});
    EXPECT_NE(board.driver.jar.at(site::kSessionCookie), afterLogin);
}

}  // namespace
