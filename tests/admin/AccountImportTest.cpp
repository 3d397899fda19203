// account.asp: account files of an older board as fixtures (line endings,
// GBK text, short and long files), the files left out with their reasons,
// and the page's refusals.
#include <gtest/gtest.h>

#include <fstream>

#include "PanelBoard.h"
#include "TempFolder.h"
#include "platform/Charset.h"

namespace {

using admin_test::Has;

class AccountImportTest : public ::testing::Test {
protected:
    // An account file of `lines` joined by `eol`, written as GBK.
    void Account(const std::string& file, const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
        std::string text;
        for (const std::string& line : lines) text += line + eol;
        Raw(file, platform::Utf8ToGbk(text));
    }
    void Raw(const std::string& file, const std::string& bytes) {
        std::ofstream(folder.File(file), std::ios::binary) << bytes;
    }
    site::DriverResponse Import(const std::string& dir) { return board.AsBoss("account.asp", {{"dir", dir}}); }
    site::DriverResponse Import() { return Import(folder.Path().string()); }
    std::string Row(const std::string& name, const std::string& columns) {
        return board.Value("select " + columns + " from register where username=?", {name});
    }

    admin_test::PanelBoard board;
    TempFolder folder;
};

TEST_F(AccountImportTest, FifteenLinesFillEveryColumnAndLaterLinesChangeNothing) {
    Account("zhang.cgi", {"张三", "pw1", "zs@example.com", "http://zs.example.com", "ignored", "教师", "北京", "120",
                          "Administrator", "读书", "2001-03-05 09:07:30", " yes ", "  签名", "12345", "yes",
                          "line 15", "line 16"});
    const auto page = Import();
    EXPECT_TRUE(Has(page.body, "<p>成功迁移账号共1人<br><b>成功账号:</b><br><hr size=1>张三(zhang.cgi)<br>")) << page.body;
    EXPECT_EQ(Row("张三", "password||'|'||email||'|'||url||'|'||occupation||'|'||location||'|'||postcount||'|'||"
                         "status||'|'||interests||'|'||signdate||'|'||namestorage||'|'||signature||'|'||icq||'|'||"
                         "emailview"),
              "pw1|zs@example.com|http://zs.example.com|教师|北京|120|Administrator|读书|2001-03-05 09:07:30|1|  签名|"
              "12345|1");
    EXPECT_EQ(Row("张三", "canpost||'|'||ifnull(allowmassmail,'null')"), "1|null");
}

// Each file with one kind of line end; the columns an empty, missing or
// rejected line leaves to the database's defaults.
TEST_F(AccountImportTest, LineEndsShortFilesAndValuesLeftUnset) {
    Account("bob.cgi", {"bob", "pw"}, "\r\n");
    Account("carl.cgi", {"carl", "pw", "", "HTTP://", "x", "", "", "abc", "Member", "", "", "Yes", "   ", "", "no"},
            "\r");
    Account("dave.cgi", {"dave", "pw", "d@x.com", "http:///", "", "", "", "", "moderater"}, "\n");
    Raw("eve.cgi", "eve\r\npw\r\ne@x.com");  // no line end after the last line
    const auto page = Import();
    EXPECT_TRUE(Has(page.body, "成功迁移账号共4人")) << page.body;
    const std::string columns =
        "ifnull(email,'-')||'|'||ifnull(url,'-')||'|'||ifnull(postcount,'-')||'|'||ifnull(status,'-')||'|'||"
        "ifnull(namestorage,'-')||'|'||ifnull(signature,'-')||'|'||ifnull(emailview,'-')||'|'||(signdate is not null)";
    EXPECT_EQ(Row("bob", columns), "-|-|0|-|-|-|-|1");
    EXPECT_EQ(Row("carl", columns), "-|-|0|-|0|-|0|1");
    EXPECT_EQ(Row("dave", columns), "d@x.com|-|0|moderater|-|-|-|1");
    EXPECT_EQ(Row("eve", "password||email"), "pwe@x.com");
}

TEST_F(AccountImportTest, FilesThatWouldMakeABrokenOrDuplicateMemberAreListedWithTheirReason) {
    Account("a-boss.cgi", {"boss", "other"});
    Account("b-twin.cgi", {"twin", "pw"});
    Account("c-twin.cgi", {"TWIN", "pw2"});
    Account("d-date.cgi", {"dated", "pw", "", "", "", "", "", "", "", "", "yesterday"});
    Account("e-name.cgi", {"<b>x</b>", "pw"});
    Account("f-nopw.cgi", {"nopw", ""});
    Raw("g-empty.cgi", "");
    Account("h-upper.CGI", {"upper", "pw"});
    Account("notes.txt", {"notes", "pw"});
    Account(".hidden.cgi", {"hidden", "pw"});
    std::filesystem::create_directory(folder.Path() / "sub.cgi");

    const auto page = Import();
    EXPECT_TRUE(Has(page.body, "成功迁移账号共2人<br><b>成功账号:</b><br><hr size=1>twin(b-twin.cgi)<br>"
                               "upper(h-upper.CGI)<br><br>失败账号:<br><hr size=1>"
                               "boss(a-boss.cgi)：用户已经存在<br>"
                               "TWIN(c-twin.cgi)：用户已经存在<br>"
                               "dated(d-date.cgi)：注册日期无法识别<br>"
                               "&lt;b&gt;x&lt;/b&gt;(e-name.cgi)：用户名不合要求<br>"
                               "nopw(f-nopw.cgi)：没有密码<br>"
                               "(g-empty.cgi)：用户名不合要求<br><hr size=1>迁移日期："))
        << page.body;
    EXPECT_EQ(board.Value("select group_concat(r) from "
                          "(select username||':'||password r from register order by username)"),
              "boss:secret,twin:pw,upper:pw");
}

// Post counts beyond the 32-bit count the member pages read are refused with
// the file alone; the files after them are still read.
TEST_F(AccountImportTest, PostCountsOutOfRangeRefuseTheirFileOnly) {
    const std::vector<std::pair<std::string, std::string>> counts = {
        {"ahuge", "1e999"}, {"bbig", "1e10"}, {"clow", "-2147483649"}, {"dedge", "2147483648"},
        {"emax", "2147483647"}, {"fmin", "-2147483648"}, {"gtext", "12abc"}};
    for (const auto& [name, count] : counts) Account(name + ".cgi", {name, "pw", "", "", "", "", "", count});

    const auto page = Import();
    EXPECT_TRUE(Has(page.body, "成功迁移账号共3人<br><b>成功账号:</b><br><hr size=1>emax(emax.cgi)<br>"
                               "fmin(fmin.cgi)<br>gtext(gtext.cgi)<br><br>失败账号:<br><hr size=1>"
                               "ahuge(ahuge.cgi)：发贴数超出范围<br>bbig(bbig.cgi)：发贴数超出范围<br>"
                               "clow(clow.cgi)：发贴数超出范围<br>dedge(dedge.cgi)：发贴数超出范围<br><hr size=1>"))
        << page.body;
    EXPECT_EQ(board.Value("select group_concat(r) from "
                          "(select username||':'||postcount r from register where username<>'boss' order by username)"),
              "emax:2147483647,fmin:-2147483648,gtext:12");
}

TEST_F(AccountImportTest, FormFolderChecksAndRefusal) {
    board.Login();
    const auto form = board.PanelGet("account.asp");
    EXPECT_TRUE(Has(form.body, "<FORM ACTION=account.asp  NAME=Authorize METHOD=POST>"));
    EXPECT_TRUE(Has(form.body, "NAME=UserName SIZE=25 MAXLENGTH=25 value=\"boss\">"));
    EXPECT_TRUE(Has(form.body, "NAME=Password SIZE=13 MAXLENGTH=13 value=\"secret\">"));

    Account("ann.cgi", {"ann", "pw"});
    for (const std::string& dir : {std::string(), folder.File("missing"), folder.File("ann.cgi")}) {
        const auto page = Import(dir);
        EXPECT_TRUE(Has(page.body, "不存在或无法读取")) << dir;
    }
    const auto quoted = Import("<dir>");
    EXPECT_TRUE(Has(quoted.body, "账号目录“&lt;dir&gt;”不存在")) << quoted.body;

    board.db.con.Execute("update register set status='moderater' where username='boss'");
    const auto refused = Import();
    EXPECT_TRUE(Has(refused.body, "对不起，您没有执行这个操作的权限，只有管理员才可以执行该操作!"));
    EXPECT_EQ(board.Count("register where username='ann'"), 0);
}

}  // namespace
