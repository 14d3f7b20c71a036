"""The road of one typical start, driven across real processes under Wine: a downloaded copy
installs itself and starts the installed launcher; its first page process shows the login; the
player signs in (through the test build's browser channel, since Wine has no HTML engine and
cannot run the login page's script); a second account comes through the add-account choice and
a third as a further tab (the operator's notice comes in between, 30 s after the first page); the
tabs, the system menu and the boss key are used; the launcher is closed and asks first; nothing is left
running.

Used by tools/run.sh (a screenshot of every step) and by tests/e2e/test_typical_start.py (the
same road with its checks). Needs the test build (testbin/Tamsolo.exe) for the channel."""

import os
import shutil
import subprocess
import time

TITLE = "kelvra - Brennic"

def _sandbox():
    """The sandbox address compiled into the build of TAMSOLO_BUILD_DIR (build/mingw by default)."""
    import testbed  # beside this file
    build_dir = os.environ.get("TAMSOLO_BUILD_DIR") or os.path.join(
        os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "build", "mingw")
    return testbed.Testbed(build_dir).sandbox_url()


SANDBOX = _sandbox()
LOGIN = SANDBOX + "/controller/client.php?game_id=232"
GAME = SANDBOX + "/game.php?s=12"
INSTALL_DIR = r"C:\ProgramData\Kelvra\GameLogin"

WM_COMMAND, WM_SYSCOMMAND, WM_USER = 0x0111, 0x0112, 0x0400
SC_CLOSE = 0xF060
IDOK = 1
SKINNED_FIRST = 5000  # "是" of the skinned message box
CHANNEL_NAVIGATE, CHANNEL_COMPLETE, CHANNEL_TITLE = 1, 2, 3
WS_VISIBLE = 0x10000000
WS_EX_TOPMOST = 0x8
NOTICE_DELAY = 30  # seconds from the first page's registration to the operator's notice


def loadgame(account, server="S12", middle="《x》abcdefg"):
    """The page command the platform's login page navigates to once an account signed in."""
    return f"app://loadgame?{server}服-{middle}-{account}|{GAME}?u={account}"


class RoadError(Exception):
    pass


