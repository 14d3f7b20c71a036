"""Common ground of the end-to-end tests: the test bed of the build folder and a TestCase
that ends what each test started and keeps a screenshot of the display after every test.

Run under CTest (TAMSOLO_BUILD_DIR set, bed made by the wine_setup fixture), or alone:
    cd tests/e2e && TAMSOLO_BUILD_DIR=../../build/mingw python3 -m unittest test_testbed
which makes a bed for the run and removes it afterwards.
"""

import os
import re
import sys
import unittest

SOURCE_DIR = os.environ.get("TAMSOLO_SOURCE_DIR") or os.path.dirname(
    os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools", "testbed"))

import testbed  # noqa: E402  (needs the path above)

BUILD_DIR = os.environ.get("TAMSOLO_BUILD_DIR") or os.path.join(SOURCE_DIR, "build", "mingw")
SANDBOX = testbed.Testbed(BUILD_DIR).sandbox_url()  # the sandbox server of this build


# Everything the launcher starts must run in the idle priority class (creation flag 0x40). Wine
# creates every process at normal priority, but names the flags it ignores when its process
# channel may warn: run the starter with this environment and read them from its output.
WINE_START_WARNINGS = {"WINEDEBUG": "warn+process"}
IDLE_PRIORITY_CLASS = 0x40
# What a program the launcher started writes first in the trace: it was asked to show normally.
SHOWN_NORMALLY = "launched show=1"


def creation_flags(output, program):
    """The creation flags of each start of `program` (a file name) that Wine warned about, in
    order. The programs started write to the same output: later starts may be theirs."""
    pattern = r'CreateProcessInternalW \(L"(?:[^"]*\\\\)?%s",\.\.\.\): ignoring some flags in ([0-9a-f]+)' % re.escape(program)
    return [int(flags, 16) for flags in re.findall(pattern, output, re.IGNORECASE)]


class BedTestCase(unittest.TestCase):
    bed = None
    _own_bed = False

    @classmethod
    def setUpClass(cls):
        cls.bed = testbed.Testbed(BUILD_DIR)
        if not cls.bed.is_running():
            cls.bed.setup()
            cls._own_bed = True

    @classmethod
    def tearDownClass(cls):
        if cls._own_bed:
            cls.bed.cleanup()

    def tearDown(self):
        # A picture of how the display looked when each test ended: the first thing to open
        # when a test fails, and how anyone can see what the windows look like.
        name = re.sub(r"[^A-Za-z0-9_.-]", "_", self.id())
        try:
            self.bed.screenshot(f"{name}.png")
        except Exception as e:  # the picture must never hide the test's own result
            print(f"no screenshot: {e}", file=sys.stderr)

    def start(self, exe, args=(), **kwargs):
        """A background program that is ended when this test ends, if still running."""
        proc = self.bed.start(exe, args, **kwargs)
        self.addCleanup(proc.stop)
        return proc
