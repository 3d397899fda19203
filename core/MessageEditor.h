#pragma once
// The posting editor the posting pages write.
#include <cstddef>
#include <string>

#include "platform/Variant.h"

namespace core {

// The body a form that posts a message's text may send (a post, a private
// message, an announcement, a mass mail): more than the host's default for
// other pages (platform::BodyLimit beside each such page).
inline constexpr std::size_t kPostingFormBodyBytes = 2 * 1024 * 1024;

// The posting editor: font, size and colour lists, toolbar, message box
// holding `text` (written as given), help-mode choice.
platform::Variant MessageEditor(const std::string& text);

// The editor as a page writes it: the site's script behind the toolbar
// (editor.js beside the pages), then MessageEditor(text).
std::string PageEditor(const std::string& text);

}  // namespace core
