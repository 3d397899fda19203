-- Step 1 of the layout, as the first boards were made: never edit it, add
-- a step to the list in core/Schema.cpp instead.
-- The board's database. Names and key texts compare ignoring letter case
-- (COLLATE NOCASE); passwords compare exactly. Dates are local time stored
-- as "yyyy-mm-dd hh:nn:ss", so comparing the texts compares the times; the
-- declared type DATETIME tells the record sets to read them as dates, BIT
-- marks flags read as Booleans.

CREATE TABLE register (
  username      TEXT NOT NULL COLLATE NOCASE UNIQUE,
  password      TEXT,
  email         TEXT COLLATE NOCASE,
  emailview     BIT,
  allowmassmail BIT,
  location      TEXT,
  occupation    TEXT,
  interests     TEXT,
  signature     TEXT,
  url           TEXT,
  oicq          TEXT,
  icq           TEXT,
  namestorage   BIT,
  daysprune     INTEGER,
  status        TEXT COLLATE NOCASE,
  -- A NULL written here becomes the default: the posting check needs a value.
  canpost       BIT NOT NULL ON CONFLICT REPLACE DEFAULT 1,
  postcount     INTEGER DEFAULT 0,
  jf            INTEGER DEFAULT 0,
  signdate      DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')),
  nickname      TEXT,
  icon          TEXT,
  uploaddir     TEXT
);
CREATE INDEX register_email ON register (email);
CREATE INDEX register_postcount ON register (postcount);
CREATE INDEX register_jf ON register (jf);
-- The board home names the newest member.
CREATE INDEX register_signdate ON register (signdate);

CREATE TABLE post (
  postid            INTEGER PRIMARY KEY AUTOINCREMENT,
  parentid          INTEGER,
  forumname         TEXT COLLATE NOCASE,
  username          TEXT COLLATE NOCASE,
  subject           TEXT,
  message           TEXT,
  posttime          DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')),
  icon              INTEGER,
  smiles            BIT,
  usesign           BIT,
  emailnotification BIT,
  ip                TEXT,
  edithistory       TEXT,
  hits              INTEGER DEFAULT 0,
  status            TEXT COLLATE NOCASE DEFAULT 'open',
  replycount        INTEGER DEFAULT 0,
  lastreplyposttime DATETIME,
  lastreplyusername TEXT COLLATE NOCASE
);
-- Topic lists: the topics of a forum by last reply.
CREATE INDEX post_forum_topics ON post (forumname, parentid, lastreplyposttime);
-- Threads: the replies of a topic.
CREATE INDEX post_replies ON post (parentid, postid);
CREATE INDEX post_author ON post (username);
-- Topic rankings: the topics by hits, by replies and by last reply, across
-- forums. Only topics are indexed; parentid leads so that the rankings'
-- "parentid is null" selects these indexes.
CREATE INDEX post_topics_hits ON post (parentid, hits) WHERE parentid IS NULL;
CREATE INDEX post_topics_replycount ON post (parentid, replycount) WHERE parentid IS NULL;
CREATE INDEX post_topics_lastreply ON post (parentid, lastreplyposttime) WHERE parentid IS NULL;
-- Search: posts newest first, and posts of the last days.
CREATE INDEX post_time ON post (posttime);

CREATE TABLE forum (
  forumname        TEXT NOT NULL COLLATE NOCASE UNIQUE,
  descript         TEXT,
  catalog          TEXT,
  sequence         INTEGER,
  [restrict]       TEXT COLLATE NOCASE,
  forumpassword    TEXT,
  forummaster      TEXT,
  topiccount       INTEGER DEFAULT 0,
  replycount       INTEGER DEFAULT 0,
  lastposttime     DATETIME,
  lastpostusername TEXT COLLATE NOCASE
);

CREATE TABLE moderated (
  forum     TEXT COLLATE NOCASE,
  moderater TEXT COLLATE NOCASE,
  signdate  DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))
);
CREATE INDEX moderated_forum ON moderated (forum, moderater);
CREATE INDEX moderated_moderater ON moderated (moderater);

