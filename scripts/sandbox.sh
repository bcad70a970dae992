#!/bin/sh
# Runs the tool in a sandbox and shows what it changed: a Wine prefix under
# build/sandbox, into which the sample product is installed with its real
# NSIS installer (samples/nsis/Orvane.nsi) whenever it is not there
# (scripts/sandbox.sh --reset installs it again). Three runs: removing the
# product's Run entry, an empty name (which is logged), and the uninstall
# mode, which starts the product's real uninstaller.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target KesOrvCleanup kesorv_installers >/dev/null
tool=build/win32/KesOrvCleanup.exe
setup=build/win32/installers/OrvaneSetup.exe
prefix=$PWD/build/sandbox/wineprefix
tests/wine/make-prefix.sh "$prefix"
trap 'tests/wine/as-prefix-owner.sh "$prefix" wineserver -k 2>/dev/null || true' EXIT

wine() { tests/wine/wine-run.sh "$prefix" "$@" | tr -d '\r'; }
# Until every program has ended, the uninstaller too, which the tool
# starts without waiting for it.
wait_for_all() { tests/wine/as-prefix-owner.sh "$prefix" wineserver -w; }
# The tool is a 32-bit program: it sees the 32-bit registry view.
reg() { wine reg "$@" /reg:32; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
product_key='HKLM\SOFTWARE\Kestrova\Orvane'
install_dir="$prefix/drive_c/Program Files (x86)/Kestrova/Orvane"
log="$prefix/drive_c/Temp/KesOrvLog.log"

install() {
  echo "== Installing the sample product: OrvaneSetup.exe /S"
  wine "$setup" /S
  wait_for_all
}

if [ ! -f "$install_dir/uninstall.exe" ] || [ "${1:-}" = "--reset" ]; then
  reg add "$run_key" /v OtherVendor /t REG_SZ /d 'C:\Program Files\Other\other.exe' /f >/dev/null
  mkdir -p "$prefix/drive_c/Temp"
  rm -f "$log"
  install
fi

show() {
  echo "-- $run_key (32-bit view):"
  reg query "$run_key" | sed -n 's/^ \{4\}/   /p'
  echo "-- $product_key (32-bit view):"
  reg query "$product_key" 2>/dev/null | sed -n 's/^ \{4\}/   /p'
  echo "-- C:\\Program Files (x86)\\Kestrova\\Orvane:"
  if [ -d "$install_dir" ]; then ls -A "$install_dir" | sed 's/^/   /'; else echo "   (no folder)"; fi
  echo "-- C:\\Temp\\KesOrvLog.log:"
  if [ -f "$log" ]; then tr -d '\r' <"$log" | sed 's/^/   /'; else echo "   (no file)"; fi
}

run() {
  echo
  printf "== KesOrvCleanup.exe"
  [ $# -eq 0 ] || printf " '%s'" "$@"
  echo
  # Not through wine(), whose pipe would give tr's exit status.
  output=$(tests/wine/wine-run.sh "$prefix" "$tool" "$@" 2>&1) && status=0 || status=$?
  output=$(printf '%s' "$output" | tr -d '\r')
  wait_for_all
  echo "-- exit status $status, printed: '${output}'"
  show
}

echo
echo "== Before"
show
run Orvane remove
run '' remove
echo
install
show
# The uninstaller that the product key names, started hidden with /S; it
# calls the tool's removal mode for the Run entry, then removes the files
# and the product key.
run
