#pragma once
// What the record sets need to know about the text of a query: whether it
// reads one table (so rows can be added, changed and deleted through it),
// and the query without its final ORDER BY (for counting).
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct SingleTableSelect {
    std::string table;       // as written, e.g. "post" or "[Forum]"
    std::string qualifier;   // the alias when there is one, else the table
    std::size_t listStart;   // offset of the select list
};

// "select <list> from <table> [[as] alias] [where ...] [order by ...] [limit ...]"
// without DISTINCT, joins, aggregates, GROUP BY or compound selects.
std::optional<SingleTableSelect> ParseSingleTableSelect(std::string_view sql);

// The text with a trailing top-level ORDER BY cut off (kept when a LIMIT
// follows it, since then the order decides which rows count).
std::string_view WithoutFinalOrderBy(std::string_view sql);

// The text without trailing blanks and semicolons.
std::string_view TrimStatement(std::string_view sql);

// "set dateformat ymd" and its kin, which SQLite does not need.
bool IsSetDateFormat(std::string_view sql);

}  // namespace platform
