#!/usr/bin/env bash
# One table of Velmora's costs, each figure a ratio against a baseline measured
# in the same run on the same machine, the two taking turns. Not part of test.sh.
#
#   1, 2  start of velmora.exe to its visible MainWindow under Wine, with an
#         update page that answers at once, against bench/floor_window.exe (the
#         platform's floor: MainWindow's frame made of system windows and the
#         system WebBrowser, navigated to a local page, with the same DLLs) and
#         against bench/bare_window.exe (one window of the same size; both
#         baselines from the same toolchain, with the same embedded bytes); and
#         with a server that accepts and never answers, against the bare window
#         and in absolute time
#   3     loading MainWindow inside one process (bench/load_bench.exe) against
#         a frame with a system child window per control and a bare frame
#   4     on the host: decoding MainWindow's ten pictures and reading the window
#         descriptions, against touching the same bytes once (forms_bench)
#   5     the size of velmora.exe against the assets it embeds
#
# Runs inside a private network namespace (it re-executes itself with unshare),
# where a hosts file maps the program's .example hosts to 127.0.0.1 and the
# servers listen on port 80: the program's real request reaches them and
# nothing leaves the machine. Uses a Wine prefix and an Xvfb of its own. Needs
# root (or user namespaces) for unshare.
#
#   scripts/bench.sh [RUNS]   RUNS turns of each pair (default 15); VELMORA_BENCH_WINEPREFIX
#                             names another Wine prefix (default build/wineprefix-bench)
#   scripts/bench.sh --breakdown [RUNS]
#                             the time of each start step instead, medians over RUNS
#                             starts (default 11) of velmora.exe and floor_window.exe from
#                             the *-marks build, read from the marks they write (see
#                             base/bench_marks.h), with the prompt update server
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=table
if [ "${1:-}" = --breakdown ]; then
  mode=breakdown
  shift
fi
runs=${1:-$([ "$mode" = breakdown ] && echo 11 || echo 15)}

if [ -z "${VELMORA_BENCH_INSIDE:-}" ]; then
  cd "$root"
  source scripts/machine.sh
  velmora_probe_32bit
  preset=$([ "$VELMORA_32BIT" = yes ] && echo win32 || echo win64)
  if [ "$mode" = breakdown ]; then
    echo "building the $preset-marks programs ($VELMORA_32BIT_WHY)" >&2
    cmake --preset "$preset-marks" >/dev/null
    cmake --build --preset "$preset-marks" -j2 --target velmora floor_window >/dev/null
    export VELMORA_BENCH_INSIDE=1 VELMORA_BENCH_PRESET=$preset-marks VELMORA_BENCH_WHY=$VELMORA_32BIT_WHY
    exec unshare --net --mount -- "$0" --breakdown "$runs"
  fi
  echo "building the $preset programs and the host benchmark ($VELMORA_32BIT_WHY)" >&2
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2 --target velmora bare_window floor_window load_bench >/dev/null
  if [ "$preset" != win32 ]; then
    # The product's size is the 32-bit file's, built (not run) on every machine.
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 -j2 --target velmora >/dev/null
  fi
  cmake --preset host >/dev/null
  cmake --build --preset host -j2 --target forms_bench >/dev/null
  export VELMORA_BENCH_INSIDE=1 VELMORA_BENCH_PRESET=$preset VELMORA_BENCH_WHY=$VELMORA_32BIT_WHY
  exec unshare --net --mount -- "$0" "$runs"
fi

# Inside the namespace from here on.
ip link set lo up
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
build=$root/build/$VELMORA_BENCH_PRESET
work=$(mktemp -d /tmp/velmora-bench.XXXXXX)
samples=$work/samples
: >"$samples"
hosts=$work/hosts
printf '127.0.0.1 localhost\n127.0.0.1 www.velmora.example velmora.example\n' >"$hosts"
mount --bind "$hosts" /etc/hosts
export VELMORA_WINEPREFIX=${VELMORA_BENCH_WINEPREFIX:-$root/build/wineprefix-bench}
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
now_us() { date +%s%6N; }

# When set, the file each start's marks go to (a Unix path; the program gets
# its Windows name on drive Z:), with the launch and the moment the window was
# seen appended on the same clock.
marks_file=

