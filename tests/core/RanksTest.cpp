#include <gtest/gtest.h>

#include "core/Module1.h"
#include "core/ScopedSettings.h"
#include "platform/Error.h"

namespace {

using platform::Variant;

const char* const kAdminIcon = "<img src=icon/admin.gif vspace=5>";
const char* const kUltimateIcon =
    "<img src=icon/user1.gif vspace=5>&nbsp;<img src=icon/user1.gif vspace=5>";
const char* const kSuperIcon =
    "<img src=icon/user1.gif vspace=5>&nbsp;<img src=icon/user.gif vspace=5>";
const char* const kSeniorIcon = "<img src=icon/user1.gif vspace=5>";
const char* const kBeginnerIcon = "<img src=icon/user.gif vspace=5>";

TEST(GetUserRank, StatusFirstThenPostCountStrictlyAboveTheSteps) {
    testing_support::ScopedSettings settings;
    settings->MemberMinimum = 30;
    const struct {
        Variant status;
        Variant postcount;
        const char* title;
        const char* icon;
    } cases[] = {
        {Variant("administrator"), Variant(0), "管理员", kAdminIcon},
        {Variant("Administrator"), Variant(500), "管理员", kAdminIcon},
        {Variant("Moderater"), Variant(5), "版主", kAdminIcon},
        {Variant("moderator"), Variant(5), "初级用户", kBeginnerIcon},  // only the board's spelling
        {Variant::null(), Variant(91), "终极用户", kUltimateIcon},
        {Variant(""), Variant(90), "超级用户", kSuperIcon},
        {Variant(""), Variant(61), "超级用户", kSuperIcon},
        {Variant(""), Variant(60), "高级用户", kSeniorIcon},
        {Variant(""), Variant(31), "高级用户", kSeniorIcon},
        {Variant(""), Variant(30), "初级用户", kBeginnerIcon},
        {Variant(""), Variant::null(), "初级用户", kBeginnerIcon},
    };
    for (const auto& c : cases) {
        Variant icon, title;
        core::GetUserRank(c.status, c.postcount, icon, title);
        EXPECT_EQ(title.str(), c.title) << c.status.str() << " " << c.postcount.str();
        EXPECT_EQ(icon.str(), c.icon) << c.status.str() << " " << c.postcount.str();
    }
}

TEST(GetUserRank, StepsFollowTheSetting) {
    testing_support::ScopedSettings settings;
    settings->MemberMinimum = 100;
    Variant icon, title;
    core::GetUserRank(Variant(""), Variant(301), icon, title);
    EXPECT_EQ(title.str(), "终极用户");
    core::GetUserRank(Variant(""), Variant(100), icon, title);
    EXPECT_EQ(title.str(), "初级用户");
}

TEST(GetUserRank, StepsAre16BitProducts) {
    testing_support::ScopedSettings settings;
    settings->MemberMinimum = 10922;  // 3 x 10922 = 32766 still fits
    Variant icon, title;
    core::GetUserRank(Variant(""), Variant(32767), icon, title);
    EXPECT_EQ(title.str(), "终极用户");

    settings->MemberMinimum = 10923;
    try {
        core::GetUserRank(Variant(""), Variant(1), icon, title);
        FAIL() << "no overflow";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number(), platform::kErrOverflow);
    }
    // Staff titles never reach the products.
    core::GetUserRank(Variant("moderater"), Variant(1), icon, title);
    EXPECT_EQ(title.str(), "版主");
}

}  // namespace
