#!/usr/bin/env bash
# Builds the five pages into a temporary directory and checks them, bytes and behaviour.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
[ -d "$here/node_modules/playwright-core" ] || npm ci --prefix "$here" --no-audit --no-fund --silent
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
python3 "$root/tools/pages/build_pages.py" --out "$out"
cd "$here"
PAGES_DIR=$out node --test bytes.test.mjs browser.test.mjs
