#include "board/browse/Converter.h"

#include "board/browse/PostHtmlCache.h"

#include "platform/Charset.h"
#include "platform/ClassRegistry.h"
#include "platform/Convert.h"

namespace board {

std::unique_ptr<markup::UbbCode> NewUbbCode() {
    return platform::CreateObjectAs<markup::UbbCode>(markup::kUbbCodeClassId);
}

std::string PostHtml(const platform::Variant& message, const platform::Variant& smiles) {
    const std::string text = message.isNull() ? std::string() : message.str();
    if (text.empty()) return {};
    const bool withSmileys = !smiles.isNull() && platform::CBool(smiles);
    // A new converter has the default images folder.
    return *ThePostHtmlCache().Get({text, withSmileys, markup::kDefaultImagesUrl}, [&] {
        std::unique_ptr<markup::UbbCode> converter = NewUbbCode();
        platform::Variant content(platform::HtmlEncode(text));
        converter->UbbCode(content);
        if (withSmileys) converter->Smiles(content);
        return content.str();
    });
}

}  // namespace board
