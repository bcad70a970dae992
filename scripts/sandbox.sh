#!/bin/sh
# Runs the tool in a sandbox and shows what it changed: a Wine prefix under
# build/sandbox, holding a sample installation of the product from its
# first use on (scripts/sandbox.sh --reset puts the sample back).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target KesOrvCleanup >/dev/null
tool=build/win32/KesOrvCleanup.exe
prefix=$PWD/build/sandbox/wineprefix
tests/wine/make-prefix.sh "$prefix"
tests/wine/wineserver.sh "$prefix" start
trap 'tests/wine/wineserver.sh "$prefix" stop' EXIT

wine() { tests/wine/wine-run.sh "$prefix" "$@" | tr -d '\r'; }
# The tool is a 32-bit program: it sees the 32-bit registry view.
reg() { wine reg "$@" /reg:32; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
log="$prefix/drive_c/Temp/KesOrvLog.log"

if [ ! -f "$prefix/.sample-installed" ] || [ "${1:-}" = "--reset" ]; then
  echo "== Installing the sample product into the sandbox"
  reg add "$run_key" /v Orvane /t REG_SZ /d 'C:\Program Files\Kestrova\Orvane\OrvaneTray.exe /minimized' /f >/dev/null
  reg add "$run_key" /v OtherVendor /t REG_SZ /d 'C:\Program Files\Other\other.exe' /f >/dev/null
  mkdir -p "$prefix/drive_c/Temp"
  rm -f "$log"
  touch "$prefix/.sample-installed"
fi

show() {
  echo "-- $run_key (32-bit view):"
  reg query "$run_key" | sed -n 's/^ \{4\}/   /p'
  echo "-- C:\\Temp\\KesOrvLog.log:"
  if [ -f "$log" ]; then tr -d '\r' <"$log" | sed 's/^/   /'; else echo "   (no file)"; fi
}

run() {
  echo
  printf "== KesOrvCleanup.exe"
  printf " '%s'" "$@"
  echo
  output=$(wine "$tool" "$@" 2>&1) && status=$? || status=$?
  echo "-- exit status $status, printed: '${output}'"
  show
}

echo
echo "== Before"
show
run Orvane remove
run '' remove
