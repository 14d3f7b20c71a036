"""The main window across real processes: the test build of the launcher, installed, starts
fakepage.exe (tests/win/programs) as its page processes; each fake page waits at its "login"
until the test tells it a registration text, then registers a frame and logs what the main
window sends it (C:\\tamsolo_fakepage.txt)."""

import os
import re
import shutil
import subprocess
import time
import unittest

from bedcase import IDLE_PRIORITY_CLASS, SHOWN_NORMALLY, WINE_START_WARNINGS, BedTestCase, creation_flags
from netcase import VERSION_TAIL, NetTestCase, md5_of

WM_NULL, WM_KEYDOWN, WM_CHAR, WM_COMMAND, WM_SYSCOMMAND = 0x0000, 0x0100, 0x0102, 0x0111, 0x0112
WM_USER = 0x0400
SC_CLOSE = 0xF060
BS_GROUPBOX = 7
VK_F5 = 0x74
MARKER = 5171
SKINNED_FIRST, SKINNED_SECOND = 5000, 5001  # 是 / 否 (or 确定) of the skinned message box
TITLE = "kelvra - Brennic"
INSTALL_DIR = r"C:\ProgramData\Kelvra\GameLogin"
FAKE_LOG = "tamsolo_fakepage.txt"
CONFIG = "/update/ConfigTamsolo.htm"
UPDATE_FAILED = "检查更新失败，请检查网络连接后再试。"
UP_TO_DATE = "已经是最新版本，无需进行更新。"


def pixel(path, x, y):
    """(r, g, b) of one pixel of a PNG."""
    out = subprocess.run(["convert", f"{path}[1x1+{x}+{y}]", "-depth", "8", "rgb:-"], check=True,
                         capture_output=True, timeout=60).stdout
    return tuple(out[:3])


def dark_share(path, left, top, right, bottom):
    """The share of nearly black pixels in a rectangle of a PNG."""
    out = subprocess.run(["convert", f"{path}[{right - left}x{bottom - top}+{left}+{top}]", "-depth", "8", "rgb:-"],
                         check=True, capture_output=True, timeout=60).stdout
    pixels = [out[i:i + 3] for i in range(0, len(out) - 2, 3)]
    return sum(1 for p in pixels if max(p) < 48) / max(1, len(pixels))


