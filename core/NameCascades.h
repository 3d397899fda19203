#pragma once
// Every column that holds a forum's or a member's name, and what renaming
// or deleting that forum or member does to it. Names are the only link
// between a forum or member and the rows that name it, so this list is what
// a rename or delete runs; a column left alone says why. A new column that
// names a forum or member belongs here (a schema test looks for them).
#include <string>
#include <vector>

namespace platform {
class Connection;
}

namespace core {

enum class NameOf { Forum, Member };

enum class OnRename {
    Update,      // the column takes the new name
    InBatches,   // a forum's rows take it after its own row, a batch a transaction (core/ForumChanges.h)
    UpdateLast,  // the forum's or member's own row: renamed after the rows naming it
    Follows,     // set again from other rows (see why)
    Kept,        // left as it was (see why)
};

enum class OnDelete {
    DeleteRows,           // the rows naming it go
    DeleteFirst,          // the forum's or member's own row: goes before the rows naming it
    DeleteThreads,        // the rows go, the replies to the topics among them before them
    DeleteAnnouncements,  // the rows go, their forum targets (announceto) before them
    DeleteInBatches,      // a forum's rows go after its own row, a batch a transaction (core/ForumChanges.h)
    Follows,              // set again from other rows (see why)
    Kept,                 // left as it was (see why)
};

struct NameColumn {
    const char* table;
    const char* column;
    NameOf names;
    OnRename onRename;
    OnDelete onDelete;
    const char* why;  // the reason for Follows and Kept, else empty
};

// The list, in the order its changes run.
const std::vector<NameColumn>& NameColumns();

// Gives every column of the list naming forum or member `from` the name
// `to` (names compare ignoring letter case). Run inside the caller's
// transaction. The rows a forum's rename leaves to batches are only noted
// here (forum_renaming), and follow with core::FinishForumChanges after the
// commit.
void RenameEverywhere(platform::Connection& con, NameOf names, const std::string& from, const std::string& to);

// Deletes the forum or member `name` with the rows naming it, as the list
// says. Run inside the caller's transaction. The rows a forum's delete
// leaves to batches are only noted here (forum_deleting), and go with
// core::FinishForumChanges after the commit.
void DeleteEverywhere(platform::Connection& con, NameOf names, const std::string& name);

}  // namespace core
