#include "core/Schema.h"

namespace core {

namespace {

// The search index: every pair of neighbouring characters of each post's
// and archived post's subject and message (the tokenizer of
// platform/SqliteCharacterPairs.h), read from the tables themselves, kept
// current by triggers like the counters.
const std::string kSearchIndexSql = R"sql(
    CREATE VIRTUAL TABLE post_words USING fts5(subject, message, content='post', content_rowid='postid',
                                               tokenize='charpairs');
    CREATE TRIGGER post_words_insert AFTER INSERT ON post
    BEGIN
      INSERT INTO post_words (rowid, subject, message) VALUES (NEW.postid, NEW.subject, NEW.message);
    END;
    CREATE TRIGGER post_words_delete AFTER DELETE ON post
    BEGIN
      INSERT INTO post_words (post_words, rowid, subject, message)
      VALUES ('delete', OLD.postid, OLD.subject, OLD.message);
    END;
    CREATE TRIGGER post_words_update AFTER UPDATE OF postid, subject, message ON post
    BEGIN
      INSERT INTO post_words (post_words, rowid, subject, message)
      VALUES ('delete', OLD.postid, OLD.subject, OLD.message);
      INSERT INTO post_words (rowid, subject, message) VALUES (NEW.postid, NEW.subject, NEW.message);
    END;
    CREATE VIRTUAL TABLE archive_words USING fts5(subject, message, content='archivelist', content_rowid='rowid',
                                                  tokenize='charpairs');
    CREATE TRIGGER archive_words_insert AFTER INSERT ON archivelist
    BEGIN
      INSERT INTO archive_words (rowid, subject, message) VALUES (NEW.rowid, NEW.subject, NEW.message);
    END;
    CREATE TRIGGER archive_words_delete AFTER DELETE ON archivelist
    BEGIN
      INSERT INTO archive_words (archive_words, rowid, subject, message)
      VALUES ('delete', OLD.rowid, OLD.subject, OLD.message);
    END;
    CREATE TRIGGER archive_words_update AFTER UPDATE OF subject, message ON archivelist
    BEGIN
      INSERT INTO archive_words (archive_words, rowid, subject, message)
      VALUES ('delete', OLD.rowid, OLD.subject, OLD.message);
      INSERT INTO archive_words (rowid, subject, message) VALUES (NEW.rowid, NEW.subject, NEW.message);
    END;
)sql" + std::string(kFillSearchIndexSql);

// A deleted or edited post's words leave the search index, unless it was
// still queued; an edited post is queued again.
const std::string kQueuedWordsTriggers = R"sql(
    CREATE TRIGGER post_words_delete AFTER DELETE ON post
    BEGIN
      INSERT INTO post_words (post_words, rowid, subject, message)
      SELECT 'delete', OLD.postid, OLD.subject, OLD.message
      WHERE NOT EXISTS (SELECT 1 FROM post_words_pending WHERE postid = OLD.postid);
      DELETE FROM post_words_pending WHERE postid = OLD.postid;
    END;
    CREATE TRIGGER post_words_update AFTER UPDATE OF postid, subject, message ON post
    BEGIN
      INSERT INTO post_words (post_words, rowid, subject, message)
      SELECT 'delete', OLD.postid, OLD.subject, OLD.message
      WHERE NOT EXISTS (SELECT 1 FROM post_words_pending WHERE postid = OLD.postid);
      DELETE FROM post_words_pending WHERE postid = OLD.postid;
      INSERT OR IGNORE INTO post_words_pending (postid) VALUES (NEW.postid);
    END;
)sql";

const std::string kWordsQueueSql = R"sql(
    -- New and edited posts reach the search index in batches, through
    -- a queue (board/browse/SearchIndexQueue.h); the search reads the
    -- queue with the index. A queued post was never indexed, so its
    -- old words are not taken out.
    CREATE TABLE post_words_pending (postid INTEGER PRIMARY KEY);
    DROP TRIGGER post_words_insert;
    CREATE TRIGGER post_words_insert AFTER INSERT ON post
    BEGIN
      INSERT OR IGNORE INTO post_words_pending (postid) VALUES (NEW.postid);
    END;
    DROP TRIGGER post_words_delete;
    DROP TRIGGER post_words_update;
)sql" + kQueuedWordsTriggers;

