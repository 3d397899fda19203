#include "board/members/DayFilters.h"

#include "platform/Convert.h"
#include "platform/Error.h"

namespace board {

namespace {

struct DayFilter {
    std::int16_t days;
    const char* label;  // null for the choice 0, whose label the page gives
};

constexpr DayFilter kDayFilters[] = {
    {1, "显示前一天的贴子"},       {2, "显示前两天的贴子"},     {5, "显示前五天的贴子"},
    {10, "显示前十天的贴子"},      {20, "显示前二十天的贴子"},   {30, "显示前三十天的贴子"},
    {45, "显示前四十五天的贴子"},  {60, "显示前六十天的贴子"},   {75, "显示前七十五天的贴子"},
    {100, "显示前一百天的贴子"},   {365, "显示前一年的贴子"},    {0, nullptr},
};

}  // namespace

std::string DayFilterOptions(std::int16_t chosen, const std::string& allLabel, const std::string& close) {
    std::string html;
    for (const DayFilter& f : kDayFilters)
        html += "<option value=" + std::to_string(f.days) + (f.days == chosen ? " selected>" : " >") +
                (f.label ? f.label : allLabel) + close;
    return html;
}

std::optional<std::int16_t> ReadDayFilter(const platform::Variant& value) {
    if (value.str().empty() || !platform::IsNumeric(value)) return std::nullopt;
    try {
        return platform::CInt(value);
    } catch (const platform::RuntimeError&) {
        return std::nullopt;  // beyond the 16-bit range
    }
}

}  // namespace board
