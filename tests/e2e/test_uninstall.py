"""Uninstallation: "/uninst" removes the key, the shortcuts and the empty start-menu folder,
counts and reports itself, and a hidden script deletes the executable once the process ended."""

import glob
import os
import time
import unittest

from netcase import KEY, SHORTCUT, UNINSTALL_SHORTCUT, NetTestCase

WM_COMMAND = 0x0111
IDYES, IDOK = 6, 1
SKINNED_FIRST = 5000


QUESTION = "确定要移除 kelvraBrennic极速登陆器吗？"
# The closing notice, as its two lines are drawn.
NOTICE = ["kelvra - Brennic已成功移除，部分文件将在程序退出", "或计算机重启后自行删除"]


class Uninstall(NetTestCase):
    def answer_boxes(self, proc, timeout=60, read=False):
        """Answers the question with Yes and the closing notice with OK until the process ends.
        read: first reads from each box's pixels which of the question's and the notice's lines
        it shows; returns {box: {line: where it is drawn, or None}} in the order they came."""
        deadline = time.time() + timeout
        answered = {}
        while proc.running() and time.time() < deadline:
            for w in self.bed.windows():
                if w.get("title") == "kelvra - Brennic" and w.get("visible") and w["hwnd"] not in answered:
                    answered[w["hwnd"]] = self.shown_lines(w["hwnd"]) if read else {}
                    if len(answered) == 2:
                        self.bed.window_screenshot(w["hwnd"], "uninstall-notice.png")
                    # The system box and the launcher's skinned box know different button ids.
                    for command in ((IDYES, IDOK) if len(answered) == 1 else (IDOK,)) + (SKINNED_FIRST,):
                        self.bed.probe("post", w["hwnd"], WM_COMMAND, command, 0)
            time.sleep(0.5)
        return answered

    def shown_lines(self, hwnd):
        rows = self.bed.probe("findtext", hwnd, QUESTION, *NOTICE, "--timeout", 3000)
        return {r["text"]: (r["x"], r["y"]) if r["found"] else None for r in rows}

    def temp_dir(self):
        """Where the script goes: the system's temporary folder, whose files ordinary users
        cannot change (the script runs with an administrator's rights)."""
        return os.path.join(self.bed.drive_c, "windows", "temp")

    def test_uninstall_removes_everything_and_the_script_deletes_the_executable(self):
        installed = self.install()
        self.assertIsNotNone(self.reg_value("DisableDays"))
        self.assertTrue(os.path.isfile(os.path.join(self.menu, SHORTCUT + ".lnk")))
        before = set(glob.glob(os.path.join(self.temp_dir(), "Del*")))
        self.bed.clear_trace()

        proc = self.start(installed, ["/uninst"])
        answered = self.answer_boxes(proc, read=True)
        self.assertFalse(proc.running(), "the uninstall process did not end")
        self.assertEqual(len(answered), 2, "expected the question and the closing notice")
        question, notice = answered.values()
        self.assertEqual([line for line, at in question.items() if at], [QUESTION], question)
        self.assertEqual([line for line, at in notice.items() if at], NOTICE, notice)
        self.assertGreater(notice[NOTICE[1]][1], notice[NOTICE[0]][1], "the notice's second line is not below")

        self.assertIsNone(self.reg_value("DisableDays"))
        with self.assertRaises(Exception):
            self.bed.probe("regread", KEY)
        self.assertTrue(self.bed.probe("regread", r"HKLM\Software\Kelvra\GameLogin") is not None)
        self.assertFalse(os.path.exists(os.path.join(self.desktop, SHORTCUT + ".lnk")))
        self.assertFalse(os.path.exists(os.path.join(self.menu, SHORTCUT + ".lnk")))
        self.assertFalse(os.path.exists(os.path.join(self.menu, UNINSTALL_SHORTCUT + ".lnk")))
        self.assertFalse(os.path.isdir(self.menu), "the empty start-menu folder stayed")

        self.assertEqual(self.statistics().get("UnInst"), "1")
        reqs = self.requests("/uninstall.htm")
        self.assertEqual([r["query"] for r in reqs], ["tag=tamsolo&ver=3.0.0.1&count=1"])

        # The script waits for the process to end and deletes the executable; the program folder
        # holds nothing else (the player's counters and settings live in their own folder and
        # stay), so it goes too (template B). The script then deletes itself; the empty
        # unique-name file stays (the system keeps three letters of the "DelSelf" prefix).
        deadline = time.time() + 60
        while time.time() < deadline and os.path.exists(self.install_dir):
            time.sleep(1)
        self.assertFalse(os.path.exists(installed), "the script did not delete the executable")
        self.assertFalse(os.path.isdir(self.install_dir), "the empty program folder stayed")
        self.assertEqual(self.statistics().get("UnInst"), "1")
        new = set(glob.glob(os.path.join(self.temp_dir(), "Del*"))) - before
        self.assertEqual(len([p for p in new if p.lower().endswith(".tmp")]), 1, new)
        deadline = time.time() + 20
        while time.time() < deadline and any(p.lower().endswith(".bat") for p in new if os.path.exists(p)):
            time.sleep(1)
        self.assertFalse([p for p in new if p.lower().endswith(".bat") and os.path.exists(p)],
                         "the script did not delete itself")

    def test_alone_in_its_folder_the_script_removes_the_folder(self):
        folder = os.path.join(self.bed.drive_c, "Solo Folder")
        exe = self.place(folder)
        self.addCleanup(lambda: os.path.isdir(folder) and __import__("shutil").rmtree(folder, ignore_errors=True))
        proc = self.start(exe, ["/uninst"])
        self.answer_boxes(proc)
        # Template B: the blank in the folder's name is quoted, and the folder goes too.
        deadline = time.time() + 60
        while time.time() < deadline and os.path.exists(folder):
            time.sleep(1)
        self.assertFalse(os.path.exists(folder), "the folder stayed")

    def test_start_menu_folder_holding_another_file_stays(self):
        installed = self.install()
        other = os.path.join(self.menu, "readme.txt")
        with open(other, "w") as f:
            f.write("x")
        proc = self.start(installed, ["/uninst"])
        self.answer_boxes(proc)
        self.assertTrue(os.path.isfile(other))
        self.assertFalse(os.path.exists(os.path.join(self.menu, SHORTCUT + ".lnk")))


if __name__ == "__main__":
    unittest.main()
