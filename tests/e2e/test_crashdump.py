"""Crash dumps: a program linked with the launcher's crash filter crashes on purpose."""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "testbed"))
from testbed import Testbed  # noqa: E402

# What Wine prints when an exception is left to the system's own crash handling.
SYSTEM_HANDLING = "starting debugger"


class CrashDumps(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.bed = Testbed.from_env()
        cls.folder = os.path.join(cls.bed.drive_c, "crash test")  # a blank in the path on purpose

    def setUp(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)

    def place(self, name):
        path = os.path.join(self.folder, name)
        shutil.copy2(self.bed.bin("crasher"), path)
        return path

    def crash(self, exe, how):
        result = self.bed.run(self.bed.to_windows(exe), [how], timeout=120)
        self.assertFalse(result.timed_out, result)
        # Not the exit code: Wine's debugger ends a crashed process with the exception's
        # number or, when its kill-on-close wins the race, with 0.
        self.assertNotIn("survived", result.stdout, "the process should have died")
        self.assertNotEqual(result.returncode, 3, "the process should have died")
        return result

    def assert_minidump(self, path):
        self.assertTrue(os.path.isfile(path), f"no dump at {path}: {os.listdir(self.folder)}")
        with open(path, "rb") as f:
            self.assertEqual(f.read(4), b"MDMP")
        self.assertGreater(os.path.getsize(path), 4096)

    def test_unhandled_crash_writes_a_dump_beside_the_executable(self):
        exe = self.place("Tamsolo.exe")
        result = self.crash(exe, "once")
        self.assert_minidump(os.path.join(self.folder, "Tamsolo.dmp"))
        # The filter lets the system's own handling run afterwards.
        self.assertIn(SYSTEM_HANDLING, result.stderr)

    def test_crash_on_a_worker_thread_is_dumped_too(self):
        exe = self.place("worker.crash.exe")
        self.crash(exe, "thread")
        self.assert_minidump(os.path.join(self.folder, "worker.crash.dmp"))

    def test_second_crash_ends_the_process_without_another_dump(self):
        exe = self.place("twice.exe")
        result = self.crash(exe, "twice")
        self.assertIn("first=0 dumped=1", result.stdout)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "twice.dmp")), "a second dump was written")
        self.assertNotIn(SYSTEM_HANDLING, result.stderr, "the second crash should end the process at once")

    def test_old_dump_is_replaced(self):
        exe = self.place("Tamsolo.exe")
        dump = os.path.join(self.folder, "Tamsolo.dmp")
        with open(dump, "wb") as f:
            f.write(b"old")
        self.crash(exe, "once")
        self.assert_minidump(dump)

    def test_executable_without_a_dot_writes_no_dump(self):
        exe = self.place("crasher")
        self.crash(exe, "once")
        self.assertEqual(sorted(os.listdir(self.folder)), ["crasher"])


if __name__ == "__main__":
    unittest.main()
