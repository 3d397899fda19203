// The inbox and the outbox: paging, marks, and deleting only one's own.
#include <gtest/gtest.h>

#include "PmBoard.h"

namespace {

using namespace pm_test;

class MailboxTest : public ::testing::Test, public PmBoard {};

std::size_t Rows(const std::string& body) { return Count(body, "<input type=checkbox name=delete value="); }

TEST_F(MailboxTest, PagesOfFortyFiveMessages) {
    for (int i = 0; i < 45; ++i) AddMessage("Bob", "alice", "m" + std::to_string(i), browse_test::DaysAgo(1 + i));
    const struct {
        const char* page;
        std::size_t rows;
        const char* newest;  // the first subject shown
    } cases[] = {
        {nullptr, 20, "m0"}, {"0", 20, "m0"}, {"-1", 20, "m0"}, {"x", 20, "m0"},
        {"2", 20, "m20"},    {"3", 5, "m40"}, {"9", 5, "m40"},  {"40000", 5, "m40"},
    };
    for (const char* box : {"inbox", "outbox"}) {
        const std::string& member = std::string(box) == "inbox" ? "alice" : "Bob";
        for (const auto& c : cases) {
            site::Fields query{{"action", box}};
            if (c.page) query.emplace_back("page", c.page);
            const std::string body = Open(member, query).body;
            EXPECT_EQ(Rows(body), c.rows) << box << " page " << (c.page ? c.page : "none");
            EXPECT_TRUE(Has(body, std::string("<b>") + c.newest + "</b></a>")) << box << " page " << c.page;
        }
    }
}

TEST_F(MailboxTest, EveryPagerLayoutStaysInTheSameBox) {
    for (int i = 0; i < 45; ++i) AddMessage("Bob", "alice", "m" + std::to_string(i));
    for (int layout : {0, 1, 2}) {
        Set("PageStyle", layout);
        const std::string body = Open("Bob", {{"action", "outbox"}, {"page", "2"}}).body;
        EXPECT_TRUE(Has(body, "age=3&action=outbox")) << layout;  // "?page=" or "?Page="
        EXPECT_FALSE(Has(body, "GotoPage")) << layout;
    }
}

TEST_F(MailboxTest, UnreadMarksLegendAndEmptyBoxes) {
    const long long unread = AddMessage("Bob", "alice", "new");
    const long long read = AddMessage("Bob", "alice", "old");
    const long long unset = AddMessage("Bob", "alice", "unset");
    db.con.Execute("update PM set isnew=0 where postid=?", {read});
    db.con.Execute("update PM set isnew=null, icon='x\" onerror=y', subject='<s>' where postid=?", {unset});
    const std::string inbox = Open("alice", {}).body;
    EXPECT_EQ(Count(inbox, "alt=新留言>"), 1u);
    EXPECT_EQ(Count(inbox, "alt=旧留言>"), 2u);
    EXPECT_TRUE(Has(inbox, "action=viewpm&postid=" + std::to_string(unread) + "><b>new</b>"));
    EXPECT_TRUE(Has(inbox, "<img src=icon/icon1.gif>"));  // a stored icon that is no icon number
    EXPECT_TRUE(Has(inbox, "<b>&lt;s&gt;</b>"));
    EXPECT_FALSE(Has(inbox, "onerror"));
    EXPECT_TRUE(Has(inbox, " - 新留言</b>"));

    const std::string emptyInbox = Open("carol", {}).body;
    EXPECT_TRUE(Has(emptyInbox, "对不起，你没有留言！"));
    EXPECT_TRUE(Has(emptyInbox, " - 新留言</b>"));
    EXPECT_FALSE(Has(emptyInbox, "删除所选的留言"));
    const std::string emptyOutbox = Open("carol", {{"action", "outbox"}}).body;
    EXPECT_TRUE(Has(emptyOutbox, "对不起，你的发件箱中没有发送过的悄悄话！"));
    EXPECT_FALSE(Has(emptyOutbox, " - 新留言</b>"));
}

TEST_F(MailboxTest, DeletingTakesOnlyTheMembersOwnMessagesById) {
    const long long toAlice = AddMessage("Bob", "alice", "a");
    const long long toAlice2 = AddMessage("Bob", "alice", "b");
    const long long toCarol = AddMessage("Bob", "carol", "c");
    const std::string a = std::to_string(toAlice), b = std::to_string(toAlice2), c = std::to_string(toCarol);
    const struct {
        const char* what;
        const char* member;
        const char* action;
        site::Fields checked;
        long long inbox, outbox;  // rows left
    } cases[] = {
        {"forged SQL", "alice", "deletePM", {{"delete", "1 or 1=1"}, {"delete", a + " or 1=1"}}, 3, 3},
        {"not a whole number", "alice", "deletePM", {{"delete", "-" + a}, {"delete", a + ".0"}, {"delete", "0"}}, 3, 3},
        {"another member's message", "alice", "deletePM", {{"delete", c}}, 3, 3},
        {"the recipient cannot touch the sender's copy", "alice", "deleteOutbox", {{"delete", a}}, 3, 3},
        {"two of the inbox, the copies stay", "alice", "deletePM", {{"delete", a}, {"delete", b}}, 1, 3},
        {"the sender's copy, the message stays", "Bob", "deleteOutbox", {{"delete", c}}, 1, 2},
    };
    for (const auto& cs : cases) {
        site::Fields form = cs.checked;
        form.emplace_back("action", cs.action);
        const std::string body = As(cs.member).Post("pm.asp", form).body;
        EXPECT_TRUE(Has(body, "您选择的悄悄话已经被删除！")) << cs.what;
        EXPECT_EQ(Number("select count(*) from PM"), cs.inbox) << cs.what;
        EXPECT_EQ(Number("select count(*) from outbox"), cs.outbox) << cs.what;
    }
}

}  // namespace
