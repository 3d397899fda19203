#include "board/browse/SearchBounds.h"

#include <chrono>
#include <optional>
#include <string>

#include "core/Settings.h"
#include "platform/Connection.h"
#include "platform/Error.h"

namespace board {

namespace {

const char* const kTooBroad =
    "搜索的范围太大，未能及时完成。请使用更少或更长的关键词（每个至少两个字），"
    "或选择一个论坛、只搜索标题、缩短日期范围、指定发表者后再搜索！";

std::string TooManyAtOnce() {
    return "同一地址最多同时进行" + std::to_string(kSearchesPerAddress) + "个搜索，请等前面的搜索完成后再试！";
}

}  // namespace

core::RunningActs& RunningSearches() {
    static core::RunningActs searches(kSearchesPerAddress);
    return searches;
}

void RunBoundedSearch(core::Tarnbell& page, core::Page& p, const std::function<void()>& search) {
    const std::optional<core::RunningActs::Slot> slot =
        RunningSearches().TryStart(page.Request().ServerVariables("Remote_addr").str());
    if (!slot) p.Refuse(TooManyAtOnce());
    try {
        const platform::TimeBudget budget(p.Db(), std::chrono::milliseconds(core::CurrentSettings().SearchMilliseconds));
        search();
    } catch (const platform::TimeBudgetSpent&) {
        p.Refuse(kTooBroad);
    }
}

}  // namespace board
