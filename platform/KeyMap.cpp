#include "platform/KeyMap.h"

#include "platform/Strings.h"

namespace platform {

std::string FoldKey(std::string_view key) {
    std::string folded(key);
    for (char& c : folded) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) return LCase(key);  // accented Latin letters fold too
        if (b >= 'A' && b <= 'Z') c = static_cast<char>(b + ('a' - 'A'));
    }
    return folded;
}

bool SameKey(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return FoldKey(a) == FoldKey(b);  // folding may change lengths
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80 || y >= 0x80) return FoldKey(a) == FoldKey(b);
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
}

}  // namespace platform
