#include "platform/SqliteCharacterPairs.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace platform {

namespace {

// Reads one character as SQLite's LIKE reads it: a lead byte from 0xC0 up
// takes every continuation byte after it, any other byte stands alone, and
// a malformed character reads as U+FFFD.
std::uint32_t ReadCharacter(const unsigned char*& p, const unsigned char* end) {
    std::uint32_t c = *p++;
    if (c < 0xC0) return c;
    static constexpr unsigned char kLeadBits[64] = {
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
        0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f,
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f,
        0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x00, 0x01, 0x02, 0x03, 0x00, 0x01, 0x00, 0x00,
    };
    c = kLeadBits[c - 0xC0];
    while (p < end && (*p & 0xC0) == 0x80) c = (c << 6) + (0x3F & *p++);
    if (c < 0x80 || (c & 0xFFFFF800) == 0xD800 || (c & 0xFFFFFFFE) == 0xFFFE) c = 0xFFFD;
    return c;
}

// A character as the index spells it: the ASCII letters folded as LIKE
// folds them, everything else in UTF-8 (a code point past Unicode's range,
// which only malformed text gives, as U+FFFD: the index may find more than
// LIKE, never less).
void AppendCharacter(std::string& out, std::uint32_t c) {
    if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The text as LIKE reads it: up to its first NUL.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// Calls visit(pair, start, end) for each pair, with the byte offsets of the
// pair in `text`; stops at the first result other than SQLITE_OK.
template <typename Visit>
int VisitPairs(std::string_view text, Visit&& visit) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const begin = p;
    const auto* const end = p + text.size();
    if (p == end) return SQLITE_OK;
    std::string pair;
    std::uint32_t previous = ReadCharacter(p, end);
    std::size_t previousStart = 0;
    while (p < end) {
        const std::size_t start = static_cast<std::size_t>(p - begin);
        const std::uint32_t c = ReadCharacter(p, end);
        pair.clear();
        AppendCharacter(pair, previous);
        AppendCharacter(pair, c);
        const int rc = visit(pair, previousStart, static_cast<std::size_t>(p - begin));
        if (rc != SQLITE_OK) return rc;
        previous = c;
        previousStart = start;
    }
    return SQLITE_OK;
}

// A text that begins with the mark, whole, its ASCII letters folded and
// each NUL as the mark: no query of a well-formed name equals it then,
// as no such name equals the text.
int VisitWholeToken(std::string_view text, const auto& visit) {
    std::string token(text);
    for (char& c : token)
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        else if (c == '\0')
            c = kWholeTokenMark;
    return visit(token, 0, text.size());
}

// The tokenizer keeps no state: one instance serves every table.
int Create(void*, const char**, int, Fts5Tokenizer** out) {
    static char instance;
    *out = reinterpret_cast<Fts5Tokenizer*>(&instance);
    return SQLITE_OK;
}

void Delete(Fts5Tokenizer*) {}

int Tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int length,
             int (*token)(void*, int, const char*, int, int, int)) {
    if (!text || length <= 0) return SQLITE_OK;
    const std::string_view whole(text, static_cast<std::size_t>(length));
    const auto emit = [&](const std::string& t, std::size_t start, std::size_t end) {
        return token(context, 0, t.data(), static_cast<int>(t.size()), static_cast<int>(start),
                     static_cast<int>(end));
    };
    if (whole.front() == kWholeTokenMark) {
        const int rc = VisitWholeToken(whole, emit);
        // A query asks for the name alone (the board's own queries: search
        // terms come from requests, which are always well-formed UTF-8).
        if (rc != SQLITE_OK || !(flags & FTS5_TOKENIZE_DOCUMENT)) return rc;
    }
    return VisitPairs(UpToNul(whole), emit);
}

fts5_api* Fts5Of(sqlite3* db) {
    fts5_api* api = nullptr;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &stmt, nullptr) == SQLITE_OK) {
        sqlite3_bind_pointer(stmt, 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr);
        sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    return api;
}

int AddToConnection(sqlite3* db, char** error, const sqlite3_api_routines*) {
    fts5_api* api = Fts5Of(db);
    if (!api) {
        *error = sqlite3_mprintf("this SQLite has no full-text module");
        return SQLITE_ERROR;
    }
    static fts5_tokenizer tokenizer = {Create, Delete, Tokenize};
    return api->xCreateTokenizer(api, kCharacterPairsTokenizer, nullptr, &tokenizer, nullptr);
}

}  // namespace

void RegisterCharacterPairsTokenizer() {
    static const int rc = sqlite3_auto_extension(reinterpret_cast<void (*)()>(AddToConnection));
    if (rc != SQLITE_OK) raise(kErrDatabase, kTokenizerText);
}

void ForEachCharacterPair(std::string_view text, const std::function<void(std::string_view pair)>& visit) {
    VisitPairs(UpToNul(text), [&](const std::string& pair, std::size_t, std::size_t) {
        visit(pair);
        return SQLITE_OK;
    });
}

}  // namespace platform
