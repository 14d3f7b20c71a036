#!/usr/bin/env python3
"""The Wine test bed: one private X display and one fresh Wine prefix shared by every
Windows-side test of a build folder.

`setup` starts Xvfb and a persistent wineserver, boots a new 64-bit prefix that behaves
like a Chinese Windows (code page 936, a CJK font behind the usual Chinese and dialog
face names) and records everything in a state file, so that the CTest fixture, each test
and the final `cleanup` (separate processes) find the same display and prefix.
Everything the bed starts is recorded by process id and ended by `cleanup`.

Library use (the end-to-end tests):
    bed = Testbed.from_env()          # TAMSOLO_BUILD_DIR, state written by `setup`
    bed.run(bed.bin("winprobe"), ["windows"])
    bed.wait_window(cls="...", title="...")
    bed.screenshot("name.png")

Python 3 standard library only.
"""

import argparse
import contextlib
import fcntl
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN = "1280x800x24"
FIRST_DISPLAY = 90
CJK_FONT = "WenQuanYi Micro Hei"
# Face names the launcher and Wine's own dialogs ask for; without a mapping the
# Chinese texts come out as boxes.
SUBSTITUTED_FACES = ["微软雅黑", "Microsoft YaHei", "MS Shell Dlg", "MS Shell Dlg 2",
                     "宋体", "SimSun", "Tahoma"]
