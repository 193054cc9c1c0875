#!/usr/bin/env bash
# Builds the C libraries that the Windows build links and Debian packages only for Linux
# (libical), for x86_64-w64-mingw32, from Debian's own source packages, into
# build/windows-deps/prefix (static, C only). The sources come from deb.debian.org through a
# private apt configuration under build/windows-deps/apt (the system's sources are left
# alone): apt checks the archive's signature on the index, and each upstream tarball is
# fetched by apt's own downloader against the SHA-256 that the signed index gives for it.
# A library already built from the same source version with the same recipe is kept.
# Usage: scripts/windows-deps.sh   (needs the setup script's windows group)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
deps=$root/build/windows-deps
prefix=$deps/prefix
archive=http://deb.debian.org/debian
jobs=${VELQUIN_JOBS:-$(nproc)}

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache); fi

apt_options=(
  -o "Dir::Etc::SourceList=$deps/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
  -o "Dir::State::Lists=$deps/apt/lists" -o "Dir::Cache=$deps/apt/cache"
  -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)"
)

# The index of Debian 12's source packages, signed by the archive keys Debian ships; fetched
# again when a day old, so a second run needs no network.
apt_ready=0
update_index() {
  [ "$apt_ready" = 1 ] && return
  mkdir -p "$deps/apt/lists/partial" "$deps/apt/cache/archives/partial"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive bookworm main" \
    >"$deps/apt/sources.list"
  if [ -z "$(find "$deps/apt/lists" -maxdepth 1 -name '*_InRelease' -mtime -1)" ]; then
    apt-get "${apt_options[@]}" -q update >/dev/null
  fi
  apt_ready=1
}

# One field of a source package's index entry (the first version listed).
source_field() {
  apt-cache "${apt_options[@]}" showsrc --only-source "$1" |
    awk -v field="$2" 'NF == 0 { exit } index($0, field ": ") == 1 { print substr($0, length(field) + 3) }'
}

# Fetches the upstream tarball of source package $1 into $deps/src, checked against the
# SHA-256 of the signed index, and unpacks it into $2. Debian's own changes (packaging,
# documentation and test fixes) are not needed for the static C library.
fetch_upstream() {
  local package=$1 into=$2 directory name sum
  update_index
  directory=$(source_field "$package" Directory)
  read -r sum _ name < <(apt-cache "${apt_options[@]}" showsrc --only-source "$package" |
    awk 'NF == 0 { exit } /^Checksums-Sha256:/ { inside = 1; next } /^[^ ]/ { inside = 0 }
         inside && $3 ~ /\.orig\.tar\.[a-z0-9]+$/ { print; exit }')
  [ -n "$name" ] || { echo "windows-deps: no upstream tarball for $package in the index" >&2; exit 1; }
  mkdir -p "$deps/src"
  if [ ! -f "$deps/src/$name" ] || ! echo "$sum  $deps/src/$name" | sha256sum -c --quiet - 2>/dev/null; then
    rm -f "$deps/src/$name"
    /usr/lib/apt/apt-helper "${apt_options[@]}" download-file "$archive/$directory/$name" \
      "$deps/src/$name" "SHA256:$sum" >/dev/null
  fi
  rm -rf "$into" && mkdir -p "$into"
  tar -xf "$deps/src/$name" -C "$into" --strip-components=1
}

# The recipe's own text is part of the stamp: a changed option rebuilds.
recipe=$(sha256sum "$0" "$root/cmake/mingw-w64-x86_64.cmake" | sha256sum | cut -c1-16)

# libical: only its C library, static; no C++ bindings, glib, introspection, ICU, Berkeley DB,
# documentation or tests. The writer uses UTC only, so no time-zone data is needed either.
build_libical() {
  update_index
  local version stamp
  version=$(source_field libical3 Version)
  stamp=$prefix/stamps/libical-$version-$recipe
  if [ -f "$stamp" ]; then echo "windows-deps: libical $version already built"; return; fi
  echo "windows-deps: building libical $version"
  fetch_upstream libical3 "$deps/libical/src"
  cmake -S "$deps/libical/src" -B "$deps/libical/build" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DSTATIC_ONLY=ON -DWITH_CXX_BINDINGS=OFF \
    -DICAL_GLIB=OFF -DICAL_GLIB_VAPI=OFF -DGOBJECT_INTROSPECTION=OFF -DICAL_BUILD_DOCS=OFF \
    -DLIBICAL_BUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_BerkeleyDB=ON >/dev/null
  cmake --build "$deps/libical/build" -j"$jobs" --target ical >/dev/null
  # The install rule would build the storage and vCalendar libraries too: the C library and
  # its two headers (the generated one-file API and the export macros) are copied instead.
  mkdir -p "$prefix/lib" "$prefix/include/libical" "$prefix/stamps"
  cp "$deps/libical/build/bin/libical.a" "$prefix/lib/"
  cp "$deps/libical/build/src/libical/ical.h" "$deps/libical/src/src/libical/libical_ical_export.h" \
    "$prefix/include/libical/"
  rm -f "$prefix"/stamps/libical-* && touch "$stamp"
  rm -rf "$deps/libical"
}

build_libical
