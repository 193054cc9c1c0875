#!/usr/bin/env bash
# Time to the window painted, without a file against a Qt hello-world built the same way
# (paired runs, so both see the same machine load) and with the sample message; peak memory
# opening a file with 900 MB of attachments against a small one.
# Usage: bench/ui/run-window-bench.sh BUILD_DIR
set -euo pipefail
build=${1:-build/dev}
bench=$build/bin/velquin_window_bench
[ -x "$bench" ] || bench=$build/bench/ui/velquin_window_bench
hello=$build/bin/velquin_hello_bench
[ -x "$hello" ] || hello=$build/bench/ui/velquin_hello_bench
sample=$build/samples/welcome.tnef
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_CONFIG_HOME=$work/config

"$bench" first-run-done
# Processor time to the window painted: on a shared machine the steadier figure.
ms() { "$@" | awk '{print $8}'; }
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
echo "== start-up without a file, paired with the hello-world (9 pairs, medians)"
ours=() base=()
for _ in 1 2 3 4 5 6 7 8 9; do
  base+=("$(ms "$hello")")
  ours+=("$(ms "$bench" startup)")
done
b=$(printf '%s\n' "${base[@]}" | median)
o=$(printf '%s\n' "${ours[@]}" | median)
echo "processor time, hello-world: $b ms, velquin-reader window: $o ms, ratio $(awk -v o="$o" -v b="$b" 'BEGIN {printf "%.2f", o / b}')x (goal <= 1.3x)"

echo "== start-up with the sample message (5 runs)"
for _ in 1 2 3 4 5; do "$bench" startup "$sample"; done

echo "== peak memory"
"$bench" make-large "$work/large.dat" 900
ls -ls "$work/large.dat"
small=$("$bench" memory "$sample" | awk '{print $4}')
large=$("$bench" memory "$work/large.dat" | awk '{print $4}')
echo "small file: $small KB, 900 MB of attachments: $large KB, difference: $((large - small)) KB"
