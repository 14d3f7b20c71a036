#!/usr/bin/env python3
"""The launcher's benchmarks (not a test; nothing is asserted). Started by tools/bench/bench.sh,
which builds what is measured first. Every figure of the launcher is taken beside its reference
in the same run, on the same machine, under Wine and Xvfb as the tests use them (a private test
bed in <build>/bench-prefix), and printed as one Markdown table:

  - size of the release Tamsolo.exe, beside barewnd.exe (a bare Win32 window program built the
    same way);
  - start to the player's first visible window: the installed launcher started without
    arguments until the login background of its first page process shows (the main window
    itself stays a 1 x 1 pixel window until a page registers), beside barewnd.exe until its
    window shows; timed by benchrun.exe inside Wine;
  - idle CPU of the main window holding three pages (fakepage.exe stand-ins, through the test
    build) over a period, beside barewnd.exe over the same period;
  - private memory of that main process, and of a page process at its login (from the start-up
    runs), beside barewnd.exe;
  - MD5 of a file (the update check's digest, benchrun.exe under Wine) beside md5sum, in MB per
    CPU second of the hashing process, so that other load on the machine counts little;
  - a download through HttpGet's update member with a progress bar (benchrun.exe), beside curl,
    both from the sandbox server on the loopback address.

Usage: bench.py SOURCE_DIR MINGW_BUILD RELEASE_BUILD [RUNS] [--idle SECONDS] [--mb MB] [--md5-mb MB]
"""

import argparse
import filecmp
import os
import platform
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.parse
import urllib.request

opts = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
opts.add_argument("source")
opts.add_argument("build")
opts.add_argument("release")
opts.add_argument("runs", nargs="?", type=int, default=5)
opts.add_argument("--idle", type=float, default=60, help="seconds of the idle CPU measurement")
opts.add_argument("--mb", type=int, default=64, help="size of the download")
opts.add_argument("--md5-mb", type=int, default=256, help="size of the hashed file")
opts.add_argument("--command", default="tools/bench/bench.sh", help="the command line shown under the table")
args = opts.parse_args(sys.argv[1:] if __name__ == "__main__" else [os.environ.get("TAMSOLO_SOURCE_DIR", "."),
                       os.environ.get("TAMSOLO_BUILD_DIR", "build/mingw"), "build/release"])
args.build = os.path.abspath(args.build)
args.release = os.path.abspath(args.release)

os.environ["TAMSOLO_BUILD_DIR"] = args.build
sys.path.insert(0, os.path.join(args.source, "tools", "testbed"))
import testbed  # noqa: E402
import road  # noqa: E402  (the install folder and the launcher's title, as the tests know them)

TITLE = road.TITLE
TASKKILL = None
BARE_CLASS = "TamsoloBenchBare"


def log(text):
    print(text, file=sys.stderr, flush=True)


# ---------------------------------------------------------------- Linux side of Wine processes

def wine_pids(bed, image, containing=""):
    """Linux ids of the Wine processes of the bench's prefix running this Windows program,
    oldest first (other beds on the machine run programs of the same names)."""
    wanted = b"WINEPREFIX=" + os.fsencode(bed.prefix)
    found = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("utf-8", "replace").lower()
            if image.lower() not in cmd or containing.lower() not in cmd or "winedbg" in cmd:
                continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if wanted not in f.read().split(b"\0"):
                    continue
        except OSError:
            continue
        found.append(int(pid))
    return sorted(found)


def private_mb(pid):
    total = 0
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            if line.startswith(("Private_Clean:", "Private_Dirty:")):
                total += int(line.split()[1])
    return total / 1024


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def kill(bed, *images):
    for image in images:
        bed.run(TASKKILL, ["/f", "/im", image], timeout=30)


def fields(line):
    """'word k=v k=v' -> {k: v}."""
    return dict(part.split("=", 1) for part in line.split() if "=" in part)


def benchrun(bed, *words, timeout=300):
    result = bed.run(bed.bin("benchrun"), [str(w) for w in words], timeout=timeout)
    line = result.stdout.strip().splitlines()[-1] if result.stdout.strip() else ""
    if result.returncode != 0 or result.timed_out:
        raise SystemExit(f"benchrun {' '.join(map(str, words))} failed: {result.stdout} {result.stderr[-500:]}")
    return line.replace("\r", "")


# ---------------------------------------------------------------- the measurements

