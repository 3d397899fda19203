#!/usr/bin/env bash
# Soak test: a long mix of reading, searching, posting, private messages and
# logins against a copy of a seeded board, as a busy day brings them.
# Prints a line a minute: requests, what went wrong (private messages of a
# logged-in member refused with the account message, a guest page right
# after a login, posts or messages not thanked, failed requests) and the
# server's resident memory (with its anonymous part and its threads), which
# must level off. Ends with the totals and the memory's growth over the last
# ten minutes; fails when anything went wrong.
#
#   scripts/soak.sh [--posts N] [--db FILE] [--duration SECONDS] [--server BINARY]
#
# --posts     size of the board (default 10000); the seeded board is kept
#             as build/bench/board-N.db for later runs, the soak runs on a
#             copy of it
# --db        seed into / reuse this file instead
# --duration  length of the soak (default 1200 s)
# --server    the board-server to soak (another build's, to compare; the
#             seeding still uses this build's board-seed)
# Only loopback traffic. The repeat-submit interval is off on the copy, as
# every client comes from one address.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/lib/bench-options.sh
parse_bench_options soak 21 --duration 1200 "$@"

scripts/install-deps.sh sqlite3 python3
scripts/build.sh >/dev/null

[ -n "$db" ] || db=build/bench/board-$posts.db
source scripts/lib/seeded-board.sh
seeded_board "$db" "$posts"

# The soak changes a copy; the repeat-submit interval is off on it.
work=$(mktemp -d)
board=$work/board.db
sqlite3 "$db" ".backup '$board'"
echo "SubmitInterval = -1" > "$work/site.conf"
source scripts/lib/board-server.sh
trap 'stop_board_server; rm -rf "$work"' EXIT

board_members "$board" 200 > "$work/members"
open_forums "$board" > "$work/forums"
open_topics "$board" 500 > "$work/topics"

# The server runs from a copy, so that a rebuild meanwhile leaves it alone.
cp "${server:-build/site/board-server}" "$work/board-server"
start_board_server "$work/board-server" "$board" "$root/site/www" "$work/data" "$work/server.log" \
  "$work/site.conf"
echo "board-server at $BOARD_URL (pid $BOARD_PID); soak of ${duration}s"
status=0
python3 scripts/lib/soak-clients.py "${BOARD_URL##*:}" "$BOARD_PID" "$duration" \
  "$work/members" "$work/forums" "$work/topics" || status=$?
if grep -q "failed" "$work/server.log"; then
  echo "server log:"; grep "failed" "$work/server.log" | sort | uniq -c | sort -rn | head -n 10
fi
exit $status
