#!/bin/sh
# Benchmark of a page process (not a test; nothing is asserted): the time from starting
# "Tamsolo.exe /newgm /<owner> /0" to its visible login background, and the private memory of
# the page process once its login page shows, each beside a bare Win32 program with one
# visible window (bedcheck.exe window) started the same way, in the same run. Several runs;
# the median is printed.
# Usage: tools/bench/bench_pageprocess.sh [MINGW_BUILD_DIR] [RUNS]
set -eu
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$SRC/build/mingw}" && pwd)
RUNS=${2:-5}
exec python3 - "$SRC" "$BUILD" "$RUNS" <<'PY'
import os, statistics, sys, time
src, build, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
sys.path.insert(0, os.path.join(src, "tools", "testbed"))
import testbed

TITLE = "kelvra - Brennic"


def private_kb(pid):
    total = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                total += int(line.split()[1])
    return total


def wine_pid(image, after):
    """The newest Linux process running this Windows program that was not there before."""
    for pid in sorted((int(p) for p in os.listdir("/proc") if p.isdigit()), reverse=True):
        if pid in after:
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
        except OSError:
            continue
        if image.lower() in cmd.lower() and "winedbg" not in cmd:
            return pid
    return None


def pids():
    return {int(p) for p in os.listdir("/proc") if p.isdigit()}


def visible_after(bed, start, title, cls):
    """Seconds from start until a visible top-level window of this title and class exists."""
    args = ["find", "--title", title, "--visible", "--timeout", 60000] + (["--class", cls] if cls else [])
    bed.probe(*args, timeout=90)
    return time.time() - start


bed = testbed.Testbed(build)
made = not bed.is_running()
if made:
    bed.setup()
launcher_times, bare_times, launcher_mem, bare_mem = [], [], [], []
try:
    owner = bed.start(bed.bin("fakeowner"), [bed.to_windows(os.path.join(build, "bench-owner.log")), "300", "1"])
    owner_wnd = bed.wait_window(title="fakeowner", timeout=30)["hwnd"]
    for run in range(runs):
        before = pids()
        start = time.time()
        page = bed.start(bed.test_exe(), ["/newgm", f"/{owner_wnd}", "/0"])
        launcher_times.append(visible_after(bed, start, TITLE, "#32770"))
        # Let the login page appear (the browser control's first navigation) before weighing.
        time.sleep(8)
        pid = wine_pid("Tamsolo.exe", before)
        if pid:
            launcher_mem.append(private_kb(pid))
        page.stop()
        bed.run(os.path.join(bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", "Tamsolo.exe"])

        before = pids()
        start = time.time()
        title = f"bare window {run}"
        bare = bed.start(bed.bin("bedcheck"), ["window", title])
        bare_times.append(visible_after(bed, start, title, None))
        time.sleep(2)
        pid = wine_pid("bedcheck.exe", before)
        if pid:
            bare_mem.append(private_kb(pid))
        bare.stop()
    owner.stop()
finally:
    if made:
        bed.cleanup()


def median(values, scale=1.0):
    return f"{statistics.median(values) * scale:8.2f}" if values else "     n/a"


print(f"page process benchmark, {runs} runs, median (Wine, Xvfb)")
print(f"{'':34} {'Tamsolo /newgm':>16} {'bare window':>14}")
print(f"{'start to visible window (s)':34} {median(launcher_times):>16} {median(bare_times):>14}")
print(f"{'private memory (MB)':34} {median(launcher_mem, 1 / 1024):>16} {median(bare_mem, 1 / 1024):>14}")
PY
