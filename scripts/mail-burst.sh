#!/usr/bin/env bash
# A burst of mail pages against a mail relay that never answers: seeds a
# board of the given size (or reuses one), starts board-server on it with a
# relay that takes connections and stays silent, and sends 1,000
# send-to-a-friend pages at once, each from a client address of its own,
# while one client asks for the home page again and again
# (scripts/lib/mail-burst-clients.py). Prints the home page's worst and p99
# answer times, the mail pages' worst, and the server's threads before the
# burst, at its peak and after. Goals: the home page within 1 s throughout,
# every mail page within the mail deadline (15 s) and a second.
#
#   scripts/mail-burst.sh [--posts N] [--db FILE] [--count N] [--server BINARY]
#
# --server    the board-server to measure (default build/site/board-server,
#             built first), e.g. an older build to compare with
# Only loopback traffic.
set -euo pipefail
cd "$(dirname "$0")/.."

count=1000
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    --count) count=$2; shift 2 ;;
    *) args+=("$1"); shift ;;
  esac
done
source scripts/lib/bench-options.sh
parse_bench_options mail-burst 15 ${args[@]+"${args[@]}"}

scripts/install-deps.sh python3
bench_server_and_board

work=$(mktemp -d)
source scripts/lib/board-server.sh
relay_pid=""
trap 'stop_board_server; [ -z "$relay_pid" ] || kill "$relay_pid"; rm -rf "$work"' EXIT
python3 scripts/lib/mail-burst-clients.py relay "$work/relay-port" &
relay_pid=$!
for _ in $(seq 1 50); do [ -s "$work/relay-port" ] && break; sleep 0.1; done

cat >"$work/site.conf" <<EOF
SmtpServer = 127.0.0.1:$(cat "$work/relay-port")
BBEMail = board@example.com
SubmitInterval = -1
EOF
mkdir -p "$work/www"
[ ! -d site/www ] || cp -r site/www/. "$work/www/"
start_board_server "$server" "$db" "$work/www" "$work/data" "$work/server.log" "$work/site.conf"
echo "board-server at $BOARD_URL, $count mail pages against a silent relay"
curl -s -o /dev/null "$BOARD_URL/default.asp"
python3 scripts/lib/mail-burst-clients.py burst "${BOARD_URL##*:}" "$BOARD_PID" "$count"
