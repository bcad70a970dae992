#!/bin/sh
# Says how Wine's 32-bit side runs on this machine, found by trying it:
# prints "native" when the kernel starts 32-bit x86 programs, "emulated"
# when they run under qemu instead (emulate-i386.sh), which
# KESORV_WINE_EMULATE=1 asks for on any machine; standard error then says
# why. Otherwise prints one sentence on why to standard error and exits
# with 1, or with 2 when installing a package would mend it.
set -u
here=$(cd "$(dirname "$0")" && pwd)
loader=/usr/lib/wine/wine
if [ ! -x $loader ]; then
  echo "Wine's 32-bit loader is missing: install Debian's package wine32:i386" \
    "(scripts/install-deps.sh)" >&2
  exit 2
fi
if [ "${KESORV_WINE_EMULATE:-0}" = 1 ]; then
  why="KESORV_WINE_EMULATE=1 asks for emulation"
elif $loader --version >/dev/null 2>&1; then
  echo native
  exit 0
else
  why="this kernel starts no 32-bit x86 programs ($($loader --version 2>&1 | sed -n '$s/.*: //p'))"
fi
if ! problem=$("$here/emulate-i386.sh" $loader --version 2>&1 >/dev/null); then
  echo "This kernel starts no 32-bit x86 programs, and running them under emulation" \
    "failed: $problem" >&2
  case $problem in *qemu-user*) exit 2 ;; esac
  exit 1
fi

# A qemu that takes MAP_FIXED_NOREPLACE as a hint makes each start of Wine
# cost about a minute instead of about a second.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
as --32 -o "$probe/probe.o" "$here/noreplace-probe.s" &&
  ld -m elf_i386 -o "$probe/probe" "$probe/probe.o" || exit 1
if ! "$here/emulate-i386.sh" "$probe/probe"; then
  echo "This kernel starts no 32-bit x86 programs, and this machine's qemu ignores" \
    "MAP_FIXED_NOREPLACE, so each start of Wine would take a minute under emulation:" \
    "install Debian's package qemu-user 10 or later (scripts/install-deps.sh)" >&2
  exit 2
fi
echo "$why" >&2
echo emulated
