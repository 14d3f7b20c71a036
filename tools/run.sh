#!/usr/bin/env bash
# Builds the demo Tamsolo.exe and runs it under Wine like a Chinese Windows would: in the
# persistent prefix build/mingw/run-prefix, on $DISPLAY (or a private Xvfb when there is
# none), with the sandbox server playing the operator. After about 20 seconds it saves
# build/mingw/screenshots/run.png, prints its path and ends everything it started.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
cmake --preset mingw
cmake --build --preset mingw --parallel "${JOBS:-2}"
exec python3 -B tools/testbed/testbed.py --build-dir build/mingw demo --seconds "${RUN_SECONDS:-20}"