# One Wine server and desktop for the whole run, as on a desktop that is up:
# a start never meets the last one's server shutting down (it would find no
# desktop and end at once).
prepare_wine() { "$root/scripts/wine-run.sh" --prepare; }

# Visible windows whose title matches, one id a line. A query can stall while
# a window is being made: each one is bounded.
windows_titled() { timeout 2 xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
# The first of them not among the ids in $2 (a window left from the last start
# is not this start's), or nothing.
find_window() { windows_titled "$1" | grep -vxF -e "${2:-none}" | head -n 1 || true; }

# One start of EXE in a fresh directory (velmora.exe writes its pages beside
# itself): prints the milliseconds until a visible window whose title matches
# TITLE shows, then closes it with Esc as a person would.
one_start() {
  local exe=$1 title=$2 dir=$work/run$RANDOM$RANDOM
  mkdir -p "$dir"
  cp "$exe" "$dir/"
  local start end pid id= stale
  stale=$(windows_titled "$title")
  [ -z "$marks_file" ] || echo "launched $(now_us)" >>"$marks_file"
  start=$(now_ms)
  (cd "$dir" && VELMORA_BENCH_MARKS_FILE=${marks_file:+Z:${marks_file//\//\\}} \
    exec "$root/scripts/wine-run.sh" "$(basename "$exe")") >/dev/null 2>&1 &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    id=$(find_window "$title" "$stale")
    [ -n "$id" ] && break
    sleep 0.02
  done
  end=$(now_ms)
  [ -z "$marks_file" ] || echo "seen $(now_us)" >>"$marks_file"
  if [ -z "$id" ]; then
    wait "$pid" 2>/dev/null || true
    echo "$(basename "$exe") ended before its window showed" >&2
    return 1
  fi
  # Esc through XTEST to the focused window rather than sent to the id found:
  # that X window may be gone already (BadWindow), and a lost key would leave
  # the program running into the kill below.
  timeout 2 xdotool windowfocus "$id" 2>/dev/null || true
  timeout 2 xdotool key Escape 2>/dev/null || true
  for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then
    # Ending the wrapper ends the program; the shared server stays up.
    echo "$(basename "$exe") did not close on Esc: ended" >&2
    kill -TERM "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
  # Its window gone from the screen before the next start looks for one.
  for _ in $(seq 1 40); do [ -z "$(windows_titled "$title")" ] && break; sleep 0.05; done
  rm -rf "$dir"
  echo $((end - start))
}

velmora=$build/velmora.exe bare=$build/bare_window.exe floor=$build/floor_window.exe
velmora_title='^Velmora-' bare_title='^Velmora bare window$' floor_title='^Velmora floor window$'
# One start of the program named velmora, bare or floor.
start_of() {
  local exe=$1 title=${1}_title
  exe=${!exe}
  one_start "$exe" "${!title}"
}

# --breakdown: the two programs take turns, each start writing its marks to a
# file of its own; then the medians of each step.
breakdown() {
  local i name
  echo "breakdown: $runs starts of each of $VELMORA_BENCH_PRESET's velmora.exe and floor_window.exe" >&2
  for i in $(seq 1 "$runs"); do
    for name in $([ $((i % 2)) = 1 ] && echo velmora floor || echo floor velmora); do
      marks_file=$work/marks.$name.$i
      : >"$marks_file"
      start_of "$name" >/dev/null || true
      marks_file=
    done
  done
  python3 "$root/bench/breakdown.py" "$VELMORA_BENCH_PRESET" "$load_before $(cut -d' ' -f1-3 /proc/loadavg)" \
    "$work"/marks.velmora.* -- "$work"/marks.floor.*
}

prepare_wine
# The first start of each boots what Wine loads on demand: not measured.
serve prompt
start_of velmora >/dev/null
start_of floor >/dev/null
if [ "$mode" = breakdown ]; then
  breakdown
  exit 0
fi
start_of bare >/dev/null
: >"$work/requests.log"

# 1, 2: the programs take turns, the order reversed every other turn. With the
# silent server only velmora.exe and the bare window: the floor has no network.
for kind in prompt silent; do
  [ "$kind" = prompt ] || { stop_server; serve "$kind"; }
  programs="velmora floor bare"
  [ "$kind" = prompt ] || programs="velmora bare"
  echo "starts with a $kind update server: $runs turns of $programs" >&2
  for i in $(seq 1 "$runs"); do
    order=$programs
    [ $((i % 2)) = 1 ] || order=$(tr ' ' '\n' <<<"$programs" | tac | tr '\n' ' ')
    for name in $order; do
      took=$(start_of "$name")
      printf 'start_%s_%s %s\n' "$kind" "$name" "$took" >>"$samples"
    done
  done
done
stop_server
for kind in prompt silent; do
  printf 'requests_%s %s\n' "$kind" "$(grep -c "^$kind GET " "$work/requests.log" || true)" >>"$samples"
done

# 3: in one process, taking turns inside it.
echo "loading MainWindow in one process: $runs rounds" >&2
(cd "$work" && "$root/scripts/wine-run.sh" "$build/bench/load_bench.exe" "$runs") | tr -d '\r' |
  awk '{print "load_" $1, $2}' >>"$samples"

# 4: on the host; the repetitions of the four interleave at random.
echo "host: pictures and window descriptions: $runs repetitions" >&2
"$root/build/host/tests/host/format/forms_bench" --benchmark_repetitions="$runs" \
  --benchmark_enable_random_interleaving=true --benchmark_min_time=0.05 \
  --benchmark_format=json 2>/dev/null >"$work/host.json"
python3 - "$work/host.json" >>"$samples" <<'EOF'
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    if b.get("run_type") == "iteration":
        print("host_" + b["run_name"].removeprefix("BM_"), b["real_time"] / 1000.0)  # ms
EOF

# 5: what velmora.exe carries and how big it is, for the preset run here and
# for the 32-bit product.
asset_bytes() { cat "$@" | wc -c; }
exe_sizes() {  # NAME BUILD-DIR TOOL-PREFIX
  local exe=$2/velmora.exe
  [ -e "$exe" ] || return 0
  echo "size_$1_exe $(stat -c %s "$exe")"
  echo "size_$1_pages $(asset_bytes "$2"/pages/*.html)"
  echo "size_$1_windows $(stat -c %s "$2/gen/format/windows.bin")"
  echo "size_$1_skins $(asset_bytes "$2"/skins/*.she)"
  echo "size_$1_engine $(stat -c %s "$2/skinengine/image/SkinH_EL.dll")"  # the padded image it carries
  echo "size_$1_symbols $("$3-nm" "$exe" 2>/dev/null | wc -l)"
  echo "size_$1_debug $("$3-objdump" -h "$exe" | grep -c ' \.debug_' || true)"
}
{
  exe_sizes "$VELMORA_BENCH_PRESET" "$build" "$([ "$VELMORA_BENCH_PRESET" = win32 ] && echo i686 || echo x86_64)-w64-mingw32"
  [ "$VELMORA_BENCH_PRESET" = win32 ] || exe_sizes win32 "$root/build/win32" i686-w64-mingw32
} >>"$samples"

wine_version=$(/usr/lib/wine/wine64 --version 2>/dev/null || echo "wine")
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
python3 - "$samples" "$runs" "$VELMORA_BENCH_PRESET" "$wine_version" "$VELMORA_BENCH_WHY" "$load_before" "$load_after" <<'EOF'
import statistics, sys, platform, os, datetime
path, runs, preset, wine, why, load_before, load_after = sys.argv[1:8]
series = {}
for line in open(path):
    key, _, value = line.strip().partition(" ")
    if value:
        series.setdefault(key, []).append(float(value))

def quartiles(v):
    v = sorted(v)
    if len(v) < 4:
        return v[0], v[-1]
    q = statistics.quantiles(v, n=4, method="inclusive")
    return q[0], q[2]

def unit(ms):
    return "%.0f ms" % ms if ms >= 100 else "%.2f ms" % ms if ms >= 1 else "%.0f us" % (ms * 1000)

rows = []
# goal: the ratio's median at most max_ratio, or the figure's median at most max_ms.
def pair(what, against, key, base, max_ratio=None, max_ms=None):
    a, b = series.get(key, []), series.get(base, [])
    n = min(len(a), len(b))
    if n == 0:
        rows.append((what, against, "missing", "", "", "", "", "0", ""))
        return
    ratios = [a[i] / b[i] for i in range(n)]
    lo, hi = quartiles(ratios)
    ratio, figure = statistics.median(ratios), statistics.median(a[:n])
    goal = ""
    if max_ratio is not None:
        goal = "<= %.2f %s" % (max_ratio, "met" if ratio <= max_ratio else "missed")
    if max_ms is not None:
        goal = "<= %g s %s" % (max_ms / 1000, "met" if figure <= max_ms else "missed")
    rows.append((what, against, "%.2f" % ratio, "%.2f-%.2f" % (min(ratios), max(ratios)), "%.2f-%.2f" % (lo, hi),
                 unit(figure), unit(statistics.median(b[:n])), str(n), goal))

prompt = "start to visible MainWindow, prompt update server"
pair(prompt, "floor_window.exe start", "start_prompt_velmora", "start_prompt_floor", max_ratio=1.2)
pair(prompt, "bare_window.exe start", "start_prompt_velmora", "start_prompt_bare", max_ratio=1.6)
pair("floor_window.exe start", "bare_window.exe start", "start_prompt_floor", "start_prompt_bare")
pair("start to visible MainWindow, silent update server", "bare_window.exe start", "start_silent_velmora",
     "start_silent_bare", max_ms=3000)
pair("load MainWindow in one process", "frame with 29 system children", "load_main_window", "load_frame_29",
     max_ratio=2.0)
pair("load MainWindow in one process", "bare frame, same size", "load_main_window", "load_bare_frame")
pair("frame with 29 system children", "bare frame, same size", "load_frame_29", "load_bare_frame")
pair("host: decode MainWindow's 10 pictures", "copy them, fill their pixels", "host_DecodeMainWindowPictures", "host_TouchMainWindowPictures")
pair("host: read the window descriptions", "one copy of the block", "host_ReadProgramWindows", "host_CopyProgramWindowBlock")
def size_row(preset):
    size = {k[len("size_" + preset) + 1:]: int(v[0]) for k, v in series.items() if k.startswith("size_" + preset + "_")}
    if not size:
        return None
    assets = size["pages"] + size["windows"] + size["skins"] + size["engine"]
    stripped = size["symbols"] == 0 and size["debug"] == 0
    rows.append(("size of %s velmora.exe (%s)" % (preset, "stripped" if stripped else "with symbols"),
                 "the assets it embeds", "%.2f" % (size["exe"] / assets), "-", "-", mib(size["exe"]), mib(assets), "1", ""))
    return size
mib = lambda n: "%.2f MB" % (n / 1e6)
sizes = [s for s in (size_row(preset), size_row("win32") if preset != "win32" else None) if s]

head = ("figure", "baseline", "ratio", "min-max", "IQR", "figure median", "baseline median", "n", "goal")
widths = [max(len(r[i]) for r in rows + [head]) for i in range(len(head))]
line = lambda r: "  ".join(c.ljust(widths[i]) if i < 2 or i == 8 else c.rjust(widths[i])
                           for i, c in enumerate(r)).rstrip()
print("Velmora benchmark %s, %s, %d cores, %s preset under %s; runs=%s, each pair taking turns"
      % (datetime.date.today().isoformat(), platform.machine(), os.cpu_count(), preset, wine, runs))
print("load average (1, 5, 15 min) %s at start, %s at end" % (load_before.replace(" ", "/"), load_after.replace(" ", "/")))
print(line(head))
print(line(["-" * w for w in widths]))
for r in rows:
    print(line(r))
size = sizes[-1]
print("assets: pages %s, window descriptions %s, skins %s, engine image %s" %
      (mib(size["pages"]), mib(size["windows"]), mib(size["skins"]), mib(size["engine"])))
seen = {k: int(series.get("requests_" + k, [0])[0]) for k in ("prompt", "silent")}
print("update requests seen: prompt %d, silent %d (of %s starts each); host figures: host preset (ASan, UBSan)"
      % (seen["prompt"], seen["silent"], runs))
EOF
