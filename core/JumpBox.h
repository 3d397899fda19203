#pragma once
// The forum jump box: a drop-down of every forum under its catalog line,
// then every archive, posting to jump.asp.
#include <string>

namespace platform {
class Application;
class Connection;
class Server;
}  // namespace platform

namespace core {

// Application key of the cached box (no entry selected).
inline constexpr const char* kForumJumpListKey = "ForumAndArchiveList";

// Makes the next JumpTo build the box again; the control panel's forum
// setup calls it after adding, editing or deleting a forum.
void EmptyForumJumpList(platform::Application& application);
// Makes the board build its archive jump form and the forum jump box (which
// lists the archives too) again; the archive centre calls it after every
// change of archives.
void EmptyArchiveJumpLists(platform::Application& application);

// The box built from the database every time, with the forum named
// `forum` (exact name), or the archive numbered `forum` when isArchive,
// selected. Used by the message page.
std::string FreshJumpBox(platform::Connection& con, const platform::Server& server,
                         const std::string& forum, bool isArchive);

}  // namespace core
