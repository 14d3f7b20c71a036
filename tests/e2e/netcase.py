"""Common ground of the network, installation and update scenarios: the sandbox server on the
build's port, the launcher's files, shortcuts and registry values, and the trace.

The test build has every operator address compiled in (build/generated/operator_config.h);
the sandbox is started on that port for each test class unless one already answers there.
"""

import hashlib
import json
import os
import re
import shutil
import sys
import time
import urllib.parse
import urllib.request

from bedcase import BUILD_DIR, SOURCE_DIR, BedTestCase

SANDBOX = os.path.join(SOURCE_DIR, "tools", "sandbox", "server.py")
KEY = r"HKLM\Software\Kelvra\GameLogin\Tamsolo"
SHORTCUT = "kelvraBrennic极速登陆器"
UNINSTALL_SHORTCUT = "卸载 kelvraBrennic极速登陆器"
MENU_FOLDER = "Kelvra登录器"
VERSION_TAIL = "3001"


def sandbox_base():
    with open(os.path.join(BUILD_DIR, "generated", "operator_config.h"), encoding="utf-8") as f:
        m = re.search(r'TAMSOLO_UPDATE_HOST\s+u"([^"]+)"', f.read())
    return m.group(1)


def md5_of(path):
    with open(path, "rb") as f:
        return hashlib.md5(f.read()).hexdigest()


class NetTestCase(BedTestCase):
    base = None
    _server = None

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.base = sandbox_base()
        if not cls._ping():
            port = cls.base.rsplit(":", 1)[1]
            installer = os.path.join(BUILD_DIR, "bin", "hallsetup.exe")
            cls._server = cls.bed.start(sys.executable, [SANDBOX, "--port", port, "--installer", installer],
                                        name="sandbox")
            deadline = time.time() + 15
            while not cls._ping() and time.time() < deadline:
                time.sleep(0.2)
        cls.install_dir = cls.bed.to_linux(r"C:\ProgramData\Kelvra\GameLogin")
        # Everything an ordinary start writes: the user's own local application-data folder.
        cls.state_dir = os.path.join(cls.bed.drive_c, "users", cls.bed.user_name(), "AppData", "Local", "Kelvra",
                                     "GameLogin")
        # A folder of the prefix itself: Wine links the user's Downloads to the real home.
        cls.download_dir = os.path.join(cls.bed.drive_c, "users", cls.bed.user_name(), "Temp", "Downloaded")
        cls.desktop = cls.bed.to_linux(r"C:\users\Public\Desktop")
        cls.menu = cls.bed.to_linux(r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs") + "/" + MENU_FOLDER

    @classmethod
    def tearDownClass(cls):
        if cls._server is not None:
            cls._server.stop()
            cls._server = None
        super().tearDownClass()

    def setUp(self):
        self.kill_launchers()
        self.control("/__sandbox/reset")
        self.bed.clear_trace()
        self.forget_installation()

    def tearDown(self):
        super().tearDown()
        self.kill_launchers()

    # -------------------------------------------------------------- the sandbox

    @classmethod
    def _ping(cls):
        try:
            with urllib.request.urlopen(cls.base + "/__sandbox/ping", timeout=2) as r:
                return r.read() == b"pong"
        except OSError:
            return False

    def control(self, path, data=None):
        with urllib.request.urlopen(self.base + path, data=data, timeout=30) as r:
            return r.read()

    def serve(self, path, mode="ok", data=None, **params):
        query = urllib.parse.urlencode(dict(path=path, mode=mode, **params))
        self.control("/__sandbox/set?" + query, data=data)

    def requests(self, path=None):
        reqs = json.loads(self.control("/__sandbox/requests"))
        return [r for r in reqs if path is None or r["path"] == path]

    def wait_requests(self, path, count, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            found = self.requests(path)
            if len(found) >= count:
                return found
            time.sleep(0.3)
        return self.requests(path)

    # -------------------------------------------------------------- the launcher

    def kill_launchers(self):
        self.bed.run(os.path.join(self.bed.drive_c, "windows", "system32", "taskkill.exe"),
                     ["/f", "/im", "Tamsolo.exe"], timeout=30)

    def forget_installation(self):
        self.reg("delete", KEY, "/f")
        shutil.rmtree(self.install_dir, ignore_errors=True)
        shutil.rmtree(self.state_dir, ignore_errors=True)
        shutil.rmtree(self.menu, ignore_errors=True)
        for name in os.listdir(self.desktop) if os.path.isdir(self.desktop) else []:
            if name.endswith(".lnk"):
                os.remove(os.path.join(self.desktop, name))

    def reg(self, *args):
        return self.bed.run(os.path.join(self.bed.drive_c, "windows", "system32", "reg.exe"), list(args), timeout=60)

    def reg_value(self, name):
        """The value's JSON from the probe, or None when the key or value is missing."""
        try:
            return self.bed.probe("regread", KEY, name)[0]
        except Exception:
            return None

    def place(self, folder, source=None, name="Tamsolo.exe"):
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name)
        shutil.copy2(source or self.bed.test_exe(), path)
        return path

    def install(self):
        """A first start from the download folder, ended; the installed copy it starts is ended too."""
        exe = self.place(self.download_dir)
        result = self.bed.run(exe, [], timeout=90)
        self.assertFalse(result.timed_out, "the installing process did not end")
        self.wait_requests("/install.htm", 1)
        self.kill_launchers()
        return os.path.join(self.install_dir, "Tamsolo.exe")

    def processes(self):
        """Trace entries grouped by process, in the order the processes first wrote."""
        groups = {}
        for e in self.bed.read_trace():
            groups.setdefault(e["pid"], []).append(e)
        return list(groups.values())

    def events(self, entries):
        return [e["event"] for e in entries]

    def shortcut(self, linux_path):
        return self.bed.probe("shortcut", self.bed.to_windows(linux_path))[0]

    def statistics(self):
        """The keys of the user's Statistic.ini ({} when there is none)."""
        path = os.path.join(self.state_dir, "Statistic.ini")
        return self.ini(path) if os.path.exists(path) else {}

    def ini(self, path):
        values = {}
        with open(path, "rb") as f:
            data = f.read()
        text = data.decode("utf-16") if data[:2] == b"\xff\xfe" else data.decode("gbk")
        for line in text.splitlines():
            if "=" in line:
                k, v = line.split("=", 1)
                values[k.strip()] = v.strip()
        return values