def start_up(bed, demo_exe, runs):
    """Start to first visible window and memory of a page process at its login, beside the
    bare window. The demo build is installed where the player's copy lives."""
    folder = bed.to_linux(road.INSTALL_DIR)
    os.makedirs(folder, exist_ok=True)
    installed = os.path.join(folder, "Tamsolo.exe")
    shutil.copy2(demo_exe, installed)
    times, bare_times, page_mem, bare_mem = [], [], [], []
    for run in range(runs):
        kill(bed, "Tamsolo.exe")
        time.sleep(1)
        line = benchrun(bed, "start", TITLE, "#32770", 100, 60000, bed.to_windows(installed))
        times.append(float(fields(line)["ms"]) / 1000)
        time.sleep(8)  # the login page's first navigation, before weighing
        pages = wine_pids(bed, "tamsolo.exe", "/newgm")
        if pages:
            page_mem.append(private_mb(pages[-1]))
        kill(bed, "Tamsolo.exe")

        title = f"bare window {run}"
        line = benchrun(bed, "start", title, BARE_CLASS, 100, 60000, bed.to_windows(bed.bin("barewnd")), title)
        bare_times.append(float(fields(line)["ms"]) / 1000)
        time.sleep(2)
        bare = wine_pids(bed, "barewnd.exe")
        if bare:
            bare_mem.append(private_mb(bare[-1]))
        kill(bed, "barewnd.exe")
        log(f"  start-up run {run + 1}: launcher {times[-1]:.2f} s, bare {bare_times[-1]:.2f} s")
    return times, bare_times, page_mem, bare_mem


def idle(bed, seconds):
    """CPU over a period and private memory of a main window holding three pages, beside the
    bare window over the same period."""
    folder = bed.to_linux(road.INSTALL_DIR)
    exe = os.path.join(folder, "Tamsolo.exe")
    kill(bed, "Tamsolo.exe", "fakepage.exe")
    time.sleep(1)
    # The test build, so that fakepage can stand in for the page processes.
    shutil.copy2(bed.test_exe(), exe)
    bed.start(exe, env={"TAMSOLO_TEST_PAGE_PROGRAM": bed.to_windows(bed.bin("fakepage"))})
    main = bed.wait_window(cls="#32770", title=TITLE, timeout=60)
    known = set()

    def next_control():
        deadline = time.time() + 60
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
    bed.start(bed.bin("barewnd"), ["idle bare window"])
    bed.wait_window(cls=BARE_CLASS, title="idle bare window", timeout=60)
    time.sleep(5)  # let start-up settle
    launcher = [p for p in wine_pids(bed, "tamsolo.exe") if p not in wine_pids(bed, "tamsolo.exe", "/newgm")][-1]
    bare = wine_pids(bed, "barewnd.exe")[-1]
    before = {p: cpu_seconds(p) for p in (launcher, bare)}
    time.sleep(seconds)
    used = {p: cpu_seconds(p) - before[p] for p in (launcher, bare)}
    result = (100 * used[launcher] / seconds, 100 * used[bare] / seconds, private_mb(launcher), private_mb(bare))
    kill(bed, "Tamsolo.exe", "fakepage.exe", "barewnd.exe")
    return result


