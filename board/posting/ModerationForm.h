#pragma once
// The two steps of a moderation action (delete, close or reopen, move, the
// poster's address): a request that is not a POST gets a form asking who
// acts, which posts back to the same action; its POST checks the actor's
// rights and acts. The archives' moderation pages use the same pieces.
#include <string>

#include "core/Moderators.h"
#include "core/Tarnbell.h"

namespace platform {
class Connection;
class Request;
}  // namespace platform

namespace board {

// The form step is any request but a POST.
bool IsFormStep(const platform::Request& request);

// The authentication form of one moderation action.
struct ModerationForm {
    std::string page;          // the page it posts to: "posting.asp", "ubbmisc.asp"
    std::string title;         // the title cell of the UBB header
    std::string hiddenFields;  // HiddenField() pieces: the next action, the post id, ...
    std::string notice;        // who may act
    std::string strip;         // the strip row naming the topic or the purpose (markup)
    std::string nameLabel = "您的用户名";
    std::string passwordLabel = "您的口令";
    std::string button = "提交认证";
};

// Writes "<center>", the board header of the page style and the form; the
// page's closing follows.
void WriteModerationForm(core::Tarnbell& page, const ModerationForm& form);

// Stops the page with the identity form of `forum` unless this visitor may
// read its topics: a page naming a topic of a private forum (its title, a
// moderation form's notice and fields) is only for those admitted to it. A
// forum that no longer exists hides nothing. `writeHead` when no page head
// is written yet.
void RequireSightOf(core::Tarnbell& page, core::Page& p, const std::string& forum, bool writeHead);

// The member acting in this request (the board login's, else the request's
// `UserName` and `Password`, trimmed) and their rights in a forum.
struct Actor {
    core::Credentials who;
    core::ModeratorLevel level = core::kNotAMember;
    bool IsLeader() const { return level == core::kAdministrator || level == core::kForumModerator; }
};
Actor ActingMember(core::Tarnbell& page, core::Page& p, const std::string& forum);

// The refusals of an actor who is no member (wrong name or password, or
// none) and of a member without rights in the forum.
struct LeaderRefusals {
    std::string notMember;
    std::string noRight;
};

// The actor, when an administrator or a moderator of `forum`; anyone else is
// refused.
Actor RequireLeader(core::Tarnbell& page, core::Page& p, const std::string& forum, const LeaderRefusals& refusals);

// The options of a move form's `ArchiveSelect`: "0" first, then every
// archive (Transfer.cpp).
std::string ArchiveSelectOptions(platform::Connection& con);

// The refusals of a move (of a topic, or of an archived topic).
inline const LeaderRefusals kMoveRefusals{"对不起，您不是本论坛的注册用户，请先注册！",
                                          "对不起，您没有执行该操作的权限，该操作需要版主或管理员级别的权限！"};
inline constexpr const char* kChooseArchive = "请您选择归档档案，请按返回按钮重新选择！";

// The choice form of a move on archive.asp (Transfer.cpp): the header naming
// where the topic stands and the topic, the notice, a table of `columns`
// columns titled `title` holding `choiceRows`, the login rows and the
// buttons, then the footer. It posts "submittransfer" with `hiddenFields`.
struct MoveForm {
    std::string placeLabel;  // "论坛: "
    std::string place;       // markup
    std::string subject;     // markup
    std::string notice;
    int columns = 3;
    std::string title;
    std::string choiceRows;
    std::string hiddenFields;
};
void WriteMoveForm(core::Tarnbell& page, const MoveForm& form);

}  // namespace board