CREATE TABLE archive (
  archiveid   INTEGER PRIMARY KEY AUTOINCREMENT,
  archivename TEXT,
  descript    TEXT
);

CREATE TABLE archivelist (
  archiveid         INTEGER,
  postid            INTEGER,
  forumname         TEXT COLLATE NOCASE,
  username          TEXT COLLATE NOCASE,
  posttime          DATETIME,
  message           TEXT,
  subject           TEXT,
  usesign           BIT,
  status            TEXT COLLATE NOCASE,
  edithistory       TEXT,
  hits              INTEGER,
  icon              INTEGER,
  emailnotification BIT,
  ip                TEXT,
  parentid          INTEGER,
  archivedate       DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))
);
CREATE INDEX archivelist_topics ON archivelist (archiveid, parentid, archivedate);
CREATE INDEX archivelist_postid ON archivelist (postid);
CREATE INDEX archivelist_replies ON archivelist (parentid, postid);

CREATE TABLE announce (
  id        INTEGER PRIMARY KEY AUTOINCREMENT,
  subject   TEXT,
  content   TEXT,
  startdate DATETIME,
  enddate   DATETIME,
  username  TEXT COLLATE NOCASE,
  posttime  DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))
);

CREATE TABLE announceto (
  id        INTEGER,
  forumname TEXT COLLATE NOCASE
);
CREATE INDEX announceto_forum ON announceto (forumname, id);
CREATE INDEX announceto_id ON announceto (id);

CREATE TABLE favor (
  username  TEXT COLLATE NOCASE,
  postid    INTEGER,
  favordate DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')),
  UNIQUE (username, postid)
);

-- Column order matters: readers take the rows as an array by position.
CREATE TABLE subscibe (
  username  TEXT COLLATE NOCASE,
  forumname TEXT COLLATE NOCASE
);
CREATE INDEX subscibe_user ON subscibe (username);

CREATE TABLE PM (
  postid    INTEGER PRIMARY KEY AUTOINCREMENT,
  sender    TEXT COLLATE NOCASE,
  recipient TEXT COLLATE NOCASE,
  subject   TEXT,
  message   TEXT,
  icon      INTEGER,
  usesign   BIT,
  posttime  DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')),
  isnew     BIT DEFAULT 1
);
CREATE INDEX pm_recipient ON PM (recipient, isnew);
CREATE INDEX pm_sender ON PM (sender);

CREATE TABLE outbox (
  postid    INTEGER,
  usesign   BIT,
  sender    TEXT COLLATE NOCASE,
  recipient TEXT COLLATE NOCASE,
  subject   TEXT,
  message   TEXT,
  icon      INTEGER,
  posttime  DATETIME
);
CREATE INDEX outbox_sender ON outbox (sender, postid);
CREATE INDEX outbox_recipient ON outbox (recipient);

