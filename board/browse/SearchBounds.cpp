#include "board/browse/SearchBounds.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "core/Settings.h"
#include "platform/AddressKey.h"
#include "platform/Connection.h"
#include "platform/Error.h"

namespace board {

namespace {

const char* const kTooBroad =
    "搜索的范围太大，未能及时完成。请使用更少或更长的关键词（每个至少两个字），"
    "或选择一个论坛、只搜索标题、缩短日期范围、指定发表者后再搜索！";
const char* const kBoardBusy = "论坛正忙于其他搜索，请稍后再搜索！";

std::string TooManyAtOnce() {
    return "同一地址最多同时进行" + std::to_string(kSearchesPerAddress) + "个搜索，请等前面的搜索完成后再试！";
}

}  // namespace

core::RunningActs& RunningSearches() {
    static core::RunningActs searches(kSearchesPerAddress,
                                      std::max<std::size_t>(2, std::thread::hardware_concurrency() / 4));
    return searches;
}

void RunBoundedSearch(core::Tarnbell& page, core::Page& p, const std::function<void()>& search) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(core::CurrentSettings().SearchMilliseconds);
    const core::RunningActs::Start turn =
        RunningSearches().TryStart(platform::AddressLimitKey(page.Request().ServerVariables("Remote_addr").str()),
                                   deadline);
    if (!turn.slot) p.Refuse(turn.refusal == core::RunningActs::Refusal::KeyFull ? TooManyAtOnce() : kBoardBusy);
    try {
        const platform::TimeBudget budget(p.Db(), deadline - std::chrono::steady_clock::now());
        search();
    } catch (const platform::TimeBudgetSpent&) {
        p.Refuse(kTooBroad);
    }
}

}  // namespace board