// Points follow every insert, delete and move of a post, as the control
// panel's member recount defines them: three for each of the member's posts,
// one for each reply by someone else to the member's topics, neither
// counting posts in the forum the last recount left out (the one row of
// points_excluded, if any). Renaming a member carries his points along with
// his row.
std::string CountedIn(const std::string& forum) {
    return "NOT EXISTS (SELECT 1 FROM points_excluded e WHERE e.forumname = " + forum + ")";
}

// The points `row` (OLD or NEW) gives, added or taken (`sign`): its author's
// three, and its topic's author's one when it is a reply by someone else.
std::string PostPoints(const std::string& row, const std::string& sign) {
    return "UPDATE register SET jf = ifnull(jf, 0) " + sign + " 3 WHERE username = " + row + ".username AND " +
           CountedIn(row + ".forumname") + ";\n"
           "UPDATE register SET jf = ifnull(jf, 0) " + sign + " 1 WHERE " + row + ".parentid IS NOT NULL AND " +
           CountedIn(row + ".forumname") + " AND username = (SELECT t.username FROM post t WHERE t.postid = " + row +
           ".parentid AND t.parentid IS NULL AND t.username <> " + row + ".username);\n";
}

// The replies by others that count for topic `row`.
std::string RepliesCounted(const std::string& row) {
    return "(SELECT count(*) FROM post r WHERE r.parentid = " + row + ".postid AND r.username <> " + row +
           ".username AND " + CountedIn("r.forumname") + ")";
}

std::string PointsMoveBody() {
    return PostPoints("OLD", "-") + PostPoints("NEW", "+") +
           "UPDATE register SET jf = ifnull(jf, 0) + ((NEW.parentid IS NULL) - (OLD.parentid IS NULL)) * " +
           RepliesCounted("NEW") +
           " WHERE (OLD.parentid IS NULL) <> (NEW.parentid IS NULL) AND username = NEW.username;\n";
}

const std::string kPointsSql =
    "CREATE TABLE points_excluded (forumname TEXT COLLATE NOCASE);\n"
    "CREATE TRIGGER post_points_insert AFTER INSERT ON post BEGIN\n" + PostPoints("NEW", "+") + "END;\n"
    // A topic deleted before its replies takes their points with it; a
    // reply deleted after its topic then finds no one to take from.
    "CREATE TRIGGER post_points_delete AFTER DELETE ON post BEGIN\n" + PostPoints("OLD", "-") +
    "UPDATE register SET jf = ifnull(jf, 0) - " + RepliesCounted("OLD") +
    " WHERE OLD.parentid IS NULL AND username = OLD.username;\n"
    "END;\n"
    // A moved post counts as deleted where it was and inserted where it is
    // now; a topic that becomes a reply loses its replies' points, a reply
    // that becomes a topic gains them.
    "CREATE TRIGGER post_points_move AFTER UPDATE OF forumname, parentid ON post\n"
    "WHEN OLD.forumname IS NOT NEW.forumname OR OLD.parentid IS NOT NEW.parentid BEGIN\n" +
    PointsMoveBody() + "END;\n"
    // Counted once here, with no forum left out.
    "UPDATE register SET jf = 3 * (SELECT count(*) FROM post WHERE post.username = register.username) + "
    "(SELECT count(*) FROM post WHERE parentid IN (SELECT postid FROM post t "
    "WHERE t.username = register.username AND t.parentid IS NULL) AND post.username <> register.username);\n";

// The statements of a trigger as step 1 wrote it.
std::string FirstTriggerBody(const std::string& name) {
    const std::string& first = SchemaSql();
    const std::size_t trigger = first.find("CREATE TRIGGER " + name);
    const std::size_t begin = first.find("BEGIN", trigger) + 5;
    return first.substr(begin, first.find("\nEND;", begin) - begin) + "\n";
}