CREATE TABLE ignorelist (
  username       TEXT COLLATE NOCASE,
  ignoreusername TEXT COLLATE NOCASE,
  dateandtime    DATETIME DEFAULT (strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime'))
);
CREATE INDEX ignorelist_user ON ignorelist (username, ignoreusername);

-- Counters. Every list reads them as stored, so they follow every insert,
-- delete and move of a post. Each step touches one topic, one forum and one
-- member through their indexes; the control panel's recount still
-- recomputes everything.

-- A new topic starts with no replies and itself as last reply (also when it
-- is a copy carrying the source's counters: its replies are inserted after
-- it and count again). A reply raises its topic's count and last reply.
CREATE TRIGGER post_counters_insert AFTER INSERT ON post
BEGIN
  UPDATE post
     SET replycount = 0, lastreplyposttime = NEW.posttime, lastreplyusername = NEW.username
   WHERE NEW.parentid IS NULL AND postid = NEW.postid;
  UPDATE post
     SET replycount = ifnull(replycount, 0) + 1,
         lastreplyusername = CASE WHEN lastreplyposttime IS NULL OR NEW.posttime >= lastreplyposttime
                                  THEN NEW.username ELSE lastreplyusername END,
         lastreplyposttime = CASE WHEN lastreplyposttime IS NULL OR NEW.posttime >= lastreplyposttime
                                  THEN NEW.posttime ELSE lastreplyposttime END
   WHERE NEW.parentid IS NOT NULL AND postid = NEW.parentid;
  UPDATE forum
     SET topiccount = ifnull(topiccount, 0) + (NEW.parentid IS NULL),
         replycount = ifnull(replycount, 0) + (NEW.parentid IS NOT NULL),
         lastpostusername = CASE WHEN lastposttime IS NULL OR NEW.posttime >= lastposttime
                                 THEN NEW.username ELSE lastpostusername END,
         lastposttime = CASE WHEN lastposttime IS NULL OR NEW.posttime >= lastposttime
                             THEN NEW.posttime ELSE lastposttime END
   WHERE forumname = NEW.forumname;
  UPDATE register SET postcount = ifnull(postcount, 0) + 1 WHERE username = NEW.username;
END;

-- Removing a reply lowers its topic's count; when it was the newest reply
-- the topic's last reply falls back to the newest remaining post of the
-- thread. The forum's last post falls back to its newest topic activity.
CREATE TRIGGER post_counters_delete AFTER DELETE ON post
BEGIN
  UPDATE post SET replycount = max(ifnull(replycount, 0) - 1, 0)
   WHERE OLD.parentid IS NOT NULL AND postid = OLD.parentid;
  UPDATE post
     SET (lastreplyposttime, lastreplyusername) =
         (SELECT posttime, username FROM post AS p
           WHERE p.postid = OLD.parentid OR p.parentid = OLD.parentid
           ORDER BY p.posttime DESC, p.postid DESC LIMIT 1)
   WHERE OLD.parentid IS NOT NULL AND postid = OLD.parentid
     AND (lastreplyposttime IS NULL OR lastreplyposttime <= OLD.posttime);
  UPDATE forum
     SET topiccount = max(ifnull(topiccount, 0) - (OLD.parentid IS NULL), 0),
         replycount = max(ifnull(replycount, 0) - (OLD.parentid IS NOT NULL), 0)
   WHERE forumname = OLD.forumname;
  UPDATE forum
     SET (lastposttime, lastpostusername) =
         (SELECT lastreplyposttime, lastreplyusername FROM post
           WHERE post.forumname = OLD.forumname AND post.parentid IS NULL
           ORDER BY post.lastreplyposttime DESC LIMIT 1)
   WHERE forumname = OLD.forumname
     AND (lastposttime IS NULL OR lastposttime <= ifnull(OLD.lastreplyposttime, OLD.posttime)
          OR lastposttime <= OLD.posttime);
  UPDATE register SET postcount = max(ifnull(postcount, 0) - 1, 0) WHERE username = OLD.username;
END;

-- A post moved to another forum or topic leaves the old one's counters and
-- joins the new one's, as a delete followed by an insert would.
CREATE TRIGGER post_counters_move AFTER UPDATE OF forumname, parentid ON post
WHEN OLD.forumname IS NOT NEW.forumname OR OLD.parentid IS NOT NEW.parentid
BEGIN
  UPDATE post SET replycount = max(ifnull(replycount, 0) - 1, 0)
   WHERE OLD.parentid IS NOT NULL AND postid = OLD.parentid;
  UPDATE post
     SET (lastreplyposttime, lastreplyusername) =
         (SELECT posttime, username FROM post AS p
           WHERE (p.postid = OLD.parentid OR p.parentid = OLD.parentid) AND p.postid <> NEW.postid
           ORDER BY p.posttime DESC, p.postid DESC LIMIT 1)
   WHERE OLD.parentid IS NOT NULL AND postid = OLD.parentid
     AND (lastreplyposttime IS NULL OR lastreplyposttime <= OLD.posttime);
  UPDATE post
     SET replycount = ifnull(replycount, 0) + 1,
         lastreplyusername = CASE WHEN lastreplyposttime IS NULL OR NEW.posttime >= lastreplyposttime
                                  THEN NEW.username ELSE lastreplyusername END,
         lastreplyposttime = CASE WHEN lastreplyposttime IS NULL OR NEW.posttime >= lastreplyposttime
                                  THEN NEW.posttime ELSE lastreplyposttime END
   WHERE NEW.parentid IS NOT NULL AND postid = NEW.parentid;
  UPDATE forum
     SET topiccount = max(ifnull(topiccount, 0) - (OLD.parentid IS NULL), 0),
         replycount = max(ifnull(replycount, 0) - (OLD.parentid IS NOT NULL), 0)
   WHERE forumname = OLD.forumname;
  UPDATE forum
     SET (lastposttime, lastpostusername) =
         (SELECT lastreplyposttime, lastreplyusername FROM post
           WHERE post.forumname = OLD.forumname AND post.parentid IS NULL
           ORDER BY post.lastreplyposttime DESC LIMIT 1)
   WHERE forumname = OLD.forumname
     AND (lastposttime IS NULL OR lastposttime <= ifnull(OLD.lastreplyposttime, OLD.posttime)
          OR lastposttime <= OLD.posttime);
  UPDATE forum
     SET topiccount = ifnull(topiccount, 0) + (NEW.parentid IS NULL),
         replycount = ifnull(replycount, 0) + (NEW.parentid IS NOT NULL),
         lastpostusername = CASE WHEN lastposttime IS NULL
                                   OR ifnull(NEW.lastreplyposttime, NEW.posttime) >= lastposttime
                                 THEN ifnull(NEW.lastreplyusername, NEW.username) ELSE lastpostusername END,
         lastposttime = CASE WHEN lastposttime IS NULL
                               OR ifnull(NEW.lastreplyposttime, NEW.posttime) >= lastposttime
                             THEN ifnull(NEW.lastreplyposttime, NEW.posttime) ELSE lastposttime END
   WHERE forumname = NEW.forumname;
END;

-- A forum that is created or renamed takes the counters of the posts that
-- already carry its name (a rename moves the posts first, then the forum).
CREATE TRIGGER forum_counters_insert AFTER INSERT ON forum
BEGIN
  UPDATE forum SET
    topiccount = (SELECT count(*) FROM post WHERE post.forumname = NEW.forumname AND post.parentid IS NULL),
    replycount = (SELECT count(*) FROM post WHERE post.forumname = NEW.forumname AND post.parentid IS NOT NULL),
    (lastposttime, lastpostusername) =
      (SELECT lastreplyposttime, lastreplyusername FROM post
        WHERE post.forumname = NEW.forumname AND post.parentid IS NULL
        ORDER BY post.lastreplyposttime DESC LIMIT 1)
  WHERE rowid = NEW.rowid
    AND EXISTS (SELECT 1 FROM post WHERE post.forumname = NEW.forumname);
END;

CREATE TRIGGER forum_counters_rename AFTER UPDATE OF forumname ON forum
WHEN OLD.forumname IS NOT NEW.forumname COLLATE BINARY
BEGIN
  UPDATE forum SET
    topiccount = (SELECT count(*) FROM post WHERE post.forumname = NEW.forumname AND post.parentid IS NULL),
    replycount = (SELECT count(*) FROM post WHERE post.forumname = NEW.forumname AND post.parentid IS NOT NULL),
    (lastposttime, lastpostusername) =
      (SELECT lastreplyposttime, lastreplyusername FROM post
        WHERE post.forumname = NEW.forumname AND post.parentid IS NULL
        ORDER BY post.lastreplyposttime DESC LIMIT 1)
  WHERE rowid = NEW.rowid;
END;
