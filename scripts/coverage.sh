#!/bin/sh
# Which lines and branches of the product code (cleanup/, registry/, log/)
# the host build's tests take: builds the coverage preset, runs its tests
# from zero and prints gcovr's summary and table. The report of each file,
# line by line, goes to build/coverage/report/index.html.
set -eu
cd "$(dirname "$0")/.."
cmake --preset coverage >/dev/null
cmake --build --preset coverage
find build/coverage -name '*.gcda' -delete
ctest --preset coverage >/dev/null
mkdir -p build/coverage/report
gcovr --root . --object-directory build/coverage \
  --filter 'cleanup/' --filter 'registry/' --filter 'log/' --exclude '.*Test\.cpp$' \
  --exclude-unreachable-branches \
  --html-details build/coverage/report/index.html \
  --txt - --branches --print-summary \
  build/coverage/CMakeFiles/kesorv_core.dir build/coverage/tests
