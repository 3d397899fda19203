#!/usr/bin/env bash
# Installs what is missing, builds the server (only), and starts the board.
# Extra arguments go to board-server (see board-server --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh board-server
exec build/site/board-server "$@"
