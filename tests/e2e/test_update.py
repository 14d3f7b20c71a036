"""Self-update: the operator publishes a new executable; a shortcut start finds it, downloads it
under the progress dialog, checks it, swaps it in and starts it. Failed, corrupted and
cancelled downloads leave the old executable; the daily gate stops a second check."""

import datetime
import os
import shutil
import time
import unittest

from bedcase import IDLE_PRIORITY_CLASS, SHOWN_NORMALLY, WINE_START_WARNINGS, creation_flags
from netcase import KEY, VERSION_TAIL, NetTestCase, md5_of

WM_COMMAND = 0x0111
IDCANCEL = 2
CLOSE_BUTTON = 50000  # the skinned frame's close caption button
CONFIG = "/update/ConfigTamsolo.htm"
NEW_EXE = "/new/Tamsolo.exe"
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
PENDING = "PendingFileRenameOperations"  # what the system deletes or renames at the next restart


def today_record(now=None):
    """The 16-byte date-time record of now (UTC), as reg.exe wants it in hex."""
    now = now or datetime.datetime.now(datetime.timezone.utc)
    fields = [now.year, now.month, (now.weekday() + 1) % 7, now.day, now.hour, now.minute, now.second,
              now.microsecond // 1000]
    return b"".join(f.to_bytes(2, "little") for f in fields)


class SelfUpdate(NetTestCase):
    def setUp(self):
        super().setUp()
        self.installed = self.place(self.install_dir)
        self.old_md5 = md5_of(self.installed)
        # The new build: the same program with different bytes, so its digest differs.
        self.new_exe = os.path.join(self.bed.build_dir, "wine", "NewBuild.exe")
        shutil.copy2(self.bed.test_exe(), self.new_exe)
        with open(self.new_exe, "ab") as f:
            f.write(b"new build " * 1000)
        self.new_md5 = md5_of(self.new_exe)
        self.reg("delete", SESSION_MANAGER, "/v", PENDING, "/f")

    def publish(self, key, address=None):
        address = address or self.base + NEW_EXE
        body = f"[VerKey]\r\nTamsolo={key}\r\nUpdAddr={address}\r\n".encode("ascii")
        self.serve(CONFIG, "ok", data=body)

    def new_key(self):
        return self.new_md5[:28] + "3002"

    def run_launcher(self, args, timeout=90, env=None):
        proc = self.bed.run_launcher(self.installed, args, timeout=timeout, env=env)
        self.assertFalse(proc.timed_out, f"{args} did not end")
        return self.events(self.processes()[0])

    def assert_deleted_at_restart(self, name):
        """The restart list holds exactly one deletion: this file beside the launcher."""
        value = self.bed.probe("regread", SESSION_MANAGER, PENDING)[0]
        self.assertEqual(value["type"], "REG_MULTI_SZ")
        target = "\\??\\" + self.bed.to_windows(os.path.join(self.install_dir, name))
        self.assertEqual([v.lower() for v in value["data"]], [target.lower(), ""], value)

    def assert_old_executable(self):
        self.assertEqual(md5_of(self.installed), self.old_md5, "the old executable was replaced")

    def test_update_found_downloaded_verified_swapped_and_relaunched(self):
        self.publish(self.new_key())
        self.serve(NEW_EXE, "slow", file=self.new_exe, delay="0.25")
        proc = self.start(self.installed, ["/TamsoloD"], env=WINE_START_WARNINGS)
        dialog = self.bed.wait_window(title="版本更新中...", timeout=30, visible=True)
        time.sleep(1.5)
        shot = self.bed.window_screenshot(dialog["hwnd"], "update-progress-dialog.png")
        self.assertTrue(os.path.isfile(shot))
        proc.wait(timeout=90)

        self.assertEqual(md5_of(self.installed), self.new_md5, "the new executable is not in place")
        self.assertEqual(md5_of(os.path.join(self.install_dir, "OldTamsolo.exe")), self.old_md5)
        for folder in (self.install_dir, self.state_dir):  # read, then removed; the download too
            for name in ("ConfigTamsolo.htm", "NewTamsolo.exe"):
                self.assertFalse(os.path.exists(os.path.join(folder, name)), (folder, name))
        seen = self.events(self.processes()[0])
        for event in ("update-check", "update-available", "progress-dialog", "swapped", "relaunch", "exit"):
            self.assertIn(event, seen)
        self.assertNotIn("main-window", seen)
        # The relaunched executable is the new one, started without arguments (mode 3).
        deadline = time.time() + 30
        while time.time() < deadline and len(self.processes()) < 2:
            time.sleep(0.5)
        procs = self.processes()
        self.assertGreaterEqual(len(procs), 2, "nothing was relaunched")
        self.assertEqual(procs[1][0]["mode"], 3)
        self.assertEqual(procs[1][0]["event"], SHOWN_NORMALLY)
        self.assertEqual(creation_flags(proc.output(), "Tamsolo.exe")[:1], [IDLE_PRIORITY_CLASS])
        self.assert_deleted_at_restart("OldTamsolo.exe")

        record = self.reg_value("UpdTime")
        self.assertIsNotNone(record, "UpdTime was not written")
        self.assertEqual((record["type"], record["size"]), ("REG_BINARY", 16))
        raw = bytes.fromhex(record["data"].replace(" ", ""))
        today = datetime.datetime.now(datetime.timezone.utc)
        self.assertEqual([int.from_bytes(raw[i:i + 2], "little") for i in (0, 2, 6)],
                         [today.year, today.month, today.day])
        self.assertEqual(len(self.requests(NEW_EXE)), 1)

    def test_corrupted_download_is_refused(self):
        self.publish(self.new_key())
        # A proxy's page arrives in full, as a 200: complete, but not the published file.
        self.serve(NEW_EXE, "ok", body="<html>proxy error</html>")
        seen = self.run_launcher(["/TamsoloD"])
        self.assertIn("swap-refused digest", seen)
        self.assertIn("main-window", seen, "a refused update goes on as an ordinary start")
        self.assert_old_executable()
        self.assertIsNone(self.reg_value("UpdTime"))
        self.assertFalse(os.path.exists(os.path.join(self.state_dir, "NewTamsolo.exe")))
        self.assertFalse(os.path.exists(os.path.join(self.install_dir, "NewTamsolo.exe")))

    def test_a_standard_users_update_is_swapped_by_the_elevated_step_and_relaunched_unelevated(self):
        self.publish(self.new_key())
        self.serve(NEW_EXE, "ok", file=self.new_exe)
        env = {"TAMSOLO_TEST_ELEVATION": "standard-user"}
        proc = self.start(self.installed, ["/TamsoloD"], env=env)
        proc.wait(timeout=90)
        self.assertEqual(md5_of(self.installed), self.new_md5, "the new executable is not in place")
        procs = self.processes()
        original, step = self.events(procs[0]), self.events(procs[1])
        # The player's process downloads into their own folder and asks for the swap alone.
        self.assertIn("progress-dialog", original)
        self.assertIn("elevation-restart runas /elevated-swap", original)
        self.assertNotIn("swapped", original)
        # The step fetches the configuration itself and checks its own copy before the swap.
        self.assertEqual(step[:3], ["launched show=1", "elevated-job swap", "swap-step"], step)
        for event in ("protect-folder ok", "protect-key ok", "swapped", "exit"):
            self.assertIn(event, step)
        self.assertNotIn("relaunch", step)
        self.assertEqual(len(self.requests(CONFIG)), 2)
        self.assertEqual(len(self.requests(NEW_EXE)), 1, "the step copied the player's download")
        # The relaunch comes from the player's process, with no job of its own.
        self.assertLess(original.index("elevation-ended 1"), original.index("relaunch"))
        deadline = time.time() + 30
        while time.time() < deadline and len(self.processes()) < 3:
            time.sleep(0.5)
        relaunched = self.processes()[2]
        self.assertEqual(relaunched[0]["mode"], 3)
        self.assertNotIn("elevated-job swap", self.events(relaunched))
        self.assertIsNotNone(self.reg_value("UpdTime"))
        self.assertFalse(os.path.exists(os.path.join(self.state_dir, "NewTamsolo.exe")))

    def test_a_declined_prompt_keeps_the_old_version_running_and_offers_the_update_again(self):
        self.publish(self.new_key())
        self.serve(NEW_EXE, "ok", file=self.new_exe)
        seen = self.run_launcher(["/TamsoloD"], env={"TAMSOLO_TEST_ELEVATION": "declines"})
        self.assertIn("elevation-declined", seen)
        self.assertIn("main-window", seen, "the old version runs on")
        self.assert_old_executable()
        self.assertIsNone(self.reg_value("UpdTime"), "the day of a declined update was recorded")
        self.assertFalse(os.path.exists(os.path.join(self.state_dir, "NewTamsolo.exe")))
        self.bed.clear_trace()
        self.assertIn("update-available", self.run_launcher(["/TamsoloD"]))

    def test_cut_off_download_is_refused(self):
        self.publish(self.new_key())
        self.serve(NEW_EXE, "short", file=self.new_exe)
        seen = self.run_launcher(["/update"])
        self.assertIn("swap-refused download", seen)
        self.assert_old_executable()

    def test_foreign_download_address_is_not_fetched(self):
        port = self.base.rsplit(":", 1)[1]
        self.publish(self.new_key(), f"http://127.0.0.2:{port}{NEW_EXE}?127.0.0.1")
        self.serve(NEW_EXE, "ok", file=self.new_exe)
        seen = self.run_launcher(["/TamsoloD"])
        self.assertIn("swap-refused download", seen)
        self.assertEqual(self.requests(NEW_EXE), [])
        self.assert_old_executable()

    def test_cancel_ends_the_dialog_at_once_and_keeps_the_old_executable(self):
        self.cancel_download(IDCANCEL)

    def test_close_button_cancels_too(self):
        self.cancel_download(CLOSE_BUTTON)

    def cancel_download(self, command):
        self.publish(self.new_key())
        self.serve(NEW_EXE, "slow", file=self.new_exe, delay="1")
        proc = self.start(self.installed, ["/TamsoloD"])
        dialog = self.bed.wait_window(title="版本更新中...", timeout=30, visible=True)
        cancelled = time.time()
        self.bed.probe("post", dialog["hwnd"], WM_COMMAND, command, 0)
        # The start goes on to the main window, which is then closed empty.
        deadline = time.time() + 30
        while "main-window" not in self.events(self.processes()[0]) and time.time() < deadline:
            time.sleep(0.2)
        self.assertLess(time.time() - cancelled, 15, "the cancel did not end the dialog at once")
        deadline = time.time() + 20
        launcher = self.processes()[0][0]["pid"]
        while not self.bed.close_main_window(launcher) and time.time() < deadline:
            time.sleep(0.3)
        proc.wait(timeout=30)
        seen = self.events(self.processes()[0])
        self.assertIn("progress-cancel", seen)
        self.assertIn("main-window", seen)
        self.assert_old_executable()

    def test_same_key_in_other_letter_case_is_no_update(self):
        self.publish((self.old_md5[:28] + VERSION_TAIL).upper())
        seen = self.run_launcher(["/TamsoloD"])
        self.assertIn("update-none", seen)
        self.assertNotIn("download-and-swap", seen)
        self.assertEqual(len(self.requests(CONFIG)), 1)

    def test_gate_stops_a_second_check_on_the_day_of_an_update(self):
        self.publish(self.new_key())
        self.reg("add", KEY, "/v", "UpdTime", "/t", "REG_BINARY", "/d", today_record().hex(), "/f")
        seen = self.run_launcher(["/TamsoloD"])
        self.assertIn("update-gate-closed", seen)
        self.assertEqual(self.requests(CONFIG), [])
        # The update command's forced check does not ask the gate.
        self.serve(NEW_EXE, "ok", file=self.new_exe)
        self.bed.clear_trace()
        seen = self.run_launcher(["/update"])
        self.assertIn("update-check forced", seen[:3])
        self.assertEqual(len(self.requests(CONFIG)), 1)

    def test_disabled_weekday_stops_the_ordinary_check(self):
        self.publish(self.new_key())
        weekday = (datetime.datetime.now(datetime.timezone.utc).weekday() + 1) % 7
        days = bytes([(weekday + 3) % 7, weekday, (weekday + 1) % 7, 0])
        self.reg("add", KEY, "/v", "DisableDays", "/t", "REG_BINARY", "/d", days.hex(), "/f")
        seen = self.run_launcher(["/TamsoloD"])
        self.assertIn("update-gate-closed", seen)
        self.assertEqual(self.requests(CONFIG), [])

    def test_first_start_never_checks(self):
        self.publish(self.new_key())
        exe = self.place(self.download_dir)
        self.bed.run_launcher(exe, [], timeout=90)
        self.assertEqual(self.requests(CONFIG), [])


if __name__ == "__main__":
    unittest.main()
