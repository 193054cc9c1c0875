#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60), starting
# from seeds the test builder writes and keeping what each run found in build/fuzz/corpus.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET-NAME-FILTER]
# The random seed is fixed (VELQUIN_FUZZ_SEED, default 1) so that a run from the same seeds
# explores the same inputs again: a finding in CI can be replayed here.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh fuzz
seconds="${1:-60}"
filter="${2:-}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
build=build/fuzz
"$build/fuzz/velquin_fuzz_seeds" "$build/seeds"

# Runs one target for its time; its outcome is kept in $build/<name>.status for the report.
run_target() {
  local target=$1 name layer corpus seeds=()
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus" "$build/crashes/$name"
  # Seeds: those the test builder wrote, and those kept beside the target's source
  # (fuzz/<layer>/seeds/<target>/, or fuzz/<layer>/seeds/ itself for a layer's only target).
  layer=$(basename "$(dirname "$target")")
  [ -d "$build/seeds/$name" ] && seeds+=("$build/seeds/$name")
  if [ -d "fuzz/$layer/seeds/$name" ]; then
    seeds+=("fuzz/$layer/seeds/$name")
  elif [ -n "$(find "fuzz/$layer/seeds" -maxdepth 1 -type f 2>/dev/null | head -n 1)" ]; then
    seeds+=("fuzz/$layer/seeds")
  fi
  if "$target" -seed="${VELQUIN_FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/crashes/$name/" "$corpus" "${seeds[@]}" 2>"$build/$name.log"; then
    echo ok >"$build/$name.status"
  else
    echo failed >"$build/$name.status"
  fi
}

# The targets run side by side, one per core (VELQUIN_FUZZ_JOBS): each is single-threaded,
# and its time is its own wall-clock time either way.
jobs=${VELQUIN_FUZZ_JOBS:-$(nproc)}
targets=()
for target in $(find "$build/fuzz" -maxdepth 2 -type f -name 'fuzz_*' -perm -u+x | sort); do
  name=$(basename "$target")
  [[ -n "$filter" && "$name" != *"$filter"* ]] && continue
  targets+=("$target")
  rm -f "$build/$name.status"
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  echo "== $name: ${seconds}s"
  run_target "$target" &
done
wait

status=0
for target in "${targets[@]}"; do
  name=$(basename "$target")
  layer=$(basename "$(dirname "$target")")
  if [ "$(cat "$build/$name.status" 2>/dev/null)" != ok ]; then
    # Kept beside the target's source, where the test run replays every finding.
    mkdir -p "fuzz/$layer/crashes/$name"
    find "$build/crashes/$name" -maxdepth 1 -type f -exec cp -n {} "fuzz/$layer/crashes/$name/" \;
    echo "FAILED: $name (see $build/$name.log; findings copied to fuzz/$layer/crashes/$name: commit them with the fix)"
    tail -n 40 "$build/$name.log"
    status=1
  else
    echo "$name: $(grep -E '^stat::number_of_executed_units|^Done' "$build/$name.log" | tr '\n' ' ')"
  fi
done
exit $status
