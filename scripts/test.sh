#!/usr/bin/env bash
# Sets up what is missing, builds both presets and runs every test layer.
# Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/xvfb.sh

echo "== build: host"
cmake --preset host >/dev/null
cmake --build --preset host
echo "== build: win32"
cmake --preset win32 >/dev/null
cmake --build --preset win32

velmora_xvfb_start
passed=0
failed=0
status=0
for preset in host win32; do
  echo "== tests: $preset"
  log=$(mktemp)
  ctest --preset "$preset" -j2 2>&1 | tee "$log" || status=1
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" || true)
  if [ -z "$summary" ]; then status=1; fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"${summary:-0% tests passed, 0 tests failed out of 0}")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/' <<<"${summary:-0% tests passed, 0 tests failed out of 0}")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  rm -f "$log"
done
echo "all layers: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1
exit "$status"
