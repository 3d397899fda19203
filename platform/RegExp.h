#pragma once
// The regular-expression object the markup converter works with: Pattern,
// IgnoreCase, Global and Multiline, then Test or Replace on UTF-8 text.
//
// Rules that every pattern follows: a newline is LF only, "." does not match
// LF, "^" and "$" mean the start and end of the whole text unless Multiline
// is set, "\s" and "\S" know ASCII white space only. A pattern is compiled
// once per process for each flag set and shared by all objects and threads.
// One object must not be used by two threads at once.
//
// When a match runs into the match or depth limit, Test answers false and
// Replace returns the text unchanged: an over-long search must not fail the
// page it is part of.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Strings.h"  // IsValidUtf8

namespace platform {

struct CompiledPattern;

// One match of a pattern in its subject.
class RegExpMatch {
public:
    RegExpMatch(std::string_view subject, const std::size_t* offsets, int groupCount)
        : subject_(subject), offsets_(offsets), groupCount_(groupCount) {}

    std::string_view value() const { return group(0); }
    // Group n (0 is the whole match); "" when the group took no part or
    // the pattern has fewer groups.
    std::string_view group(int n) const;
    int groupCount() const { return groupCount_; }
    // The replacement text with "$1".."$99", "$&" and "$$" expanded. An
    // unset group gives ""; a "$n" beyond the group count stays as written.
    std::string expand(std::string_view replacement) const;

private:
    std::string_view subject_;
    const std::size_t* offsets_;
    int groupCount_;
};

class RegExp {
public:
    RegExp();
    ~RegExp();
    RegExp(const RegExp&) = delete;
    RegExp& operator=(const RegExp&) = delete;

    void Pattern(std::string_view pattern);
    const std::string& Pattern() const { return pattern_; }
    void IgnoreCase(bool on);
    bool IgnoreCase() const { return ignoreCase_; }
    void Global(bool on) { global_ = on; }
    bool Global() const { return global_; }
    void Multiline(bool on);
    bool Multiline() const { return multiline_; }

    // For a caller that has checked its text with IsValidUtf8 and keeps it
    // valid: Test and Replace then skip their own check of every subject.
    void SubjectsValidUtf8(bool on) { subjectsValid_ = on; }

    // Whether the pattern matches anywhere in the text.
    bool Test(std::string_view subject);
    // Replaces the first match, or every match from left to right when
    // Global is set, by the replacement with its group references expanded.
    std::string Replace(std::string_view subject, std::string_view replacement);
    // The same, with the text for each match computed by the caller;
    // returning match.value() keeps that match as it stands.
    using Replacer = std::function<std::string(const RegExpMatch&)>;
    std::string Replace(std::string_view subject, const Replacer& replacer);

private:
    const CompiledPattern& compiled();
    // Whether the subject is known to be valid UTF-8.
    enum class Validity { Unchecked, Valid, Invalid };
    int matchAt(std::string_view subject, std::size_t offset, Validity& validity);

    std::string pattern_;
    bool ignoreCase_ = false;
    bool global_ = false;
    bool multiline_ = false;
    bool subjectsValid_ = false;
    std::shared_ptr<const CompiledPattern> compiled_;  // for the settings above
    struct MatchData;
    std::unique_ptr<MatchData> matchData_;
};

}  // namespace platform
