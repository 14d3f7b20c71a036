"""The probe's browser commands against a page window in another process (pagedemo.exe, a
CDHtmDlgEx of the test flavour): navigate reaches the control's own BeforeNavigate2 and the
page-command filter; complete and title are raised as the control would; an address the
control cannot open leaves the notice with its retry button, never an empty window."""

import time
import unittest

from bedcase import SANDBOX, BedTestCase, testbed



class BrowserChannelTest(BedTestCase):
    def start_page(self, url=""):
        self.proc = self.start(self.bed.bin("pagedemo"), [url] if url else [])
        # The bed knows the Linux process; the probe gives the page's Windows process id.
        return self.bed.wait_window(cls="#32770", visible=True, timeout=30)

    def reported(self, line, timeout=15):
        """pagedemo prints every browser event it hears, one line each."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if line in self.proc.output().splitlines():
                return
            time.sleep(0.2)
        self.fail(f"never reported {line!r}; output {self.proc.output()!r}")

    def test_commands_reach_the_page_through_its_process(self):
        page = self.start_page()
        pid = page["pid"]
        cases = [
            ("browser-navigate", "app://loadgame?S12|x", "before app://loadgame?S12|x cancel=1"),
            ("browser-complete", SANDBOX + "/game.htm", "complete " + SANDBOX + "/game.htm"),
            ("browser-title", "游戏 一", "title 游戏 一"),
            ("browser-navigate", "javascript:void(0)", "before javascript:void(0) cancel=0"),
        ]
        for command, text, expected in cases:
            with self.subTest(command=command, text=text):
                row = self.bed.probe(command, "--pid", pid, text)[0]
                self.assertTrue(row["sent"])
                self.reported(expected)
        # Wine fails the script address too; that leaves the page as it is, with no notice over it.
        time.sleep(2)
        self.assertFalse([w for w in self.bed.probe("windows", "--children", "--pid", pid)
                          if w["class"] == "Button" and w["visible"]])

    def test_unreachable_page_shows_the_notice(self):
        page = self.start_page(SANDBOX + "/login.htm")
        self.reported("before " + SANDBOX + "/login.htm cancel=0")
        deadline = time.monotonic() + 15
        while not any(l.startswith("error " + SANDBOX) for l in self.proc.output().splitlines()):
            self.assertLess(time.monotonic(), deadline, self.proc.output())
            time.sleep(0.2)
        children = self.bed.probe("windows", "--children", "--pid", page["pid"])
        buttons = [w for w in children if w["class"] == "Button" and w["title"] == "重新连接" and w["visible"]]
        self.assertEqual(len(buttons), 1, children)
        shot = self.bed.window_screenshot(page["hwnd"], "browser-unreachable-notice.png")
        self.assertGreater(testbed.png_colour_count(shot), 2, "the notice drew nothing")

    def test_probe_reports_a_process_without_a_channel(self):
        with self.assertRaises(testbed.ProbeError):
            self.bed.probe("browser-title", "--pid", "4", "--timeout", "200", "x")
        with self.assertRaises(testbed.ProbeError):
            self.bed.probe("browser-title", "x")  # neither --pid nor --hwnd


if __name__ == "__main__":
    unittest.main()
