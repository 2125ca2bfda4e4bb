#!/usr/bin/env bash
# Builds velmora.exe and runs it under Wine: the 32-bit product where this
# machine executes 32-bit code, else its 64-bit twin. Without a display it runs
# under Xvfb, saves a screenshot to build/velmora.png and closes the program
# again. Exits with the program's exit code.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${VELMORA_OFFLINE:-}" != 1 ]; then
  bash scripts/setup.sh
  # Everything after set-up runs where nothing can leave this machine.
  exec scripts/offline.sh bash scripts/run.sh "$@"
fi
source scripts/machine.sh
velmora_probe_32bit
if [ "$VELMORA_32BIT" = yes ]; then
  preset=win32
  echo "running the product, build/win32/velmora.exe: $VELMORA_32BIT_WHY"
else
  preset=win64
  echo "running the 64-bit twin, build/win64/velmora.exe: $VELMORA_32BIT_WHY"
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target velmora
exe=build/$preset/velmora.exe

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
code=0
wait "$pid" || code=$?
echo "velmora.exe exit code: $code"
exit "$code"
