#pragma once
// Pieces of the page frame that do not need a page object.
#include <string>

namespace core {

// From "<html>" to the opening body tag, with the settings' colours.
std::string PageHead(const std::string& title);
// The settings' link bar.
std::string GetNavBarHtml();

}  // namespace core
