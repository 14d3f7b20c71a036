"""The road of one typical start across real processes: a downloaded copy installs itself, the
installed launcher's first page process shows the login, three accounts sign in (the second
through the add-account choice; the operator's notice comes before the third), the boss key hides
and restores, and closing the launcher asks first and leaves nothing running. tools/run.sh walks the same road for its pictures."""

import unittest

from bedcase import BedTestCase

import road


class TypicalStart(BedTestCase):
    def test_from_the_downloaded_copy_to_three_tabs_and_back_to_an_orderly_exit(self):
        self.addCleanup(self.bed.run, self.bed.drive_c + "/windows/system32/taskkill.exe",
                        ["/f", "/im", "Tamsolo.exe"], 30)
        walk = road.TypicalStart(self.bed, self.bed.test_exe(),
                                 shot=lambda name: self.bed.screenshot(f"road-{name}.png"))
        walk.start()
        walk.first_account()
        visible, size = walk.seen["main_during_first_login"]
        self.assertTrue(not visible or size <= (1, 1), "the main window stays out of sight until a page registers")
        self.assertEqual([t for t in self.tab_texts(walk)], ["12服-abcd-player1"])
        walk.notice()  # comes by itself 30 s after the first page, beside the current page
        self.assertTrue(walk.window(walk.frames[-1])["visible"])
        walk.second_account()
        self.assertEqual(walk.seen["add_account_size"], (284, 150))
        walk.third_account()
        self.assertEqual(self.tab_texts(walk), ["12服-abcd-player1", "12服-abcd-player2", "12服-abcd-player3"])
        self.assertEqual(len(walk.frames), 3)
        main = walk.window(walk.main)
        for frame in walk.frames:
            self.assertEqual(walk.window(frame)["parent"], walk.main)
        visible = [f for f in walk.frames if walk.window(f)["visible"]]
        self.assertEqual(visible, [walk.frames[-1]], "only the newest page shows")
        self.assertEqual(walk.window(walk.frames[-1])["rect"]["right"] - walk.window(walk.frames[-1])["rect"]["left"],
                         main["client"]["width"] - 8)
        walk.boss_key()
        walk.exit()
        self.assertFalse([e for e in self.bed.windows() if e["title"] == road.TITLE], "a launcher window is left")

    def tab_texts(self, walk):
        """The registration texts the main window accepted, in tab order, from the trace."""
        texts = []
        for e in self.bed.read_trace():
            if e["pid"] == walk.window(walk.main)["pid"] and e["event"].startswith("page-registered "):
                texts.append(e["event"][len("page-registered "):])
        return texts


if __name__ == "__main__":
    unittest.main()
