#include <gtest/gtest.h>

#include <string>

#include "TarnbellPage.h"
#include "TestDatabase.h"
#include "core/JumpBox.h"

namespace {

using testing_support::TarnbellPage;

const std::string kIndent = "&nbsp;&nbsp;&nbsp;&nbsp;";
const std::string kChinese = "技术 交流";
const std::string kChineseEncoded = "%BC%BC%CA%F5+%BD%BB%C1%F7";
const std::string kSelectOpen = "<p><b>跳转到: </b><select name=jumpTo size=1 class=smallSel>";

std::string Forum(const std::string& name, const std::string& encoded = "") {
    return "<option value=\"list.asp?GroupName=" + (encoded.empty() ? name : encoded) + "\">" + kIndent + name;
}
std::string Catalog(const std::string& name) { return "<option value=\"default.asp\">--- " + name + " ---"; }

// Forums without a catalog first, then one per catalog (the box orders by
// catalog only), and two archives.
class JumpBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_.con.Execute(
            "insert into forum (forumname, catalog) values ('Alpha', null), ('Beta', ''), ('ab', 'C1'), "
            "('abc', 'C2'), (?, '综合')",
            {kChinese});
        db_.con.Execute("insert into archive (archivename) values ('旧帖'), ('2001')");
        tp_.Start();
    }
    std::string jumpTo(const platform::Variant& forum, bool isArchive = false) {
        return tp_.page().JumpTo(db_.con, forum, isArchive);
    }

    const std::string forums_ = Forum("Alpha") + Forum("Beta") + Catalog("C1") + Forum("ab") + Catalog("C2") +
                                Forum("abc") + Catalog("综合") + Forum(kChinese, kChineseEncoded);
    TestDatabase db_;
    TarnbellPage tp_;
};

TEST_F(JumpBoxTest, CachedBoxWithCatalogsAndArchives) {
    const std::string box = jumpTo("nothing");
    EXPECT_EQ(box, "<table width=95%><form name=jump action=jump.asp method=get><tr><td align=right valign=middle>" +
                       kSelectOpen + forums_ + "<option value=default.asp>--- 归档列表 ---" +
                       "<option value=\"archivelist.asp?ArchiveID=1\">" + kIndent + "旧帖" +
                       "<option value=\"archivelist.asp?ArchiveID=2\">" + kIndent + "2001" +
                       "</select><input type=submit name=go value=GO class=buttonface></td></tr></form></table>");
    EXPECT_EQ(tp_.app()(core::kForumJumpListKey).str(), box);
}

TEST_F(JumpBoxTest, MarksOnlyTheCurrentEntry) {
    const struct {
        platform::Variant forum;
        bool isArchive;
        std::string marked;
    } cases[] = {
        {"ab", false, "<option value=\"list.asp?groupname=ab\" selected >" + kIndent + "ab<"},
        {"AB", false, "<option value=\"list.asp?groupname=AB\" selected >" + kIndent + "ab<"},
        {kChinese, false, "<option value=\"list.asp?groupname=" + kChineseEncoded + "\" selected >" + kIndent + kChinese},
        {2, true, "<option value=\"archivelist.asp?archiveid=2\" selected >" + kIndent + "2001"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.forum.str());
        const std::string box = jumpTo(c.forum, c.isArchive);
        EXPECT_NE(box.find(c.marked), std::string::npos);
        EXPECT_EQ(box.find("selected"), box.rfind("selected"));  // one entry only
    }
    EXPECT_EQ(tp_.app()(core::kForumJumpListKey).str().find("selected"), std::string::npos);
}

TEST_F(JumpBoxTest, CacheIsKeptUntilTheForumSetupEmptiesIt) {
    jumpTo("ab");
    db_.con.Execute("insert into forum (forumname, catalog) values ('Newest', 'C9')");
    EXPECT_EQ(jumpTo("ab").find("Newest"), std::string::npos);

    core::EmptyForumJumpList(tp_.app());
    EXPECT_TRUE(tp_.app()(core::kForumJumpListKey).isEmpty());
    EXPECT_NE(jumpTo("ab").find(Catalog("C9") + Forum("Newest")), std::string::npos);
    EXPECT_NE(tp_.app()(core::kForumJumpListKey).str().find("Newest"), std::string::npos);
}

TEST_F(JumpBoxTest, NoArchiveLineWithoutArchives) {
    db_.con.Execute("delete from archive");
    EXPECT_EQ(jumpTo("ab").find("归档列表"), std::string::npos);
}

