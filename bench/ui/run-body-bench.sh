#!/usr/bin/env bash
# The message pane with long bodies: for each generated body, the ms from the open to the
# first screenful painted and to the whole body in the pane and laid out, and peak memory;
# then the ms that closing the window right after the first screenful takes to end the program.
# Usage: bench/ui/run-body-bench.sh BUILD_DIR   (a release build is the one to measure)
set -euo pipefail
build=${1:-build/release}
cmake --build "$build" --target velquin_body_bench >/dev/null
bench=$build/bin/velquin_body_bench
[ -x "$bench" ] || bench=$build/bench/ui/velquin_body_bench
work=$(mktemp -d /dev/shm/velquin-body.XXXXXX 2>/dev/null || mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_CONFIG_HOME=$work/config
"$bench" make "$work" >/dev/null
for body in rtf-1 rtf-5 rtf-20 rtf-80 html-5 html-20 nested-1000; do
  printf '%-12s %s\n' "$body" "$("$bench" show "$work/$body.tnef" 2>/dev/null | tail -1)"
done
for body in rtf-5 rtf-20 rtf-80 html-20; do
  printf '%-12s %s\n' "$body" "$("$bench" quit "$work/$body.tnef" 2>/dev/null | tail -1)"
done
