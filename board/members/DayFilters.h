#pragma once
// The day filters a member may choose as the topic list's default, and the
// reading of a day filter from a request value.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/Variant.h"

namespace board {

// The select's options in their order, "<option value=5 selected>label"
// for the chosen one; `allLabel` names the choice 0 (all topics), and
// `close` ends each option ("" or "</option>").
std::string DayFilterOptions(std::int16_t chosen, const std::string& allLabel, const std::string& close);

// A request value as a day filter: a number within the 16-bit range, or
// none (empty, text, out of range).
std::optional<std::int16_t> ReadDayFilter(const platform::Variant& value);

}  // namespace board
