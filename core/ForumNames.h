#pragma once
// While a renamed forum's posts move to its new name in batches
// (core/ForumChanges.h), some still carry the old one: every query that
// finds a forum's posts by its name, or a post's forum by the post's row,
// goes through these so that the forum is never seen half renamed. With no
// rename running they give the plain column, and the queries their indexes.
#include <string>

namespace platform {
class Connection;
}

namespace core {

// Whether some renamed forum's posts may still carry its old name.
bool ForumRenamesRunning();

// The condition that `column` names the forum whose current name is the SQL
// value `name` (a parameter, or a column of an outer table).
std::string ForumPostsCondition(const std::string& column, const std::string& name);

// The SQL value of the current name of the forum `column` names.
std::string CurrentForumName(const std::string& column);

// A rename notes itself before its first commit and ends after its last
// batch; the start counts what a crash left.
void ForumRenameStarted();
void ForumRenameFinished();
void CountForumRenamesLeft(platform::Connection& con);

}  // namespace core
