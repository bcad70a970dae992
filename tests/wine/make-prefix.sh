#!/bin/sh
# Makes a 64-bit Wine prefix at PREFIX unless one is there already; the
# tool, a 32-bit program, then sees the 32-bit registry view as on 64-bit
# Windows. make-prefix.sh PREFIX
set -eu
prefix=$1
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/system.reg" ]; then
  WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    wineboot -i </dev/null >/dev/null 2>&1
  WINEPREFIX="$prefix" wineserver -w
fi
