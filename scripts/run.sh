#!/usr/bin/env bash
# Builds velmora.exe and runs it under Wine. Without a display it runs under
# Xvfb, saves a screenshot to build/velmora.png and closes the program again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target velmora
exe=build/win32/velmora.exe

if [ -n "${DISPLAY:-}" ]; then
  exec scripts/wine-run.sh "$exe"
fi

source scripts/xvfb.sh
velmora_xvfb_start
scripts/wine-run.sh "$exe" &
pid=$!
# Give the window time to come up (or the program time to end by itself).
for _ in $(seq 1 80); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
sleep 2
import -window root build/velmora.png
echo "screenshot: build/velmora.png"
if kill -0 "$pid" 2>/dev/null; then
  # Esc asks the main window to close, as a person would.
  xdotool key Escape || true
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
fi
if kill -0 "$pid" 2>/dev/null; then
  echo "velmora.exe did not close; ending it" >&2
  WINEPREFIX=$PWD/build/wineprefix wineserver -k
fi
set +e
wait "$pid"
code=$?
set -e
echo "velmora.exe exit code: $code"
exit "$code"
