#!/usr/bin/env bash
# Quillon's benchmark (not part of the tests): builds Quillon.exe, the stand-in
# tools and the benchmark's own programs, then runs the real program under
# Wine on a virtual display and prints one line per figure: its value, the
# raw numbers behind it, the goal and PASS or MISS.
#
#   bash scripts/benchmark.sh            # build folder build/bench/<arch>
#   QUILLON_BENCH_BUILD=<folder> bash scripts/benchmark.sh
#   QUILLON_ARCH=win64 bash scripts/benchmark.sh
#   bash scripts/benchmark.sh --stress 100   # the same job 100 times at pause 0:
#                                            # "N passed, M failed"
#
# It measures the 32-bit build where this machine can run it and the 64-bit
# one otherwise; QUILLON_ARCH=win32 or win64 chooses.
#
# It takes about five minutes. Other work on the machine makes the times
# noisier; run it on an otherwise idle machine for figures to compare.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source scripts/lib/wine-arch.sh
arch=$(quillon_pick_arch) || exit 1
echo "== Benchmark of the $arch build"
build=${QUILLON_BENCH_BUILD:-$root/build/bench/$arch}
case "$arch" in
  win32) triplet=i686-w64-mingw32 toolchain=toolchain-mingw-i686.cmake ;;
  win64) triplet=x86_64-w64-mingw32 toolchain=toolchain-mingw-x86_64.cmake ;;
esac
bash scripts/install-deps.sh
quillon_require_arch "$arch" || exit 1
quillon_use_wine "$arch"
export QUILLON_OBJDUMP=$triplet-objdump
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
cmake --build "$build" --target benchmark_programs

exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 "$root/bench/benchmark.py" "$build" "$@"
