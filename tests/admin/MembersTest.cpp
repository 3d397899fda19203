// member.asp: the member search and its pages, the two rights of each
// member, and deleting and renaming members across every table.
#include <gtest/gtest.h>

#include "PanelBoard.h"

namespace {

using admin_test::Has;

class MembersTest : public ::testing::Test {
protected:
    MembersTest() { board.Login(); }

    // The names listed on a result page, in order.
    static std::string Listed(const std::string& body) {
        std::string names;
        const std::string mark = "name=hiddenUsername value=\"";
        for (std::size_t at = body.find(mark); at != std::string::npos; at = body.find(mark, at + 1)) {
            const std::size_t start = at + mark.size();
            names += (names.empty() ? "" : " ") + body.substr(start, body.find('"', start) - start);
        }
        return names;
    }
    site::DriverResponse Search(site::Fields form) {
        form.insert(form.begin(), {"action", "getmatches"});
        return board.AsBoss("member.asp", form);
    }
    void Member(const std::string& name, int posts, const std::string& signdate) {
        board.AddMember(name, "pw");
        board.db.con.Execute("update register set postcount=?, signdate=?, email=? where username=?",
                             {posts, signdate, name + "@mail.test", name});
    }

    admin_test::PanelBoard board;
};

TEST_F(MembersTest, SearchCriteria) {
    board.db.con.Execute("update register set postcount=null where username='boss'");
    Member("ann", 3, "2020-01-03 00:00:00");
    Member("bob", 4, "2020-01-02 00:00:00");
    Member("cy", 12, "2020-01-01 00:00:00");
    struct Case {
        const char* name;
        site::Fields form;
        const char* listed;  // "!" and the refusal when refused
    };
    const Case cases[] = {
        {"posts 3.5 rounds to 4", {{"Math", ">="}, {"Posts", "3.5"}}, "bob cy"},
        {"digits before letters", {{"Math", "="}, {"Posts", "12abc"}}, "cy"},
        {"no number compares with 0", {{"Math", "<="}, {"Posts", "x"}}, ""},
        {"empty posts: every counted member", {{"Math", ">="}, {"Posts", ""}}, "ann bob cy"},
        {"name and mail", {{"Math", ">="}, {"NN", "b"}, {"Email", "bob@"}}, "bob"},
        {"quote in the name", {{"Math", ">="}, {"NN", "b'o"}}, ""},
        {"whole list, boss too", {{"ViewEntire", "YES"}, {"Math", "bogus"}}, "boss ann bob cy"},
        {"other comparison refused", {{"Math", ">0 or 1=1 --"}}, "!发帖数目只能用"},
        {"missing comparison refused", {}, "!发帖数目只能用"},
    };
    board.db.con.Execute("update register set signdate='2030-01-01 00:00:00' where username='boss'");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = Search(c.form);
        if (c.listed[0] == '!') {
            EXPECT_TRUE(Has(page.body, c.listed + 1)) << page.body;
            EXPECT_FALSE(Has(page.body, "hiddenUsername"));
        } else {
            EXPECT_EQ(Listed(page.body), c.listed);
        }
    }
}

