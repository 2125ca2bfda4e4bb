#!/usr/bin/env bash
# Runs a command with VELMORA_READONLY_DIR naming a directory that refuses new
# files: without write permission, and immutable as well when running as root
# (root ignores the permission). When neither takes hold, the variable stays unset
# and the test that needs it says so.
set -uo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-readonly.XXXXXX")
chmod 555 "$dir"
chattr +i "$dir" 2>/dev/null
if touch "$dir/probe" 2>/dev/null; then
  rm -f "$dir/probe"
else
  export VELMORA_READONLY_DIR=$dir
fi
"$@"
status=$?
chattr -i "$dir" 2>/dev/null
chmod 755 "$dir"
rm -rf "$dir"
exit $status
