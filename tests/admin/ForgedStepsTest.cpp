// The panel's writing steps reached the way another site would reach them:
// by a link (a GET carrying every field) or by a post without the login
// fields, with the remembered login's cookies along. None may change
// anything; the same step posted with its login fields works.
#include <gtest/gtest.h>

#include "PanelBoard.h"

namespace {

using admin_test::Has;
using site::Fields;

class ForgedStepsTest : public ::testing::Test {
protected:
    ForgedStepsTest() {
        board.AddForum("Talk", "Cat", 1);
        board.AddMember("tester1", "pw1");
        topic = board.AddTopic("Talk", "tester1", "Old subject", browse_test::DaysAgo(1));
        board.db.con.Execute("insert into archive (archivename, descript) values ('Kept', 'about')");
        board.db.con.Execute(
            "insert into announce (subject, content, startdate, enddate, username) "
            "values ('Notice', 'text', '2001-01-01', '2099-01-01', 'boss')");
        announcement = board.Value("select max(id) from announce");
    }

    // What the steps below could change, as one text.
    std::string Snapshot() {
        std::string all;
        for (const char* sql : {"select group_concat(forumname||[restrict]||ifnull(forumpassword,''), ';') from forum",
                                "select group_concat(postid||subject||message, ';') from post",
                                "select group_concat(username||ifnull(nickname,'')||ifnull(status,''), ';') from register",
                                "select group_concat(forum||moderater, ';') from moderated",
                                "select group_concat(id||subject, ';') from announce",
                                "select group_concat(archiveid||archivename, ';') from archive"})
            all += board.Value(sql) + "\n";
        return all;
    }

    // The request `form` names, as a link (every field in its address) or
    // as a post without the login fields; the boss's cookies go along.
    site::DriverResponse Forge(const std::string& page, const Fields& form, bool asLink) {
        site::DriverRequest request;
        request.method = asLink ? "GET" : "POST";
        request.page = "admin/" + page;
        (asLink ? request.query : request.form) = form;
        request.cookies = {{"UserName", "boss"}, {"Password", "secret"}};
        return board.driver.Run(request);
    }

