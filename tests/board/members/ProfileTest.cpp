// Profile editing: the login step, the edit form, the save and its cookies,
// a save that names another member than the one verified, and sessions
// kept from before a password change.
#include "MembersTest.h"

namespace {

using browse_test::Has;
using site::Fields;

const char* const kNotAMember = "对不起，你不是论坛的注册用户！";
const char* const kAccountProblem = "对不起，由于账号问题，你不能进行该操作！";

class ProfileTest : public MembersTest {
protected:
    ProfileTest() {
        AddMemberWithMail("alice", "apw", "alice@example.com");
        AddMemberWithMail("bob", "bpw", "bob@example.com");
        db.con.Execute("update register set location='<i>\"Paris\"</i>', signature='</textarea><b>x', daysprune=30, "
                       "emailview=0, allowmassmail=NULL where username='alice'");
    }

    site::DriverResponse Verify(const std::string& name, const std::string& password) {
        return Post("profile.asp", {{"action", "chkUser"}, {"UserName", name}, {"Password", password}});
    }

    // The edit form's post for `name`, with `changes` applied.
    site::DriverResponse Save(const std::string& name, const Fields& changes = {}) {
        Fields form = {{"action", "check"},         {"username", name},  {"Password", "new1"},
                       {"Password1", "new1"},       {"email", name + "@new.example.com"},
                       {"location", "Lyon"},        {"Occupation", "cook"}, {"url", "HTTP://Home.Example/A"},
                       {"oicq", "11"},              {"icq", "22"},       {"Interests", "chess"},
                       {"Signature", "sig"},        {"emailview", "yes"}, {"allowmassmail", "no"}};
        for (const auto& [key, value] : changes)
            for (auto& field : form)
                if (field.first == key) field.second = value;
        return Post("profile.asp", form);
    }
};

TEST_F(ProfileTest, LoginFormIsPrefilledFromTheCookiesEncoded) {
    const std::string body =
        Get("profile.asp", {}, {{"UserName", "a\"><script>"}, {"Password", "p w"}}).body;
    EXPECT_TRUE(Has(body, "<title>编辑个人资料 -  清风论坛</title>")) << body;
    EXPECT_TRUE(Has(body, "<form action=profile.asp method=post name=chkUser><input type=hidden name=action "
                          "value=chkUser>"));
    EXPECT_TRUE(Has(body, "name=UserName size=25 class=smallInput value=\"a&quot;&gt;&lt;script&gt;\">"));
    EXPECT_TRUE(Has(body, "type=password value=\"p w\">&nbsp;&nbsp;<a href=ubbmisc.asp?action=lostpw>"));
    EXPECT_FALSE(Has(body, "<script>"));
    // An unknown step writes the frame only.
    const std::string other = Get("profile.asp", {{"action", "other"}}).body;
    EXPECT_FALSE(Has(other, "<form"));
    EXPECT_TRUE(Has(other, "感谢每一位参与讨论的朋友</font></p></body></html>"));
}

TEST_F(ProfileTest, EditFormIsFilledFromTheVerifiedMembersRowEncoded) {
    EXPECT_TRUE(Has(Verify("alice", "wrong").body, kNotAMember));
    EXPECT_TRUE(Has(Post("profile.asp", {{"action", "chkuser"}}).body, kNotAMember));
    // Credentials in the address are not taken.
    EXPECT_TRUE(Has(Get("profile.asp", {{"action", "chkuser"}, {"username", "alice"}, {"password", "apw"}}).body,
                    kNotAMember));

    const std::string form = Verify("ALICE", "apw").body;
    EXPECT_TRUE(Has(form, "<input type=hidden value=\"alice\" name=username>")) << form;
    EXPECT_TRUE(Has(form, "<td valign=top><b>名字:</b></td><td valign=top>alice</td>"));
    EXPECT_TRUE(Has(form, "name=email maxlength=50 size=50 class=smallInput value=\"alice@example.com\">"));
    EXPECT_TRUE(Has(form, "name=Location maxLength=50 class=smallInput value=\"&lt;i&gt;&quot;Paris&quot;"
                          "&lt;/i&gt;\">"));
    EXPECT_TRUE(Has(form, "class=smallArea>&lt;/textarea&gt;&lt;b&gt;x</textarea>"));
    EXPECT_TRUE(Has(form, "name=emailview value=yes>是 <input type=radio name=emailview value=no checked>否"));
    // A null consent marks neither choice.
    EXPECT_TRUE(Has(form, "name=AllowMassMail value=yes>好的 <input type=radio name=AllowMassMail value=no>不行"));

    // A logged-in session goes straight to its own member's form.
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    EXPECT_TRUE(Has(Get("profile.asp").body, "<input type=hidden value=\"bob\" name=username>"));
}

TEST_F(ProfileTest, ProvingAnotherMemberStartsANewSessionId) {
    const std::string cookie = site::kSessionCookie;
    Verify("alice", "apw");
    const std::string first = driver.jar[cookie];
    ASSERT_FALSE(first.empty());
    Verify("bob", "bpw");
    const std::string second = driver.jar[cookie];
    EXPECT_NE(second, first);
    Verify("BOB", "bpw");
    EXPECT_EQ(driver.jar[cookie], second);
    // The old id no longer carries the proof.
    driver.jar[cookie] = first;
    EXPECT_TRUE(Has(Save("alice").body, kNotAMember));
    EXPECT_EQ(Column("alice", "password"), "apw");
}

TEST_F(ProfileTest, SaveStoresTheRowThenTheCookies) {
    Verify("alice", "apw");
    const site::DriverResponse saved =
        Save("alice", {{"Password1", "  new1 "}, {"Signature", std::string(600, 'z')}});
    EXPECT_TRUE(Has(saved.body, "编辑用户资料成功，按此回 清风论坛 首页>>")) << saved.body;
    EXPECT_EQ(Column("alice", "password"), "new1");
    EXPECT_EQ(Column("alice", "email"), "alice@new.example.com");
    EXPECT_EQ(Column("alice", "url"), "HTTP://Home.Example/A");
    EXPECT_EQ(Column("alice", "signature"), std::string(500, 'z'));
    EXPECT_EQ(Column("alice", "emailview"), "True");
    EXPECT_EQ(Column("alice", "allowmassmail"), "False");
    EXPECT_EQ(Column("alice", "namestorage"), "False");
    EXPECT_EQ(Column("bob", "password"), "bpw");
    // No NameStorage cookie: the login cookies go.
    EXPECT_EQ(CookieState(saved, "NameStorage"), "no");
    EXPECT_EQ(CookieState(saved, "UserName"), "<deleted>");
    EXPECT_EQ(CookieState(saved, "Password"), "<deleted>");
    EXPECT_EQ(CookieState(saved, "DaysPrune"), "<unset>");

    driver.jar["NameStorage"] = "YES";
    const site::DriverResponse kept = Save("alice", {{"Password", "new2"}, {"Password1", "new2"}});
    EXPECT_EQ(Column("alice", "namestorage"), "True");
    EXPECT_EQ(CookieState(kept, "NameStorage"), "yes");
    EXPECT_EQ(CookieState(kept, "UserName"), "alice");
    EXPECT_EQ(CookieState(kept, "Password"), "new2");
    EXPECT_EQ(CookieState(kept, "DaysPrune"), "30");
}

TEST_F(ProfileTest, RefusedSavesChangeNeitherRowNorCookies) {
    Set("EMailCheck", true);
    Verify("alice", "apw");
    struct Case {
        Fields changes;
        const char* message;
    };
    const Case cases[] = {
        {{{"Password", ""}, {"Password1", ""}}, "口令不能为空！"},
        {{{"Password", "new1 "}, {"Password1", "new1 "}}, "两口令不符，请修改"},
        {{{"Password", "abcdefghijk"}, {"Password1", "abcdefghijk"}}, "口令输入错误，请用英文字符、数字作为您的口令"},
        {{{"Password", "a.b"}, {"Password1", "a.b"}}, "口令输入错误"},
        {{{"email", ""}}, "你必须输入一个Email地址！"},
        {{{"email", "alice-at-example.com"}}, "你输入的Email地址不合法"},
        {{{"email", "BOB@example.com"}}, "您输入的 EMail 已经有人使用"},
    };
    for (const Case& c : cases) {
        const site::DriverResponse page = Save("alice", c.changes);
        EXPECT_TRUE(Has(page.body, c.message)) << c.changes.front().second << "\n" << page.body;
        EXPECT_TRUE(page.cookies.empty()) << c.message;
        EXPECT_EQ(Column("alice", "password"), "apw") << c.message;
        EXPECT_EQ(Column("alice", "email"), "alice@example.com") << c.message;
    }
    // The member's own address, and a shared one when addresses need not be unique.
    Save("alice", {{"email", "ALICE@example.com"}});
    EXPECT_EQ(Column("alice", "email"), "ALICE@example.com");
    Set("EMailCheck", false);
    Save("alice", {{"email", "bob@example.com"}});
    EXPECT_EQ(Column("alice", "email"), "bob@example.com");
}

TEST_F(ProfileTest, SaveActsOnlyOnTheMemberThisSessionProved) {
    // No login step in this session.
    EXPECT_TRUE(Has(Save("bob").body, kNotAMember));
    // Verified as alice, the form posted with bob's name.
    Verify("alice", "apw");
    const site::DriverResponse forged = Save("bob");
    EXPECT_TRUE(Has(forged.body, kNotAMember)) << forged.body;
    EXPECT_TRUE(forged.cookies.empty());
    EXPECT_EQ(Column("bob", "password"), "bpw");
    EXPECT_EQ(Column("bob", "email"), "bob@example.com");
    // A logged-in member saves their own row, and the session keeps working.
    driver.jar.clear();
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    EXPECT_TRUE(Has(Save("alice").body, kNotAMember));
    EXPECT_TRUE(Has(Save("BOB").body, "编辑用户资料成功"));
    EXPECT_EQ(Column("bob", "password"), "new1");
    EXPECT_EQ(Column("alice", "password"), "apw");
    EXPECT_TRUE(Has(Get("profile.asp").body, "<input type=hidden value=\"bob\" name=username>"));
}

// Browsers of alice: one changes the password; the others, kept from
// before, are a guest's afterwards, by board login, the profile's own login
// step or the control panel's login alike; the one that changed it goes on.
TEST_F(ProfileTest, APasswordChangeEndsTheMembersOtherSessions) {
    Post("login.asp", {{"UserName", "alice"}, {"Password", "apw"}});
    const auto loggedIn = driver.jar;
    driver.jar.clear();
    Verify("alice", "apw");
    const auto verified = driver.jar;
    driver.jar.clear();
    db.con.Execute("update register set status='administrator' where username='alice'");
    Post("admin/forum.asp", {{"action", "login"}, {"UserName", "alice"}, {"Password", "apw"}});
    const auto panel = driver.jar;
    const std::string panelName = "NAME=UserName SIZE=25 MAXLENGTH=25 value=\"alice\"";
    ASSERT_TRUE(Has(Get("admin/forum.asp").body, panelName));
    driver.jar.clear();
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    const auto bystander = driver.jar;

    driver.jar.clear();
    Verify("alice", "apw");
    ASSERT_TRUE(Has(Save("alice").body, "编辑用户资料成功"));
    const auto changer = driver.jar;
    for (const auto& stale : {loggedIn, verified}) {
        driver.jar = stale;
        EXPECT_TRUE(Has(Get("profile.asp").body, "name=chkUser")) << "still logged in";
        EXPECT_TRUE(Has(Save("alice", {{"Password", "old"}, {"Password1", "old"}}).body, kNotAMember));
        EXPECT_EQ(Column("alice", "password"), "new1");
    }
    driver.jar = panel;
    EXPECT_FALSE(Has(Get("admin/forum.asp").body, panelName)) << "the panel still knows her";
    driver.jar = bystander;
    EXPECT_TRUE(Has(Get("profile.asp").body, "<input type=hidden value=\"bob\" name=username>"));
    driver.jar = changer;
    EXPECT_TRUE(Has(Save("alice", {{"Password", "new2"}, {"Password1", "new2"}}).body, "编辑用户资料成功"));
    EXPECT_EQ(Column("alice", "password"), "new2");
}

// A session whose password no longer matches the register (changed
// elsewhere meanwhile) saves nothing.
TEST_F(ProfileTest, SaveProvesTheSessionsMemberAgainstTheRegister) {
    Post("login.asp", {{"UserName", "bob"}, {"Password", "bpw"}});
    const auto loggedIn = driver.jar;
    driver.jar.clear();
    Verify("alice", "apw");
    db.con.Execute("update register set password='elsewhere'");
    for (const auto& [jar, name] : {std::pair{loggedIn, "bob"}, std::pair{driver.jar, "alice"}}) {
        driver.jar = jar;
        const site::DriverResponse refused = Save(name);
        EXPECT_TRUE(Has(refused.body, kAccountProblem)) << refused.body;
        EXPECT_TRUE(refused.cookies.empty());
        EXPECT_EQ(Column(name, "password"), "elsewhere");
        EXPECT_EQ(Column(name, "email"), std::string(name) + "@example.com");
    }
}

}  // namespace
