#!/usr/bin/env bash
# Installs what is missing, builds the native preset and both Windows presets
# and runs every test: the native unit and job tests, and the Win32 and
# end-to-end tests under Wine of each architecture this machine can run. An
# architecture that cannot run here is still built, so a compile error in
# either one fails the run.
#
# The Wine suites run side by side in lanes, each lane a Wine prefix made
# fresh for this run with its own wineserver and its own virtual display
# (scripts/lib/wine-lanes.sh). They mostly wait (on pauses, on the tools'
# work, on windows settling), so the native build and tests run beside them.
# QUILLON_WINE_LANE_COUNT sets the number of lanes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
source scripts/lib/wine-arch.sh
source scripts/lib/wine-lanes.sh
# The cheapest check first: no include of the program points up its floors.
bash scripts/check-layers.sh

mapfile -t plan < <(quillon_wine_plan)
runnable=()
for line in "${plan[@]}"; do
  [[ $line == run\ * ]] && runnable+=("${line#run }")
done

# Six lanes keep a two-core machine busy without starving the tests that
# time what they see: most of a lane's time is waiting.
lanes=$root/build/lanes
lane_count=${QUILLON_WINE_LANE_COUNT:-6}
lanes_pid=""
native_pid=""
end_all() {
  local pid
  for pid in $lanes_pid $native_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  quillon_lanes_down "$lanes"
}
trap end_all EXIT
if [ ${#runnable[@]} -gt 0 ]; then
  # Wine makes its prefix while the compilers run.
  mkdir -p "$root/build"
  quillon_lanes_up "$lanes" "$lane_count" >"$root/build/lanes.log" 2>&1 &
  lanes_pid=$!
fi

for arch in win32 win64; do
  cmake --preset "$arch"
  cmake --build --preset "$arch"
done

# The native build and its tests, beside the Wine suites; their output is
# shown once the Wine suites are done.
native_log=$root/build/native.log
(cmake --preset native && cmake --build --preset native && ctest --preset native) \
  >"$native_log" 2>&1 &
native_pid=$!

# Every runnable architecture's Wine suites in one CTest run: CTest gives each
# test a lane of its own and starts the next test in the first lane that
# comes free. A test's name starts with its architecture ("win64.e2e.<case>").
suites=$root/build/wine-suites
failed=()
if [ ${#runnable[@]} -gt 0 ]; then
  echo "== Wine suites: ${runnable[*]} in $lane_count lanes"
  wait "$lanes_pid" || { cat "$root/build/lanes.log"; exit 1; }
  lanes_pid=""
  rm -rf "$suites"
  mkdir -p "$suites"
  for arch in "${runnable[@]}"; do echo "subdirs(\"$root/build/$arch\")"; done \
    >"$suites/CTestTestfile.cmake"
  rc=0
  QUILLON_WINE_LANES=$lanes ctest --test-dir "$suites" --output-on-failure -j "$lane_count" \
    --resource-spec-file "$lanes/resources.json" || rc=$?
  # A run that failed without naming a test (none found, say) fails them all.
  for arch in "${runnable[@]}"; do
    grep -q ":$arch\." "$suites/Testing/Temporary/LastTestsFailed.log" 2>/dev/null &&
      failed+=("$arch")
  done
  [ $rc -ne 0 ] && [ ${#failed[@]} -eq 0 ] && failed=("${runnable[@]}")
fi

echo
echo "== Native build and tests"
native_ok=true
wait "$native_pid" || native_ok=false
native_pid=""
if $native_ok; then tail -n 3 "$native_log"; else cat "$native_log"; fi

echo
echo "== Architectures (both are built; the Wine suites run where Wine can run them)"
for line in "${plan[@]}"; do
  case "$line" in
    run\ *) arch=${line#run }
      if [[ " ${failed[*]} " == *" $arch "* ]]; then echo "$arch: ran, FAILED"; else echo "$arch: ran, passed"; fi ;;
    skip\ *) echo "${line#skip }" | sed 's/^\(win[0-9]*\): /\1: skipped: /' ;;
  esac
done
$native_ok || echo "native: FAILED"
if [ ${#runnable[@]} -eq 0 ]; then
  echo "no Windows architecture can run under Wine here: nothing above ran under Wine" >&2
  exit 1
fi
$native_ok && [ ${#failed[@]} -eq 0 ]
