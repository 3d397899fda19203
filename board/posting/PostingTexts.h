#pragma once
// Messages that more than one posting page gives.
namespace board {

inline constexpr const char* kNoSuchForum =
    "对不起，该论坛不存在，可能是你输错了url或正好管理员刚刚删除了该论坛！";
// The handlers show no identity form: the poster goes through the forum's
// own pages for that.
inline constexpr const char* kNotAdmitted =
    "对不起，这是一个私家论坛，您还没有通过本论坛的身份认证，不能在此发表或回复！";
inline constexpr const char* kTopicClosed = "该主题已被关闭，不再接受回复，请检查！";

}  // namespace board
