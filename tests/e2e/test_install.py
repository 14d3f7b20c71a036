"""Installation and usage statistics: a first start from a download folder installs, reports
and ends; installed starts count themselves and do not wait for their report."""

import os
import time
import unittest

from bedcase import IDLE_PRIORITY_CLASS, SHOWN_NORMALLY, WINE_START_WARNINGS, creation_flags
from netcase import KEY, MENU_FOLDER, SHORTCUT, UNINSTALL_SHORTCUT, NetTestCase


class Installation(NetTestCase):
    def test_first_start_installs_reports_and_starts_the_installed_copy(self):
        exe = self.place(self.download_dir)
        result = self.bed.run(exe, [], timeout=90, env=WINE_START_WARNINGS)
        self.assertFalse(result.timed_out, "the installing process did not end")
        self.assertEqual(creation_flags(result.stderr, "Tamsolo.exe")[:1], [IDLE_PRIORITY_CLASS])

        installed = os.path.join(self.install_dir, "Tamsolo.exe")
        self.assertTrue(os.path.isfile(installed))
        with open(installed, "rb") as a, open(exe, "rb") as b:
            self.assertEqual(a.read(), b.read())
        win_installed = r"C:\ProgramData\Kelvra\GameLogin\Tamsolo.exe"

        links = {
            os.path.join(self.desktop, SHORTCUT + ".lnk"): ("/TamsoloD", SHORTCUT),
            os.path.join(self.menu, SHORTCUT + ".lnk"): ("/TamsoloD", SHORTCUT),
            os.path.join(self.menu, UNINSTALL_SHORTCUT + ".lnk"): ("/uninst", UNINSTALL_SHORTCUT),
        }
        for path, (args, description) in links.items():
            self.assertTrue(os.path.isfile(path), path)
            link = self.shortcut(path)
            self.assertEqual(link["target"].lower(), win_installed.lower(), link)
            self.assertEqual(link["arguments"], args)
            self.assertEqual(link["description"], description)
            self.assertEqual(link["icon"].lower(), win_installed.lower())
            self.assertEqual(link["icon_index"], 0)
            self.assertEqual(link["workdir"], "")

        days = self.reg_value("DisableDays")
        self.assertIsNotNone(days, "DisableDays was not written")
        self.assertEqual((days["type"], days["size"]), ("REG_BINARY", 4))
        raw = bytes.fromhex(days["data"].replace(" ", ""))
        self.assertTrue(all(b <= 6 for b in raw[:3]) and raw[3] == 0, raw)
        self.assertNotEqual(raw[1], raw[2])
        self.assertNotEqual(raw[1], raw[0])

        self.assertEqual(self.statistics().get("Inst"), "1")
        installs = self.requests("/install.htm")
        self.assertEqual([(r["query"], r["count"]) for r in installs], [("tag=tamsolo&ver=3.0.0.1&count=1", 1)])
        self.assertEqual(installs[0]["headers"].get("User-Agent"), "ZQV")

        # The installing process waited for its request before it ended; the installed copy
        # it started is an ordinary start (mode 3) and reports itself.
        procs = self.processes()
        first = self.events(procs[0])
        self.assertEqual(procs[0][0]["mode"], 0)
        for earlier, later in (("install", "install-done"), ("install-done", "statistics-request"),
                               ("statistics-request", "statistics-done"), ("statistics-done", "exit")):
            self.assertLess(first.index(earlier), first.index(later), first)
        self.assertNotIn("update-check forced", first)
        deadline = time.time() + 30
        while time.time() < deadline and not any(p[0]["mode"] == 3 for p in self.processes()):
            time.sleep(0.5)
        installed_copy = [p for p in self.processes() if p[0]["mode"] == 3]
        self.assertTrue(installed_copy, "the installed copy did not start")
        self.assertEqual(installed_copy[0][0]["event"], SHOWN_NORMALLY)

    def test_second_install_counts_on_and_replaces_the_older_per_user_link(self):
        # An older version's link on the user's own desktop goes away.
        user_desktop = os.path.join(self.bed.drive_c, "users", self.bed.user_name(), "Desktop")
        older = os.path.join(user_desktop, SHORTCUT + ".lnk")
        with open(older, "wb") as f:
            f.write(b"old")
        self.install()
        self.assertFalse(os.path.exists(older), "the older per-user shortcut is still there")
        self.bed.clear_trace()
        self.install()
        self.assertEqual(self.statistics().get("Inst"), "2")
        self.assertEqual([r["count"] for r in self.requests("/install.htm")], [1, 2])


class OrdinaryStarts(NetTestCase):
    def test_starts_count_game_and_do_not_wait_for_the_report(self):
        installed = self.place(self.install_dir)
        # The statistics server answers late: the launcher must not wait for it.
        self.serve("/active.htm", "stall", delay="20")
        for expected in (1, 2):
            started = time.time()
            # The main window opens without waiting for the report; it is then closed empty.
            proc = self.bed.run_launcher(installed, ["/TamsoloD"] if expected == 1 else [], timeout=60)
            self.assertFalse(proc.timed_out)
            self.assertLess(time.time() - started, 15, "the start waited for its statistics request")
            self.assertEqual(self.statistics().get("Game"), str(expected))
        # A process that ends at once may end before its request left; whatever arrived is right.
        reqs = self.requests("/active.htm")
        self.assertTrue(set(r["count"] for r in reqs) <= {1, 2}, reqs)
        self.assertTrue(all("tag=tamsolo&ver=3.0.0.1" in r["query"] for r in reqs))
        launchers = [proc for proc in self.processes() if proc[0]["mode"] in (2, 3)]
        self.assertEqual(len(launchers), 2)
        for proc in launchers:  # their page processes write their own lines
            seen = self.events(proc)
            self.assertIn("main-window", seen)
            self.assertNotIn("statistics-done", seen[: seen.index("main-window")])

    def test_partner_start_counts_kelvra(self):
        installed = self.place(self.install_dir)
        result = self.bed.run(installed, ["/CorvelD"], timeout=90)
        self.assertFalse(result.timed_out)
        self.assertEqual(self.statistics().get("Kelvra"), "1")
        reqs = self.requests("/active.htm")
        self.assertEqual([r["query"] for r in reqs], ["tag=webcorvel&ver=3.0.0.1&count=1"])


if __name__ == "__main__":
    unittest.main()
