#!/bin/sh
# Keeps one Wine server running for the prefix while the tests run, so that
# each test program starts in a tenth of a second rather than seconds:
# wineserver.sh PREFIX start|stop
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
wine_env() { "$here/wine-env.sh" "$prefix" "$@"; }
idle_seconds=600
case "$2" in
  # The server waits ten minutes after the last program before it ends, far
  # longer than any gap between two tests: an interrupted run skips the stop
  # below and must still leave nothing running. Until then it serves the
  # next run as well. The first program also starts Wine's own background
  # services. Started here with their output closed, they cannot hold a
  # test's output open, which would make ctest wait for them to end.
  start)
    wine_env wineserver -p"$idle_seconds" </dev/null >/dev/null 2>&1 || true
    wine_env wine64 cmd.exe /c exit </dev/null >/dev/null 2>&1
    ;;
  stop) wine_env wineserver -k || true ;;
esac
