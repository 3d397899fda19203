// Personal options: the form from the request's cookies, and the cookies a
// POST stores.
#include "MembersTest.h"

namespace {

using browse_test::Count;
using browse_test::Has;
using site::Fields;

class OptionsTest : public MembersTest {};

TEST_F(OptionsTest, FormShowsTheCookiesChoices) {
    struct Case {
        Fields cookies;
        const char* selected;  // null: no option marked
        bool storeName;
    };
    const Case cases[] = {
        {{}, "<option value=5 selected>显示前五天的贴子</option>", true},
        {{{"DaysPrune", "abc"}, {"NameStorage", "NO"}}, "<option value=5 selected>", true},
        {{{"DaysPrune", "99999"}, {"NameStorage", "no"}}, "<option value=5 selected>", false},
        {{{"DaysPrune", "-10"}}, "<option value=10 selected>", true},
        {{{"DaysPrune", "0"}}, "<option value=0 selected>显示所有的的贴子</option>", true},
        {{{"DaysPrune", "7"}}, nullptr, true},
    };
    for (const Case& c : cases) {
        const std::string body = Get("option.asp", {}, c.cookies).body;
        const std::string context = c.cookies.empty() ? "none" : c.cookies.front().second;
        EXPECT_EQ(Count(body, " selected>"), c.selected ? 1u : 0u) << context << "\n" << body;
        if (c.selected) {
            EXPECT_TRUE(Has(body, c.selected)) << context;
        }
        EXPECT_EQ(Has(body, "type=radio value=yes checked>"), c.storeName) << context;
        EXPECT_EQ(Has(body, "type=radio  value=no checked>"), !c.storeName) << context;
    }
    const std::string body = Get("option.asp").body;
    EXPECT_TRUE(Has(body, "<title>选项设置 - 清风论坛</title>"));
    EXPECT_TRUE(Has(body, "<form ACTION=option.asp METHOD=POST NAME=PREFS>"));
    EXPECT_TRUE(Has(body, "</center><p align=center>"));
    EXPECT_TRUE(Has(body, "</font></p></BODY></HTML>"));
}

TEST_F(OptionsTest, PostStoresTheChoicesAndShowsTheOldOnes) {
    struct Case {
        Fields form;
        const char *nameStorage, *login, *daysPrune;
    };
    const Case cases[] = {
        {{{"NameStorage", "yes"}, {"DaysPrune", "0"}}, "yes", "<unset>", "0"},
        {{{"NameStorage", "no"}, {"DaysPrune", "-10"}}, "no", "<deleted>", "-10"},
        {{{"NameStorage", "YES"}, {"DaysPrune", "abc"}}, "<unset>", "<unset>", "20"},
        {{{"DaysPrune", "70000"}}, "<unset>", "<unset>", "20"},
        {{{"NameStorage", "no"}, {"NameStorage", "yes"}}, "no", "<deleted>", "0"},
    };
    Set("DaysPruneDefault", 20);
    for (const Case& c : cases) {
        site::DriverRequest request;
        request.method = "POST";
        request.page = "option.asp";
        request.form = c.form;
        request.cookies = {{"DaysPrune", "2"}};
        driver.keepCookies = false;
        const site::DriverResponse page = driver.Run(request);
        const std::string context = c.form.front().second;
        EXPECT_EQ(CookieState(page, "NameStorage"), c.nameStorage) << context;
        EXPECT_EQ(CookieState(page, "UserName"), c.login) << context;
        EXPECT_EQ(CookieState(page, "Password"), c.login) << context;
        EXPECT_EQ(CookieState(page, "DaysPrune"), c.daysPrune) << context;
        EXPECT_TRUE(Has(page.body, "<option value=2 selected>")) << context;
    }
}

}  // namespace
