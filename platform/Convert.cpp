#include "platform/Convert.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/DateTime.h"
#include "platform/Error.h"

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

int digitValue(char c, int base) {
    int v = -1;
    if (isDigit(c)) v = c - '0';
    else if (upper(c) >= 'A' && upper(c) <= 'F') v = upper(c) - 'A' + 10;
    return v < base ? v : -1;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "&H1F" / "&O17" (the prefix already checked): every remaining character
// must be a digit of the base.
std::optional<double> readPrefixedNumber(std::string_view digits, int base) {
    if (digits.empty()) return std::nullopt;
    double value = 0;
    for (char c : digits) {
        int d = digitValue(c, base);
        if (d < 0) return std::nullopt;
        value = value * base + d;
    }
    return value;
}

// The number a whole text stands for, or nothing when it is not numeric:
// blanks around, a leading sign, digits with "," thousands separators, one
// decimal point, an exponent; or a "&H"/"&O" number.
std::optional<double> readNumericText(std::string_view text) {
    std::string_view s = trimBlanks(text);
    if (s.size() >= 2 && s[0] == '&') {
        char kind = upper(s[1]);
        if (kind == 'H') return readPrefixedNumber(s.substr(2), 16);
        if (kind == 'O') return readPrefixedNumber(s.substr(2), 8);
        return std::nullopt;
    }
    std::string plain;  // the text without separators, for strtod
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
    bool digits = false;
    for (; i < s.size(); ++i) {
        if (isDigit(s[i])) {
            plain += s[i];
            digits = true;
        } else if (s[i] == ',' && digits && plain.back() != ',') {
            plain += ',';  // marks the separator's place; removed below
        } else {
            break;
        }
    }
    std::erase(plain, ',');
    if (i < s.size() && s[i] == '.') {
        plain += s[i++];
        for (; i < s.size() && isDigit(s[i]); ++i) {
            plain += s[i];
            digits = true;
        }
    }
    if (!digits) return std::nullopt;
    if (i < s.size() && upper(s[i]) == 'E') {
        plain += s[i++];
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
        bool exponentDigits = false;
        for (; i < s.size() && isDigit(s[i]); ++i) {
            plain += s[i];
            exponentDigits = true;
        }
        if (!exponentDigits) return std::nullopt;
    }
    if (i != s.size()) return std::nullopt;
    errno = 0;
    double value = std::strtod(plain.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(value)) raise(kErrOverflow);
    return value;
}

// The number behind a value for the integer conversions.
double numberOf(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Empty: return 0;
        case Variant::Type::Null: raise(kErrInvalidUseOfNull);
        case Variant::Type::Boolean: return v.rawBool() ? -1 : 0;
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::Byte: return v.rawInt();
        case Variant::Type::Double:
        case Variant::Type::Date: return v.rawDouble();
        case Variant::Type::String: {
            auto n = readNumericText(v.rawString());
            if (!n) raise(kErrTypeMismatch);
            return *n;
        }
        case Variant::Type::Array: break;
    }
    raise(kErrTypeMismatch);
}

double roundedInRange(const Variant& v, double low, double high) {
    double r = RoundHalfEven(numberOf(v));
    if (!(r >= low && r <= high)) raise(kErrOverflow);
    return r;
}

}  // namespace

double RoundHalfEven(double x) {
    double whole = std::floor(x);
    double fraction = x - whole;
    if (fraction > 0.5) return whole + 1;
    if (fraction < 0.5) return whole;
    return std::fmod(whole, 2) == 0 ? whole : whole + 1;
}

std::int16_t CInt(const Variant& v) {
    return static_cast<std::int16_t>(roundedInRange(v, -32768, 32767));
}

std::int32_t CLng(const Variant& v) {
    return static_cast<std::int32_t>(roundedInRange(v, -2147483648.0, 2147483647.0));
}

std::uint8_t CByte(const Variant& v) {
    return static_cast<std::uint8_t>(roundedInRange(v, 0, 255));
}

double CDbl(const Variant& v) { return numberOf(v); }

