// The help pages ubbcode.htm and smiles.htm: written from the converter, kept
// in site/www as they are written, served in GBK, and showing every tag and
// smiley the converter knows.
#include <gtest/gtest.h>

#include <string>

#include "UbbCode/ConversionRules.h"
#include "UbbCode/Smileys.h"
#include "UbbCode/TextSearch.h"
#include "platform/Charset.h"
#include "site/RequestDriver.h"
#include "tools/helppages/HelpPages.h"

namespace {

class HelpPagesTest : public ::testing::Test {
protected:
    site::BoardHost host;  // serving site/www
    site::RequestDriver driver{host};
};

// When this fails after a change of the converter or of the examples, write
// the pages again: build/tools/helppages/help-pages site/www
TEST_F(HelpPagesTest, TheSiteServesThePagesAsTheConverterWritesThem) {
    const struct {
        const char* page;
        std::string text;
    } pages[] = {{"ubbcode.htm", helppages::UbbCodePage()}, {"smiles.htm", helppages::SmileysPage()}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.page);
        const site::DriverResponse served = driver.Get(p.page);
        EXPECT_EQ(served.status, 200);
        EXPECT_EQ(served.contentType, "text/html; charset=gb2312");
        EXPECT_TRUE(served.body == p.text) << "site/www/" << p.page << " differs from what help-pages writes";
        EXPECT_NE(served.body.find("charset=gb2312"), std::string::npos);
    }
}

TEST_F(HelpPagesTest, EveryTagHasAnExampleThatConverts) {
    const auto shown = [](std::string_view needle) {
        for (const helppages::TagExample& tag : helppages::TagExamples())
            if (markup::containsNoCase(tag.example, needle)) return true;
        return false;
    };
    for (const auto* rules : {&markup::bareLinkRules(), &markup::tagRulesBeforeQuotes(), &markup::tagRulesAfterQuotes()})
        for (const markup::Rule& rule : *rules) EXPECT_TRUE(shown(rule.needle)) << rule.needle;
    EXPECT_TRUE(shown("[quote]"));

    // Each example's result is on the page, and differs from the example.
    const std::string page = helppages::UbbCodePage();
    for (const helppages::TagExample& tag : helppages::TagExamples()) {
        SCOPED_TRACE(tag.example);
        const std::string typed = platform::HtmlEncode(tag.example);
        EXPECT_NE(page.find("<td>" + typed + "</td>"), std::string::npos);
        EXPECT_EQ(page.find("<td>" + typed + "</td><td>" + typed + "</td>"), std::string::npos);
    }
}

TEST_F(HelpPagesTest, EverySmileyWithItsCodeAndPicture) {
    const std::string page = helppages::SmileysPage();
    for (const markup::Smiley& smiley : markup::kSmileys) {
        SCOPED_TRACE(smiley.code);
        EXPECT_NE(page.find("<td>" + platform::HtmlEncode(smiley.code) + "</td><td><IMG SRC=\"images/" +
                            std::string(smiley.image) + "\"></td>"),
                  std::string::npos);
        EXPECT_EQ(driver.Get("images/" + std::string(smiley.image)).status, 200);
    }
}

}  // namespace
