# The options the benchmark scripts share. Sets posts, db, duration,
# connections, threads and server (a board-server to measure, "" for the
# build's own) from "$@"; --help prints the calling script's
# header (its lines 2..$2). Usage: parse_bench_options NAME HELP_END "$@"
parse_bench_options() {
  local name=$1 help_end=$2
  shift 2
  posts=10000
  db=""
  duration=10
  connections=32
  threads=4
  server=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --posts) posts=$2; shift 2 ;;
      --db) db=$2; shift 2 ;;
      --duration) duration=$2; shift 2 ;;
      --connections) connections=$2; shift 2 ;;
      --threads) threads=$2; shift 2 ;;
      --server) server=$(realpath "$2"); shift 2 ;;
      -h|--help) sed -n "2,${help_end}p" "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
      *) echo "$name: unknown argument $1" >&2; exit 2 ;;
    esac
  done
}

# After parse_bench_options: the server to measure (the build's own, built
# first, unless --server named one) and the seeded board (--db, or one of
# --posts posts).
bench_server_and_board() {
  if [ -z "$server" ]; then
    scripts/build.sh >/dev/null
    server=$PWD/build/site/board-server
  fi
  [ -n "$db" ] || db=build/bench/board-$posts.db
  source scripts/lib/seeded-board.sh
  seeded_board "$db" "$posts" >/dev/null
}
