#pragma once
// The search index's side of a word search: which posts may hold the
// words, so that LIKE only reads those. The index (post_words,
// archive_words) holds every pair of neighbouring characters; a stretch of
// two or more characters of a pattern is a phrase of its pairs. A search
// keeps to its forums through the post rows: the index holds no forum, so
// a forum's rename leaves it alone.
#include <optional>
#include <string>
#include <vector>

namespace board {

// The full-text query for posts that may match the LIKE patterns
// '%' + pattern + '%' (any of them when `anyPattern`, else all), in the
// subject alone or in subject or message; nullopt when a pattern has no
// stretch of two characters between its wildcards, which the index cannot
// narrow.
std::optional<std::string> SearchIndexQuery(const std::vector<std::string>& patterns, bool anyPattern,
                                            bool subjectOnly);

// Whether the query finds exactly the posts LIKE finds: every pattern is a
// stretch of two characters or more without wildcards (nor U+FFFD).
bool SearchIndexIsExact(const std::vector<std::string>& patterns);

}  // namespace board
