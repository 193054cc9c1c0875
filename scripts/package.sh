#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian (no errors), the desktop entry and the
# AppStream metadata, then (with --install) installs it, runs the installed programs, removes
# it and checks that nothing of it is left. Usage: scripts/package.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh package
cmake --preset release -DVELQUIN_GUI=ON >/dev/null
cmake --build --preset release
(cd build/release && cpack -G DEB)
deb=$(ls -t build/release/velquin-reader_*.deb | head -n 1)
echo "== package: $deb"
dpkg-deb --field "$deb" Package Version Depends

echo "== lintian"
lintian --fail-on error --suppress-tags-from-file packaging/lintian-overrides.txt "$deb" || {
  echo "lintian reports errors"; exit 1; }
echo "== desktop-file-validate and appstreamcli"
desktop-file-validate resources/desktop/io.github.velquin.Reader.desktop
appstreamcli validate --no-net resources/desktop/io.github.velquin.Reader.metainfo.xml

if [ "${1:-}" = "--install" ]; then
  echo "== install"
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q "./$deb" >/dev/null
  files=$(dpkg -L velquin-reader | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)
  /usr/bin/velquin-tnef --version
  tmp=$(mktemp -d)
  build/release/bin/velquin_make_sample "$tmp/sample.tnef" 2>/dev/null || true
  [ -f "$tmp/sample.tnef" ] && /usr/bin/velquin-tnef show "$tmp/sample.tnef"
  [ -f /usr/share/velquin-reader/translations/velquin-reader.FRA ] || { echo "French module missing"; exit 1; }
  QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/velquin-reader --version >/dev/null 2>&1 || true
  echo "== remove"
  apt-get purge -y -q velquin-reader >/dev/null
  left=$(for f in $files; do if [ -e "$f" ]; then echo "$f"; fi; done)
  if [ -n "$left" ]; then echo "left behind after removal:"; echo "$left"; exit 1; fi
  echo "removed cleanly: nothing of the package is left"
  rm -rf "$tmp"
fi
