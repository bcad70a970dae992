#!/bin/sh
# Runs clang-tidy with .clang-tidy's checks on the tool's product code
# (cleanup/, registry/, log/) as the host build compiles it, and fails on
# any finding:
#   check-tidy.sh [BUILD_DIR]   (default: build/host)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/host}
[ -f "$build/compile_commands.json" ] || cmake --preset host >/dev/null
files=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$files" "$errors"' EXIT
git ls-files 'cleanup/*.cpp' 'registry/*.cpp' 'log/*.cpp' | grep -v 'Test\.cpp$' >"$files"
status=0
tr '\n' '\0' <"$files" | xargs -0 clang-tidy-14 -p "$build" --quiet 2>"$errors" || status=$?
# clang-tidy counts the warnings it suppressed in system headers; only
# findings in the product code matter.
grep -v ' warnings\? generated\.$' "$errors" >&2 || true
[ "$status" -eq 0 ] && echo "clang-tidy: no findings in $(wc -l <"$files") files"
exit "$status"
