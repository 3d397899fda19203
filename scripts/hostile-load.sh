#!/usr/bin/env bash
# Hostile load: how the board holds while it is abused. Seeds a board of the
# given size (or reuses one seeded the same day), starts board-server on it
# and, while wrk measures default.asp, runs one kind of abuse after the
# other (scripts/lib/hostile-clients.py): 200 slow-head connections, 200
# slow-body connections, requests of 100,000 fields and of 100,000 headers,
# searches of 1,000 words and 100,000 cookie-less requests. Prints
# default.asp's throughput and p99 against a quiet run, what the abusers
# got, and the server's resident memory at the start and at the end.
# Goals: default.asp keeps half its quiet throughput in every case, memory
# ends within 50 MB of the start, no abusive request takes a second.
#
#   scripts/hostile-load.sh [--posts N] [--db FILE] [--duration SECONDS]
#                           [--connections N] [--threads N] [--server BINARY]
#
# --server    the board-server to measure (default build/site/board-server,
#             built first), e.g. an older build to compare with
# Only loopback traffic; every run ends after its duration.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/lib/bench-options.sh
parse_bench_options hostile-load 19 "$@"

scripts/install-deps.sh wrk curl python3
bench_server_and_board

work=$(mktemp -d)
source scripts/lib/board-server.sh
trap 'stop_board_server; rm -rf "$work"' EXIT
mkdir -p "$work/www"
[ ! -d site/www ] || cp -r site/www/. "$work/www/"
start_board_server "$server" "$db" "$work/www" "$work/data" "$work/server.log"
port=${BOARD_URL##*:}
echo "board-server at $BOARD_URL"

rss_mb() { awk '/^VmRSS:/ { printf "%.0f", $2 / 1024 }' "/proc/$BOARD_PID/status"; }

# Runs wrk on default.asp; prints "requests/s p99".
measure() {
  wrk -t"$threads" -c"$connections" -d"${duration}s" --latency "$BOARD_URL/default.asp" | awk '
    /Requests\/sec:/ { rps = $2 }
    /^ +99%/ { p99 = $2 }
    END { printf "%s %s\n", rps, p99 }'
}

curl -s -o /dev/null "$BOARD_URL/default.asp"
start_rss=$(rss_mb)
echo "wrk on default.asp: $threads threads, $connections connections, ${duration}s per case"
read -r quiet_rps quiet_p99 < <(measure)
printf '%-24s %10s %10s %7s  %s\n' case req/s p99 share "what the abusers got"
printf '%-24s %10s %10s %7s  %s\n' quiet "$quiet_rps" "$quiet_p99" 100% -

cases=("slow-head 200" "slow-body 200" "fields" "headers" "search" "cookieless 100000")
for case in "${cases[@]}"; do
  read -r kind count <<<"$case"
  # The abusers start first and stop a moment after wrk.
  python3 scripts/lib/hostile-clients.py "$port" "$kind" "$((duration + 3))" ${count:-} > "$work/abuse.txt" &
  abuser=$!
  sleep 1
  read -r rps p99 < <(measure)
  wait "$abuser"
  share=$(awk -v a="$rps" -v b="$quiet_rps" 'BEGIN { printf "%.0f%%", (b > 0 ? 100 * a / b : 0) }')
  printf '%-24s %10s %10s %7s  %s\n' "$case" "$rps" "$p99" "$share" "$(cat "$work/abuse.txt")"
done

# Give the server a moment to let go of what the abuse left behind.
sleep 2
echo "resident memory: ${start_rss} MB at the start, $(rss_mb) MB at the end"
