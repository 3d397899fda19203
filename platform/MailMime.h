#pragma once
// Building an Internet mail message: header encoding, base64 and the date
// and id headers. Text is UTF-8 in and charset bytes out.
#include <ctime>
#include <string>
#include <string_view>

namespace platform::mime {

// The text in the charset's bytes: the GB family goes through GBK, anything
// else stays UTF-8. False in `supported` for a charset we cannot write.
std::string EncodeText(std::string_view utf8, std::string_view charset, bool& supported);
bool IsSupportedCharset(std::string_view charset);

std::string Base64(std::string_view bytes);
// Base64 broken into lines of 76 characters, each ending in CRLF.
std::string Base64Lines(std::string_view bytes);

// A header value: left alone when it is short printable ASCII, otherwise
// encoded words ("=?charset?B?...?=") folded onto continuation lines, never
// splitting a character.
std::string EncodeHeaderText(std::string_view utf8, std::string_view charset);
// "<address>", as the envelope and headers write it.
std::string Angled(std::string_view address);
// "Name" <address>, or <address> when the name is empty.
std::string FormatMailbox(std::string_view name, std::string_view address,
                          std::string_view charset);

// "Tue, 03 Mar 2020 08:05:09 +0800" in local time.
std::string FormatDate(std::time_t when);
// "<random.time@domain>", the domain taken from the sender's address.
std::string NewMessageId(std::string_view fromAddress, std::time_t when);

}  // namespace platform::mime
