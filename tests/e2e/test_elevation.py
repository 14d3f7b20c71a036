"""Least privilege: the launcher asks for the player's own rights; installing and uninstalling
restart the program once with administrator rights, for that one job, when the machine refuses
them; an ordinary start writes only into the player's own folder.

Wine grants every process everything, so the test build plays a standard user on request
(TAMSOLO_TEST_ELEVATION): its first machine-wide step is refused until the restarted copy runs.
"""

import os
import shutil
import time
import unittest

from netcase import SHORTCUT, NetTestCase

WM_COMMAND = 0x0111
IDYES, IDOK = 6, 1
SKINNED_FIRST = 5000


class LeastPrivilege(NetTestCase):
    def run_as(self, user, exe, args=(), timeout=90):
        proc = self.start(exe, list(args), env={"TAMSOLO_TEST_ELEVATION": user})
        proc.wait(timeout)
        self.assertFalse(proc.running(), "the process did not end")
        return proc

    def by_pid(self):
        return {p[0]["pid"]: self.events(p) for p in self.processes()}

    def uninstall_as(self, user, installed, processes, timeout=60):
        """Starts "/uninst", answers the question with Yes and the notice with OK until that
        many uninstalling processes traced their end; returns how many boxes it answered."""
        self.start(installed, ["/uninst"], env={"TAMSOLO_TEST_ELEVATION": user})
        answered = set()
        deadline = time.time() + timeout
        while time.time() < deadline:
            for w in self.bed.windows():
                if w.get("title") == "kelvra - Brennic" and w.get("visible") and w["hwnd"] not in answered:
                    answered.add(w["hwnd"])
                    for command in (IDYES, IDOK, SKINNED_FIRST):
                        self.bed.probe("post", w["hwnd"], WM_COMMAND, command, 0)
            runs = [p for p in self.processes() if p[0]["mode"] == 4]
            if len([p for p in runs if "exit" in self.events(p)]) >= processes:
                break
            time.sleep(0.5)
        return len(answered)

    def test_the_manifest_asks_for_the_players_own_rights(self):
        for exe in (self.bed.bin("Tamsolo"), self.bed.test_exe()):
            with open(exe, "rb") as f:
                data = f.read()
            self.assertIn(b'<requestedExecutionLevel level="asInvoker"', data, exe)
            self.assertNotIn(b"requireAdministrator", data, exe)

    def test_standard_user_installs_and_uninstalls_through_one_elevated_restart_each(self):
        exe = self.place(self.download_dir)
        self.run_as("standard-user", exe)
        firsts = [p for p in self.processes() if p[0]["mode"] == 0]
        self.assertEqual(len(firsts), 2, "expected the start and one restarted copy")
        original, elevated = (self.events(p) for p in firsts)
        # The same program with the install job's own switch, asked for with "runas".
        self.assertIn("elevation-restart runas /elevated-install", original)
        self.assertNotIn("protect-key ok", original)
        for step in ("elevated-job install", "protect-folder ok", "protect-key ok", "install-machine-part-done", "exit"):
            self.assertIn(step, elevated)
        self.assertFalse([e for e in elevated if e.startswith("elevation-restart") or e.startswith("statistics")])
        # The original waited for it, then started the installed copy itself and reported once.
        self.assertLess(original.index("install-elevated-ended"), original.index("install-done"))
        self.assertIn("statistics-done", original)
        self.assertTrue(os.path.isfile(os.path.join(self.install_dir, "Tamsolo.exe")))
        self.assertTrue(os.path.isfile(os.path.join(self.desktop, SHORTCUT + ".lnk")))
        self.assertIsNotNone(self.reg_value("DisableDays"))
        self.assertEqual(self.statistics().get("Inst"), "1")
        self.assertEqual([r["count"] for r in self.requests("/install.htm")], [1])
        deadline = time.time() + 30
        while time.time() < deadline and not any(p[0]["mode"] == 3 for p in self.processes()):
            time.sleep(0.5)
        self.assertTrue(any(p[0]["mode"] == 3 for p in self.processes()), "the installed copy did not start")

        self.kill_launchers()
        self.bed.clear_trace()
        installed = os.path.join(self.install_dir, "Tamsolo.exe")
        self.assertEqual(self.uninstall_as("standard-user", installed, 2), 2, "the question and the notice, once each")
        runs = [self.events(p) for p in self.processes() if p[0]["mode"] == 4]
        self.assertEqual(len(runs), 2)
        self.assertIn("elevation-restart runas /elevated-uninstall", runs[0])
        self.assertNotIn("statistics-request", runs[0])
        self.assertIn("statistics-done", runs[1])
        self.assertFalse(os.path.exists(os.path.join(self.desktop, SHORTCUT + ".lnk")))
        self.assertIsNone(self.reg_value("DisableDays"))
        self.assertEqual([r["count"] for r in self.requests("/uninstall.htm")], [1])

    def test_an_ordinary_start_writes_only_into_the_players_folder_and_keeps_earlier_settings(self):
        installed = self.install()
        # An earlier version kept the player's keys beside the program.
        earlier = "[Tamsolo]\r\nGame=41\r\nShortKey=2,65\r\nPopInfo=old notice\r\nPopEnable=0\r\n"
        with open(os.path.join(self.install_dir, "Statistic.ini"), "w", encoding="utf-16", newline="") as f:
            f.write(earlier)
        os.remove(os.path.join(self.state_dir, "Statistic.ini"))
        before = {n: os.path.getmtime(os.path.join(self.install_dir, n)) for n in os.listdir(self.install_dir)}
        self.bed.clear_trace()
        proc = self.bed.run_launcher(installed, ["/TamsoloD"], env={"TAMSOLO_TEST_ELEVATION": "standard-user"})
        self.assertFalse(proc.timed_out)
        self.assertEqual(self.statistics().get("Game"), "42", "the earlier counter was not carried over")
        self.assertEqual((self.statistics().get("ShortKey"), self.statistics().get("PopEnable")), ("2,65", "0"))
        after = {n: os.path.getmtime(os.path.join(self.install_dir, n)) for n in os.listdir(self.install_dir)}
        self.assertEqual(after, before, "an ordinary start changed the program folder")
        seen = [e for p in self.processes() for e in self.events(p)]
        self.assertFalse([e for e in seen if e.startswith("elevation") or e.startswith("protect")], seen)
        # Once carried over, the player's own file is never replaced by the earlier one.
        self.bed.clear_trace()
        self.bed.run_launcher(installed, ["/TamsoloD"])
        self.assertEqual(self.statistics().get("Game"), "43")

    def test_a_program_folder_that_leads_elsewhere_is_refused_and_nothing_is_written_there(self):
        elsewhere = os.path.join(self.bed.drive_c, "elsewhere")
        os.makedirs(elsewhere, exist_ok=True)
        parent = os.path.dirname(self.install_dir)
        shutil.rmtree(parent, ignore_errors=True)
        os.symlink(elsewhere, parent)
        self.addCleanup(lambda: os.path.islink(parent) and os.remove(parent))
        exe = self.place(self.download_dir)
        proc = self.start(exe, [], env={"TAMSOLO_TEST_ELEVATION": "standard-user"})
        box = self.bed.wait_window(title="kelvra - Brennic", timeout=60, visible=True)
        self.bed.window_screenshot(box["hwnd"], "install-refused-link.png")
        for command in (IDOK, SKINNED_FIRST):
            self.bed.probe("post", box["hwnd"], WM_COMMAND, command, 0)
        proc.wait(60)
        self.assertEqual(os.listdir(elsewhere), [], "something was written through the link")
        seen = [e for p in self.processes() for e in self.events(p)]
        self.assertIn("folder-untrusted link", seen)
        self.assertNotIn("install-done", seen)
        self.assertEqual(self.requests("/install.htm"), [], "a refused install was reported")

    def test_a_job_switch_in_any_company_does_nothing(self):
        exe = self.place(self.download_dir)
        for args in (["/gmhall", "/123", "/elevated-install"], ["/elevated-install", "/gmhall"], ["/elevated"],
                     ["/uninst", "/elevated"]):
            self.bed.clear_trace()
            self.run_as("none", exe, args, timeout=30)
            seen = [e for p in self.processes() for e in self.events(p)]
            self.assertIn("elevated-job refused", seen, args)
            self.assertFalse([e for e in seen if e in ("start", "install", "uninstall", "login", "game-frame")], (args, seen))
        self.assertFalse(os.path.exists(os.path.join(self.install_dir, "Tamsolo.exe")))
        self.assertIsNone(self.reg_value("DisableDays"))
        self.assertFalse([w for w in self.bed.windows() if w.get("visible") and w.get("title") == "kelvra - Brennic"])

    def test_a_declined_prompt_changes_nothing_and_a_restarted_copy_never_restarts(self):
        exe = self.place(self.download_dir)
        self.run_as("declines", exe)
        seen = [e for p in self.processes() for e in self.events(p)]
        self.assertIn("elevation-declined", seen)
        self.assertIn("exit", seen)
        self.assertFalse(os.path.exists(os.path.join(self.install_dir, "Tamsolo.exe")))
        self.assertFalse(os.path.exists(os.path.join(self.desktop, SHORTCUT + ".lnk")))
        self.assertIsNone(self.reg_value("DisableDays"))
        self.assertEqual(self.requests("/install.htm"), [])

        # Refused even with administrator rights: one restart, then the install goes on as it can.
        self.bed.clear_trace()
        self.run_as("never-enough", exe)
        firsts = [self.events(p) for p in self.processes() if p[0]["mode"] == 0]
        self.assertEqual(len(firsts), 2)
        self.assertEqual(sum(e.startswith("elevation-restart") for p in firsts for e in p), 1)
        self.assertTrue(all("exit" in p for p in firsts))

        # An uninstall whose prompt is declined removes, counts and shows nothing after the question.
        self.kill_launchers()
        self.forget_installation()
        installed = self.install()
        self.bed.clear_trace()
        self.control("/__sandbox/reset")
        self.assertEqual(self.uninstall_as("declines", installed, 1), 1)
        self.assertTrue(os.path.isfile(os.path.join(self.desktop, SHORTCUT + ".lnk")))
        self.assertIsNotNone(self.reg_value("DisableDays"))
        self.assertEqual(self.requests("/uninstall.htm"), [])


if __name__ == "__main__":
    unittest.main()
