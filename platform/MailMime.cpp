#include "platform/MailMime.h"

#include <cctype>
#include <cstdio>
#include <random>

#include "platform/Charset.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"

namespace platform::mime {

namespace {

bool IsGbFamily(std::string_view charset) {
    return EqualsIgnoreCase(charset, "gb2312") || EqualsIgnoreCase(charset, "gbk") ||
           EqualsIgnoreCase(charset, "gb18030");
}

bool IsUtf8(std::string_view charset) {
    return charset.empty() || EqualsIgnoreCase(charset, "utf-8") ||
           EqualsIgnoreCase(charset, "utf8");
}

std::string CharsetLabel(std::string_view charset) {
    return charset.empty() ? std::string("utf-8") : std::string(charset);
}

bool IsPlainHeaderText(std::string_view s) {
    if (s.size() > 60 || s.find("=?") != std::string_view::npos) return false;
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7e) return false;
    return true;
}

// Raw bytes per encoded word: 45 bytes make 60 base64 characters, which with
// the "=?gb2312?B?" ... "?=" frame stays within the 75 a word may have.
constexpr std::size_t kWordBytes = 45;

}  // namespace

bool IsSupportedCharset(std::string_view charset) {
    return IsGbFamily(charset) || IsUtf8(charset);
}

std::string EncodeText(std::string_view utf8, std::string_view charset, bool& supported) {
    supported = IsSupportedCharset(charset);
    if (IsGbFamily(charset)) return Utf8ToGbk(utf8);
    return std::string(utf8);
}

std::string Base64(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(bytes[i]) << 16 |
                           static_cast<unsigned char>(bytes[i + 1]) << 8 |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += kDigits[(v >> 6) & 63];
        out += kDigits[v & 63];
    }
    if (i < bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kDigits[v >> 18];
        out += kDigits[(v >> 12) & 63];
        out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string Base64Lines(std::string_view bytes) {
    const std::string flat = Base64(bytes);
    std::string out;
    for (std::size_t i = 0; i < flat.size(); i += 76) {
        out.append(flat, i, 76);
        out += "\r\n";
    }
    return out;
}

std::string EncodeHeaderText(std::string_view utf8, std::string_view charset) {
    if (IsPlainHeaderText(utf8)) return std::string(utf8);
    const std::string label = CharsetLabel(charset);
    bool supported = true;
    std::string out;
    std::string word;
    auto flush = [&] {
        if (word.empty()) return;
        if (!out.empty()) out += "\r\n ";
        out += "=?" + label + "?B?" + Base64(word) + "?=";
        word.clear();
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t start = i;
        DecodeUtf8(utf8, i);
        const std::string bytes = EncodeText(utf8.substr(start, i - start), charset, supported);
        if (word.size() + bytes.size() > kWordBytes) flush();
        word += bytes;
    }
    flush();
    return out;
}

std::string Angled(std::string_view address) {
    std::string out(1, '<');
    out.append(address);
    out += '>';
    return out;
}

std::string FormatMailbox(std::string_view name, std::string_view address,
                          std::string_view charset) {
    const std::string angle = Angled(address);
    if (name.empty()) return angle;
    std::string phrase = EncodeHeaderText(name, charset);
    if (phrase == name) {  // plain ASCII: a quoted string
        phrase = "\"";
        for (char c : name) {
            if (c == '"' || c == '\\') phrase += '\\';
            phrase += c;
        }
        phrase += '"';
    }
    return phrase + " " + angle;
}

std::string FormatDate(std::time_t when) { return HeaderDate(when, HeaderZone::LocalWithOffset); }

std::string NewMessageId(std::string_view fromAddress, std::time_t when) {
    std::string domain = "localhost";
    const std::size_t at = fromAddress.rfind('@');
    if (at != std::string_view::npos && at + 1 < fromAddress.size()) {
        const std::string_view d = fromAddress.substr(at + 1);
        bool clean = true;
        for (unsigned char c : d)
            if (!(std::isalnum(c) || c == '.' || c == '-')) clean = false;
        if (clean) domain = std::string(d);
    }
    std::random_device random;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%08x%08x.%lld", random(), random(),
                  static_cast<long long>(when));
    return Angled(std::string(buf) + "@" + domain);
}

}  // namespace platform::mime
