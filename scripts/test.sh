#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Chromium (with a font for Chinese screenshots) and playwright-core, as
# its lock file pins it, are for the browser test; nginx and curl for the
# test of the board behind a proxy; clang 14 and its libFuzzer for the
# fuzz targets.
scripts/install-deps.sh chromium fonts-wqy-microhei nginx curl clang-14 libclang-rt-14-dev
(cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
# Every fuzz target builds and runs a few seconds, so that the fuzz build
# cannot break unseen.
if command -v clang++-14 >/dev/null; then
  scripts/fuzz.sh 5
else
  echo "test: clang++-14 is missing: the fuzz targets are neither built nor run"
fi
