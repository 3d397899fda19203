#pragma once
// A member's rank from status and post count.
#include "platform/Variant.h"

namespace core {

// Rank icon HTML and title for a member's status and post count.
void GetUserRank(const platform::Variant& status, const platform::Variant& postcount,
                 platform::Variant& icon, platform::Variant& title);

}  // namespace core
