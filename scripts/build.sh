#!/usr/bin/env bash
# Configures and builds the board (Release) into build/: the targets named
# (e.g. board-server), or everything.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" ${targets[@]+"${targets[@]}"}
