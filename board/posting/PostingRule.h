#pragma once
// A forum's posting rule: who may open topics and who may reply. The forum's
// access text is "private" or "<topics>&<replies>", each choice "restrict"
// (administrators and the forum's moderators), "allreg" or "all" (members:
// posting needs a member's name and password), and for replies also "none"
// (nobody). A forum without a rule, or a private one, is open to members.
#include <string>

namespace board {

enum class PostKind { Topic, Reply };

enum class MayPost { Members, Leaders, Nobody };

// `restrict` as CheckForum keeps it (lower case).
MayPost WhoMayPost(const std::string& restrict, PostKind kind);

// The refusal for a visitor the rule leaves out.
std::string PostingRuleRefusal(MayPost who, PostKind kind);

}  // namespace board
