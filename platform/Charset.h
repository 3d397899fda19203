#pragma once
// Character sets and web encodings: text is UTF-8 inside, GBK on the wire.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// UTF-8 to GBK; a character with no GBK form becomes "&#NNNNN;".
std::string Utf8ToGbk(std::string_view utf8);
// The same, appended to `out`.
void AppendUtf8AsGbk(std::string_view utf8, std::string& out);
// GBK to UTF-8; an invalid byte sequence becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);
// Whether the character has a form in the code page (GBK).
bool IsRepresentableInGbk(char32_t c);

// As the web server's HTMLEncode: & < > " become entities; Chinese untouched.
std::string HtmlEncode(std::string_view s);
// `text` HTML-encoded between double quotes, for an attribute value.
std::string QuotedAttribute(std::string_view text);
// As the web server's URLEncode, on the GBK bytes: blank becomes "+", bytes
// other than ASCII letters and digits become %XX (upper-case hex).
std::string UrlEncode(std::string_view utf8);
// Decodes "+" and %XX to GBK bytes and returns them as UTF-8; what is
// neither GBK nor UTF-8 becomes U+FFFD, so the result is always valid UTF-8.
// Control characters but tab, line feed and carriage return are dropped:
// a NUL would end the text for SQLite's LIKE and search index, and no
// field a person types holds them.
std::string UrlDecode(std::string_view encoded);
// Decodes "+" and %XX and reads the bytes as UTF-8, as browsers send what is
// typed into the address bar: the text when the bytes are valid UTF-8 with
// at least one character beyond ASCII, else nothing.
std::optional<std::string> UrlDecodeUtf8(std::string_view encoded);

}  // namespace platform
