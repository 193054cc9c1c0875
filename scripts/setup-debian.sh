#!/usr/bin/env bash
# Installs what Velquin Reader needs on Debian 12, by purpose, so that each command pulls in
# only what it uses. Safe to run again: apt-get skips what is already there.
# Usage: scripts/setup-debian.sh [GROUP...]
#   GROUP: run (default), test, fuzz, package, windows, bench
#   run      build the programs and run the viewer
#   test     run + every test (scripts/test.sh)
#   fuzz     run + clang and libFuzzer (scripts/fuzz.sh)
#   package  run + building and checking the Debian package (scripts/package.sh)
#   windows  cross-building the Qt-free layers and the CLI for Windows, testing under Wine
#   bench    the peers the benchmarks compare against (bench/)
# VELQUIN_BENCH=1 adds the bench group to any call.
# Add a new package to the one list below that matches its purpose.
set -euo pipefail

# Building the programs and running the viewer.
run_packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config git
  # GUI (Qt 6 Widgets, Designer forms, Linguist, SVG rendering)
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-svg-dev libgl-dev
  # Qt's own texts (file dialogs, standard buttons) in French and Chinese
  qt6-translations-l10n
  # registry store and picture decoders (libwmf links expat and draws with the URW fonts)
  libsqlite3-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev libwmf-dev libexpat1-dev
  fonts-urw-base35 libemf2svg-dev
  # calendar items exported as iCalendar
  libical-dev
  # the shared MIME database and the desktop's "open with" tools
  shared-mime-info xdg-utils
  # mail files (.eml, mbox) that carry a TNEF part
  libgmime-3.0-dev
)

# Every test: GoogleTest, and what the desktop-integration and packaging tests call.
test_packages=(
  googletest libgtest-dev libgmock-dev
  desktop-file-utils appstream
  # the iCalendar test reads our output with a second, independent parser
  python3-icalendar
  # the PDF export test reads the text back; the accessibility dump runs the viewer under
  # Xvfb with the accessibility bus; the screenshots are taken under Xvfb and made small
  poppler-utils xvfb xauth dbus-daemon at-spi2-core python3-pyatspi optipng fonts-wqy-microhei
)

# libFuzzer targets: clang and its runtime libraries.
fuzz_packages=(clang libclang-rt-14-dev)

# Building the Debian package and checking it.
package_packages=(dpkg-dev file lintian appstream desktop-file-utils)

# The Windows build (scripts/windows-check.sh): MinGW-w64 with POSIX threads, Wine to run
# its tests, GoogleTest's sources to build them with the cross compiler, zlib built for
# MinGW-w64, and what scripts/windows-deps.sh builds libical, GLib and GMime from Debian's
# sources with: dpkg-source (Debian's patches), Perl (libical's code generators), Meson
# (GLib), the autotools (GMime).
windows_packages=(cmake ninja-build g++-mingw-w64-x86-64-posix mingw-w64 wine64 googletest perl
  libz-mingw-w64-dev meson autoconf automake libtool dpkg-dev)

# CI proves the README in fresh chroots (scripts/fresh-check.sh).
ci_packages=(debootstrap)

# Peers the benchmarks compare against.
bench_packages=(tnef ytnef-tools hyperfine time unrtf)

groups=("$@")
if [ "${#groups[@]}" -eq 0 ]; then groups=(run); fi
if [ "${VELQUIN_BENCH:-0}" = "1" ]; then groups+=(bench); fi

want=()
for group in "${groups[@]}"; do
  case "$group" in
    run) want+=("${run_packages[@]}") ;;
    test) want+=("${run_packages[@]}" "${test_packages[@]}") ;;
    fuzz) want+=("${run_packages[@]}" "${fuzz_packages[@]}") ;;
    package) want+=("${run_packages[@]}" "${package_packages[@]}") ;;
    windows) want+=("${windows_packages[@]}") ;;
    bench) want+=("${bench_packages[@]}") ;;
    all) want+=("${run_packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}"
                "${package_packages[@]}" "${ci_packages[@]}") ;;
    *) echo "setup-debian.sh: unknown group '$group' (run, test, fuzz, package, windows, bench, all)" >&2
       exit 2 ;;
  esac
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in $(printf '%s\n' "${want[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
