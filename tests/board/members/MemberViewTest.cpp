// A member's public page: the title, the address only when shown, the home
// page as a link of its own scheme, and the member's texts as text.
#include "MembersTest.h"

namespace {

using browse_test::Has;

class MemberViewTest : public MembersTest {
protected:
    void AddMember(const std::string& name, const platform::Variant& emailview, const std::string& email,
                   const std::string& url, const platform::Variant& status = platform::Variant::null(),
                   const platform::Variant& posts = platform::Variant::null()) {
        db.con.Execute("insert into register (username, password, email, emailview, url, status, postcount) "
                       "values (?, 'pw', ?, ?, ?, ?, ?)",
                       {name, email, emailview, url, status, posts});
    }
    std::string View(const std::string& name) { return Get("viewuser.asp", {{"username", name}}).body; }
};

TEST_F(MemberViewTest, UnknownOrMissingNameIsRefused) {
    AddMember("alice", 1, "a@x", "");
    for (const char* name : {"bob", "", "alice'--"})
        EXPECT_TRUE(Has(View(name), "该用户不存在！")) << name;
    EXPECT_TRUE(Has(Get("viewuser.asp").body, "该用户不存在！"));
}

TEST_F(MemberViewTest, AddressHomePageAndTitle) {
    Set("MemberMinimum", 10);
    struct Case {
        const char* name;
        platform::Variant emailview;
        const char* email;
        const char* url;
        platform::Variant status, posts;
        const char* mail;   // what the e-mail row holds
        const char* home;   // the home-page cell, "" for none
        const char* title;
    };
    const char* hidden = "用户没有提供他的邮件地址或用户不允许显示他的电子邮件信息";
    const platform::Variant null = platform::Variant::null();
    const Case cases[] = {
        {"shown", 1, "s@x.com", "example.com/~s", null, 31, "<A href=\"mailto:s@x.com\">s@x.com</a>",
         "<a href=\"http://example.com/~s\" target=_blank>http://example.com/~s</a>", "终极用户"},
        {"nullview", null, "n@x.com", "HTTP://Upper.COM", "Administrator", null,
         "<A href=\"mailto:n@x.com\">n@x.com</a>", "<a href=\"HTTP://Upper.COM\" target=_blank>HTTP://Upper.COM</a>",
         "管理员"},
        {"hiddenview", 0, "h@x.com", "https://s.org", "moderater", 21, hidden,
         "<a href=\"https://s.org\" target=_blank>https://s.org</a>", "版主"},
        {"noaddress", 1, "", "javascript:alert(1)", null, 11, hidden,
         "<a href=\"http://javascript:alert(1)\" target=_blank>http://javascript:alert(1)</a>", "高级用户"},
        {"quoted", 1, "q\"<@x", "", null, 0, "<A href=\"mailto:q&quot;&lt;@x\">q&quot;&lt;@x</a>", "", "初级用户"},
    };
    for (const Case& c : cases) {
        AddMember(c.name, c.emailview, c.email, c.url, c.status, c.posts);
        const std::string body = View(c.name);
        EXPECT_TRUE(Has(body, std::string("E-Mail:</td><td width=245>") + c.mail + "</td>")) << c.name << body;
        EXPECT_TRUE(Has(body, std::string("个人主页:</td><td width=245>") + c.home + "</td>")) << c.name;
        EXPECT_TRUE(Has(body, std::string("状  态:</td><td width=245>") + c.title + "</td>")) << c.name;
    }
    EXPECT_FALSE(Has(View("hiddenview"), "h@x.com"));
}

TEST_F(MemberViewTest, TextsNumbersAndNamesAreWrittenAsText) {
    db.con.Execute("insert into register (username, password, location, occupation, interests, oicq, icq, jf) "
                   "values ('Alice', 'pw', '<b>杭州', 'a&b', '<script>', '12345', '12a<', 2.5)");
    const std::string body = View("ALICE<");
    EXPECT_TRUE(Has(body, "该用户不存在！"));
    const std::string page = View("ALICE");
    EXPECT_TRUE(Has(page, "<title>个人信息查询 - 清风论坛</title>"));
    EXPECT_TRUE(Has(page, "姓　名:</td><td width=245>ALICE</td>")) << "as typed";
    EXPECT_TRUE(Has(page, "href=search.asp?action=searchuser&username=ALICE>"));
    EXPECT_TRUE(Has(page, "href=pm.asp?action=newpm&recipient=Alice>给 Alice 写悄悄话</a>"));
    EXPECT_TRUE(Has(page, "&lt;b&gt;杭州"));
    EXPECT_TRUE(Has(page, "a&amp;b"));
    EXPECT_TRUE(Has(page, "&lt;script&gt;"));
    EXPECT_TRUE(Has(page, "OICQ:</td><td width=245>12345</td>"));
    EXPECT_TRUE(Has(page, "ICQ:</td><td width=245></td>"));
    EXPECT_TRUE(Has(page, "发表文章:</td><td width=245>0&nbsp;</td>"));
    EXPECT_TRUE(Has(page, "积分:</td><td width=245>2.5&nbsp;</td>"));
}

}  // namespace
