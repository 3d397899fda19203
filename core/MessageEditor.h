#pragma once
// The posting editor the posting pages write.
#include <string>

#include "platform/Variant.h"

namespace core {

// The posting editor: font, size and colour lists, toolbar, message box
// holding `text` (written as given), help-mode choice.
platform::Variant MessageEditor(const std::string& text);

// The editor as a page writes it: the site's script behind the toolbar
// (editor.js beside the pages), then MessageEditor(text).
std::string PageEditor(const std::string& text);

}  // namespace core
