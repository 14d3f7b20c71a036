#!/bin/sh
# Benchmark of the main window (not a test; nothing is asserted): the idle CPU time over a
# period and the private memory of a launcher holding three game pages, beside a bare Win32
# program with one window and a message loop (a fake page process still at its login).
# The pages are fakepage.exe stand-ins, so only the main process's own cost is measured.
# Usage: tools/bench/bench_mainwnd.sh [MINGW_BUILD_DIR] [SECONDS]
set -eu
SRC=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$SRC/build/mingw}" && pwd)
SECONDS_IDLE=${2:-60}
exec python3 - "$SRC" "$BUILD" "$SECONDS_IDLE" <<'PY'
import os, shutil, sys, time
src, build, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
sys.path.insert(0, os.path.join(src, "tools", "testbed"))
import testbed

def linux_pid(image):
    """The Wine process running this Windows program (newest first)."""
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("utf-8", "replace")
        except OSError:
            continue
        if image.lower() in cmd.lower() and "winedbg" not in cmd:
            found.append(int(pid))
    return sorted(found)

def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

def private_kb(pid):
    total = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                total += int(line.split()[1])
    return total

bed = testbed.Testbed(build)
made = not bed.is_running()
if made:
    bed.setup()
try:
    bed.run(os.path.join(bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", "Tamsolo.exe"])
    folder = bed.to_linux(r"C:\ProgramData\Kelvra\GameLogin")
    os.makedirs(folder, exist_ok=True)
    exe = os.path.join(folder, "Tamsolo.exe")
    # The test build, so that fakepage can stand in for the page processes.
    shutil.copy2(bed.test_exe(), exe)
    app = bed.start(exe, env={"TAMSOLO_TEST_PAGE_PROGRAM": bed.to_windows(bed.bin("fakepage"))})
    main = bed.wait_window(cls="#32770", title="kelvra - Brennic", timeout=30)
    known = set()

    def next_control():
        deadline = time.time() + 30
        while time.time() < deadline:
            for w in bed.windows():
                if w["class"] == "TamsoloFakePage" and w["hwnd"] not in known:
                    known.add(w["hwnd"])
                    return w
            time.sleep(0.3)
        raise SystemExit("no page process started")

    for i in range(3):
        if i:
            bed.probe("post", main["hwnd"], 0x406, 1, 0)
        bed.probe("copydata", next_control()["hwnd"], 1, f"{i + 1}服-bench-Player{i + 1}")
    # A bare window program beside it: a fake page process started by hand, left at its "login".
    bare_proc = bed.start(bed.bin("fakepage"), ["/newgm", f"/{main['hwnd']}", "/0"])
    time.sleep(2)
    launcher = linux_pid("Tamsolo.exe")[-1]
    bare = bare_proc.pid if os.path.exists(f"/proc/{bare_proc.pid}/stat") else linux_pid("fakepage.exe")[-1]
    time.sleep(5)  # let start-up settle
    before = {p: cpu_seconds(p) for p in (launcher, bare)}
    time.sleep(seconds)
    used = {p: cpu_seconds(p) - before[p] for p in (launcher, bare)}
    print(f"idle over {seconds:.0f} s, three pages (timer 3 posting every 400 ms):")
    print(f"  launcher main process: {used[launcher]:.2f} s CPU ({100 * used[launcher] / seconds:.2f} %), "
          f"{private_kb(launcher)} KB private")
    print(f"  bare Win32 window:     {used[bare]:.2f} s CPU ({100 * used[bare] / seconds:.2f} %), "
          f"{private_kb(bare)} KB private")
finally:
    bed.run(os.path.join(bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", "Tamsolo.exe"])
    bed.run(os.path.join(bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", "fakepage.exe"])
    if made:
        bed.cleanup()
PY
