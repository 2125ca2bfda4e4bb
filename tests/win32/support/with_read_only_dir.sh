#!/usr/bin/env bash
# Runs a command with VELMORA_READONLY_DIR naming a directory that refuses new
# files: without write permission, and immutable as well when running as root
# (root ignores the permission). When neither takes hold, the variable stays unset
# and the test that needs it says so. With VELMORA_FOREIGN_ENGINE naming a DLL,
# VELMORA_READONLY_ENGINE_DIR names a second such directory holding it as
# SkinH_EL.dll.
set -uo pipefail
dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-readonly.XXXXXX")
chmod 555 "$dir"
chattr +i "$dir" 2>/dev/null
if touch "$dir/probe" 2>/dev/null; then
  rm -f "$dir/probe"
else
  export VELMORA_READONLY_DIR=$dir
fi
engine_dir=
if [ -n "${VELMORA_FOREIGN_ENGINE:-}" ] && [ -n "${VELMORA_READONLY_DIR:-}" ]; then
  engine_dir=$(mktemp -d "${TMPDIR:-/tmp}/velmora-readonly-engine.XXXXXX")
  cp "$VELMORA_FOREIGN_ENGINE" "$engine_dir/SkinH_EL.dll"
  chmod 555 "$engine_dir"
  chattr +i "$engine_dir" 2>/dev/null
  export VELMORA_READONLY_ENGINE_DIR=$engine_dir
fi
"$@"
status=$?
for d in "$dir" $engine_dir; do
  chattr -i "$d" 2>/dev/null
  chmod 755 "$d"
  rm -rf "$d"
done
exit $status
