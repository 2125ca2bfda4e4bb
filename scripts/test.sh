#!/usr/bin/env bash
# Sets up what is missing, builds every preset and runs every test layer:
# host, host32 (32-bit Linux code under qemu-i386), win64 (the 64-bit twin under
# 64-bit Wine), win32 (the product's own build, where 32-bit code runs) and pages.
# Exits non-zero when any test fails; a layer that cannot run here is counted as
# skipped, with the reason, never as passed.
#
# Two longer modes for scheduled runs; the default run (CI's) does neither:
#   --soak       the real program under Wine: each modal window opened and
#                closed 500 times, the tabs switched 10,000 times, its GDI,
#                USER and private-memory figures held to bounds (README, Soak)
#   --fuzz-long  every fuzz target again for VELMORA_FUZZ_SECONDS each
#                (default 600) instead of its short CI budget
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${VELMORA_OFFLINE:-}" != 1 ]; then
  bash scripts/setup.sh
  # Everything after set-up runs where nothing can leave this machine.
  exec scripts/offline.sh bash scripts/test.sh "$@"
fi
source scripts/xvfb.sh
source scripts/machine.sh
velmora_probe_32bit

case "${1:-}" in
  --soak)
    # The product where 32-bit code runs, its twin elsewhere; the suite brings its own display.
    preset=win64
    [ "$VELMORA_32BIT" = yes ] && preset=win32
    echo "== soak: $preset ($VELMORA_32BIT_WHY)"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    exec cmake --build --preset "$preset" --target soak
    ;;
  --fuzz-long)
    export VELMORA_FUZZ_SECONDS=${VELMORA_FUZZ_SECONDS:-600}
    echo "== fuzz: every target for ${VELMORA_FUZZ_SECONDS} s"
    cmake --preset host >/dev/null
    cmake --build --preset host
    exec ctest --preset host -j2 -L fuzz --timeout $((VELMORA_FUZZ_SECONDS + 300))
    ;;
  "") ;;
  *)
    echo "usage: test.sh [--soak | --fuzz-long]" >&2
    exit 2
    ;;
esac

for preset in host host32 win64 win32; do
  echo "== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

velmora_xvfb_start
# One Wine server for the Wine layers, stopped with the display on exit.
scripts/wine-run.sh --prepare
passed=0
failed=0
skipped=0
status=0
# run_layer NAME PRESET [CTEST ARGS...]: runs one layer and adds up its summary.
run_layer() {
  local name=$1 preset=$2 log summary total bad
  shift 2
  echo "== tests: $name"
  log=$(mktemp)
  ctest --preset "$preset" "$@" 2>&1 | tee "$log" || status=1
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" || true)
  rm -f "$log"
  if [ -z "$summary" ]; then
    echo "layer $name: no test summary" >&2
    status=1
    failed=$((failed + 1))
    return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

run_layer host host -j2 -LE pages
run_layer host32 host32 -j2
run_layer win64 win64
if [ "$VELMORA_32BIT" = yes ]; then
  echo "win32 layer runs: $VELMORA_32BIT_WHY"
  run_layer win32 win32
else
  count=$(ctest --preset win32 -N | sed -nE 's/^Total Tests: ([0-9]+)$/\1/p')
  echo "== tests: win32 skipped ($count test programs): $VELMORA_32BIT_WHY"
  skipped=$((skipped + ${count:-0}))
fi
run_layer pages host -L pages

echo "all layers: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ] || status=1
exit "$status"
