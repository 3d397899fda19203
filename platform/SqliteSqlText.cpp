#include "platform/SqliteSqlText.h"

#include <cctype>
#include <vector>

#include "platform/Strings.h"

namespace platform {

namespace {

struct Token {
    std::string_view text;
    std::size_t pos;
    int depth;        // parenthesis depth
    bool word;        // a keyword or name (quoted names included)
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80); }

// Splits SQL into words and single punctuation characters, skipping blanks,
// comments and string literals.
std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> out;
    int depth = 0;
    std::size_t i = 0;
    auto skipQuoted = [&](char close) {
        for (++i; i < s.size(); ++i) {
            if (s[i] == close) {
                if (i + 1 < s.size() && s[i + 1] == close && close != ']') { ++i; continue; }
                ++i;
                return;
            }
        }
    };
    while (i < s.size()) {
        char c = s[i];
        std::size_t start = i;
        if (std::isspace(static_cast<unsigned char>(c))) { ++i; continue; }
        if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] != '\n') ++i;
            continue;
        }
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            std::size_t end = s.find("*/", i + 2);
            i = end == std::string_view::npos ? s.size() : end + 2;
            continue;
        }
        if (c == '\'') { skipQuoted('\''); continue; }
        if (c == '"' || c == '[' || c == '`') {
            skipQuoted(c == '[' ? ']' : c);
            out.push_back({s.substr(start, i - start), start, depth, true});
            continue;
        }
        if (IsWordChar(c)) {
            while (i < s.size() && IsWordChar(s[i])) ++i;
            out.push_back({s.substr(start, i - start), start, depth, true});
            continue;
        }
        if (c == ')') --depth;
        out.push_back({s.substr(i, 1), i, depth, false});
        if (c == '(') ++depth;
        ++i;
    }
    return out;
}

bool Is(const Token& t, std::string_view keyword) { return t.word && EqualsIgnoreCase(t.text, keyword); }

// An aggregate in the select list makes one row of many: nothing to update,
// and adding the rowid would turn "count(*)" into a scan of every row.
bool IsAggregateCall(const std::vector<Token>& t, std::size_t k) {
    if (k + 1 >= t.size() || t[k + 1].text != "(") return false;
    for (std::string_view f : {"count", "sum", "min", "max", "avg", "total", "group_concat"})
        if (Is(t[k], f)) return true;
    return false;
}

bool IsClauseKeyword(const Token& t) {
    for (std::string_view k : {"where", "order", "limit", "group", "having", "union", "intersect",
                               "except", "join", "inner", "left", "right", "full", "cross", "natural",
                               "on", "using", "window"}) {
        if (Is(t, k)) return true;
    }
    return false;
}

}  // namespace

std::optional<SingleTableSelect> ParseSingleTableSelect(std::string_view sql) {
    std::vector<Token> t = Tokenize(sql);
    if (t.size() < 4 || !Is(t[0], "select") || Is(t[1], "distinct")) return std::nullopt;
    std::size_t from = 1;
    while (from < t.size() && !(t[from].depth == 0 && Is(t[from], "from"))) ++from;
    if (from + 1 >= t.size() || !t[from + 1].word || IsClauseKeyword(t[from + 1])) return std::nullopt;
    for (std::size_t k = 1; k < from; ++k)
        if (t[k].depth == 0 && IsAggregateCall(t, k)) return std::nullopt;

    SingleTableSelect result{std::string(t[from + 1].text), std::string(t[from + 1].text),
                             t[0].pos + t[0].text.size()};
    std::size_t next = from + 2;
    if (next < t.size() && Is(t[next], "as")) ++next;
    if (next < t.size() && t[next].word && !IsClauseKeyword(t[next])) {
        result.qualifier = std::string(t[next].text);
        ++next;
    } else if (next > from + 2) {
        return std::nullopt;  // "as" without a name
    }
    if (next < t.size() && !Is(t[next], "where") && !Is(t[next], "order") && !Is(t[next], "limit") &&
        t[next].text != ";")
        return std::nullopt;
    for (std::size_t k = next; k < t.size(); ++k) {
        if (t[k].depth != 0) continue;
        for (std::string_view bad : {"group", "having", "union", "intersect", "except", "window"})
            if (Is(t[k], bad)) return std::nullopt;
    }
    return result;
}

std::string_view WithoutFinalOrderBy(std::string_view sql) {
    std::vector<Token> t = Tokenize(sql);
    for (std::size_t k = t.size(); k-- > 1;) {
        if (t[k].depth != 0) continue;
        if (Is(t[k], "limit")) return sql;
        if (Is(t[k], "by") && Is(t[k - 1], "order")) return sql.substr(0, t[k - 1].pos);
    }
    return sql;
}

std::string_view TrimStatement(std::string_view sql) {
    while (!sql.empty() && (std::isspace(static_cast<unsigned char>(sql.back())) || sql.back() == ';'))
        sql.remove_suffix(1);
    return sql;
}

bool IsSetDateFormat(std::string_view sql) {
    std::vector<Token> t = Tokenize(TrimStatement(sql));
    return t.size() == 3 && Is(t[0], "set") && Is(t[1], "dateformat") && t[2].word;
}

}  // namespace platform
