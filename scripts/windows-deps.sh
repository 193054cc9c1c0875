#!/usr/bin/env bash
# Builds the C libraries that the Windows build links and Debian packages only for Linux
# (libical; GMime and what it stands on: PCRE2, libffi, GLib), for x86_64-w64-mingw32, from
# Debian's own source packages, into build/windows-deps/prefix (static, C only). zlib comes
# built from Debian (libz-mingw-w64-dev); gettext is replaced by a stub of ours, since the
# libraries' messages stay untranslated here, and iconv is the one GLib carries for Windows.
# The sources come from deb.debian.org through a private apt configuration under
# build/windows-deps/apt (the system's sources are left alone): apt checks the archive's
# signature on the index, each file of a source package is fetched by apt's own downloader
# against the SHA-256 that the signed index gives for it, and dpkg-source applies Debian's
# own patches (security fixes among them) to the upstream release.
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

# Fetches one file of a source package's entry into $deps/src, checked against the SHA-256
# that the signed index gives for it (a file already there and sound is kept). Returns 1,
# with nothing kept, when the mirror does not serve it.
fetch_file() {
  local directory=$1 name=$2 sum=$3
  if [ -f "$deps/src/$name" ] && echo "$sum  $deps/src/$name" | sha256sum -c --quiet - 2>/dev/null; then return 0; fi
  rm -f "$deps/src/$name"
  /usr/lib/apt/apt-helper "${apt_options[@]}" download-file "$archive/$directory/$name" \
    "$deps/src/$name" "SHA256:$sum" >/dev/null 2>&1 || { rm -f "$deps/src/$name"; return 1; }
}

# Applies, in order, the quilt series of Debian's patches in source tree $1, but for the
# patches whose names match the pattern $2. A patch that does not apply stops the build.
apply_series() {
  local tree=$1 skip=$2 series=$1/debian/patches/series line patch level
  [ -f "$series" ] || return 0
  while read -r line; do
    patch=${line%%[[:space:]]*}
    [ -z "$patch" ] || [ "${patch:0:1}" = "#" ] && continue
    if [ -n "$skip" ] && [[ "$patch" =~ $skip ]]; then
      echo "windows-deps: left out Debian's $patch"
      continue
    fi
    level=1
    [[ "$line" =~ -p([0-9]) ]] && level=${BASH_REMATCH[1]}
    patch -d "$tree" -s -N -p"$level" <"$tree/debian/patches/$patch" || {
      echo "windows-deps: Debian's $patch does not apply" >&2; exit 1; }
  done <"$series"
}

# Fetches source package $1 and unpacks it into $2 with Debian's own changes applied (its
# security fixes among them), through dpkg-source: each file was checked against the signed
# index on the way in, so dpkg-source need not check the .dsc's own signature. Where the
# mirror does not serve Debian's part, the upstream release is built as it stands, unless
# $3 is "patched": for a library that reads the mail we show, Debian's fixes are required.
# Patches of the series whose names match the pattern $4 are left out: those that fit
# Debian's own desktop and not a Windows build.
fetch_source() {
  local package=$1 into=$2 need=${3:-} skip=${4:-} directory entries sum name dsc= orig= complete=1
  update_index
  directory=$(source_field "$package" Directory)
  entries=$(apt-cache "${apt_options[@]}" showsrc --only-source "$package" |
    awk 'NF == 0 { exit } /^Checksums-Sha256:/ { inside = 1; next } /^[^ ]/ { inside = 0 }
         inside { print $1, $3 }')
  mkdir -p "$deps/src"
  while read -r sum name; do
    case "$name" in
      *.orig.tar.*.asc) continue ;;
      *.orig.tar.*) fetch_file "$directory" "$name" "$sum" || {
          echo "windows-deps: $name could not be fetched from $archive" >&2; exit 1; }
        orig=$name ;;
      *.dsc) fetch_file "$directory" "$name" "$sum" && dsc=$name || complete=0 ;;
      *) fetch_file "$directory" "$name" "$sum" || complete=0 ;;
    esac
  done <<<"$entries"
  [ -n "$orig" ] || { echo "windows-deps: no upstream tarball for $package in the index" >&2; exit 1; }
  rm -rf "$into" && mkdir -p "$(dirname "$into")"
  if [ "$complete" = 1 ] && [ -n "$dsc" ]; then
    dpkg-source --no-check --skip-patches -x "$deps/src/$dsc" "$into" >/dev/null
    apply_series "$into" "$skip"
  elif [ "$need" = patched ]; then
    echo "windows-deps: Debian's changes to $package are not served by $archive; refusing to build it without them" >&2
    exit 1
  else
    echo "windows-deps: Debian's changes to $package are not served by $archive; building the upstream release"
    mkdir -p "$into"
    tar -xf "$deps/src/$orig" -C "$into" --strip-components=1
  fi
}

