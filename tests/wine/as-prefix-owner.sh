#!/bin/sh
# Runs COMMAND with WINEPREFIX set to PREFIX, as the user who owns the
# prefix: root, or the unprivileged user that make-prefix.sh --unprivileged
# gave it to. Wine refuses a prefix that is not the running user's, and
# files that root made in it would stay root's.
#   as-prefix-owner.sh PREFIX COMMAND [ARGUMENT...]
set -eu
prefix=$(readlink -f "$1")
shift
owner=$(stat -c %u:%g "$prefix" 2>/dev/null || echo 0:0)
if [ "$(id -u)" -ne 0 ] || [ "${owner%%:*}" -eq 0 ]; then
  WINEPREFIX=$prefix exec "$@"
fi
# The user's home lies beside its prefix, and it may not enter the folder
# this was started in.
home=$(dirname "$prefix")/home
cd "$home"
exec setpriv --reuid="${owner%%:*}" --regid="${owner#*:}" --clear-groups \
  env -u XDG_RUNTIME_DIR HOME="$home" USER=kesorv LOGNAME=kesorv WINEPREFIX="$prefix" "$@"
