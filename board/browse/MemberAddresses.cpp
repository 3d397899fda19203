#include "board/browse/MemberAddresses.h"

#include "platform/Strings.h"

namespace board {

std::string HomepageAddress(std::string_view stored) {
    std::string address = platform::LCase(stored);
    if (address.empty() || address == "http://" || address == "http:///") return "";
    // Anything but a web address (a script, another scheme) becomes the
    // host part of one, so the link can only lead to a web page.
    if (address.starts_with("http://") || address.starts_with("https://")) return address;
    return "http://" + address;
}

bool IsAllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace board
