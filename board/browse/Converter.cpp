#include "board/browse/Converter.h"

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
    platform::Variant content(platform::HtmlEncode(text));
    std::unique_ptr<markup::UbbCode> converter = NewUbbCode();
    converter->UbbCode(content);
    if (!smiles.isNull() && platform::CBool(smiles)) converter->Smiles(content);
    return content.str();
}

}  // namespace board
