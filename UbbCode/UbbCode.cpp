#include "UbbCode/UbbCode.h"

#include "UbbCode/ConversionRules.h"
#include "UbbCode/SafeAddress.h"
#include "UbbCode/Smileys.h"
#include "UbbCode/TextSearch.h"
#include "platform/Convert.h"
#include "platform/Error.h"

namespace markup {

using platform::Variant;

namespace {

// Errors leave the library with its own source text.
template <class Operation>
std::string withMarkupSource(Operation&& operation) {
    try {
        return operation();
    } catch (const platform::RuntimeError& e) {
        if (e.source() == platform::kMarkupSource) throw;
        throw platform::RuntimeError(e.number(), e.description(), platform::kMarkupSource);
    }
}

bool isNullOrEmpty(const Variant& content) { return content.isNull() || content == Variant(""); }

// Reads Content as a string; every later step then finds a String in it.
const std::string& readString(Variant& content) {
    if (content.isNull()) {
        platform::raise(platform::kErrInvalidUseOfNull,
                        platform::standardDescription(platform::kErrInvalidUseOfNull), platform::kMarkupSource);
    }
    if (!content.isString()) content = Variant(platform::CStr(content));
    return content.rawString();
}

// Every step keeps valid UTF-8 valid: replacements are valid text placed
// between whole characters.
void checkUtf8Once(platform::RegExp& regExp, const std::string& text, const std::string& imagesUrl) {
    regExp.SubjectsValidUtf8(platform::IsValidUtf8(text) && platform::IsValidUtf8(imagesUrl));
}

void store(Variant& content, std::string text) { content = Variant(std::move(text)); }

// A plain replacement step, skipped when there is nothing to replace.
void replaceStep(Variant& content, std::string_view find, std::string_view with) {
    const std::string& text = content.rawString();
    if (text.find(find) == std::string::npos) return;
    store(content, replaceAll(text, find, with));
}

// Letters outside ASCII that case-insensitive matching takes for "s" and
// "k" (long s, Kelvin sign); a text holding one may match a tag pattern
// that the plain needle test misses.
bool hasLetterFoldingToAscii(std::string_view text) {
    return text.find("\u017F") != std::string_view::npos || text.find("\u212A") != std::string_view::npos;
}

// The first bytes after every "[" of the text, window by window: a tag
// needle no longer than a window occurs in the text exactly when it occurs
// here. Tag rules never write a "[", so the digest of the text before them
// serves them all.
constexpr std::size_t kTagWindow = 10;  // the longest needle, "[download="

std::string tagDigest(std::string_view text) {
    std::string digest;
    for (std::size_t at = text.find('['); at != std::string_view::npos; at = text.find('[', at + 1)) {
        digest.append(text.substr(at, kTagWindow));
        digest += '\0';
    }
    return digest;
}

std::string escapeDollars(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

constexpr std::string_view kImagesUrlMark = "{ImagesURL}";
constexpr std::string_view kQuoteOpen = "[quote]";
constexpr std::string_view kQuoteClose = "[/quote]";

}  // namespace

UbbCodeObject::UbbCodeObject() {
    regExp_.IgnoreCase(true);
    regExp_.Global(true);
    regExp_.Multiline(false);
}

void UbbCodeObject::ImagesURL(std::string_view newValue) {
    if (newValue.empty()) {
        imagesUrl_ = "images";
    } else if (newValue.back() == '/') {
        imagesUrl_ = newValue.substr(0, newValue.size() - 1);
    } else {
        imagesUrl_ = newValue;
    }
}

std::string UbbCodeObject::UbbCode(Variant& content) {
    return withMarkupSource([&] {
        if (isNullOrEmpty(content)) return std::string();
        checkUtf8Once(regExp_, readString(content), imagesUrl_);
        applyRules(content, bareLinkRules());
        limitReturns(content);
        convertReturns(content);
        regExp_.Pattern(kAnyTagPattern);
        if (regExp_.Test(content.rawString())) {
            const std::string digest = tagDigest(content.rawString());
            applyRules(content, tagRulesBeforeQuotes(), digest);
            store(content, ConvertQuotes(content.rawString()));
            applyRules(content, tagRulesAfterQuotes(), digest);
        }
        applyRules(content, spacingRules());
        return content.rawString();
    });
}

std::string UbbCodeObject::Smiles(Variant& content) {
    return withMarkupSource([&] {
        if (isNullOrEmpty(content)) return std::string();
        const std::string& text = readString(content);
        if (text.find(':') == std::string::npos && text.find(";)") == std::string::npos) return text;
        for (const Smiley& smiley : kSmileys) {
            std::string imageTag = "<IMG SRC=\"" + imagesUrl_ + "/" + std::string(smiley.image) + "\">";
            if (auto replaced = replaceSmiley(content.rawString(), smiley.code, imageTag)) {
                store(content, std::move(*replaced));
            }
        }
        return content.rawString();
    });
}

std::string UbbCodeObject::ConvertReturns(Variant& content) {
    return withMarkupSource([&] {
        checkUtf8Once(regExp_, readString(content), imagesUrl_);
        convertReturns(content);
        return content.rawString();
    });
}

std::string UbbCodeObject::LimitReturns(Variant& content) {
    return withMarkupSource([&] {
        checkUtf8Once(regExp_, readString(content), imagesUrl_);
        limitReturns(content);
        return content.rawString();
    });
}

void UbbCodeObject::convertReturns(Variant& content) {
    replaceStep(content, "\n\r\n", "<P>");
    replaceStep(content, "\n", "<br>");
    replaceStep(content, "\r", "");
    applyRules(content, breakRunRules());
    replaceStep(content, "<!", "< !");  // no comment or declaration may open
}

void UbbCodeObject::limitReturns(Variant& content) { applyRules(content, limitReturnRules()); }

// Innermost quote pair first, one pair per pass, until no pair is left or
// a pass changes nothing (an empty pair).
std::string UbbCodeObject::ConvertQuotes(std::string text) {
    regExp_.Pattern(kQuotePattern);
    for (;;) {
        std::size_t open = rfindNoCase(text, kQuoteOpen);
        if (open == kNotFound) return text;
        std::size_t close = findNoCase(text, kQuoteClose, open + 1);
        if (close == kNotFound) return text;
        std::size_t length = close + kQuoteClose.size() - open;
        std::string_view piece(text.data() + open, length);
        std::string converted = regExp_.Replace(piece, kQuoteReplacement);
        if (converted == piece) return text;
        // Only this pair: a pair elsewhere with the same text gets its own
        // pass and keeps its own letter case.
        text.replace(open, length, converted);
    }
}

void UbbCodeObject::applyRules(Variant& content, const std::vector<Rule>& rules,
                               std::optional<std::string_view> tagDigest) {
    const bool needlesReliable = !hasLetterFoldingToAscii(content.rawString());
    for (const Rule& rule : rules) {
        const std::string& text = content.rawString();
        bool useDigest = tagDigest && rule.needle.size() <= kTagWindow;
        if (needlesReliable && !containsNoCase(useDigest ? *tagDigest : text, rule.needle)) continue;
        regExp_.Pattern(rule.pattern);
        std::string replacement = replacementFor(rule);
        if (rule.addressGroup == 0) {
            store(content, regExp_.Replace(text, replacement));
            continue;
        }
        // A refused address leaves its tag as text.
        store(content, regExp_.Replace(text, [&](const platform::RegExpMatch& match) {
            return isAllowedAddress(match.group(rule.addressGroup)) ? match.expand(replacement)
                                                                     : std::string(match.value());
        }));
    }
}

std::string UbbCodeObject::replacementFor(const Rule& rule) const {
    std::size_t mark = rule.replacement.find(kImagesUrlMark);
    if (mark == std::string::npos) return rule.replacement;
    std::string replacement = rule.replacement;
    return replacement.replace(mark, kImagesUrlMark.size(), escapeDollars(imagesUrl_));
}

}  // namespace markup
