#!/usr/bin/env bash
# The browser test: seeds a small board, starts board-server on it, runs the
# test files with node's test runner (Debian's Chromium through
# playwright-core) and stops the server. Screenshots and the server's log
# go to BUILD/test-output/browser/.
#
#   tests/browser/run.sh [BUILD_DIR]      (default: build/)
#
# scripts/test.sh installs Chromium and the npm package first; without them
# the test is skipped (exit 77), saying what is missing.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

skip() {
  echo "SKIPPED: $*"
  exit 77
}
[ -x /usr/bin/chromium ] || skip "Chromium is missing (scripts/test.sh installs it)"
[ -d "$here/node_modules/playwright-core" ] || skip "playwright-core is missing (scripts/test.sh runs npm ci in tests/browser)"

out=$build/test-output/browser
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
source "$root/scripts/lib/board-server.sh"
trap 'stop_board_server; rm -rf "$work"' EXIT

# Small, so that the test stays fast; still a long thread of several pages.
"$build/tools/seed/board-seed" --db "$work/board.db" --posts 600 > "$work/seed.txt"
# Members choose their password: the walk registers without a mail relay.
# One browser posts one thing after another from one address: the
# repeat-submit interval, which follows the member and the address, is off
# (its own tests cover it).
printf 'EMailRegister = false\nSubmitInterval = -1\n' > "$work/site.conf"
start_board_server "$build/site/board-server" "$work/board.db" "$root/site/www" "$work/data" "$out/server.log" \
  "$work/site.conf"
echo "board-server at $BOARD_URL"

cd "$here"
BOARD_URL=$BOARD_URL BOARD_SEED_INFO=$work/seed.txt BROWSER_OUTPUT=$out node --test ./*.test.js
