#!/bin/sh
# Builds KesOrvCleanup.exe twice from scratch, in build folders of
# different names and depths, and fails unless the two files are identical
# byte for byte: no timestamp, no build path in the program.
# reproducible-build.sh SOURCE_DIR
set -eu
source_dir=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

build() {
  cmake -S "$source_dir" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESORV_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/i686-w64-mingw32.cmake" >/dev/null
  cmake --build "$1" --target KesOrvCleanup >/dev/null
}
build "$scratch/one"
build "$scratch/second/build-two"
sha256sum "$scratch/one/KesOrvCleanup.exe" "$scratch/second/build-two/KesOrvCleanup.exe" |
  sed "s|$scratch/||"
cmp "$scratch/one/KesOrvCleanup.exe" "$scratch/second/build-two/KesOrvCleanup.exe"
echo "identical"
