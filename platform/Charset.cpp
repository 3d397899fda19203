#include "platform/Charset.h"

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

#include "platform/Error.h"
#include "platform/Strings.h"

namespace platform {

namespace {

// One iconv descriptor per thread and direction: descriptors carry state and
// may not be shared between threads. Opened on first use, closed at thread end.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            raise(kErrInvalidCall, NoConversionText(from, to));
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of `in` as possible, appending to `out`. Returns 0 when
    // all input was taken, otherwise the errno (EILSEQ or EINVAL) of the
    // sequence at the front of the remaining `in`.
    int Convert(std::string_view& in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        auto* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        for (;;) {
            const std::size_t used = out.size();
            out.resize(used + inLeft * 2 + 16);
            char* outPtr = out.data() + used;
            std::size_t outLeft = out.size() - used;
            const std::size_t r = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft);
            const int err = r == static_cast<std::size_t>(-1) ? errno : 0;
            out.resize(out.size() - outLeft);
            in = std::string_view(inPtr, inLeft);
            if (err != E2BIG) return err;
        }
    }

private:
    iconv_t cd_;
};

Converter& ToGbk() {
    thread_local Converter converter("GBK", "UTF-8");
    return converter;
}

Converter& FromGbk() {
    thread_local Converter converter("UTF-8", "GBK");
    return converter;
}

// End of the run of ASCII bytes starting at `i`, eight bytes at a time.
std::size_t AsciiRunEnd(std::string_view s, std::size_t i) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    for (std::uint64_t word; i + 8 <= s.size(); i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (word & kHighBits) break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

bool IsAscii(std::string_view s) { return AsciiRunEnd(s, 0) == s.size(); }

bool IsAsciiAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Skipped after a GBK decoding error: a lead byte with a non-ASCII trail byte
// is one bad character; otherwise only the byte itself, so a following ASCII
// character survives.
std::size_t BadGbkLength(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    if (s.size() >= 2 && lead >= 0x81 && lead <= 0xFE) {
        const auto trail = static_cast<unsigned char>(s[1]);
        if (trail >= 0x80 && trail <= 0xFE) return 2;
    }
    return 1;
}

// Offset of the next of & < > " from `i`, or the end; messages are long
// and hold few, so the text is passed eight bytes at a time.
std::size_t NextHtmlSpecial(std::string_view s, std::size_t i) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kHighBits = 0x8080808080808080ULL;
    const auto holds = [](std::uint64_t word, char c) {
        const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
        return ((x - kOnes) & ~x & kHighBits) != 0;  // some byte of x is zero
    };
    for (std::uint64_t word; i + 8 <= s.size(); i += 8) {
        std::memcpy(&word, s.data() + i, 8);
        if (holds(word, '&') || holds(word, '<') || holds(word, '>') || holds(word, '"')) break;
    }
    while (i < s.size() && s[i] != '&' && s[i] != '<' && s[i] != '>' && s[i] != '"') ++i;
    return i;
}

// Offset of the next ASCII byte from `i`, or the end.
std::size_t AsciiRunStart(std::string_view s, std::size_t i) {
    while (i < s.size() && static_cast<unsigned char>(s[i]) >= 0x80) ++i;
    return i;
}

// Through iconv, for text the table below does not cover.
void AppendGbkThroughIconv(std::string_view utf8, std::string& out) {
    while (!utf8.empty() && ToGbk().Convert(utf8, out) != 0) {
        // No GBK form (or malformed UTF-8): write a numeric character
        // reference, which browsers show as the character.
        std::size_t n = 0;
        const char32_t c = DecodeUtf8(utf8, n);
        out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
        utf8.remove_prefix(n);
    }
}

// The GBK form of each character of the Basic Multilingual Plane, asked of
// iconv once per character and kept: a page is mostly Chinese text, which
// iconv converts several times slower than a table look-up. An entry is 0
// while not asked yet, kNoGbk for a character without a GBK form, a byte
// value below 0x100 for a one-byte form, else the two bytes, first high (a
// first byte is at least 0x81).
constexpr std::uint16_t kNoGbk = 0xFFFF;  // 0xFF is never a GBK byte
std::atomic<std::uint16_t> gbkOfBmp[0x10000];

std::uint16_t GbkOf(char32_t c) {
    std::atomic<std::uint16_t>& entry = gbkOfBmp[c];
    std::uint16_t known = entry.load(std::memory_order_relaxed);
    if (known != 0) return known;
    std::string utf8, gbk;
    AppendUtf8(utf8, c);
    std::string_view in = utf8;
    known = kNoGbk;
    if (ToGbk().Convert(in, gbk) == 0 && (gbk.size() == 1 || gbk.size() == 2)) {
        known = 0;
        for (char b : gbk) known = static_cast<std::uint16_t>(known << 8 | static_cast<unsigned char>(b));
    }
    entry.store(known, std::memory_order_relaxed);
    return known;
}

// Decodes a well-formed two- or three-byte sequence at `i` (a character of
// the Basic Multilingual Plane other than a surrogate); 0 for anything else.
std::size_t DecodeBmp(std::string_view s, std::size_t i, char32_t& c) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (i + 2 > s.size() || (at(1) & 0xC0) != 0x80) return 0;
        c = (static_cast<char32_t>(b0 & 0x1F) << 6) | (at(1) & 0x3F);
        return 2;
    }
    if (b0 < 0xE0 || b0 > 0xEF || i + 3 > s.size()) return 0;
    const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80, hi = b0 == 0xED ? 0x9F : 0xBF;
    if (at(1) < lo || at(1) > hi || (at(2) & 0xC0) != 0x80) return 0;
    c = (static_cast<char32_t>(b0 & 0x0F) << 12) | (static_cast<char32_t>(at(1) & 0x3F) << 6) | (at(2) & 0x3F);
    return 3;
}

