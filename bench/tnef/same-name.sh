#!/usr/bin/env bash
# Listing and extracting 100 000 attachments of one name, and opening them in the window:
# each must stay linear in the number of attachments.
# Usage: bench/tnef/same-name.sh [BUILD_DIR]   (the window part needs velquin_window_bench)
set -euo pipefail
build=${1:-build/dev}
work=$(mktemp -d /tmp/velquin-same-name-XXXXXX)
trap 'rm -rf "$work"' EXIT
"$build/bin/velquin_make_bench_files" "$work"
file=$work/same-name.tnef
seconds() { local start=$(date +%s.%N); "$@" >/dev/null; echo "$(date +%s.%N) - $start" | bc; }
echo "list:    $(seconds "$build/bin/velquin-tnef" list "$file") s"
mkdir "$work/out"
echo "extract: $(seconds "$build/bin/velquin-tnef" extract "$file" "$work/out") s ($(ls "$work/out" | wc -l) files)"
bench=$build/bin/velquin_window_bench
if [ -x "$bench" ]; then
  export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} XDG_CONFIG_HOME=$work/config
  echo "window:  $("$bench" startup "$file") ms to the window shown with the list filled"
fi
