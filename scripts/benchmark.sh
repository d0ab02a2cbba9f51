#!/usr/bin/env bash
# Quillon's benchmark (not part of the tests): builds Quillon.exe, the stand-in
# tools and the benchmark's own programs, then runs the real program under
# Wine on a virtual display and prints one line per figure: its value, the
# raw numbers behind it, the goal and PASS or MISS.
#
#   bash scripts/benchmark.sh            # build folder build/bench
#   QUILLON_BENCH_BUILD=<folder> bash scripts/benchmark.sh
#
# It takes about five minutes. Other work on the machine makes the times
# noisier; run it on an otherwise idle machine for figures to compare.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${QUILLON_BENCH_BUILD:-$root/build/bench}

bash scripts/install-deps.sh
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake" >/dev/null
cmake --build "$build" --target benchmark_programs

exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 "$root/tests/bench/benchmark.py" "$build"
