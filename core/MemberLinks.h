#pragma once
// What members type into their profiles and messages, made safe to show:
// the home-page link, the member picture and the message icon.
#include <string>
#include <string_view>

#include "platform/Variant.h"

namespace core {

// The home-page address a member's link may point to, as typed: an
// "http://" or "https://" address as it stands, any other text behind
// "http://" (so a script or another scheme becomes a host name); "" (no
// link) for an empty address or a bare "http://" or "http:///".
std::string HomepageAddress(std::string_view stored);

// The member's picture as an image tag, or `defaultPicture` (the rank icon)
// when the stored path is empty or no address of this board
// (core/BoardAddress.h).
std::string MemberPicture(std::string_view path, const std::string& defaultPicture);

// The number of one of the board's message icons (icon/icon1.gif ..
// icon14.gif) that `value` names; 1 for anything else.
int MessageIcon(const platform::Variant& value);

}  // namespace core
