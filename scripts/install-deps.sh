#!/usr/bin/env bash
# Installs the Debian packages the board needs to build, run and test,
# only those that are missing. Run as root on Debian 12. Extra arguments
# name further packages a caller needs (the browser test's Chromium, wrk).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsqlite3-dev libpcre2-dev libcurl4-openssl-dev libcpp-httplib-dev libboost-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
