#pragma once
// Conversions with the scripting runtime's rules: integers round halves to
// the even neighbour, out of range is error 6, text that is not a number is
// error 13, Null is error 94.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Variant.h"

namespace platform {

std::int16_t CInt(const Variant& v);   // 16-bit Integer
std::int32_t CLng(const Variant& v);   // 32-bit Long
std::uint8_t CByte(const Variant& v);  // Byte
double CDbl(const Variant& v);
bool CBool(const Variant& v);          // numbers (0 is False) and "True"/"False" in any case
std::string CStr(const Variant& v);    // error 94 for Null; Empty gives ""
DateTime CDate(const Variant& v);      // dates, numbers as serials, texts that read as dates

// The numeric test: optional sign, digits with thousands separators, a
// decimal point, an exponent; blanks around are allowed; "" is not numeric.
bool IsNumeric(const Variant& v);
bool IsNumericText(std::string_view s);

// The leading-number reading: blanks, tabs and line feeds are skipped
// anywhere, reading stops at the first character that cannot continue the
// number, "&H" and "&O" read hexadecimal and octal, no number gives 0.
double Val(std::string_view s);

// Rounding half to even, as every integer conversion does.
double RoundHalfEven(double x);

// Number written as text: integers plainly, others with up to 15
// significant digits ("1.5", "0.1", "1E+20").
std::string NumberText(double d);

}  // namespace platform
