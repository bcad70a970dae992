#!/bin/sh
# shellcheck disable=SC2016 # the scripts given to sh -c take their paths as arguments
# Under Wine, links planted from the Unix side, as Wine cannot make a
# folder link itself: with C:\Temp a link to another folder, or the log
# file a second hard link to another file, a run that has a line to log
# writes nothing through it; with C:\Temp an ordinary folder it does.
#   log-link-test.sh PREFIX TOOL
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
tool=$2
drive="$(readlink -f "$prefix")/drive_c"
# Files in the prefix are made as its owner, who runs Wine.
owner() { "$here/wine-env.sh" "$prefix" "$@"; }
run() {
  output=$("$here/wine-run.sh" "$prefix" "$tool" "" x 2>&1) || { echo "exit status $?"; exit 1; }
  [ -z "$output" ] || { echo "printed: $output"; exit 1; }
}
restore() { owner sh -c 'rm -rf "$1/Temp" "$1/KesOrvLinkTarget" && mkdir "$1/Temp"' - "$drive"; }
trap restore EXIT

owner sh -c 'rm -rf "$1/Temp" "$1/KesOrvLinkTarget" && mkdir "$1/KesOrvLinkTarget" &&
  ln -s "$1/KesOrvLinkTarget" "$1/Temp"' - "$drive"
run
if [ -e "$drive/KesOrvLinkTarget/KesOrvLog.log" ]; then
  echo "FAIL: the log was written through a link at C:\\Temp"
  exit 1
fi

owner sh -c 'rm "$1/Temp" && mkdir "$1/Temp" && printf "[precious]\r\n" >"$1/KesOrvLinkTarget/victim.ini" &&
  ln "$1/KesOrvLinkTarget/victim.ini" "$1/Temp/KesOrvLog.log"' - "$drive"
run
if [ "$(cat "$drive/KesOrvLinkTarget/victim.ini")" != "$(printf '[precious]\r')" ]; then
  echo "FAIL: the log was written through a hard link"
  exit 1
fi

owner rm "$drive/Temp/KesOrvLog.log"
run
[ -f "$drive/Temp/KesOrvLog.log" ] || { echo "FAIL: no log in an ordinary C:\\Temp"; exit 1; }
echo "ok: nothing written through either link; an ordinary folder gets the line"
