#!/bin/sh
# A second compiler's opinion on the product sources: compiles each of them
# with clang for 32-bit Windows (i686-w64-windows-gnu), against the mingw-w64
# headers and mingw's C++ library headers, with warnings as errors.
# clang-compile.sh SOURCE_DIR
set -eu
"$(dirname "$0")/../require.sh" clang++:clang
source_dir=$(cd "$1" && pwd)
cxx_headers=$(printf '%s\n' /usr/lib/gcc/i686-w64-mingw32/*-posix/include/c++ | sort -V | tail -n 1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

count=0
for source in "$source_dir"/cleanup/*.cpp "$source_dir"/registry/*.cpp "$source_dir"/log/*.cpp \
              "$source_dir"/platform/windows/*.cpp; do
  case "$source" in *Test.cpp) continue ;; esac
  clang++ --target=i686-w64-windows-gnu -std=c++17 -O2 -Wall -Wextra -Wpedantic -Werror \
    -isystem "$cxx_headers" -isystem "$cxx_headers/i686-w64-mingw32" \
    -isystem "$cxx_headers/backward" -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 \
    -I "$source_dir" -c "$source" -o "$scratch/out.o"
  count=$((count + 1))
done
echo "clang compiled $count sources for i686-w64-windows-gnu"
