#!/usr/bin/env bash
# Load benchmark of the main road. Seeds a board of the given size (or
# reuses one seeded before), starts board-server on it and measures with
# wrk, one target after the other: default.asp, list.asp of the busy forum,
# newsdetail.asp of the long thread (page 1 and a later page), today's
# topics (search.asp?action=getdaily), the member list by sign-up date, by
# each other sort order and by a letter, and a static file of about the
# size of the main pages. Prints requests per second, latency p50/p99 and
# each page's throughput as a share of the static file's.
#
#   scripts/load-bench.sh [--posts N] [--db FILE] [--duration SECONDS]
#                         [--connections N] [--threads N] [--server BINARY]
#
# --posts     size of the board (default 10000); the board is kept as
#             build/bench/board-N.db and reused by later runs
# --db        seed into / reuse this file instead
# --server    the board-server to measure (default build/site/board-server,
#             built first), e.g. an older build to compare with
# Only loopback traffic; every wrk run ends after its duration.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/lib/bench-options.sh
parse_bench_options load-bench 19 "$@"

scripts/install-deps.sh wrk curl
if [ -z "$server" ]; then
  scripts/build.sh >/dev/null
  server=$root/build/site/board-server
fi

# The board: its seeding report sits beside it, so a later run of the same
# day can reuse both.
[ -n "$db" ] || db=build/bench/board-$posts.db
info=$db.seed.txt
source scripts/lib/seeded-board.sh
seeded_board "$db" "$posts"

list_page=$(sed -n 's/^busy forum: .*(\(list\.asp?[^)]*\))$/\1/p' "$info")
thread_page=$(sed -n 's/^long thread: \(newsdetail\.asp?id=[0-9]*\) .*/\1/p' "$info")
thread_posts=$(sed -n 's/^long thread: .*(\([0-9]*\) posts)$/\1/p' "$info")
# The thread view shows HotCount posts a page (10 unless the settings say
# otherwise): take a page from the middle of the thread.
later=$(( (thread_posts + 9) / 10 / 2 ))
[ "$later" -ge 2 ] || later=2

work=$(mktemp -d)
source scripts/lib/board-server.sh
trap 'stop_board_server; rm -rf "$work"' EXIT
mkdir -p "$work/www"
[ ! -d site/www ] || cp -r site/www/. "$work/www/"
start_board_server "$server" "$db" "$work/www" "$work/data" "$work/server.log"
echo "board-server at $BOARD_URL"

names=("default.asp" "list.asp (busy forum)" "newsdetail.asp page 1" "newsdetail.asp page $later"
       "today's topics" "member.asp by sign-up" "member.asp by name" "member.asp by posts" "member.asp by score"
       "member.asp letter A" "member.asp letter @")
paths=("default.asp" "$list_page" "$thread_page&page=1" "$thread_page&page=$later"
       "search.asp?action=getdaily" "member.asp" "member.asp?orderby=username" "member.asp?orderby=postcount"
       "member.asp?orderby=jf" "member.asp?letter=A" "member.asp?letter=@")
# The static twin takes the size of the main road's pages, the first four.
main_pages=4
for path in "${paths[@]}"; do echo "  /$path"; done

# One fetch of each page: its status, and its size for the static twin.
statuses=()
total=0
found=0
for i in "${!paths[@]}"; do
  read -r status size < <(curl -s -o /dev/null -w '%{http_code} %{size_download}\n' "$BOARD_URL/${paths[$i]}")
  statuses+=("$status")
  if [ "$status" = 200 ] && [ "$i" -lt "$main_pages" ]; then total=$((total + size)); found=$((found + 1)); fi
done
static_size=20000
[ "$found" -eq 0 ] || static_size=$((total / found))
printf '<html><body><pre>%*s</pre></body></html>\n' "$static_size" '' | tr ' ' '=' > "$work/www/bench-static.html"

# Runs wrk on one path; prints "requests/s p50 p99 non-2xx".
measure() {
  local out
  out=$(wrk -t"$threads" -c"$connections" -d"${duration}s" --latency "$BOARD_URL/$1")
  awk '
    /Requests\/sec:/ { rps = $2 }
    /^ +50%/ { p50 = $2 }
    /^ +99%/ { p99 = $2 }
    /Non-2xx or 3xx responses:/ { bad = $NF }
    END { printf "%s %s %s %s\n", rps, p50, p99, (bad == "" ? 0 : bad) }' <<<"$out"
}

echo
echo "wrk: $threads threads, $connections connections, ${duration}s per target"
read -r static_rps static_p50 static_p99 _ < <(measure bench-static.html)
printf '%-26s %6s %12s %10s %10s  %s\n' target status req/s p50 p99 "share of static"
printf '%-26s %6s %12s %10s %10s  %s\n' "static file (${static_size} B)" 200 "$static_rps" "$static_p50" \
  "$static_p99" "100%"
for i in "${!paths[@]}"; do
  read -r rps p50 p99 bad < <(measure "${paths[$i]}")
  if [ "${statuses[$i]}" = 200 ]; then
    share=$(awk -v a="$rps" -v b="$static_rps" 'BEGIN { printf "%.0f%%", (b > 0 ? 100 * a / b : 0) }')
    [ "$bad" = 0 ] || share="$share ($bad responses not 2xx/3xx)"
  elif [ "${statuses[$i]}" = 404 ]; then
    share="none: 404, the page is not built yet"
  else
    share="none: status ${statuses[$i]}"
  fi
  printf '%-26s %6s %12s %10s %10s  %s\n' "${names[$i]}" "${statuses[$i]}" "$rps" "$p50" "$p99" "$share"
done
