"""The test bed itself: a Chinese Windows under Wine, a display that shows CJK text,
screenshots, and the probe that every other end-to-end test relies on."""

import json
import os
import struct
import subprocess
import sys
import tempfile
import unittest

from bedcase import BUILD_DIR, BedTestCase, testbed

CJK_FONT = "WenQuanYi Micro Hei"
FONT_SUBSTITUTES = r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes"


def write_shell_link(path, description, workdir, arguments, icon, icon_index):
    """A minimal shell link: header plus Unicode string data, no item list or link info."""
    flags = 0x04 | 0x10 | 0x20 | 0x40 | 0x80  # name, working dir, arguments, icon, Unicode
    clsid = bytes.fromhex("0114020000000000c000000000000046")
    header = struct.pack("<I16sII24sIiIH10s", 0x4C, clsid, flags, 0, b"\0" * 24, 0, icon_index, 1, 0, b"\0" * 10)
    body = b""
    for text in (description, workdir, arguments, icon):
        body += struct.pack("<H", len(text)) + text.encode("utf-16-le")
    with open(path, "wb") as f:
        f.write(header + body + b"\0\0\0\0")


class ChineseWindowsTest(BedTestCase):
    def bedcheck(self, *args):
        result = self.bed.run(self.bed.bin("bedcheck"), args, timeout=60)
        self.assertEqual(result.returncode, 0, result)
        return testbed.parse_json_lines(result.stdout)[0]

    def test_ansi_code_page_is_936(self):
        info = self.bedcheck("locale")
        self.assertEqual(info["acp"], 936)
        self.assertEqual(info["oemcp"], 936)
        self.assertEqual(info["lcid"], 0x0804)

    def test_chinese_and_dialog_faces_map_to_the_cjk_font(self):
        values = {row["name"]: row["data"] for row in self.bed.probe("regread", FONT_SUBSTITUTES) if "name" in row}
        for face in testbed.SUBSTITUTED_FACES:
            with self.subTest(face=face):
                self.assertEqual(values.get(face), CJK_FONT)

    def test_chinese_text_draws_real_glyphs(self):
        for face in ("微软雅黑", "MS Shell Dlg", "宋体", "Tahoma"):
            with self.subTest(face=face):
                info = self.bedcheck("font", face)
                self.assertEqual(info["missing_glyphs"], 0, info)
                self.assertTrue(info["distinct"], f"{face}: 中 and 文 look alike (boxes?)")


    def test_user_folders_stay_inside_the_prefix(self):
        # Installs, downloads and desktop shortcuts of the tests must never land in the real home.
        profile = os.path.join(self.bed.drive_c, "users", self.bed.user_name())
        for name in ("Desktop", "Documents", "Downloads"):
            with self.subTest(folder=name):
                path = os.path.join(profile, name)
                self.assertTrue(os.path.isdir(path))
                self.assertFalse(os.path.islink(path), f"{path} leads out of the prefix")


