#!/bin/sh
# Refreshes the .ts sources after texts changed: the forms, tr() calls in the viewer's code
# and every entry of the string table (context TNEFReaderConst, source = the English text,
# disambiguation = the entry's name). Existing translations are kept; new texts arrive
# unfinished for the translators. Run from anywhere: resources/translations/update-ts.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
lupdate=${LUPDATE:-$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# lupdate cannot expand the table's macro, so the table is restated as markers it reads.
sed -n 's/^VELQUIN_STRING(\([A-Za-z0-9_]*\), \(.*\))$/QT_TRANSLATE_NOOP3("TNEFReaderConst", \2, "\1");/p' \
  "$root/resources/strings/Strings.def" > "$tmp/StringTable.cpp"

for ts in "$here"/velquin-reader_*.ts; do
  "$lupdate" -silent -locations none -no-obsolete \
    "$root/resources/forms" "$root/src/ui" "$root/src/app" "$tmp/StringTable.cpp" -ts "$ts"
done
