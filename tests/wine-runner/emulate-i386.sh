#!/bin/sh
# Runs COMMAND where 32-bit x86 Linux programs run under qemu-i386, for a
# kernel that cannot start them itself (Wine's 32-bit loader among
# them): in a user and mount namespace of its own, with a binfmt_misc of
# that namespace (Linux 6.7 and later) in which the i386 ELF header names
# qemu. Nothing outside changes: the registration and the mount end with
# the namespace's last process.
#   emulate-i386.sh COMMAND [ARGUMENT...]
#
# Run by root, user IDs 0-65535 map one to one into the namespace, so that
# a command in it can still switch to an unprivileged user; run by anyone
# else, the caller becomes root in it, with its own IDs outside.
set -eu
say() { echo "emulate-i386.sh: $*" >&2; }
# qemu-user has qemu-i386; Debian 12's qemu-user-static names it
# qemu-i386-static.
qemu=$(command -v qemu-i386 || command -v qemu-i386-static) || {
  say "qemu-i386 is missing; it comes with Debian's package qemu-user (scripts/install-deps.sh)"
  exit 1
}

# Inside the namespace, once the caller has written the ID maps.
if [ "${KESORV_EMULATE_STAGE:-}" = inside ]; then
  unset KESORV_EMULATE_STAGE
  read -r _ <&3 || { say "the ID maps were not written"; exit 1; }
  exec 3<&-
  binfmt=/proc/sys/fs/binfmt_misc
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
    say "cannot mount a binfmt_misc of a user namespace's own; that takes Linux 6.7 or later"
    exit 1
  }
  # An ELF file of class 32, little-endian, for machine 3 (i386), executable
  # or shared object. F opens qemu now, so that it needs no path in the
  # command's view; P gives qemu the program's own name as argv[0].
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':kesorv-i386:M::%s:%s:%s:FP\n' "$magic" "$mask" "$qemu" >"$binfmt/register"
  exec "$@"
fi

[ $# -gt 0 ] || { say "usage: emulate-i386.sh COMMAND [ARGUMENT...]"; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkfifo "$work/go"
KESORV_EMULATE_STAGE=inside unshare --user --mount --propagation private -- \
  "$0" "$@" 3<"$work/go" &
child=$!
# Stopped from outside (a test's time limit), the command stops too.
trap 'kill "$child" 2>/dev/null; exit 143' TERM INT
exec 4>"$work/go"

# The child has its namespace once its user namespace differs from ours.
ours=$(readlink /proc/self/ns/user)
tries=0
while [ "$(readlink "/proc/$child/ns/user" 2>/dev/null || echo gone)" = "$ours" ] &&
  [ $tries -lt 500 ]; do
  tries=$((tries + 1))
  sleep 0.01
done
write_maps() {
  if [ "$(id -u)" -eq 0 ]; then
    echo '0 0 65536' >"/proc/$child/uid_map" && echo '0 0 65536' >"/proc/$child/gid_map"
  else
    echo "0 $(id -u) 1" >"/proc/$child/uid_map" && echo deny >"/proc/$child/setgroups" &&
      echo "0 $(id -g) 1" >"/proc/$child/gid_map"
  fi
}
if ! write_maps 2>/dev/null; then
  kill "$child" 2>/dev/null
  wait "$child" 2>/dev/null
  say "cannot make a user namespace; allow them (sysctl user.max_user_namespaces)" \
    "or run on a kernel that starts 32-bit programs"
  exit 1
fi
echo go >&4
exec 4>&-
status=0
wait "$child" || status=$?
exit "$status"
