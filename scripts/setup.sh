#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine, as root.
# Idempotent: a second run finds everything in place and returns in seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
say() { printf 'setup: %s\n' "$*"; }
# A mirror in mid-sync fails an index now and then: try again, and if it still
# fails, go on with the indexes that did arrive and let the install decide.
apt_update() {
  local try
  for try in 1 2 3; do
    apt-get update -qq >/tmp/velmora-apt-update.log 2>&1 && return 0
    say "apt-get update failed (try $try of 3): $(grep -m1 -E '^(E|Err):' /tmp/velmora-apt-update.log)"
    sleep $((try * 10))
  done
  return 0
}
# When one architecture's index is missing or stale (a security index that did
# not arrive), a Multi-Arch: same library has different candidates for amd64 and
# i386 and the resolver gives up. Then each library it names is asked for at the
# i386 candidate's version on both sides, until the plan holds.
candidate() { apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p'; }
apt_install() {
  local pins=() round plan name vi added
  for round in 1 2 3 4 5 6; do
    plan=$(apt-get install -s --allow-downgrades --no-install-recommends "$@" "${pins[@]}" 2>&1) && break
    added=0
    for name in $(grep '^ ' <<<"$plan" | grep -oE '[a-z0-9][a-z0-9.+-]*:i386' | sed 's/:i386$//' | sort -u); do
      vi=$(candidate "$name:i386")
      [ -n "$vi" ] && [ "$vi" != "(none)" ] && [ "$vi" != "$(candidate "$name")" ] || continue
      apt-cache show "$name=$vi" >/dev/null 2>&1 || continue
      [[ " ${pins[*]} " == *" $name=$vi "* ]] && continue
      pins+=("$name=$vi" "$name:i386=$vi")
      added=1
    done
    if [ "$added" = 0 ]; then
      grep -E '^( |E:)' <<<"$plan" | tail -n 30
      exit 1
    fi
  done
  [ ${#pins[@]} -eq 0 ] || say "one version for both architectures: ${pins[*]}"
  apt-get install -y -qq --allow-downgrades --no-install-recommends "$@" "${pins[@]}" >/tmp/velmora-apt.log 2>&1 \
    || { tail -n 30 /tmp/velmora-apt.log; exit 1; }
}

export DEBIAN_FRONTEND=noninteractive
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix nasm dpkg-dev
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  wine wine64 wine32:i386 fonts-wine xvfb xauth xdotool x11-utils xclip imagemagick fonts-wqy-microhei
  gcc-multilib g++-multilib qemu-user-static libjpeg62-turbo-dev:i386
  libjpeg62-turbo-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev python3 chromium nodejs npm iproute2 util-linux
)

missing=()
dpkg --print-foreign-architectures | grep -qx i386 || { say "enabling i386 multiarch"; dpkg --add-architecture i386; missing+=(update); }
for p in "${packages[@]}"; do
  # Node.js may come from another repository with npm inside it.
  case $p in nodejs | npm) command -v "${p/nodejs/node}" >/dev/null && continue ;; esac
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
src_list=/etc/apt/sources.list.d/velmora-src.sources
if [ ! -f "$src_list" ]; then
  say "adding a deb-src entry of our own ($src_list)"
  cat > "$src_list" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  missing+=(update)
fi
if [ ${#missing[@]} -gt 0 ]; then
  say "installing packages (${#missing[@]} missing), this takes a few minutes"
  apt_update
  pkgs=()
  for p in "${missing[@]}"; do [ "$p" = update ] || pkgs+=("$p"); done
  apt_install "${pkgs[@]}"
fi

# libjpeg-turbo for each Windows target, static, SIMD on, from Debian's own source package.
build_jpeg() {
  local triple=$1 cpu=$2 prefix=$root/.deps/libjpeg-$2
  [ -f "$prefix/lib/libjpeg.a" ] && return 0
  say "building libjpeg-turbo for $triple into .deps/"
  local work=$root/.deps/src-$cpu
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1) \
    || { apt_update; (cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null); }
  local srcdir
  srcdir=$(find "$work" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  cmake -S "$srcdir" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$triple.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_SIMD=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DCMAKE_SYSTEM_PROCESSOR="$cpu" >"$work/configure.log" 2>&1 || { tail -n 30 "$work/configure.log"; exit 1; }
  cmake --build "$work/build" >"$work/build.log" 2>&1 || { tail -n 30 "$work/build.log"; exit 1; }
  cmake --install "$work/build" >/dev/null
  rm -rf "$work"
}
build_jpeg i686-w64-mingw32 i686
build_jpeg x86_64-w64-mingw32 x86_64

# Node packages for the page tests, pinned by the lock file.
if [ -f tests/pages/package-lock.json ] && [ ! -d tests/pages/node_modules ]; then
  say "installing the page tests' npm packages"
  (cd tests/pages && npm ci --silent --no-audit --no-fund >/dev/null)
fi
say "ready"
