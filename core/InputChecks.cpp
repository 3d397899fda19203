// Checks applied to request values before they reach SQL text or a decision.
#include <algorithm>
#include <string>

#include "core/InputChecks.h"
#include "core/Settings.h"
#include "platform/Charset.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Strings.h"

namespace core {

using platform::Variant;

Variant SqlQuote(const Variant& value) {
    return Variant(platform::Replace(platform::CStr(value), "'", "''"));
}

bool IsPositiveNumber(const Variant& value) {
    if (!platform::IsNumeric(value)) return false;
    try {
        return platform::CLng(value) > 0;
    } catch (const platform::RuntimeError&) {
        return false;  // outside the 32-bit range
    }
}

std::int16_t RequestedPage(const Variant& value, std::int16_t pageCount) {
    if (!IsPositiveNumber(value)) return 1;
    return static_cast<std::int16_t>(std::min<std::int32_t>(platform::CLng(value), pageCount));
}

namespace {

bool isAsciiDigitOrLetter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z');
}

// ASCII: digits and letters only; beyond ASCII: whatever the code page writes
// as a double-byte character (Chinese names). Characters it cannot write, or
// writes as one byte (the euro sign), are refused.
bool isUserNameCharacter(char32_t c) {
    if (c < 0x80) return isAsciiDigitOrLetter(c);
    if (!platform::IsRepresentableInGbk(c)) return false;
    std::string utf8;
    platform::AppendUtf8(utf8, c);
    return platform::Utf8ToGbk(utf8).size() == 2;
}

// True when `item` equals one comma-separated entry of `list` exactly.
bool hasEntry(const std::string& list, const std::string& item) {
    for (const std::string& entry : platform::Split(list, ",")) {
        if (entry == item) return true;
    }
    return false;
}

}  // namespace

bool IsValidUserName(std::string& name, const Variant& maxLen) {
    name = platform::Trim(name);
    if (name.empty()) return false;
    if (!(maxLen == Variant(0)) &&
        static_cast<double>(platform::Len(name)) > platform::CDbl(maxLen)) {
        return false;
    }
    std::size_t i = 0;
    while (i < name.size()) {
        if (!isUserNameCharacter(platform::DecodeUtf8(name, i))) return false;
    }
    return true;
}

bool IsIPAllowed(const std::string& ip) {
    const std::string& rejected = CurrentSettings().RejectiveIP;
    return rejected.empty() || !hasEntry(rejected, ip);
}

bool IsInList(const std::string& list, const std::string& item) {
    return !list.empty() && hasEntry(list, item);
}

}  // namespace core
