#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-svg-dev qt6-image-formats-plugins
  adwaita-icon-theme libicu-dev xdg-utils
  fonts-droid-fallback fonts-lohit-deva fonts-noto-color-emoji
  libplist-dev libplist-utils libsqlite3-dev sqlite3
  libbenchmark-dev
  xvfb xauth ca-certificates fonts-dejavu-core
  clang libclang-rt-14-dev
  util-linux time
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
