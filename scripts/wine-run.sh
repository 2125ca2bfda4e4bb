#!/usr/bin/env bash
# Runs a Windows program under the project's own Wine prefix in build/, created
# once and reused, with a non-Chinese locale and no installer dialogs. The
# prefix is 64-bit, so it is made on every machine; a PE32+ program runs with
# the 64-bit loader and a PE32 one with the 32-bit loader (WoW64), which needs a
# processor that executes 32-bit code. Starts a private Xvfb when there is no
# display. Exits with the program's code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${VELMORA_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# No Mono or Gecko installer prompts, no desktop menu entries.
# VELMORA_DLLOVERRIDES adds overrides of a test's own.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d${VELMORA_DLLOVERRIDES:+;$VELMORA_DLLOVERRIDES}"
wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine

[ $# -ge 1 ] || { echo "usage: wine-run.sh PROGRAM.exe [ARGS...] | --prepare" >&2; exit 2; }
if [ "$1" = --prepare ] && [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh --prepare needs the display the programs will use" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# --prepare: makes the prefix, then keeps one Wine server and Wine's services
# running until `wineserver -k`, so that a program never starts while the last
# one's server is shutting down (it would find no desktop).
prepare_server() {
  wineserver -p </dev/null >/dev/null 2>&1 || true  # already running: keep it
  "$wine64" wineboot </dev/null >/dev/null 2>&1
}

# The optional header's magic says which loader: 0x10b PE32, 0x20b PE32+.
pe_magic() {
  local offset
  offset=$(od -An -t u4 -j 60 -N 4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || return 1
  od -An -t x2 -j $((offset + 24)) -N 2 "$1" | tr -d ' '
}
case $([ "$1" = --prepare ] && echo prepare || pe_magic "$1" || true) in
  prepare) loader= ;;
  020b) loader=$wine64 ;;
  010b) loader=$wine32 ;;
  *) echo "wine-run.sh: $1 is not a Windows program" >&2; exit 2 ;;
esac

# Bump when the prefix settings below change; an older prefix is made anew.
# VELMORA_WINE_FONTS=plain makes a prefix as a person's own: no font replacements.
prefix_version=4
fonts=${VELMORA_WINE_FONTS:-mapped}
[ "$fonts" = mapped ] || prefix_version="$prefix_version-$fonts"
if [ "$(cat "$WINEPREFIX/.velmora-ready" 2>/dev/null)" != "$prefix_version" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ "$(cat "$WINEPREFIX/.velmora-ready" 2>/dev/null)" != "$prefix_version" ]; then
      rm -rf "$WINEPREFIX"
      "$wine64" wineboot --init >/dev/null 2>&1
      wineserver -w
      # Chinese face names, and the faces Wine picks for an empty face name or for
      # dialogs, map to the CJK font we install so Chinese text never shows as boxes.
      faces=("微软雅黑" "宋体" "SimSun" "新宋体" "NSimSun" "Arial" "Tahoma")
      [ "$fonts" != plain ] || faces=()
      for face in ${faces[@]+"${faces[@]}"}; do
        "$wine64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
          /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
      done
      # Without a window manager, managed windows make every close wait 2 s.
      "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      wineserver -w
      echo "$prefix_version" > "$WINEPREFIX/.velmora-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

if [ -z "$loader" ]; then
  prepare_server
  exit 0
fi
# VELMORA_WAIT_FOR_SERVER=yes, for a prefix whose server is not kept (the
# plain-font tests'): a program started while the last one's server shuts down
# finds no desktop, so that server is let end first.
[ "${VELMORA_WAIT_FOR_SERVER:-}" != yes ] || wineserver -w 2>/dev/null || true
# Wine's service and desktop processes outlive the program and inherit its
# output; through a file, the caller's pipe closes when the program ends.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
"$loader" "$@" </dev/null >"$log" 2>&1 &
pid=$!
# Ending this script ends the program, as when the script was the program.
trap 'kill -TERM "$pid" 2>/dev/null' TERM INT HUP
code=0
while :; do
  if wait "$pid"; then code=0; else code=$?; fi
  kill -0 "$pid" 2>/dev/null || break
done
cat "$log"
exit "$code"