// Drops the control characters of valid UTF-8 text but tab, line feed and
// carriage return: C0 (a NUL among them), DEL and C1.
void DropControlCharacters(std::string& text) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\r') || b == 0x7F) continue;
        if (b == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            ++i;
            continue;
        }
        text[kept++] = text[i];
    }
    text.resize(kept);
}

}  // namespace

void AppendUtf8AsGbk(std::string_view utf8, std::string& out) {
    // Written in place into room as long as the input: a character's GBK
    // form is never longer than its UTF-8 one. Only references and iconv's
    // output go through appending.
    std::size_t w = out.size();  // bytes written
    out.resize(w + utf8.size());
    const auto appendOther = [&](auto append, std::size_t rest) {
        out.resize(w);
        append();
        w = out.size();
        out.resize(w + rest);
    };
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t ascii = i;
        i = AsciiRunEnd(utf8, i);
        std::memcpy(out.data() + w, utf8.data() + ascii, i - ascii);
        w += i - ascii;
        while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) >= 0x80) {
            char32_t c = 0;
            const std::size_t n = DecodeBmp(utf8, i, c);
            if (n == 0) {
                // Beyond the plane or malformed: iconv takes the rest of
                // the run, as far as the next ASCII byte.
                const std::size_t end = AsciiRunStart(utf8, i);
                appendOther([&] { AppendGbkThroughIconv(utf8.substr(i, end - i), out); }, utf8.size() - end);
                i = end;
                break;
            }
            const std::uint16_t gbk = GbkOf(c);
            if (gbk == kNoGbk) {
                appendOther([&] { out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";"; },
                            utf8.size() - i - n);
            } else if (gbk < 0x100) {
                out[w++] = static_cast<char>(gbk);
            } else {
                out[w++] = static_cast<char>(gbk >> 8);
                out[w++] = static_cast<char>(gbk & 0xFF);
            }
            i += n;
        }
    }
    out.resize(w);
}

std::string Utf8ToGbk(std::string_view utf8) {
    std::string out;
    AppendUtf8AsGbk(utf8, out);
    return out;
}

std::string GbkToUtf8(std::string_view gbk) {
    if (IsAscii(gbk)) return std::string(gbk);
    std::string out;
    out.reserve(gbk.size() * 3 / 2);
    std::string_view rest = gbk;
    while (FromGbk().Convert(rest, out) != 0) {
        AppendUtf8(out, U'\uFFFD');
        rest.remove_prefix(BadGbkLength(rest));
    }
    return out;
}

bool IsRepresentableInGbk(char32_t c) {
    if (c < 0x80) return true;
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    std::string utf8;
    AppendUtf8(utf8, c);
    std::string_view in = utf8;
    std::string out;
    return ToGbk().Convert(in, out) == 0;
}

std::string HtmlEncode(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    std::size_t plain = 0;  // start of the text not yet copied
    for (std::size_t i = 0; i < s.size();) {
        i = NextHtmlSpecial(s, i);
        if (i == s.size()) break;
        const char* entity;
        switch (s[i]) {
            case '&': entity = "&amp;"; break;
            case '<': entity = "&lt;"; break;
            case '>': entity = "&gt;"; break;
            default: entity = "&quot;"; break;
        }
        out.append(s, plain, i - plain);
        out += entity;
        plain = ++i;
    }
    out.append(s, plain);
    return out;
}

std::string QuotedAttribute(std::string_view text) {
    std::string quoted = "\"";
    quoted += HtmlEncode(text);
    quoted += '"';
    return quoted;
}

std::string UrlEncode(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string gbk = Utf8ToGbk(utf8);
    std::string out;
    out.reserve(gbk.size() * 3);
    for (char c : gbk) {
        const auto b = static_cast<unsigned char>(c);
        if (IsAsciiAlnum(b)) {
            out += c;
        } else if (b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

std::string UrlDecode(std::string_view encoded) {
    // Escaped bytes are GBK; a character written unescaped is already UTF-8
    // text and is kept as it stands, a byte that starts none as U+FFFD.
    std::string out;
    std::string gbk;
    for (std::size_t i = 0; i < encoded.size();) {
        const char c = encoded[i];
        if (c == '+') {
            gbk += ' ';
            ++i;
        } else if (c == '%' && i + 2 < encoded.size() &&
                   HexValue(encoded[i + 1]) >= 0 &&
                   HexValue(encoded[i + 2]) >= 0) {
            gbk += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 3;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            gbk += c;
            ++i;
        } else {
            out += GbkToUtf8(gbk);
            gbk.clear();
            AppendUtf8(out, DecodeUtf8(encoded, i));
        }
    }
    out += GbkToUtf8(gbk);
    DropControlCharacters(out);
    return out;
}

std::optional<std::string> UrlDecodeUtf8(std::string_view encoded) {
    std::string bytes;
    bool beyondAscii = false;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '+') {
            c = ' ';
        } else if (c == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0 &&
                   HexValue(encoded[i + 2]) >= 0) {
            c = static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 2;
        }
        beyondAscii = beyondAscii || static_cast<unsigned char>(c) >= 0x80;
        bytes += c;
    }
    if (!beyondAscii || !IsValidUtf8(bytes)) return std::nullopt;
    return bytes;
}

}  // namespace platform
