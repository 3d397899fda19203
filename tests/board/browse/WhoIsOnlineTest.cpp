// Who is online: guests and members from the online list, encoded, and the
// debug view with full addresses for a logged-in administrator only.
#include <gtest/gtest.h>

#include <string>

#include "BrowseBoard.h"
#include "platform/DateTime.h"

namespace {

using browse_test::Has;

const std::string kDebugHead = "<td nowrap><b><font color=#ffffff>IP</font></b></td>";

class WhoIsOnline : public ::testing::Test, protected browse_test::BrowseBoard {
protected:
    WhoIsOnline() {
        db.con.Execute("insert into register (username, password, status) "
                       "values ('admin', 'pw', 'Administrator'), ('carol', 'pw', null)");
        // Row 0 a member with a hostile name and activity, row 1 free, row 2
        // a guest; the test requests come from the guest's address.
        platform::VariantArray list(6, 21, platform::Variant(""));
        const platform::Variant now = platform::Now();
        auto put = [&](int row, const std::string& name, const std::string& ip, const std::string& activity) {
            const platform::Variant fields[] = {name, ip, now, now, now, activity};
            for (int f = 0; f < 6; ++f) list.at(f, row) = fields[f];
        };
        put(0, "<b>bob</b>", "10.0.0.5", "<script>x</script>");
        put(2, "GUEST ", "10.1.2.3", "首页");
        host.application().Set("Online", platform::Variant(std::move(list)));
    }

    site::DriverResponse Get(site::Fields query, site::Fields cookies = {}) {
        return BrowseBoard::Get("online.asp", std::move(query), std::move(cookies));
    }
};

TEST_F(WhoIsOnline, ListsMembersAndGuestsEncodedInAlternatingRows) {
    const std::string body = Get({}).body;
    EXPECT_TRUE(Has(body, "<tr bgcolor=\"#000000\"><td nowrap><b><font color=#ffffff>用户名</font></b></td>"
                          "<td><b><font color=#ffffff>登录时间</font></b></td>"
                          "<td><b><font color=#ffffff>在哪里？</font></b></td></tr>"))
        << body;
    EXPECT_TRUE(Has(body, "<tr bgcolor=\"#f7f7f7\"><td><a href=viewuser.asp?username=%3Cb%3Ebob%3C%2Fb%3E>"
                          "&lt;b&gt;bob&lt;/b&gt;</a></td><td>"));
    EXPECT_TRUE(Has(body, "<td>&lt;script&gt;x&lt;/script&gt;</td></tr>"));
    // The free row leaves no gap in the colours; the guest's activity is
    // this page now.
    EXPECT_TRUE(Has(body, "<tr bgcolor=\"#dedfdf\"><td>游客 (10.1.2.*)</td><td>"));
    EXPECT_TRUE(Has(body, "<td>谁在线</td></tr></table></center>"));
    EXPECT_FALSE(Has(body, "<script>"));
    EXPECT_FALSE(Has(body, "10.0.0.5"));
}

TEST_F(WhoIsOnline, DebugViewOnlyForALoggedInAdministrator) {
    const struct {
        const char* visitor;
        site::Fields query;
        site::Fields cookies;
        bool debugView;
    } cases[] = {
        {"guest", {{"action", "debug"}}, {}, false},
        {"member", {{"action", "debug"}}, {{"UserName", "carol"}, {"Password", "pw"}}, false},
        {"wrong password", {{"action", "debug"}}, {{"UserName", "admin"}, {"Password", "PW"}}, false},
        {"name only", {{"action", "debug"}}, {{"UserName", "admin"}}, false},
        {"other case", {{"action", "DEBUG"}}, {{"UserName", "admin"}, {"Password", "pw"}}, false},
        {"administrator", {{"action", "debug"}}, {{"UserName", "admin"}, {"Password", "pw"}}, true},
    };
    for (const auto& c : cases) {
        const std::string body = Get(c.query, c.cookies).body;
        EXPECT_EQ(Has(body, kDebugHead), c.debugView) << c.visitor;
        EXPECT_EQ(Has(body, "<td>10.0.0.5</td>"), c.debugView) << c.visitor;
        EXPECT_EQ(Has(body, "最近活动时间"), c.debugView) << c.visitor;
    }
}

TEST_F(WhoIsOnline, DebugViewForAnAdministratorLoggedInThisSession) {
    driver.Post("login.asp", {{"UserName", "admin"}, {"Password", "pw"}});
    const std::string body = Get({{"action", "debug"}}).body;
    EXPECT_TRUE(Has(body, kDebugHead));
    // The administrator took over the guest's row at the same address.
    EXPECT_TRUE(Has(body, "<tr bgcolor=\"#dedfdf\"><td><a href=viewuser.asp?username=admin>admin</a></td>"
                          "<td>10.1.2.3</td>"));
}

}  // namespace
