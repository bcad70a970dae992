#!/bin/sh
# Runs the tool in a sandbox and shows what it changed: a Wine prefix under
# build/sandbox, into which the sample product is installed with its real
# NSIS installer (samples/nsis/Orvane.nsi) whenever it is not there
# (scripts/sandbox.sh --reset installs it again). Three runs: removing the
# product's Run entry, an empty name (which is logged), and the uninstall
# mode, which starts the product's real uninstaller.
set -eu
cd "$(dirname "$0")/.."
# Whatever stops it, it says at which step, and leaves no Wine program running.
step="installing the packages"
stop() {
  status=$?
  [ -z "${prefix:-}" ] || tests/wine-runner/wine-env.sh "$prefix" wineserver -k 2>/dev/null || true
  [ "$status" -eq 0 ] || echo "sandbox.sh: stopped while $step (exit status $status)" >&2
}
trap stop EXIT
scripts/install-deps.sh

step="building the tool and the sample installers"
echo "== Building the tool and the sample installers"
mkdir -p build/sandbox
build() { cmake --preset win32 && cmake --build --preset win32 --target KesOrvCleanup "$@"; }
if ! build kesorv_installers >build/sandbox/build.log 2>&1; then
  tail -n 20 build/sandbox/build.log >&2
  exit 1
fi
tool=build/win32/KesOrvCleanup.exe
setup=build/win32/installers/OrvaneSetup.exe

step="finding how Wine runs here"
why=build/sandbox/wine-mode.txt
mode=$(tests/wine-runner/wine-mode.sh 2>$why) || { cat $why >&2; exit 1; }
export KESORV_WINE_MODE="${mode%% *}"
if [ "$KESORV_WINE_MODE" = emulated ]; then
  echo "== Wine's 32-bit side runs under emulation: $(cat $why)."
  echo "   Each step below takes a few seconds, making the Wine prefix half a minute."
fi

step="making the Wine prefix"
echo "== Making the Wine prefix (build/sandbox/wineprefix), unless it is there"
prefix=$PWD/build/sandbox/wineprefix
tests/wine-runner/make-prefix.sh "$prefix"

wine() { tests/wine-runner/wine-run.sh "$prefix" "$@" | tr -d '\r'; }
# Until every program has ended, the uninstaller too, which the tool
# starts without waiting for it.
wait_for_all() { tests/wine-runner/wine-env.sh "$prefix" wineserver -w; }
reg() { tests/wine-runner/reg32.sh "$prefix" "$@"; }
# shellcheck source=tests/support/tool-paths.sh
. tests/support/tool-paths.sh
run_key="HKLM\\$RUN_KEY"
product_key="HKLM\\$PRODUCT_KEY"
install_dir="$prefix/drive_c/Program Files (x86)/Kestrova/Orvane"
log="$prefix/drive_c/${LOG_FOLDER#C:\\}/$LOG_NAME"

install() {
  step="installing the sample product"
  echo "== Installing the sample product: OrvaneSetup.exe /S"
  wine "$setup" /S
  wait_for_all
}

if [ ! -f "$install_dir/uninstall.exe" ] || [ "${1:-}" = "--reset" ]; then
  reg add "$run_key" /v OtherVendor /t REG_SZ /d 'C:\Program Files\Other\other.exe' /f >/dev/null
  mkdir -p "$(dirname "$log")"
  rm -f "$log"
  install
fi

show() {
  echo "-- $run_key (32-bit view):"
  reg query "$run_key" | sed -n 's/^ \{4\}/   /p'
  echo "-- $product_key (32-bit view):"
  reg query "$product_key" 2>/dev/null | sed -n 's/^ \{4\}/   /p'
  echo "-- C:\\Program Files (x86)\\Kestrova\\Orvane:"
  if [ -d "$install_dir" ]; then
    find "$install_dir" -mindepth 1 -maxdepth 1 -printf '   %f\n' | sort
  else
    echo "   (no folder)"
  fi
  echo "-- $LOG_FOLDER\\$LOG_NAME:"
  if [ -f "$log" ]; then tr -d '\r' <"$log" | sed 's/^/   /'; else echo "   (no file)"; fi
}

run() {
  step="running the tool"
  echo
  printf "== KesOrvCleanup.exe"
  [ $# -eq 0 ] || printf " '%s'" "$@"
  echo
  # Not through wine(), whose pipe would give tr's exit status.
  output=$(tests/wine-runner/wine-run.sh "$prefix" "$tool" "$@" 2>&1) && status=0 || status=$?
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
