#include "board/search/SearchIndex.h"

#include "platform/SqliteCharacterPairs.h"

namespace board {

namespace {

bool HasPair(const std::string& text) {
    bool found = false;
    platform::ForEachCharacterPair(text, [&](std::string_view) { found = true; });
    return found;
}

// A pattern as LIKE and the index read it: up to its first NUL (which a
// query cannot hold either).
std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string Quoted(const std::string& text) {
    std::string q = "\"";
    for (char ch : text) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return q + "\"";
}

// Every stretch of the pattern between LIKE's wildcards that has a pair,
// each a phrase the post must hold; "" when there is none.
std::string Phrases(const std::string& pattern, bool subjectOnly) {
    std::string query;
    std::size_t start = 0;
    while (start <= pattern.size()) {
        std::size_t stop = pattern.find_first_of("%_", start);
        if (stop == std::string::npos) stop = pattern.size();
        const std::string stretch = pattern.substr(start, stop - start);
        if (HasPair(stretch)) {
            if (!query.empty()) query += " AND ";
            query += (subjectOnly ? "subject : " : "{subject message} : ") + Quoted(stretch);
        }
        start = stop + 1;
    }
    return query;
}

}  // namespace

std::optional<std::string> SearchIndexQuery(const std::vector<std::string>& patterns, bool anyPattern,
                                            bool subjectOnly) {
    std::string query;
    for (const std::string& pattern : patterns) {
        const std::string phrases = Phrases(UpToNul(pattern), subjectOnly);
        if (phrases.empty()) {
            // All patterns: the others still narrow. Any: this one alone may
            // match every post.
            if (anyPattern) return std::nullopt;
            continue;
        }
        if (!query.empty()) query += anyPattern ? " OR " : " AND ";
        query += "(" + phrases + ")";
    }
    if (query.empty()) return std::nullopt;
    return query;
}

bool SearchIndexIsExact(const std::vector<std::string>& patterns) {
    // U+FFFD also stands in the index for what LIKE reads as a character
    // beyond Unicode's range (malformed text only).
    const std::string_view replacement = "\xEF\xBF\xBD";
    // A NUL ends a LIKE pattern before its closing wildcard.
    for (const std::string& pattern : patterns)
        if (pattern.find_first_of(std::string("%_\0", 3)) != std::string::npos || !HasPair(pattern) ||
            pattern.find(replacement) != std::string::npos)
            return false;
    return !patterns.empty();
}

}  // namespace board
