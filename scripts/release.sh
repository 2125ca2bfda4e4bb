#!/usr/bin/env bash
# Makes what a Windows user downloads: dist/velmora-<version>-win32.zip, with
# velmora.exe built by the `release` preset (the win32 product, Release) in a
# clean build/release, a README.txt for the user (Chinese, GBK, CR LF) and
# THIRD-PARTY-NOTICES.txt; prints the SHA-256 of the archive and of the
# executable and writes both to dist/SHA256SUMS. One commit gives the same
# bytes wherever and whenever it is built.
#
#   scripts/release.sh           the archive, from the working tree
#   scripts/release.sh --check   two release builds of HEAD, from two clones in
#                                different directories, one after the other and
#                                under another time zone and umask; velmora.exe,
#                                the SkinH_EL.dll image and the archive compared
#                                byte for byte. Exits 1 naming the first
#                                difference (for a program, its PE section).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

release() {
  [ "${VELMORA_RELEASE_SETUP:-yes}" = no ] || bash scripts/setup.sh
  local build=build/release dist=dist
  rm -rf "$build"
  cmake --preset release >/dev/null
  cmake --build --preset release -j2 >/dev/null
  local version epoch zip
  version=$(sed -n 's/^#define VELMORA_VERSION_TEXT "\(.*\)"$/\1/p' "$build/gen/version/velmora_version.h")
  # Entries dated by the commit, so the archive does not depend on when it was made.
  epoch=$(git log -1 --format=%ct 2>/dev/null || echo "${SOURCE_DATE_EPOCH:-315532800}")
  zip=velmora-$version-win32.zip
  mkdir -p "$dist"
  rm -f "$dist/$zip" "$dist/SHA256SUMS"
  python3 tools/release/release.py archive "$dist/$zip" "$version" "$epoch" "$build/velmora.exe" \
    assets/release/README.txt assets/release/THIRD-PARTY-NOTICES.txt
  cp "$build/velmora.exe" "$dist/velmora.exe"
  (cd "$dist" && sha256sum "$zip" velmora.exe >SHA256SUMS && rm velmora.exe && cat SHA256SUMS)
}

if [ "${1:-}" != --check ]; then
  release
  exit 0
fi

# --check: two clones of HEAD at paths of different lengths, built in turn.
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release --check: builds HEAD $(git rev-parse --short HEAD); uncommitted changes are not in it" >&2
bash scripts/setup.sh
work=$(mktemp -d /tmp/velmora-release-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
commit=$(git rev-parse HEAD)
build_clone() {
  local tree=$1 start
  start=$(date +%s)
  git clone -q --no-checkout "$root" "$tree"
  git -C "$tree" checkout -q "$commit"
  # libjpeg-turbo as set-up built it, the same file for both clones.
  ln -s "$root/.deps" "$tree/.deps"
  (cd "$tree" && shift && env VELMORA_RELEASE_SETUP=no "$@" bash scripts/release.sh) >"$tree.log" 2>&1 ||
    { cat "$tree.log" >&2; echo "release --check: the build in $tree failed" >&2; exit 1; }
  echo "built in $tree: $(($(date +%s) - start)) s" >&2
}
one=$work/a/velmora
two=$work/second-place/further/down/velmora-again
mkdir -p "$(dirname "$one")" "$(dirname "$two")"
build_clone "$one" TZ=UTC
build_clone "$two" TZ=Asia/Shanghai sh -c 'umask 077 && exec "$@"' umask077
version=$(sed -n 's/^#define VELMORA_VERSION_TEXT "\(.*\)"$/\1/p' "$one/build/release/gen/version/velmora_version.h")
failed=0
for file in build/release/velmora.exe build/release/skinengine/image/SkinH_EL.dll \
  "dist/velmora-$version-win32.zip"; do
  if python3 tools/release/release.py compare "$one/$file" "$two/$file"; then
    echo "identical: $file $(sha256sum <"$one/$file" | cut -d' ' -f1)"
  else
    failed=1
  fi
done
[ "$failed" = 0 ] && echo "release --check: the two builds of $(git rev-parse --short HEAD) are identical"
exit "$failed"
