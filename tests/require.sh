#!/bin/sh
# Fails, naming the Debian package to install, unless each command is on
# PATH:  require.sh COMMAND:PACKAGE...
# (scripts/install-deps.sh installs them all.)
set -eu
status=0
for pair in "$@"; do
  command -v "${pair%%:*}" >/dev/null || {
    echo "${pair%%:*} is missing: install Debian's package ${pair#*:} (scripts/install-deps.sh)" >&2
    status=1
  }
done
exit "$status"
