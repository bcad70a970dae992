#!/bin/sh
# The Windows program configured as a Windows machine configures it, not
# cross-compiled: mingw-w64 with CMAKE_CROSSCOMPILING off, as MSYS2's
# mingw32 environment has it, with the tests and a stand-in for GoogleTest
# (MSYS2 has its own package). The configure must succeed and register
# the test program the native way, and none of the cross build's tests,
# which run Wine or Linux tools.
#   native-configure.sh SOURCE_DIR
set -eu
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/gtest"
cat >"$work/gtest/GTestConfig.cmake" <<'CONFIG'
add_library(GTest::gtest INTERFACE IMPORTED)
add_library(GTest::gtest_main INTERFACE IMPORTED)
CONFIG

if ! cmake -S "$source_dir" -B "$work/build" -G Ninja -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_CROSSCOMPILING=OFF -DCMAKE_CXX_COMPILER=i686-w64-mingw32-g++-posix \
  -DCMAKE_RC_COMPILER=i686-w64-mingw32-windres -DGTest_DIR="$work/gtest" \
  >"$work/configure.log" 2>&1; then
  echo "FAIL: the native configure failed:"
  cat "$work/configure.log"
  exit 1
fi
tests=$(ctest --test-dir "$work/build" -N)
echo "$tests"
# Until it is built, the test program stands in ctest as one entry, whose
# cases it lists when built; nothing else may be there.
if [ "$(echo "$tests" | grep -c 'Test *#')" != 1 ] ||
  ! echo "$tests" | grep -q 'Test *#1: kesorv_tests_NOT_BUILT$'; then
  echo "FAIL: not the test program alone, to be run natively"
  exit 1
fi
echo "ok: configured natively, with the test program's cases only"
