#!/bin/sh
# The built KesOrvCleanup.exe end to end in a handful of program starts,
# needing nothing but the program and a prefix: a removal deletes exactly
# its value; the uninstall mode starts the uninstaller that the product key
# names, hidden and with its parameters, and does not wait for it; an empty
# name appends one line to the log. The registry is seeded and read with
# Wine's 64-bit reg.exe, which starts at native speed even under
# emulation, in the 32-bit view the tool sees.
#   smoke-test.sh PREFIX TOOL STAND_IN
# STAND_IN is the tests' recording uninstaller (ArgumentRecorder.cpp).
set -eu
tests=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tests/support/tool-paths.sh
. "$tests/support/tool-paths.sh"
runner=$tests/wine-runner
prefix=$1
tool=$2
stand_in=$3
drive="$(readlink -f "$prefix")/drive_c"

wine_env() { "$runner/wine-env.sh" "$prefix" "$@"; }
reg() { "$runner/reg32.sh" "$prefix" "$@"; }
run_key="HKLM\\$RUN_KEY"
product_key="HKLM\\$PRODUCT_KEY"
uninstaller_folder="$drive/Program Files/Kestrova/Orvane"
uninstaller="$uninstaller_folder/uninstall.exe"
log="$drive/${LOG_FOLDER#C:\\}/$LOG_NAME"

fail() {
  echo "FAIL: $*"
  exit 1
}
step() { echo "-- $*"; }
run_key_names() { reg query "$run_key" | sed -n 's/^    \([^ ]*\)    .*/\1/p' | sort | tr '\n' ' '; }
# Waits until FILE exists, for up to SECONDS where Wine runs natively.
wait_for() {
  waited=0
  while [ ! -f "$1" ]; do
    [ "$waited" -lt $(($2 * ${KESORV_WINE_TIME_SCALE:-1})) ] || return 1
    sleep 1
    waited=$((waited + 1))
  done
}
# Into a file, not a pipe: the uninstaller the tool starts inherits it, and
# reading a pipe would wait for the uninstaller to end too.
output=$(mktemp)
run_tool() {
  "$runner/wine-run.sh" "$prefix" "$tool" "$@" </dev/null >"$output" 2>&1 || fail "exit status $? for $*"
  [ ! -s "$output" ] || fail "printed '$(cat "$output")'"
}
clean() {
  reg delete "$product_key" /f >/dev/null 2>&1 || true
  rm -rf "$drive/Program Files/Kestrova" "$log" "$output"
}
trap clean EXIT

clean
reg delete "$run_key" /f >/dev/null 2>&1 || true
reg add "$run_key" /v Orvane /d 'C:\Program Files\Orvane\orvane.exe' /f >/dev/null
reg add "$run_key" /v Other /d other.exe /f >/dev/null
[ "$(run_key_names)" = "Orvane Other " ] || fail "seeding the Run key: $(run_key_names)"
wine_env mkdir -p "$(dirname "$log")"

step "removal: KesOrvCleanup.exe Orvane x"
run_tool Orvane x
[ "$(run_key_names)" = "Other " ] || fail "Run key after the removal: $(run_key_names)"

step "uninstall: KesOrvCleanup.exe, the product key naming a stand-in uninstaller"
wine_env mkdir -p "$uninstaller_folder"
cp "$stand_in" "$uninstaller"
chown --reference="$uninstaller_folder" "$uninstaller"
reg add "$product_key" /v UninstallString /d 'C:\Program Files\Kestrova\Orvane\uninstall.exe' \
  /f >/dev/null
reg add "$product_key" /v UninstallArgs /d '/S /norestart' /f >/dev/null
run_tool
# The stand-in waits to be released, so the tool has not waited for it.
[ ! -f "$uninstaller.ended" ] || fail "the stand-in ended before the tool did"
wait_for "$uninstaller.record" 20 || fail "the stand-in uninstaller was not started"
expected=$(printf 'show: 0\nargument: /S\nargument: /norestart')
[ "$(cat "$uninstaller.record")" = "$expected" ] ||
  fail "the stand-in was started as: $(cat "$uninstaller.record")"
wine_env touch "$uninstaller.release"
wait_for "$uninstaller.ended" 20 || fail "the stand-in did not end"
[ "$(run_key_names)" = "Other " ] || fail "Run key after the uninstall: $(run_key_names)"
[ ! -e "$log" ] || fail "logged: $(cat "$log")"

step "log line: KesOrvCleanup.exe \"\" x"
run_tool "" x
[ "$(cat "$log")" = "$(printf 'Cannot delete value\r')" ] || fail "the log holds: $(cat "$log")"
[ "$(run_key_names)" = "Other " ] || fail "Run key after the empty name: $(run_key_names)"
echo "ok: each mode once"
