#pragma once
// Pieces of the page frame that do not need a page object.
#include <string>

namespace platform {
class Response;
}

namespace core {

// From "<html>" to the opening body tag, with the settings' colours.
std::string PageHead(const std::string& title);
// The settings' link bar.
std::string GetNavBarHtml();
// Keeps the page out of every cache and the browser's history store: for
// a page whose form carries a password (prefilled from the cookies or the
// session's panel login).
void KeepOutOfCaches(platform::Response& out);

}  // namespace core
