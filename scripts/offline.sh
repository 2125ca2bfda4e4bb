#!/usr/bin/env bash
# Runs a command where nothing can leave this machine: a private network
# namespace with only the loopback device up, and a hosts file that sends the
# program's .example hosts to 127.0.0.1 (where a test may serve them on port 80).
# Needs root. Usage: offline.sh COMMAND [ARGS...]
set -euo pipefail
if [ "${VELMORA_OFFLINE:-}" != 1 ]; then
  export VELMORA_OFFLINE=1
  exec unshare --net --mount --propagation private "$0" "$@"
fi
ip link set lo up
hosts=$(mktemp)
{
  echo "127.0.0.1 localhost"
  echo "::1 localhost"
  for h in www.velmora.example wpa.qq.example yunpan.example filebox.example dropit.example; do
    echo "127.0.0.1 $h"
  done
} >"$hosts"
mount --bind "$hosts" /etc/hosts
exec "$@"
