#!/bin/sh
# shellcheck disable=SC2317 # the tiers' functions run through tier()
# Builds every build and runs every test, in tiers, and ends with a summary:
# each tier passed, failed, or was not run, and why not. Exits non-zero when
# a tier that ran failed, or when one was not run for a reason this machine
# could mend.
#
# The Windows program's tiers need Wine, whose 32-bit side is a 32-bit x86
# Linux program. Where the kernel starts none, Wine runs under emulation
# (tests/wine-runner/), and every tier runs there too, slower.
# KESORV_WINE_EMULATE=1 takes that path on any machine.
set -u
cd "$(dirname "$0")/.." || exit 1
if ! scripts/install-deps.sh; then
  echo "test-all.sh: the packages could not be installed (scripts/install-deps.sh)" >&2
  exit 1
fi

summary=$(mktemp)
trap 'rm -f "$summary" "$summary.why"' EXIT
status=0

# tier NAME COMMAND [ARGUMENT...]: runs a tier's commands and records how it went.
tier() {
  name=$1
  shift
  echo
  echo "=== $name"
  started=$(date +%s)
  if "$@"; then result=passed; else result=failed status=1; fi
  printf '%s|%s (%s s)\n' "$name" "$result" "$(($(date +%s) - started))" >>"$summary"
}
# not_run NAME REASON [mendable]
not_run() {
  printf '%s|not run: %s\n' "$1" "$2" >>"$summary"
  [ "${3:-}" != mendable ] || status=1
}

format_and_analysis() {
  scripts/check-format.sh &&
    git ls-files -z '*.sh' .ci/run | xargs -0 shellcheck &&
    echo "shellcheck: no findings" &&
    scripts/check-tidy.sh build/host
}
build_and_test() { cmake --preset "$1" && cmake --build --preset "$1" && ctest --preset "$1"; }
windows_build() { cmake --preset win32 && cmake --build --preset win32; }
windows_tests() { ctest --preset win32 -L "$1"; }

tier "format and analysis" format_and_analysis
tier host build_and_test host
tier sanitizers build_and_test host-asan
tier fuzzing tests/fuzz/run.sh 60
tier "windows build" windows_build
windows_built=$result
# How Wine runs here: native, emulated, or not at all, and why not. Found
# once, and passed on to every ctest run below.
wine_mendable=
if wine_mode=$(tests/wine-runner/wine-mode.sh 2>"$summary.why"); then
  wine_mode=${wine_mode%% *}
  export KESORV_WINE_MODE="$wine_mode"
else
  [ $? -ne 2 ] || wine_mendable=mendable
  wine_mode=none
fi
wine_reason=$(cat "$summary.why")
echo
echo "Wine's 32-bit side: ${wine_mode}${wine_reason:+ ($wine_reason)}"

if [ "$windows_built" != passed ]; then
  for name in deliverable signing wine installers smoke; do
    not_run "$name" "the Windows build failed"
  done
else
  tier deliverable windows_tests deliverable
  if [ "$wine_mode" = none ]; then
    for name in signing wine installers smoke; do
      not_run "$name" "$wine_reason" $wine_mendable
    done
  else
    tier "signing ($wine_mode Wine)" windows_tests signing
    tier "wine ($wine_mode)" windows_tests wine
    tier "installers ($wine_mode Wine)" windows_tests installers
    tier "smoke ($wine_mode Wine)" windows_tests smoke
  fi
fi

echo
echo "=== Summary"
while IFS='|' read -r name result; do
  printf '  %-28s %s\n' "$name" "$result"
done <"$summary"
exit "$status"
