#pragma once
// The full-text tokenizer "charpairs" behind the board's search index: a
// text becomes every pair of neighbouring characters, in order, with the
// ASCII letters in lower case. A word of two or more characters is then a
// phrase of its pairs, found wherever LIKE '%word%' finds it (LIKE folds the
// case of ASCII letters only, and so does the tokenizer), in Chinese text as
// in Latin.
//
// A text that begins with the byte 0xFF, which no UTF-8 text holds, also
// gives one token of the whole text, its ASCII letters in lower case, before
// its pairs: that is how the index held a name that must match whole (a
// post's forum, until the search kept to forums through the post rows; an
// older board's upgrade still passes through it), which no pair of
// characters can ever equal. The pairs stay,
// so malformed text that begins so is still found as LIKE finds it.
//
// No token holds a NUL, which the index cannot keep: a text's pairs end at
// its first NUL, as LIKE reads the text; a whole token holds the mark in
// its place.
#include <functional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr const char* kCharacterPairsTokenizer = "charpairs";

inline constexpr char kWholeTokenMark = '\xFF';

// Makes the tokenizer known to every SQLite connection this process opens
// from now on. Runs once, before the first connection.
void RegisterCharacterPairsTokenizer();

// The pairs of `text` as the tokenizer gives them (for tests and queries).
void ForEachCharacterPair(std::string_view text, const std::function<void(std::string_view pair)>& visit);

}  // namespace platform
