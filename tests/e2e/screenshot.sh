#!/usr/bin/env bash
# Photographs Quillon's main window for the documentation:
#
#   tests/e2e/screenshot.sh <win32 build folder> [picture.png [dpi]]
#
# Runs the build's Quillon.exe under Wine in a throw-away prefix on its own
# virtual display, waits for the window, takes the picture with ImageMagick
# and closes everything again. Wine is asked to draw the window frame itself
# (there is no window manager on the virtual display), so the picture shows
# the caption bar and the icon too. Default picture: docs/window.png.
#
# dpi (default 96) is the system's scaling set in the prefix before the
# program starts: 96 is 100 %, 144 is 150 %, 192 is 200 %.
#   for d in 96:100 144:150 192:200; do
#     tests/e2e/screenshot.sh build/win32 docs/window-${d#*:}.png ${d%:*}; done
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
usage="usage: screenshot.sh <win32 build folder> [picture.png [dpi]]"
build=$(cd "${1:?$usage}" && pwd)
out=$(realpath -m "${2:-$here/../../docs/window.png}")
dpi=${3:-96}
case $dpi in
  '' | *[!0-9]*) echo "$usage" >&2; exit 2 ;;
esac

if [ -z "${QUILLON_SCREENSHOT_DISPLAY:-}" ]; then
  export QUILLON_SCREENSHOT_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi $dpi" "$0" "$build" "$out" "$dpi"
fi

work=$(mktemp -d)
wine_pid=
cleanup() {
  if [ -n "$wine_pid" ]; then kill "$wine_pid" 2>/dev/null || true; fi
  WINEPREFIX="$work/prefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
# The scaling the whole session starts with, as the display settings set it.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
# Wine's own fonts (Debian's fonts-wine: "Small Fonts", Tahoma, Marlett for
# the caption buttons) are found reliably only inside the prefix.
if [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
else
  echo "screenshot.sh: fonts-wine is not installed; the picture shows stand-in fonts" >&2
fi

mkdir -p "$work/app/tools"
cp "$build/Quillon.exe" "$work/app/"
# The marker of a finished tools set-up: start-up then opens no batch file.
: >"$work/app/tools/xt.txt"

wine "$work/app/Quillon.exe" >/dev/null 2>&1 &
wine_pid=$!

window=
for _ in $(seq 1 300); do
  window=$(xwininfo -root -tree 2>/dev/null | awk '/"Quillon v1.0"/ { print $1; exit }')
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "screenshot.sh: the Quillon window did not appear" >&2
  exit 1
fi
sleep 2  # let it paint
import -window "$window" "$out"
echo "wrote $out"