def md5(bed, work, mb, runs):
    """MB per CPU second of the hashing: benchrun's own thread time, md5sum's rusage."""
    path = os.path.join(work, "md5.bin")
    with open(path, "wb") as f:
        for _ in range(mb):
            f.write(os.urandom(1024 * 1024))
    subprocess.run(["cat", path], stdout=subprocess.DEVNULL, check=True)  # into the page cache
    expected = subprocess.run(["md5sum", path], capture_output=True, text=True, check=True).stdout.split()[0]
    ours, theirs = [], []
    for _ in range(runs):
        line = benchrun(bed, "md5", bed.to_windows(path))
        if line.split()[1] != expected:
            raise SystemExit(f"digests differ: {line} vs {expected}")
        ours.append(mb / (float(fields(line)["cpu_ms"]) / 1000))
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run(["md5sum", path], stdout=subprocess.DEVNULL, check=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        theirs.append(mb / ((after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)))
    os.remove(path)
    return ours, theirs


def download(bed, work, sandbox, mb, runs):
    """MB/s of HttpGet's update download (benchrun, with its progress bar) and of curl, both
    from the sandbox server serving the same file on the loopback address."""
    payload = os.path.join(work, "payload.bin")
    with open(payload, "wb") as f:
        for _ in range(mb):
            f.write(os.urandom(1024 * 1024))
    query = urllib.parse.urlencode({"path": "/bench/payload.exe", "mode": "ok", "file": payload})
    urllib.request.urlopen(f"{sandbox}/__sandbox/set?{query}", timeout=10).read()
    url = f"{sandbox}/bench/payload.exe"
    ours, theirs, positions = [], [], []
    for _ in range(runs):
        target = os.path.join(work, "fetched.bin")
        line = benchrun(bed, "fetch", url, bed.to_windows(target))
        got = fields(line)
        if got.get("ok") != "1" or not filecmp.cmp(target, payload, shallow=False):
            raise SystemExit(f"HttpGet's copy differs: {line}")
        ours.append(mb / (float(got["ms"]) / 1000))
        positions.append(int(got["positions"]))
        os.remove(target)

        copy = os.path.join(work, "curl.bin")
        out = subprocess.run(["curl", "-s", "-o", copy, "-w", "%{time_total}", url], capture_output=True, text=True,
                             check=True).stdout
        if not filecmp.cmp(copy, payload, shallow=False):
            raise SystemExit("curl's copy differs")
        theirs.append(mb / float(out.replace(",", ".")))
        os.remove(copy)
    os.remove(payload)
    return ours, theirs, max(positions)


# ---------------------------------------------------------------- the table

def machine():
    model = "?"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return f"{os.cpu_count()} cores, {model}, {platform.system()} {platform.release()}, {wine}"


def median(values):
    return statistics.median(values) if values else float("nan")


def main():
    global TASKKILL
    work = tempfile.mkdtemp(prefix="tamsolo-bench-")
    bed = testbed.Testbed(args.build, prefix=os.path.join(args.build, "bench-prefix"), state_name="bench-state.json")
    TASKKILL = os.path.join(bed.drive_c, "windows", "system32", "taskkill.exe")
    load_before = os.getloadavg()
    rows = []
    log(f"setting up the bench's own Wine prefix and display ({bed.prefix})")
    bed.setup(keep_prefix=os.path.isfile(os.path.join(bed.prefix, "system.reg")))
    try:
        sandbox = bed.sandbox_url()
        try:
            urllib.request.urlopen(f"{sandbox}/__sandbox/ping", timeout=2).read()
        except OSError:
            server = os.path.join(args.source, "tools", "sandbox", "server.py")
            bed.start(sys.executable, [server, "--host", "127.0.0.1", "--port", bed.sandbox_port()], name="sandbox")
            for _ in range(100):
                try:
                    urllib.request.urlopen(f"{sandbox}/__sandbox/ping", timeout=2).read()
                    break
                except OSError:
                    time.sleep(0.1)

        release_exe = os.path.join(args.release, "bin", "Tamsolo.exe")
        size = os.path.getsize(release_exe) / 1e6
        bare_size = os.path.getsize(bed.bin("barewnd")) / 1e6
        rows.append(("size of the release Tamsolo.exe, MB", size, bare_size, "barewnd.exe", size / bare_size, "–"))

        log(f"start-up, {args.runs} runs")
        times, bare_times, page_mem, bare_mem = start_up(bed, os.path.join(args.build, "bin", "Tamsolo.exe"),
                                                         args.runs)
        t, bt = median(times), median(bare_times)
        rows.append(("start to first visible window (installed launcher to its login background), s",
                     t, bt, "barewnd.exe", t / bt, "–"))

        log(f"idle main window with three pages, {args.idle:.0f} s")
        cpu, bare_cpu, main_mem, idle_bare_mem = idle(bed, args.idle)
        rows.append((f"idle CPU, main window with three pages, over {args.idle:.0f} s, %",
                     cpu, bare_cpu, "barewnd.exe", cpu / bare_cpu if bare_cpu else float("nan"), "–"))
        bm = median(bare_mem + [idle_bare_mem])
        rows.append(("private memory, main process with three pages, MB", main_mem, bm, "barewnd.exe", main_mem / bm, "–"))
        pm = median(page_mem)
        rows.append(("private memory, page process at its login, MB", pm, bm, "barewnd.exe", pm / bm, "–"))

        log(f"MD5 of {args.md5_mb} MB, {args.runs} runs")
        ours, theirs = md5(bed, work, args.md5_mb, args.runs)
        o, s = median(ours), median(theirs)
        rows.append((f"MD5 of a {args.md5_mb} MB file, MB per CPU second", o, s, "md5sum", o / s, "≥ 0.8"))

        log(f"download of {args.mb} MB, {args.runs} runs")
        ours, theirs, positions = download(bed, work, sandbox, args.mb, args.runs)
        o, c = median(ours), median(theirs)
        rows.append((f"download of {args.mb} MB on loopback (HttpGet with progress bar), MB/s",
                     o, c, "curl", o / c, "≥ 0.5"))
    finally:
        with_left = bed.cleanup()
        shutil.rmtree(work, ignore_errors=True)
        if with_left:
            log(f"still running: {with_left}")
    load_after = os.getloadavg()

    def num(v):
        if v != v:  # NaN
            return "n/a"
        return f"{v:.3g}" if abs(v) < 100 else f"{v:.0f}"

    print(f"Tamsolo benchmarks: {args.runs} runs, medians (idle CPU and main memory: one {args.idle:.0f} s period); "
          "ratio = Tamsolo ÷ reference")
    print()
    print("| figure | Tamsolo | reference | ratio | target |")
    print("|---|---:|---:|---:|---|")
    for name, ours, ref, ref_name, ratio, target in rows:
        print(f"| {name} | {num(ours)} | {num(ref)} ({ref_name}) | {num(ratio)} | {target} |")
    print()
    print(f"Machine: {machine()}. Wine and Xvfb as the tests use them (tools/testbed/testbed.py).")
    print(f"Load average (1 min) {load_before[0]:.2f} before, {load_after[0]:.2f} after; "
          f"positions sent to the progress bar per download: {positions}.")
    print(f"Command: {args.command} {args.runs}")


if __name__ == "__main__":
    main()
