#!/bin/sh
# Fails when a C++ file of the tree is not laid out as .clang-format says,
# naming each place. With --fix, formats the files instead.
set -eu
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --fix ]; then
  exec clang-format-14 -i $files
fi
clang-format-14 --dry-run --Werror $files
