#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh test
cmake --preset dev -DVELQUIN_TESTS=ON
cmake --build --preset dev
ctest --preset dev -j2
