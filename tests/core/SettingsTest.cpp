#include <gtest/gtest.h>

#include <functional>

#include "core/ScopedSettings.h"
#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/Error.h"

namespace {

using core::Settings;
using platform::Variant;

// Loads both groups from `app` into a fresh record; the thread's record is
// put back afterwards.
class SettingsTest : public ::testing::Test {
protected:
    static const Settings& load(platform::Application& app) {
        core::CurrentSettings() = Settings{};
        core::LoadSettings(app);
        core::LoadStyleSettings(app);
        return core::CurrentSettings();
    }
    static long loadError(platform::Application& app) {
        try {
            load(app);
        } catch (const platform::RuntimeError& e) {
            return e.number();
        }
        return 0;
    }

    platform::Application app_;
    testing_support::ScopedSettings restored_;  // the thread's record comes back after each test
};

TEST_F(SettingsTest, NoValuesGiveEveryDefault) {
    const Settings& s = load(app_);
    EXPECT_EQ(s.ConnectionString.str(), "Provider=MSDASQL.1;USER ID=sa;PASSWORD=;DATA SOURCE=Tarnbell");
    EXPECT_TRUE(s.MailNotify);
    EXPECT_TRUE(s.EMailRegister);
    EXPECT_EQ(s.UploadBaseDir, "");
    EXPECT_FALSE(s.DisplayPostCount);
    EXPECT_EQ(s.RejectiveIP, "");
    EXPECT_TRUE(s.EMailCheck);
    EXPECT_EQ(s.SubmitInterval, 20);
    EXPECT_EQ(s.OnlineTime, 5);
    EXPECT_EQ(s.MaxUser, 20);
    EXPECT_EQ(s.SmtpServer, "127.0.0.1:25");
    EXPECT_EQ(s.BBURL, "http://127.0.0.1:8080/");
    EXPECT_EQ(s.BBEMail, "board@localhost");
    EXPECT_EQ(s.BBName, "Tarnbell");
    EXPECT_EQ(s.DaysPruneDefault, 5);
    EXPECT_EQ(s.Copyright.rfind("<p align=center>", 0), 0u);
    EXPECT_EQ(s.HotCount, 10);
    EXPECT_EQ(s.NavBar,
              "<a href=profile.asp>个人信息</a> | <a href=signup.asp>注册</a> | <a href=option.asp>设置</a> | "
              "<a href=search.asp>搜索</a> | <a href=showFavor.asp>查看收藏</a> | "
              "<a href=FAQ.html target=_blank>帮助</a> | <a href=top.asp>排行榜</a>");
    EXPECT_TRUE(s.DisplayMemberTotal);
    EXPECT_EQ(s.PageSize, 20);
    EXPECT_TRUE(s.DisplayRegistration);
    EXPECT_TRUE(s.DisplayTopicSize);
    EXPECT_EQ(s.GuestTitle, "游客");
    EXPECT_EQ(s.BBStyle, "UBB");
    EXPECT_EQ(s.PageStyle, 0);
    EXPECT_EQ(s.MemberMinimum, 30);

    EXPECT_EQ(s.BBTitle, "title.gif");
    EXPECT_EQ(s.BBTopic, "postnew.jpg");
    EXPECT_EQ(s.BBReply, "reply5.jpg");
    EXPECT_EQ(s.Logo,
              "<a href=default.asp><img style=border-color:#000000 border=1 src=\"images/title.gif\" "
              "WIDTH=276 HEIGHT=75></a>");
    EXPECT_EQ(s.BGColor, "bgcolor=\"#FFFFFF\"");
    EXPECT_EQ(s.TableColorStrip, "bgcolor=\"#000000\"");
    EXPECT_EQ(s.TableStripTextColor, "#ffffff");
    EXPECT_EQ(s.TimeColor, "#800080");
    EXPECT_EQ(s.AltColumnColor1, "bgcolor=\"#f7f7f7\"");
    EXPECT_EQ(s.AltColumnColor2, "bgcolor=\"#dedfdf\"");
    EXPECT_EQ(s.CategoryStripColor, "bgcolor=\"#80D9D9\"");
    EXPECT_EQ(s.CategoryStripTextColor, "#000000");
    EXPECT_EQ(s.BBTitleFontColor, "#000080");
    EXPECT_EQ(s.TableWidth, "95%");
    EXPECT_EQ(s.PageBackGround, "");
    EXPECT_EQ(s.InnerTableWidth, "95%");
    EXPECT_EQ(s.TableBorderOpen, "");
    EXPECT_EQ(s.TableBorderClose, "");
}

TEST_F(SettingsTest, ValuesTheSiteSets) {
    const struct {
        const char* key;
        Variant value;
        std::function<void(const Settings&)> check;
    } cases[] = {
        {"PageSize", Variant(0), [](const Settings& s) { EXPECT_EQ(s.PageSize, 0); }},
        {"PageSize", Variant("2.5"), [](const Settings& s) { EXPECT_EQ(s.PageSize, 2); }},
        {"MemberMinimum", Variant(0), [](const Settings& s) { EXPECT_EQ(s.MemberMinimum, 30); }},
        {"MemberMinimum", Variant(""), [](const Settings& s) { EXPECT_EQ(s.MemberMinimum, 30); }},
        {"MemberMinimum", Variant("45 posts"), [](const Settings& s) { EXPECT_EQ(s.MemberMinimum, 45); }},
        {"MemberMinimum", Variant("&H10"), [](const Settings& s) { EXPECT_EQ(s.MemberMinimum, 16); }},
        {"BBSTYLE", Variant("club"), [](const Settings& s) { EXPECT_EQ(s.BBStyle, "CLUB"); }},
        {"bbstyle", Variant("Other"), [](const Settings& s) { EXPECT_EQ(s.BBStyle, "OTHER"); }},
        {"PageStyle", Variant("2abc"), [](const Settings& s) { EXPECT_EQ(s.PageStyle, 2); }},
        {"PageStyle", Variant("abc"), [](const Settings& s) { EXPECT_EQ(s.PageStyle, 0); }},
        {"PageStyle", Variant(1.5), [](const Settings& s) { EXPECT_EQ(s.PageStyle, 2); }},
        {"dsn", Variant("Board"),
         [](const Settings& s) {
             EXPECT_EQ(s.ConnectionString.str(), "Provider=MSDASQL.1;USER ID=sa;PASSWORD=;DATA SOURCE=Board");
         }},
        {"EMailRegister", Variant("false"), [](const Settings& s) { EXPECT_FALSE(s.EMailRegister); }},
        {"displayPostcount", Variant(1), [](const Settings& s) { EXPECT_TRUE(s.DisplayPostCount); }},
        {"Logo", Variant("<b>logo</b>"), [](const Settings& s) { EXPECT_EQ(s.Logo, "<b>logo</b>"); }},
        {"BBTitle", Variant("t.png"),
         [](const Settings& s) { EXPECT_NE(s.Logo.find("src=\"images/t.png\""), std::string::npos); }},
        {"PageBackGround", Variant("bg.gif"),
         [](const Settings& s) { EXPECT_EQ(s.PageBackGround, "background=\"images/bg.gif\""); }},
        {"TableBorderColor", Variant("#336699"),
         [](const Settings& s) {
             EXPECT_EQ(s.InnerTableWidth, "100%");
             EXPECT_EQ(s.TableBorderOpen,
                       "<table border=0 cellpadding=0 cellspacing=0 width=\"95%\"><TR><td bgcolor=\"#336699\" > ");
             EXPECT_EQ(s.TableBorderClose, "</td></tr></table>");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        platform::Application app;
        app.Set(c.key, c.value);
        c.check(load(app));
    }
}

// The server sets the address it listens on as the board's address; a
// site's BBURL (a name or a proxy in front) still wins.
TEST_F(SettingsTest, BoardAddressDefaultsToWhereTheServerListens) {
    core::SetDefaultBoardAddress("http://10.1.2.3:9090/");
    EXPECT_EQ(load(app_).BBURL, "http://10.1.2.3:9090/");
    app_.Set("BBURL", "https://bbs.example.org/");
    EXPECT_EQ(load(app_).BBURL, "https://bbs.example.org/");
    core::SetDefaultBoardAddress("http://127.0.0.1:8080/");
}

TEST_F(SettingsTest, ValuesThatDoNotConvertFailThePageStart) {
    const struct {
        const char* key;
        Variant value;
        long error;
    } cases[] = {
        {"PageStyle", Variant(300), platform::kErrOverflow},
        {"SubmitInterval", Variant(32768), platform::kErrOverflow},
        {"HotCount", Variant("many"), platform::kErrTypeMismatch},
        {"BBName", Variant::null(), platform::kErrInvalidUseOfNull},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        platform::Application app;
        app.Set(c.key, c.value);
        EXPECT_EQ(loadError(app), c.error);
    }
}

TEST_F(SettingsTest, AFailedStartKeepsEarlierValuesNewAndLaterOnesOld) {
    core::CurrentSettings().MaxUser = 99;
    app_.Set("OnlineTime", Variant(9));
    app_.Set("SubmitInterval", Variant(7));
    app_.Set("maxUser", Variant(40000));
    EXPECT_THROW(core::LoadSettings(app_), platform::RuntimeError);
    EXPECT_EQ(core::CurrentSettings().SubmitInterval, 7);
    EXPECT_EQ(core::CurrentSettings().OnlineTime, 9);
    EXPECT_EQ(core::CurrentSettings().MaxUser, 99);
}

// The page start keeps the last load's record; after every kind of change it
// must give what a full load gives.
TEST_F(SettingsTest, APageStartGivesWhatAFullLoadGives) {
    const auto fullLoad = [&] {
        const Settings s = load(app_);
        return s.Fingerprint() + "|" + s.ConnectionString.str() + "|" + s.BBURL + "|" + s.Logo + "|" + s.BGColor;
    };
    const auto pageStart = [&] {
        core::CurrentSettings().ConnectionString = "changed by the last page";
        core::CurrentSettings().BBName.clear();
        core::LoadPageSettings(app_);
        const Settings& s = core::CurrentSettings();
        return s.Fingerprint() + "|" + s.ConnectionString.str() + "|" + s.BBURL + "|" + s.Logo + "|" + s.BGColor;
    };
    const struct {
        const char* change;
        std::function<void()> apply;
    } steps[] = {
        {"nothing", [] {}},
        {"a key added", [&] { app_.Set("BBTitle", "logo.gif"); }},
        {"a key set again", [&] { app_.Set("BBTitle", "logo.gif"); }},
        {"a key set anew", [&] { app_.Set("BBTitle", "other.gif"); }},
        {"a key changed in place", [&] { app_.Update("BGColor", [](Variant& v) { v = "#123456"; }); }},
        {"a key no setting reads", [&] { app_.Set("OnlineCount", Variant(3)); }},
        {"the board's own address", [] { core::SetDefaultBoardAddress("http://10.0.0.1:81/"); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.change);
        step.apply();
        EXPECT_EQ(pageStart(), fullLoad());
        EXPECT_EQ(core::CurrentSettings().BBName, "Tarnbell");
    }
    core::SetDefaultBoardAddress("http://127.0.0.1:8080/");

    // A start that failed is not kept.
    app_.Set("HotCount", "many");
    EXPECT_THROW(core::LoadPageSettings(app_), platform::RuntimeError);
    EXPECT_THROW(core::LoadPageSettings(app_), platform::RuntimeError);
    app_.Set("HotCount", Variant(12));
    core::LoadPageSettings(app_);
    EXPECT_EQ(core::CurrentSettings().HotCount, 12);
}

}  // namespace