TRACE_FILE = "tamsolo_trace.txt"
WINE_FONT_DIRS = ["/usr/share/wine/fonts"]
# The display scale the prefix reports: 96 is 100 %, 144 is 150 %. Wine reads it when a
# program starts, so a program started after a change sees the new one.
DEFAULT_DPI = 96
DPI_KEYS = [r"HKEY_CURRENT_USER\Control Panel\Desktop",
            r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"]


class TestbedError(Exception):
    pass


class ProbeError(TestbedError):
    def __init__(self, message, result=None):
        super().__init__(message)
        self.result = result


# ---------------------------------------------------------------- processes by id

def _proc_start_time(pid):
    """Start time of a process in clock ticks, or None when it is gone (or a zombie).
    Together with the pid it names one process, so a recycled pid is never killed."""
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            data = f.read().decode("ascii", "replace")
    except OSError:
        return None
    # The command name is in parentheses and may itself contain spaces or parentheses.
    fields = data[data.rfind(")") + 2:].split()
    if not fields or fields[0] == "Z":
        return None
    return int(fields[19])


def _alive(pid, start):
    return pid > 0 and _proc_start_time(pid) == start


def _signal_group_or_pid(pid, sig):
    """Our children run in their own session, so their process group id is their pid;
    signalling the group also reaches the helpers a Wine loader forked."""
    for fn in (lambda: os.killpg(pid, sig), lambda: os.kill(pid, sig)):
        with contextlib.suppress(ProcessLookupError, PermissionError):
            fn()
            return


def _end_process(pid, start, grace=3.0):
    if not _alive(pid, start):
        return
    _signal_group_or_pid(pid, signal.SIGTERM)
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline:
        if not _alive(pid, start):
            return
        _reap(pid)
        time.sleep(0.05)
    _signal_group_or_pid(pid, signal.SIGKILL)
    deadline = time.monotonic() + grace
    while time.monotonic() < deadline and _alive(pid, start):
        _reap(pid)
        time.sleep(0.05)


def _processes_of_prefix(prefix):
    """Every live Wine process whose environment names this prefix: what `wineserver -k` may
    have missed (a program stuck before it reached the server). Other prefixes, and a shell
    that merely exports this WINEPREFIX, are left alone."""
    wanted = b"WINEPREFIX=" + os.fsencode(prefix)
    found = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit() or int(entry) in (os.getpid(), os.getppid()):
            continue
        try:
            if not os.path.basename(os.readlink(f"/proc/{entry}/exe")).startswith("wine"):
                continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                env = f.read().split(b"\0")
        except OSError:
            continue
        if wanted in env:
            start = _proc_start_time(int(entry))
            if start is not None:
                found.append((int(entry), start))
    return found


def _log_tail(path, lines=15):
    """The last lines of a log, for an error that outlives the folder the log is in."""
    try:
        with open(path, "rb") as f:
            text = f.read()[-4000:].decode("utf-8", "replace")
    except OSError:
        return f"(no log at {path})"
    return " | ".join(text.strip().splitlines()[-lines:]) or "(empty log)"


def _reap(pid):
    with contextlib.suppress(ChildProcessError, OSError):
        os.waitpid(pid, os.WNOHANG)


# ---------------------------------------------------------------- tools on this machine

def _wine_loader():
    for path in ("/usr/lib/wine/wine64", shutil.which("wine64") or ""):
        if path and os.access(path, os.X_OK):
            return path
    found = shutil.which("wine")
    if not found:
        raise TestbedError("wine64 is not installed (run tools/deps.sh)")
    return found


def _wineserver():
    for path in ("/usr/lib/wine/wineserver64", shutil.which("wineserver") or ""):
        if path and os.access(path, os.X_OK):
            return path
    raise TestbedError("wineserver is not installed (run tools/deps.sh)")


def _registry_text(dpi=DEFAULT_DPI):
    """A .reg file (written as UTF-16 so the Chinese value names survive regedit)."""
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key in DPI_KEYS:
        lines += [f"[{key}]", f'"LogPixels"=dword:{dpi:08x}', ""]
    lines.append(r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]")
    lines += [f'"{face}"="{CJK_FONT}"' for face in SUBSTITUTED_FACES]
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{CJK_FONT}"' for face in SUBSTITUTED_FACES
              if face not in ("Tahoma", "MS Shell Dlg", "MS Shell Dlg 2")]
    # A crash must end the program with a message on stderr, not wait for a click.
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\WineDbg]", '"ShowCrashDialog"=dword:00000000']
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\DllOverrides]", '"winemenubuilder.exe"=""']
    # There is no window manager on the display: Wine draws captions and borders itself,
    # so screenshots show windows as a player would see them.
    # Unmanaged windows are also destroyed at once instead of after a wait for a window
    # manager that never answers.
    lines += ["", r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', '"Managed"="N"']
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------- results

class RunResult:
    def __init__(self, args, returncode, stdout, stderr, timed_out=False):
        self.args = args
        self.returncode = returncode
        self.stdout = stdout
        self.stderr = stderr
        self.timed_out = timed_out

    def __repr__(self):
        return (f"RunResult(rc={self.returncode}, timed_out={self.timed_out}, "
                f"stdout={self.stdout[:400]!r}, stderr={self.stderr[-400:]!r})")


class Background:
    """A program the bed started and will end at cleanup unless it ends first."""

    def __init__(self, bed, popen, start, log_path, args):
        self.bed = bed
        self.popen = popen
        self.pid = popen.pid
        self.start = start
        self.log_path = log_path
        self.args = args

    @property
    def returncode(self):
        return self.popen.returncode

    def running(self):
        return self.popen.poll() is None

    def wait(self, timeout=30):
        try:
            return self.popen.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TestbedError(f"{self.args[-1]} (pid {self.pid}) still runs after {timeout} s") from None

    def stop(self):
        if self.running():
            _end_process(self.pid, self.start)
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.popen.wait(timeout=10)

    def output(self):
        try:
            with open(self.log_path, "rb") as f:
                return f.read().decode("utf-8", "replace")
        except OSError:
            return ""


# ---------------------------------------------------------------- the bed

class Testbed:
    def __init__(self, build_dir, prefix=None, state_name="state.json"):
        self.build_dir = os.path.abspath(build_dir)
        self.wine_dir = os.path.join(self.build_dir, "wine")
        self.prefix = os.path.abspath(prefix) if prefix else os.path.join(self.wine_dir, "prefix")
        self.state_path = os.path.join(self.wine_dir, state_name)
        self.log_dir = os.path.join(self.wine_dir, "logs")
        self.screenshot_dir = os.path.join(self.build_dir, "screenshots")
        self._state = None

    def sandbox_url(self):
        """The sandbox server's address compiled into this build (its TAMSOLO_SANDBOX_PORT), so
        that beds of several build folders can run side by side."""
        header = os.path.join(self.build_dir, "generated", "operator_config.h")
        try:
            with open(header, encoding="utf-8") as f:
                m = re.search(r'TAMSOLO_UPDATE_HOST\s+u"(http://127\.0\.0\.1:\d+)"', f.read())
        except OSError:
            m = None
        return m.group(1) if m else "http://127.0.0.1:18480"

    def sandbox_port(self):
        return self.sandbox_url().rsplit(":", 1)[1]

    @classmethod
    def from_env(cls):
        build_dir = os.environ.get("TAMSOLO_BUILD_DIR")
        if not build_dir:
            raise TestbedError("TAMSOLO_BUILD_DIR is not set (the build folder of the mingw preset)")
        return cls(build_dir)

    # ------------------------------------------------------------ state file

    @contextlib.contextmanager
    def _locked_state(self):
        os.makedirs(self.wine_dir, exist_ok=True)
        with open(self.state_path + ".lock", "a+") as lock:
            fcntl.flock(lock, fcntl.LOCK_EX)
            try:
                state = self._read_state()
                yield state
                if state is not None:
                    self._write_state(state)
            finally:
                fcntl.flock(lock, fcntl.LOCK_UN)

    def _read_state(self):
        try:
            with open(self.state_path, encoding="utf-8") as f:
                return json.load(f)
        except (OSError, ValueError):
            return None

    def _write_state(self, state):
        tmp = self.state_path + ".tmp"
        with open(tmp, "w", encoding="utf-8") as f:
            json.dump(state, f, indent=1)
        os.replace(tmp, self.state_path)
        self._state = state

    @property
    def state(self):
        if self._state is None:
            self._state = self._read_state()
        if self._state is None:
            raise TestbedError(f"no test bed is running for {self.build_dir} (run `testbed.py setup` first)")
        return self._state

    def is_running(self):
        state = self._read_state()
        return bool(state) and _alive(state["xvfb_pid"], state["xvfb_start"])

    @property
    def display(self):
        return self.state["display"]

    # ------------------------------------------------------------ environment

    def env(self, booting=False, display=None):
        env = dict(os.environ)
        for key in ("WINEDEBUG", "WINEDLLOVERRIDES", "WINESERVER", "WINELOADER"):
            env.pop(key, None)
        # Wine wants a home folder; a bare CI container may not name one.
        if not env.get("HOME"):
            env["HOME"] = self.wine_dir
        overrides = "winemenubuilder.exe=d"
        if booting:
            # The prefix is made without the .NET and HTML-engine installers asking for downloads.
            # Left out at boot, mshtml stays unregistered: the web-browser control is still
            # created and raises BeforeNavigate2 (then NavigateError for a page), and no Gecko
            # download is ever offered at run time (docs/architecture.md, "under Wine").
            overrides = "mscoree=;mshtml=;" + overrides
        env.update({
            "WINEPREFIX": self.prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": overrides,
            "WINESERVER": _wineserver(),
            "WINELOADER": _wine_loader(),
            "LANG": "zh_CN.UTF-8",
            "LC_ALL": "zh_CN.UTF-8",
            "DISPLAY": display or self.display,
        })
        return env

    # ------------------------------------------------------------ setup / cleanup

    def setup(self, display=None, keep_prefix=False, boot_timeout=240, dpi=DEFAULT_DPI):
        """Start a display (or use `display`) and a freshly booted prefix at `dpi` (96 or 144).
        keep_prefix keeps an existing prefix (the persistent one of tools/run.sh)."""
        if self._read_state() is not None:
            self.cleanup()
        os.makedirs(self.log_dir, exist_ok=True)
        os.makedirs(self.screenshot_dir, exist_ok=True)
        if not keep_prefix and os.path.isdir(self.prefix):
            shutil.rmtree(self.prefix)
        state = {"build_dir": self.build_dir, "prefix": self.prefix, "started": [],
                 "xvfb_pid": 0, "xvfb_start": None, "wineserver_pid": 0, "wineserver_start": None,
                 "created": time.time(), "dpi": dpi}
        self._write_state(state)
        try:
            if display:
                state["display"] = display
            else:
                state["display"], state["xvfb_pid"] = self._start_xvfb()
                state["xvfb_start"] = _proc_start_time(state["xvfb_pid"])
            self._write_state(state)
            self._boot_prefix(boot_timeout)
        except BaseException:
            self.cleanup()
            raise
        return state

    def _start_xvfb(self):
        log = open(os.path.join(self.log_dir, "xvfb.log"), "ab")
        with log:
            for num in range(FIRST_DISPLAY, FIRST_DISPLAY + 100):
                if os.path.exists(f"/tmp/.X{num}-lock") or os.path.exists(f"/tmp/.X11-unix/X{num}"):
                    continue
                proc = subprocess.Popen(["Xvfb", f":{num}", "-screen", "0", SCREEN, "-nolisten", "tcp",
                                         "-noreset"], stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                        start_new_session=True)
                if self._xvfb_ready(proc, num):
                    return f":{num}", proc.pid
                # Another Xvfb won the race for this number: try the next one.
                if proc.poll() is None:
                    _end_process(proc.pid, _proc_start_time(proc.pid))
                proc.wait()
        raise TestbedError("no free X display number between :90 and :189")

    @staticmethod
    def _xvfb_ready(proc, num, timeout=15):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if proc.poll() is not None:
                return False
            try:
                with open(f"/tmp/.X{num}-lock") as f:
                    owner = int(f.read().strip() or 0)
            except (OSError, ValueError):
                owner = 0
            if owner == proc.pid and os.path.exists(f"/tmp/.X11-unix/X{num}"):
                return True
            time.sleep(0.05)
        return False

    def _boot_prefix(self, timeout):
        # A first boot on a busy machine now and then ends with 1 and nothing useful in its
        # log; a second one on a fresh prefix has always worked.
        try:
            self._boot_prefix_once(timeout)
        except TestbedError as first:
            with self._locked_state() as state:
                server_pid, server_start = state.get("wineserver_pid", 0), state.get("wineserver_start")
            with contextlib.suppress(OSError, subprocess.TimeoutExpired):
                subprocess.run([_wineserver(), "-k"], env=self.env(), stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
            _end_process(server_pid, server_start)
            _reap(server_pid)
            shutil.rmtree(self.prefix, ignore_errors=True)
            try:
                self._boot_prefix_once(timeout)
            except TestbedError as second:
                raise TestbedError(f"{second} (first attempt: {first})") from None

    def _boot_prefix_once(self, timeout):
        os.makedirs(self.prefix, exist_ok=True)
        env = self.env(booting=True)
        log_path = os.path.join(self.log_dir, "wineboot.log")
        with open(log_path, "ab") as log:
            # One wineserver for the whole session: later programs start quickly, and the
            # system processes it keeps do not hold any test's output pipe open.
            server = subprocess.Popen([_wineserver(), "-f", "-p"], env=env, stdin=subprocess.DEVNULL,
                                      stdout=log, stderr=log, start_new_session=True)
            with self._locked_state() as state:
                state["wineserver_pid"] = server.pid
                state["wineserver_start"] = _proc_start_time(server.pid)
            boot = subprocess.run([_wine_loader(), "wineboot", "--init"], env=env, stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=log, timeout=timeout, start_new_session=True)
            if boot.returncode != 0:
                raise TestbedError(f"wineboot failed ({boot.returncode}): {_log_tail(log_path)}")
            self._install_wine_fonts()
            self._detach_user_folders()
            reg_path = os.path.join(self.wine_dir, "bed.reg")
            with open(reg_path, "wb") as f:
                f.write(b"\xff\xfe" + _registry_text(self.state.get("dpi", DEFAULT_DPI)).encode("utf-16-le"))
            reg = subprocess.run([_wine_loader(), "regedit", "/S", self.to_windows(reg_path)], env=self.env(),
                                 stdin=subprocess.DEVNULL, stdout=log, stderr=log, timeout=120,
                                 start_new_session=True)
            if reg.returncode != 0:
                raise TestbedError(f"regedit failed ({reg.returncode}); see {log_path}")

    def set_dpi(self, dpi):
        """The display scale for programs started from now on (those running keep theirs)."""
        for key in DPI_KEYS:
            self.run(os.path.join(self.drive_c, "windows", "system32", "reg.exe"),
                     ["add", key.replace("HKEY_CURRENT_USER", "HKCU").replace("HKEY_LOCAL_MACHINE", "HKLM"),
                      "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(int(dpi)), "/f"], timeout=60, check=True)
        with self._locked_state() as state:
            if state is not None:
                state["dpi"] = int(dpi)

    @property
    def dpi(self):
        return self.state.get("dpi", DEFAULT_DPI)

    def _detach_user_folders(self):
        """wineboot links Desktop, Documents, Downloads and the like to the Linux home folder;
        a test that installs or drops files there would write outside the prefix. They become
        plain folders of the prefix instead."""
        users = os.path.join(self.drive_c, "users")
        for user in os.listdir(users) if os.path.isdir(users) else []:
            profile = os.path.join(users, user)
            for name in os.listdir(profile) if os.path.isdir(profile) else []:
                path = os.path.join(profile, name)
                if os.path.islink(path):
                    os.unlink(path)
                    os.makedirs(path)

    def _install_wine_fonts(self):
        """Wine's own fonts (Marlett draws caption buttons, menu checks and scroll arrows)
        are not found in its data folder here, so they go where every prefix looks."""
        fonts = os.path.join(self.drive_c, "windows", "Fonts")
        os.makedirs(fonts, exist_ok=True)
        for folder in WINE_FONT_DIRS:
            if not os.path.isdir(folder):
                continue
            for name in os.listdir(folder):
                target = os.path.join(fonts, name)
                # A real Tahoma would win over its substitute and draw Chinese as boxes.
                if name.lower().startswith("tahoma") or not name.lower().endswith(".ttf"):
                    continue
                if not os.path.exists(target):
                    shutil.copyfile(os.path.join(folder, name), target)

    def cleanup(self):
        """End everything the bed started, by process id. Returns the ids still alive (none)."""
        state = self._read_state()
        if state is None:
            return []
        env = dict(os.environ, WINEPREFIX=state.get("prefix", self.prefix))
        for entry in reversed(state.get("started", [])):
            _end_process(entry["pid"], entry["start"])
        server_pid, server_start = state.get("wineserver_pid", 0), state.get("wineserver_start")
        if os.path.isdir(state.get("prefix", self.prefix)):
            with contextlib.suppress(OSError, subprocess.TimeoutExpired):
                subprocess.run([_wineserver(), "-k"], env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=30)
        deadline = time.monotonic() + 10
        while _alive(server_pid, server_start) and time.monotonic() < deadline:
            _reap(server_pid)
            time.sleep(0.05)
        _end_process(server_pid, server_start)
        for pid, start in _processes_of_prefix(state.get("prefix", self.prefix)):
            _end_process(pid, start)
        _end_process(state.get("xvfb_pid", 0), state.get("xvfb_start"))
        left = [p for p, s in [(e["pid"], e["start"]) for e in state.get("started", [])]
                + [(server_pid, server_start), (state.get("xvfb_pid", 0), state.get("xvfb_start"))]
                if _alive(p, s)]
        left += [p for p, _ in _processes_of_prefix(state.get("prefix", self.prefix))]
        with contextlib.suppress(OSError):
            os.remove(self.state_path)
        self._state = None
        return left

    # ------------------------------------------------------------ programs

    def bin(self, name):
        """A program of the build: bin/NAME.exe (winprobe, win_tests, helper programs, Tamsolo)."""
        return os.path.join(self.build_dir, "bin", name if name.endswith(".exe") else name + ".exe")

    def test_exe(self):
        """The test build of the launcher, which writes the hand-over trace."""
        return os.path.join(self.build_dir, "testbin", "Tamsolo.exe")

    def _command(self, exe, args):
        exe = str(exe)
        if exe.lower().endswith((".exe", ".com", ".bat", ".cmd")) or "\\" in exe:
            return [_wine_loader(), exe] + [str(a) for a in args]
        return [exe] + [str(a) for a in args]

    def run(self, exe, args=(), timeout=60, cwd=None, check=False, input_text=None, env=None):
        """Run a Windows program (or a Linux one) to its end. Output goes through files,
        not pipes: a Wine system process started on the way may keep a pipe open forever.
        env: extra environment variables for it (and what it starts in turn)."""
        cmd = self._command(exe, args)
        os.makedirs(self.log_dir, exist_ok=True)
        with tempfile.TemporaryFile(dir=self.log_dir) as out, tempfile.TemporaryFile(dir=self.log_dir) as err:
            stdin = subprocess.DEVNULL
            if input_text is not None:
                stdin = tempfile.TemporaryFile(dir=self.log_dir)
                stdin.write(input_text.encode("utf-8"))
                stdin.seek(0)
            try:
                full_env = self.env()
                full_env.update(env or {})
                proc = subprocess.Popen(cmd, env=full_env, cwd=cwd, stdin=stdin, stdout=out, stderr=err,
                                        start_new_session=True)
            finally:
                if stdin is not subprocess.DEVNULL:
                    stdin.close()
            start = _proc_start_time(proc.pid)
            timed_out = False
            try:
                rc = proc.wait(timeout=timeout)
            except subprocess.TimeoutExpired:
                timed_out = True
                _end_process(proc.pid, start)
                rc = proc.wait()
            out.seek(0)
            err.seek(0)
            result = RunResult(cmd, rc, out.read().decode("utf-8", "replace"),
                               err.read().decode("utf-8", "replace"), timed_out)
        if check and (timed_out or rc != 0):
            raise TestbedError(f"{cmd[1:2] or cmd} failed: {result!r}")
        return result

    def run_launcher(self, exe, args=(), timeout=90, env=None):
        """Runs the launcher to its end. A main window stays up for its page process's login:
        once one opens (the test build traces "main-window"), it is closed the way a player
        closes an empty launcher (SC_CLOSE; with no page it ends without asking), and so is
        one opened by a launcher this one starts. Returns the Background; its timed_out says
        whether it had to be ended because it did not end in time. env: added to Wine's."""
        proc = self.start(exe, list(args), env=env)
        deadline = time.time() + timeout
        closed = set()
        while proc.running() and time.time() < deadline:
            for entry in self.read_trace():
                if entry["event"] == "main-window" and entry["pid"] not in closed:
                    if self.close_main_window(entry["pid"]):
                        closed.add(entry["pid"])
            time.sleep(0.3)
        with contextlib.suppress(TestbedError):
            proc.wait(max(1, deadline - time.time()))
        proc.timed_out = proc.running()
        if proc.timed_out:
            proc.stop()
            return proc
        # A launcher this one started (the installed copy, a relaunch) may still be opening.
        settle = time.time() + 10
        while time.time() < settle:
            waiting = [e["pid"] for e in self.read_trace() if e["event"] == "main-window" and e["pid"] not in closed]
            if not waiting:
                break
            for pid in waiting:
                if self.close_main_window(pid):
                    closed.add(pid)
            time.sleep(0.3)
        return proc

    def close_main_window(self, pid):
        for w in self.windows():
            if w["pid"] == pid and w["class"] == "#32770" and w["title"] == "kelvra - Brennic" and not w["owner"]:
                try:
                    self.probe("post", w["hwnd"], "WM_SYSCOMMAND", 0xF060, 0)
                except ProbeError:
                    pass  # it went by itself meanwhile
                return True
        return False

    def start(self, exe, args=(), cwd=None, name=None, env=None):
        """Start a program in the background; it is ended at cleanup unless it ends first.
        env: extra environment variables for it (and what it starts in turn)."""
        cmd = self._command(exe, args)
        base = name or os.path.splitext(os.path.basename(str(exe)))[0]
        log_path = os.path.join(self.log_dir, f"{base}-{time.time_ns()}.log")
        with open(log_path, "wb") as log:
            full_env = self.env()
            full_env.update(env or {})
            proc = subprocess.Popen(cmd, env=full_env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=log,
                                    stderr=log, start_new_session=True)
        start = _proc_start_time(proc.pid)
        with self._locked_state() as state:
            if state is None:
                _end_process(proc.pid, start)
                raise TestbedError("the test bed was cleaned up while starting a program")
            state["started"].append({"pid": proc.pid, "start": start, "what": cmd})
        return Background(self, proc, start, log_path, cmd)

    # ------------------------------------------------------------ the probe

    def probe(self, *args, timeout=60):
        """Run winprobe.exe; returns its JSON lines as a list of dicts."""
        result = self.run(self.bin("winprobe"), [str(a) for a in args], timeout=timeout)
        if result.timed_out or result.returncode != 0:
            how = "timed out" if result.timed_out else f"exit code {result.returncode}"
            raise ProbeError(f"winprobe {' '.join(map(str, args))} failed ({how}): "
                             f"{(result.stderr.strip() or result.stdout.strip())[-500:]}", result)
        return parse_json_lines(result.stdout)

    def windows(self, children=False):
        args = ["windows"] + (["--children"] if children else [])
        try:
            return self.probe(*args)
        except ProbeError as first:
            # A listing changes nothing, so one that failed (once seen in a full run, with no
            # output to say why) is simply taken again; the first failure stays in the log.
            sys.stderr.write(f"testbed: {first}; listing again\n")
            return self.probe(*args)

    def wait_window(self, cls=None, title=None, pid=None, timeout=20, visible=None):
        """The first top-level window with this class and/or title (exact texts)."""
        args = ["find", "--timeout", str(int(timeout * 1000))]
        if cls is not None:
            args += ["--class", cls]
        if title is not None:
            args += ["--title", title]
        if pid is not None:
            args += ["--pid", str(pid)]
        if visible:
            args += ["--visible"]
        return self.probe(*args, timeout=timeout + 30)[0]

    def xdotool(self, *args):
        """Real input through the X display (keys reach low-level hooks like a player's would)."""
        return subprocess.run(["xdotool", *[str(a) for a in args]], env=self.env(), check=True,
                              stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60).stdout

    # ------------------------------------------------------------ screenshots

    def screenshot(self, name):
        """The whole display as PNG; a bare name lands in <build>/screenshots/."""
        path = name if os.path.isabs(name) else os.path.join(self.screenshot_dir, name)
        if not path.lower().endswith(".png"):
            path += ".png"
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["import", "-window", "root", "-display", self.display, path], check=True,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=60)
        return path

    def window_screenshot(self, hwnd, name):
        """One window's pixels, taken by the probe inside Wine."""
        path = name if os.path.isabs(name) else os.path.join(self.screenshot_dir, name)
        if not path.lower().endswith(".png"):
            path += ".png"
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.probe("screenshot", str(hwnd), self.to_windows(path))
        return path

    # ------------------------------------------------------------ paths

    @property
    def drive_c(self):
        return os.path.join(self.prefix, "drive_c")

    def to_windows(self, path):
        """A Linux path as the programs in the prefix see it (C: is drive_c, Z: is /)."""
        path = os.path.abspath(path)
        drive_c = os.path.realpath(self.drive_c)
        real = os.path.realpath(path) if os.path.exists(path) else path
        for candidate in (path, real):
            if candidate == drive_c or candidate.startswith(drive_c + os.sep):
                return "C:\\" + candidate[len(drive_c):].lstrip(os.sep).replace("/", "\\")
            if candidate == self.drive_c or candidate.startswith(self.drive_c + os.sep):
                return "C:\\" + candidate[len(self.drive_c):].lstrip(os.sep).replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def to_linux(self, win_path):
        """A Windows path of the prefix as a Linux path (drive letters through dosdevices)."""
        m = re.match(r"^([A-Za-z]):(.*)$", win_path)
        if not m:
            raise ValueError(f"not an absolute Windows path: {win_path!r}")
        letter, rest = m.group(1).lower(), m.group(2).replace("\\", "/").lstrip("/")
        if letter == "c":
            root = self.drive_c
        elif letter == "z":
            root = "/"
        else:
            root = os.path.realpath(os.path.join(self.prefix, "dosdevices", letter + ":"))
        return os.path.join(root, rest) if rest else root

    def user_name(self):
        users = os.path.join(self.drive_c, "users")
        names = [n for n in os.listdir(users) if n.lower() != "public"] if os.path.isdir(users) else []
        return names[0] if names else os.environ.get("USER", "root")

    # ------------------------------------------------------------ the launcher's trace

    def trace_path(self):
        return os.path.join(self.drive_c, TRACE_FILE)

    def read_trace(self):
        """Hand-over points written by the test build: [{'pid': n, 'mode': n, 'event': text}]."""
        try:
            with open(self.trace_path(), "rb") as f:
                data = f.read().decode("utf-8", "replace")
        except OSError:
            return []
        return parse_trace(data)

    def clear_trace(self):
        with contextlib.suppress(OSError):
            os.remove(self.trace_path())


def parse_trace(text):
    entries = []
    for line in text.splitlines():
        m = re.match(r"^pid=(\d+) mode=(-?\d+) event=(.*)$", line.strip("\r\ufeff"))
        if m:
            entries.append({"pid": int(m.group(1)), "mode": int(m.group(2)), "event": m.group(3)})
    return entries


def parse_json_lines(text):
    rows = []
    for line in text.splitlines():
        line = line.strip()
        if line:
            rows.append(json.loads(line))
    return rows


def png_colour_count(path):
    """How many distinct colours a picture holds (1 means blank)."""
    out = subprocess.run(["identify", "-format", "%k", path], check=True, capture_output=True,
                         text=True, timeout=60)
    return int(out.stdout.strip() or 0)


# ---------------------------------------------------------------- demo run (tools/run.sh)

def demo(build_dir, seconds, source_dir, dpi=DEFAULT_DPI):
    """tools/run.sh: in the persistent prefix build/run-prefix on $DISPLAY (or a private Xvfb),
    with the sandbox server playing the operator, walk the road of one typical start (road.py)
    with the test build, whose browser channel stands in for the login page's script, and save
    a screenshot of every step under <build>/screenshots/run-*.png. seconds: how long to leave
    the last picture on a display of the caller's own before ending; dpi: the display scale."""
    os.environ["TAMSOLO_BUILD_DIR"] = os.path.abspath(build_dir)
    import road  # beside this file
    bed = Testbed(build_dir, prefix=os.path.join(build_dir, "run-prefix"), state_name="run-state.json")
    display = os.environ.get("DISPLAY") or None
    fresh = not os.path.isfile(os.path.join(bed.prefix, "system.reg"))
    bed.setup(display=display, keep_prefix=not fresh, dpi=dpi)
    shots = []

    def shot(name):
        shots.append(bed.screenshot(os.path.join(build_dir, "screenshots", f"run-{name}.png")))
        print(f"   screenshot {shots[-1]}", flush=True)

    code = 0
    try:
        server = os.path.join(source_dir, "tools", "sandbox", "server.py")
        bed.start(sys.executable, [server, "--host", "127.0.0.1", "--port", bed.sandbox_port()], name="sandbox")
        print(f"Tamsolo runs on display {bed.display}", flush=True)
        try:
            road.TypicalStart(bed, bed.test_exe(), shot=shot, log=lambda s: print(s, flush=True)).walk()
        except (road.RoadError, TestbedError) as e:
            print(f"the walk stopped: {e}", file=sys.stderr, flush=True)
            shot("stopped")
            code = 1
        if display:
            time.sleep(seconds)
    finally:
        bed.run(os.path.join(bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", "Tamsolo.exe"],
                timeout=30)
        left = bed.cleanup()
        if left:
            print(f"still running: {left}", file=sys.stderr)
    print(f"{len(shots)} screenshots under {os.path.join(build_dir, 'screenshots')}", flush=True)
    return code


# ---------------------------------------------------------------- command line

def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    source_dir = os.path.dirname(os.path.dirname(here))
    default_build = os.environ.get("TAMSOLO_BUILD_DIR") or os.path.join(source_dir, "build", "mingw")
    parser = argparse.ArgumentParser(description="The Wine test bed of the Tamsolo build.")
    parser.add_argument("--build-dir", default=default_build)
    # --build-dir is also taken after the command ("setup --build-dir X").
    common = argparse.ArgumentParser(add_help=False)
    common.add_argument("--build-dir", default=argparse.SUPPRESS)
    sub = parser.add_subparsers(dest="command", required=True)
    p_setup = sub.add_parser("setup", parents=[common], help="start the display and a fresh prefix")
    p_setup.add_argument("--dpi", type=int, default=DEFAULT_DPI, help="display scale: 96 (100 %%) or 144 (150 %%)")
    sub.add_parser("cleanup", parents=[common], help="end every process the bed started")
    sub.add_parser("status", parents=[common], help="print the state of the bed")
    p_run = sub.add_parser("run", parents=[common],
                           help="run a program in the prefix and pass on its output and exit code")
    p_run.add_argument("--timeout", type=float, default=300)
    p_run.add_argument("--screenshot", help="PNG of the display taken when the program failed")
    p_run.add_argument("exe")
    p_run.add_argument("args", nargs=argparse.REMAINDER)
    p_probe = sub.add_parser("probe", parents=[common], help="run winprobe.exe with these arguments")
    p_probe.add_argument("args", nargs=argparse.REMAINDER)
    p_shot = sub.add_parser("screenshot", parents=[common], help="PNG of the whole display")
    p_shot.add_argument("png")
    p_demo = sub.add_parser("demo", parents=[common], help="walk the road of one typical start with screenshots, end (tools/run.sh)")
    p_demo.add_argument("--seconds", type=float, default=5)
    p_demo.add_argument("--dpi", type=int, default=DEFAULT_DPI, help="display scale: 96 (100 %%) or 144 (150 %%)")
    opts = parser.parse_args(argv)

    bed = Testbed(opts.build_dir)
    try:
        if opts.command == "setup":
            state = bed.setup(dpi=opts.dpi)
            print(f"test bed ready: display {state['display']}, prefix {state['prefix']}")
            return 0
        if opts.command == "cleanup":
            left = bed.cleanup()
            if left:
                print(f"still running after cleanup: {left}", file=sys.stderr)
                return 1
            print("test bed cleaned up")
            return 0
        if opts.command == "status":
            print(json.dumps(bed._read_state(), indent=1, ensure_ascii=False))
            return 0
        if opts.command == "run":
            result = bed.run(opts.exe, opts.args, timeout=opts.timeout)
            sys.stdout.write(result.stdout)
            sys.stderr.write(result.stderr)
            if result.timed_out:
                print(f"testbed: {opts.exe} timed out after {opts.timeout} s", file=sys.stderr)
            if (result.timed_out or result.returncode != 0) and opts.screenshot:
                print(f"testbed: screenshot {bed.screenshot(opts.screenshot)}", file=sys.stderr)
            return 124 if result.timed_out else (result.returncode & 0xFF if result.returncode >= 0 else 1)
        if opts.command == "probe":
            result = bed.run(bed.bin("winprobe"), opts.args, timeout=120)
            sys.stdout.write(result.stdout)
            sys.stderr.write(result.stderr)
            return 124 if result.timed_out else (1 if result.returncode else 0)
        if opts.command == "screenshot":
            print(bed.screenshot(opts.png))
            return 0
        if opts.command == "demo":
            return demo(bed.build_dir, opts.seconds, source_dir, opts.dpi)
    except (TestbedError, subprocess.SubprocessError, OSError) as e:
        print(f"testbed: {e}", file=sys.stderr)
        return 2
    return 2


if __name__ == "__main__":
    sys.exit(main())
