"""The game-hall download from a real "entergame" in a page process: the question, then the
download dialog against the sandbox, which starts the test installer (hallsetup.exe records
its command line in the prefix's temporary folder) or reports its failure in its title.

It drives the page process with the helpers of test_pageprocess.py and is skipped while that
file (the page process's own scenarios) is not in the tree."""

import json
import os
import unittest
import urllib.parse
import urllib.request

from bedcase import BUILD_DIR, SANDBOX, BedTestCase

try:
    import test_pageprocess as pp
except ImportError:  # the page process is not built yet
    pp = None

WM_COMMAND = 0x0111
WM_SYSCOMMAND = 0x0112
SC_CLOSE = 0xF060
IDOK = 1
HALL = "gamehall"
HALL_ID = "Gamehall"  # the page process capitalises the name before it asks for the files


def control(endpoint, /, **query):
    url = SANDBOX + endpoint + ("?" + urllib.parse.urlencode(query) if query else "")
    with urllib.request.urlopen(url, timeout=10) as r:
        return r.read()


@unittest.skipIf(pp is None, "the page process's scenarios (test_pageprocess.py) are not in the tree")
class GameHallDownload(BedTestCase):
    if pp is not None:
        start_owner = pp.PageProcess.start_owner
        start_page = pp.PageProcess.start_page
        wait_for = pp.PageProcess.wait_for
        all_windows = pp.PageProcess.all_windows
        window = pp.PageProcess.window
        login_windows = pp.PageProcess.login_windows
        channel_of = pp.PageProcess.channel_of
        channel = pp.PageProcess.channel
        trace_events = pp.PageProcess.trace_events
        frame_of = pp.PageProcess.frame_of
        registered_frame = pp.PageProcess.registered_frame
        logged_in_frame = pp.PageProcess.logged_in_frame
        owner_log = pp.PageProcess.owner_log

    def record(self):
        return os.path.join(self.bed.drive_c, "users", self.bed.user_name(), "Temp", "tamsolo_hallsetup_ran.txt")

    def setUp(self):
        pp.PageProcess.setUp(self)
        control("/__sandbox/reset")  # each case sets what it serves and counts its own requests

    def ask_for_the_hall(self):
        if os.path.exists(self.record()):
            os.remove(self.record())
        owner, frame = self.logged_in_frame()
        self.channel(frame, pp.CHANNEL_NAVIGATE, "app://entergame|" + HALL)
        box = self.bed.wait_window(title="KelvraFerrow游戏大厅", timeout=30, visible=True)
        self.bed.probe("post", box["hwnd"], WM_COMMAND, pp.SKINNED_FIRST, 0)  # yes: download it

    def test_download_starts_the_installer(self):
        control("/__sandbox/set", path="/update/Config%s.htm" % HALL_ID, mode="ok",
                body="[VerKey]\r\nUpdAddr=%s/hall/%sSetup.exe\r\n" % (SANDBOX, HALL_ID))
        control("/__sandbox/set", path="/hall/%sSetup.exe" % HALL_ID, mode="ok",
                file=os.path.join(BUILD_DIR, "bin", "hallsetup.exe"))
        self.ask_for_the_hall()
        done = self.bed.wait_window(title="下载完成", timeout=60, visible=True)
        self.bed.screenshot("gamehall-done.png")
        self.assertTrue(self.wait_for(lambda: os.path.exists(self.record())))
        with open(self.record(), encoding="utf-8") as f:
            line = f.read().strip()
        self.assertTrue(line.startswith('"') and line.lower().endswith('\\%s.exe"' % HALL), line)
        self.bed.probe("post", done["hwnd"], WM_COMMAND, IDOK, 0)
        self.assertTrue(self.wait_for(lambda: not any(w["title"] == "下载完成" and w["visible"]
                                                      for w in self.all_windows())))

    def test_missing_configuration_fails_and_the_close_button_ends_it(self):
        control("/__sandbox/set", path="/update/Config%s.htm" % HALL_ID, mode="404")
        self.ask_for_the_hall()
        failed = self.bed.wait_window(title="下载失败", timeout=60, visible=True)
        self.bed.screenshot("gamehall-failed.png")
        self.bed.probe("post", failed["hwnd"], WM_SYSCOMMAND, SC_CLOSE, 0)
        self.assertTrue(self.wait_for(lambda: not any(w["title"] == "下载失败" and w["visible"]
                                                      for w in self.all_windows())))
        requests = json.loads(control("/__sandbox/requests"))
        self.assertFalse(any(r["path"] == "/hall/%sSetup.exe" % HALL_ID for r in requests))
        self.assertFalse(os.path.exists(self.record()))


if __name__ == "__main__":
    unittest.main()