std::string MessagePage(const std::string& box) {
    return "<html><head><link rel=stylesheet type=text/css href=DEFAULT.CSS><meta HTTP-EQUIV=Expires CONTENT=0>"
           "<meta HTTP-EQUIV=Content-Type content=\"text/html; charset=gb2312\"><title>Tarnbell</title></head>"
           "<body  bgcolor=\"#FFFFFF\" > <table border=0 width=95% align=center><tr><td><p>"
           "<a href=default.asp><img style=border-color:#000000 border=1 src=\"images/title.gif\" WIDTH=276 "
           "HEIGHT=75></a></p></td></tr><tr bgcolor=\"#f7f7f7\"><td><p><b>已删除</b><br>"
           "<table width=100% border=0><tr><td  valign=middle><form name=jump action=jump.asp method=get>" +
           kSelectOpen + box + "</select><input type=submit name=go value=GO class=buttonface></form>"
           "</td></tr></table></td></tr></table>";
}

TEST_F(JumpBoxTest, MessagePageBuildsTheBoxAfresh) {
    const std::string archives = "<option  value=\"archivelist.asp?ArchiveID=1\">" + kIndent + "旧帖" +
                                 "<option  value=\"archivelist.asp?ArchiveID=2\">" + kIndent + "2001";
    tp_.page().Response().Write("discarded");
    EXPECT_TRUE(tp_.page().MessageWithJumpTo(db_.con, "ab", "已删除").isEmpty());
    std::string forums = forums_;
    forums.replace(forums.find("<option value=\"list.asp?GroupName=ab\""), 14, "<option selected value=");
    EXPECT_EQ(tp_.Body(), MessagePage(forums + "<option value=default.asp>--- 归档列表 ---" + archives));

    // Names compare exactly here; an unknown one selects nothing.
    for (const char* name : {"AB", "no such forum"}) {
        tp_.page().MessageWithJumpTo(db_.con, name, "已删除");
        EXPECT_EQ(tp_.Body(), MessagePage(forums_ + "<option value=default.asp>--- 归档列表 ---" + archives));
    }

    tp_.page().MessageWithJumpTo(db_.con, "2", "已删除", true);
    EXPECT_EQ(tp_.Body(), MessagePage(forums_ + "<option value=default.asp>--- 归档列表 ---" +
                                      "<option  value=\"archivelist.asp?ArchiveID=1\">" + kIndent + "旧帖" +
                                      "<option selected value=\"archivelist.asp?ArchiveID=2\">" + kIndent + "2001"));

    db_.con.Execute("insert into forum (forumname, catalog) values ('Newest', 'C9')");
    tp_.page().MessageWithJumpTo(db_.con, "Newest", "已删除");
    EXPECT_NE(tp_.Body().find("<option selected value=\"list.asp?GroupName=Newest\">"), std::string::npos);
    EXPECT_TRUE(tp_.app()(core::kForumJumpListKey).isEmpty());
}

TEST_F(JumpBoxTest, ArchiveJumpListOfTheBoardHome) {
    const std::string form =
        "<form method=Get action=jump.asp><table border=0 width=95%><tr><td align=right><b>归档：</b>&nbsp;"
        "<select name=Jumpto class=smallsel><option value=default.asp>请选择一个档案进入"
        "<option value=archivelist.asp?archiveid=1>" + kIndent + "旧帖" + kIndent +
        "<option value=archivelist.asp?archiveid=2>" + kIndent + "2001" + kIndent +
        "</select><input type=submit name=go value=GO class=buttonface></td></tr>"
        "<tr><td align=right><b>归档文件</b> 就是我们论坛的精华</td></tr></table></form>";
    EXPECT_EQ(tp_.page().GetArchiveJumpList(db_.con), form);
    db_.con.Execute("delete from archive");
    EXPECT_EQ(tp_.page().GetArchiveJumpList(db_.con), form);  // kept

    tp_.app().Set("ArchiveList", "");
    EXPECT_EQ(tp_.page().GetArchiveJumpList(db_.con), "");
    EXPECT_EQ(tp_.app()("ArchiveList").str(), "NO");
    db_.con.Execute("insert into archive (archivename) values ('新')");
    EXPECT_EQ(tp_.page().GetArchiveJumpList(db_.con), "");  // "NO" is kept too
}

}  // namespace