// When a post's move moves its points: not when it moves with its whole
// forum to the forum's new name (see kForumChangesSql).
const std::string kPointsMoveWhen = R"sql(    WHEN (OLD.forumname IS NOT NEW.forumname OR OLD.parentid IS NOT NEW.parentid)
     AND NOT EXISTS (SELECT 1 FROM forum_renaming r WHERE r.oldname = OLD.forumname AND r.newname = NEW.forumname
                       AND NOT EXISTS (SELECT 1 FROM points_excluded e WHERE e.forumname IN (r.oldname, r.newname)))
    BEGIN
)sql";

// A forum's rename rewrites the forum name of each of its posts in one
// transaction, while posting waits: that rewrite must be all it does. The
// search index no longer holds each post's forum (a search finds a post's
// forum in its row), and the counters and points of a post stay as they are
// when it moves with its whole forum to the new name (the rename's row in
// forum_renaming, there only inside the renaming transaction): the forum's
// own row counts its posts again when it takes the new name. Points do
// follow when the last recount left out the old or the new name.
//
// A deleted forum's row goes at once; its posts follow in batches, each a
// transaction of its own, while forum_deleting names it (after a crash,
// from the next start on).
const std::string kForumChangesSql = R"sql(
    CREATE TABLE forum_renaming (oldname TEXT COLLATE NOCASE, newname TEXT COLLATE NOCASE);
    CREATE TABLE forum_deleting (forumname TEXT NOT NULL COLLATE NOCASE UNIQUE);

    DROP TRIGGER post_words_delete;
    DROP TRIGGER post_words_update;
    DROP TABLE post_words;
    DROP VIEW post_words_source;
    CREATE VIRTUAL TABLE post_words USING fts5(subject, message, content='post', content_rowid='postid',
                                               tokenize='charpairs');
    INSERT INTO post_words (post_words, rank) VALUES ('automerge', 0);
    INSERT INTO post_words (post_words, rank) VALUES ('crisismerge', 64);
)sql" + kQueuedWordsTriggers + R"sql(
    INSERT INTO post_words (post_words) VALUES ('rebuild');
    DELETE FROM post_words_pending;

    DROP TRIGGER post_counters_move;
    CREATE TRIGGER post_counters_move AFTER UPDATE OF forumname, parentid ON post
    WHEN (OLD.forumname IS NOT NEW.forumname OR OLD.parentid IS NOT NEW.parentid)
     AND NOT EXISTS (SELECT 1 FROM forum_renaming r WHERE r.oldname = OLD.forumname AND r.newname = NEW.forumname)
    BEGIN
)sql" + FirstTriggerBody("post_counters_move") + R"sql(
    END;
    DROP TRIGGER post_points_move;
    CREATE TRIGGER post_points_move AFTER UPDATE OF forumname, parentid ON post
)sql" + kPointsMoveWhen + PointsMoveBody() + "END;\n";

// The points of one trigger in one statement, so that each member's row
// and its index entry are written once a post, not once for each rule:
// `points` are added to `member` (an expression; NULL adds nothing).
struct PointsChange {
    std::string member, points;
};

std::string PointsUpdate(const std::vector<PointsChange>& changes) {
    std::string added, members;
    for (const PointsChange& change : changes) {
        added += " + CASE WHEN username = " + change.member + " THEN " + change.points + " ELSE 0 END";
        members += (members.empty() ? "" : ", ") + change.member;
    }
    return "UPDATE register SET jf = ifnull(jf, 0)" + added + " WHERE username IN (" + members + ");\n";
}

// As PostPoints, for PointsUpdate.
std::vector<PointsChange> PostPointsChanges(const std::string& row, const std::string& sign) {
    const std::string counted = CountedIn(row + ".forumname");
    return {{"CASE WHEN " + counted + " THEN " + row + ".username END", sign + "3"},
            {"(SELECT t.username FROM post t WHERE t.postid = " + row + ".parentid AND t.parentid IS NULL AND t.username <> " +
                 row + ".username AND " + counted + ")",
             sign + "1"}};
}

