// announce.asp: publishing announcements for chosen forums, the dates they
// must have, changing and deleting them by their writer or an
// administrator, and the board showing them in the forums' topic lists.
#include <gtest/gtest.h>

#include "FixedClock.h"
#include "PanelBoard.h"

namespace {

using admin_test::Has;
using site::Fields;

class AnnounceTest : public ::testing::Test {
protected:
    AnnounceTest() {
        board.AddForum("Tech", "Cat", 1);
        board.AddForum("Chat", "Cat", 2);
        board.AddForum("News", "Cat", 3);
        board.AddMember("mo", "pw");
        board.db.con.Execute("update register set status='moderater' where username='mo'");
        board.db.con.Execute("insert into moderated (forum, moderater) values ('Tech', 'mo')");
    }

    site::DriverResponse Announce(const std::string& who, const std::string& password, Fields form) {
        form.insert(form.begin(), {{"UserName", who}, {"Password", password}});
        return board.Post("announce.asp", std::move(form));
    }
    // A new announcement from 2001-03-05 to 2001-04-30 for `forums`, with
    // the fields of `more` changed.
    site::DriverResponse Publish(const std::string& who, const std::string& password,
                                 const std::vector<std::string>& forums, Fields more = {}) {
        Fields form = admin_test::With({{"action", "submitannounce"}, {"Subject", "Notice"}, {"EditedMessage", "text"},
                                        {"StartYear", "2001"}, {"StartMonth", "03"}, {"StartDay", "05"},
                                        {"EndYear", "2001"}, {"EndMonth", "04"}, {"EndDay", "30"}},
                                       more);
        for (const std::string& forum : forums) form.emplace_back("ForumName", forum);
        return Announce(who, password, form);
    }
    std::string LastId() { return board.Value("select max(id) from announce"); }
    long Stored() { return board.Count("announce"); }

