// Rank titles and icons of members.
#include <cstdint>

#include "core/Ranks.h"
#include "core/Settings.h"
#include "platform/Convert.h"
#include "platform/Strings.h"

namespace core {

using platform::Variant;

namespace {

struct Rank {
    const char* title;
    const char* icon;
};

constexpr Rank kAdministrator{"管理员", "<img src=icon/admin.gif vspace=5>"};
constexpr Rank kModerator{"版主", "<img src=icon/admin.gif vspace=5>"};
constexpr Rank kUltimate{"终极用户",
                         "<img src=icon/user1.gif vspace=5>&nbsp;<img src=icon/user1.gif vspace=5>"};
constexpr Rank kSuper{"超级用户",
                      "<img src=icon/user1.gif vspace=5>&nbsp;<img src=icon/user.gif vspace=5>"};
constexpr Rank kSenior{"高级用户", "<img src=icon/user1.gif vspace=5>"};
constexpr Rank kBeginner{"初级用户", "<img src=icon/user.gif vspace=5>"};

Rank rankOf(const Variant& status, const Variant& postcount) {
    const std::string role = platform::LCase(status.str());
    if (role == "administrator") return kAdministrator;
    if (role == "moderater") return kModerator;

    // The steps are 16-bit products: a MemberMinimum above 10922 overflows.
    const std::int16_t step = CurrentSettings().MemberMinimum;
    const std::int16_t triple = platform::CInt(Variant(3 * static_cast<int>(step)));
    const std::int16_t twice = platform::CInt(Variant(2 * static_cast<int>(step)));
    if (postcount.isNull()) return kBeginner;
    const double posts = platform::CDbl(postcount);
    if (posts > triple) return kUltimate;
    if (posts > twice) return kSuper;
    if (posts > step) return kSenior;
    return kBeginner;
}

}  // namespace

void GetUserRank(const Variant& status, const Variant& postcount, Variant& icon, Variant& title) {
    const Rank rank = rankOf(status, postcount);
    icon = Variant(rank.icon);
    title = Variant(rank.title);
}

}  // namespace core
