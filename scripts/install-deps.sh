#!/bin/sh
# Installs what the builds and tests need on Debian, when it is missing:
# the host compiler and GoogleTest, mingw-w64 for 32-bit Windows, Wine with
# its 32-bit part (which needs the i386 architecture), clang as a second
# compiler and for fuzzing, pefile to read the built program, and for the
# sample installers NSIS, wixl (with msitools to inspect an MSI), Xvfb as a
# display to count their windows on, and python-xlib to count them;
# osslsigncode and openssl to sign the release and test its signature;
# clang-format, clang-tidy, shellcheck and gcovr for the code's layout,
# static analysis and coverage; qemu-user to run Wine's 32-bit side where
# the kernel starts no 32-bit programs (tests/wine-runner/emulate-i386.sh; without
# recommended packages, so qemu-user-binfmt registers nothing for the whole
# machine).
set -eu

packages="cmake ninja-build g++ libgtest-dev googletest g++-mingw-w64-i686-posix
  binutils-mingw-w64-i686 wine wine64 wine32:i386 clang libclang-rt-14-dev python3 python3-pefile
  nsis wixl msitools xvfb python3-xlib osslsigncode openssl clang-format-14 clang-tidy-14
  shellcheck gcovr"

missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing="$missing $package"
done
# Emulated Wine wants a qemu that knows MAP_FIXED_NOREPLACE
# (tests/wine-runner/noreplace-probe.s): under Debian 12's own, 7.2, each start of
# Wine costs a minute instead of a second. qemu-user 10 knows it; Debian 12
# takes it from its backports, and only that package: their low priority
# upgrades nothing else.
qemu=""
dpkg-query -W -f='${Status} ${Version}\n' qemu-user 2>/dev/null |
  { read -r _ _ status version && [ "$status" = installed ] &&
    dpkg --compare-versions "$version" ge 1:10; } || qemu="qemu-user"
[ -z "$missing$qemu" ] && exit 0

echo "Installing:$missing${qemu:+ $qemu}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if [ -n "$qemu" ] && grep -qx 'VERSION_CODENAME=bookworm' /etc/os-release; then
  qemu="qemu-user/bookworm-backports"
  grep -qrsE '^[^#]*bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d ||
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    $sudo tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
# shellcheck disable=SC2086 # one word a package
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing $qemu >/dev/null
