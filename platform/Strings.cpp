#include "platform/Strings.h"

#include <cstdint>
#include <cstring>

#include "platform/Error.h"

namespace platform {

namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Bytes taken by the character at byte offset i. A byte that does not start a
// well-formed sequence counts as one character of its own, so every count and
// position agrees with ToUtf32 (where such a byte becomes U+FFFD).
std::size_t CharBytes(std::string_view s, std::size_t i) {
    const std::size_t n = WellFormedUtf8Length(s, i);
    return n == 0 ? 1 : n;
}

char32_t DecodeAt(std::string_view s, std::size_t i, std::size_t n) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (n == 1) return b0 < 0x80 ? b0 : 0xFFFD;
    char32_t c = b0 & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return c;
}

// Byte offset after `chars` characters from byte offset `from` (or the end).
std::size_t AdvanceChars(std::string_view s, std::size_t from, std::size_t chars) {
    std::size_t i = from;
    while (chars > 0 && i < s.size()) {
        i += CharBytes(s, i);
        --chars;
    }
    return i;
}

// Characters between two byte offsets, or npos when `to` falls inside a
// character (a byte match across a malformed sequence).
std::size_t CharsBetween(std::string_view s, std::size_t from, std::size_t to) {
    std::size_t count = 0;
    std::size_t i = from;
    while (i < to) {
        i += CharBytes(s, i);
        ++count;
    }
    return i == to ? count : std::string_view::npos;
}

// Case folding that keeps every character's byte length: ASCII letters and
// the Latin-1 letters U+00C0..U+00DE (except U+00D7) with their lower forms.
// Thanks to that, byte offsets found in folded text are valid in the original.
// `prev` is the byte before `b` (0 at the start).
char FoldByte(char prev, char b, bool upper) {
    const auto u = static_cast<unsigned char>(b);
    if (u < 0x80) {
        if (upper && u >= 'a' && u <= 'z') return static_cast<char>(u - 32);
        if (!upper && u >= 'A' && u <= 'Z') return static_cast<char>(u + 32);
    } else if (static_cast<unsigned char>(prev) == 0xC3) {
        // U+00C0..U+00DE is C3 80..C3 9E; U+00E0..U+00FE is C3 A0..C3 BE.
        if (upper && u >= 0xA0 && u <= 0xBE && u != 0xB7) return static_cast<char>(u - 0x20);
        if (!upper && u >= 0x80 && u <= 0x9E && u != 0x97) return static_cast<char>(u + 0x20);
    }
    return b;
}

void FoldCase(std::string& s, bool upper) {
    char prev = 0;
    for (char& c : s) {
        const char original = c;
        c = FoldByte(prev, c, upper);
        prev = original;
    }
}

std::string Folded(std::string_view s) {
    std::string out(s);
    FoldCase(out, false);
    return out;
}

// A text and the text searched in it, as a search compares them: folded to
// lower case when letter case is ignored. Folding keeps every byte in place,
// so positions found in `hay` hold for the original text too.
class SearchPair {
public:
    SearchPair(std::string_view s, std::string_view what, Compare cmp) : hay(s), needle(what) {
        if (cmp == Compare::Text) {
            hayFolded_ = Folded(s);
            needleFolded_ = Folded(what);
            hay = hayFolded_;
            needle = needleFolded_;
        }
    }
    SearchPair(const SearchPair&) = delete;  // the views point into this object
    SearchPair& operator=(const SearchPair&) = delete;

    std::string_view hay, needle;

private:
    std::string hayFolded_, needleFolded_;
};

void RequireStart(std::size_t start) {
    if (start == 0) raise(kErrInvalidCall);
}

// Byte offset of the first aligned occurrence of `what` in `hay` at or after
// byte offset `from`, or npos.
std::size_t FindAligned(std::string_view hay, std::string_view what, std::size_t from) {
    for (std::size_t pos = hay.find(what, from); pos != std::string_view::npos;
         pos = hay.find(what, pos + 1)) {
        if (CharsBetween(hay, from, pos) != std::string_view::npos) return pos;
    }
    return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' '; }

}  // namespace

std::size_t Len(std::string_view s) { return CharsBetween(s, 0, s.size()); }

std::string Left(std::string_view s, std::size_t n) {
    return std::string(s.substr(0, AdvanceChars(s, 0, n)));
}

std::string Right(std::string_view s, std::size_t n) {
    const std::size_t len = Len(s);
    if (n >= len) return std::string(s);
    return std::string(s.substr(AdvanceChars(s, 0, len - n)));
}

std::string Mid(std::string_view s, std::size_t start) {
    RequireStart(start);
    return std::string(s.substr(AdvanceChars(s, 0, start - 1)));
}

std::string Mid(std::string_view s, std::size_t start, std::size_t len) {
    RequireStart(start);
    const std::size_t from = AdvanceChars(s, 0, start - 1);
    return std::string(s.substr(from, AdvanceChars(s, from, len) - from));
}

