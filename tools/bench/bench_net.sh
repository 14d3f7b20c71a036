#!/bin/sh
# Benchmarks of the network subsystem (not a test; nothing is asserted):
#  1. MD5: the launcher's own implementation against md5sum over the same file.
#  2. Download: HttpGet's file member (net_fetch.exe under Wine) against curl, both fetching the
#     same file from the sandbox server on the loopback address.
# Usage: tools/bench/bench_net.sh [MINGW_BUILD_DIR] [SIZE_MB]
set -eu
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$SRC/build/mingw}" && pwd)
MB=${2:-128}
PORT=18489
WORK=$(mktemp -d)
SERVER_PID=
MADE_BED=
cleanup() {
    [ -n "$SERVER_PID" ] && kill "$SERVER_PID" 2>/dev/null || true
    [ -n "$MADE_BED" ] && python3 "$SRC/tools/testbed/testbed.py" --build-dir "$BUILD" cleanup >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

# Seconds a command takes, measured the same way for every contender (best of three).
timed() {
    python3 - "$@" <<'PY'
import subprocess, sys, time
best = None
for _ in range(3):
    t = time.monotonic()
    subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL)
    best = min(best or 1e9, time.monotonic() - t)
print(f"{best:.3f}")
PY
}
ratio() { python3 -c "import sys; a, b = float(sys.argv[1]), float(sys.argv[2]); print(f'{a / b:.2f}' if b > 0 else 'n/a')" "$1" "$2"; }
mbps() { python3 -c "import sys; print(f'{float(sys.argv[1]) / float(sys.argv[2]):.1f}')" "$MB" "$1"; }

head -c $((MB * 1024 * 1024)) /dev/urandom > "$WORK/payload.bin"

echo "== MD5 over $MB MB"
g++ -O2 -std=c++17 -I"$SRC/src" "$SRC/tools/bench/md5_bench.cpp" "$SRC/src/net/md5.cpp" -o "$WORK/md5_bench"
cat "$WORK/payload.bin" > /dev/null
OURS=$("$WORK/md5_bench" "$WORK/payload.bin")
SUM=$(md5sum "$WORK/payload.bin" | cut -d' ' -f1)
[ "${OURS%% *}" = "$SUM" ] || { echo "digests differ: ${OURS%% *} vs $SUM"; exit 1; }
OURS_S=$(timed "$WORK/md5_bench" "$WORK/payload.bin")
SUM_S=$(timed md5sum "$WORK/payload.bin")
echo "launcher MD5: ${OURS_S}s ($(mbps "$OURS_S") MB/s)   md5sum: ${SUM_S}s ($(mbps "$SUM_S") MB/s)"
echo "MD5 time ratio launcher/md5sum: $(ratio "$OURS_S" "$SUM_S")"

echo "== Download of $MB MB from the sandbox on 127.0.0.1:$PORT"
python3 "$SRC/tools/sandbox/server.py" --port $PORT > "$WORK/server.log" 2>&1 &
SERVER_PID=$!
for i in $(seq 50); do curl -s "http://127.0.0.1:$PORT/__sandbox/ping" >/dev/null && break; sleep 0.2; done
curl -s "http://127.0.0.1:$PORT/__sandbox/set?path=/bench.bin&mode=ok&file=$WORK/payload.bin" >/dev/null
CURL_S=$(timed curl -s -o "$WORK/curl.bin" "http://127.0.0.1:$PORT/bench.bin")
cmp -s "$WORK/curl.bin" "$WORK/payload.bin" || { echo "curl's copy differs"; exit 1; }

if ! python3 "$SRC/tools/testbed/testbed.py" --build-dir "$BUILD" status | grep -q xvfb_pid; then
    python3 "$SRC/tools/testbed/testbed.py" --build-dir "$BUILD" setup >/dev/null
    MADE_BED=1
fi
OUT=$(python3 "$SRC/tools/testbed/testbed.py" --build-dir "$BUILD" run --timeout 600 "$BUILD/bin/net_fetch.exe" \
      "http://127.0.0.1:$PORT/bench.bin" "Z:$(echo "$WORK/wine.bin" | tr / '\\')" md5)
OUT=$(printf "%s\n" "$OUT" | tr -d "\r")
echo "$OUT"
FETCH_MS=$(echo "$OUT" | sed -n 's/^fetch ok=1 .* ms=\([0-9.]*\)$/\1/p')
[ -n "$FETCH_MS" ] || { echo "net_fetch failed"; exit 1; }
cmp -s "$WORK/wine.bin" "$WORK/payload.bin" || { echo "net_fetch's copy differs"; exit 1; }
FETCH_S=$(python3 -c "print(f'{$FETCH_MS / 1000:.3f}')")
echo "HttpGet file member (Wine): ${FETCH_S}s ($(mbps "$FETCH_S") MB/s)   curl: ${CURL_S}s ($(mbps "$CURL_S") MB/s)"
echo "Download time ratio HttpGet/curl: $(ratio "$FETCH_S" "$CURL_S")"
