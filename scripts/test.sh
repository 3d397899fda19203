#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# Chromium (with a font for Chinese screenshots) and playwright-core, as
# its lock file pins it, are for the browser test; nginx and curl for the
# test of the board behind a proxy.
scripts/install-deps.sh chromium fonts-wqy-microhei nginx curl
(cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)
scripts/build.sh
ctest --test-dir build --output-on-failure -j"$(nproc)"