class TypicalStart:
    """One walk along the road. shot(name) is called at every step worth a picture; the
    walk's findings are kept in self.seen for whoever checks them."""

    def __init__(self, bed, exe, shot=lambda name: None, log=print):
        self.bed = bed
        self.exe = exe
        self.shot = shot
        self.log = log
        self.seen = {}
        self.main = None
        self.known = set()
        self.frames = []
        self.first_registered = None

    # ------------------------------------------------------------ looking

    def wait_for(self, what, describe, timeout=40, interval=0.3):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = what()
            if value:
                return value
            time.sleep(interval)
        raise RoadError(f"timed out waiting for {describe}")

    def all_windows(self):
        return self.bed.windows(children=True)

    def window(self, hwnd):
        return next((w for w in self.all_windows() if w["hwnd"] == hwnd), None)

    def launchers(self):
        return [w for w in self.all_windows() if w["title"] == TITLE and w["class"] == "#32770"
                and w["owner"] == 0 and w["parent"] == 0]

    def new_login(self):
        """The login background of a page process not seen yet and its page."""
        def find():
            ws = self.all_windows()
            for bk in ws:
                if bk["owner"] == self.main and bk["title"] == TITLE and bk["class"] == "#32770" \
                        and bk["hwnd"] not in self.known:
                    page = next((w for w in ws if w["owner"] == bk["hwnd"] and w["class"] == "#32770"), None)
                    if page:
                        return bk, page
            return None
        bk, page = self.wait_for(find, "a login background with its page", timeout=60)
        self.known.add(bk["hwnd"])
        return bk, page

    def channel(self, hwnd, command, text):
        """Asks the browser inside hwnd (a page dialog, or a frame and its view) to act as the
        page's script would, or to raise what Wine cannot."""
        def find():
            ws = self.all_windows()
            inside = {hwnd} | {w["hwnd"] for w in ws if w["parent"] == hwnd}
            return next((w for w in ws if w["class"] == "TamsoloBrowserTest" and w["parent"] in inside), None)
        target = self.wait_for(find, f"the browser channel under {hwnd}")
        # A page process's first navigation can hold its thread for seconds under Wine.
        self.bed.probe("copydata", target["hwnd"], command, text, "--timeout", 40000, timeout=90)

    def new_frame(self):
        def find():
            return next((w for w in self.all_windows() if w["parent"] == self.main and w["class"] == "TamsoloWnd"
                         and w["title"] == TITLE and w["hwnd"] not in self.frames), None)
        frame = self.wait_for(find, "a game frame inside the main window")
        self.frames.append(frame["hwnd"])
        return frame["hwnd"]

    def main_rect(self):
        return self.window(self.main)["rect"]

    def click(self, x, y, button=1):
        self.bed.xdotool("mousemove", x, y)
        time.sleep(0.3)
        self.bed.xdotool("click", button)

    # ------------------------------------------------------------ the road

    def start(self):
        """The player runs the downloaded copy: it installs itself and starts the installed one."""
        downloads = os.path.join(self.bed.drive_c, "users", self.bed.user_name(), "Downloads")
        os.makedirs(downloads, exist_ok=True)
        copy = os.path.join(downloads, "Tamsolo.exe")
        shutil.copy2(self.exe, copy)
        installed = os.path.join(self.bed.to_linux(INSTALL_DIR), "Tamsolo.exe")
        if os.path.exists(installed):
            os.remove(installed)
        self.log("1. the downloaded copy installs itself and starts the installed launcher")
        self.bed.run(copy, [], timeout=120)
        main = self.wait_for(lambda: self.launchers(), "the main window of the installed launcher", timeout=60)[0]
        self.main = main["hwnd"]

    def sign_in(self, account, step):
        bk, page = self.new_login()
        self.channel(page["hwnd"], CHANNEL_TITLE, "")  # answers once the page's thread is free
        if step == 1:
            # What the player sees of the launcher itself while the first login is up.
            main = self.window(self.main)
            r = main["rect"]
            self.seen["main_during_first_login"] = (main["visible"], (r["right"] - r["left"], r["bottom"] - r["top"]))
            self.shot("01-login-background")
        self.channel(page["hwnd"], CHANNEL_COMPLETE, LOGIN)
        self.wait_for(lambda: (self.window(page["hwnd"]) or {}).get("style", 0) & WS_VISIBLE, "the login page")
        if step == 1:
            self.shot("02-login-page")
        self.log(f"   {account} signs in")
        self.channel(page["hwnd"], CHANNEL_NAVIGATE, loadgame(account))
        frame = self.new_frame()
        if self.first_registered is None:
            self.first_registered = time.time()
        self.channel(frame, CHANNEL_TITLE, f"Brennic 12服 {account}")
        self.channel(frame, CHANNEL_COMPLETE, f"{GAME}?u={account}")
        self.wait_for(lambda: (self.window(frame) or {}).get("style", 0) & WS_VISIBLE, "the game frame in place")
        return frame

    def first_account(self):
        self.log("2. the login page; the first account signs in and becomes the first tab")
        self.sign_in("player1", 1)
        self.wait_for(lambda: self.window(self.main)["visible"], "the main window to show itself")
        time.sleep(1)
        self.shot("03-first-tab")

    def second_account(self):
        self.log("4. 登录其他账号: the add-account choice, 是: a second tab")
        r = self.main_rect()
        width = r["right"] - r["left"]
        self.click(r["left"] + width - 285 + 45, r["top"] + 14)

        def popup():
            return next((w for w in self.all_windows() if w["owner"] == self.main and w["visible"]
                         and w["title"] == "登录其他账号" and w["class"] == "#32770"
                         and w["rect"]["right"] - w["rect"]["left"] == 284), None)
        choice = self.wait_for(popup, "the add-account choice")
        self.seen["add_account_size"] = (choice["rect"]["right"] - choice["rect"]["left"],
                                         choice["rect"]["bottom"] - choice["rect"]["top"])
        time.sleep(0.5)
        self.shot("05-add-account")
        self.bed.probe("post", choice["hwnd"], WM_COMMAND, IDOK, 0)
        self.sign_in("player2", 2)
        time.sleep(1)
        self.shot("06-two-tabs")

    def third_account(self):
        self.log("5. a third account as a further tab; a tab hovered")
        self.bed.probe("post", self.main, WM_USER + 6, 1, 0)
        self.sign_in("player3", 3)
        r = self.main_rect()
        # The middle tab, away from its close button: the tooltip names its account.
        self.bed.xdotool("mousemove", r["left"] + 120 + 189 + 60, r["top"] + 14)
        time.sleep(0.3)
        self.bed.xdotool("mousemove", r["left"] + 120 + 189 + 70, r["top"] + 15)
        time.sleep(1.5)
        self.shot("07-three-tabs")

    def notice(self):
        self.log("3. the operator's notice, 30 s after the first page")

        pid = self.window(self.main)["pid"]

        def shown():
            # The launcher's own topmost pop-up with a size (the notice is laid out before it shows).
            return next((w for w in self.bed.windows() if w["owner"] == self.main and w["pid"] == pid
                         and w["visible"] and w["class"] == "#32770" and w["exstyle"] & WS_EX_TOPMOST
                         and w["rect"]["right"] > w["rect"]["left"]
                         and w["title"] not in (TITLE, "登录其他账号")), None)
        # It stays for 11 s and comes again only 40 minutes later, so the walk waits for it right
        # after the first page: a slower sign-in of a further account could outlast its showing.
        wait = max(10, self.first_registered + NOTICE_DELAY + 30 - time.time())
        notice = self.wait_for(shown, "the operator's notice", timeout=wait)
        self.seen["notice_rect"] = notice["rect"]
        self.log(f"   the notice at {notice['rect']}")
        time.sleep(0.5)
        self.shot("04-notice")

    def system_menu(self):
        self.log("6. the system menu under 系统")
        r = self.main_rect()
        width = r["right"] - r["left"]
        self.click(r["left"] + width - 185 + 22, r["top"] + 14)
        time.sleep(1)
        self.shot("08-system-menu")
        self.bed.xdotool("key", "Escape")
        time.sleep(0.5)

    def boss_key(self):
        self.log("7. F10 hides the launcher, F10 brings it back")
        self.bed.xdotool("key", "F10")
        self.wait_for(lambda: not self.window(self.main)["visible"], "the boss key to hide the launcher")
        self.seen["hidden_by_boss_key"] = True
        self.shot("09-boss-key-hidden")
        # Wine hears keys only through a window of its own: the X focus goes to one that is
        # still shown (the launcher's hook itself sees every key, as on Windows).
        try:
            tray = self.bed.xdotool("search", "--name", "Wine System Tray").split()
            if tray:
                self.bed.xdotool("windowfocus", tray[0])
        except subprocess.CalledProcessError:
            pass
        self.bed.xdotool("key", "F10")
        self.wait_for(lambda: self.window(self.main)["visible"], "the boss key to bring the launcher back")
        self.seen["restored_by_boss_key"] = True
        time.sleep(0.5)

    def exit(self):
        self.log("8. closing the launcher asks first; 是 ends it and every page process")
        self.bed.probe("post", self.main, WM_SYSCOMMAND, SC_CLOSE, 0)

        def question():
            return next((w for w in self.bed.windows() if w["title"] == TITLE and w["visible"]
                         and w["hwnd"] != self.main and w["owner"] == self.main), None)
        box = self.wait_for(question, "the exit question")
        time.sleep(0.5)
        self.shot("10-exit-question")
        self.bed.probe("post", box["hwnd"], WM_COMMAND, SKINNED_FIRST, 0)
        self.wait_for(lambda: not self.launchers(), "the main window to go")
        self.wait_for(lambda: not [w for w in self.all_windows() if w["hwnd"] in self.frames], "every frame to go",
                      timeout=10)
        self.shot("11-after-exit")

    def walk(self):
        self.start()
        self.first_account()
        self.notice()
        self.second_account()
        self.third_account()
        self.system_menu()
        self.boss_key()
        self.exit()
