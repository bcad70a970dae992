#!/bin/sh
# shellcheck disable=SC2016 # the scripts given to sh -c take their paths as arguments
# Under Wine, links planted from the Unix side, as Wine cannot make a
# folder link itself: with C:\Temp a link to another folder, or the log
# file a second hard link to another file, a run that has a line to log
# writes nothing through it; with C:\Temp an ordinary folder it does.
#   log-link-test.sh PREFIX TOOL
set -eu
tests=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tests/support/tool-paths.sh
. "$tests/support/tool-paths.sh"
prefix=$1
tool=$2
drive="$(readlink -f "$prefix")/drive_c"
folder="$drive/${LOG_FOLDER#C:\\}"
target="$drive/KesOrvLinkTarget"
# Files in the prefix are made as its owner, who runs Wine.
owner() { "$tests/wine-runner/wine-env.sh" "$prefix" "$@"; }
run() {
  output=$("$tests/wine-runner/wine-run.sh" "$prefix" "$tool" "" x 2>&1) ||
    { echo "exit status $?"; exit 1; }
  [ -z "$output" ] || { echo "printed: $output"; exit 1; }
}
restore() { owner sh -c 'rm -rf "$1" "$2" && mkdir "$1"' - "$folder" "$target"; }
trap restore EXIT

owner sh -c 'rm -rf "$1" "$2" && mkdir "$2" && ln -s "$2" "$1"' - "$folder" "$target"
run
if [ -e "$target/$LOG_NAME" ]; then
  echo "FAIL: the log was written through a link at $LOG_FOLDER"
  exit 1
fi

owner sh -c 'rm "$1" && mkdir "$1" && printf "[precious]\r\n" >"$2/victim.ini" &&
  ln "$2/victim.ini" "$1/$3"' - "$folder" "$target" "$LOG_NAME"
run
if [ "$(cat "$target/victim.ini")" != "$(printf '[precious]\r')" ]; then
  echo "FAIL: the log was written through a hard link"
  exit 1
fi

owner rm "$folder/$LOG_NAME"
run
[ -f "$folder/$LOG_NAME" ] || { echo "FAIL: no log in an ordinary $LOG_FOLDER"; exit 1; }
echo "ok: nothing written through either link; an ordinary folder gets the line"
