#pragma once
// The markup converter as the pages use it: a new object through the class
// registry for every text rendered, released right after.
#include <memory>
#include <string>

#include "UbbCode/UbbCode.h"
#include "platform/Response.h"

namespace board {

std::unique_ptr<markup::UbbCode> NewUbbCode();

// A post's text as a page shows it: HTML-encoded, markup converted, and
// smiley codes turned into images when the post's `smiles` flag is set (a
// Null flag counts as not set). An empty or Null text gives "".
std::string PostHtml(const platform::Variant& message, const platform::Variant& smiles);
// The same as kept by the converted-post cache, with its wire form, for
// Response::Write: written without a copy, sent without converting again.
std::shared_ptr<const platform::EncodedText> CachedPostHtml(const platform::Variant& message,
                                                            const platform::Variant& smiles);

}  // namespace board