std::size_t InStr(std::string_view s, std::string_view what, Compare cmp, std::size_t start) {
    RequireStart(start);
    if (s.empty()) return 0;
    const std::size_t from = AdvanceChars(s, 0, start - 1);
    if (what.empty()) return start <= Len(s) ? start : 0;
    if (from >= s.size()) return 0;

    const SearchPair search(s, what, cmp);
    const std::size_t pos = FindAligned(search.hay, search.needle, from);
    return pos == std::string_view::npos ? 0 : start + CharsBetween(s, from, pos);
}

std::size_t InStrRev(std::string_view s, std::string_view what, Compare cmp) {
    if (s.empty()) return 0;
    if (what.empty()) return Len(s);

    const SearchPair search(s, what, cmp);
    const std::string_view hay = search.hay, needle = search.needle;
    for (std::size_t pos = hay.rfind(needle); pos != std::string_view::npos;
         pos = pos == 0 ? std::string_view::npos : hay.rfind(needle, pos - 1)) {
        const std::size_t chars = CharsBetween(s, 0, pos);
        if (chars != std::string_view::npos) return chars + 1;
    }
    return 0;
}

std::string Replace(std::string_view s, std::string_view find, std::string_view with,
                    Compare cmp) {
    if (find.empty()) return std::string(s);

    const SearchPair search(s, find, cmp);
    const std::string_view hay = search.hay, needle = search.needle;
    std::string out;
    out.reserve(s.size());
    std::size_t copied = 0;
    for (std::size_t pos = FindAligned(hay, needle, 0); pos != std::string_view::npos;
         pos = FindAligned(hay, needle, copied)) {
        out.append(s, copied, pos - copied);
        out.append(with);
        copied = pos + needle.size();
    }
    out.append(s, copied);
    return out;
}

std::string LTrim(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string RTrim(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    std::size_t n = s.size();
    while (n > i && IsBlank(s[n - 1])) --n;
    return std::string(s.substr(i, n - i));
}

std::string LCase(std::string_view s) {
    std::string out(s);
    FoldCase(out, false);
    return out;
}

std::string UCase(std::string_view s) {
    std::string out(s);
    FoldCase(out, true);
    return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        // Up to here both texts are equal after folding, so their previous
        // bytes are both 0xC3 or both not.
        const char prev = i > 0 ? a[i - 1] : 0;
        if (FoldByte(prev, a[i], false) != FoldByte(prev, b[i], false)) return false;
    }
    return true;
}

std::vector<std::string> Split(std::string_view s, std::string_view separator) {
    std::vector<std::string> parts;
    if (s.empty()) return parts;
    if (separator.empty()) {
        parts.emplace_back(s);
        return parts;
    }
    std::size_t from = 0;
    for (std::size_t pos = FindAligned(s, separator, 0); pos != std::string_view::npos;
         pos = FindAligned(s, separator, from)) {
        parts.emplace_back(s.substr(from, pos - from));
        from = pos + separator.size();
    }
    parts.emplace_back(s.substr(from));
    return parts;
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) out.append(separator);
        out.append(parts[i]);
    }
    return out;
}

std::string Space(std::size_t n) { return std::string(n, ' '); }

std::size_t WellFormedUtf8Length(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) return 1;
    std::size_t n;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        if (b0 == 0xE0) lo = 0xA0;  // overlong
        if (b0 == 0xED) hi = 0x9F;  // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        if (b0 == 0xF0) lo = 0x90;  // overlong
        if (b0 == 0xF4) hi = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    if (b1 < lo || b1 > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (!IsContinuation(static_cast<unsigned char>(s[i + k]))) return 0;
    return n;
}

char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    const std::size_t n = CharBytes(s, i);
    const char32_t c = DecodeAt(s, i, n);
    i += n;
    return c;
}

std::u32string ToUtf32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) out.push_back(DecodeUtf8(s, i));
    return out;
}

std::string ToUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) AppendUtf8(out, c);
    return out;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool IsValidUtf8(std::string_view text) {
    // The strict rules PCRE2 checks by: no overlong forms, no surrogates,
    // nothing beyond U+10FFFF. ASCII, most of a page, is passed eight bytes
    // at a time.
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t size = text.size();
    const auto continues = [&](std::size_t at) { return at < size && (p[at] & 0xC0) == 0x80; };
    for (std::size_t i = 0; i < size;) {
        if (i + 8 <= size) {
            std::uint64_t word;
            std::memcpy(&word, p + i, 8);
            if ((word & kHighBits) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char b0 = p[i];
        // Chinese text: three bytes with no special case to check.
        if (b0 >= 0xE1 && b0 <= 0xEF && b0 != 0xED && continues(i + 1) && continues(i + 2)) {
            i += 3;
            continue;
        }
        const std::size_t n = WellFormedUtf8Length(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string ToValidUtf8(std::string_view text) {
    if (IsValidUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() + 8);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = WellFormedUtf8Length(text, i);
        if (n == 0) {
            AppendUtf8(out, U'\uFFFD');
            ++i;
        } else {
            out.append(text, i, n);
            i += n;
        }
    }
    return out;
}

}  // namespace platform
