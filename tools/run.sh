#!/usr/bin/env bash
# Builds the launcher and runs it under Wine like a Chinese Windows would: in the persistent
# prefix build/mingw/run-prefix, on $DISPLAY (or a private Xvfb when there is none), with the
# sandbox server playing the operator. It walks the road of one typical start: the downloaded
# copy installs itself, the login page shows, three accounts sign in (through the test build's
# browser channel, since Wine cannot run the login page's script) and become tabs, the system
# menu and the boss key are used, and the launcher is closed. Every step leaves a screenshot,
# build/mingw/screenshots/run-NN-*.png; at the end everything it started is ended.
# RUN_DPI=144 walks it at a display scale of 150 %.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/deps.sh
cmake --preset mingw
cmake --build --preset mingw --parallel "${JOBS:-2}"
exec python3 -B tools/testbed/testbed.py --build-dir build/mingw demo --seconds "${RUN_SECONDS:-5}" --dpi "${RUN_DPI:-96}"
