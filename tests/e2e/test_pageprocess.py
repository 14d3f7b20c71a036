"""The page process: the login background and page, the page commands, the game frame inside
its owner, and what the frame does for the main window.

Wine has no HTML engine, so the test build's browser channel (a hidden "TamsoloBrowserTest"
child beside each browser) stands in for the page's script: it navigates the real control
(which raises BeforeNavigate2) and raises navigate-complete and title changes. A stand-in
main window (fakeowner.exe) logs what the page process sends it."""

import os
import re
import shutil
import subprocess
import time
import unittest

from bedcase import SANDBOX, BedTestCase

WM_CLOSE = 0x0010
WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
WM_KEYDOWN = 0x0100
WM_CHAR = 0x0102
SC_CLOSE = 0xF060
VK_F5 = 0x74
IDOK = 1
SKINNED_FIRST = 5000
WS_VISIBLE = 0x10000000
WS_CHILD = 0x40000000
WS_EX_TOOLWINDOW = 0x80
WS_EX_LAYERED = 0x80000
CHANNEL_NAVIGATE, CHANNEL_COMPLETE, CHANNEL_TITLE = 1, 2, 3
TITLE = "kelvra - Brennic"
LOGIN = SANDBOX + "/controller/client.php?game_id=232"
GAME = SANDBOX + "/game.php?s=12"
LOADGAME = "app://loadgame?S12服-《x》abcdefg-player1|" + GAME
PICTURE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res", "png", "129.png")


def pixel(path, x, y):
    out = subprocess.run(["convert", f"{path}[1x1+{x}+{y}]", "-depth", "8", "txt:-"], check=True,
                         capture_output=True, text=True, timeout=60).stdout
    m = re.search(r"\((\d+),(\d+),(\d+)(?:,(\d+))?\)", out.splitlines()[-1])
    return tuple(int(v) for v in m.groups() if v is not None)


