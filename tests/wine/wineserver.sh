#!/bin/sh
# Keeps one Wine server running for the prefix while the tests run, so that
# each test program starts in a tenth of a second rather than seconds:
# wineserver.sh PREFIX start|stop
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
owner() { "$here/as-prefix-owner.sh" "$prefix" "$@"; }
case "$2" in
  # A server left running by an interrupted run serves as well. The first
  # program also starts Wine's own background services. Started here with
  # their output closed, they cannot hold a test's output open, which would
  # make ctest wait for them to end.
  start)
    owner wineserver -p </dev/null >/dev/null 2>&1 || true
    owner env WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wine cmd.exe /c exit \
      </dev/null >/dev/null 2>&1
    ;;
  stop) owner wineserver -k || true ;;
esac
