#!/bin/sh
# Runs one libFuzzer target for its time budget: VELMORA_FUZZ_SECONDS when it is
# set (scripts/test.sh --fuzz-long sets it), else the short default of its test.
#   run_fuzzer.sh DEFAULT_SECONDS [--fresh CORPUS] FUZZER [LIBFUZZER ARGS...]
# --fresh empties CORPUS first, for targets whose units would pile up.
set -eu
seconds=${VELMORA_FUZZ_SECONDS:-$1}
shift
if [ "$1" = --fresh ]; then
  rm -rf "$2"
  mkdir -p "$2"
  shift 2
fi
fuzzer=$1
shift
exec "$fuzzer" -max_total_time="$seconds" "$@"
