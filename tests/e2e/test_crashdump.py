"""Crash dumps: a program linked with the launcher's crash filter crashes on purpose, and so
does the test build of the launcher itself where its start-up has installed the filter."""

import os
import shutil
import struct
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "testbed"))
from testbed import Testbed  # noqa: E402

# What Wine prints when an exception is left to the system's own crash handling.
SYSTEM_HANDLING = "starting debugger"
# The test build's switch: the hand-over point at which it dies of an unhandled access violation.
CRASH_SWITCH = "TAMSOLO_TEST_CRASH_AT"
# The richest dump type, tried first: data segments, handle data, unloaded modules, private
# read-write memory, full memory info, thread info.
RICHEST_DUMP = 0x1A25


class CrashDumps(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.bed = Testbed.from_env()
        cls.folder = os.path.join(cls.bed.drive_c, "crash test")  # a blank in the path on purpose
        # Dumps go to the player's own folder: the program folder is not theirs to write.
        cls.dumps = os.path.join(cls.bed.drive_c, "users", cls.bed.user_name(), "AppData", "Local", "Kelvra",
                                 "GameLogin")

    def setUp(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        os.makedirs(self.folder)
        for name in os.listdir(self.dumps) if os.path.isdir(self.dumps) else []:
            if name.endswith(".dmp"):
                os.remove(os.path.join(self.dumps, name))

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
        self.assertTrue(os.path.isfile(path), f"no dump at {path}: {os.listdir(os.path.dirname(path))}")
        with open(path, "rb") as f:
            self.assertEqual(f.read(4), b"MDMP")
        self.assertGreater(os.path.getsize(path), 4096)

    def test_unhandled_crash_writes_a_dump_into_the_players_folder(self):
        exe = self.place("Tamsolo.exe")
        result = self.crash(exe, "once")
        self.assert_minidump(os.path.join(self.dumps, "Tamsolo.dmp"))
        # The filter lets the system's own handling run afterwards.
        self.assertIn(SYSTEM_HANDLING, result.stderr)

    def test_crash_on_a_worker_thread_is_dumped_too(self):
        exe = self.place("worker.crash.exe")
        self.crash(exe, "thread")
        self.assert_minidump(os.path.join(self.dumps, "worker.crash.dmp"))

    def test_second_crash_ends_the_process_without_another_dump(self):
        exe = self.place("twice.exe")
        result = self.crash(exe, "twice")
        self.assertIn("first=0 dumped=1", result.stdout)
        self.assertFalse(os.path.exists(os.path.join(self.dumps, "twice.dmp")), "a second dump was written")
        self.assertNotIn(SYSTEM_HANDLING, result.stderr, "the second crash should end the process at once")

    def test_old_dump_is_replaced(self):
        exe = self.place("Tamsolo.exe")
        dump = os.path.join(self.dumps, "Tamsolo.dmp")
        with open(dump, "wb") as f:
            f.write(b"old")
        self.crash(exe, "once")
        self.assert_minidump(dump)

    def test_the_launcher_dumps_a_crash_in_its_own_start_up(self):
        exe = os.path.join(self.folder, "Tamsolo.exe")
        shutil.copy2(self.bed.test_exe(), exe)
        self.bed.clear_trace()
        proc = self.bed.start(self.bed.to_windows(exe), [], env={CRASH_SWITCH: "start"})
        self.addCleanup(proc.stop)
        proc.wait(timeout=120)
        trace = self.bed.read_trace()
        seen = [e["event"] for e in trace if e["pid"] == trace[0]["pid"]]
        # Its first line tells how it was started; then it must have died where it was asked to.
        self.assertEqual(seen[1:], ["start"], "the launcher should have died at the start of its start-up")
        dump = os.path.join(self.dumps, "Tamsolo.dmp")
        self.assert_minidump(dump)
        # Wine writes the first type asked for; the header's flags say which one that was.
        with open(dump, "rb") as f:
            flags, = struct.unpack_from("<Q", f.read(32), 24)
        self.assertEqual(flags, RICHEST_DUMP)
        self.assertIn(SYSTEM_HANDLING, proc.output())

    def test_only_the_test_build_knows_the_crash_switch(self):
        switch = CRASH_SWITCH.encode("utf-16-le")
        with open(self.bed.test_exe(), "rb") as f:
            self.assertIn(switch, f.read())
        with open(self.bed.bin("Tamsolo"), "rb") as f:
            self.assertNotIn(switch, f.read(), "the product build must not crash on request")

    def test_executable_without_a_dot_writes_no_dump(self):
        exe = self.place("crasher")
        self.crash(exe, "once")
        self.assertEqual(sorted(os.listdir(self.folder)), ["crasher"])
        self.assertFalse([n for n in os.listdir(self.dumps) if n.endswith(".dmp")])


if __name__ == "__main__":
    unittest.main()
