#!/usr/bin/env bash
# What the two commands of the README build: run-board.sh the server it
# starts and nothing else, test.sh everything. The scripts run in a copy of
# their folder, with cmake, ctest and npm replaced by stubs that note their
# arguments, and a stub server.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/tree/scripts" "$work/tree/build/site" "$work/tree/tests/browser" "$work/bin"
cp "$source_dir/scripts/run-board.sh" "$source_dir/scripts/build.sh" "$source_dir/scripts/test.sh" \
   "$work/tree/scripts/"
for stub in tree/scripts/install-deps.sh bin/cmake bin/ctest bin/npm tree/build/site/board-server; do
    printf '#!/bin/sh\necho "%s $*" >>"%s/calls"\n' "$(basename "$stub")" "$work" >"$work/$stub"
    chmod +x "$work/$stub"
done
export PATH="$work/bin:$PATH"

fail() {
    echo "build targets: $*"
    echo "--- calls"; cat "$work/calls"
    exit 1
}

"$work/tree/scripts/run-board.sh" --port 8081
builds=$(grep '^cmake --build' "$work/calls")
[ "$builds" = "cmake --build build -j$(nproc) --target board-server" ] || fail "run-board.sh builds more than the server"
grep -qx 'board-server --port 8081' "$work/calls" || fail "run-board.sh did not start the server with its arguments"

: >"$work/calls"
"$work/tree/scripts/test.sh"
builds=$(grep '^cmake --build' "$work/calls")
[ "$builds" = "cmake --build build -j$(nproc)" ] || fail "test.sh does not build everything"
grep -q '^ctest ' "$work/calls" || fail "test.sh ran no tests"
echo "build targets: passed"
