#!/bin/sh
# Runs a Windows program under Wine in the given prefix, quietly and without
# a display: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
exec wine "$@"
