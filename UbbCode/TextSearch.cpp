#include "UbbCode/TextSearch.h"

#include <cstring>

namespace markup {

namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isLetter(char c) { return lower(c) >= 'a' && lower(c) <= 'z'; }

bool equalNoCase(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalNoCase(text.data(), prefix.data(), prefix.size());
}

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from) {
    if (needle.empty()) return from <= text.size() ? from : kNotFound;
    if (text.size() < needle.size()) return kNotFound;
    const std::size_t last = text.size() - needle.size();
    const char first = needle[0];
    if (!isLetter(first)) {
        // Tags start with "[": let memchr skip to the candidates.
        for (std::size_t i = from; i <= last;) {
            const void* hit = std::memchr(text.data() + i, first, last - i + 1);
            if (!hit) return kNotFound;
            i = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
            if (equalNoCase(text.data() + i + 1, needle.data() + 1, needle.size() - 1)) return i;
            ++i;
        }
        return kNotFound;
    }
    for (std::size_t i = from; i <= last; ++i) {
        if (equalNoCase(text.data() + i, needle.data(), needle.size())) return i;
    }
    return kNotFound;
}

std::size_t rfindNoCase(std::string_view text, std::string_view needle) {
    if (text.size() < needle.size()) return kNotFound;
    for (std::size_t i = text.size() - needle.size() + 1; i-- > 0;) {
        if (equalNoCase(text.data() + i, needle.data(), needle.size())) return i;
    }
    return kNotFound;
}

bool containsNoCase(std::string_view text, std::string_view needle) {
    return findNoCase(text, needle) != kNotFound;
}

}  // namespace markup
