#!/usr/bin/env bash
# Cross-builds the Qt-free layers and velquin-tnef for 64-bit Windows (preset "windows"), runs
# their GoogleTest binaries under Wine in a private prefix, checks that the settings engine's
# options landed in Wine's user.reg, and compares velquin-tnef.exe with the Linux build on
# every TNEF sample and every mail of the corpus (exit status, show, list, list-mail, ics,
# SHA-256 of extracted bytes; each part of a mail with several), on a mailbox made of the
# corpus's mails, and on files and folders with non-ASCII names. One Wine server is kept up for all the runs, and
# the samples run in parallel. Prints what it compared; exits non-zero on any difference.
# Usage: scripts/windows-check.sh [CORPUS_DIR]   (default ../shared/corpus; absent: skipped)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
corpus=${1:-$root/../shared/corpus}

bash scripts/setup-debian.sh windows
# The libraries Debian packages for Linux only, cross-built from its sources (kept once built).
bash scripts/windows-deps.sh

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake --preset windows "${launcher[@]}"
cmake --build --preset windows -j"$(nproc)"

# A private prefix: nothing from the user's own Wine, and no display needed.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/velquin-wine.XXXXXX)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
scratch=$(mktemp -d /tmp/velquin-wincheck.XXXXXX)
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$scratch"' EXIT
"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -w

# A registry round trip through the real user hive: one options test writes every option
# and reads it back without its private roots; the values must then be in Wine's user.reg
# under the executable's name, one value per option. The hive reaches user.reg when the
# server stops, so this runs before the server is kept up for the runs below.
VELQUIN_TEST_REAL_REGISTRY=1 "$wine" build/windows/tests/settings/velquin_settings_tests.exe \
  --gtest_filter=Options.EachOptionIsOneValueOfItsType
"$wineserver" -w
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

# One server for every run below: each Wine start then costs a fraction of a second. Wine's
# own services start with the first program and stay up with the server; GLib, below the
# mail parser, makes a window on start, and Wine starts its desktop (explorer.exe) for it.
# Both keep the standard handles of the program that started them, so first runs with none
# of ours start them here. The desktop may still end when idle and be started again by a
# test: CTest runs each test through cmake/wine-test.sh, which gives the test a file of its
# own for its output, so that no pipe of CTest's is left open behind it.
"$wineserver" -p
"$wine" "$root/build/windows/bin/velquin-tnef.exe" --version </dev/null >/dev/null 2>&1
printf 'From: a@example.org\nSubject: warm-up\n\nText.\n' >"$scratch/warm-up.eml"
"$wine" "$root/build/windows/bin/velquin-tnef.exe" list-mail "Z:$scratch/warm-up.eml" </dev/null >/dev/null 2>&1 || true

# A failing test does not stop the comparison below; the script fails at the end.
tests_status=0
ctest --test-dir build/windows -j"$(nproc)" --output-on-failure --timeout 600 || tests_status=$?

# The Linux side: the CLI of the Qt-free build with its mail library and the build tree's
# machine store naming it, as the Windows side has velquin-mapi.dll beside the program (both
# then decode the bodies whose compressed RTF only the tolerant library reads).
if [ ! -f build/nogui/CMakeCache.txt ]; then
  cmake --preset nogui -DVELQUIN_TESTS=OFF "${launcher[@]}"
fi
cmake --build --preset nogui -j"$(nproc)" --target velquin-tnef velquin_build_store
export linux=$root/build/nogui/bin/velquin-tnef
export windows=$root/build/windows/bin/velquin-tnef.exe
check_start=$(date -u +%Y%m%dT%H%M%SZ)
export wine scratch check_start

# One sample on one side (l or w): the exit status, output and error text of show, list,
# list-mail, ics and extract, and the extracted files by name and SHA-256, kept under
# $scratch/<side>/<n>/; for a mail with several TNEF parts, once more for each part (--part).
# Extraction goes into a fresh folder of the same name on both sides.
run_commands() {
  local dir=$1 folder=$2 command status
  shift 2
  mkdir -p "$dir/files/$folder"
  for command in show list ics; do
    status=0
    "${run[@]}" "$command" "$arg" "$@" >"$dir/$command.out" 2>"$dir/$command.err" || status=$?
    echo "$status" >"$dir/$command.status"
  done
  # An item with no time of its own is stamped with the time it is written: such a stamp,
  # one that falls within this check, is the only text told apart from its value.
  awk -v from="$check_start" -v to="$(date -u +%Y%m%dT%H%M%SZ)" '
    /^DTSTAMP:/ { stamp = substr($0, 9, 16); if (stamp >= from && stamp <= to) $0 = "DTSTAMP:(now)" }
    { print }' "$dir/ics.out" >"$dir/ics.tmp" && mv "$dir/ics.tmp" "$dir/ics.out"
  status=0
  (cd "$dir/files" && "${run[@]}" extract "$arg" "$folder" "$@") >"$dir/extract.out" 2>"$dir/extract.err" ||
    status=$?
  echo "$status" >"$dir/extract.status"
  (cd "$dir/files/$folder" && find . -type f -print0 | sort -z | xargs -0r sha256sum) >"$dir/extract.sums"
  rm -rf "$dir/files"
}
run_sample() {
  local side=$1 n=$2 file=$3 folder=${4:-out} dir="$scratch/$1/$2" status parts part
  local run=("$linux") arg=$file
  if [ "$side" = w ]; then run=("$wine" "$windows"); arg="Z:$file"; fi
  mkdir -p "$dir"
  status=0
  "${run[@]}" list-mail "$arg" >"$dir/list-mail.out" 2>"$dir/list-mail.err" || status=$?
  echo "$status" >"$dir/list-mail.status"
  run_commands "$dir" "$folder"
  parts=0
  if [ "$status" = 0 ]; then parts=$(wc -l <"$dir/list-mail.out"); fi
  if [ "$parts" -gt 1 ]; then
    for ((part = 1; part <= parts; part++)); do run_commands "$dir/part-$part" "$folder" --part "$part"; done
  fi
}
export -f run_commands run_sample

