#pragma once
// Which forums every visitor may read, for the lists that gather topics from
// many forums (rankings, search).

namespace core {

// SQL condition on the forum table: the forum is not private. Its rule is
// compared ignoring case, as the forum admission compares it; a forum
// without a rule is public.
inline constexpr const char* kPublicForumSql = "lower(ifnull([restrict],''))<>'private'";

}  // namespace core
