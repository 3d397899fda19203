#include "platform/RegExp.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "platform/Error.h"
#include "platform/Strings.h"

namespace platform {

namespace {

// Generous for real posts (a lazy scan of a few megabytes), small enough to
// stop a runaway pattern quickly.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 100'000;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;

std::string pcreMessage(int code) {
    PCRE2_UCHAR buffer[256];
    int n = pcre2_get_error_message(code, buffer, sizeof buffer);
    return n < 0 ? "PCRE2 error " + std::to_string(code)
                 : std::string(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
}

bool isLimit(int rc) {
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT ||
           rc == PCRE2_ERROR_HEAPLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT ||
           rc == PCRE2_ERROR_NOMEMORY;
}

// Limits and the JIT stack, one set per thread.
struct ThreadMatchContext {
    pcre2_match_context* context = pcre2_match_context_create(nullptr);
    pcre2_jit_stack* jitStack = pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr);

    ThreadMatchContext() {
        pcre2_set_match_limit(context, kMatchLimit);
        pcre2_set_depth_limit(context, kDepthLimit);
        if (jitStack) pcre2_jit_stack_assign(context, nullptr, jitStack);
    }
    ~ThreadMatchContext() {
        pcre2_match_context_free(context);
        if (jitStack) pcre2_jit_stack_free(jitStack);
    }
};

pcre2_match_context* threadMatchContext() {
    thread_local ThreadMatchContext local;
    return local.context;
}

}  // namespace

// Two builds of one pattern: the fast one for valid UTF-8 (JIT where
// available), and one that steps over invalid bytes, for the rare text
// that holds some. (JIT and invalid-UTF matching together mishandle "\S"
// on multi-byte characters in the PCRE2 we build on.)
struct CompiledPattern {
    pcre2_code* code = nullptr;
    pcre2_code* tolerant = nullptr;
    int groupCount = 0;
    ~CompiledPattern() {
        pcre2_code_free(code);
        pcre2_code_free(tolerant);
    }
};

namespace {

pcre2_code* compileWith(const std::string& pattern, uint32_t options) {
    pcre2_compile_context* context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_LF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     PCRE2_UTF | PCRE2_DOLLAR_ENDONLY | options, &errorCode, &errorOffset,
                                     context);
    pcre2_compile_context_free(context);
    if (!code) raise(kErrRegExpSyntax, kRegExpSyntaxText + pcreMessage(errorCode));
    return code;
}

std::shared_ptr<const CompiledPattern> compile(const std::string& pattern, uint32_t flags) {
    auto compiled = std::make_shared<CompiledPattern>();
    compiled->code = compileWith(pattern, flags);
    pcre2_jit_compile(compiled->code, PCRE2_JIT_COMPLETE);  // without JIT the interpreter serves
    compiled->tolerant = compileWith(pattern, flags | PCRE2_MATCH_INVALID_UTF);
    uint32_t groups = 0;
    pcre2_pattern_info(compiled->code, PCRE2_INFO_CAPTURECOUNT, &groups);
    compiled->groupCount = static_cast<int>(groups);
    return compiled;
}

bool isUtfError(int rc) { return rc <= PCRE2_ERROR_UTF8_ERR1 && rc >= PCRE2_ERROR_UTF8_ERR21; }

// Every pattern compiled once per process and flag set.
std::shared_ptr<const CompiledPattern> cachedPattern(const std::string& pattern, uint32_t flags) {
    static std::shared_mutex mutex;
    static std::unordered_map<std::string, std::shared_ptr<const CompiledPattern>> cache;
    std::string key = std::to_string(flags) + ':' + pattern;
    {
        std::shared_lock lock(mutex);
        auto found = cache.find(key);
        if (found != cache.end()) return found->second;
    }
    auto compiled = compile(pattern, flags);
    std::unique_lock lock(mutex);
    return cache.try_emplace(std::move(key), std::move(compiled)).first->second;
}

}  // namespace

std::string_view RegExpMatch::group(int n) const {
    if (n < 0 || n > groupCount_) return {};
    std::size_t start = offsets_[2 * n], end = offsets_[2 * n + 1];
    if (start == PCRE2_UNSET || end < start) return {};
    return subject_.substr(start, end - start);
}

