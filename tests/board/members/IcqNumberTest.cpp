// The page an author panel's ICQ link opens: the number, encoded, on the
// board's own picture; anything but digits is refused.
#include "MembersTest.h"

namespace {

using browse_test::Has;

class IcqNumberTest : public MembersTest {};

TEST_F(IcqNumberTest, ShowsTheNumberAndRefusesAnythingElse) {
    const site::DriverResponse page = Get("ubbmisc.asp", {{"action", "icqmessage"}, {"UIN", "12345"}});
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(Has(page.body, "<title>ICQ号码 - 清风论坛</title>")) << page.body;
    EXPECT_TRUE(Has(page.body, "<img src=images/icq.gif width=18 height=18 border=0 align=absmiddle> "
                               "ICQ号码：<b>12345</b>"));
    EXPECT_TRUE(Has(page.body, "</body></html>"));
    for (const char* uin : {"", "12a", "<b>1</b>", "１２"}) {
        const std::string refused = Get("ubbmisc.asp", {{"action", "icqmessage"}, {"UIN", uin}}).body;
        EXPECT_TRUE(Has(refused, "ICQ号码不正确")) << uin;
        EXPECT_FALSE(Has(refused, "<b>1</b>")) << uin;
    }
    // The panel's picture is served by the board itself.
    const site::DriverResponse picture = Get("images/icq.gif");
    EXPECT_EQ(picture.status, 200);
    EXPECT_EQ(picture.contentType, "image/gif");
}

}  // namespace
