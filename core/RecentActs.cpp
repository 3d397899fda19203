#include "core/RecentActs.h"

#include "platform/Application.h"
#include "platform/Convert.h"

namespace core {

namespace {

enum Column : std::size_t { kWho, kWhen, kColumns };

}  // namespace

bool MayActNow(platform::Application& app, const ActLimit& limit, const std::vector<std::string>& who,
               platform::DateTime now) {
    bool allowed = true;
    // In place: the table is read and changed as one step.
    app.Update(limit.table, [&](platform::Variant& stored) {
        if (!stored.isArray() || stored.array().size2() != limit.capacity || stored.array().size1() != kColumns)
            stored = platform::Variant(platform::VariantArray(kColumns, limit.capacity, platform::Variant("")));
        platform::VariantArray& table = stored.array();
        auto when = [&](std::size_t row) { return platform::CDate(table.at(kWhen, row)); };
        auto counts = [&](std::size_t row) {
            return !table.at(kWho, row).str().empty() &&
                   platform::SecondsBetween(when(row), now) <= limit.windowSeconds;
        };

        for (const std::string& one : who) {
            std::size_t acts = 0;
            for (std::size_t r = 0; r < limit.capacity; ++r)
                if (counts(r) && table.at(kWho, r).str() == one) ++acts;
            if (acts >= limit.perWindow) {
                allowed = false;
                return;
            }
        }
        // Each act takes a row that no longer counts, else the one longest ago.
        std::size_t from = 0;
        for (const std::string& one : who) {
            std::size_t row = limit.capacity;
            for (std::size_t r = from; r < limit.capacity && row == limit.capacity; ++r)
                if (!counts(r)) row = r;
            if (row == limit.capacity) {
                row = 0;
                for (std::size_t r = 1; r < limit.capacity; ++r)
                    if (when(r).serial < when(row).serial) row = r;
            } else {
                from = row + 1;
            }
            table.at(kWho, row) = platform::Variant(one);
            table.at(kWhen, row) = platform::Variant(now);
        }
    });
    return allowed;
}

}  // namespace core
