#!/usr/bin/env bash
# Checks that the installed velquin-reader package has what it needs at run time: every
# library its programs link, the WMF fonts, Qt's platform plugins, the language modules, the
# mail library and the machine settings; then runs both programs on SAMPLE.
# Meant for a machine where the package was installed with --no-install-recommends, so that
# only its Depends are there. Usage: scripts/check-installed.sh SAMPLE.tnef
set -euo pipefail
sample="$1"
fail() { echo "installed check FAILED: $*" >&2; exit 1; }

for program in /usr/bin/velquin-tnef /usr/bin/velquin-reader; do
  [ -x "$program" ] || fail "$program is missing"
done
shopt -s nullglob
maillib=(/usr/lib/velquin-reader/*.so*)
[ "${#maillib[@]}" -gt 0 ] || fail "the mail library is missing from /usr/lib/velquin-reader"
for binary in /usr/bin/velquin-tnef /usr/bin/velquin-reader "${maillib[@]}"; do
  if ldd "$binary" | grep -q "not found"; then
    ldd "$binary" | grep "not found" >&2
    fail "$binary links libraries that are not installed"
  fi
done
# The viewer loads the mail parser with the calendar writer, the picture decoders and print
# support as modules on first use, so a start loads none of their libraries.
for module in mail picture print; do
  [ -f "/usr/lib/velquin-reader/libvelquin-$module-module.so" ] || fail "the $module module is missing"
done
if ldd /usr/bin/velquin-reader | grep -E -q "libgmime|libical|libwmf|libemf2svg|libgif|libjpeg|libQt6PrintSupport"; then
  fail "velquin-reader links a library of its modules itself"
fi
[ -f /etc/xdg/velquin-reader/registry.sqlite3 ] || fail "the machine settings are missing"
for module in FRA CHS; do
  [ -f "/usr/share/velquin-reader/translations/velquin-reader.$module" ] ||
    fail "the language module $module is missing"
done
# libwmf draws a metafile's text with the URW base 35 Type 1 fonts and has no fallback.
fonts=(/usr/share/fonts/type1/urw-base35/*.t1 /usr/share/fonts/type1/urw-base35/*.pfb)
[ "${#fonts[@]}" -gt 0 ] || fail "the WMF fonts (fonts-urw-base35) are missing"
qt_plugins=$(find /usr/lib -path '*qt6/plugins/platforms' -type d | head -n 1)
[ -n "$qt_plugins" ] && [ -n "$(find "$qt_plugins" -name 'libqxcb.so')" ] ||
  fail "Qt's X11 platform plugin is missing"
[ -f /usr/share/applications/io.github.velquin.Reader.desktop ] || fail "the desktop entry is missing"

echo "== velquin-tnef on the sample"
/usr/bin/velquin-tnef --version
/usr/bin/velquin-tnef show "$sample"
/usr/bin/velquin-tnef list "$sample"
# The viewer opens the sample and keeps running until timeout stops it (status 124); any other
# status means it could not start.
echo "== velquin-reader on the sample (offscreen, 5 s)"
status=0
HOME="$(mktemp -d)" QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/velquin-reader "$sample" \
  >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "velquin-reader stopped with status $status"
echo "installed check passed"
