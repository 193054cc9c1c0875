#!/usr/bin/env bash
# Installs everything needed to build, test, fuzz and package Velquin Reader on Debian 12.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git
  # tests and fuzzing
  googletest libgtest-dev libgmock-dev clang libclang-rt-14-dev
  # GUI (Qt 6 Widgets, Designer forms, Linguist, SVG rendering)
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-svg-dev libgl-dev
  # registry store and picture decoders
  libsqlite3-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev libwmf-dev libexpat1-dev fonts-urw-base35 libemf2svg-dev
  # desktop integration and the Debian package: building it and checking it
  shared-mime-info desktop-file-utils xdg-utils dpkg-dev file lintian appstream
)

# Peers the benchmarks compare against; only needed for bench/.
bench_packages=(tnef ytnef-tools hyperfine time unrtf)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

want=("${packages[@]}")
if [ "${VELQUIN_BENCH:-0}" = "1" ]; then want+=("${bench_packages[@]}"); fi

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
