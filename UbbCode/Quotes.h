#pragma once
// Quote pairs of post text to quotation blocks.
#include <string>
#include <string_view>

namespace markup {

// Each "[quote]" with the "[/quote]" that closes it (letter case ignored)
// becomes " <BLOCKQUOTE>引用:<HR>" ... "<HR></BLOCKQUOTE> ", from the last
// open back; an open without a close, or with an empty pair, stops the
// conversion there, leaving it and every open before it as text. A close
// without an open stays text.
// The text holds no line feed (line breaks are converted before quotes).
std::string convertQuotes(std::string_view text);

}  // namespace markup
