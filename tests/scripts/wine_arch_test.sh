#!/usr/bin/env bash
# Which Wine architectures the scripts run, decided from a faked probe of the
# kernel and a faked set of installed Wine loaders.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib/wine-arch.sh"

failures=0
expect() {  # expect <what> <expected> <actual>
  if [ "$2" != "$3" ]; then
    printf 'FAIL %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

wine_lib=$(mktemp -d)
trap 'rm -rf "$wine_lib"' EXIT
export QUILLON_WINE_LIB=$wine_lib
install_loaders() {
  rm -f "$wine_lib"/*
  for f in "$@"; do printf '#!/bin/sh\n' >"$wine_lib/$f" && chmod +x "$wine_lib/$f"; done
}

kernel32="this machine's kernel cannot start 32-bit programs (32-bit emulation is off), so Wine cannot run a 32-bit .exe"
no_wine32="the 32-bit Wine loader ($wine_lib/wine, package wine32:i386) is not installed"

# probe  loaders                      plan
cases=(
  "no|wine64 wineserver64|skip win32: $kernel32;run win64"
  "no|wine wine64 wineserver64|skip win32: $kernel32;run win64"
  "yes|wine wine64 wineserver64|run win32;run win64"
  "yes|wine64 wineserver64|skip win32: $no_wine32;run win64"
)
for c in "${cases[@]}"; do
  IFS='|' read -r probe loaders plan <<<"$c"
  install_loaders $loaders
  expect "plan, probe $probe, loaders $loaders" "$plan" \
    "$(QUILLON_32BIT_PROBE=$probe quillon_wine_plan | paste -sd';')"
done

# The demonstration's choice: QUILLON_ARCH, else win32 where it can start.
install_loaders wine wine64 wineserver64
expect "default pick, 32-bit kernel" win32 "$(QUILLON_32BIT_PROBE=yes quillon_pick_arch)"
expect "default pick, 64-bit only" win64 "$(QUILLON_32BIT_PROBE=no quillon_pick_arch)"
expect "asked for win64" win64 "$(QUILLON_ARCH=win64 QUILLON_32BIT_PROBE=yes quillon_pick_arch)"
refusal=$(QUILLON_ARCH=win32 QUILLON_32BIT_PROBE=no quillon_pick_arch 2>&1 >/dev/null)
expect "asked for win32 on a 64-bit-only kernel: one line" 1 "$(printf '%s\n' "$refusal" | wc -l)"
expect "asked for win32 on a 64-bit-only kernel: why" "cannot run win32 here: this machine" \
  "${refusal:0:35}"

# The loader is named, never left to /usr/bin/wine, which prefers 32 bits.
quillon_use_wine win64
expect "win64 loader" "$wine_lib/wine64" "$WINELOADER"
expect "win64 server" "$wine_lib/wineserver64" "$WINESERVER"
quillon_use_wine win32
expect "win32 loader" "$wine_lib/wine" "$WINELOADER"

# The real probe runs here and answers one way or the other.
quillon_kernel_runs_32bit
rc=$?
expect "the probe answers yes or no" 1 "$([ $rc -le 1 ] && echo 1)"

# The lane a test runs in is the one CTest gave it; listing the tests, before
# any runs, uses lane 0.
source "$(dirname "$0")/../../scripts/lib/wine-lanes.sh"
expect "lane given by CTest" 11 "$(CTEST_RESOURCE_GROUP_0_LANES=id:11,slots:1 quillon_lane_of_test)"
expect "no lane given" 0 "$(unset CTEST_RESOURCE_GROUP_0_LANES; quillon_lane_of_test)"

[ "$failures" -eq 0 ] && echo "wine_arch_test: all passed"
exit "$failures"
