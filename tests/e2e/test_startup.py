"""Start-up: which way each command line and location takes the launcher.

The test build of Tamsolo.exe writes a line for every hand-over point it reaches; these
tests start it the way a player, a shortcut or another launcher process would and read
where it went."""

import os
import shutil
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "testbed"))
from testbed import ProbeError, Testbed  # noqa: E402

SC_CLOSE = 0xF060
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
IDYES, IDNO = 6, 7
SKINNED_FIRST, SKINNED_SECOND = 5000, 5001


class StartupModes(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.bed = Testbed.from_env()
        cls.install_dir = cls.bed.to_linux(r"C:\ProgramData\Kelvra\GameLogin")
        cls.download_dir = os.path.join(cls.bed.drive_c, "users", cls.bed.user_name(), "Downloads")

    def setUp(self):
        self.kill_launchers()
        self.bed.clear_trace()
        shutil.rmtree(self.install_dir, ignore_errors=True)
        os.makedirs(self.download_dir, exist_ok=True)

    def tearDown(self):
        self.kill_launchers()

    def kill_launchers(self):
        self.bed.run(os.path.join(self.bed.drive_c, "windows", "system32", "taskkill.exe"),
                     ["/f", "/im", "Tamsolo.exe"], timeout=30)

    def place(self, folder, name="Tamsolo.exe"):
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name)
        shutil.copy2(self.bed.test_exe(), path)
        return path

    def run_launcher(self, exe, args=(), timeout=60):
        proc = self.bed.run_launcher(exe, list(args), timeout=timeout)
        self.assertFalse(proc.timed_out, f"{args} did not end")
        return proc

    def first_process(self):
        trace = self.bed.read_trace()
        self.assertTrue(trace, "the launcher wrote no trace")
        pid = trace[0]["pid"]
        return [e for e in trace if e["pid"] == pid]

    def assert_route(self, mode, events):
        entries = self.first_process()
        self.assertEqual({e["mode"] for e in entries}, {mode}, entries)
        seen = [e["event"] for e in entries]
        # The hand-overs must come in this order; other trace lines may stand between them.
        position = 0
        for event in events:
            self.assertIn(event, seen[position:], f"expected {event!r} after {seen[:position]} in {seen}")
            position = seen.index(event, position) + 1
        return seen

    # -------------------------------------------------------------- location rule

    def test_downloaded_copy_installs(self):
        exe = self.place(self.download_dir)
        self.run_launcher(exe)
        seen = self.assert_route(0, ["start", "update-check", "statistics-request", "exit"])
        self.assertNotIn("main-window", seen)

    def test_installed_copy_opens_the_main_window(self):
        exe = self.place(self.install_dir)
        self.run_launcher(exe)
        seen = self.assert_route(3, ["start", "statistics-request", "main-window", "exit"])
        self.assertNotIn("update-check", seen, "an ordinary installed start does not check for updates")

    def test_sub_folder_of_the_install_directory_counts_as_installed(self):
        exe = self.place(os.path.join(self.install_dir, "sub"))
        self.run_launcher(exe, ["/NotASwitch"])
        self.assert_route(3, ["start", "main-window"])

    # -------------------------------------------------------------- switches

    def test_shortcut_switch_in_any_case_checks_for_updates_then_opens(self):
        exe = self.place(self.install_dir)
        self.run_launcher(exe, ["/tAmSoLoD"])
        self.assert_route(2, ["start", "update-check", "statistics-request", "main-window", "exit"])

    def test_switch_as_second_argument_is_ignored(self):
        exe = self.place(self.download_dir)
        self.run_launcher(exe, ["x", "/TamsoloD"])
        self.assert_route(0, ["start"])

    def test_update_switch_forces_a_check_and_goes_on_without_a_swap(self):
        exe = self.place(self.install_dir)
        self.run_launcher(exe, ["/update"])
        seen = self.assert_route(5, ["start", "update-check forced", "main-window"])
        self.assertNotIn("statistics-request", seen, "the update process is not counted as a start")

    def test_partner_switch_reports_and_ends(self):
        exe = self.place(self.install_dir)
        self.run_launcher(exe, ["/CorvelD"])
        seen = self.assert_route(1, ["start", "partner-start", "statistics-request", "exit"])
        self.assertNotIn("main-window", seen)

    def test_uninstall_asks_first_and_does_nothing_on_no(self):
        exe = self.place(self.install_dir)
        proc = self.bed.start(exe, ["/uninst"])
        box = self.bed.wait_window(title="kelvra - Brennic", timeout=30, visible=True)
        self.bed.screenshot("startup-uninstall-question.png")
        self.answer(box, IDNO, SKINNED_SECOND)
        proc.wait(timeout=30)  # raises when the answer did not end the process
        seen = self.assert_route(4, ["start", "exit"])
        self.assertNotIn("uninstall", seen)

    def test_uninstall_runs_on_yes(self):
        exe = self.place(self.install_dir)
        proc = self.bed.start(exe, ["/uninst"])
        box = self.bed.wait_window(title="kelvra - Brennic", timeout=30, visible=True)
        self.answer(box, IDYES, SKINNED_FIRST)
        # The removal ends with a notice of its own; close it when it comes.
        deadline = time.time() + 30
        while proc.running() and time.time() < deadline:
            for w in self.bed.windows():
                if w.get("title") == "kelvra - Brennic" and w.get("visible") and w["hwnd"] != box["hwnd"]:
                    self.answer(w, 1, SKINNED_FIRST)
            time.sleep(0.5)
        self.assertFalse(proc.running(), "the uninstall process did not end")
        self.assert_route(4, ["start", "uninstall", "exit"])

    def answer(self, box, system_id, skinned_id):
        # The system message box and the launcher's own box use different button ids; each
        # ignores the other's command.
        self.bed.probe("post", box["hwnd"], WM_COMMAND, system_id, 0)
        self.bed.probe("post", box["hwnd"], WM_COMMAND, skinned_id, 0)

    # -------------------------------------------------------------- page processes

    def start_owner(self):
        log = os.path.join(self.bed.drive_c, "fakeowner.log")
        if os.path.exists(log):
            os.remove(log)
        owner = self.bed.start(self.bed.bin("fakeowner"), [self.bed.to_windows(log), "60"])
        window = self.bed.wait_window(title="fakeowner", timeout=30)
        return owner, window, log

    def test_page_process_with_given_up_login_tells_its_owner(self):
        owner, window, log = self.start_owner()
        exe = self.place(self.install_dir)
        proc = self.bed.start(exe, ["/newgm", "/%d" % window["hwnd"], "/2"])
        background = self.wait_owned(window["hwnd"])
        self.bed.probe("post", background["hwnd"], WM_CLOSE, 0, 0)  # the player closes the login
        proc.wait(timeout=30)
        self.assert_route(6, ["start", "login", "exit"])
        self.assertEqual(owner.wait(timeout=20), 0, "the owner was not asked to close")
        with open(log, encoding="ascii") as f:
            lines = f.read().splitlines()
        self.assertIn("WM_SYSCOMMAND wparam=%d lparam=5171" % SC_CLOSE, lines)

    def test_game_hall_page_goes_straight_to_the_frame(self):
        owner, window, _ = self.start_owner()
        exe = self.place(self.install_dir)
        proc = self.bed.start(exe, ["/GMHALL", "/%d" % window["hwnd"]])
        deadline = time.time() + 30
        while "game-frame" not in [e["event"] for e in self.bed.read_trace()] and time.time() < deadline:
            time.sleep(0.2)
        owner.stop()  # the frame lives as long as its owner
        proc.wait(timeout=30)
        seen = self.assert_route(7, ["start", "game-frame"])
        self.assertNotIn("login", seen)
        # Its own end, or, while the browser's first navigation still holds its thread (under
        # Wine for seconds), the end its owner watch gives it a moment later.
        self.assertIn(seen[-1], ("exit", "owner-gone-ended"), seen)

    def wait_owned(self, owner_hwnd, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            for w in self.bed.windows():
                if w["owner"] == owner_hwnd and w["class"] == "#32770":
                    return w
            time.sleep(0.3)
        self.fail("no window owned by %d" % owner_hwnd)

    def test_page_switch_without_numbers_is_an_ordinary_start(self):
        exe = self.place(self.install_dir)
        self.run_launcher(exe, ["/newgm"])
        self.assert_route(3, ["start", "main-window"])
        over_long = "/" + "9" * 40
        self.bed.clear_trace()
        self.run_launcher(exe, ["/newgm", over_long, "/1"])
        self.assert_route(3, ["start", "main-window"])


if __name__ == "__main__":
    unittest.main()
