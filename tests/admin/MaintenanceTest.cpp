// misc.asp: the recounts of forums, topics and members, the points with and
// without an excluded forum, the triggers' agreement with the recount, and
// the failures a run reports.
#include <gtest/gtest.h>

#include <functional>

#include "PanelBoard.h"
#include "admin/MemberRows.h"

namespace {

using admin_test::Has;

class MaintenanceTest : public ::testing::Test {
protected:
    // vic: 4 topics and 6 replies (to ann's topic) in A, 2 topics in B; ann
    // replies 5 times to his topics in A and 3 times to those in B, and once
    // to her own topic. Forum C has no posts.
    MaintenanceTest() {
        board.AddMember("vic", "pw");
        board.AddMember("ann", "pw");
        for (const char* forum : {"A", "B", "C"}) board.AddForum(forum, "Cat", 1);
        board.db.con.Execute("update forum set forummaster='诚征版主'");
        double age = 100;
        auto next = [&] { return browse_test::DaysAgo(age -= 1); };
        const long long annTopic = board.AddTopic("A", "ann", "hers", next());
        std::vector<long long> topicsA, topicsB;
        for (int i = 0; i < 4; ++i) topicsA.push_back(board.AddTopic("A", "vic", "a", next()));
        for (int i = 0; i < 2; ++i) topicsB.push_back(board.AddTopic("B", "vic", "b", next()));
        for (int i = 0; i < 6; ++i) board.AddReply(annTopic, "A", "vic", next());
        for (int i = 0; i < 5; ++i) board.AddReply(topicsA[i % 4], "A", "ann", next());
        for (int i = 0; i < 3; ++i) board.AddReply(topicsB[i % 2], "B", "ann", next());
        board.AddReply(annTopic, "A", "ann", next());
    }

    site::DriverResponse Run(site::Fields tasks) {
        return board.AsBoss("misc.asp", std::move(tasks));
    }
    std::string Counters() {
        return board.Value("select group_concat(forumname||topiccount||'/'||replycount||'/'||"
                           "ifnull(lastpostusername,'-')||ifnull(lastposttime,'-')||forummaster, ' ') from forum") +
               board.Value("select group_concat(postid||':'||replycount||lastreplyusername||lastreplyposttime, ' ') "
                           "from post where parentid is null") +
               board.Value("select group_concat(username||postcount, ' ') from register");
    }
    std::string AllPoints() {
        return board.Value("select group_concat(username||':'||postcount||'/'||jf, ' ') "
                           "from (select * from register order by username)");
    }
    long long Id(const std::string& sql) { return std::stoll(board.Value(sql)); }
    std::string Points(const char* member) {
        return board.Value("select postcount||'/'||jf from register where username=?", {member});
    }

