#pragma once
// Which addresses may become a link or image source: http, https and ftp,
// or an address without a scheme. The scheme is read as a browser would
// read it from an attribute: after character references are decoded and
// blanks and control characters are dropped.
#include <string_view>

namespace markup {

bool isAllowedAddress(std::string_view address);

}  // namespace markup
