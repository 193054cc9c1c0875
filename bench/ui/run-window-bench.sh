#!/usr/bin/env bash
# Time to the window showing the sample message, and peak memory opening a file with 900 MB
# of attachments against a small one. Usage: bench/ui/run-window-bench.sh BUILD_DIR
set -euo pipefail
build=${1:-build/dev}
bench=$build/bin/velquin_window_bench
[ -x "$bench" ] || bench=$build/bench/ui/velquin_window_bench
sample=$build/samples/welcome.tnef
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_CONFIG_HOME=$work/config

echo "== start-up (5 runs)"
for _ in 1 2 3 4 5; do "$bench" startup "$sample"; done

echo "== peak memory"
"$bench" make-large "$work/large.dat" 900
ls -ls "$work/large.dat"
small=$("$bench" memory "$sample" | awk '{print $4}')
large=$("$bench" memory "$work/large.dat" | awk '{print $4}')
echo "small file: $small KB, 900 MB of attachments: $large KB, difference: $((large - small)) KB"