std::string RegExpMatch::expand(std::string_view replacement) const {
    std::string out;
    out.reserve(replacement.size() + value().size());
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        char c = replacement[i];
        if (c != '$' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        char next = replacement[i + 1];
        if (next == '$') {
            out += '$';
            ++i;
        } else if (next == '&') {
            out += value();
            ++i;
        } else if (isDigit(next)) {
            int one = next - '0';
            bool hasSecond = i + 2 < replacement.size() && isDigit(replacement[i + 2]);
            int two = hasSecond ? one * 10 + (replacement[i + 2] - '0') : 0;
            if (hasSecond && two >= 1 && two <= groupCount_) {
                out += group(two);
                i += 2;
            } else if (one >= 1 && one <= groupCount_) {
                out += group(one);
                ++i;
            } else {
                out += '$';  // no such group: written as it stands
            }
        } else {
            out += '$';
        }
    }
    return out;
}

struct RegExp::MatchData {
    pcre2_match_data* data = nullptr;
    int pairs = 0;
    ~MatchData() { pcre2_match_data_free(data); }
};

RegExp::RegExp() : matchData_(std::make_unique<MatchData>()) {}
RegExp::~RegExp() = default;

void RegExp::Pattern(std::string_view pattern) {
    if (pattern == pattern_) return;
    pattern_ = pattern;
    compiled_.reset();
}

void RegExp::IgnoreCase(bool on) {
    if (on != ignoreCase_) compiled_.reset();
    ignoreCase_ = on;
}

void RegExp::Multiline(bool on) {
    if (on != multiline_) compiled_.reset();
    multiline_ = on;
}

const CompiledPattern& RegExp::compiled() {
    if (!compiled_) {
        uint32_t flags = (ignoreCase_ ? PCRE2_CASELESS : 0) | (multiline_ ? PCRE2_MULTILINE : 0);
        compiled_ = cachedPattern(pattern_, flags);
    }
    int pairs = compiled_->groupCount + 1;
    if (matchData_->pairs < pairs) {
        pcre2_match_data_free(matchData_->data);
        matchData_->data = pcre2_match_data_create(static_cast<uint32_t>(pairs), nullptr);
        matchData_->pairs = pairs;
    }
    return *compiled_;
}

int RegExp::matchAt(std::string_view subject, std::size_t offset, Validity& validity) {
    const CompiledPattern& pattern = *compiled_;
    auto run = [&](pcre2_code* code, uint32_t options) {
        return pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), offset, options,
                           matchData_->data, threadMatchContext());
    };
    if (validity == Validity::Valid) return run(pattern.code, PCRE2_NO_UTF_CHECK);
    if (validity == Validity::Invalid) return run(pattern.tolerant, 0);
    // The first call checks the text once, from the offset on.
    int rc = run(pattern.code, 0);
    validity = isUtfError(rc) ? Validity::Invalid : Validity::Valid;
    return validity == Validity::Invalid ? run(pattern.tolerant, 0) : rc;
}

bool RegExp::Test(std::string_view subject) {
    compiled();
    Validity validity = subjectsValid_ ? Validity::Valid : Validity::Unchecked;
    int rc = matchAt(subject, 0, validity);
    if (rc >= 0) return true;
    if (rc == PCRE2_ERROR_NOMATCH || isLimit(rc)) return false;
    raise(kErrInvalidCall, pcreMessage(rc));
}

std::string RegExp::Replace(std::string_view subject, std::string_view replacement) {
    return Replace(subject, [replacement](const RegExpMatch& match) { return match.expand(replacement); });
}

std::string RegExp::Replace(std::string_view subject, const Replacer& replacer) {
    const CompiledPattern& pattern = compiled();
    Validity validity = subjectsValid_ ? Validity::Valid : Validity::Unchecked;
    std::string out;
    std::size_t copied = 0;  // subject[0, copied) is in out
    std::size_t offset = 0;
    bool matchedAny = false;
    while (offset <= subject.size()) {
        // The whole subject every time, so "^" and look-behind see the real text.
        int rc = matchAt(subject, offset, validity);
        if (rc == PCRE2_ERROR_NOMATCH) break;
        if (isLimit(rc)) return std::string(subject);
        if (rc < 0) raise(kErrInvalidCall, pcreMessage(rc));
        const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(matchData_->data);
        std::size_t start = offsets[0], end = offsets[1];
        if (end < start || start < copied) break;  // only "\K" tricks get here
        if (!matchedAny) out.reserve(subject.size() + subject.size() / 4);
        matchedAny = true;
        out.append(subject, copied, start - copied);
        out += replacer(RegExpMatch(subject, offsets, pattern.groupCount));
        copied = end;
        if (!global_) break;
        if (end == start) {  // an empty match: step over one character
            if (end == subject.size()) break;
            // A byte that starts no well-formed sequence is a character of its own.
            offset = end + std::max<std::size_t>(1, WellFormedUtf8Length(subject, end));
        } else {
            offset = end;
        }
    }
    if (!matchedAny) return std::string(subject);
    out.append(subject, std::min(copied, subject.size()));
    return out;
}

}  // namespace platform
