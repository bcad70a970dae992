#!/bin/sh
# Builds both builds and runs every test: the host build against the
# emulated Win32 layer, then the Windows build under Wine.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset host
cmake --build --preset host
ctest --preset host

cmake --preset win32
cmake --build --preset win32
ctest --preset win32
