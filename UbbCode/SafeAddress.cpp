#include "UbbCode/SafeAddress.h"

#include <string>

#include "UbbCode/TextSearch.h"

namespace markup {

namespace {

constexpr char32_t kOpaque = 0xFFFD;  // stands for a character no scheme holds

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Decodes the character reference at text[i] ("&#106;", "&#x6A", "&colon;",
// ...) and advances i past it. Named references that no scheme letter can
// come from give kOpaque; a lone "&" is itself.
char32_t decodeReference(std::string_view text, std::size_t& i) {
    std::size_t p = i + 1;
    if (p < text.size() && text[p] == '#') {
        ++p;
        bool hex = p < text.size() && (text[p] == 'x' || text[p] == 'X');
        if (hex) ++p;
        std::size_t digitsStart = p;
        char32_t value = 0;
        while (p < text.size() && (hex ? isHexDigit(text[p]) : isDigit(text[p]))) {
            char c = text[p++];
            int digit = isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
            if (value <= 0x10FFFF) value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        if (p == digitsStart) return text[i++];
        if (p < text.size() && text[p] == ';') ++p;
        i = p;
        return value > 0x10FFFF ? kOpaque : value;
    }
    static constexpr struct {
        std::string_view name;
        char32_t value;
    } kNamed[] = {{"&colon;", ':'}, {"&tab;", '\t'}, {"&newline;", '\n'}, {"&amp;", '&'},
                  {"&sol;", '/'},   {"&quest;", '?'}, {"&num;", '#'}};
    for (const auto& named : kNamed) {
        if (startsWithNoCase(text.substr(i), named.name)) {
            i += named.name.size();
            return named.value;
        }
    }
    std::size_t semicolon = text.find(';', i);
    bool looksNamed = semicolon != std::string_view::npos && semicolon > i + 1;
    for (std::size_t k = i + 1; looksNamed && k < semicolon; ++k) {
        char c = text[k];
        looksNamed = isDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    }
    if (!looksNamed) return text[i++];
    i = semicolon + 1;
    return kOpaque;
}

bool isSchemeSyntax(std::u32string_view scheme) {
    if (scheme.empty()) return false;
    auto isAlpha = [](char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (!isAlpha(scheme[0])) return false;
    for (char32_t c : scheme) {
        bool ok = isAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
        if (!ok) return false;
    }
    return true;
}

bool isAllowedScheme(std::u32string_view scheme) {
    std::string lowered;
    for (char32_t c : scheme) lowered += static_cast<char>(c | 0x20);
    // A dot makes it a host with a port ("www.host.com:8080"), which no
    // browser runs as script.
    return lowered == "http" || lowered == "https" || lowered == "ftp" ||
           lowered.find('.') != std::string::npos;
}

}  // namespace

bool isAllowedAddress(std::string_view address) {
    std::u32string scheme;
    for (std::size_t i = 0; i < address.size();) {
        unsigned char byte = static_cast<unsigned char>(address[i]);
        char32_t c = byte == '&' ? decodeReference(address, i) : (++i, byte >= 0x80 ? kOpaque : byte);
        if (c <= 0x20 || c == 0x7F) continue;  // browsers drop or skip these
        if (c == ':') return !isSchemeSyntax(scheme) || isAllowedScheme(scheme);
        if (c == '/' || c == '?' || c == '#') return true;  // a path first: no scheme
        scheme += c;
    }
    return true;
}

}  // namespace markup
