// The author's panel and the links beside a post, as the live and the
// archived thread views write them: what members typed is written as text,
// and only web addresses and ICQ numbers are linked.
#include <gtest/gtest.h>

#include <string>

#include "TestDatabase.h"
#include "board/authors/MemberAddresses.h"
#include "board/authors/PostPanel.h"
#include "core/MemberLinks.h"
#include "platform/Recordset.h"
#include "platform/Response.h"

namespace {

// A post's row as a thread view selects it, its author's columns given.
struct Author {
    std::string location = "上海", email = "joe@example.com", homepage = "http://www.Joe.example";
    std::string icq = "12345", oicq = "678", nickname = "", emailview = "1";
    bool gone = false;
};

class PostPanelTest : public ::testing::Test {
protected:
    platform::Recordset& Row(const Author& a) {
        const char* sql = a.gone
            ? "select 7 as postid, 0 as parentid, 'joe' as username, '灌水' as ForumName, '主题' as subject,"
              " null as posticon, null as oicq, null as location, null as emailview, null as userstatus,"
              " null as email, null as postcount, null as icq, null as homepage, null as signature,"
              " null as signdate, null as nickname, null as membericon"
            : "select 7 as postid, 0 as parentid, 'joe' as username, '灌水' as ForumName, '主题' as subject,"
              " 2 as posticon, ? as oicq, ? as location, ? as emailview, 1 as userstatus, ? as email,"
              " 41 as postcount, ? as icq, ? as homepage, '' as signature, '2020-03-05 10:00:00' as signdate,"
              " ? as nickname, '' as membericon";
        if (a.gone)
            rs.Open(sql, db.con, platform::SqlParams{});
        else
            rs.Open(sql, db.con,
                    {a.oicq, a.location, a.emailview, a.email, a.icq, a.homepage, a.nickname});
        return rs;
    }

    std::string Cell(const Author& a) {
        board::PostValues post(Row(a));
        platform::Response out;
        board::WriteAuthorCell(out, post, "注册：");
        return out.Body();
    }

    TestDatabase db;
    platform::Recordset rs;
};

TEST_F(PostPanelTest, PanelOfAMemberAndOfOneWhoIsGone) {
    EXPECT_EQ(Cell({}), "<td nowrap valign=top width=18%>joe<br><img src=icon/user1.gif vspace=5><br>"
                        "<b>高级用户</b><br>发贴：41<br>来自：上海<br>注册：2020-03-05<br></td>");
    rs.Close();
    Author gone;
    gone.gone = true;
    EXPECT_EQ(Cell(gone), "<td nowrap valign=top width=18%>joe<br><img src=icon/user.gif vspace=5><br>"
                          "<b>初级用户</b><br>发贴：0<br>来自：<br>注册：不详<br></td>");
    board::PostValues post(rs);
    for (const std::string& link : {board::EmailLink(post), board::HomepageLink(post), board::IcqLink(post),
                                    board::OicqImage(post)})
        EXPECT_EQ(link, "");
}

TEST_F(PostPanelTest, WhatMembersTypedIsWrittenAsText) {
    Author a;
    a.location = "<b>x</b>";
    a.email = "a\"b@x.com><script>";
    a.homepage = "javascript:alert(1)";
    a.icq = "1 onmouseover=alert(1)";
    a.oicq = "\"><script>";
    a.nickname = "<i>nick</i>";
    const std::string cell = Cell(a);
    EXPECT_NE(cell.find("<b>&lt;i&gt;nick&lt;/i&gt;</b>"), std::string::npos) << cell;
    EXPECT_NE(cell.find("来自：&lt;b&gt;x&lt;/b&gt;<br>"), std::string::npos) << cell;
    board::PostValues post(rs);
    EXPECT_NE(board::EmailLink(post).find("<a href=\"mailto:a&quot;b@x.com&gt;&lt;script&gt;\">"),
              std::string::npos);
    EXPECT_NE(board::HomepageLink(post).find("<a href=\"http://javascript:alert(1)\" target=_blank>"),
              std::string::npos);
    EXPECT_EQ(board::IcqLink(post), "") << "not a number: no ICQ link";
    EXPECT_NE(board::OicqImage(post).find("alt=\"joe的oicq是&quot;&gt;&lt;script&gt;\""), std::string::npos);
}

TEST_F(PostPanelTest, EmailHiddenWhenTheMemberSaysSo) {
    Author a;
    a.emailview = "0";
    Row(a);
    board::PostValues post(rs);
    EXPECT_EQ(board::EmailLink(post), "<img src=images/email.gif border=0 alt=该用户不允许显示它的电子邮件>&nbsp;");
    EXPECT_NE(board::IcqLink(post).find("ubbmisc.asp?action=icqmessage&UIN=12345"), std::string::npos);
}

TEST(HomepageAddressTest, LinksOnlyWebAddresses) {
    const struct {
        std::string stored, linked;
    } cases[] = {
        {"", ""},
        {"http://", ""},
        {"HTTP:///", ""},
        {"www.Example.com", "http://www.Example.com"},
        {"HTTP://A.com/X", "HTTP://A.com/X"},
        {"https://b.org", "https://b.org"},
        {"javascript:alert('http://x')", "http://javascript:alert('http://x')"},
        {"a.com/?u=http://b", "http://a.com/?u=http://b"},
    };
    for (const auto& c : cases) EXPECT_EQ(core::HomepageAddress(c.stored), c.linked) << c.stored;
    EXPECT_TRUE(board::IsAllDigits("0123"));
    for (const char* no : {"", "12a", "１２", "-1"}) EXPECT_FALSE(board::IsAllDigits(no)) << no;
}

TEST(ThreadPageListTest, LinksEveryPageButTheCurrent) {
    EXPECT_EQ(board::ThreadPageList("dispbbs.asp?id=1", 1, 1), "");
    EXPECT_EQ(board::ThreadPageList("dispbbs.asp?id=1", 2, 3),
              "这个话题共有3页：<a href=dispbbs.asp?id=1&page=1>1</a> <font color=darkgray>2</font> "
              "<a href=dispbbs.asp?id=1&page=3>3</a> ");
}

}  // namespace