class PageProcess(BedTestCase):
    def setUp(self):
        self.bed.clear_trace()
        self.log = os.path.join(self.bed.drive_c, "pageowner.log")
        if os.path.exists(self.log):
            os.remove(self.log)

    # ------------------------------------------------------------ helpers

    def start_owner(self, reply=1):
        self.owner = self.start(self.bed.bin("fakeowner"), [self.bed.to_windows(self.log), "300", str(reply)])
        self.owner_wnd = self.bed.wait_window(title="fakeowner", timeout=30)
        return self.owner_wnd["hwnd"]

    def start_page(self, *args):
        return self.start(self.bed.test_exe(), list(args))

    def owner_log(self):
        try:
            with open(self.log, encoding="utf-8") as f:
                return f.read().splitlines()
        except OSError:
            return []

    def wait_for(self, what, timeout=20, interval=0.2):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = what()
            if value:
                return value
            time.sleep(interval)
        return what()

    def all_windows(self):
        return self.bed.windows(children=True)

    def window(self, hwnd):
        return next((w for w in self.all_windows() if w["hwnd"] == hwnd), None)

    def login_windows(self, owner):
        """The background (owned by the main window) and the page (owned by the background)."""
        def find():
            ws = self.all_windows()
            bk = next((w for w in ws if w["owner"] == owner and w["title"] == TITLE and w["class"] == "#32770"), None)
            if not bk:
                return None
            page = next((w for w in ws if w["owner"] == bk["hwnd"] and w["class"] == "#32770"), None)
            return (bk, page) if page else None
        found = self.wait_for(find, timeout=30)
        if not found:
            proc = getattr(self, "proc", None)
            self.fail(f"no login background with its page; page process running: "
                      f"{proc.running() if proc else None}; last trace lines: {self.trace_events()[-12:]}; "
                      f"windows of the owner: {[(w['class'], w['title']) for w in self.all_windows() if w['owner'] == owner]}")
        # The page's first navigation may hold the process's thread under Wine; once the
        # channel answers, the windows are in place.
        self.channel(found[1]["hwnd"], CHANNEL_TITLE, "")
        ws = self.all_windows()
        return tuple(next(w for w in ws if w["hwnd"] == f["hwnd"]) for f in found)

    def channel_of(self, hwnd):
        """The channel of the browser in hwnd (a page dialog) or in its view (the frame)."""
        def find():
            ws = self.all_windows()
            inside = {hwnd} | {w["hwnd"] for w in ws if w["parent"] == hwnd}
            return next((w for w in ws if w["class"] == "TamsoloBrowserTest" and w["parent"] in inside), None)
        found = self.wait_for(find)
        self.assertTrue(found, f"no browser channel under {hwnd}")
        return found["hwnd"]

    def channel(self, hwnd, command, text):
        # Under Wine a navigation the page process starts itself can hold its thread for
        # seconds; the channel answers once it is free.
        self.bed.probe("copydata", self.channel_of(hwnd), command, text, "--timeout", 40000, timeout=90)

    def trace_events(self):
        return [e["event"] for e in self.bed.read_trace()]

    def frame_of(self, owner):
        def find():
            return next((w for w in self.all_windows() if w["title"] == TITLE and w["class"] == "TamsoloWnd"
                         and w["parent"] == owner), None)
        return self.wait_for(find, timeout=30)

    def registered_frame(self):
        line = self.wait_for(lambda: next((l for l in self.owner_log() if l.startswith("WM_USER+2 ")), None))
        self.assertTrue(line, f"the frame never registered: {self.owner_log()}")
        m = re.match(r"WM_USER\+2 wparam=(\d+) lparam=(\d+)", line)
        return int(m.group(1)), int(m.group(2))

    def logged_in_frame(self):
        """A page process past its login with the example account; its frame."""
        owner = self.start_owner()
        self.proc = self.start_page("/newgm", f"/{owner}", "/0")
        _, page = self.login_windows(owner)
        self.channel(page["hwnd"], CHANNEL_NAVIGATE, LOADGAME)
        frame, _ = self.registered_frame()
        return owner, frame

    # ------------------------------------------------------------ login

    def test_login_background_shows_its_picture_and_the_page_follows_navigate_complete(self):
        owner = self.start_owner()
        self.start_page("/newgm", f"/{owner}", "/0")
        bk, page = self.login_windows(owner)
        self.assertEqual((bk["rect"]["right"] - bk["rect"]["left"], bk["rect"]["bottom"] - bk["rect"]["top"]),
                         (888, 518), "the background takes the picture's size")
        self.assertTrue(bk["exstyle"] & WS_EX_LAYERED)
        self.assertEqual((page["rect"]["left"] - bk["rect"]["left"], page["rect"]["top"] - bk["rect"]["top"]),
                         (271, 83), "the page sits at its offset over the background")
        self.assertTrue(page["exstyle"] & WS_EX_TOOLWINDOW and page["exstyle"] & WS_EX_LAYERED)
        self.assertTrue(self.window(owner)["enabled"], "the main window stays usable during a login")

        # The picture with its own alpha: opaque pixels exactly, the transparent corner not drawn.
        shot = self.bed.screenshot("pageprocess-login-background.png")
        x0, y0 = bk["rect"]["left"], bk["rect"]["top"]
        for px, py in ((150, 170), (440, 60), (200, 400)):
            want = pixel(PICTURE, px, py)
            self.assertEqual(want[3], 255)
            got = pixel(shot, x0 + px, y0 + py)
            for a, b in zip(got, want[:3]):
                self.assertLessEqual(abs(a - b), 3, f"pixel {px},{py}: {got} != {want}")
        self.assertNotEqual(pixel(shot, x0 + 2, y0 + 2), pixel(shot, x0 + 150, y0 + 170))

        self.channel(page["hwnd"], CHANNEL_COMPLETE, LOGIN)
        shown = self.wait_for(lambda: self.window(page["hwnd"])["style"] & WS_VISIBLE)
        self.assertTrue(shown, "navigate-complete shows the login page")
        self.bed.screenshot("pageprocess-login-page.png")

    def test_loadgame_registers_the_account_and_the_frame_moves_into_the_owner(self):
        owner, frame = self.logged_in_frame()
        self.assertIn("COPYDATA-TEXT 12服-abcd-player1", self.owner_log())
        self.assertIn("WM_COPYDATA wparam=0 lparam=34", self.owner_log(), "16 characters and the terminator")
        self.assertEqual(self.registered_frame()[1], 0, "a game page is not the game-list page")
        info = self.wait_for(lambda: self.frame_of(owner))
        self.assertTrue(info, "the frame is not a child of the owner")
        self.assertEqual(info["hwnd"], frame)
        self.assertTrue(info["style"] & WS_CHILD)

        # Its first navigate-complete puts it into the owner's content area.
        self.channel(frame, CHANNEL_COMPLETE, GAME)
        placed = self.wait_for(lambda: self.window(frame)["style"] & WS_VISIBLE)
        self.assertTrue(placed)
        info, ow = self.window(frame), self.window(owner)
        client_left = ow["rect"]["left"] + (ow["rect"]["right"] - ow["rect"]["left"] - ow["client"]["width"]) // 2
        self.assertEqual(info["rect"]["right"] - info["rect"]["left"], ow["client"]["width"] - 8)
        self.assertEqual(info["rect"]["bottom"] - info["rect"]["top"], ow["client"]["height"] - 34)
        self.assertEqual(info["rect"]["left"] - client_left, 4)
        self.bed.screenshot("pageprocess-frame-in-owner.png")

    def test_refused_account_shows_the_duplicate_message_and_ends(self):
        owner = self.start_owner(reply=0)
        proc = self.start_page("/newgm", f"/{owner}", "/0")
        _, page = self.login_windows(owner)
        self.channel(page["hwnd"], CHANNEL_NAVIGATE, LOADGAME)
        box = self.bed.wait_window(title=TITLE, timeout=30, visible=True, cls="#32770")
        self.bed.screenshot("pageprocess-duplicate-account.png")
        self.bed.probe("post", box["hwnd"], WM_COMMAND, SKINNED_FIRST, 0)
        proc.wait(timeout=30)
        closed = f"WM_SYSCOMMAND wparam={SC_CLOSE} lparam=5171"
        self.assertTrue(self.wait_for(lambda: closed in self.owner_log()), self.owner_log())
        self.assertFalse(any(l.startswith("WM_USER+2") for l in self.owner_log()))

    def test_owner_that_is_gone_is_never_told_of_a_duplicate(self):
        owner = self.start_owner()
        proc = self.start_page("/newgm", f"/{owner}", "/0")
        _, page = self.login_windows(owner)
        channel = self.channel_of(page["hwnd"])
        self.owner.stop()
        self.bed.probe("copydata", channel, CHANNEL_NAVIGATE, LOADGAME)
        proc.wait(timeout=30)  # no message box waits for an answer
        self.assertNotIn("game-frame", self.trace_events())

    def test_killing_the_owner_at_the_login_ends_the_page_process(self):
        cases = [("the login page", 1, None), ("a message box over the login", 0, LOADGAME)]
        for what, reply, url in cases:
            with self.subTest(what):
                owner = self.start_owner(reply)
                proc = self.start_page("/newgm", f"/{owner}", "/0")
                bk, page = self.login_windows(owner)
                if url:  # the account is refused: the page process shows its own message box
                    self.channel(page["hwnd"], CHANNEL_NAVIGATE, url)
                    box = self.wait_for(lambda: next((w for w in self.bed.windows() if w["title"] == TITLE
                                                      and w["visible"] and w["owner"] == 0
                                                      and w["pid"] == bk["pid"]), None), timeout=30)
                    self.assertTrue(box, "no message box")
                self.owner.stop()
                gone = time.time()
                proc.wait(timeout=30)
                self.assertLess(time.time() - gone, 2.0)

    def test_exitgame_and_overlong_login_end_the_login(self):
        for url in ("app://exitgame", "app://loadgame?" + "a" * 600 + "|" + GAME):
            with self.subTest(url=url[:30]):
                if os.path.exists(self.log):
                    os.remove(self.log)
                owner = self.start_owner()
                proc = self.start_page("/newgm", f"/{owner}", "/0")
                _, page = self.login_windows(owner)
                self.channel(page["hwnd"], CHANNEL_NAVIGATE, url)
                proc.wait(timeout=30)
                closed = f"WM_SYSCOMMAND wparam={SC_CLOSE} lparam=5171"
                log = self.wait_for(lambda: closed in self.owner_log() and self.owner_log())
                self.assertIn(closed, log)
                self.assertFalse(any(l.startswith("WM_COPYDATA") for l in log), "nothing was registered")
                self.owner.stop()

    def test_minimize(self):
        # With pages already open the login is given up; without, the owner folds (no UAC here).
        owner = self.start_owner()
        proc = self.start_page("/newgm", f"/{owner}", "/2")
        _, page = self.login_windows(owner)
        self.channel(page["hwnd"], CHANNEL_NAVIGATE, "app://minimize")
        proc.wait(timeout=30)
        self.owner.stop()

        owner = self.start_owner()
        self.start_page("/newgm", f"/{owner}", "/0")
        _, page = self.login_windows(owner)
        self.channel(page["hwnd"], CHANNEL_NAVIGATE, "app://minimize")
        self.assertTrue(self.wait_for(lambda: self.window(owner)["iconic"]), "the owner was not minimized")

    # ------------------------------------------------------------ the game frame

    def test_frame_mutes_once_per_change_refreshes_and_saves_favourites(self):
        owner, frame = self.logged_in_frame()
        self.channel(frame, CHANNEL_COMPLETE, GAME)
        for flag in (1, 1, 0, 0, 1):
            self.bed.probe("send", frame, "WM_USER+5", flag, 0)
        self.assertEqual([e for e in self.trace_events() if e.startswith("mute")], ["mute 1", "mute 0", "mute 1"])

        self.bed.probe("post", frame, WM_KEYDOWN, VK_F5, 5171)
        self.assertTrue(self.wait_for(lambda: "refresh" in self.trace_events()))

        # Ctrl+D: the favourites dialog with the page's title; saved under a Chinese name.
        self.channel(frame, CHANNEL_TITLE, "Brennic 12服")
        self.bed.probe("post", frame, WM_CHAR, 4, 0x00200001)
        dialog = self.bed.wait_window(title="添加收藏", timeout=30, visible=True)
        edit = next(w for w in self.all_windows() if w["parent"] == dialog["hwnd"] and w["id"] == 1018)
        self.assertEqual(self.bed.probe("gettext", edit["hwnd"])[0]["text"], "Brennic 12服")
        self.assertTrue(self.window(owner)["enabled"], "a page's dialog never disables the main window's process")
        self.bed.screenshot("pageprocess-favourites.png")
        self.bed.probe("send", dialog["hwnd"], WM_COMMAND, IDOK, 0)
        path = os.path.join(self.bed.to_linux(self.favourites_folder()), "Brennic 12服.url")
        self.assertTrue(self.wait_for(lambda: os.path.exists(path)), path)
        with open(path, "rb") as f:
            data = f.read()
        expected = ("[DEFAULT]\r\nBASEURL=%s\r\n[{000214A0-0000-0000-C000-000000000046}]\r\n=19,2\r\n"
                    "[InternetShortcut]\r\nURL=%s\r\nIDList=\r\n" % (GAME, GAME)).encode("ascii")
        self.assertEqual(data, expected)
        os.remove(path)

        # The main window closes the tab: the frame goes and the process with it.
        self.bed.probe("post", frame, WM_SYSCOMMAND, SC_CLOSE, 0)
        self.proc.wait(timeout=30)
        self.assertIn("exit", self.trace_events())

    def favourites_folder(self):
        return rf"C:\users\{self.bed.user_name()}\Favorites"

    def test_hostile_entergame_starts_nothing(self):
        owner, frame = self.logged_in_frame()
        for url in ("app://entergame|..\\..\\windows\\notepad", "app://entergame|a b|http://x/",
                    "app://entergame|"):
            self.channel(frame, CHANNEL_NAVIGATE, url)
        self.assertTrue(self.wait_for(lambda: self.trace_events().count("entergame-refused") == 3),
                        self.trace_events())
        self.assertNotIn("entergame-start", self.trace_events())
        self.assertNotIn("entergame-ask", self.trace_events())

        # A well-formed name: the hall's program is started when it is installed, else the
        # player is asked whether to download it.
        hall_dir = self.bed.to_linux(r"C:\ProgramData\Kelvra\GameLogin")
        os.makedirs(hall_dir, exist_ok=True)
        hall = os.path.join(hall_dir, "Gamehall.exe")
        shutil.copy2(self.bed.bin("bedcheck"), hall)
        try:
            self.channel(frame, CHANNEL_NAVIGATE, "app://entergame|gamehall|" + SANDBOX + "/hall/")
            self.assertTrue(self.wait_for(lambda: "entergame-start" in self.trace_events()), self.trace_events())
        finally:
            os.remove(hall)
        self.channel(frame, CHANNEL_NAVIGATE, "app://entergame|gamehall")
        box = self.bed.wait_window(title="KelvraFerrow游戏大厅", timeout=30, visible=True)
        self.bed.screenshot("pageprocess-gamehall-question.png")
        self.bed.probe("post", box["hwnd"], WM_COMMAND, SKINNED_FIRST, 0)  # yes: the download (not built yet)
        self.assertIn("entergame-ask", self.trace_events())

    def test_killing_the_owner_ends_the_page_process_within_a_second(self):
        owner = self.start_owner()
        proc = self.start_page("/gmhall", f"/{owner}")
        frame, is_list = self.registered_frame()
        self.assertEqual(is_list, 1, "mode 7 opens the game-list page")
        # Once the page is in place (the channel answers when the first navigation is over).
        self.channel(frame, CHANNEL_COMPLETE, SANDBOX + "/webgame.htm")
        self.owner.stop()
        gone = time.time()
        self.assertTrue(self.wait_for(lambda: "exit" in self.trace_events(), timeout=10, interval=0.05),
                        self.trace_events())
        self.assertLess(time.time() - gone, 2.0)  # 800 ms ticks, and the process's own ending
        proc.wait(timeout=60)
        self.assertIn("owner-gone", self.trace_events())