TEST_F(MembersTest, PagesOfFiftyWithEveryCriterionInTheLinks) {
    for (int i = 0; i < 120; ++i)
        Member("m" + std::to_string(1000 + i), 1, "2020-01-01 00:00:" + std::to_string(10 + i % 50));
    struct Case {
        const char* page;
        const char* range;
        bool previous, next;
    };
    const Case cases[] = {
        {"1", "匹配显示 1 - 50(总共是 120 人)", false, true},
        {"2", "匹配显示 51 - 100(总共是 120 人)", true, true},
        {"3", "匹配显示 101 - 120(总共是 120 人)", true, false},
        {"9", "匹配显示 101 - 120(总共是 120 人)", true, false},
        {"0", "匹配显示 1 - 50(总共是 120 人)", false, true},
        {"x", "匹配显示 1 - 50(总共是 120 人)", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        const auto page = board.PanelGet("member.asp", {{"action", "getmatches"}, {"page", c.page},
                                                        {"Math", ">="}, {"Posts", "1"}});
        EXPECT_TRUE(Has(page.body, c.range)) << page.body.substr(0, 3000);
        EXPECT_EQ(Has(page.body, ">上一页</A>"), c.previous);
        EXPECT_EQ(Has(page.body, ">下一页</A>"), c.next);
    }
    // The links carry every criterion, encoded.
    const auto page = board.PanelGet("member.asp", {{"action", "getmatches"}, {"Math", ">="}, {"Posts", "1"},
                                                    {"NN", "m1"}, {"Email", "@mail."}});
    EXPECT_TRUE(Has(page.body, "&amp;NN=m1&amp;Email=%40mail%2E&amp;Math=%3E%3D&amp;Posts=1&amp;ViewEntire=\">下一页"))
        << page.body.substr(0, 3000);
}

TEST_F(MembersTest, RightsChangeOnlyByAnExplicitChoice) {
    board.AddMember("ann", "pw");
    board.AddMember("mod", "pw");
    board.db.con.Execute("update register set status='Moderater', canpost=0 where username='mod'");
    board.db.con.Execute("update register set status='administrator' where username='ann'");
    struct Case {
        const char* name;
        site::Fields radios;  // for row 1 = ann, row 2 = mod
        const char* after;    // status/canpost of ann, then of mod
    };
    const Case cases[] = {
        {"nothing sent", {}, "administrator/1 Moderater/0"},
        {"other values", {{"AdminPermission1", "no"}, {"AdminWrite2", "yes"}}, "administrator/1 Moderater/0"},
        {"revoke", {{"AdminPermission1", "false"}, {"AdminWrite1", "false"}, {"AdminPermission2", "false"}},
         "NULL/0 Moderater/0"},
        {"grant", {{"AdminPermission2", "true"}, {"AdminWrite2", "true"}}, "NULL/0 administrator/1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        site::Fields form = {{"action", "updatepermiss"}, {"hiddenUsername", "ann"}, {"hiddenUsername", "mod"}};
        form.insert(form.end(), c.radios.begin(), c.radios.end());
        EXPECT_TRUE(Has(board.AsBoss("member.asp", form).body, "成员权限更新结束"));
        EXPECT_EQ(board.Value("select group_concat(ifnull(status,'NULL')||'/'||canpost, ' ') from "
                              "(select * from register where username in ('ann','mod') order by username)"),
                  c.after);
    }
}

TEST_F(MembersTest, StepsNeedTheAdministrator) {
    board.AddMember("ann", "pw");
    const auto page = board.Post("member.asp", {{"action", "updatepermiss"}, {"UserName", "ann"},
                                                {"Password", "pw"}, {"Delete", "boss"}});
    EXPECT_TRUE(Has(page.body, "对不起，你不能进行该操作！"));
    EXPECT_EQ(board.Count("register where username='boss'"), 1);
    // Another letter case of an action is no action: the search form.
    EXPECT_TRUE(Has(board.PanelGet("member.asp", {{"action", "GetMatches"}}).body, "获 得 用 户 信 息"));
}

// A member "vic" named in every table that names members; the counts of
// the rows naming `name`, table by table.
class MemberCascadeTest : public MembersTest {
protected:
    MemberCascadeTest() {
        auto& con = board.db.con;
        board.AddMember("vic", "pw");
        board.AddMember("ann", "pw");
        board.AddForum("Talk", "A", 1);
        con.Execute("insert into moderated (forum, moderater) values ('Talk', 'vic')");
        con.Execute("update forum set forummaster='vic'");
        const long long own = board.AddTopic("Talk", "vic", "mine", browse_test::DaysAgo(2));
        board.AddReply(own, "Talk", "ann", browse_test::DaysAgo(1.5));
        const long long other = board.AddTopic("Talk", "ann", "yours", browse_test::DaysAgo(1));
        board.AddReply(other, "Talk", "vic", browse_test::DaysAgo(0.5));
        con.Execute("insert into archivelist (postid, username, parentid) values (50, 'vic', null), (51, 'ann', 50)");
        con.Execute("insert into PM (sender, recipient) values ('vic', 'ann'), ('ann', 'vic')");
        con.Execute("insert into outbox (sender, recipient) values ('vic', 'ann'), ('ann', 'vic')");
        con.Execute("insert into favor (username, postid) values ('vic', 1)");
        con.Execute("insert into subscibe (username, forumname) values ('vic', 'Talk')");
        con.Execute("insert into ignorelist (username, ignoreusername) values ('vic', 'ann'), ('ann', 'vic')");
        con.Execute("insert into announce (subject, username) values ('news', 'vic')");
        con.Execute("insert into announceto (id, forumname) values (last_insert_rowid(), 'Talk')");
    }

    std::string Rows(const std::string& name) {
        std::string out;
        for (const char* table :
             {"register where username=?1", "post where username=?1", "post where lastreplyusername=?1",
              "archivelist where username=?1", "PM where sender=?1 or recipient=?1",
              "outbox where sender=?1 or recipient=?1", "favor where username=?1", "subscibe where username=?1",
              "ignorelist where username=?1 or ignoreusername=?1", "announce where username=?1",
              "moderated where moderater=?1", "forum where lastpostusername=?1",
              "forum where forummaster like '%'||?1||'%'"})
            out += std::to_string(board.Count(table, {name})) + " ";
        return out;
    }
    site::DriverResponse SaveRecord(const std::string& newName, site::Fields more = {}) {
        return board.AsBoss("member.asp", admin_test::With({{"action", "submitedit"}, {"oldUserName", "vic"},
                                                           {"NewUserName", newName}, {"nickname", "V"},
                                                           {"icon", "icon/v.gif"}, {"uploaddir", "vic"}},
                                                          more));
    }
};

TEST_F(MemberCascadeTest, RenameCarriesEveryTable) {
    ASSERT_EQ(Rows("vic"), "1 2 1 1 2 2 1 1 2 1 1 1 1 ");
    EXPECT_TRUE(Has(SaveRecord(" Rex ").body, "用户资料更新结束"));
    EXPECT_EQ(Rows("vic"), "0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    EXPECT_EQ(Rows("Rex"), "1 2 1 1 2 2 1 1 2 1 1 1 1 ");
    EXPECT_EQ(board.Value("select nickname||icon||uploaddir from register where username='Rex'"), "Vicon/v.gifvic");
}

TEST_F(MemberCascadeTest, RenameRefusals) {
    struct Case {
        const char* name;
        site::Fields form;
        const char* message;
    };
    const Case cases[] = {
        {"taken", {{"NewUserName", "ANN"}}, "已经存在"},
        {"own name in another case", {{"NewUserName", "VIC"}}, "已经存在"},
        {"bad characters", {{"NewUserName", "v'ic<b>"}}, "不合法"},
        {"too long", {{"NewUserName", "abcdefghijklmnop"}}, "不合法"},
        {"folder with separator", {{"uploaddir", "../etc"}}, "上传目录"},
        {"folder path", {{"uploaddir", "a/b"}}, "上传目录"},
        {"hidden folder", {{"uploaddir", ".ssh"}}, "上传目录"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = SaveRecord("vic", c.form);
        EXPECT_TRUE(Has(page.body, c.message)) << page.body;
        EXPECT_FALSE(Has(page.body, "<b>"));  // the name is shown as text
        EXPECT_EQ(Rows("vic"), "1 2 1 1 2 2 1 1 2 1 1 1 1 ");
        EXPECT_EQ(board.Value("select ifnull(nickname,'none') from register where username='vic'"), "none");
    }
}

TEST_F(MemberCascadeTest, DeleteRemovesEveryRowNamingTheMember) {
    const auto page = board.AsBoss("member.asp", {{"action", "updatepermiss"}, {"Delete", "vic"}});
    EXPECT_TRUE(Has(page.body, "成员权限更新结束"));
    EXPECT_EQ(Rows("vic"), "0 0 0 0 0 0 0 0 0 0 0 0 0 ");
    // Replies to his topics went with them; ann keeps her own topic.
    EXPECT_EQ(board.Value("select group_concat(subject) from post"), "yours");
    EXPECT_EQ(board.Count("archivelist"), 0);
    EXPECT_EQ(board.Count("announceto"), 0);
    EXPECT_EQ(board.Value("select forummaster from forum"), "诚征版主");
    EXPECT_EQ(board.Value("select postcount from register where username='ann'"), "1");
}

TEST_F(MemberCascadeTest, RecordFormShowsValuesAsText) {
    board.db.con.Execute("update register set nickname='<b>V''s</b>', password='p<w' where username='vic'");
    const auto page = board.PanelGet("member.asp", {{"action", "getbio4admin"}, {"UserName", "vic"}});
    EXPECT_TRUE(Has(page.body, "NAME=nickname VALUE=\"&lt;b&gt;V's&lt;/b&gt;\"")) << page.body;
    EXPECT_TRUE(Has(page.body, "<b>p&lt;w</b>"));
    EXPECT_TRUE(Has(page.body, "NAME=oldUserName VALUE=\"vic\""));
    EXPECT_TRUE(Has(board.PanelGet("member.asp", {{"action", "getbio4admin"}, {"UserName", "zed"}}).body,
                    "对不起，该用户不存在！"));
}

}  // namespace
