#include "platform/DateTime.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace platform {

namespace {

constexpr long long kSecondsPerDay = 86400;
// Days from 1899-12-30 (serial 0) to 1970-01-01.
constexpr long long kSerialOfUnixEpoch = 25569;

long long floorDiv(long long a, long long b) {
    long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Civil date <-> days since 1970-01-01, proleptic Gregorian calendar.
long long daysFromCivil(long long y, int m, int d) {
    y -= m <= 2;
    long long era = floorDiv(y, 400);
    long long yoe = y - era * 400;
    long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d) {
    z += 719468;
    long long era = floorDiv(z, 146097);
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// The moment as whole seconds since serial 0; boundaries are counted on
// these so that floating-point noise never moves a time across one.
long long wholeSeconds(DateTime d) { return std::llround(d.serial * kSecondsPerDay); }

DateTime fromWholeSeconds(long long seconds) {
    return DateTime{static_cast<double>(seconds) / kSecondsPerDay};
}

// Reads 1 to `maxDigits` decimal digits at `pos`.
bool readNumber(std::string_view s, std::size_t& pos, int maxDigits, int& value) {
    int count = 0;
    value = 0;
    while (pos < s.size() && count < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++count;
    }
    return count > 0;
}

bool readExactDigits(std::string_view s, std::size_t& pos, int digits, int& value) {
    std::size_t start = pos;
    return readNumber(s, pos, digits, value) && pos - start == static_cast<std::size_t>(digits);
}

bool skipChar(std::string_view s, std::size_t& pos, char c) {
    if (pos < s.size() && s[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

}  // namespace

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second) {
    // Months beyond 1..12 carry into the year, days beyond the month into the
    // next months, as a date built from parts does.
    long long monthIndex = static_cast<long long>(year) * 12 + (month - 1);
    long long y = floorDiv(monthIndex, 12);
    int m = static_cast<int>(monthIndex - y * 12) + 1;
    long long days = daysFromCivil(y, m, 1) + (day - 1) + kSerialOfUnixEpoch;
    long long seconds = days * kSecondsPerDay + hour * 3600LL + minute * 60LL + second;
    return fromWholeSeconds(seconds);
}

bool IsDateSerialInRange(double serial) {
    // Serial -657434 is 100-01-01 00:00:00; 2958466 is 10000-01-01.
    constexpr double kFirst = -657434.0 * kSecondsPerDay, kEnd = 2958466.0 * kSecondsPerDay;
    const double seconds = std::round(serial * kSecondsPerDay);  // as wholeSeconds rounds
    return seconds >= kFirst && seconds < kEnd;  // false for NaN
}

namespace {

std::atomic<bool> clockSet{false};
std::atomic<double> setTime{0};

}  // namespace

void SetClock(std::optional<DateTime> now) {
    if (now) setTime.store(now->serial);
    clockSet.store(now.has_value());
}

DateTime Now() {
    if (clockSet.load(std::memory_order_relaxed)) return DateTime{setTime.load()};
    // localtime_r takes the C library's time-zone lock, which the page threads
    // would contend for several times a page; within one second the answer
    // is the same.
    thread_local std::time_t lastSecond = -1;
    thread_local DateTime lastNow{};
    const std::time_t now = std::time(nullptr);
    if (now == lastSecond) return lastNow;
    std::tm local{};
    localtime_r(&now, &local);
    lastNow = MakeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                           local.tm_sec);
    lastSecond = now;
    return lastNow;
}

DateParts Parts(DateTime d) {
    long long seconds = wholeSeconds(d);
    long long days = floorDiv(seconds, kSecondsPerDay);
    long long ofDay = seconds - days * kSecondsPerDay;
    DateParts p{};
    civilFromDays(days - kSerialOfUnixEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(ofDay / 3600);
    p.minute = static_cast<int>(ofDay / 60 % 60);
    p.second = static_cast<int>(ofDay % 60);
    return p;
}

namespace {

// Three numbers zero-padded to their widths around two separators, as
// "%0*d%c%0*d%c%0*d" would write them; pages write dates by the hundred,
// and the general printf costs more than the rest of the date.
std::string ThreeNumbers(int a, int widthA, char separator, int b, int c) {
    const auto fits = [](int v, int width) { return v >= 0 && v < (width == 4 ? 10000 : 100); };
    if (!fits(a, widthA) || !fits(b, 2) || !fits(c, 2)) {
        char buf[48];
        std::snprintf(buf, sizeof buf, "%0*d%c%02d%c%02d", widthA, a, separator, b, separator, c);
        return buf;
    }
    std::string out(static_cast<std::size_t>(widthA) + 6, separator);
    for (int i = widthA - 1; i >= 0; --i, a /= 10) out[static_cast<std::size_t>(i)] = static_cast<char>('0' + a % 10);
    const auto two = [&](std::size_t at, int v) {
        out[at] = static_cast<char>('0' + v / 10);
        out[at + 1] = static_cast<char>('0' + v % 10);
    };
    two(static_cast<std::size_t>(widthA) + 1, b);
    two(static_cast<std::size_t>(widthA) + 4, c);
    return out;
}

}  // namespace

std::string FormatDate(DateTime d) {
    const DateParts p = Parts(d);
    return ThreeNumbers(p.year, 4, '-', p.month, p.day);
}

std::string FormatTime(DateTime d) {
    const DateParts p = Parts(d);
    return ThreeNumbers(p.hour, 2, ':', p.minute, p.second);
}

std::string FormatGeneral(DateTime d) { return FormatDate(d) + " " + FormatTime(d); }

std::string FormatLongDate(DateTime d) {
    DateParts p = Parts(d);
    return std::to_string(p.year) + "年" + std::to_string(p.month) + "月" + std::to_string(p.day) + "日";
}

std::optional<DateTime> ParseDateTime(std::string_view text) {
    std::string_view s = text;
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);

    std::size_t pos = 0;
    int year, month, day, hour = 0, minute = 0, second = 0;
    if (!readExactDigits(s, pos, 4, year)) return std::nullopt;
    if (pos >= s.size() || (s[pos] != '-' && s[pos] != '/')) return std::nullopt;
    char separator = s[pos++];
    if (!readNumber(s, pos, 2, month) || !skipChar(s, pos, separator) ||
        !readNumber(s, pos, 2, day))
        return std::nullopt;
    if (pos < s.size()) {
        if (!skipChar(s, pos, ' ')) return std::nullopt;
        while (skipChar(s, pos, ' ')) {
        }
        if (!readNumber(s, pos, 2, hour) || !skipChar(s, pos, ':') ||
            !readNumber(s, pos, 2, minute))
            return std::nullopt;
        if (skipChar(s, pos, ':') && !readNumber(s, pos, 2, second)) return std::nullopt;
        if (pos != s.size()) return std::nullopt;
    }
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) ||
        hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return MakeDateTime(year, month, day, hour, minute, second);
}

bool IsDate(const Variant& v) {
    if (v.isDate()) return true;
    if (v.isString()) return ParseDateTime(v.rawString()).has_value();
    return false;
}

long long SecondsBetween(DateTime a, DateTime b) { return wholeSeconds(b) - wholeSeconds(a); }

long long MinutesBetween(DateTime a, DateTime b) {
    return floorDiv(wholeSeconds(b), 60) - floorDiv(wholeSeconds(a), 60);
}

long long DaysBetween(DateTime a, DateTime b) {
    return floorDiv(wholeSeconds(b), kSecondsPerDay) - floorDiv(wholeSeconds(a), kSecondsPerDay);
}

DateTime AddDays(DateTime d, double days) { return DateTime{d.serial + days}; }

DateTime AddSeconds(DateTime d, long long seconds) {
    return fromWholeSeconds(wholeSeconds(d) + seconds);
}

std::string HeaderDate(std::time_t when, HeaderZone zone) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    if (zone == HeaderZone::Gmt)
        gmtime_r(&when, &t);
    else
        localtime_r(&when, &t);
    char zoneText[8] = "GMT";
    if (zone == HeaderZone::LocalWithOffset) {
        const long offset = t.tm_gmtoff / 60;
        const long absOffset = offset < 0 ? -offset : offset;
        std::snprintf(zoneText, sizeof zoneText, "%c%02ld%02ld", offset < 0 ? '-' : '+',
                      absOffset / 60 % 100, absOffset % 60);
    }
    char text[48];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %s", kDays[t.tm_wday],
                  t.tm_mday, kMonths[t.tm_mon], t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec,
                  zoneText);
    return text;
}

}  // namespace platform