# The samples that velquin-tnef reads as TNEF: it decides by the signature in the first four
# bytes, so those files, and the ones named as TNEF without it (which both sides must refuse
# alike); and the mails and mailboxes, by their names.
jobs=()
labels=()
if [ -d "$corpus" ]; then
  while IFS= read -r -d '' sample; do
    signature=$(head -c 4 "$sample" | od -An -tx1 | tr -d ' \n')
    case "$sample" in
      *.[Dd][Aa][Tt] | *.[Tt][Nn][Ee][Ff] | *.[Ee][Mm][Ll] | *.[Mm][Bb][Oo][Xx]) ;;
      *) [ "$signature" = 789f3e22 ] || continue ;;
    esac
    labels+=("${sample#"$corpus"/}")
    jobs+=("${#labels[@]}" "$sample" out)
  done < <(find "$corpus" -type f -print0 | sort -z)

  # Names outside ASCII reach the file system as UTF-16: a sample under such a name,
  # extracted into a folder with such a name; the same for a mail. The corpus's mails, one
  # after the other, make a mailbox.
  if [ "${#labels[@]}" -gt 0 ]; then
    cp "${jobs[1]}" "$scratch/Prüfung-日本語.dat"
    labels+=("(non-ASCII names)")
    jobs+=("${#labels[@]}" "$scratch/Prüfung-日本語.dat" "Ordner-ñ-ß")
  fi
  mails=()
  while IFS= read -r -d '' sample; do mails+=("$sample"); done < <(find "$corpus" -type f -iname '*.eml' -print0 | sort -z)
  if [ "${#mails[@]}" -gt 0 ]; then
    cp "${mails[0]}" "$scratch/Brief-письмо.eml"
    labels+=("(a mail under a non-ASCII name)")
    jobs+=("${#labels[@]}" "$scratch/Brief-письмо.eml" "Anhänge")
    for mail in "${mails[@]}"; do
      printf 'From corpus@example.org Mon Jan  1 00:00:00 2024\n'
      sed 's/^From />From /' "$mail"
      printf '\n'
    done >"$scratch/corpus.mbox"
    labels+=("(a mailbox of the corpus's mails)")
    jobs+=("${#labels[@]}" "$scratch/corpus.mbox" out)
  fi
else
  echo "windows-check: no corpus at $corpus; the comparison with the Linux build is skipped"
fi

differences=0
extracted=0
calendars=0
parts=0
if [ "${#labels[@]}" -gt 0 ]; then
  # Each side in parallel, one sample a job; Wine's runs share the one server.
  for side in l w; do
    for ((i = 0; i < ${#jobs[@]}; i += 3)); do
      printf '%s\0%s\0%s\0%s\0' "$side" "${jobs[i]}" "${jobs[i + 1]}" "${jobs[i + 2]}"
    done | xargs -0 -n 4 -P "$(( $(nproc) * 2 ))" bash -c 'run_sample "$@"' run_sample
  done
  for ((n = 1; n <= ${#labels[@]}; n++)); do
    if ! diff -r "$scratch/l/$n" "$scratch/w/$n" >"$scratch/diff" 2>&1; then
      echo "DIFFERENT: ${labels[n - 1]}"
      head -n 12 "$scratch/diff"
      differences=$((differences + 1))
    fi
    extracted=$((extracted + $(cat "$scratch/l/$n/extract.sums" "$scratch/l/$n"/part-*/extract.sums 2>/dev/null | wc -l || true)))
    if [ "$(cat "$scratch/l/$n/ics.status")" = 0 ]; then calendars=$((calendars + 1)); fi
    if [ "$(cat "$scratch/l/$n/list-mail.status")" = 0 ]; then
      parts=$((parts + $(wc -l <"$scratch/l/$n/list-mail.out")))
    fi
  done
fi
echo "corpus: ${#labels[@]} files compared (show, list, list-mail, ics, extract; $parts TNEF parts, $extracted extracted files, $calendars calendar items), $differences differences"
[ "$differences" -eq 0 ] && [ "$tests_status" -eq 0 ]