    admin_test::PanelBoard board;
    long long topic = 0;
    std::string announcement;
};

struct Step {
    const char* page;
    Fields fields;
};

TEST_F(ForgedStepsTest, NoWritingStepActsOnALinkOrOnCookies) {
    const std::string id = std::to_string(topic);
    const Step steps[] = {
        {"edit.asp", {{"action", "submiteditsubject"}, {"topic", id}, {"newsubject", "Renamed"}}},
        {"edit.asp", {{"action", "dodeletethread"}, {"topic", id}}},
        {"edit.asp", {{"action", "DoMessageEdit"}, {"MessageNumber", id}, {"MessageText", "Overwritten"}}},
        {"edit.asp",
         {{"action", "DoMessageEdit"}, {"MessageNumber", id}, {"MessageText", "x"}, {"DeleteMessage", "yes"}}},
        {"edit.asp", {{"action", "submitprune"}, {"delete", id}}},
        {"forum.asp", {{"action", "addnewforum"}, {"forumname", "New"}, {"catalog", "Cat"}}},
        {"forum.asp", {{"action", "setforums"}, {"forumname", "Talk"}, {"sequence", "9"}}},
        {"forum.asp",
         {{"action", "submitedit"}, {"oldforumname", "Talk"}, {"forumname", "Talk"}, {"catalog", "Cat"},
          {"Private", "private"}, {"moderater", "tester1"}}},
        {"forum.asp", {{"action", "submitedit"}, {"oldforumname", "Talk"}, {"deleteforum", "on"}}},
        {"member.asp", {{"action", "submitedit"}, {"oldUserName", "tester1"}, {"NewUserName", "tester1"},
                        {"nickname", "Forged"}}},
        {"member.asp", {{"action", "updatepermiss"}, {"username", "tester1"}, {"status", "administrator"}}},
        {"announce.asp", {{"action", "submitanncedit"}, {"announceid", announcement}, {"Delete", "on"}}},
        {"announce.asp",
         {{"action", "submitannounce"}, {"Subject", "Forged"}, {"EditedMessage", "x"}, {"ForumName", "Talk"},
          {"StartYear", "2001"}, {"StartMonth", "1"}, {"StartDay", "1"}, {"EndYear", "2099"},
          {"EndMonth", "1"}, {"EndDay", "1"}}},
        {"archive.asp", {{"action", "archivecenter"}, {"NewArchiveName", "Forged"}}},
        {"broadcast.asp", {{"Subject", "Forged"}, {"message", "x"}, {"option", "allmember"}}},
    };
    const std::string before = Snapshot();
    const long messages = board.Count("pm");
    for (const bool asLink : {true, false}) {
        for (const Step& step : steps) {
            SCOPED_TRACE(std::string(step.page) + " " + step.fields.front().second + (asLink ? " link" : " post"));
            const site::DriverResponse r = Forge(step.page, step.fields, asLink);
            EXPECT_EQ(r.status, 200);
            EXPECT_EQ(Snapshot(), before);
            EXPECT_EQ(board.Count("pm"), messages);
        }
    }
}

TEST_F(ForgedStepsTest, NewsFeedsAreNotWrittenOnALink) {
    admin_test::ScopedDataFolder data;
    const Fields feed = {{"Num", "5"}, {"Action", "forumjs"}};
    for (const bool asLink : {true, false}) {
        const site::DriverResponse r = Forge("jscode.asp", feed, asLink);
        EXPECT_TRUE(Has(r.body, "对不起，您必须输入您的用户名和密码！"));
        EXPECT_FALSE(std::filesystem::exists(data.Path() / "js"));
    }
    EXPECT_TRUE(Has(board.AsBoss("jscode.asp", feed).body, "JsCode已经生成"));
}

TEST_F(ForgedStepsTest, TheSameStepsPostedWithTheirLoginWork) {
    const std::string id = std::to_string(topic);
    board.AsBoss("edit.asp", {{"action", "submiteditsubject"}, {"topic", id}, {"newsubject", "Renamed"}});
    EXPECT_EQ(board.Value("select subject from post where postid=?", {topic}), "Renamed");
    board.AsBoss("forum.asp", {{"action", "addnewforum"}, {"forumname", "New"}, {"catalog", "Cat"}});
    EXPECT_EQ(board.Count("forum where forumname='New'"), 1);
    board.AsBoss("archive.asp", {{"action", "archivecenter"}, {"NewArchiveName", "Added"}});
    EXPECT_EQ(board.Count("archive where archivename='Added'"), 1);
    board.AsBoss("announce.asp", {{"action", "submitanncedit"}, {"announceid", announcement}, {"Delete", "on"}});
    EXPECT_EQ(board.Count("announce"), 0);
}

// The panel's forms carry the session's panel login, the member record
// also the member's password: no cache may keep them.
TEST_F(ForgedStepsTest, PagesWithPasswordsAreNotStored) {
    board.Login();
    for (const auto& [page, query] : std::vector<std::pair<std::string, Fields>>{
             {"forum.asp", {}},
             {"edit.asp", {}},
             {"member.asp", {{"action", "getbio4admin"}, {"UserName", "tester1"}}},
             {"jscode.asp", {}}}) {
        SCOPED_TRACE(page);
        const site::DriverResponse r = board.PanelGet(page, query);
        EXPECT_TRUE(Has(r.body, "NAME=Password"));
        EXPECT_EQ(r.header("Cache-Control"), "no-store");
    }
    EXPECT_TRUE(Has(board.PanelGet("member.asp", {{"action", "getbio4admin"}, {"UserName", "tester1"}}).body,
                    "<b>pw1</b>"));
    EXPECT_EQ(board.Get("default.asp").header("Cache-Control"), "private");
}

}  // namespace