class ProbeTest(BedTestCase):
    TITLE = "测试窗口 中文标题"

    def open_window(self):
        proc = self.start(self.bed.bin("bedcheck"), ["window", self.TITLE])
        return proc, self.bed.wait_window(cls="TamsoloBedWindow", title=self.TITLE, timeout=30)

    def test_lists_a_window_with_its_children(self):
        proc, wnd = self.open_window()
        self.assertTrue(wnd["visible"])
        self.assertEqual(wnd["rect"], {"left": 100, "top": 100, "right": 620, "bottom": 300})
        rows = self.bed.probe("windows", "--children", "--pid", wnd["pid"])
        label = [r for r in rows if r["class"] == "Static"]
        self.assertEqual(len(label), 1, rows)
        self.assertEqual(label[0]["title"], "中文显示测试 微软雅黑")
        self.assertEqual(label[0]["parent"], wnd["hwnd"])
        self.assertIn(wnd["hwnd"], [r["hwnd"] for r in self.bed.windows()])

    def test_messages_reach_the_window(self):
        proc, wnd = self.open_window()
        self.assertEqual(self.bed.probe("send", wnd["hwnd"], "WM_USER+1", 40, 2), [{"result": 42}])
        # Hex, negative and named numbers as the tests write them (SC_CLOSE is 0xF060).
        self.assertEqual(self.bed.probe("send", wnd["hwnd"], "0x401", "0x10", -1), [{"result": 15}])
        self.assertEqual(self.bed.probe("send", wnd["hwnd"], "WM_USER+1", "SC_CLOSE", 0), [{"result": 0xF060}])
        # The text in UTF-16 with its terminator: 2 characters + 1, two bytes each.
        self.assertEqual(self.bed.probe("copydata", wnd["hwnd"], 1, "你好")[0]["result"], 6)
        self.assertEqual(self.bed.probe("copydata", wnd["hwnd"], 1, "你好", "--no-terminator")[0]["result"], 4)
        self.assertEqual(self.bed.probe("copydata", wnd["hwnd"], 1, "--hex", "414243")[0]["result"], 3)
        self.bed.probe("post", wnd["hwnd"], "WM_CLOSE", 0, 0)
        self.assertEqual(proc.wait(30), 7)
        self.assertEqual(self.bed.probe("waitgone", wnd["hwnd"], "--timeout", 5000)[0]["gone"], True)

    def test_screenshots_are_not_blank(self):
        proc, wnd = self.open_window()
        shot = self.bed.window_screenshot(wnd["hwnd"], "probe_window.png")
        out = subprocess.run(["identify", "-format", "%w %h", shot], capture_output=True, text=True)
        self.assertEqual(out.stdout.split(), ["520", "200"])
        self.assertGreater(testbed.png_colour_count(shot), 2)
        display = self.bed.screenshot("probe_display.png")
        self.assertGreater(testbed.png_colour_count(display), 2)

    def test_layered_windows_show_their_alpha_and_pixels(self):
        self.start(self.bed.bin("bedcheck"), ["window", "半透明窗口", "layered"])
        wnd = self.bed.wait_window(cls="TamsoloBedWindow", title="半透明窗口", timeout=30)
        self.assertEqual(wnd["alpha"], 200)
        shot = self.bed.window_screenshot(wnd["hwnd"], "probe_layered.png")
        self.assertGreater(testbed.png_colour_count(shot), 2)

    def test_typed_keys_reach_a_window_and_its_text_is_read(self):
        self.start("notepad.exe")
        wnd = self.bed.wait_window(cls="Notepad", timeout=30)
        edit = [r for r in self.bed.probe("windows", "--children", "--pid", wnd["pid"]) if r["class"] == "Edit"][0]
        r = edit["rect"]
        self.bed.xdotool("mousemove", (r["left"] + r["right"]) // 2, (r["top"] + r["bottom"]) // 2, "click", 1)
        self.bed.xdotool("type", "--delay", 30, "hello")
        self.assertEqual(self.bed.probe("gettext", edit["hwnd"])[0]["text"], "hello")

    def test_failures_are_reported_by_exit_code(self):
        with self.assertRaises(testbed.ProbeError) as missing:
            self.bed.probe("find", "--class", "NoSuchClass", "--timeout", 200)
        self.assertEqual(missing.exception.result.returncode, 1)
        with self.assertRaises(testbed.ProbeError) as nokey:
            self.bed.probe("regread", r"HKLM\Software\Kelvra\NoSuchKey")
        self.assertEqual(nokey.exception.result.returncode, 1)
        with self.assertRaises(testbed.ProbeError) as usage:
            self.bed.probe("frobnicate")
        self.assertEqual(usage.exception.result.returncode, 2)
        with self.assertRaises(testbed.ProbeError):
            self.bed.probe("send", "12345", "WM_NULL", 0, 0)  # no such window

    def test_files_and_shortcuts_as_the_prefix_sees_them(self):
        folder = os.path.join(self.bed.drive_c, "bedtest")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "数据.ini"), "wb") as f:
            f.write(b"x" * 1234)
        link = os.path.join(folder, "游戏.lnk")
        write_shell_link(link, "凯尔瓦 Brennic", r"C:\ProgramData\Kelvra", "/TamsoloD", r"C:\game\Tamsolo.exe", 3)
        rows = {r["name"]: r for r in self.bed.probe("ls", self.bed.to_windows(folder))}
        self.assertEqual(rows["数据.ini"]["size"], 1234)
        self.assertFalse(rows["数据.ini"]["dir"])
        info = self.bed.probe("shortcut", self.bed.to_windows(link))[0]
        self.assertEqual(info["description"], "凯尔瓦 Brennic")
        self.assertEqual(info["arguments"], "/TamsoloD")
        self.assertEqual(info["workdir"], r"C:\ProgramData\Kelvra")
        self.assertEqual((info["icon"], info["icon_index"]), (r"C:\game\Tamsolo.exe", 3))


    def test_registry_values_with_their_types(self):
        key = r"HKCU\Software\TamsoloBedTest"
        for name, kind, data in (("Text", "REG_SZ", "凯尔瓦"), ("Days", "REG_DWORD", "7"),
                                 ("List", "REG_MULTI_SZ", "a\\0b"), ("Blob", "REG_BINARY", "00ff10")):
            done = self.bed.run("reg.exe", ["add", key, "/v", name, "/t", kind, "/d", data, "/f"], timeout=60)
            self.assertEqual(done.returncode, 0, done)
        self.bed.run("reg.exe", ["add", key + r"\Sub", "/f"], timeout=60, check=True)
        rows = self.bed.probe("regread", key)
        values = {r["name"]: (r["type"], r["data"]) for r in rows if "name" in r}
        self.assertEqual(values["Text"], ("REG_SZ", "凯尔瓦"))
        self.assertEqual(values["Days"], ("REG_DWORD", 7))
        self.assertEqual(values["List"], ("REG_MULTI_SZ", ["a", "b"]))
        self.assertEqual(values["Blob"], ("REG_BINARY", "00ff10"))
        self.assertIn({"subkey": "Sub"}, rows)
        self.assertEqual(self.bed.probe("regread", key, "Days")[0]["data"], 7)

    def test_a_hung_program_is_ended_at_its_timeout(self):
        result = self.bed.run(self.bed.bin("bedcheck"), ["window", "超时"], timeout=3)
        self.assertTrue(result.timed_out)
        with self.assertRaises(testbed.ProbeError):
            self.bed.probe("find", "--title", "超时", "--timeout", 500)


