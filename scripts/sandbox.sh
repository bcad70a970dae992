#!/bin/sh
# Runs the tool in a sandbox and shows what it changed: a Wine prefix under
# build/sandbox, holding a sample installation of the product from its
# first use on (scripts/sandbox.sh --reset puts the sample back). Three
# runs: removing the product's Run entry, an empty name (which is logged),
# and the uninstall mode, which starts the sample uninstaller.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target KesOrvCleanup kesorv_argument_recorder >/dev/null
tool=build/win32/KesOrvCleanup.exe
prefix=$PWD/build/sandbox/wineprefix
tests/wine/make-prefix.sh "$prefix"
tests/wine/wineserver.sh "$prefix" start
trap 'tests/wine/wineserver.sh "$prefix" stop' EXIT

wine() { tests/wine/wine-run.sh "$prefix" "$@" | tr -d '\r'; }
# The tool is a 32-bit program: it sees the 32-bit registry view.
reg() { wine reg "$@" /reg:32; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
product_key='HKLM\SOFTWARE\Kestrova\Orvane'
log="$prefix/drive_c/Temp/KesOrvLog.log"
# The sample uninstaller records how it was started, then waits to be
# released; the release is left in place so that it ends at once.
uninstaller_dir="$prefix/drive_c/Program Files/Kestrova/Orvane"
uninstaller='C:\Program Files\Kestrova\Orvane\uninstall.exe'

if [ ! -f "$prefix/.sample-installed" ] || [ "${1:-}" = "--reset" ]; then
  echo "== Installing the sample product into the sandbox"
  reg add "$run_key" /v Orvane /t REG_SZ /d 'C:\Program Files\Kestrova\Orvane\OrvaneTray.exe /minimized' /f >/dev/null
  reg add "$run_key" /v OtherVendor /t REG_SZ /d 'C:\Program Files\Other\other.exe' /f >/dev/null
  reg add "$product_key" /v UninstallString /t REG_SZ /d "$uninstaller" /f >/dev/null
  reg add "$product_key" /v UninstallArgs /t REG_SZ /d '/S /norestart' /f >/dev/null
  mkdir -p "$uninstaller_dir" "$prefix/drive_c/Temp"
  cp build/win32/kesorv_argument_recorder.exe "$uninstaller_dir/uninstall.exe"
  touch "$uninstaller_dir/uninstall.exe.release"
  rm -f "$log"
  touch "$prefix/.sample-installed"
fi

show() {
  echo "-- $run_key (32-bit view):"
  reg query "$run_key" | sed -n 's/^ \{4\}/   /p'
  echo "-- $product_key (32-bit view):"
  reg query "$product_key" | sed -n 's/^ \{4\}/   /p'
  echo "-- C:\\Temp\\KesOrvLog.log:"
  if [ -f "$log" ]; then tr -d '\r' <"$log" | sed 's/^/   /'; else echo "   (no file)"; fi
}

run() {
  echo
  printf "== KesOrvCleanup.exe"
  [ $# -eq 0 ] || printf " '%s'" "$@"
  echo
  rm -f "$uninstaller_dir/uninstall.exe.record" "$uninstaller_dir/uninstall.exe.ended"
  output=$(wine "$tool" "$@" 2>&1) && status=$? || status=$?
  echo "-- exit status $status, printed: '${output}'"
  show
  [ $# -lt 2 ] || return 0
  # The tool does not wait for the uninstaller; give it a moment to start.
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    [ -f "$uninstaller_dir/uninstall.exe.ended" ] && break
    sleep 0.5
  done
  echo "-- uninstaller started:"
  if [ -f "$uninstaller_dir/uninstall.exe.record" ]; then
    echo "   yes, window show command and arguments it received:"
    sed 's/^/   /' "$uninstaller_dir/uninstall.exe.record"
  else
    echo "   no"
  fi
}

echo
echo "== Before"
show
run Orvane remove
run '' remove
run
