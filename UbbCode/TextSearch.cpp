#include "UbbCode/TextSearch.h"

#include <algorithm>
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
    // A letter starts a candidate in either case: memchr finds the next of
    // each, and the nearer one is tried first.
    const char small = lower(first);
    const char capital = static_cast<char>(small - 'a' + 'A');
    const auto next = [&](char c, std::size_t i) {
        if (i > last) return kNotFound;
        const void* hit = std::memchr(text.data() + i, c, last - i + 1);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : kNotFound;
    };
    std::size_t nextSmall = next(small, from), nextCapital = next(capital, from);
    while (nextSmall != kNotFound || nextCapital != kNotFound) {
        const std::size_t i = std::min(nextSmall, nextCapital);
        if (equalNoCase(text.data() + i + 1, needle.data() + 1, needle.size() - 1)) return i;
        if (i == nextSmall)
            nextSmall = next(small, i + 1);
        else
            nextCapital = next(capital, i + 1);
    }
    return kNotFound;
}

std::size_t rfindNoCase(std::string_view text, std::string_view needle) {
    if (needle.empty()) return text.size();
    if (text.size() < needle.size()) return kNotFound;
    for (std::size_t end = text.size() - needle.size() + 1; end > 0;) {
        // Candidates: the last place the first character (any case) occurs.
        const void* hit = memrchr(text.data(), needle[0], end);
        std::size_t at = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : kNotFound;
        if (isLetter(needle[0])) {
            const void* other = memrchr(text.data(), needle[0] ^ 0x20, end);
            std::size_t otherAt =
                other ? static_cast<std::size_t>(static_cast<const char*>(other) - text.data()) : kNotFound;
            if (at == kNotFound || (otherAt != kNotFound && otherAt > at)) at = otherAt;
        }
        if (at == kNotFound) return kNotFound;
        if (equalNoCase(text.data() + at + 1, needle.data() + 1, needle.size() - 1)) return at;
        end = at;
    }
    return kNotFound;
}

bool containsNoCase(std::string_view text, std::string_view needle) {
    return findNoCase(text, needle) != kNotFound;
}

std::string replaceAll(std::string_view text, std::string_view find, std::string_view with) {
    // Sized exactly first: a post of tabs grows twenty-fold.
    std::size_t count = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, at + find.size()))
        ++count;
    std::string out;
    out.reserve(text.size() + count * with.size() - count * find.size());
    std::size_t copied = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos; at = text.find(find, copied)) {
        out.append(text.substr(copied, at - copied));
        out.append(with);
        copied = at + find.size();
    }
    out.append(text.substr(copied));
    return out;
}

}  // namespace markup
