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