std::vector<PointsChange> Joined(std::vector<PointsChange> first, const std::vector<PointsChange>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// The points triggers as they stand after kForumChangesSql, each with one
// register update.
const std::string kOnePointsUpdateSql =
    "DROP TRIGGER post_points_insert;\n"
    "CREATE TRIGGER post_points_insert AFTER INSERT ON post BEGIN\n" + PointsUpdate(PostPointsChanges("NEW", "+")) +
    "END;\n"
    "DROP TRIGGER post_points_delete;\n"
    "CREATE TRIGGER post_points_delete AFTER DELETE ON post BEGIN\n" +
    PointsUpdate(Joined(PostPointsChanges("OLD", "-"),
                        {{"CASE WHEN OLD.parentid IS NULL THEN OLD.username END", "-" + RepliesCounted("OLD")}})) +
    "END;\n"
    "DROP TRIGGER post_points_move;\n"
    "CREATE TRIGGER post_points_move AFTER UPDATE OF forumname, parentid ON post\n" + kPointsMoveWhen +
    PointsUpdate(Joined(Joined(PostPointsChanges("OLD", "-"), PostPointsChanges("NEW", "+")),
                        {{"CASE WHEN (OLD.parentid IS NULL) <> (NEW.parentid IS NULL) THEN NEW.username END",
                          "((NEW.parentid IS NULL) - (OLD.parentid IS NULL)) * " + RepliesCounted("NEW")}})) +
    "END;\n";

// A renamed forum's row takes the new name first and keeps its counters;
// its posts follow in batches while forum_renaming names the rename. A post
// deleted while it still carries the old name leaves the renamed forum's
// counts (its last post is set again by the next recount).
const std::string kForumRenamesSql = R"sql(
    CREATE UNIQUE INDEX forum_renaming_oldname ON forum_renaming (oldname);
    CREATE INDEX forum_renaming_newname ON forum_renaming (newname);
    CREATE TRIGGER post_counters_delete_renamed AFTER DELETE ON post
    WHEN EXISTS (SELECT 1 FROM forum_renaming WHERE oldname = OLD.forumname)
    BEGIN
      UPDATE forum
         SET topiccount = max(ifnull(topiccount, 0) - (OLD.parentid IS NULL), 0),
             replycount = max(ifnull(replycount, 0) - (OLD.parentid IS NOT NULL), 0)
       WHERE forumname = (SELECT newname FROM forum_renaming WHERE oldname = OLD.forumname);
    END;
    DROP TRIGGER forum_counters_rename;
    CREATE TRIGGER forum_counters_rename AFTER UPDATE OF forumname ON forum
    WHEN OLD.forumname IS NOT NEW.forumname COLLATE BINARY
     AND NOT EXISTS (SELECT 1 FROM forum_renaming r WHERE r.oldname = OLD.forumname AND r.newname = NEW.forumname)
    BEGIN
)sql" + FirstTriggerBody("forum_counters_rename") + "END;\n";

}  // namespace