class CleanupTest(unittest.TestCase):
    """A second, private bed: after cleanup nothing it started may still run."""

    def test_cleanup_ends_everything_it_started(self):
        build = BUILD_DIR
        os.makedirs(os.path.join(build, "wine"), exist_ok=True)
        with tempfile.TemporaryDirectory(dir=os.path.join(build, "wine")) as tmp:
            bed = testbed.Testbed(tmp)
            state = bed.setup()
            try:
                bin_dir = os.path.join(tmp, "bin")
                os.makedirs(bin_dir)
                os.symlink(os.path.join(build, "bin", "bedcheck.exe"), os.path.join(bin_dir, "bedcheck.exe"))
                proc = bed.start(bed.bin("bedcheck"), ["window", "清理"])
                self.assertTrue(proc.running())
                self.assertTrue(os.path.exists(f"/tmp/.X11-unix/X{state['display'][1:]}"))
            finally:
                left = bed.cleanup()
            self.assertEqual(left, [])
            self.assertFalse(testbed._alive(proc.pid, proc.start))
            self.assertIsNone(testbed._proc_start_time(state["xvfb_pid"]))
            self.assertEqual(testbed._processes_of_prefix(bed.prefix), [])
            self.assertFalse(bed.is_running())


class SharedStateTest(BedTestCase):
    def test_separate_processes_share_one_bed(self):
        out = subprocess.run([sys.executable, testbed.__file__, "--build-dir", self.bed.build_dir,
                                      "status"], capture_output=True, text=True, timeout=60, check=True)
        state = json.loads(out.stdout)
        self.assertEqual(state["display"], self.bed.display)
        self.assertEqual(state["prefix"], self.bed.prefix)
        proc = self.start(self.bed.bin("bedcheck"), ["window", "共享"])
        started = testbed.Testbed(self.bed.build_dir).state["started"]
        self.assertIn(proc.pid, [entry["pid"] for entry in started])

    def test_trace_file_of_the_prefix(self):
        self.bed.clear_trace()
        self.assertEqual(self.bed.read_trace(), [])
        with open(self.bed.to_linux(r"C:\tamsolo_trace.txt"), "wb") as f:
            f.write("pid=40 mode=6 event=login-page 登录\r\n".encode("utf-8"))
        self.assertEqual(self.bed.read_trace(), [{"pid": 40, "mode": 6, "event": "login-page 登录"}])
        self.bed.clear_trace()


class BedHelpersTest(unittest.TestCase):
    def setUp(self):
        self.bed = testbed.Testbed("/b/mingw")

    def test_paths_between_linux_and_the_prefix(self):
        self.assertEqual(self.bed.to_windows("/b/mingw/wine/prefix/drive_c/ProgramData/Kelvra"),
                         r"C:\ProgramData\Kelvra")
        self.assertEqual(self.bed.to_windows("/tmp/x y/a.exe"), r"Z:\tmp\x y\a.exe")
        self.assertEqual(self.bed.to_linux(r"C:\ProgramData\Kelvra\GameLogin"),
                         "/b/mingw/wine/prefix/drive_c/ProgramData/Kelvra/GameLogin")
        self.assertEqual(self.bed.to_linux("z:\\tmp\\a.exe"), "/tmp/a.exe")
        with self.assertRaises(ValueError):
            self.bed.to_linux(r"relative\path")

    def test_trace_lines(self):
        text = "\ufeffpid=12 mode=2 event=main window created\r\ngarbage\npid=13 mode=6 event=登录\n"
        self.assertEqual(testbed.parse_trace(text), [
            {"pid": 12, "mode": 2, "event": "main window created"},
            {"pid": 13, "mode": 6, "event": "登录"},
        ])


if __name__ == "__main__":
    unittest.main()
