#include "UbbCode/UbbCode.h"

#include "UbbCode/ConversionRules.h"
#include "UbbCode/SafeAddress.h"
#include "UbbCode/Smileys.h"
#include "UbbCode/TextSearch.h"
#include "platform/Convert.h"
#include "platform/Error.h"
#include "platform/Strings.h"

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

void store(Variant& content, std::string text) { content = Variant(std::move(text)); }

// A plain replacement step, skipped when there is nothing to replace.
void replaceStep(Variant& content, std::string_view find, std::string_view with) {
    const std::string& text = content.rawString();
    if (text.find(find) == std::string::npos) return;
    store(content, platform::Replace(text, find, with));
}

// Letters outside ASCII that case-insensitive matching takes for "s" and
// "k" (long s, Kelvin sign); a text holding one may match a tag pattern
// that the plain needle test misses.
bool hasLetterFoldingToAscii(std::string_view text) {
    return text.find("\u017F") != std::string_view::npos || text.find("\u212A") != std::string_view::npos;
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
        readString(content);
        applyRules(content, bareLinkRules());
        limitReturns(content);
        convertReturns(content);
        regExp_.Pattern(kAnyTagPattern);
        if (regExp_.Test(content.rawString())) {
            applyRules(content, tagRulesBeforeQuotes());
            store(content, ConvertQuotes(content.rawString()));
            applyRules(content, tagRulesAfterQuotes());
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
        readString(content);
        convertReturns(content);
        return content.rawString();
    });
}

std::string UbbCodeObject::LimitReturns(Variant& content) {
    return withMarkupSource([&] {
        readString(content);
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
        std::string piece = text.substr(open, close + kQuoteClose.size() - open);
        std::string converted = regExp_.Replace(piece, kQuoteReplacement);
        if (converted == piece) return text;
        text = platform::Replace(text, piece, converted, platform::Compare::Text);
    }
}

void UbbCodeObject::applyRules(Variant& content, const std::vector<Rule>& rules) {
    const bool needlesReliable = !hasLetterFoldingToAscii(content.rawString());
    for (const Rule& rule : rules) {
        const std::string& text = content.rawString();
        if (needlesReliable && !containsNoCase(text, rule.needle)) continue;
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
