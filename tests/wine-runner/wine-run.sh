#!/bin/sh
# Runs a Windows program under Wine in the given prefix, quietly and without
# a display, as the prefix's owner (wine-env.sh):
#   wine-run.sh PREFIX PROGRAM [ARGUMENT...]
set -eu
prefix=$1
program=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
real=$(readlink -f "$prefix")
if [ "$(id -u)" -eq 0 ] && [ -f "$program" ] && [ "$(stat -c %u "$real")" -ne 0 ]; then
  # The prefix's owner may not reach the build folder. It runs copies, kept
  # beside its prefix in a folder of root's, of the program and of the
  # programs beside it, which the tests start.
  bin=$(dirname "$real")/bin
  mkdir -p "$bin"
  for file in "$(dirname "$program")"/*.exe; do
    name=$(basename "$file")
    if ! cmp -s "$file" "$bin/$name"; then
      # Whole or not at all, for a run that starts the program meanwhile.
      cp "$file" "$bin/.$name.$$"
      chmod 0755 "$bin/.$name.$$"
      mv -f "$bin/.$name.$$" "$bin/$name"
    fi
  done
  program=$bin/$(basename "$program")
fi
exec "$here/wine-env.sh" "$prefix" wine "$program" "$@"
