#!/usr/bin/env bash
# The demonstration job: builds Quillon.exe and the stand-in tools, makes a
# sample source movie folder (video placeholder, three audio tracks, VobSub
# subtitles in subtitles\), and runs one unattended batch job under Wine:
# subtitles to SRT, audio to 128 kbit/s MP3, everything muxed into one AVI.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# QUILLON_ARCH=win32 or win64 chooses the build; by default the 32-bit one,
# the main download, wherever this machine can run it.
source scripts/lib/wine-arch.sh
arch=$(quillon_pick_arch) || exit 1
echo "== Demonstration with the $arch build (build/$arch/Quillon.exe)"
bash scripts/install-deps.sh
quillon_require_arch "$arch" || exit 1
quillon_use_wine "$arch"
cmake --preset "$arch" >/dev/null
cmake --build --preset "$arch"

demo=$root/build/demo
export WINEPREFIX=$root/build/demo/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
"$WINESERVER" -k 2>/dev/null || true
rm -rf "$demo"
mkdir -p "$demo/app" "$demo/Sample Movie/subtitles"

# The program and its tools folder, as a user would unpack them.
cp "build/$arch/Quillon.exe" "$demo/app/"
cp -r "build/$arch/tools" "$demo/app/tools"

# A source movie folder as the backup program leaves it.
movie="$demo/Sample Movie"
printf 'RIFF placeholder video stream\r\n' >"$movie/movie.avi"
printf 'AC3 placeholder: English\r\n' >"$movie/0x80.ac3"
printf 'AC3 placeholder: Commentary\r\n' >"$movie/0x81.ac3"
printf 'WAV placeholder: Score\r\n' >"$movie/0x82.wav"
printf '# VobSub index file, v7\r\nsize: 720x576\r\nid: en, index: 0\r\nid: de, index: 1\r\n' \
  >"$movie/subtitles/movie.idx"
printf 'VobSub placeholder bitmaps\r\n' >"$demo/movie.sub"
python3 tests/standins/make_test_rar.py "$movie/subtitles/movie.rar" "$demo/movie.sub"
rm "$demo/movie.sub"

# QUILLON_DEMO_PAUSE sets the stored keystroke pause (seconds) for this run;
# without it the program's default of 1 second applies.
pause_setting=""
if [ -n "${QUILLON_DEMO_PAUSE:-}" ]; then
  pause_setting="\"\$WINELOADER\" reg add 'HKCU\\Software\\VB and VBA Program Settings\\Quillon\\Options' /v WaitForKey /d '${QUILLON_DEMO_PAUSE}' /f >/dev/null 2>&1"
fi

winpath() { printf 'Z:%s' "${1//\//\\}"; }
cmdline="?$(winpath "$movie")?1?128?1?1?0?0?1?"

echo "== Running: Quillon.exe $cmdline"
start=$(date +%s)
set +e
xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash -c '"$WINELOADER" wineboot -i >/dev/null 2>&1
    "$WINELOADER" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    eval "$2"
    started=$(date +%s%N)
    "$WINELOADER" "$0" "$1"; code=$?
    echo "== Quillon.exe ran for $((($(date +%s%N) - started) / 1000000)) ms"
    "$WINESERVER" -w; exit $code' \
  "$demo/app/Quillon.exe" "$cmdline" "$pause_setting"
code=$?
set -e
echo "== Quillon.exe exited with code $code after $(($(date +%s) - start)) s"

echo "== Files in $movie/mux:"
ls -l "$movie/mux" 2>/dev/null || echo "(no mux folder)"
for f in movie.amg movie.avi; do
  echo
  echo "== $movie/mux/$f:"
  if [ -f "$movie/mux/$f" ]; then tr -d '\r' <"$movie/mux/$f"; else echo "(missing)"; fi
done
exit $code
