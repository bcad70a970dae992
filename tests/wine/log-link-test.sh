#!/bin/sh
# Under Wine: with C:\Temp a link to another folder, a run that has a line
# to log writes nothing there; with C:\Temp an ordinary folder it does.
#   log-link-test.sh PREFIX TOOL
set -eu
prefix=$1
tool=$2
drive="$prefix/drive_c"
run() {
  output=$("$(dirname "$0")/wine-run.sh" "$prefix" "$tool" "" x 2>&1) || { echo "exit status $?"; exit 1; }
  [ -z "$output" ] || { echo "printed: $output"; exit 1; }
}
restore() { rm -rf "$drive/Temp" "$drive/KesOrvLinkTarget"; mkdir -p "$drive/Temp"; }
trap restore EXIT

rm -rf "$drive/Temp" "$drive/KesOrvLinkTarget"
mkdir "$drive/KesOrvLinkTarget"
ln -s "$drive/KesOrvLinkTarget" "$drive/Temp"
run
if [ -e "$drive/KesOrvLinkTarget/KesOrvLog.log" ]; then
  echo "FAIL: the log was written through the link"
  exit 1
fi

rm "$drive/Temp"
mkdir "$drive/Temp"
run
[ -f "$drive/Temp/KesOrvLog.log" ] || { echo "FAIL: no log in an ordinary C:\\Temp"; exit 1; }
echo "ok: nothing written through the link; an ordinary folder gets the line"