    admin_test::PanelBoard board;
};

TEST_F(MaintenanceTest, RecountOfAnUntouchedBoardChangesNothingButPoints) {
    const std::string before = Counters();
    const auto page = Run({{"foruminfo", "on"}, {"topicinfo", "on"}, {"userinfo", "on"}});
    EXPECT_TRUE(Has(page.body, "<br><br><center><h3>数据维护结束</h3></center>"));
    EXPECT_FALSE(Has(page.body, "没有完成")) << page.body;
    EXPECT_EQ(Counters(), before);
    EXPECT_EQ(Points("vic"), "12/44");
    EXPECT_EQ(board.Value("select ifnull(lastpostusername,'null') from forum where forumname='C'"), "null");
}

TEST_F(MaintenanceTest, PointsLeaveOutTheExcludedForum) {
    Run({{"userinfo", "on"}, {"forumname", "B"}});
    EXPECT_EQ(Points("vic"), "12/35");
    EXPECT_EQ(Points("ann"), "10/27");
}

TEST_F(MaintenanceTest, RecountRepairsAndTasksRunOnlyWhenChecked) {
    auto& con = board.db.con;
    con.Execute("update forum set topiccount=99, forummaster='stale'");
    con.Execute("update post set replycount=99, lastreplyusername='x' where parentid is null");
    con.Execute("update register set postcount=99, url='http://'");
    Run({{"foruminfo", "ON"}, {"topicinfo", "yes"}, {"userinfo", "on"}});
    EXPECT_EQ(board.Value("select topiccount from forum where forumname='A'"), "99");
    EXPECT_EQ(board.Value("select max(replycount) from post"), "99");
    EXPECT_EQ(board.Value("select postcount||ifnull(url,'null') from register where username='vic'"), "12null");
    // The placeholder goes in any letter case; a real address stays.
    con.Execute("update register set url='HTTP://' where username='vic'");
    con.Execute("update register set url='Http:///' where username='ann'");
    con.Execute("update register set url='HTTP://example.org/' where username='boss'");
    Run({{"userinfo", "on"}});
    EXPECT_EQ(board.Value("select group_concat(ifnull(url,'null'), ' ') from (select url from register "
                          "where username in ('vic','ann','boss') order by username)"),
              "null HTTP://example.org/ null");
    Run({{"foruminfo", "on"}, {"topicinfo", "on"}});
    EXPECT_EQ(board.Value("select group_concat(topiccount||forummaster) from forum"), "5诚征版主,2诚征版主,0诚征版主");
    EXPECT_EQ(board.Value("select replycount||lastreplyusername from post where subject='b' order by postid"), "2ann");
}

// The points the board keeps as posts come, go and move are the points a
// recount sets, with no excluded forum and with one.
class PointsTest : public MaintenanceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PointsTest, AfterAnyChangeARecountAltersNoPoints) {
    auto& con = board.db.con;
    auto sql = [&](const std::string& statement, std::function<long long()> id = {}) {
        return [&con, statement, id] { con.Execute(statement, id ? platform::SqlParams{id()} : platform::SqlParams{}); };
    };
    auto vicTopic = [&] { return Id("select min(postid) from post where username='vic' and parentid is null"); };
    auto lastReply = [&] { return Id("select max(postid) from post where parentid is not null"); };
    auto forum = [&](site::Fields fields) {
        return [&, fields] {
            board.AsBoss("forum.asp", admin_test::With({{"action", "submitedit"}, {"catalog", "Cat"},
                                                        {"TopicRestrict", "all"}, {"ReplyRestrict", "all"}},
                                                       fields));
        };
    };
    auto inTransaction = [&](std::function<void()> change) {
        return [&con, change] {
            platform::Transaction tx(con);
            change();
            tx.Commit();
        };
    };
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"topic", [&] { board.AddTopic("B", "ann", "new", browse_test::DaysAgo(1)); }},
        {"reply by another", [&] { board.AddReply(vicTopic(), "A", "ann", browse_test::DaysAgo(1)); }},
        {"own reply in other letter case", [&] { board.AddReply(vicTopic(), "A", "VIC", browse_test::DaysAgo(1)); }},
        {"reply deleted", sql("delete from post where postid=?", lastReply)},
        {"thread moved", sql("update post set forumname='B' where postid=?1 or parentid=?1", vicTopic)},
        {"thread moved back", sql("update post set forumname='A' where postid=?1 or parentid=?1", vicTopic)},
        {"reply moved alone", sql("update post set forumname='B' where postid=?", lastReply)},
        {"thread copied",
         [&] {
             con.Execute("insert into post (forumname, username, subject) "
                         "select 'C', username, subject from post where postid=?", {vicTopic()});
             con.Execute("insert into post (forumname, parentid, username, subject) "
                         "select 'C', ?1, username, subject from post where parentid=?2",
                         {con.LastIdentity(), vicTopic()});
         }},
        {"reply made a topic", sql("update post set parentid=null where postid=?", lastReply)},
        {"topic deleted before its replies",
         sql("delete from post where postid=(select min(postid) from post where forumname='C')")},
        {"orphaned replies deleted", sql("delete from post where forumname='C'")},
        {"thread deleted at once", sql("delete from post where postid=?1 or parentid=?1", vicTopic)},
        {"member renamed", inTransaction([&] { admin::RenameMember(con, "vic", "victor"); })},
        {"forum renamed", forum({{"oldforumname", "B"}, {"forumname", "Water"}})},
        {"forum deleted", forum({{"oldforumname", "A"}, {"deleteforum", "on"}})},
        {"member deleted", inTransaction([&] { admin::DeleteMember(con, "ann"); })},
    };
    const std::string excluded = GetParam();
    Run({{"userinfo", "on"}, {"forumname", excluded}});
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        change();
        const std::string kept = AllPoints();
        Run({{"userinfo", "on"}, {"forumname", excluded}});
        EXPECT_EQ(AllPoints(), kept);
    }
    EXPECT_EQ(board.Value("select group_concat(username) from post"), "victor,victor");
}

INSTANTIATE_TEST_SUITE_P(ExcludedForum, PointsTest, ::testing::Values("", "B"));

TEST_F(MaintenanceTest, FailuresAreReported) {
    board.db.con.Execute("create trigger no_forum_update before update on forum "
                         "begin select raise(abort, 'disk trouble'); end");
    const auto page = Run({{"foruminfo", "on"}, {"userinfo", "on"}});
    EXPECT_TRUE(Has(page.body, "数据维护结束"));
    EXPECT_TRUE(Has(page.body, "有 4 处维护没有完成，第一处的错误：disk trouble")) << page.body;
    EXPECT_EQ(Points("vic"), "12/44");  // the member recount still ran
}

TEST_F(MaintenanceTest, FormAndRefusal) {
    const auto form = board.PanelGet("misc.asp");
    EXPECT_TRUE(Has(form.body, "<FORM ACTION=misc.asp  NAME=Authorize METHOD=POST>"));
    board.db.con.Execute("update register set status='moderater' where username='boss'");
    board.db.con.Execute("update register set jf=0 where username='vic'");
    const auto page = Run({{"userinfo", "on"}});
    EXPECT_TRUE(Has(page.body, "只有管理员才可以执行该操作!"));
    EXPECT_FALSE(Has(page.body, "数据维护结束"));
    EXPECT_EQ(Points("vic"), "12/0");
}

}  // namespace
