#include "UbbCode/UbbCode.h"

#include "UbbCode/ConversionRules.h"
#include "UbbCode/Quotes.h"
#include "UbbCode/SafeAddress.h"
#include "UbbCode/Smileys.h"
#include "UbbCode/TagNeedles.h"
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

void store(Variant& content, std::string text) { content = Variant(std::move(text)); }

// Bytes that are not UTF-8 (older stored posts) become U+FFFD first, as the
// request decoder makes them: every pattern then runs on valid text, and
// every step keeps it valid (replacements are valid text placed between
// whole characters; the images URL is made valid when set).
void makeValidUtf8(platform::RegExp& regExp, Variant& content) {
    if (!platform::IsValidUtf8(content.rawString())) store(content, platform::ToValidUtf8(content.rawString()));
    regExp.SubjectsValidUtf8(true);
}

// Whether a "[" has a "]" after it with something between: a text without
// one holds no tag (every tag rule and quote pair needs such a pair).
bool hasBracketPair(std::string_view text) {
    const std::size_t open = text.find('[');
    return open != std::string_view::npos && text.find(']', open + 2) != std::string_view::npos;
}

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

std::string escapeDollars(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

constexpr std::string_view kImagesUrlMark = "{ImagesURL}";

}  // namespace

UbbCodeObject::UbbCodeObject() {
    regExp_.IgnoreCase(true);
    regExp_.Global(true);
    regExp_.Multiline(false);
}

void UbbCodeObject::ImagesURL(std::string_view newValue) {
    if (newValue.empty()) {
        imagesUrl_ = kDefaultImagesUrl;
    } else if (newValue.back() == '/') {
        imagesUrl_ = platform::ToValidUtf8(newValue.substr(0, newValue.size() - 1));
    } else {
        imagesUrl_ = platform::ToValidUtf8(newValue);
    }
}

std::string UbbCodeObject::UbbCode(Variant& content) {
    return withMarkupSource([&] {
        if (isNullOrEmpty(content)) return std::string();
        readString(content);
        makeValidUtf8(regExp_, content);
        applyRules(content, bareLinkRules());
        limitReturns(content);
        convertReturns(content);
        if (hasBracketPair(content.rawString())) {
            // Tag rules never write a "[": the needles found before them
            // serve them all.
            const TagNeedles present(content.rawString());
            applyRules(content, tagRulesBeforeQuotes(), &present);
            store(content, convertQuotes(content.rawString()));
            applyRules(content, tagRulesAfterQuotes(), &present);
        }
        for (const Spacing& spacing : kSpacing) replaceStep(content, spacing.find, spacing.with);
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
        makeValidUtf8(regExp_, content);
        convertReturns(content);
        return content.rawString();
    });
}

std::string UbbCodeObject::LimitReturns(Variant& content) {
    return withMarkupSource([&] {
        readString(content);
        makeValidUtf8(regExp_, content);
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

void UbbCodeObject::applyRules(Variant& content, const std::vector<Rule>& rules,
                               const TagNeedles* present) {
    const bool needlesReliable = !hasLetterFoldingToAscii(content.rawString());
    for (const Rule& rule : rules) {
        const std::string& text = content.rawString();
        if (needlesReliable && !(present ? present->contains(rule.needle) : containsNoCase(text, rule.needle)))
            continue;
        // Every match of a paired rule ends with its close: the text after
        // the last close is left out, so that opening tags there are not
        // each followed to the end of the text in search of one.
        std::string_view scope = text;
        if (!rule.close.empty() && needlesReliable) {
            const std::size_t lastClose = rfindNoCase(text, rule.close);
            if (lastClose == kNotFound) continue;
            scope = scope.substr(0, lastClose + rule.close.size());
        }
        regExp_.Pattern(rule.pattern);
        std::string replacement = replacementFor(rule);
        std::string converted;
        if (rule.addressGroup == 0) {
            converted = regExp_.Replace(scope, replacement);
        } else {
            // A refused address leaves its tag as text.
            converted = regExp_.Replace(scope, [&](const platform::RegExpMatch& match) {
                return isAllowedAddress(match.group(rule.addressGroup)) ? match.expand(replacement)
                                                                         : std::string(match.value());
            });
        }
        converted.append(text, scope.size());
        store(content, std::move(converted));
    }
}

std::string UbbCodeObject::replacementFor(const Rule& rule) const {
    std::size_t mark = rule.replacement.find(kImagesUrlMark);
    if (mark == std::string::npos) return rule.replacement;
    std::string replacement = rule.replacement;
    return replacement.replace(mark, kImagesUrlMark.size(), escapeDollars(imagesUrl_));
}

}  // namespace markup
