#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer into build-fuzz/ and runs
# them side by side, each for the given time:
#
#   scripts/fuzz.sh [seconds per target (default 600)] [target ...]
#
# Targets: every tests/fuzz/<target>_fuzz.cpp (markup request charset
# settings date; default: all). Each starts from its seeds in
# tests/fuzz/corpus/<target>/ (if any) and keeps what it learns in
# build-fuzz/corpus/<target>/. A crash, a broken rule or an input slower
# than the timeout is written to build-fuzz/findings/<target>/; turn each
# into an ordinary test case of the suite. The build uses Debian 12's
# clang 14 and as many jobs as CMAKE_BUILD_PARALLEL_LEVEL says (default:
# one a core); scripts/test.sh runs every target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
[ $# -gt 0 ] && shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in tests/fuzz/*_fuzz.cpp; do
    name=${source##*/}
    targets+=("${name%_fuzz.cpp}")
  done
fi

# Longest input per target, and the time one input may take (seconds of
# wall time, with the checks' slowdown and other work on the machine): a
# post or request of 64 KB takes a few milliseconds without them, so only
# a cost that grows faster than the input gets near it.
declare -A maxLength=([markup]=65536 [request]=65536 [charset]=4096 [settings]=8192 [date]=64)
defaultMaxLength=4096
timeout=3
# Freed memory stays with the process: handing it back to the system one
# page range at a time can stall an input for seconds on a virtual machine.
export ASAN_OPTIONS=${ASAN_OPTIONS:-allocator_release_to_os_interval_ms=-1}

scripts/install-deps.sh clang-14 libclang-rt-14-dev
mkdir -p build-fuzz
# ccache, where there is one, keeps rebuilds of the fuzz build short.
launcher=()
! command -v ccache >/dev/null || launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_FUZZ=ON \
  ${launcher[@]+"${launcher[@]}"} >/dev/null
nice -n 5 cmake --build build-fuzz -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "${targets[@]/%/_fuzz}" \
  >build-fuzz/build.log 2>&1 ||
  { tail -40 build-fuzz/build.log; exit 1; }

touch build-fuzz/run-start
pids=()
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/findings/$t"
  seeds=()
  [ ! -d "tests/fuzz/corpus/$t" ] || seeds=("tests/fuzz/corpus/$t")
  nice -n 5 "build-fuzz/tests/fuzz/${t}_fuzz" -max_total_time="$seconds" -timeout="$timeout" \
    -rss_limit_mb=2048 -max_len="${maxLength[$t]:-$defaultMaxLength}" -print_final_stats=1 \
    -artifact_prefix="build-fuzz/findings/$t/" "build-fuzz/corpus/$t" ${seeds[@]+"${seeds[@]}"} \
    >"build-fuzz/$t.log" 2>&1 &
  pids+=($!)
done

failed=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  if wait "${pids[$i]}"; then status=clean; else status=FOUND; failed=1; fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "build-fuzz/$t.log" | grep -o '[0-9]*$' || echo "?")
  printf '%-9s %-6s %10s inputs  new findings: %s\n' "$t" "$status" "$runs" \
    "$(find "build-fuzz/findings/$t" -type f -newer build-fuzz/run-start | wc -l)"
done
[ $failed -eq 0 ] || echo "see build-fuzz/<target>.log and build-fuzz/findings/"
exit $failed
