#!/usr/bin/env bash
# board-server refuses a bad start option at once, naming it, and does not
# start serving.
# Usage: start-refusals.sh BUILD_DIR
set -euo pipefail
server=$(cd "$1" && pwd)/site/board-server
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

refused() {  # expected-message option...
    local expected=$1; shift
    local status=0
    timeout 10 "$server" --port 0 "$@" >out.log 2>&1 || status=$?
    if [ "$status" -eq 0 ] || [ "$status" -eq 124 ]; then
        echo "start refusals: board-server $* was not refused (status $status)"; cat out.log; exit 1
    fi
    grep -qF -- "$expected" out.log || { echo "start refusals: no \"$expected\" for $*"; cat out.log; exit 1; }
    [ ! -e board.db ] || { echo "start refusals: board-server $* created a board file"; exit 1; }
}

refused "no site folder at $work/missing (--www)" --www "$work/missing"
touch a-file
refused "no site folder at a-file (--www)" --www a-file
refused "bad port x" --port x
echo "start refusals: passed"
