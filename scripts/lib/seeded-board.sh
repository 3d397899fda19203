# A seeded board for the benchmarks. Source this file, then:
#   seeded_board DB POSTS    seeds DB with POSTS posts, or reuses it when it
#                            was seeded today; its report goes to DB.seed.txt
# The lists' day filters and today's topics count from the seeding day, so
# a board from another day is seeded afresh.

seeded_board() {
  local db=$1 posts=$2 info=$1.seed.txt
  mkdir -p "$(dirname "$db")"
  if [ -s "$db" ] && [ -s "$info" ] && [ "$(date -r "$info" +%F)" = "$(date +%F)" ]; then
    echo "reusing $db"
  else
    rm -f "$db" "$db-wal" "$db-shm" "$info"
    build/tools/seed/board-seed --db "$db" --posts "$posts" > "$info.new"
    mv "$info.new" "$info"
  fi
  cat "$info"
}

# What the load scripts post to, one a line, from a board file:
#   board_members DB LIMIT   members who may post (not the administrator)
#   open_forums DB           forums open to every member's topics
#   open_topics DB LIMIT     the newest open topics of forums open to replies
board_members() {
  sqlite3 "$1" "select username from register where username <> 'admin' and canpost order by rowid limit $2"
}

open_forums() {
  sqlite3 "$1" "select forumname from forum where ifnull(lower([restrict]), '') <> 'private'
    and ifnull([restrict], '') not like '%&none' and ifnull([restrict], '') not like 'restrict&%' order by sequence"
}

open_topics() {
  sqlite3 "$1" "select postid from post where parentid is null and ifnull(lower(status), '') <> 'close' and forumname in
    (select forumname from forum where ifnull(lower([restrict]), '') <> 'private'
       and ifnull([restrict], '') not like '%&none' and ifnull([restrict], '') not like '%&restrict')
    order by postid desc limit $2"
}
