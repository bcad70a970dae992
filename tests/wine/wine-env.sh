#!/bin/sh
# How Wine runs for the tests, the benchmark and the sandbox, said once:
# runs COMMAND with WINEPREFIX=PREFIX, Wine's own messages off, no offer to
# install Mono or Gecko (whose installers would open windows), Wine's
# loaders first on PATH (wine64 runs a 64-bit program such as reg.exe
# without the 32-bit loader), as the user who owns the prefix, and, with
# KESORV_WINE_EMULATE=1, where 32-bit x86 programs run under qemu
# (emulate-i386.sh).
#   wine-env.sh PREFIX COMMAND [ARGUMENT...]
#
# The owner is root, or the unprivileged user that make-prefix.sh
# --unprivileged gave the prefix to: Wine refuses a prefix that is not the
# running user's, and files that root made in it would stay root's.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x /usr/lib/wine/wine64 ]; then
  echo "Wine is missing: install Debian's packages wine, wine64 and wine32:i386" \
    "(scripts/install-deps.sh)" >&2
  exit 1
fi
if [ "${KESORV_WINE_EMULATE:-0}" = 1 ] && [ -z "${KESORV_IN_EMULATION:-}" ]; then
  KESORV_IN_EMULATION=1 exec "$here/emulate-i386.sh" "$0" "$@"
fi

prefix=$(readlink -f "$1")
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ ! -d /usr/lib/wine ] || PATH=/usr/lib/wine:$PATH

owner=$(stat -c %u:%g "$prefix" 2>/dev/null || echo 0:0)
if [ "$(id -u)" -ne 0 ] || [ "${owner%%:*}" -eq 0 ]; then
  exec "$@"
fi
# The user's home lies beside its prefix, and it may not enter the folder
# this was started in.
home=$(dirname "$prefix")/home
cd "$home"
exec setpriv --reuid="${owner%%:*}" --regid="${owner#*:}" --clear-groups \
  env -u XDG_RUNTIME_DIR HOME="$home" USER=kesorv LOGNAME=kesorv PATH="$PATH" "$@"
