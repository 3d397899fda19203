// broadcast.asp: the broadcast's inbox rows for moderators and for every
// member, its refusals and a failing insert.
#include <gtest/gtest.h>

#include "PanelBoard.h"

namespace {

using admin_test::Has;

class BroadcastTest : public ::testing::Test {
protected:
    // mod moderates three forums (once under another letter case), kim one;
    // ann moderates none.
    BroadcastTest() {
        for (const char* name : {"mod", "kim", "ann"}) board.AddMember(name, "pw");
        board.db.con.Execute("insert into moderated (forum, moderater) values "
                             "('A','mod'),('B','MOD'),('C','mod'),('A','kim')");
    }
    site::DriverResponse Send(site::Fields fields) {
        return board.Post("broadcast.asp", admin_test::With({{"UserName", "boss"}, {"Password", "secret"},
                                                             {"Subject", "It's new"}, {"message", "see 'this'"}},
                                                            fields));
    }
    std::string Inbox() {
        return board.Value("select group_concat(lower(recipient)||':'||sender||':'||subject||':'||message||':'||"
                           "isnew||':'||ifnull(icon,'-'), ' ') from (select * from PM order by lower(recipient))");
    }

    admin_test::PanelBoard board;
};

TEST_F(BroadcastTest, ModeratorsOnceEachOrEveryMember) {
    const auto page = Send({{"option", "moderater"}});
    EXPECT_TRUE(Has(page.body, "<h3>消息已经发出</h3>")) << page.body;
    EXPECT_EQ(Inbox(), "kim:boss:It's new:see 'this':1:- mod:boss:It's new:see 'this':1:-");
    for (const char* option : {"AllMember", ""}) {
        board.db.con.Execute("delete from PM");
        Send({{"option", option}});
        EXPECT_EQ(board.Value("select group_concat(r) from (select lower(recipient) r from PM order by r)"), "kim,mod")
            << option;
    }
    board.db.con.Execute("delete from PM");
    Send({{"option", "allmember"}});
    EXPECT_EQ(board.Value("select group_concat(recipient) from (select recipient from PM order by recipient)"),
              "ann,boss,kim,mod");
    EXPECT_EQ(board.Count("outbox"), 0);
}

TEST_F(BroadcastTest, RefusalsStoreNothing) {
    const auto form = board.PanelGet("broadcast.asp");
    EXPECT_TRUE(Has(form.body, "<FORM ACTION=broadcast.asp METHOD=POST NAME=THEFORM>"));
    for (const char* empty : {"Subject", "message", "Password"}) {
        const auto page = Send({{empty, ""}});
        EXPECT_TRUE(Has(page.body, "<h3>用户名、密码、消息均不能为空！</h3>")) << empty;
    }
    const auto wrong = board.Post("broadcast.asp", {{"UserName", "mod"}, {"Password", "pw"}, {"Subject", "s"},
                                                    {"message", "m"}, {"option", "allmember"}});
    EXPECT_TRUE(Has(wrong.body, "<h3>对不起，该操作只有管理员才能进行！</h3>")) << wrong.body;
    EXPECT_FALSE(Has(wrong.body, "消息已经发出"));
    EXPECT_EQ(board.Count("PM"), 0);
}

TEST_F(BroadcastTest, FailingInsertStoresNoRowAndShowsTheError) {
    board.db.con.Execute("create trigger pm_full before insert on PM when new.recipient='mod' "
                         "begin select raise(abort, 'inbox full'); end");
    const auto page = Send({{"option", "allmember"}});
    EXPECT_TRUE(Has(page.body, "错误描述：inbox full")) << page.body;
    EXPECT_FALSE(Has(page.body, "消息已经发出"));
    EXPECT_EQ(board.Count("PM"), 0);
}

}  // namespace