class WithTheMainWindow(BedTestCase):
    """The installed launcher's own main window and the page process it starts."""

    setUp = PageProcess.setUp
    wait_for = PageProcess.wait_for
    all_windows = PageProcess.all_windows
    window = PageProcess.window
    login_windows = PageProcess.login_windows
    channel_of = PageProcess.channel_of
    channel = PageProcess.channel
    frame_of = PageProcess.frame_of

    def kill(self, image):
        self.bed.run(os.path.join(self.bed.drive_c, "windows", "system32", "taskkill.exe"), ["/f", "/im", image],
                     timeout=30)

    def test_login_to_a_tab_of_the_main_window(self):
        self.kill("Tamsolo.exe")
        folder = self.bed.to_linux(r"C:\ProgramData\Kelvra\GameLogin")
        os.makedirs(folder, exist_ok=True)
        exe = os.path.join(folder, "Tamsolo.exe")
        shutil.copy2(self.bed.test_exe(), exe)
        self.start(exe)
        self.addCleanup(self.kill, "Tamsolo.exe")

        def main_window():
            return next((w for w in self.all_windows() if w["title"] == TITLE and w["class"] == "#32770"
                         and w["owner"] == 0 and w["parent"] == 0), None)
        main = self.wait_for(main_window, timeout=30)
        self.assertTrue(main, "no main window")
        _, page = self.login_windows(main["hwnd"])
        self.channel(page["hwnd"], CHANNEL_NAVIGATE, LOADGAME)
        frame = self.frame_of(main["hwnd"])
        self.assertTrue(frame, "the frame did not become a child of the main window")
        self.channel(frame["hwnd"], CHANNEL_TITLE, "Brennic 12服")
        self.channel(frame["hwnd"], CHANNEL_COMPLETE, GAME)
        self.assertTrue(self.wait_for(lambda: self.window(frame["hwnd"])["style"] & WS_VISIBLE))
        main = self.window(main["hwnd"])
        self.assertTrue(main["visible"], "the main window shows itself on its first registration")
        info = self.window(frame["hwnd"])
        self.assertEqual(info["rect"]["right"] - info["rect"]["left"], main["client"]["width"] - 8)
        self.assertEqual(info["rect"]["bottom"] - info["rect"]["top"], main["client"]["height"] - 34)
        time.sleep(1)
        self.bed.screenshot("pageprocess-main-window-tab.png")


if __name__ == "__main__":
    unittest.main()
