#!/bin/sh
# Builds every build and runs every test: the layout and static analysis of
# the code, the host build against the emulated Win32 layer, the same with
# AddressSanitizer and UndefinedBehaviorSanitizer, a minute of fuzzing, then
# the Windows build under Wine and the checks of the built program.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/check-format.sh

cmake --preset host
cmake --build --preset host
scripts/check-tidy.sh build/host
ctest --preset host

cmake --preset host-asan
cmake --build --preset host-asan
ctest --preset host-asan

tests/fuzz/run.sh 60

cmake --preset win32
cmake --build --preset win32
ctest --preset win32
