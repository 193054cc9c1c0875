#!/usr/bin/env bash
# Builds the Debian package and checks it: lintian (no errors), the desktop entry and the
# AppStream metadata, then (with --install) installs it, runs the installed programs, removes
# it and checks that nothing of it is left. Usage: scripts/package.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh package
# Debian's hardening flags, as a Debian build of the package would get them (the release
# preset carries the same set for builds without dpkg-dev).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset release -DVELQUIN_GUI=ON \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
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
  # Without Recommends, as a minimal machine installs it: the Depends alone must be enough.
  # --reinstall: a copy of the same version left by an interrupted run is replaced, not kept.
  apt-get install -y -q --reinstall --no-install-recommends "./$deb" >/dev/null
  files=$(dpkg -L velquin-reader | while read -r f; do if [ -f "$f" ]; then echo "$f"; fi; done)
  bash scripts/check-installed.sh build/release/samples/welcome.tnef
  echo "== remove"
  apt-get purge -y -q velquin-reader >/dev/null
  left=$(for f in $files; do if [ -e "$f" ]; then echo "$f"; fi; done)
  if [ -n "$left" ]; then echo "left behind after removal:"; echo "$left"; exit 1; fi
  echo "removed cleanly: nothing of the package is left"
fi
