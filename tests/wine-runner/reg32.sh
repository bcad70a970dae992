#!/bin/sh
# Wine's reg.exe in the prefix, on the 32-bit registry view that the tool
# sees. The 64-bit reg.exe, which starts at native speed also where 32-bit
# programs run emulated. Prints its output without carriage returns and
# exits with its status.
#   reg32.sh PREFIX ARGUMENT...   (reg.exe's arguments, without /reg:32)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
prefix=$1
shift
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$here/wine-env.sh" "$prefix" wine64 reg "$@" /reg:32 </dev/null >"$output" || status=$?
tr -d '\r' <"$output"
exit "$status"
