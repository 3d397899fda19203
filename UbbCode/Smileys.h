#pragma once
// The smiley codes and their images, and their replacement in the text
// between markup.
#include <optional>
#include <string>
#include <string_view>

namespace markup {

struct Smiley {
    std::string_view code;
    std::string_view image;  // file under ImagesURL
};

// In the order of replacement.
inline constexpr Smiley kSmileys[] = {
    {":)", "smile.gif"},     {":(", "frown.gif"},        {":o", "redface.gif"},
    {":D", "biggrin.gif"},   {";)", "wink.gif"},         {":p", "tongue.gif"},
    {":cool:", "cool.gif"},  {":rolleyes:", "rolleyes.gif"}, {":mad:", "mad.gif"},
    {":eek:", "eek.gif"},    {":confused:", "confused.gif"},
};

// Replaces every occurrence of the code (letter case ignored) by the image
// tag, leaving alone whatever lies inside a tag or inside a link's text, so
// addresses and class identifiers keep their ":D" or ":p". Nothing when
// the text stays as it is.
std::optional<std::string> replaceSmiley(std::string_view text, std::string_view code,
                                         std::string_view imageTag);

}  // namespace markup
