#!/usr/bin/env bash
# Proves the README on a fresh Debian 12 machine: in a minimal bookworm chroot holding only
# this checkout and ../shared, runs scripts/run.sh and scripts/test.sh as the README writes
# them; then installs the package DEB in a second fresh chroot (without Recommends) and runs
# both programs from it. Needs root and debootstrap. Prints how long each step took.
# Usage: scripts/fresh-check.sh [DEB]   (default: the newest build/release/*.deb)
# Only the base system is cached (build/fresh/bookworm-minbase.tgz); whatever the setup
# script installs is downloaded again each time, as on a new machine.
set -euo pipefail
cd "$(dirname "$0")/.."
checkout=$(pwd)
shared="$checkout/../shared"
work="$checkout/build/fresh"
tarball="$work/bookworm-minbase.tgz"
mkdir -p "$work"

# The same Debian mirror this machine uses.
mirror=$(sed -n 's/^URIs: *\([^ ]*\/debian\)$/\1/p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" && $2 ~ /\/debian$/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian

step_start=0
step() { step_name="$1"; step_start=$(date +%s); echo "== $step_name"; }
step_done() { echo "== $step_name: $(( $(date +%s) - step_start )) s"; timings+=("$step_name: $(( $(date +%s) - step_start )) s"); }
timings=()

roots=()
unmount_root() {
  local root="$1" m
  # Innermost first; a busy mount is detached lazily so removal below never reaches the host.
  for m in $(awk -v r="$root" '$2 == r || index($2, r "/") == 1 { print $2 }' /proc/mounts | sort -r); do
    umount "$m" 2>/dev/null || umount -l "$m"
  done
}
remove_root() {
  local root="$1"
  unmount_root "$root"
  if awk -v r="$root" 'index($2, r "/") == 1 { found = 1 } END { exit !found }' /proc/mounts; then
    echo "fresh-check: $root still has mounts; left in place" >&2; return
  fi
  rm -rf --one-file-system "$root"
}
cleanup() { for root in "${roots[@]}"; do remove_root "$root"; done; }
trap cleanup EXIT

new_root() {
  local root="$1"
  rm -rf --one-file-system "$root"
  roots+=("$root")
  debootstrap --variant=minbase --unpack-tarball="$tarball" bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
    { tail -n 20 "$root.log"; return 1; }
  # The archives this machine uses (updates and security too), and its name server.
  rm -f "$root/etc/apt/sources.list"
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/"
  else
    echo "deb $mirror bookworm main" >"$root/etc/apt/sources.list"
  fi
  cp -L /etc/resolv.conf "$root/etc/resolv.conf"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
  mount -t tmpfs tmpfs "$root/dev/shm"
}
# A clean environment, as a new root login has it; builds use at most two jobs.
in_root() {
  local root="$1"; shift
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    CMAKE_BUILD_PARALLEL_LEVEL=2 /bin/bash -c "$*"
}

if [ ! -f "$tarball" ]; then
  step "base system tarball (debootstrap, cached in build/fresh)"
  debootstrap --variant=minbase --make-tarball="$tarball.part" bookworm "$work/tarball-root" "$mirror" \
    >"$work/tarball.log" 2>&1 || { tail -n 20 "$work/tarball.log"; exit 1; }
  rm -rf --one-file-system "$work/tarball-root"
  mv "$tarball.part" "$tarball"
  step_done
fi

# First machine: the checkout (tracked and new files, no build output) and ../shared.
root1="$work/root-source"
step "fresh chroot for the README's commands"
new_root "$root1"
mkdir -p "$root1/src/reader"
git ls-files -z --cached --others --exclude-standard | tar -cf - --null --no-recursion -T - |
  tar -xf - -C "$root1/src/reader"
[ -d "$shared" ] && cp -a "$shared" "$root1/src/shared"
step_done

step "scripts/run.sh (fresh machine, no display)"
in_root "$root1" 'cd /src/reader && scripts/run.sh'
step_done

step "scripts/test.sh (same machine)"
in_root "$root1" 'cd /src/reader && scripts/test.sh'
step_done
cp "$root1/src/reader/build/dev/samples/welcome.tnef" "$work/welcome.tnef"
remove_root "$root1"

# Second machine: only the package and what it depends on.
# The package is looked for only now, so that one built while the first machine ran is used.
deb="${1:-$(ls -t build/release/velquin-reader_*.deb 2>/dev/null | head -n 1)}"
[ -n "$deb" ] && [ -f "$deb" ] || { echo "fresh-check: no package; run scripts/package.sh first" >&2; exit 2; }
deb=$(realpath "$deb")
root2="$work/root-package"
step "fresh chroot for the package"
new_root "$root2"
mkdir -p "$root2/tmp/check"
cp "$deb" "$work/welcome.tnef" scripts/check-installed.sh "$root2/tmp/check/"
step_done

step "apt install --no-install-recommends $(basename "$deb"), check, run both programs"
in_root "$root2" "export DEBIAN_FRONTEND=noninteractive; apt-get update -q >/dev/null &&
  apt-get install -y -q --no-install-recommends /tmp/check/$(basename "$deb") >/dev/null &&
  bash /tmp/check/check-installed.sh /tmp/check/welcome.tnef"
step_done

step "the viewer under xvfb-run shows its window"
in_root "$root2" 'export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -q --no-install-recommends xvfb xauth x11-utils >/dev/null
  xvfb-run -a bash -c "velquin-reader /tmp/check/welcome.tnef & viewer=\$!; sleep 8
    xwininfo -root -tree | grep -i velquin; found=\$?; kill \$viewer; exit \$found"'
step_done

step "apt purge leaves nothing of the package"
in_root "$root2" 'files=$(dpkg -L velquin-reader | while read -r f; do [ -f "$f" ] && echo "$f"; done)
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q velquin-reader >/dev/null
  left=$(for f in $files; do [ -e "$f" ] && echo "$f"; done; true)
  [ -z "$left" ] || { echo "left behind: $left"; exit 1; }'
step_done
remove_root "$root2"

echo "== fresh-check timings"
printf '  %s\n' "${timings[@]}"