# Each step's stamp is its source version and a digest of its own text, the toolchain file
# and the stamps of the steps it builds on: a changed recipe or a new version below rebuilds
# it and what stands on it. A step already built is kept.
triplet=x86_64-w64-mingw32
cc=$triplet-gcc-posix
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig:/usr/$triplet/lib/pkgconfig
export PKG_CONFIG_PATH=
# Runs a step's command with its output in a log, shown (its end) only when it fails.
logged() {
  local log=$deps/$1.log
  shift
  "$@" >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "windows-deps: failed: $*" >&2; exit 1; }
  rm -f "$log"
}
step_stamp=
step_key() {
  local name=$1 version=$2
  shift 2
  step_stamp=$name-$version-$({ declare -f "build_$name" fetch_source fetch_file apply_series; cat "$root/cmake/mingw-w64-x86_64.cmake"
    for below in "$@"; do basename "$(ls "$prefix/stamps/$below"-* 2>/dev/null | head -n 1)"; done; } |
    sha256sum | cut -c1-16)
  [ -f "$prefix/stamps/$step_stamp" ] && { echo "windows-deps: $name $version already built"; return 0; }
  echo "windows-deps: building $name $version"
  return 1
}
step_done() {
  mkdir -p "$prefix/stamps"
  rm -f "$prefix/stamps/$1"-* && touch "$prefix/stamps/$step_stamp"
  rm -rf "${deps:?}/$1"
}

# GLib's configuration checks run test programs: under Wine, in a prefix of this script's own,
# with one server kept up while they run.
wine_up=0
wine_ready() {
  [ "$wine_up" = 1 ] && return
  export WINEPREFIX=$deps/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
  fi
  /usr/lib/wine/wineserver -p
  trap '/usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
  wine_up=1
}

# libical: only its C library, static; no C++ bindings, glib, introspection, ICU, Berkeley DB,
# documentation or tests. The writer uses UTC only, so no time-zone data is needed either.
build_libical() {
  update_index
  step_key libical "$(source_field libical3 Version)" && return
  fetch_source libical3 "$deps/libical/src"
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
  step_done libical
}

# PCRE2 (GLib's regular expressions): the 8-bit library only, without JIT.
build_pcre2() {
  update_index
  step_key pcre2 "$(source_field pcre2 Version)" && return
  fetch_source pcre2 "$deps/pcre2/src" patched
  cmake -S "$deps/pcre2/src" -B "$deps/pcre2/build" -G Ninja --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" "${launcher[@]}" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_STATIC_LIBS=ON -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF \
    -DPCRE2_SUPPORT_JIT=OFF -DPCRE2_SUPPORT_LIBZ=OFF -DPCRE2_SUPPORT_LIBBZ2=OFF \
    -DPCRE2_SUPPORT_LIBREADLINE=OFF -DPCRE2_SUPPORT_LIBEDIT=OFF >/dev/null
  cmake --build "$deps/pcre2/build" -j"$jobs" --target install >/dev/null
  step_done pcre2
}

# libffi (GObject's closures).
build_libffi() {
  update_index
  step_key libffi "$(source_field libffi Version)" && return
  fetch_source libffi "$deps/libffi/src" patched
  mkdir -p "$deps/libffi/build"
  (cd "$deps/libffi/build" &&
    "$deps/libffi/src/configure" --host="$triplet" CC="$cc" --prefix="$prefix" --libdir="$prefix/lib" \
      --disable-shared --enable-static --disable-docs --disable-multi-os-directory \
      --disable-exec-static-tramp >/dev/null)
  make -C "$deps/libffi/build" -j"$jobs" install >/dev/null
  step_done libffi
}

