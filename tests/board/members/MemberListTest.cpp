// The member directory: letter filters, searches and orders, paging, and
// what it writes of members' own texts.
#include <vector>

#include "MembersTest.h"

namespace {

using browse_test::DaysAgo;
using browse_test::Has;
using site::Fields;

class MemberListTest : public MembersTest {
protected:
    void AddListed(const std::string& name, double daysAgo, int posts, int points, const std::string& email = "") {
        db.con.Execute("insert into register (username, password, email, emailview, signdate, postcount, jf) "
                       "values (?, 'pw', ?, 1, ?, ?, ?)",
                       {name, email, DaysAgo(daysAgo), posts, points});
    }

    void SetUp() override {
        AddListed("Bob", 6, 10, 3, "o'hara@example.com");
        AddListed("barbara", 5, 30, 1, "100%@example.com");
        AddListed("Carl_1", 4, 20, 7);
        AddListed("CarlX1", 3, 0, 2);
        AddListed("9lives", 2, 5, 9);
        AddListed("张三", 1, 1, 4);
    }

    // The member names of the page's rows, in order.
    static std::vector<std::string> Names(const std::string& body) {
        std::vector<std::string> names;
        const std::string mark = "href=pm.asp?action=newpm&recipient=";
        for (std::size_t at = body.find(mark); at != std::string::npos; at = body.find(mark, at + 1)) {
            const std::size_t start = body.find('>', at) + 1;
            names.push_back(body.substr(start, body.find("</a>", start) - start));
        }
        return names;
    }
};

TEST_F(MemberListTest, LettersSearchesAndOrders) {
    using Names_ = std::vector<std::string>;
    struct Case {
        Fields query;
        Names_ rows;
    };
    const Names_ newestFirst = {"张三", "9lives", "CarlX1", "Carl_1", "barbara", "Bob"};
    const Case cases[] = {
        {{}, newestFirst},
        {{{"orderby", "username"}}, {"9lives", "barbara", "Bob", "Carl_1", "CarlX1", "张三"}},
        {{{"orderby", "PostCount"}}, {"barbara", "Carl_1", "Bob", "9lives", "张三", "CarlX1"}},
        {{{"orderby", "jf"}}, {"9lives", "Carl_1", "张三", "Bob", "CarlX1", "barbara"}},
        {{{"orderby", "posttime"}}, newestFirst},
        {{{"letter", "B"}, {"orderby", "username"}}, {"barbara", "Bob"}},
        {{{"letter", "b"}}, {"barbara", "Bob"}},
        {{{"letter", "B"}, {"searchBy", "UserName"}, {"key", "Carl"}}, {"barbara", "Bob"}},
        {{{"letter", "@"}}, {"张三"}},
        {{{"letter", "9"}}, {"9lives"}},
        {{{"letter", "%"}}, {}},
        {{{"searchBy", "EMail"}, {"key", "o'hara"}}, {"Bob"}},
        {{{"searchBy", "EMail"}, {"key", "%"}}, {"barbara"}},
        {{{"searchBy", "username"}, {"key", "_"}}, {"Carl_1"}},
        {{{"searchBy", "username"}, {"key", "张"}}, {"张三"}},
        {{{"searchBy", "username"}, {"key", "ARL"}, {"orderby", "username"}}, {"Carl_1", "CarlX1"}},
        {{{"key", "Carl"}}, newestFirst},
        {{{"searchBy", "username"}, {"key", ""}}, newestFirst},
    };
    for (const Case& c : cases) {
        const std::string body = Get("member.asp", c.query).body;
        std::string context;
        for (const auto& [k, v] : c.query) context += k + "=" + v + " ";
        EXPECT_EQ(Names(body), c.rows) << context;
    }
    const std::string body = Get("member.asp").body;
    EXPECT_TRUE(Has(body, "<title>成员列表 - 清风论坛</title>"));
    EXPECT_TRUE(Has(body, "<option value=signdate selected>注册日期</option>"));
    EXPECT_FALSE(Has(body, "<option value=UserName selected>"));
    EXPECT_TRUE(Has(body, "<a href=Member.asp?letter=Z>Z</a>&nbsp;<a href=member.asp?letter=@>@</a>"));
}

TEST_F(MemberListTest, PagesStayInRangeAndKeepTheCriteria) {
    Set("PageSize", 2);
    struct Case {
        const char* page;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"0", {"张三", "9lives"}},   {"-1", {"张三", "9lives"}},  {"x", {"张三", "9lives"}},
        {"2", {"CarlX1", "Carl_1"}}, {"3", {"barbara", "Bob"}},   {"4", {"barbara", "Bob"}},
        {"40000", {"barbara", "Bob"}},
    };
    for (const Case& c : cases) EXPECT_EQ(Names(Get("member.asp", {{"page", c.page}}).body), c.rows) << c.page;

    // Three members match: two pages, whose links carry the search.
    const std::string paged = Get("member.asp", {{"searchBy", "UserName"}, {"key", "l"}, {"orderby", "JF"}}).body;
    EXPECT_EQ(Names(paged).size(), 2u);
    EXPECT_TRUE(Has(paged, "&searchby=username&orderby=jf&key=l&Letter=ALL")) << paged;
    const std::string one = Get("member.asp", {{"letter", "张"}, {"page", "2"}}).body;
    EXPECT_EQ(Names(one), std::vector<std::string>{"张三"});
    EXPECT_FALSE(Has(one, "&Letter=")) << "one page: no pager";
}

TEST_F(MemberListTest, MembersTextsAndTheSearchAreWrittenAsText) {
    db.con.Execute("update register set location='<b>杭州', interests='a&b', url='javascript:alert(1)', "
                   "emailview=0 where username='Bob'");
    db.con.Execute("update register set url='HTTPS://Example.com/x', email='b\"@x' where username='barbara'");
    db.con.Execute("insert into register (username, password, email) values ('<i>', 'pw', 'i@x')");
    const std::string body = Get("member.asp", {{"key", "\"><b>"}}).body;
    EXPECT_TRUE(Has(body, "&lt;b&gt;杭州"));
    EXPECT_TRUE(Has(body, "a&amp;b"));
    EXPECT_TRUE(Has(body, "<a href=\"http://javascript:alert(1)\" target=_blank>"));
    EXPECT_TRUE(Has(body, "<a href=\"HTTPS://Example.com/x\" target=_blank>"));
    EXPECT_TRUE(Has(body, "<a href=\"mailto:b&quot;@x\">"));
    EXPECT_FALSE(Has(body, "o'hara")) << "Bob hides his address";
    EXPECT_FALSE(Has(body, "mailto:i@x")) << "no emailview: hidden";
    EXPECT_TRUE(Has(body, "<a title=\"给&lt;i&gt;发悄悄话\" href=pm.asp?action=newpm&recipient=%3Ci%3E>&lt;i&gt;</a>"));
    EXPECT_TRUE(Has(body, "value=\"&quot;&gt;&lt;b&gt;\""));
    EXPECT_FALSE(Has(body, "<b>杭州"));
}

}  // namespace
