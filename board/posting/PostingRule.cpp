#include "board/posting/PostingRule.h"

namespace board {

MayPost WhoMayPost(const std::string& restrict, PostKind kind) {
    const std::size_t amp = restrict.find('&');
    if (amp == std::string::npos) return MayPost::Members;
    const std::string choice = kind == PostKind::Topic ? restrict.substr(0, amp) : restrict.substr(amp + 1);
    if (choice == "restrict") return MayPost::Leaders;
    if (choice == "none" && kind == PostKind::Reply) return MayPost::Nobody;
    return MayPost::Members;
}

std::string PostingRuleRefusal(MayPost who, PostKind kind) {
    if (who == MayPost::Nobody) return "对不起，本论坛不接受回复！";
    return kind == PostKind::Topic ? "对不起，本论坛只有管理员和版主才能发表新话题！"
                                   : "对不起，本论坛只有管理员和版主才能回复话题！";
}

}  // namespace board
