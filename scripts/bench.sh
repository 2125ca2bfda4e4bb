#!/usr/bin/env bash
# Start-up time of velmora.exe under Wine: from starting the program to
# MainWindow on the screen, once with an update page that answers at once and
# once with a server that accepts and never answers. Not part of test.sh.
#
# Runs inside a private network namespace (it re-executes itself with unshare),
# where a hosts file maps the program's .example hosts to 127.0.0.1 and the
# servers listen on port 80: the program's real request reaches them and
# nothing leaves the machine. Uses a Wine prefix of its own and an Xvfb of its
# own. Needs root (or user namespaces) for unshare.
#
#   scripts/bench.sh [RUNS [EXE]]   RUNS starts of each kind (default 3), medians
#                                   printed; EXE instead of this tree's build
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}

if [ -z "${VELMORA_BENCH_INSIDE:-}" ]; then
  cd "$root"
  if [ -n "${2:-}" ]; then
    exe=$(realpath "$2")
  else
    source scripts/machine.sh
    velmora_probe_32bit
    preset=$([ "$VELMORA_32BIT" = yes ] && echo win32 || echo win64)
    echo "building $preset velmora.exe ($VELMORA_32BIT_WHY)"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target velmora >/dev/null
    exe=$root/build/$preset/velmora.exe
  fi
  export VELMORA_BENCH_INSIDE=1 VELMORA_BENCH_EXE=$exe
  exec unshare --net --mount -- "$0" "$runs"
fi

# Inside the namespace from here on.
ip link set lo up
work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
hosts=$work/hosts
printf '127.0.0.1 localhost\n127.0.0.1 www.velmora.example velmora.example\n' >"$hosts"
mount --bind "$hosts" /etc/hosts
export VELMORA_WINEPREFIX=$root/build/wineprefix-bench
unset DISPLAY
source "$root/scripts/xvfb.sh"
velmora_xvfb_start
export WINEPREFIX=$VELMORA_WINEPREFIX

server_pid=
stop_all() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  velmora_xvfb_stop
  rm -rf "$work"
}
trap stop_all EXIT

# prompt: the page with this version between the markers (nothing to announce);
# silent: reads the request and never answers. Each request is logged.
serve() {
  python3 - "$1" "$work/requests.log" <<'EOF' &
import socket, sys, threading
mode, log = sys.argv[1], sys.argv[2]
page = b"<html><body>zuixingbbxz2.8kuailaix</body></html>"
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", 80))
s.listen(16)
open(log + ".ready", "w").close()
def handle(c):
    data = b""
    while b"\r\n\r\n" not in data:
        piece = c.recv(4096)
        if not piece:
            return
        data += piece
    with open(log, "a") as f:
        f.write(mode + " " + data.split(b"\r\n")[0].decode("latin-1") + "\n")
    if mode == "prompt":
        c.sendall(b"HTTP/1.0 200 OK\r\nContent-Length: %d\r\n\r\n" % len(page) + page)
        c.close()
    else:
        while c.recv(4096):
            pass
while True:
    c, _ = s.accept()
    threading.Thread(target=handle, args=(c,), daemon=True).start()
EOF
  server_pid=$!
  for _ in $(seq 1 100); do [ -e "$work/requests.log.ready" ] && break; sleep 0.05; done
  rm -f "$work/requests.log.ready"
}

stop_server() {
  kill "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=
}

now_ms() { date +%s%3N; }

# One start in a fresh directory (the program writes its pages beside itself):
# milliseconds until a visible window of the program shows its title.
one_start() {
  local dir=$work/run$RANDOM
  mkdir -p "$dir"
  cp "$VELMORA_BENCH_EXE" "$dir/velmora.exe"
  local start end pid id=
  start=$(now_ms)
  (cd "$dir" && exec "$root/scripts/wine-run.sh" velmora.exe) >/dev/null 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    # A query can stall while a window is being made: each one is bounded.
    id=$(timeout 2 xdotool search --onlyvisible --name 'Velmora' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.02
  done
  end=$(now_ms)
  if [ -z "$id" ]; then
    echo "velmora.exe ended before its window showed" >&2
    return 1
  fi
  timeout 2 xdotool key --window "$id" Escape 2>/dev/null || true
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && wineserver -k
  wait "$pid" 2>/dev/null || true
  echo $((end - start))
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# The first start of a prefix makes it and boots Wine: not measured.
serve prompt
one_start >/dev/null
wineserver -p 60 2>/dev/null || true  # keep Wine up between starts, as it stays on a desktop
: >"$work/requests.log"
declare -A times
for kind in prompt silent; do
  [ "$kind" = prompt ] || { stop_server; serve "$kind"; }
  for i in $(seq 1 "$runs"); do times[$kind]+="$(one_start) "; done
done
stop_server

for kind in prompt silent; do
  seen=$(grep -c "^$kind GET " "$work/requests.log" || true)
  printf '%-7s start to visible MainWindow: median %s ms (runs: %s) requests seen: %s of %s\n' \
    "$kind" "$(tr ' ' '\n' <<<"${times[$kind]}" | grep . | median)" "${times[$kind]% }" "$seen" "$runs"
done
if ! grep -q GET "$work/requests.log"; then
  echo "note: the program made no update request: this build does not run the update check at start"
fi
