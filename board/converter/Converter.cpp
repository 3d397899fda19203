#include "board/converter/Converter.h"

#include "board/converter/PostHtmlCache.h"

#include "platform/Charset.h"
#include "platform/ClassRegistry.h"
#include "platform/Convert.h"

namespace board {

std::unique_ptr<markup::UbbCode> NewUbbCode() {
    return platform::CreateObjectAs<markup::UbbCode>(markup::kUbbCodeClassId);
}

std::shared_ptr<const platform::EncodedText> CachedPostHtml(const platform::Variant& message,
                                                            const platform::Variant& smiles) {
    static const auto none = std::make_shared<const platform::EncodedText>();
    // A text is read where it is kept; other values are converted to text.
    const std::string converted = message.isString() || message.isNull() ? std::string() : message.str();
    const std::string_view text = message.isString() ? std::string_view(message.rawString()) : converted;
    if (text.empty()) return none;
    const bool withSmileys = !smiles.isNull() && platform::CBool(smiles);
    // A new converter has the default images folder.
    return ThePostHtmlCache().Get({text, withSmileys, markup::kDefaultImagesUrl}, [&] {
        std::unique_ptr<markup::UbbCode> converter = NewUbbCode();
        platform::Variant content(platform::HtmlEncode(text));
        converter->UbbCode(content);
        if (withSmileys) converter->Smiles(content);
        return content.str();
    });
}

std::string PostHtml(const platform::Variant& message, const platform::Variant& smiles) {
    return CachedPostHtml(message, smiles)->text;
}

}  // namespace board
