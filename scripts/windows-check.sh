#!/usr/bin/env bash
# Cross-builds the Qt-free layers and velquin-tnef for 64-bit Windows (preset "windows"), runs
# their GoogleTest binaries under Wine in a private prefix, checks that the settings engine's
# options landed in Wine's user.reg, and compares velquin-tnef.exe with the Linux build on
# every corpus sample (exit status, show, list, SHA-256 of extracted bytes) and on a file and
# a folder with non-ASCII names. Prints what it compared; exits non-zero on any difference.
# Usage: scripts/windows-check.sh [CORPUS_DIR]   (default ../shared/corpus; absent: skipped)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
corpus=${1:-$root/../shared/corpus}

bash scripts/setup-debian.sh windows

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset windows "${launcher[@]}"
cmake --build --preset windows -j"$(nproc)"

# A private prefix: nothing from the user's own Wine, and no display needed.
wine=/usr/lib/wine/wine64
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/velquin-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scratch=$(mktemp -d /tmp/velquin-wincheck.XXXXXX)
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$scratch"' EXIT
"$wine" wineboot -i >/dev/null 2>&1
/usr/lib/wine/wineserver -w

# A failing test does not stop the comparison below; the script fails at the end.
tests_status=0
ctest --test-dir build/windows -j"$(nproc)" --output-on-failure --timeout 600 || tests_status=$?

# A registry round trip through the real user hive: one options test writes every option
# and reads it back without its private roots; the values must then be in Wine's user.reg
# under the executable's name, one value per option.
VELQUIN_TEST_REAL_REGISTRY=1 "$wine" build/windows/tests/settings/velquin_settings_tests.exe \
  --gtest_filter=Options.EachOptionIsOneValueOfItsType
/usr/lib/wine/wineserver -w
for value in AssociateDatFiles AssociateTNEFOnThunderbird HasShowedOptions Language \
             LastSaveAllDirectory; do
  awk -v key='[Software\\\\velquin_settings_tests]' -v value="\"$value\"=" '
    index($0, key) == 1 { inside = 1; next }
    /^\[/ { inside = 0 }
    inside && index($0, value) == 1 { found = 1 }
    END { exit !found }' "$WINEPREFIX/user.reg" ||
    { echo "windows-check: \"$value\" is not under Software\\velquin_settings_tests in user.reg" >&2; exit 1; }
done
echo "registry: the five stored options are in user.reg under Software\\velquin_settings_tests"

# The Linux side: the CLI of the Qt-free build (built already when CI ran its nogui step).
if [ ! -x build/nogui/bin/velquin-tnef ]; then
  cmake --preset nogui -DVELQUIN_TESTS=OFF "${launcher[@]}"
fi
cmake --build --preset nogui -j"$(nproc)" --target velquin-tnef
linux=$root/build/nogui/bin/velquin-tnef
windows=$root/build/windows/bin/velquin-tnef.exe

# One run of one command on both sides: exit status, output and error text must agree.
differences=0
compare_run() {
  local label="$1"
  shift
  local l_status=0 w_status=0
  "$linux" "$@" >"$scratch/l.out" 2>"$scratch/l.err" || l_status=$?
  local args=() a
  for a in "$@"; do
    if [[ "$a" == /* ]]; then args+=("Z:$a"); else args+=("$a"); fi
  done
  "$wine" "$windows" "${args[@]}" >"$scratch/w.out" 2>"$scratch/w.err" || w_status=$?
  if [ "$l_status" != "$w_status" ] || ! cmp -s "$scratch/l.out" "$scratch/w.out" ||
     ! cmp -s "$scratch/l.err" "$scratch/w.err"; then
    echo "DIFFERENT: $label (exit $l_status / $w_status)"
    diff "$scratch/l.out" "$scratch/w.out" | head -5 || true
    diff "$scratch/l.err" "$scratch/w.err" | head -5 || true
    differences=$((differences + 1))
  fi
}

# Extraction on both sides into fresh folders of the same name: the same exit status and
# texts, and the same files by name and SHA-256.
compare_extract() {
  local label="$1" file="$2" folder="$3" l_status=0 w_status=0
  rm -rf "$scratch/l" "$scratch/w"
  mkdir -p "$scratch/l/$folder" "$scratch/w/$folder"
  (cd "$scratch/l" && "$linux" extract "$file" "$folder") >"$scratch/l.out" 2>"$scratch/l.err" || l_status=$?
  (cd "$scratch/w" && "$wine" "$windows" extract "Z:$file" "$folder") >"$scratch/w.out" 2>"$scratch/w.err" || w_status=$?
  (cd "$scratch/l/$folder" && find . -type f -print0 | sort -z | xargs -0r sha256sum) >"$scratch/l.sums"
  (cd "$scratch/w/$folder" && find . -type f -print0 | sort -z | xargs -0r sha256sum) >"$scratch/w.sums"
  if [ "$l_status" != "$w_status" ] || ! cmp -s "$scratch/l.out" "$scratch/w.out" ||
     ! cmp -s "$scratch/l.err" "$scratch/w.err" || ! cmp -s "$scratch/l.sums" "$scratch/w.sums"; then
    echo "DIFFERENT: extract $label (exit $l_status / $w_status)"
    diff "$scratch/l.out" "$scratch/w.out" | head -5 || true
    diff "$scratch/l.err" "$scratch/w.err" | head -5 || true
    diff "$scratch/l.sums" "$scratch/w.sums" | head -5 || true
    differences=$((differences + 1))
  fi
  extracted=$((extracted + $(wc -l <"$scratch/l.sums")))
}

extracted=0
samples=0
if [ -d "$corpus" ]; then
  while IFS= read -r -d '' sample; do
    samples=$((samples + 1))
    label=${sample#"$corpus"/}
    compare_run "show $label" show "$sample"
    compare_run "list $label" list "$sample"
    compare_extract "$label" "$sample" out
  done < <(find "$corpus" -type f -print0 | sort -z)

  # Names outside ASCII reach the file system as UTF-16: a sample under such a name,
  # extracted into a folder with such a name.
  first=$(find "$corpus" -type f \( -iname '*.dat' -o -iname '*.tnef' \) -print0 | sort -z | head -zn1 | tr -d '\0')
  if [ -n "$first" ]; then
    cp "$first" "$scratch/Prüfung-日本語.dat"
    compare_run "show (non-ASCII name)" show "$scratch/Prüfung-日本語.dat"
    compare_run "list (non-ASCII name)" list "$scratch/Prüfung-日本語.dat"
    compare_extract "(non-ASCII names)" "$scratch/Prüfung-日本語.dat" "Ordner-ñ-ß"
    samples=$((samples + 1))
  fi
else
  echo "windows-check: no corpus at $corpus; the comparison with the Linux build is skipped"
fi
echo "corpus: $samples files compared (show, list, extract; $extracted extracted files), $differences differences"
[ "$differences" -eq 0 ] && [ "$tests_status" -eq 0 ]
