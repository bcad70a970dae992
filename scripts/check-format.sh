#!/bin/sh
# Fails when a C++ file of the tree is not laid out as .clang-format says,
# naming each place. With --fix, formats the files instead.
set -eu
cd "$(dirname "$0")/.."
if [ "${1:-}" = --fix ]; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 -i
  exit
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
