#pragma once
// Chinese texts of a seeded board: subjects, post bodies in the board's
// bracket markup, signatures and profile fields.
#include <cstddef>
#include <string>
#include <string_view>

#include "tools/seed/Random.h"

namespace boardseed {

std::string TopicSubject(Random& rng);
// A post body of about `chars` characters: paragraphs broken with CR LF as
// browsers send them, a few tags ([b], [i], [color], [url], [img]) and
// smiley codes.
std::string PostMessage(Random& rng, std::size_t chars);
// The opening of the long thread: bold text, a smiley and a quote, so that
// its first page always shows each of them.
std::string ShowcaseOpening(Random& rng, std::string_view quotedAuthor);
// The quote block the reply-with-quote editor starts from.
std::string QuoteBlock(Random& rng, std::string_view author);
std::string Signature(Random& rng);
std::string AnnouncementText(Random& rng);

std::string_view Location(Random& rng);
std::string_view Occupation(Random& rng);
std::string_view Interests(Random& rng);
std::string_view Nickname(Random& rng);

// Unique member name number `index` (index 0 is never used: that is "admin").
std::string MemberName(std::size_t index);

// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view utf8);

}  // namespace boardseed
