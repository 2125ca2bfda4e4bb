#!/usr/bin/env bash
# Runs a Windows program under the project's own 32-bit Wine prefix in build/,
# created once and reused, with a non-Chinese locale and no installer dialogs.
# Starts a private Xvfb when there is no display. Exits with the program's code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${VELMORA_WINEPREFIX:-$root/build/wineprefix}
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# No Mono or Gecko installer prompts, no desktop menu entries.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# Bump when the prefix settings below change; an older prefix is made anew.
prefix_version=3
if [ "$(cat "$WINEPREFIX/.velmora-ready" 2>/dev/null)" != "$prefix_version" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ "$(cat "$WINEPREFIX/.velmora-ready" 2>/dev/null)" != "$prefix_version" ]; then
      rm -rf "$WINEPREFIX"
      wineboot --init >/dev/null 2>&1
      wineserver -w
      # Chinese face names, and the faces Wine picks for an empty face name or for
      # dialogs, map to the CJK font we install so Chinese text never shows as boxes.
      for face in "微软雅黑" "宋体" "SimSun" "新宋体" "NSimSun" "Arial" "Tahoma"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ \
          /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
      done
      # Without a window manager, managed windows make every close wait 2 s.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      wineserver -w
      echo "$prefix_version" > "$WINEPREFIX/.velmora-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

exec wine "$@"