class Driver:
    """Starts the installed test build with fake page processes and drives it."""

    def launch(self):
        self.kill("Tamsolo.exe")
        self.kill("fakepage.exe")
        self.bed.clear_trace()
        self.fake_log_path = os.path.join(self.bed.drive_c, FAKE_LOG)
        if os.path.exists(self.fake_log_path):
            os.remove(self.fake_log_path)
        folder = self.bed.to_linux(INSTALL_DIR)
        os.makedirs(folder, exist_ok=True)
        self.exe = os.path.join(folder, "Tamsolo.exe")
        shutil.copy2(self.bed.test_exe(), self.exe)
        # The player's settings live in their own folder; an earlier version's beside the program.
        self.state_ini = os.path.join(self.bed.drive_c, "users", self.bed.user_name(), "AppData", "Local", "Kelvra",
                                      "GameLogin", "Statistic.ini")
        for ini in (os.path.join(folder, "Statistic.ini"), self.state_ini):
            if os.path.exists(ini):
                os.remove(ini)
        self.app = self.start(self.exe, env=dict(WINE_START_WARNINGS,
                                                 TAMSOLO_TEST_PAGE_PROGRAM=self.bed.to_windows(self.bed.bin("fakepage"))))
        self.addCleanup(self.kill, "fakepage.exe")
        self.addCleanup(self.kill, "Tamsolo.exe")
        self.main = self.wait_for(lambda: self.main_window(), "the main window")
        self.known_controls = set()
        self.names = []

    # ------------------------------------------------------------------ helpers

    def kill(self, image):
        self.bed.run(os.path.join(self.bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", image],
                     timeout=30)

    def wait_for(self, probe, what, timeout=20):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = probe()
            if value:
                return value
            time.sleep(0.3)
        self.fail(f"timed out waiting for {what}")

    def main_window(self):
        for w in self.bed.windows():
            if w["class"] == "#32770" and w["title"] == TITLE and w.get("owner") == 0 and \
                    "Tamsolo" in self.process_name(w):
                return w
        return None

    def process_name(self, w):
        return "Tamsolo" if any(e["pid"] == w["pid"] for e in self.bed.read_trace()) else ""

    def boss_key_hides_and_restores(self, main):
        self.bed.xdotool("key", "F10")
        self.wait_for(lambda: not self.window(main)["visible"], "F10 to hide the launcher")
        # Wine hears keys only through a window of its own: give the X focus to one that is
        # still shown (the hook itself sees keys of every program).
        tray = self.bed.xdotool("search", "--name", "Wine System Tray").split()
        if tray:
            self.bed.xdotool("windowfocus", tray[0])
        self.bed.xdotool("key", "F10")
        self.wait_for(lambda: self.window(main)["visible"], "F10 to bring it back")

    def window(self, hwnd):
        for w in self.bed.windows(children=True):
            if w["hwnd"] == hwnd:
                return w
        return None

    def fake_log(self):
        try:
            with open(self.fake_log_path, encoding="utf-8", errors="replace") as f:
                text = f.read()
        except OSError:
            return []
        rows = []
        for line in text.splitlines():
            m = re.match(r"^pid=(\d+) frame=(-?\d+) event=(.*)$", line)
            if m:
                rows.append({"pid": int(m.group(1)), "frame": int(m.group(2)), "event": m.group(3)})
        return rows

    def events(self, pid):
        return [r["event"] for r in self.fake_log() if r["pid"] == pid]

    def new_page_process(self):
        """The control window of the fake page process started last."""
        def fresh():
            found = [w for w in self.bed.windows() if w["class"] == "TamsoloFakePage"
                     and w["hwnd"] not in self.known_controls]
            return found[0] if found else None
        control = self.wait_for(fresh, "a new page process")
        self.known_controls.add(control["hwnd"])
        return control

    def login(self, name, control=None):
        """Logs a fake page in; returns (pid, frame handle) once its frame registered."""
        control = control or self.new_page_process()
        answer = self.bed.probe("copydata", control["hwnd"], 1, name)[0]["result"]
        self.assertEqual(answer, 1, f"login of {name} refused")
        pid = control["pid"]
        row = self.wait_for(lambda: next((r for r in self.fake_log() if r["pid"] == pid and r["event"] == "frame"),
                                         None), f"the frame of {name}")
        self.names.append(name)
        return pid, row["frame"]

    def add_account(self):
        self.bed.probe("post", self.main["hwnd"], WM_USER + 6, 1, 0)

    def pages(self, count):
        """count logged-in pages, each started the way the add-account choice starts one."""
        result = [self.login("1服-a-Player")]
        for i in range(1, count):
            self.add_account()
            result.append(self.login(f"{i + 1}服-b-Player{i + 1}"))
        return result

    def trace_events(self):
        return [e["event"] for e in self.bed.read_trace() if e["pid"] == self.main["pid"]]

    def wait_message_box(self, text):
        self.wait_for(lambda: f"message-box {text}" in self.trace_events(), f"the message {text!r}")

        def box():
            for w in self.bed.windows():
                if w["title"] == TITLE and w["visible"] and w["hwnd"] != self.main["hwnd"] and \
                        w["pid"] == self.main["pid"]:
                    return w
            return None
        return self.wait_for(box, f"the message box {text!r}")

    def answer(self, box, button):
        self.bed.probe("post", box["hwnd"], WM_COMMAND, button, 0)

    def tab_point(self, t, close=False):
        """Screen point of tab t (or of its close button) of the maximised main window."""
        rect = self.window(self.main["hwnd"])["rect"]
        x = rect["left"] + (302 if close else 200) + 189 * t
        y = rect["top"] + (9 if close else 14)
        return x, y

    def visible_frames(self, frames):
        return [f for f in frames if (self.window(f) or {}).get("visible")]

    def control_of(self, pid):
        return next(w for w in self.bed.windows() if w["class"] == "TamsoloFakePage" and w["pid"] == pid)

    def choose(self, downs):
        """Opens the system menu and picks its item `downs` steps down (separators skipped)."""
        self.bed.probe("post", self.main["hwnd"], WM_COMMAND, 1003, 0)
        self.bed.probe("menu", "--timeout", "10000")
        self.bed.xdotool("key", *(["Down"] * downs), "Return")

    def click_close_button(self, dialog):
        """A real click on the skinned close button (control 50000) of a dialog."""
        button = self.wait_for(lambda: next((w for w in self.bed.windows(children=True)
                                             if w["parent"] == dialog["hwnd"] and w.get("id") == 50000), None),
                               "the close button")
        r = button["rect"]
        self.bed.xdotool("mousemove", (r["left"] + r["right"]) // 2, (r["top"] + r["bottom"]) // 2)
        self.bed.xdotool("click", "1")

    def exit_asking(self):
        self.bed.probe("post", self.main["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
        self.answer(self.wait_message_box("窗口即将关闭，确定要退出游戏？"), SKINNED_FIRST)
        self.assertIsNotNone(self.app.wait(30), "the launcher did not end")



class MainWindow(Driver, BedTestCase):
    def setUp(self):
        self.launch()

    # ------------------------------------------------------------------ registration

    def test_first_registration_fills_the_work_area_and_mute_reaches_every_page(self):
        before = self.window(self.main["hwnd"])
        self.assertEqual((before["rect"]["right"] - before["rect"]["left"],
                          before["rect"]["bottom"] - before["rect"]["top"]), (1, 1))
        self.assertEqual((before["rect"]["left"], before["rect"]["top"]), (0, 0))
        self.assertNotIn("first-registration", self.trace_events())
        control = self.new_page_process()
        self.assertRegex(self.events(control["pid"])[0], r"^start args=/newgm /%d /0$" % self.main["hwnd"])
        self.assertEqual(self.events(control["pid"])[1], SHOWN_NORMALLY)
        self.assertEqual(creation_flags(self.app.output(), "fakepage.exe"), [IDLE_PRIORITY_CLASS])

        (pid1, frame1), = [self.login("1服-a-Player", control)]
        after = self.wait_for(lambda: (lambda w: w if w["rect"]["right"] > 600 else None)(
            self.window(self.main["hwnd"])), "the full-size window")
        self.assertEqual(after["rect"], {"left": 0, "top": 0, "right": 1280, "bottom": 800})
        events = self.trace_events()
        self.assertIn("first-registration", events)
        self.assertTrue({"tray-icon", "tray-icon-failed"} & set(events), "no tray icon asked for")
        self.assertEqual(self.window(frame1)["parent"], self.main["hwnd"])

        self.add_account()
        pid2, _ = self.login("2服-b-Other")
        for pid in (pid1, pid2):
            self.wait_for(lambda: "mute=0" in self.events(pid), f"the mute state at page {pid}")
        self.bed.window_screenshot(self.main["hwnd"], "mainwnd-two-tabs.png")

    def test_registration_texts(self):
        self.login("1服-a-Player")
        main = self.main["hwnd"]

        def send(*args):
            return self.bed.probe("copydata", main, 0, *args)[0]["result"]
        cases = [
            ("the same text again", ["1服-a-Player"], 0),
            ("a text differing in letter case", ["1服-a-player"], 1),
            ("no terminator", ["abc", "--no-terminator"], 0),
            ("an odd byte count", ["--hex", "610062000000ff"], 0),
            ("one byte", ["--hex", "61"], 0),
            ("an empty text", ["--hex", "0000"], 0),
            ("a text over the bound", ["x" * 600], 0),
            ("the bound with the terminator last", ["y" * 511], 1),
        ]
        for what, args, expected in cases:
            with self.subTest(what):
                self.assertEqual(send(*args), expected)
        self.assertTrue(self.window(main), "the main window went away")

    def test_frame_registrations_from_strangers_are_ignored(self):
        main = self.main["hwnd"]
        self.bed.probe("post", main, WM_USER + 2, main, 0)           # itself
        self.bed.probe("post", main, WM_USER + 2, 0x7FFFFFF0, 0)     # no window
        time.sleep(1.5)
        self.assertNotIn("first-registration", self.trace_events())
        self.assertEqual(self.window(main)["rect"]["right"], 1)
        pid, frame = self.login("1服-a-Player")
        self.bed.probe("post", main, WM_USER + 2, frame, 0)          # already held
        time.sleep(1)
        # Still one page: the next page process is told the count 1.
        self.add_account()
        control = self.new_page_process()
        self.assertTrue(self.events(control["pid"])[0].endswith(" /1"), self.events(control["pid"]))

    # ------------------------------------------------------------------ add account

    def test_the_add_account_label_opens_the_choice_under_it(self):
        self.login("1服-a-Player")
        rect = self.window(self.main["hwnd"])["rect"]
        width = rect["right"] - rect["left"]
        self.bed.xdotool("mousemove", rect["left"] + width - 285 + 60, rect["top"] + 14)
        self.bed.xdotool("click", "1")

        def popup():
            for w in self.bed.windows():
                if w["title"] == "登录其他账号" and w["visible"] and w["pid"] == self.main["pid"]:
                    return w
            return None
        choice = self.wait_for(popup, "the add-account choice")
        # Right edge on the label's right edge, top on its bottom.
        self.assertEqual(choice["rect"]["right"], rect["left"] + width - 285 + 92)
        self.assertEqual(choice["rect"]["top"], rect["top"] + 7 + 16)
        self.bed.screenshot("mainwnd-add-account.png")
        self.answer(choice, 1)  # "是": a further tab here
        control = self.new_page_process()
        self.assertTrue(self.events(control["pid"])[0].endswith(" /1"), self.events(control["pid"]))

    def test_a_third_page_is_started_with_count_2_and_a_fourth_is_refused(self):
        self.pages(2)
        self.add_account()
        control = self.new_page_process()
        self.assertTrue(self.events(control["pid"])[0].endswith("/2"), self.events(control["pid"]))
        self.login("3服-c-Third", control)
        starts = len([r for r in self.fake_log() if r["event"].startswith("start ")])
        self.add_account()
        box = self.wait_message_box("当前窗体只支持3个游戏页")
        time.sleep(1.5)
        self.assertEqual(len([r for r in self.fake_log() if r["event"].startswith("start ")]), starts)
        self.answer(box, SKINNED_FIRST)
        self.wait_for(lambda: not self.window(box["hwnd"]), "the message box to close")

    # ------------------------------------------------------------------ closing tabs

    def test_closing_the_middle_tab_asks_and_makes_the_former_third_current(self):
        (p1, f1), (p2, f2), (p3, f3) = self.pages(3)
        self.bed.probe("post", self.main["hwnd"], WM_USER + 6, 5, 0)  # an unknown answer does nothing
        # The third page registered last and is current; select the first.
        self.bed.xdotool("mousemove", *self.tab_point(0))
        self.bed.xdotool("click", "1")
        self.wait_for(lambda: self.visible_frames([f1, f2, f3]) == [f1], "the first page shown")
        # Hover tab 2's close button for the picture of three tabs with its tooltip.
        self.bed.xdotool("mousemove", *self.tab_point(1, close=True))
        time.sleep(0.3)
        self.bed.xdotool("mousemove", *self.tab_point(1))
        time.sleep(1.5)
        self.bed.screenshot("mainwnd-three-tabs-hover.png")

        self.bed.xdotool("click", "2")
        box = self.wait_message_box("确定要退出账号：2服-b-Player2 ?")
        self.answer(box, SKINNED_FIRST)
        self.wait_for(lambda: any(e.startswith("close ") for e in self.events(p2)), "the closed page's SC_CLOSE")
        closed = next(e for e in self.events(p2) if e.startswith("close "))
        self.assertEqual(closed, "close lparam=0 visible=0 parent=0")
        self.wait_for(lambda: self.visible_frames([f1, f3]) == [f3], "the former third page current")
        self.wait_for(lambda: "end" in self.events(p2), "the closed page's process to end")

    def test_closing_the_last_tab_asks_the_exit_question(self):
        pid, frame = self.login("1服-a-Player")
        self.bed.xdotool("mousemove", *self.tab_point(0))
        self.bed.xdotool("click", "2")
        box = self.wait_message_box("窗口即将关闭，确定要退出游戏？")
        self.answer(box, SKINNED_SECOND)
        time.sleep(1)
        self.assertTrue(self.app.running())
        self.assertTrue(self.window(frame)["visible"])

    # ------------------------------------------------------------------ keys relayed

    def test_f5_and_ctrl_d_reach_the_visible_page(self):
        (p1, f1), (p2, f2) = self.pages(2)
        main = self.main["hwnd"]
        self.bed.probe("post", main, WM_KEYDOWN, VK_F5, 0x003F0001)
        self.bed.probe("post", main, WM_CHAR, 4, 0x00200001)
        self.bed.probe("post", main, WM_CHAR, 4, 0x20200001)   # Alt held: not Ctrl+D
        self.bed.probe("post", main, WM_KEYDOWN, VK_F5, MARKER)  # as "刷新 (F5)" posts it
        want = ["keydown vk=116 lparam=4128769", "char=4 lparam=2097153", "keydown vk=116 lparam=5171"]
        self.wait_for(lambda: [e for e in self.events(p2) if e.startswith(("keydown", "char"))] == want,
                      "the keys at the visible page")
        self.assertFalse([e for e in self.events(p1) if e.startswith(("keydown", "char"))])

    # ------------------------------------------------------------------ ending

    def test_a_cancelled_login_with_no_page_ends_the_launcher(self):
        control = self.new_page_process()
        self.bed.probe("copydata", control["hwnd"], 2, "")
        self.assertIsNotNone(self.app.wait(30), "the launcher did not end")
        self.assertIn("main-window-exit", self.trace_events())

    def test_an_account_whose_login_died_before_its_frame_is_free_again(self):
        self.login("1服-a-Player")
        self.add_account()
        dying = self.new_page_process()
        self.assertEqual(self.bed.probe("copydata", dying["hwnd"], 4, "2服-b-Gone")[0]["result"], 1)
        self.wait_for(lambda: "login-died" in self.events(dying["pid"]), "the login to die")
        self.add_account()
        self.login("3服-c-Third")
        # The second tab is the third login's, and the dead login's account may play.
        self.bed.xdotool("mousemove", *self.tab_point(1, close=True))
        self.bed.xdotool("click", "1")
        self.answer(self.wait_message_box("确定要退出账号：3服-c-Third ?"), SKINNED_SECOND)
        self.add_account()
        self.login("2服-b-Gone")

    def test_a_cancelled_login_beside_pages_changes_nothing(self):
        pid, frame = self.login("1服-a-Player")
        self.add_account()
        control = self.new_page_process()
        self.bed.probe("copydata", control["hwnd"], 2, "")
        time.sleep(2)
        self.assertTrue(self.app.running())
        self.assertNotIn("message-box 窗口即将关闭，确定要退出游戏？", self.trace_events())
        self.assertTrue(self.window(frame)["visible"])

    def test_exit_lets_go_of_every_page_and_leaves_no_process(self):
        (p1, f1), (p2, f2) = self.pages(2)
        self.add_account()
        waiting = self.new_page_process()  # still at its login: terminated
        self.bed.probe("post", self.main["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
        box = self.wait_message_box("窗口即将关闭，确定要退出游戏？")
        self.answer(box, SKINNED_FIRST)
        self.assertIsNotNone(self.app.wait(30), "the launcher did not end")
        for pid in (p1, p2):
            self.wait_for(lambda: "end" in self.events(pid), f"page process {pid} to end")
            self.assertIn("close lparam=0 visible=0 parent=0", self.events(pid))
        self.wait_for(lambda: not [w for w in self.bed.windows() if w["class"].startswith("TamsoloFake")],
                      "every fake page window gone")
        self.assertNotIn("end", self.events(waiting["pid"]))  # terminated, not ended by itself

    def test_a_page_that_stops_answering_holds_up_neither_tabs_nor_exit(self):
        (p1, f1), (p2, f2) = self.pages(2)
        self.bed.probe("copydata", self.control_of(p2)["hwnd"], 6, "")  # the current page hangs
        self.wait_for(lambda: "hanging" in self.events(p2), "the second page to hang")
        # A double click on the caption restores the window: the hung page is sized meanwhile.
        rect = self.window(self.main["hwnd"])["rect"]
        self.bed.xdotool("mousemove", rect["left"] + 800, rect["top"] + 12)
        self.bed.xdotool("click", "--repeat", "2", "1")
        self.wait_for(lambda: self.window(self.main["hwnd"])["rect"]["right"] != 1280, "the window to be restored")
        self.bed.xdotool("mousemove", *self.tab_point(0))
        self.bed.xdotool("click", "1")
        self.wait_for(lambda: self.visible_frames([f1]), "the first page shown beside the hung one")
        self.exit_asking()
        self.wait_for(lambda: "end" in self.events(p1), "the answering page to end")
        self.assertIn("close lparam=0 visible=0 parent=0", self.events(p1))
        # The hung page was still inside the window, whose end would have waited for it: ended.
        self.wait_for(lambda: not [w for w in self.bed.windows() if w["class"].startswith("TamsoloFake")],
                      "every fake page window gone")

    def test_the_close_of_a_dialog_ends_only_that_dialog(self):
        control = self.new_page_process()
        self.bed.probe("copydata", control["hwnd"], 3, "")  # a game-list window only: no page
        self.wait_for(lambda: self.window(self.main["hwnd"])["rect"]["right"] == 1280, "the full-size window")

        def dialog(title):
            return lambda: next((w for w in self.bed.windows() if w["title"] == title and w["visible"]
                                 and w["pid"] == self.main["pid"] and w["hwnd"] != self.main["hwnd"]), None)
        for what, item, title in (("the settings dialog", 5, "设置"), ("a message box", 3, TITLE)):
            with self.subTest(what):
                self.choose(item)
                found = self.wait_for(dialog(title), what, 60)
                self.click_close_button(found)
                self.wait_for(lambda: not self.window(found["hwnd"]), f"{what} to close")
                time.sleep(1)
                self.assertTrue(self.app.running(), f"closing {what} ended the launcher")
                self.assertNotIn("main-window-exit", self.trace_events())

    def test_a_game_list_frame_is_held_apart_and_closed_at_exit(self):
        control = self.new_page_process()
        self.bed.probe("copydata", control["hwnd"], 3, "")
        self.wait_for(lambda: "first-registration" in self.trace_events(), "the first registration")
        self.wait_for(lambda: self.window(self.main["hwnd"])["rect"]["right"] == 1280, "the full-size window")
        # The game-list window is not a page: the next page process is told 0 pages.
        self.add_account()
        second = self.new_page_process()
        self.assertTrue(self.events(second["pid"])[0].endswith(" /0"), self.events(second["pid"]))
        # With no page, a close ends the launcher at once; the game-list window is let go too.
        self.bed.probe("post", self.main["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
        self.assertIsNotNone(self.app.wait(30), "the launcher did not end")
        self.wait_for(lambda: "end" in self.events(control["pid"]), "the game-list process to end")
        self.assertIn("close lparam=0 visible=0 parent=0", self.events(control["pid"]))

    # ------------------------------------------------------------------ hotkeys and menus

    def test_hotkeys_with_real_keys(self):
        pid, frame = self.login("1服-a-Player")
        main = self.main["hwnd"]
        self.wait_for(lambda: "mute=0" in self.events(pid), "the first mute state")
        self.boss_key_hides_and_restores(main)
        self.bed.xdotool("key", "ctrl+F10")
        self.bed.xdotool("key", "ctrl+q")
        self.wait_for(lambda: "mute=1" in self.events(pid), "Ctrl+Q to mute the page")
        self.assertTrue(self.window(main)["visible"], "Ctrl+F10 hid the launcher")
        self.bed.xdotool("key", "ctrl+q")
        self.wait_for(lambda: self.events(pid).count("mute=0") == 2, "Ctrl+Q again to unmute")

    def test_window_switch_key_and_hotkey_reload(self):
        (p1, f1), (p2, f2) = self.pages(2)
        # A real Ctrl+Tab while the launcher has the focus (the caption takes the click).
        rect = self.window(self.main["hwnd"])["rect"]
        self.bed.xdotool("mousemove", rect["left"] + 800, rect["top"] + 12)
        self.bed.xdotool("click", "1")
        self.wait_for(lambda: self.visible_frames([f1, f2]) == [f2], "the second page shown")
        self.bed.xdotool("key", "ctrl+Tab")
        self.wait_for(lambda: self.visible_frames([f1, f2]) == [f1], "Ctrl+Tab to show the first page")
        self.bed.xdotool("key", "ctrl+Tab")
        self.wait_for(lambda: self.visible_frames([f1, f2]) == [f2], "Ctrl+Tab to wrap to the second page")

        # Another launcher's settings dialog saved new keys: every page is told to reload.
        with open(self.state_ini, "w", encoding="utf-16") as f:
            f.write("[Tamsolo]\r\nAltWndKey=4,9\r\n")
        self.bed.probe("post", self.main["hwnd"], WM_USER + 4, 0, 0)
        for pid in (p1, p2):
            self.wait_for(lambda: "reload-hotkeys" in self.events(pid), f"page {pid} told to reload")
        self.bed.xdotool("key", "ctrl+Tab")
        time.sleep(1)
        self.assertEqual(self.visible_frames([f1, f2]), [f2], "the old key still switched")
        self.bed.xdotool("key", "shift+Tab")
        self.wait_for(lambda: self.visible_frames([f1, f2]) == [f1], "the new key Shift+Tab to switch")

    # ------------------------------------------------------------------ drawing at every scale

    def open_settings(self):
        """The settings dialog, opened as a player does: 系统, then 设置...."""
        self.bed.probe("post", self.main["hwnd"], WM_COMMAND, 1003, 0)
        self.bed.probe("menu", "--timeout", "10000")
        self.bed.xdotool("key", *(["Down"] * 5), "Return")
        dialog = self.wait_for(lambda: next((w for w in self.bed.windows() if w["title"] == "设置" and w["visible"]
                                             and w["pid"] == self.main["pid"]), None), "the settings dialog")
        time.sleep(1)  # every control has painted
        return dialog

    def check_settings_drawn_whole(self, dialog, picture):
        """Inside each group box the skin shows through: no dark area where nothing was painted,
        and no label standing on a patch of another colour."""
        origin = dialog["rect"]
        children = [w for w in self.bed.windows(children=True) if w["parent"] == dialog["hwnd"]]
        boxes = [w for w in children if w["class"] == "Button" and w["style"] & 0xF == BS_GROUPBOX]
        self.assertEqual(len(boxes), 3)
        for box in boxes:
            r = box["rect"]
            inner = (r["left"] - origin["left"] + 6, r["top"] - origin["top"] + (r["bottom"] - r["top"]) // 3,
                     r["right"] - origin["left"] - 6, r["bottom"] - origin["top"] - 6)
            self.assertLess(dark_share(picture, *inner), 0.15, f"group box {box['id']} left unpainted")
            inside = [w for w in children if w["class"] == "Static" and r["left"] <= w["rect"]["left"]
                      and w["rect"]["right"] <= r["right"] and r["top"] <= w["rect"]["top"]
                      and w["rect"]["bottom"] <= r["bottom"]]
            prompt = min(inside, key=lambda w: w["rect"]["top"])  # "请输入…", ending in blank skin
            x, y = prompt["rect"]["right"] - origin["left"], prompt["rect"]["top"] - origin["top"] + 1
            inside, beside = pixel(picture, x - 2, y), pixel(picture, x + 2, y)
            self.assertTrue(all(abs(a - b) <= 8 for a, b in zip(inside, beside)),
                            f"label {prompt['id']} on a patch: {inside} beside {beside}")

    def test_skinned_windows_draw_whole_at_100_and_150_percent(self):
        for dpi in (96, 144):
            with self.subTest(dpi=dpi):
                if dpi != self.bed.dpi:
                    self.bed.set_dpi(dpi)
                    self.addCleanup(self.bed.set_dpi, 96)
                    self.launch()
                self.login("1服-a-Player")
                dialog = self.open_settings()
                picture = self.bed.window_screenshot(dialog["hwnd"], f"mainwnd-settings-{dpi}.png")
                self.check_settings_drawn_whole(dialog, picture)
                self.answer(dialog, 2)
                self.wait_for(lambda: not self.window(dialog["hwnd"]), "the settings dialog to close")

                # The title band keeps its one-line label, and the choice drops down under it
                # at the skin's size with both answers inside it.
                rect = self.window(self.main["hwnd"])["rect"]
                label = next(w for w in self.bed.windows(children=True)
                             if w["parent"] == self.main["hwnd"] and w["class"] == "Static")
                self.assertEqual(label["rect"]["bottom"] - label["rect"]["top"], 16)
                self.bed.xdotool("mousemove", label["rect"]["left"] + 60, label["rect"]["top"] + 8)
                self.bed.xdotool("click", "1")
                choice = self.wait_for(lambda: next((w for w in self.bed.windows() if w["title"] == "登录其他账号"
                                                     and w["visible"] and w["pid"] == self.main["pid"]), None),
                                       "the add-account choice")
                c = choice["rect"]
                self.assertEqual((c["right"] - c["left"], c["bottom"] - c["top"], c["top"]),
                                 (284, 150, rect["top"] + 23))
                answers = [w for w in self.bed.windows(children=True) if w["parent"] == choice["hwnd"]
                           and w["class"] == "Button"]
                self.assertEqual(len(answers), 2)
                for a in answers:
                    self.assertTrue(c["left"] <= a["rect"]["left"] and a["rect"]["right"] <= c["right"]
                                    and c["top"] <= a["rect"]["top"] and a["rect"]["bottom"] <= c["bottom"], a)
                time.sleep(0.5)
                self.bed.screenshot(f"mainwnd-add-account-{dpi}.png")
                self.answer(choice, 2)
                self.wait_for(lambda: not self.window(choice["hwnd"])["visible"], "the choice to close")

    def menu_items(self, which, opening, screenshot=None):
        """Opens a menu by posting `opening` to the main window; its items as the launcher read
        them back from it (Wine keeps menus per process: the probe only sees that one is open)."""
        before = len([e for e in self.trace_events() if e.startswith("menu ")])
        self.bed.probe("post", self.main["hwnd"], *opening)
        self.bed.probe("menu", "--timeout", "10000")
        if screenshot:
            self.bed.screenshot(screenshot)
        lines = self.wait_for(lambda: [e for e in self.trace_events() if e.startswith("menu ")][before:],
                              "the menu's trace line")
        self.bed.xdotool("key", "Escape")
        self.wait_for(lambda: not [w for w in self.bed.windows() if w["class"] == "#32768" and w["visible"]],
                      "the menu to close")
        parts = lines[0].split("|")
        self.assertEqual(parts[0], f"menu {which}")
        return [("", True) if p == "-" else (p, False) for p in parts[1:]]

    def test_system_and_tray_menus(self):
        self.login("1服-a-Player")
        system = self.menu_items("system", (WM_COMMAND, 1003, 0), "mainwnd-system-menu.png")
        common = [("刷新 (F5)", False), ("隐藏/恢复(F10)", False), ("清除缓存", False), ("", True),
                  ("更新", False), ("设置...", False)]
        self.assertEqual(system, common + [("版本号: 3.0.0.1", False)])
        # A right-button release on the tray icon.
        self.assertEqual(self.menu_items("tray", (WM_USER + 1, 1, 0x205)), common + [("退出", False)])

        # The boss key as stored now.
        with open(self.state_ini, "w", encoding="utf-16") as f:
            f.write("[Tamsolo]\r\nShortKey=6,65\r\n")
        self.assertEqual(self.menu_items("system", (WM_COMMAND, 1003, 0))[1], ("隐藏/恢复(Ctrl  +  Shift  +  A)", False))



class MainWindowCommands(Driver, NetTestCase):
    """Menu commands that reach the operator or a worker."""

    def setUp(self):
        super().setUp()
        self.launch()

    def test_clear_cache_with_three_pages_running(self):
        pages = self.pages(3)
        for n, (pid, _) in enumerate(pages):
            self.assertEqual(self.bed.probe("copydata", self.control_of(pid)["hwnd"], 5,
                                            f"http://127.0.0.1/game/WMainLoader.swf?username=p{n}")[0]["result"], 1)
        flash = os.path.join(self.bed.drive_c, "users", self.bed.user_name(), "AppData", "Roaming", "Macromedia",
                             "Flash Player", "#SharedObjects")
        cleared, left = "缓存清除完毕！", "部分缓存未能清除，请关闭游戏页面后再试。"
        cases = [
            ("only what the running pages hold stays", False, cleared),
            ("a file the player may not delete stays", True, left),
        ]
        for what, undeletable, text in cases:
            with self.subTest(what):
                if undeletable:
                    self.undeletable_file(os.path.join(flash, "ZZZZ", "kept.sol"))
                self.choose(3)
                box = self.wait_message_box(text)
                self.answer(box, SKINNED_FIRST)
                self.wait_for(lambda: not self.window(box["hwnd"]), "the message box to close")
        self.exit_asking()  # the pages let go of what they hold

    def undeletable_file(self, path):
        """A read-only file that nobody holds and even its owner cannot delete: Wine runs as
        root here, so only the file system's immutable flag keeps it."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"kept")
        os.chmod(path, 0o444)
        if subprocess.run(["chattr", "+i", path], capture_output=True).returncode != 0:
            self.skipTest("the file system here has no immutable flag")
        self.addCleanup(subprocess.run, ["chattr", "-i", path], capture_output=True)

    def test_update_tells_a_failed_check_from_no_update(self):
        own_key = md5_of(self.exe)[:32 - len(VERSION_TAIL)] + VERSION_TAIL
        config = f"[VerKey]\r\nTamsolo={own_key}\r\nUpdAddr=http://127.0.0.1/x.exe\r\n".encode()
        portal = b"<html><head><title>Hotel Wi-Fi</title></head><body><form>Room <input name=r></form></body></html>"
        cases = [
            ("the configuration is missing (404)", "404", None, UPDATE_FAILED),
            ("a server error", "500", None, UPDATE_FAILED),
            ("a captive portal's page in its place", "ok", portal, UPDATE_FAILED),
            ("the configuration names this version", "ok", config, UP_TO_DATE),
        ]
        said = lambda: [e for e in self.trace_events() if e.startswith("message-box ")]  # noqa: E731
        self.login("1服-a-Player")
        for what, mode, data, text in cases:
            with self.subTest(what):
                before = len(said())
                self.serve(CONFIG, mode=mode, data=data)
                self.choose(4)
                self.wait_for(lambda: len(said()) > before, "the check's answer")
                self.assertEqual(said()[-1], "message-box " + text)
                box = self.wait_message_box(text)
                self.answer(box, SKINNED_FIRST)
                self.wait_for(lambda: not self.window(box["hwnd"]), "the message box to close")
                self.assertTrue(self.app.running())
        self.assertEqual(said(), ["message-box " + c[3] for c in cases])

    def test_update_against_a_silent_server_leaves_the_launcher_and_its_keys_working(self):
        self.serve(CONFIG, "stall", delay="15")
        pid, _ = self.login("1服-a-Player")
        main = self.main["hwnd"]
        self.add_account()
        waiting = self.new_page_process()
        self.choose(4)
        self.wait_requests(CONFIG, 1)  # the check waits for its answer now
        answers = lambda: self.bed.probe("send", main, WM_NULL, 0, 0, "--timeout", "1000")  # noqa: E731
        answers()  # fails the test unless the window answers within a second
        self.choose(4)                 # a second "更新" meanwhile does nothing
        self.login("2服-b-Other", waiting)  # and a login finishing meanwhile is taken
        deadline = time.time() + 60
        while f"message-box {UPDATE_FAILED}" not in self.trace_events():
            self.assertLess(time.time(), deadline, "the check never ended")
            answers()
            time.sleep(0.2)
        box = self.wait_message_box(UPDATE_FAILED)
        self.bed.screenshot("mainwnd-update-failed.png")
        self.answer(box, SKINNED_FIRST)
        self.wait_for(lambda: not self.window(box["hwnd"]), "the message box to close")
        self.assertEqual(len(self.requests(CONFIG)), 1)
        self.assertEqual([e for e in self.trace_events() if e.startswith("message-box ")],
                         [f"message-box {UPDATE_FAILED}"])

        # The keyboard hook survived: F10 hides the launcher and brings it back.
        self.boss_key_hides_and_restores(main)

    def test_update_with_a_new_version_hands_over_to_the_updater(self):
        config = f"[VerKey]\r\nTamsolo={'0' * 28}3002\r\nUpdAddr={self.base}/none.exe\r\n".encode()
        self.serve(CONFIG, data=config)
        self.login("1服-a-Player")
        self.choose(4)
        self.app.wait(timeout=30)  # the main window hands over and ends

        def updater():
            for pid in dict.fromkeys(e["pid"] for e in self.bed.read_trace()):
                entries = [e for e in self.bed.read_trace() if e["pid"] == pid]
                if entries[0]["mode"] == 5:
                    return entries
            return None
        entries = self.wait_for(updater, "the updater process")
        self.assertEqual(entries[0]["event"], SHOWN_NORMALLY)
        self.assertEqual(creation_flags(self.app.output(), "Tamsolo.exe")[:1], [IDLE_PRIORITY_CLASS])


if __name__ == "__main__":
    unittest.main()
