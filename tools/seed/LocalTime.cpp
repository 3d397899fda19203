#include "tools/seed/LocalTime.h"

#include <cstdio>
#include <ctime>

namespace boardseed {
namespace {

std::tm Local(Seconds t) {
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return tm;
}

}  // namespace

std::string LocalTimeText(Seconds t) {
    const std::tm tm = Local(t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1,
                  tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

std::string LocalDateText(Seconds t) {
    const std::tm tm = Local(t);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d 00:00:00", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    return buf;
}

Seconds StartOfDay(Seconds t) {
    std::tm tm = Local(t);
    tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
    tm.tm_isdst = -1;
    return static_cast<Seconds>(std::mktime(&tm));
}

}  // namespace boardseed
