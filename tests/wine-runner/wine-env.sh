#!/bin/sh
# Runs COMMAND in Wine's environment for PREFIX, as the tests, the
# benchmark and the sandbox run every Wine command:
#   wine-env.sh PREFIX COMMAND [ARGUMENT...]
# The launch, built up below and then started:
#   1. Wine's settings: WINEPREFIX=PREFIX, Wine's own messages off, no offer
#      to install Mono or Gecko (whose installers would open windows), and
#      Wine's loaders first on PATH (wine64 runs a 64-bit program such as
#      reg.exe without the 32-bit loader).
#   2. As the prefix's owner: root, or the unprivileged user that
#      make-prefix.sh --unprivileged gave it to. Wine refuses a prefix that
#      is not the running user's, and files that root made in it would stay
#      root's.
#   3. Under qemu (emulate-i386.sh) when Wine's mode is emulated: the
#      caller's KESORV_WINE_MODE, or else what wine-mode.sh finds.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x /usr/lib/wine/wine64 ]; then
  echo "Wine is missing: install Debian's packages wine, wine64 and wine32:i386" \
    "(scripts/install-deps.sh)" >&2
  exit 1
fi
prefix=$(readlink -f "$1")
shift

export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
PATH=/usr/lib/wine:$PATH

owner=$(stat -c %u:%g "$prefix" 2>/dev/null || echo 0:0)
if [ "$(id -u)" -eq 0 ] && [ "${owner%%:*}" -ne 0 ]; then
  # The user's home lies beside its prefix, and it may not enter the folder
  # this was started in.
  home=$(dirname "$prefix")/home
  cd "$home"
  set -- setpriv --reuid="${owner%%:*}" --regid="${owner#*:}" --clear-groups \
    env -u XDG_RUNTIME_DIR HOME="$home" USER=kesorv LOGNAME=kesorv PATH="$PATH" "$@"
fi

if [ -z "${KESORV_WINE_MODE:-}" ]; then
  mode=$("$here/wine-mode.sh")
  export KESORV_WINE_MODE="${mode%% *}"
fi
[ "$KESORV_WINE_MODE" != emulated ] || set -- "$here/emulate-i386.sh" "$@"
exec "$@"
