// The online-visitor list: one application-wide table of visitors (fields
// by rows 0..MaxUser), refreshed by every page of the public board. The whole
// read-change-store runs under the application lock, so two requests at
// once cannot lose each other's update.
#include <algorithm>

#include "core/Settings.h"
#include "core/Tarnbell.h"
#include "platform/Application.h"
#include "platform/Convert.h"
#include "platform/DateTime.h"
#include "platform/Error.h"

namespace core {

namespace {

enum Field : std::size_t { VisitorName, VisitorIP, VisitStart, LastRequestTime, LastScanTime, VisitorActivity };
constexpr std::size_t kFieldCount = 6;
const char* const kGuest = "GUEST ";

class ApplicationLock {
public:
    explicit ApplicationLock(platform::Application& app) : app_(app) { app_.Lock(); }
    ~ApplicationLock() { app_.UnLock(); }
    ApplicationLock(const ApplicationLock&) = delete;
    ApplicationLock& operator=(const ApplicationLock&) = delete;

private:
    platform::Application& app_;
};

platform::VariantArray FreshList(std::size_t rows) {
    return platform::VariantArray(kFieldCount, rows, platform::Variant(""));
}

bool IsFree(const platform::VariantArray& list, std::size_t row) {
    return list.at(VisitorIP, row).str().empty();
}

void ClearRow(platform::VariantArray& list, std::size_t row) {
    for (std::size_t f = 0; f < kFieldCount; ++f) list.at(f, row) = platform::Variant("");
}

struct Counts {
    std::int16_t online = 0;
    std::int16_t guests = 0;
};

void PublishCounts(platform::Application& app, const Counts& counts) {
    app.Set("OnlineCount", platform::Variant::integer(counts.online));
    app.Set("GuestCount", platform::Variant::integer(counts.guests));
}

}  // namespace

std::string Tarnbell::UpdateOnline(const std::string& ip, const std::string& location,
                                   const std::string& member) {
    platform::Application& app = Application();
    const std::size_t rows = static_cast<std::size_t>(std::max<int>(CurrentSettings().MaxUser + 1, 0));
    std::string result;
    Counts counts;

    ApplicationLock lock(app);
    try {
        // Changed where it is kept: the list is read and written by every page.
        app.Update("Online", [&](platform::Variant& stored) {
            if (stored.isEmpty()) stored = platform::Variant(FreshList(rows));
            platform::VariantArray& list = stored.array();

            const std::string& name = member;
            const bool guest = name.empty();

            bool matched = false;
            for (std::size_t row = 0; row < rows; ++row) {
                if (IsFree(list, row)) continue;
                if (!matched) {
                    const bool sameIP = list.at(VisitorIP, row).str() == ip;
                    if (guest ? sameIP : sameIP || list.at(VisitorName, row).str() == name) {
                        if (!guest) {
                            if (sameIP)
                                list.at(VisitorName, row) = platform::Variant(name);
                            else
                                list.at(VisitorIP, row) = platform::Variant(ip);
                        }
                        list.at(LastRequestTime, row) = platform::Now();
                        list.at(VisitorActivity, row) = platform::Variant(location);
                        result = list.at(VisitorName, row).str();
                        matched = true;
                    }
                }
                list.at(LastScanTime, row) = platform::Now();
            }

            const std::int16_t onlineTime = CurrentSettings().OnlineTime;
            for (std::size_t row = 0; row < rows; ++row) {
                if (IsFree(list, row)) continue;
                const long long idle = platform::MinutesBetween(platform::CDate(list.at(LastRequestTime, row)),
                                                                platform::CDate(list.at(LastScanTime, row)));
                if (idle >= onlineTime || idle < 0) {
                    ClearRow(list, row);
                    continue;
                }
                ++counts.online;
                if (list.at(VisitorName, row).str() == kGuest) ++counts.guests;
            }

            if (!matched) {
                for (std::size_t row = 0; row < rows; ++row) {
                    if (!IsFree(list, row)) continue;
                    const std::string visitor = guest ? kGuest : name;
                    if (guest) ++counts.guests;
                    ++counts.online;
                    result = visitor;
                    const platform::Variant now = platform::Now();
                    list.at(VisitorName, row) = platform::Variant(visitor);
                    list.at(VisitorIP, row) = platform::Variant(ip);
                    list.at(VisitStart, row) = now;
                    list.at(LastRequestTime, row) = now;
                    list.at(LastScanTime, row) = now;
                    list.at(VisitorActivity, row) = platform::Variant(location);
                    break;
                }
            }
        });
        PublishCounts(app, counts);
    } catch (const platform::RuntimeError&) {
        // A stored list that does not fit (MaxUser changed, not a list, a
        // cell that is no date) is replaced by an empty one.
        app.Set("Online", platform::Variant(FreshList(rows)));
        PublishCounts(app, counts);
    }
    return result;
}

}  // namespace core