# gettext in the form GLib calls it: every message is its own translation. The attributes
# tell the compiler that the result is the format given, as GLib's warnings require.
build_intl() {
  step_key intl 1 && return
  mkdir -p "$deps/intl" "$prefix/include" "$prefix/lib"
  cat >"$prefix/include/libintl.h" <<'HEADER'
#ifndef VELQUIN_INTL_STUB_H
#define VELQUIN_INTL_STUB_H
#include <wchar.h>
#ifdef __cplusplus
extern "C" {
#endif
char *gettext(const char *msgid) __attribute__((format_arg(1)));
char *dgettext(const char *domain, const char *msgid) __attribute__((format_arg(2)));
char *dcgettext(const char *domain, const char *msgid, int category) __attribute__((format_arg(2)));
char *ngettext(const char *singular, const char *plural, unsigned long n)
    __attribute__((format_arg(1))) __attribute__((format_arg(2)));
char *dngettext(const char *domain, const char *singular, const char *plural, unsigned long n)
    __attribute__((format_arg(2))) __attribute__((format_arg(3)));
char *dcngettext(const char *domain, const char *singular, const char *plural, unsigned long n,
                 int category) __attribute__((format_arg(2))) __attribute__((format_arg(3)));
char *textdomain(const char *domain);
char *bindtextdomain(const char *domain, const char *dirname);
wchar_t *wbindtextdomain(const char *domain, const wchar_t *dirname);
char *bind_textdomain_codeset(const char *domain, const char *codeset);
#ifdef __cplusplus
}
#endif
#endif
HEADER
  cat >"$deps/intl/intl.c" <<'SOURCE'
#include <libintl.h>
static const char *current_domain = "messages";
char *gettext(const char *msgid) { return (char *)msgid; }
char *dgettext(const char *domain, const char *msgid) { (void)domain; return (char *)msgid; }
char *dcgettext(const char *domain, const char *msgid, int category) { (void)category; return dgettext(domain, msgid); }
char *ngettext(const char *singular, const char *plural, unsigned long n) { return (char *)(n == 1 ? singular : plural); }
char *dngettext(const char *domain, const char *singular, const char *plural, unsigned long n) { (void)domain; return ngettext(singular, plural, n); }
char *dcngettext(const char *domain, const char *singular, const char *plural, unsigned long n, int category) { (void)category; return dngettext(domain, singular, plural, n); }
char *textdomain(const char *domain) { if (domain && *domain) current_domain = domain; return (char *)current_domain; }
char *bindtextdomain(const char *domain, const char *dirname) { (void)domain; return (char *)dirname; }
wchar_t *wbindtextdomain(const char *domain, const wchar_t *dirname) { (void)domain; return (wchar_t *)dirname; }
char *bind_textdomain_codeset(const char *domain, const char *codeset) { (void)domain; return (char *)codeset; }
SOURCE
  "$cc" -O2 -Wall -Werror -I"$prefix/include" -c "$deps/intl/intl.c" -o "$deps/intl/intl.o"
  rm -f "$prefix/lib/libintl.a"
  "$triplet-ar" rcs "$prefix/lib/libintl.a" "$deps/intl/intl.o"
  step_done intl
}

