#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds the programs and opens the bundled sample message.
# Usage: scripts/run.sh [FILE]   (default: the bundled sample)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh run
# The tests need GoogleTest, which only the test command installs: build them here only when
# it is already there, so running never switches off the tests of an existing build.
tests=OFF
if dpkg-query -W -f='${Status}' libgtest-dev 2>/dev/null | grep -q "install ok installed"; then tests=ON; fi
cmake --preset dev -DVELQUIN_TESTS=$tests >/dev/null
cmake --build --preset dev
build=build/dev
file="${1:-$build/samples/welcome.tnef}"
viewer=$(find "$build" -type f -name velquin-reader -perm -u+x | head -n 1)
if [ -n "$viewer" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  exec "$viewer" "$file"
fi
# No display (or no viewer yet): show the same message in the terminal.
tool=$(find "$build" -type f -name velquin-tnef -perm -u+x | head -n 1)
"$tool" show "$file"
echo
"$tool" list "$file"
