#!/bin/sh
# Makes a 64-bit Wine prefix at PREFIX unless one is there already; the
# tool, a 32-bit program, then sees the 32-bit registry view as on 64-bit
# Windows.
#   make-prefix.sh PREFIX [--unprivileged]
#
# With --unprivileged, when run by root: root ignores read-only files, in
# Wine too, so tests that Wine runs as root cannot see what a Windows user
# sees. The prefix then belongs to an unprivileged user, uid and gid
# KESORV_WINE_UID (59999 unless set), which no account of this machine may
# use, and Wine runs as that user (wine-env.sh). That user may not be
# allowed into the build folder (a clone under a root-only home, say), so
# the prefix, its home and the programs it runs live in a folder of their
# own, /tmp/kesorv-wine-<hash of PREFIX>, which is root's and which others
# may only pass through; PREFIX is a link to the prefix there.
set -eu
prefix=$1
case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac
unprivileged=false
[ "${2:-}" = --unprivileged ] && [ "$(id -u)" -eq 0 ] && unprivileged=true
here=$(cd "$(dirname "$0")" && pwd)

mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9

# A prefix whose making was cut short has no system.reg yet, or has one
# but never got to the end: the marker is written last (by the caller, who
# may enter the build folder where the prefix's owner may not).
done_marker=$prefix/.kesorv-made
boot() {
  "$here/wine-env.sh" "$prefix" env WINEARCH=win64 wine64 wineboot -i </dev/null >/dev/null 2>&1
  "$here/wine-env.sh" "$prefix" wineserver -w
  # Where Wine's 32-bit loader cannot start, wineboot still makes the 64-bit
  # half and says nothing; such a prefix starts no 32-bit program.
  if [ ! -f "$prefix/drive_c/windows/syswow64/kernel32.dll" ]; then
    echo "make-prefix.sh: $prefix has no 32-bit side, as Wine's 32-bit loader did not start" \
      "(wine-mode.sh says why; KESORV_WINE_EMULATE=1 runs it under qemu)" >&2
    exit 1
  fi
  touch "$done_marker"
}

if ! $unprivileged; then
  [ -f "$done_marker" ] || { rm -rf "$prefix"; boot; }
  exit 0
fi

uid=${KESORV_WINE_UID:-59999}
if getent passwd "$uid" >/dev/null || getent group "$uid" >/dev/null; then
  echo "make-prefix.sh: uid or gid $uid belongs to an account; set KESORV_WINE_UID to a free one" >&2
  exit 1
fi
home=/tmp/kesorv-wine-$(printf '%s' "$prefix" | sha256sum | cut -c1-16)
mkdir -m 0711 "$home" 2>/dev/null || true
# Made by an earlier run, or by someone else in this shared folder: use it
# only if it is root's, not a link, and closed to others.
if [ -L "$home" ] || [ ! -d "$home" ] || [ "$(stat -c %u:%a "$home")" != 0:711 ]; then
  echo "make-prefix.sh: $home is not a folder of root's with mode 711" >&2
  exit 1
fi
# A prefix that root made here earlier, before it belonged to the user.
if [ -d "$prefix" ] && [ ! -L "$prefix" ]; then rm -rf "$prefix"; fi
ln -sfn "$home/wineprefix" "$prefix"
[ -f "$done_marker" ] || rm -rf "$home/wineprefix"
for folder in "$home/wineprefix" "$home/home"; do
  mkdir -p "$folder"
  chown "$uid:$uid" "$folder"
done
[ -f "$done_marker" ] || boot