// To change the layout, add a step at the end of the list: the next number
// and its SQL (new tables, columns, indexes or triggers, and whatever
// rewrites the rows already stored). Never edit a step that has shipped:
// boards that took it will not run it again. Each step runs in one
// transaction, once per board file, at the server's start.
const std::vector<platform::SchemaStep>& SchemaSteps() {
    static const std::vector<platform::SchemaStep> steps = {
        {1, SchemaSql()},
        {2, R"sql(
            -- The mailboxes list newest first (boards made while these stood
            -- in step 1 have them already).
            CREATE INDEX IF NOT EXISTS pm_recipient_time ON PM (recipient, posttime);
            CREATE INDEX IF NOT EXISTS outbox_sender_time ON outbox (sender, posttime, postid);
            -- A member lists a name once: the first of any repeats stays.
            DELETE FROM ignorelist WHERE rowid NOT IN
              (SELECT min(rowid) FROM ignorelist GROUP BY username, ignoreusername);
            DROP INDEX ignorelist_user;
            CREATE UNIQUE INDEX ignorelist_user ON ignorelist (username, ignoreusername);
        )sql"},
        {3, kSearchIndexSql},
        {4, R"sql(
            -- Posting commits one post at a time, each a new small segment of
            -- the search index. Merging them as they come rewrites the large
            -- segments of a big board again and again; merged in batches of
            -- 64 at a level instead, a commit stays short.
            INSERT INTO post_words (post_words, rank) VALUES ('automerge', 0);
            INSERT INTO post_words (post_words, rank) VALUES ('crisismerge', 64);
            INSERT INTO archive_words (archive_words, rank) VALUES ('automerge', 0);
            INSERT INTO archive_words (archive_words, rank) VALUES ('crisismerge', 64);
        )sql"},
        {5, kWordsQueueSql},
        {6, R"sql(
            -- The search index also holds each post's forum, as one token of
            -- the whole name (the byte 0xFF before it marks it for the
            -- tokenizer), so that a search counts the posts of the forums it
            -- may show in the index alone. A moved post is indexed again.
            DROP TRIGGER post_words_delete;
            DROP TRIGGER post_words_update;
            DROP TABLE post_words;
            CREATE VIEW post_words_source AS
              SELECT postid, subject, message, CAST(x'FF' AS TEXT) || forumname AS forum FROM post;
            CREATE VIRTUAL TABLE post_words USING fts5(subject, message, forum, content='post_words_source',
                                                       content_rowid='postid', tokenize='charpairs');
            INSERT INTO post_words (post_words, rank) VALUES ('automerge', 0);
            INSERT INTO post_words (post_words, rank) VALUES ('crisismerge', 64);
            CREATE TRIGGER post_words_delete AFTER DELETE ON post
            BEGIN
              INSERT INTO post_words (post_words, rowid, subject, message, forum)
              SELECT 'delete', OLD.postid, OLD.subject, OLD.message, CAST(x'FF' AS TEXT) || OLD.forumname
              WHERE NOT EXISTS (SELECT 1 FROM post_words_pending WHERE postid = OLD.postid);
              DELETE FROM post_words_pending WHERE postid = OLD.postid;
            END;
            CREATE TRIGGER post_words_update AFTER UPDATE OF postid, subject, message, forumname ON post
            BEGIN
              INSERT INTO post_words (post_words, rowid, subject, message, forum)
              SELECT 'delete', OLD.postid, OLD.subject, OLD.message, CAST(x'FF' AS TEXT) || OLD.forumname
              WHERE NOT EXISTS (SELECT 1 FROM post_words_pending WHERE postid = OLD.postid);
              DELETE FROM post_words_pending WHERE postid = OLD.postid;
              INSERT OR IGNORE INTO post_words_pending (postid) VALUES (NEW.postid);
            END;
            -- Every post as it stands, the queued ones too.
            INSERT INTO post_words (post_words) VALUES ('rebuild');
            DELETE FROM post_words_pending;
        )sql"},
        // A text that held a NUL gave the search index tokens it could not
        // keep, and a merge that reached them failed every write after it.
        // An index that disagrees with its posts is built again (queued
        // posts, which it does not hold yet, are taken with the others).
        {7, "INSERT INTO post_words (post_words, rank) VALUES ('integrity-check', 1);",
         "INSERT INTO post_words (post_words) VALUES ('rebuild'); DELETE FROM post_words_pending;"},
        {8, "INSERT INTO archive_words (archive_words, rank) VALUES ('integrity-check', 1);",
         "INSERT INTO archive_words (archive_words) VALUES ('rebuild');"},
        {9, kPointsSql},
        {10, R"sql(
            -- Forums added without a display number were listed before all
            -- others and kept the forum summary from being saved: they
            -- follow the others now, in the order they were added.
            CREATE TEMP TABLE unnumbered_forums AS
              SELECT rowid AS id, (SELECT ifnull(max(sequence), 0) FROM forum) + row_number() OVER (ORDER BY rowid)
                     AS sequence
                FROM forum WHERE sequence IS NULL;
            UPDATE forum SET sequence = (SELECT u.sequence FROM unnumbered_forums u WHERE u.id = forum.rowid)
             WHERE rowid IN (SELECT id FROM unnumbered_forums);
            DROP TABLE unnumbered_forums;
        )sql"},
        {11, kForumChangesSql},
        {12, kOnePointsUpdateSql},
        {13, kForumRenamesSql},
    };
    return steps;
}

void EnsureDatabase(const std::string& path, const platform::StepNotice& beforeStep) {
    platform::UpgradeDatabaseFile(path, SchemaSteps(), beforeStep);
}

}  // namespace core
