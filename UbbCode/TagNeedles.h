#pragma once
// Which opening-tag needles of the tag rules occur in a text.
#include <bitset>
#include <string_view>

namespace markup {

class TagNeedles {
public:
    // One pass over the "[" of the text: each is compared only with the
    // needles whose next character it has (letter case ignored).
    explicit TagNeedles(std::string_view text);
    // Whether the needle, one of the tag rules' own, occurs.
    bool contains(std::string_view needle) const;

private:
    std::bitset<64> found_;
};

}  // namespace markup