bool CBool(const Variant& v) {
    if (v.isString()) {
        std::string_view s = trimBlanks(v.rawString());
        std::string word;
        for (char c : s) word += upper(c);
        if (word == "TRUE") return true;
        if (word == "FALSE") return false;
    }
    return numberOf(v) != 0;
}

std::string NumberText(double d) {
    if (d == 0) return "0";  // also -0
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    return buf;
}

// A date always writes the full "yyyy-mm-dd hh:nn:ss", even at midnight: the
// text goes into cookies and the database, where stored times are compared
// as text and must all have the same shape.
std::string CStr(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Empty: return {};
        case Variant::Type::Null: raise(kErrInvalidUseOfNull);
        case Variant::Type::Boolean: return v.rawBool() ? "True" : "False";
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::Byte: return std::to_string(v.rawInt());
        case Variant::Type::Double: return NumberText(v.rawDouble());
        case Variant::Type::Date: return FormatGeneral(v.rawDate());
        case Variant::Type::String: return v.rawString();
        case Variant::Type::Array: break;
    }
    raise(kErrTypeMismatch);
}

DateTime CDate(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Date: return v.rawDate();
        case Variant::Type::String: {
            auto d = ParseDateTime(v.rawString());
            if (!d) raise(kErrTypeMismatch);
            return *d;
        }
        default: {
            // Serials of the years 100 to 9999 only, counted on the whole
            // second the date stands for: a serial just below 10000-01-01
            // would round up to a year that no date text can hold.
            const double serial = numberOf(v);
            if (!IsDateSerialInRange(serial)) raise(kErrOverflow);
            return DateTime{serial};
        }
    }
}

bool IsNumericText(std::string_view s) {
    try {
        return readNumericText(s).has_value();
    } catch (const RuntimeError&) {
        return false;  // beyond the range of a Double: cannot be converted
    }
}

bool IsNumeric(const Variant& v) {
    switch (v.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Boolean:
        case Variant::Type::Integer:
        case Variant::Type::Long:
        case Variant::Type::Byte:
        case Variant::Type::Double: return true;
        case Variant::Type::String: return IsNumericText(v.rawString());
        default: return false;
    }
}

namespace {

// Reads characters of `s` one by one, skipping blanks, tabs and line feeds.
class SkippingReader {
public:
    explicit SkippingReader(std::string_view s) : s_(s) { skip(); }
    bool atEnd() const { return pos_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[pos_]; }
    void next() {
        ++pos_;
        skip();
    }

private:
    void skip() {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n')) ++pos_;
    }
    std::string_view s_;
    std::size_t pos_ = 0;
};

double readPrefixedLeading(SkippingReader& in, int base) {
    double value = 0;
    for (int d; (d = digitValue(in.peek(), base)) >= 0; in.next()) value = value * base + d;
    return value;
}

}  // namespace

double Val(std::string_view s) {
    SkippingReader in(s);
    if (in.peek() == '&') {
        in.next();
        char kind = upper(in.peek());
        if (kind != 'H' && kind != 'O') return 0;
        in.next();
        return readPrefixedLeading(in, kind == 'H' ? 16 : 8);
    }
    std::string plain;
    if (in.peek() == '+' || in.peek() == '-') {
        plain += in.peek();
        in.next();
    }
    bool digits = false;
    for (; isDigit(in.peek()); in.next()) {
        plain += in.peek();
        digits = true;
    }
    if (in.peek() == '.') {
        plain += '.';
        in.next();
        for (; isDigit(in.peek()); in.next()) {
            plain += in.peek();
            digits = true;
        }
    }
    if (!digits) return 0;
    if (upper(in.peek()) == 'E') {
        std::string exponent = "E";
        in.next();
        if (in.peek() == '+' || in.peek() == '-') {
            exponent += in.peek();
            in.next();
        }
        bool exponentDigits = false;
        for (; isDigit(in.peek()); in.next()) {
            exponent += in.peek();
            exponentDigits = true;
        }
        if (exponentDigits) plain += exponent;
    }
    errno = 0;
    double value = std::strtod(plain.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(value)) raise(kErrOverflow);
    return value;
}

}  // namespace platform