    // Before the days the tests publish for.
    FixedClock clock_{platform::MakeDateTime(2001, 3, 1, 12, 0, 0)};
    admin_test::PanelBoard board;
};

TEST_F(AnnounceTest, StepsAreComparedExactlyAndEachChecksTheIdentity) {
    struct Case {
        const char* name;
        std::string who, password;
        Fields form;
        const char* shows;
    };
    const Case cases[] = {
        {"no step: the login form", "", "", {}, "根 据 选 择 进 入 中 心"},
        {"another case is no step", "boss", "secret", {{"action", "Enter"}}, "根 据 选 择 进 入 中 心"},
        {"SUBMITANNOUNCE", "boss", "secret", {{"action", "SUBMITANNOUNCE"}}, "根 据 选 择 进 入 中 心"},
        {"choice in any case", "boss", "secret", {{"action", "enter"}, {"AnnounceFunction", "createANNOUNCEMENT"}},
         "建 立 新 告 示"},
        {"pick list", "boss", "secret", {{"action", "enter"}, {"AnnounceFunction", "EditAnnouncement"}},
         "查看和编辑告示"},
        {"wrong password", "boss", "x", {{"action", "enter"}, {"AnnounceFunction", "CreateAnnouncement"}},
         "对不起，没有发现该用户！"},
        {"no name", "", "", {{"action", "submitannounce"}}, "对不起，没有发现该用户！"},
        {"a member without rights", "mo", "x", {{"action", "submitanncedit"}}, "对不起，没有发现该用户！"},
        {"edit form without a choice", "", "", {{"action", "reviewannounce"}}, "请选择要编辑的公告！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto page = Announce(c.who, c.password, c.form);
        EXPECT_TRUE(Has(page.body, c.shows)) << page.body;
        EXPECT_TRUE(page.body.ends_with("</body></html>"));
    }
    const auto nothing = Announce("boss", "secret", {{"action", "enter"}, {"AnnounceFunction", "other"}});
    EXPECT_FALSE(Has(nothing.body, "<FORM"));
}

TEST_F(AnnounceTest, DatesMustBeDaysOfTheCalendar) {
    struct Case {
        const char* name;
        Fields dates;
        bool stored;
    };
    const Case cases[] = {
        {"2001-02-29", {{"StartMonth", "02"}, {"StartDay", "29"}}, false},
        {"2000-02-29", {{"StartYear", "2000"}, {"StartMonth", "02"}, {"StartDay", "29"}}, true},
        {"month 13", {{"EndMonth", "13"}}, false},
        {"31 April", {{"EndDay", "31"}}, false},
        {"year of letters", {{"StartYear", "20o1"}}, false},
        {"no year", {{"EndYear", ""}}, false},
        {"end before start", {{"StartMonth", "04"}, {"EndMonth", "03"}}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long before = Stored();
        const auto page = Publish("boss", "secret", {"Tech"}, c.dates);
        EXPECT_EQ(Has(page.body, "开始日期或结束日期不合法！请检查！"), !c.stored) << page.body;
        EXPECT_EQ(Stored(), before + (c.stored ? 1 : 0));
    }
    EXPECT_EQ(board.Value("select startdate||'/'||enddate from announce where id=?", {LastId()}),
              "2001-04-05 00:00:00/2001-03-30 00:00:00");
}

// The new form preselects no day: the browser sends 1 January of this year
// for both dates, a window over before it is published.
TEST_F(AnnounceTest, AWindowThatHasEndedIsRefused) {
    const auto form = Announce("boss", "secret", {{"action", "enter"}, {"AnnounceFunction", "CreateAnnouncement"}}).body;
    EXPECT_TRUE(Has(form, "NAME=EndYear SIZE=4 MAXLENGTH=4 VALUE=2001>")) << form;
    const Fields defaults = {{"StartYear", "2001"}, {"StartMonth", "01"}, {"StartDay", "01"},
                             {"EndYear", "2001"},   {"EndMonth", "01"},   {"EndDay", "01"}};
    const auto page = Publish("boss", "secret", {"Tech"}, defaults);
    EXPECT_TRUE(Has(page.body, "结束日期已经过去，这个公告不会显示！请检查！")) << page.body;
    EXPECT_FALSE(Has(page.body, "公告发布结束"));
    EXPECT_EQ(Stored(), 0);
    // A window ending today is shown today.
    EXPECT_TRUE(Has(Publish("boss", "secret", {"Tech"}, admin_test::With(defaults, {{"EndMonth", "03"}})).body,
                    "公告发布结束"));
    EXPECT_TRUE(Has(board.Get("list.asp", {{"GroupName", "Tech"}}).body, "Notice</a>"));
}

TEST_F(AnnounceTest, ForumsOfTheWriterOnlyStoredWithTheAnnouncement) {
    const auto form = Announce("mo", "pw", {{"action", "enter"}, {"AnnounceFunction", "CreateAnnouncement"}}).body;
    EXPECT_TRUE(Has(form, "MULTIPLE><OPTION VALUE=\"Tech\">Tech</SELECT>")) << form;

    struct Case {
        const char* name;
        std::vector<std::string> forums;
        Fields form;
        const char* refusal;
    };
    const Case cases[] = {
        {"empty subject", {"Tech"}, {{"Subject", ""}}, "主题和公告内容不能为空！"},
        {"empty text", {"Tech"}, {{"EditedMessage", ""}}, "主题和公告内容不能为空！"},
        {"no forum chosen", {}, {}, "请选择版面！"},
        {"another forum first", {"Chat", "Tech"}, {}, "你不能发布公告到其它论坛，请检查！"},
        {"another case of his forum", {"tech"}, {}, "你不能发布公告到其它论坛，请检查！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Has(Publish("mo", "pw", c.forums, c.form).body, c.refusal));
    }
    EXPECT_EQ(Stored(), 0);
    EXPECT_EQ(board.Count("announceto"), 0);

    board.db.con.Execute("delete from moderated");
    EXPECT_TRUE(Has(Publish("mo", "pw", {"Tech"}).body, "没有版面存在，不能发布公告"));

    EXPECT_TRUE(Has(Publish("boss", "secret", {"Tech", "Chat", "News", "Chat"}).body,
                    "公告发布结束"));
    EXPECT_EQ(board.Value("select group_concat(forumname) from announceto where id=?", {LastId()}), "Tech,Chat,News");
    EXPECT_EQ(board.Value("select username from announce"), "boss");
}

TEST_F(AnnounceTest, TheBoardShowsItInTheChosenForumsWhileItsDaysLast) {
    FixedClock clock(platform::MakeDateTime(2001, 4, 30, 23, 59, 0));
    Publish("boss", "secret", {"Chat"}, {{"Subject", "Read <me>"}});
    const std::string shown = "Read &lt;me&gt;</a>";
    EXPECT_TRUE(Has(board.Get("list.asp", {{"GroupName", "Chat"}}).body, shown));
    EXPECT_FALSE(Has(board.Get("list.asp", {{"GroupName", "Tech"}}).body, shown));
    clock.Advance(60);  // the day after the last
    EXPECT_FALSE(Has(board.Get("list.asp", {{"GroupName", "Chat"}}).body, shown));
}

TEST_F(AnnounceTest, AModeratorChangesOnlyHisOwnAnnouncements) {
    Publish("mo", "pw", {"Tech"}, {{"Subject", "mine"}});
    const std::string his = LastId();
    Publish("boss", "secret", {"Chat"}, {{"Subject", "boss's"}});
    const std::string boss = LastId();
    board.db.con.Execute("update announce set posttime='2001-01-01 00:00:00' where id=?", {his});

    const auto list = Announce("mo", "pw", {{"action", "enter"}, {"AnnounceFunction", "editannouncement"}}).body;
    EXPECT_TRUE(Has(list, "VALUE=" + his + ">"));
    EXPECT_FALSE(Has(list, "VALUE=" + boss + ">"));
    const auto all = Announce("boss", "secret", {{"action", "enter"}, {"AnnounceFunction", "editannouncement"}}).body;
    EXPECT_LT(all.find("VALUE=" + boss + ">"), all.find("VALUE=" + his + ">")) << all;  // newest first
    EXPECT_TRUE(Has(all, "boss's"));

    // Forged requests for the administrator's announcement.
    const char* refusal = "对不起，您只能编辑自己发布的公告！";
    EXPECT_TRUE(Has(Announce("mo", "pw", {{"action", "reviewannounce"}, {"EditAnnounce", boss}}).body, refusal));
    const Fields save = {{"action", "submitanncedit"}, {"announceid", boss}, {"Subject", "taken"},
                         {"EditedMessage", "taken"}, {"StartYear", "2001"}, {"StartMonth", "01"}, {"StartDay", "01"},
                         {"EndYear", "2001"}, {"EndMonth", "01"}, {"EndDay", "02"}};
    EXPECT_TRUE(Has(Announce("mo", "pw", save).body, refusal));
    EXPECT_TRUE(Has(Announce("mo", "pw", admin_test::With(save, {{"Delete", "on"}})).body, refusal));
    EXPECT_EQ(board.Value("select subject from announce where id=?", {boss}), "boss's");

    // His own he may save; an administrator's save makes it the
    // administrator's, and it leaves his list.
    EXPECT_TRUE(Has(Announce("mo", "pw", admin_test::With(save, {{"announceid", his}})).body, "公告修改结束"));
    EXPECT_EQ(board.Value("select subject||' '||username from announce where id=?", {his}), "taken mo");
    Announce("boss", "secret", admin_test::With(save, {{"announceid", his}, {"Subject", "edited"}}));
    EXPECT_EQ(board.Value("select subject||' '||username from announce where id=?", {his}), "edited boss");
    EXPECT_EQ(board.Value("select group_concat(forumname) from announceto where id=?", {his}), "Tech");
    EXPECT_FALSE(Has(Announce("mo", "pw", {{"action", "enter"}, {"AnnounceFunction", "editannouncement"}}).body,
                     "VALUE=" + his + ">"));

    // Deleting takes its forum rows along; deleting again still answers.
    const Fields remove = {{"action", "submitanncedit"}, {"announceid", his}, {"Delete", "on"}, {"Subject", ""}};
    EXPECT_TRUE(Has(Announce("boss", "secret", remove).body, "公告修改结束"));
    EXPECT_TRUE(Has(Announce("boss", "secret", remove).body, "公告修改结束"));
    EXPECT_EQ(board.Count("announce where id=?", {his}) + board.Count("announceto where id=?", {his}), 0);
    EXPECT_TRUE(Has(Announce("boss", "secret", admin_test::With(save, {{"announceid", his}})).body,
                    "该公告已经不存在！"));
}

TEST_F(AnnounceTest, EditFormGivesTheStoredAnnouncementBackWhole) {
    Publish("boss", "secret", {"Tech"},
            {{"Subject", "it's \"quoted\""}, {"EditedMessage", "a & b </TEXTAREA> [b]c[/b]"}});
    const std::string id = LastId();
    const auto form = Announce("boss", "secret", {{"action", "reviewannounce"}, {"editannounce", id}}).body;
    EXPECT_TRUE(Has(form, "NAME=Subject SIZE=30 MAXLENGTH=100 VALUE=\"it's &quot;quoted&quot;\"")) << form;
    EXPECT_TRUE(Has(form, "WRAP=SOFT>a &amp; b &lt;/TEXTAREA&gt; [b]c[/b]</TEXTAREA>"));
    EXPECT_TRUE(Has(form, "NAME=announceid VALUE=" + id + ">"));
    for (const char* preset : {"<OPTION VALUE=03 SELECTED>三月", "<OPTION VALUE=05 SELECTED>5", "StartYear SIZE=4 "
                                                                                                "MAXLENGTH=4 VALUE=2001>",
                               "<OPTION VALUE=04 SELECTED>四月", "<OPTION VALUE=30 SELECTED>30"})
        EXPECT_TRUE(Has(form, preset)) << preset;
    EXPECT_EQ(browse_test::Count(form, "SELECTED"), 4u);

    // Ids that are no whole numbers find nothing and change nothing.
    for (const char* bad : {"0 or 1=1", "1 or 1=1", "x"}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(Has(Announce("boss", "secret", {{"action", "reviewannounce"}, {"editannounce", bad}}).body,
                        "该公告不存在！"));
        Announce("boss", "secret", {{"action", "submitanncedit"}, {"announceid", bad}, {"Delete", "on"}});
    }
    EXPECT_EQ(Stored(), 1);
}

}  // namespace
