#!/usr/bin/env bash
# Installs what is missing, builds the native preset and both Windows presets
# and runs every test: the native unit and job tests, then the Win32 and
# end-to-end tests under Wine on a virtual display, for each architecture
# this machine can run, each in a Wine prefix made fresh for this run. An
# architecture that cannot run here is still built, so a compile error in
# either one fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
source scripts/lib/wine-arch.sh
# The cheapest check first: no include of the program points up its floors.
bash scripts/check-layers.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

for arch in win32 win64; do
  cmake --preset "$arch"
  cmake --build --preset "$arch"
done

mapfile -t plan < <(quillon_wine_plan)
trap '[ -z "${WINESERVER:-}" ] || "$WINESERVER" -k 2>/dev/null || true' EXIT
failed=()
for line in "${plan[@]}"; do
  [[ $line == run\ * ]] || continue
  arch=${line#run }
  echo "== Wine suites: $arch"
  quillon_use_wine "$arch"
  export WINEPREFIX="$PWD/build/$arch/wineprefix"
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX" "build/$arch/e2e-work"
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$arch" || failed+=("$arch")
  "$WINESERVER" -k 2>/dev/null || true
done

echo
echo "== Architectures (both are built; the Wine suites run where Wine can run them)"
for line in "${plan[@]}"; do
  case "$line" in
    run\ *) arch=${line#run }
      if [[ " ${failed[*]} " == *" $arch "* ]]; then echo "$arch: ran, FAILED"; else echo "$arch: ran, passed"; fi ;;
    skip\ *) echo "${line#skip }" | sed 's/^\(win[0-9]*\): /\1: skipped: /' ;;
  esac
done
if ! printf '%s\n' "${plan[@]}" | grep -q '^run '; then
  echo "no Windows architecture can run under Wine here: nothing above ran under Wine" >&2
  exit 1
fi
[ ${#failed[@]} -eq 0 ]
