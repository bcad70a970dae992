#!/bin/sh
# Says how Wine's 32-bit side runs on this machine, and how many times
# longer than natively everything in Wine then takes: prints "native 1"
# when the kernel starts 32-bit x86 programs, "emulated 5" when they run
# under qemu instead (emulate-i386.sh). Every wait and time limit of the
# tests that run Wine is its native length times that number; this is the
# one place it is decided.
#
# KESORV_WINE_EMULATE=1 asks for emulation on any machine. A mode already
# decided, KESORV_WINE_MODE (native or emulated), which ctest and
# test-all.sh pass on to what they start, is taken as it is. Otherwise the
# mode is found by trying, and standard error says why it is emulated.
# When Wine cannot run at all, prints one sentence on why to standard
# error and exits with 1, or with 2 when installing a package would mend it.
set -u
here=$(cd "$(dirname "$0")" && pwd)

# Under emulation a start of a 32-bit program takes about a second, against
# a tenth natively; the rest of a test's work runs at native speed.
say() {
  case $1 in
    native) echo "native 1" ;;
    emulated) echo "emulated 5" ;;
  esac
  exit 0
}

loader=/usr/lib/wine/wine
if [ ! -x $loader ]; then
  echo "Wine's 32-bit loader is missing: install Debian's package wine32:i386" \
    "(scripts/install-deps.sh)" >&2
  exit 2
fi
if [ "${KESORV_WINE_EMULATE:-0}" = 1 ]; then
  why="KESORV_WINE_EMULATE=1 asks for emulation"
else
  case ${KESORV_WINE_MODE:-} in native | emulated) say "$KESORV_WINE_MODE" ;; esac
  if $loader --version >/dev/null 2>&1; then
    say native
  fi
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
say emulated
