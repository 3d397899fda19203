#!/usr/bin/env bash
# Search benchmark: seeds a board of the given size (or reuses one seeded
# the same day) and times search.asp per kind of search with
# build/benchmarks/search_bench.
#
#   scripts/search-bench.sh [--posts N] [--db FILE]
#
# --posts  size of the board (default 1000000); kept as build/bench/board-N.db
# --db     seed into / reuse this file instead
set -euo pipefail
cd "$(dirname "$0")/.."

posts=1000000
db=""
while [ $# -gt 0 ]; do
  case "$1" in
    --posts) posts=$2; shift 2 ;;
    --db) db=$2; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "search-bench: unknown argument $1" >&2; exit 2 ;;
  esac
done

scripts/build.sh >/dev/null
[ -x build/benchmarks/search_bench ] || { echo "search-bench: Google Benchmark is not installed" >&2; exit 1; }

[ -n "$db" ] || db=build/bench/board-$posts.db
source scripts/lib/seeded-board.sh
seeded_board "$db" "$posts"

SEARCH_BENCH_DB=$db build/benchmarks/search_bench
