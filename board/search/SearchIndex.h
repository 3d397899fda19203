#pragma once
// The search index's side of a word search: which posts may hold the
// words, so that LIKE only reads those. The index (post_words,
// archive_words) holds every pair of neighbouring characters; a stretch of
// two or more characters of a pattern is a phrase of its pairs. The post
// index also holds each post's forum, whole.
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

// `query` kept to the posts of the forum named `forum`, or to the posts of
// none of `forums` (names compare ignoring the case of ASCII letters, as
// the forum names of the tables do).
std::string InForumQuery(const std::string& query, const std::string& forum);
std::string OutsideForumsQuery(const std::string& query, const std::vector<std::string>& forums);

}  // namespace board
