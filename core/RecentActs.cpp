#include "core/RecentActs.h"

#include "platform/AddressKey.h"
#include "platform/Application.h"
#include "platform/DateTime.h"

namespace core {

namespace {

enum Column : std::size_t { kWho, kWhen, kWindow, kColumns };

}  // namespace

Act AddressAct(std::string_view address, long windowSeconds, std::size_t perWindow) {
    return {"address:" + platform::AddressLimitKey(address), windowSeconds, perWindow};
}

ActAnswer MayActNow(platform::Application& app, const ActTable& table, const std::vector<Act>& acts) {
    std::vector<const Act*> limited;
    for (const Act& act : acts)
        if (act.windowSeconds >= 0) limited.push_back(&act);
    if (limited.empty()) return {ActAnswer::Recorded};

    ActAnswer answer{ActAnswer::Recorded};
    // In place: the table is read and changed as one step.
    app.Update(table.name, [&](platform::Variant& stored) {
        if (!stored.isArray() || stored.array().size2() != table.capacity || stored.array().size1() != kColumns)
            stored = platform::Variant(platform::VariantArray(kColumns, table.capacity, platform::Variant("")));
        platform::VariantArray& rows = stored.array();
        const platform::DateTime now = platform::Now();
        // A row holds its who as a text, and when it holds one, a date and a
        // Long beside it.
        auto who = [&](std::size_t row) -> const std::string& { return rows.at(kWho, row).rawString(); };
        auto counts = [&](std::size_t row) {
            return !who(row).empty() &&
                   platform::SecondsBetween(rows.at(kWhen, row).rawDate(), now) <= rows.at(kWindow, row).rawInt();
        };

        std::vector<std::size_t> acted(limited.size(), 0);
        std::vector<std::size_t> unused;
        for (std::size_t r = 0; r < table.capacity; ++r) {
            if (!counts(r)) {
                unused.push_back(r);
                continue;
            }
            for (std::size_t a = 0; a < limited.size(); ++a)
                if (limited[a]->who == who(r)) ++acted[a];
        }
        for (std::size_t a = 0; a < limited.size(); ++a) {
            if (acted[a] >= limited[a]->perWindow) {
                answer = {ActAnswer::OverLimit, static_cast<std::size_t>(limited[a] - acts.data())};
                return;
            }
        }
        if (unused.size() < limited.size()) {
            answer = {ActAnswer::TableFull};
            return;
        }
        for (std::size_t a = 0; a < limited.size(); ++a) {
            rows.at(kWho, unused[a]) = platform::Variant(limited[a]->who);
            rows.at(kWhen, unused[a]) = platform::Variant(now);
            rows.at(kWindow, unused[a]) =
                platform::Variant::longValue(static_cast<std::int32_t>(limited[a]->windowSeconds));
        }
    });
    return answer;
}

}  // namespace core
