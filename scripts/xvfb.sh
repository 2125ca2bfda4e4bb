# Sourced by run.sh and test.sh: starts one Xvfb for the session when there is
# no display, exports DISPLAY, and stops it (and Wine) on exit.
velmora_xvfb_start() {
  if [ -n "${DISPLAY:-}" ]; then return 0; fi
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  VELMORA_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$fdfile")"
  rm -f "$fdfile"
  trap velmora_xvfb_stop EXIT
}

velmora_xvfb_stop() {
  WINEPREFIX=${VELMORA_WINEPREFIX:-$PWD/build/wineprefix} wineserver -k >/dev/null 2>&1 || true
  if [ -n "${VELMORA_XVFB_PID:-}" ]; then kill "$VELMORA_XVFB_PID" 2>/dev/null || true; fi
}
