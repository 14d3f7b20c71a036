#!/bin/sh
# The launcher's benchmarks, one table (not a test; nothing is asserted; never run by CTest).
# Builds what is measured (the mingw preset's programs and the release preset's Tamsolo.exe),
# then runs tools/bench/bench.py: each figure beside its reference, measured in the same run
# under Wine and Xvfb. RUNS (default 5): runs per timed figure, the median is printed.
# Usage: tools/bench/bench.sh [RUNS]
#   TAMSOLO_BENCH_BUILD: the MinGW build folder (default build/mingw, configured with the
#   mingw preset if it is not yet); TAMSOLO_BENCH_IDLE: seconds of the idle period (60).
set -eu
SRC=$(cd "$(dirname "$0")/../.." && pwd)
RUNS=${1:-5}
BUILD=${TAMSOLO_BENCH_BUILD:-$SRC/build/mingw}
cd "$SRC"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake --preset mingw -B "$BUILD" >/dev/null
fi
cmake --build "$BUILD" --parallel 2 --target tamsolo tamsolo_test winprobe fakepage barewnd benchrun >/dev/null
if [ ! -f build/release/CMakeCache.txt ]; then
    cmake --preset release >/dev/null
fi
cmake --build --preset release --parallel 2 >/dev/null
exec python3 -B "$SRC/tools/bench/bench.py" "$SRC" "$BUILD" "$SRC/build/release" "$RUNS" \
    --idle "${TAMSOLO_BENCH_IDLE:-60}" --command "tools/bench/bench.sh"