# GLib, GObject and GIO, static; no translations, documentation or tests. Debian's fixes from
# upstream (security ones among them) are applied; its own patches (under debian/, and the
# one that sends desktop files' texts through gettext) serve its Linux desktop and are not. Its iconv for
# Windows (built into GLib) serves GMime too, declared by a header of ours.
build_glib() {
  update_index
  step_key glib "$(source_field glib2.0 Version)" pcre2 libffi intl && return
  fetch_source glib2.0 "$deps/glib/src" patched '^(debian/|01_gettext-desktopfiles)'
  wine_ready
  local compile=("'$cc'") compile_cpp=("'$triplet-g++-posix'")
  if command -v ccache >/dev/null; then compile=("'ccache'" "'$cc'"); compile_cpp=("'ccache'" "'$triplet-g++-posix'"); fi
  local flags="'-I$prefix/include', '-DPCRE2_STATIC', '-DFFI_STATIC_BUILD'"
  cat >"$deps/glib/cross.ini" <<CROSS
[binaries]
c = [$(IFS=,; echo "${compile[*]}")]
cpp = [$(IFS=,; echo "${compile_cpp[*]}")]
ar = '$triplet-ar'
strip = '$triplet-strip'
windres = '$triplet-windres'
pkgconfig = 'pkg-config'
exe_wrapper = '/usr/lib/wine/wine64'

[properties]
pkg_config_libdir = ['$prefix/lib/pkgconfig', '/usr/$triplet/lib/pkgconfig']

[built-in options]
c_args = [$flags]
cpp_args = [$flags]
c_link_args = ['-L$prefix/lib']
cpp_link_args = ['-L$prefix/lib']

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
CROSS
  logged glib-setup meson setup "$deps/glib/build" "$deps/glib/src" --cross-file "$deps/glib/cross.ini" \
    --prefix="$prefix" --libdir=lib --buildtype=release --default-library=static \
    --wrap-mode=nodownload -Dtests=false -Dinstalled_tests=false -Dnls=disabled -Dman=false \
    -Dgtk_doc=false -Dlibmount=disabled -Dselinux=disabled -Dxattr=false -Dsysprof=disabled \
    -Dlibelf=disabled -Ddtrace=false -Dsystemtap=false -Dglib_debug=disabled
  logged glib-build ninja -C "$deps/glib/build" -j"$jobs" install
  cat >"$prefix/include/iconv.h" <<'HEADER'
#ifndef VELQUIN_ICONV_H
#define VELQUIN_ICONV_H
/* The iconv that GLib compiles in on Windows. */
#include <stddef.h>
#ifdef __cplusplus
extern "C" {
#endif
typedef void *iconv_t;
iconv_t iconv_open(const char *tocode, const char *fromcode);
size_t iconv(iconv_t cd, char **inbuf, size_t *inbytesleft, char **outbuf, size_t *outbytesleft);
int iconv_close(iconv_t cd);
#ifdef __cplusplus
}
#endif
#endif
HEADER
  step_done glib
}

# GMime: its parser library only (no tools, tests, documentation, crypto, IDN or bindings).
# The release is regenerated with autoreconf (Debian's tarball has no configure); the
# documentation's macro is replaced by one that turns it off. The table of iconv's charset
# names is made by GMime's own probe, run under Wine.
build_gmime() {
  update_index
  step_key gmime "$(source_field gmime Version)" glib && return
  fetch_source gmime "$deps/gmime/src" patched
  wine_ready
  local src=$deps/gmime/src build=$deps/gmime/build glib_libs
  cat >"$src/m4/gtk-doc-off.m4" <<'M4'
AC_DEFUN([GTK_DOC_CHECK], [
  enable_gtk_doc=no
  AM_CONDITIONAL([GTK_DOC_BUILD_HTML], [false])
  AM_CONDITIONAL([GTK_DOC_BUILD_PDF], [false])
  AM_CONDITIONAL([GTK_DOC_USE_LIBTOOL], [false])
  AM_CONDITIONAL([GTK_DOC_USE_REBASE], [false])
])
M4
  printf 'EXTRA_DIST =\nCLEANFILES =\nDISTCLEANFILES =\n' >"$src/gtk-doc.make"
  touch "$src/ChangeLog"
  (cd "$src" && GTKDOCIZE=true logged gmime-autoreconf autoreconf -fi)
  mkdir -p "$build"
  glib_libs=$(pkg-config --static --libs glib-2.0)
  "$cc" -O2 -I"$prefix/include" "$src/iconv-detect.c" -o "$build/iconv-detect.exe" $glib_libs
  (cd "$build" && /usr/lib/wine/wine64 ./iconv-detect.exe >/dev/null 2>&1)
  [ -s "$build/iconv-detect.h" ] || { echo "windows-deps: GMime's iconv probe wrote nothing" >&2; exit 1; }
  (cd "$build" && logged gmime-configure \
    "$src/configure" --host="$triplet" CC="$cc" --prefix="$prefix" --libdir="$prefix/lib" \
      --disable-shared --enable-static --disable-introspection --disable-vala --disable-crypto \
      --without-libidn --with-libiconv=no \
      CPPFLAGS="-I$prefix/include" LIBS="$glib_libs" ac_cv_have_iconv_detect_h=yes)
  logged gmime-build make -C "$build/util" -j"$jobs"
  logged gmime-build make -C "$build/gmime" -j"$jobs" install
  logged gmime-build make -C "$build" install-pkgconfigDATA
  step_done gmime
}

build_libical
build_pcre2
build_libffi
build_intl
build_glib
build_gmime
