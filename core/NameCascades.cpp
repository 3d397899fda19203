#include "core/NameCascades.h"

#include "core/ForumNames.h"
#include "platform/Connection.h"

namespace core {

namespace {

constexpr const char* kByCounters = "the counter triggers set it again as the member's posts go";
constexpr const char* kRenameNote =
    "names a renamed forum while its posts move to the new name, for the triggers and the queries finding its posts; "
    "the last of them takes it";

std::string Matches(const NameColumn& c) { return std::string(c.column) + "=?1"; }

std::vector<std::string> DeleteStatements(const NameColumn& c) {
    const std::string table = c.table;
    const std::string rows = "delete from " + table + " where " + Matches(c);
    switch (c.onDelete) {
    case OnDelete::DeleteRows:
    case OnDelete::DeleteFirst:
        return {rows};
    case OnDelete::DeleteThreads:
        return {"delete from " + table + " where parentid in (select postid from " + table + " where " +
                    Matches(c) + " and parentid is null)",
                rows};
    case OnDelete::DeleteAnnouncements:
        return {"delete from announceto where id in (select id from " + table + " where " + Matches(c) + ")", rows};
    case OnDelete::DeleteInBatches:
        // Posts still under an earlier name of the forum go with it.
        return {"insert or ignore into forum_deleting (forumname) values (?1)",
                "insert or ignore into forum_deleting (forumname) select oldname from forum_renaming where newname=?1",
                "delete from forum_renaming where newname=?1"};
    case OnDelete::Follows:
    case OnDelete::Kept:
        break;
    }
    return {};
}

}  // namespace

const std::vector<NameColumn>& NameColumns() {
    using enum NameOf;
    using R = OnRename;
    using D = OnDelete;
    static const std::vector<NameColumn> columns = {
        // The forum's row goes first on a delete: the posts' delete triggers
        // then find no counters of it to keep. On a rename it keeps its
        // counters, which its posts take along.
        {"forum", "forumname", Forum, R::UpdateLast, D::DeleteFirst, ""},
        {"post", "forumname", Forum, R::InBatches, D::DeleteInBatches, ""},
        {"moderated", "forum", Forum, R::Update, D::DeleteRows, ""},
        {"archivelist", "forumname", Forum, R::Update, D::Kept,
         "archived topics stay in their archives, under the forum they came from"},
        {"announceto", "forumname", Forum, R::Update, D::DeleteRows, ""},
        {"subscibe", "forumname", Forum, R::Update, D::DeleteRows, ""},
        {"points_excluded", "forumname", Forum, R::Kept, D::Kept,
         "the last recount's choice as the administrator typed it (it need name no forum); "
         "the next recount writes it again"},
        {"forum_renaming", "oldname", Forum, R::Follows, D::Follows, kRenameNote},
        {"forum_renaming", "newname", Forum, R::Follows, D::Follows, kRenameNote},
        {"forum_deleting", "forumname", Forum, R::Follows, D::Follows,
         "names a forum whose row is gone while its posts go; the last of them takes it"},

        // The member's row goes first too (no counters of his to keep); no
        // trigger follows a member's renaming, so its order is free.
        {"register", "username", Member, R::UpdateLast, D::DeleteFirst, ""},
        {"moderated", "moderater", Member, R::Update, D::DeleteRows, ""},
        {"post", "username", Member, R::Update, D::DeleteThreads, ""},
        {"post", "lastreplyusername", Member, R::Update, D::Follows, kByCounters},
        {"PM", "sender", Member, R::Update, D::DeleteRows, ""},
        {"PM", "recipient", Member, R::Update, D::DeleteRows, ""},
        {"outbox", "sender", Member, R::Update, D::DeleteRows, ""},
        {"outbox", "recipient", Member, R::Update, D::DeleteRows, ""},
        {"favor", "username", Member, R::Update, D::DeleteRows, ""},
        {"subscibe", "username", Member, R::Update, D::DeleteRows, ""},
        {"ignorelist", "username", Member, R::Update, D::DeleteRows, ""},
        {"ignorelist", "ignoreusername", Member, R::Update, D::DeleteRows, ""},
        {"announce", "username", Member, R::Update, D::DeleteAnnouncements, ""},
        {"archivelist", "username", Member, R::Update, D::DeleteThreads, ""},
        {"forum", "lastpostusername", Member, R::Update, D::Follows, kByCounters},
        {"forum", "forummaster", Member, R::Follows, D::Follows,
         "the forum's moderator list, which the control panel builds again from the moderator rows"},
    };
    return columns;
}

void RenameEverywhere(platform::Connection& con, NameOf names, const std::string& from, const std::string& to) {
    // The posts of a renamed forum keep their counters and points, which
    // the triggers would otherwise take and give back post by post; posts
    // still under an earlier name go straight to the new one.
    if (names == NameOf::Forum) {
        con.Execute("update forum_renaming set newname=?2 where newname=?1", {from, to});
        con.Execute("insert into forum_renaming (oldname, newname) values (?1, ?2)", {from, to});
        ForumRenameStarted();
    }
    for (const OnRename pass : {OnRename::Update, OnRename::UpdateLast})
        for (const NameColumn& c : NameColumns())
            if (c.names == names && c.onRename == pass)
                con.Execute("update " + std::string(c.table) + " set " + c.column + "=?2 where " + Matches(c),
                            {from, to});
}

void DeleteEverywhere(platform::Connection& con, NameOf names, const std::string& name) {
    for (const bool first : {true, false})
        for (const NameColumn& c : NameColumns())
            if (c.names == names && (c.onDelete == OnDelete::DeleteFirst) == first)
                for (const std::string& sql : DeleteStatements(c)) con.Execute(sql, {name});
}

}  // namespace core
