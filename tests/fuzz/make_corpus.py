#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

Each seed is laid out the way the target reads it through FuzzedDataProvider: texts from the
front (a backslash doubled, each text ended by a backslash and one more byte), numbers and
flags from the back. The seeds are the examples the unit tests use and hostile cases.
Run it again after changing a target's reading order; it replaces the seed-* files. Inputs
that once were findings are kept beside them as finding-<what> and are left alone."""

import os

HERE = os.path.dirname(os.path.abspath(__file__))


class Seed:
    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()  # in the order read from the end

    def raw(self, data):
        self.front += data
        return self

    def string(self, data):
        self.front += data.replace(b"\\", b"\\\\") + b"\\ "
        return self

    def integer(self, value, lo, hi, bits=32):
        span = hi - lo
        n = 0
        while n * 8 < bits and (span >> (n * 8)) > 0:
            n += 1
        self.back += (value - lo).to_bytes(n, "big") if n else b""
        return self

    def flag(self, value):
        return self.integer(1 if value else 0, 0, 255, 8)

    def text(self, value, how=1, limit=None):
        """how: 0 UTF-16 units, 1 UTF-8, 2 Latin-1 (bytes given as such)."""
        self.integer(how, 0, 255, 8)
        return self.string(encode(value, how))

    def bytes(self):
        return bytes(self.front) + bytes(reversed(self.back))


def encode(value, how):
    if isinstance(value, bytes):
        return value
    if how % 3 == 0:
        return value.encode("utf-16-le", "surrogatepass")
    if how % 3 == 1:
        return value.encode("utf-8", "surrogatepass")
    return value.encode("latin-1")


def how_with(flags, encoding=1):
    """A reading byte carrying the flag bits with the wanted encoding."""
    for how in range(256):
        if how & 0x30 == flags and how % 3 == encoding:
            return how
    raise ValueError(flags)


INSTALL = "C:\\ProgramData\\Kelvra\\GameLogin"
EXE = INSTALL + "\\Tamsolo.exe"
LONG = "9" * 300
HOSTILE = [b"", b"\x00" * 64, b"\xff" * 4096, bytes(range(256)), b"\\" * 100, b"%" * 50]


def startmode():
    out = []
    cases = [
        ["/newgm", "/1234", "/2"], ["/NEWGM", "x1234", "-2"], ["/gmhall", "/98765", "ignored"],
        ["/TamsoloD"], ["/tamsolod"], ["/CorvelD"], ["/uninst"], ["/update"], [],
        ["/newgm", "/ 5", "/\t2"], ["/newgm", "/-5000", "/0"], ["/newgm", "/1", "/-3"],
        ["/newgm", "/" + LONG, "/1"], ["/newgm", "/1234", ""], ["/newgm", "/12\x003", "/2"],
        ["/gmhall", "/99999999999999"], ["/gmhall", "/999999999999999"], ["x", "/TamsoloD"],
    ]
    for args in cases:
        for exe, how in ((EXE, 1), ("C:\\Users\\p\\Downloads\\Tamsolo.exe", 0)):
            s = Seed().integer(how, 0, 255, 8).text(exe, how).text(INSTALL, how)
            s.integer(len(args[:4]), 0, 4)
            for i, a in enumerate(args[:4]):
                if i == 0:
                    s.flag(False)
                s.string(encode(a, how))
            s.integer(1234, -9999999999999, 99999999999999, 64).integer(2, 0, 999999)
            out.append(s.bytes())
    # A switch from the target's own table, then a lone odd byte.
    out.append(Seed().integer(0, 0, 255, 8).text("", 0).text("", 0).integer(2, 0, 4)
               .flag(True).integer(0, 0, 3).string(b"/1").bytes())
    return out


def address():
    out = []
    addresses = [
        "http://update.kelvra.com/update/ConfigTamsolo.htm", "http://127.0.0.1:18480/x?y=1",
        "http://kelvra.com.attacker.example/a", "http://evil.example/?u=kelvra.com",
        "http://evil.example/kelvra.com", "http://host:/a", "http://host:99999/", "http://:80/",
        "http://host: 8080/", "http://host:-1/", "HTTP://WWW.KELVRA.COM/", "http://kelvra.com",
        "http://" + "a" * 300 + ".kelvra.com/", "http://www.kelvra.com/" + "o" * 600,
        "http://wwwkelvra.com/", "http://ke\x00lvra.com/", "https://www.kelvra.com/", "http://",
        "http://www.kelvra.com:80:81/x", "http://a b.kelvra.com/",
    ]
    for a in addresses:
        for how in (1, 0):
            s = Seed().text("kelvra.cn", how).text(a, how).flag(False)
            s.integer(50, 0, 2**64 - 1, 64).integer(100, 0, 2**64 - 1, 64)
            out.append(s.bytes())
    out.append(Seed().text("").text("update.kelvra.com").flag(True)
               .integer(2**64 - 1, 0, 2**64 - 1, 64).integer(2**63, 0, 2**64 - 1, 64).bytes())
    return out


def counter():
    out = []
    for stored in ["0", "12", "abc", " -5", "\t\n+7x", "2147483647", "2147483648", "-2147483649",
                   "99999999999999999999", "", "\u0661\u0662", "1 2"]:
        for how in (1, 0):
            s = Seed().text(stored, how).integer(7, 0, 2**32 - 1).text("http://tj.kelvra.com", how)
            out.append(s.bytes())
    out.append(Seed().text("1").integer(2**32 - 1, 0, 2**32 - 1).text("h" * 600).bytes())
    return out


def hotkey():
    out = []
    int_lo, int_hi = -2**31, 2**31 - 1
    for stored in ["0,121", "2,9", "2,81", "abc", ",", "-1,-1", "99999999999,5", " 4 , 65", "7,0",
                   "2", "3,255", "0,-2147483648", "1,2,3"]:
        for text in ["Ctrl  +  Q", "无", "Ctrl  +  ", "", "Alt  +  Shift  +  F10"]:
            s = Seed().text(stored).integer(81, int_lo, int_hi).integer(1, 0, 2)
            s.integer(0x79, int_lo, int_hi).integer(2, int_lo, int_hi).integer(0x104, 0, 2**32 - 1)
            s.text(text)
            out.append(s.bytes())
    return out


def pagecommand():
    out = []
    urls = [
        (0, "app://loadgame|S1服-》abcd123-player|http://game.kelvra.com/play"),
        (0, "app:xxloadgame|SS2服-middle-acc|http://g/"), (0, "app://exitgame"), (0, "app://minimize"),
        (0, "app://whatever"), (0, "app:"), (0, "javascript:void(0)"), (0, "about:blank"),
        (0x10, "S1服-middle-account|http://game/"), (0x10, "|"), (0x10, "no-bar"),
        (0x20, "quorvane|https://hall.kelvra.com/"), (0x20, "quorvane|file://c:/x"),
        (0x20, "../../x|http://a b/"), (0x20, "a" * 65), (0x20, "//q/u//o|HTTP://X"),
        (0x10, "服-服-》》-" + "x" * 600 + "|http://g/"), (0, "app://entergame|"),
    ]
    ansis = [b"S1%E6%9C%8D-m-acc", b"%zz%", b"%", b"%4", b"%41%", b"\xc0\x80", b"\xed\xa0\x80",
             b"\xf4\x90\x80\x80", b"\xf0\x9f\x98\x80", b"\xe6\x9c", b"%25%32%35", b"plain"]
    for i, (flags, url) in enumerate(urls):
        how = how_with(flags, 1 if i % 3 else 0)
        s = Seed().integer(how, 0, 255, 8).string(encode(url, how)).raw(ansis[i % len(ansis)])
        out.append(s.bytes())
    for a in ansis:
        out.append(Seed().integer(1, 0, 255, 8).string(b"app://loadgame|x|y").raw(a).bytes())
    return out


def notice():
    out = []
    records = [
        "n1|2030-01-01|标题|http://www.kelvra.com/a|正文正文|http://www.kelvra.com/p.png|2",
        "n2|2012-5-1 10:00|t|https://x/|text||0", "n3|2000-01-01|old|||pic|1",
        "n4|not-a-date|t|l|x|p|9", "only|three|fields", "a|b|c|d|e|f", "a|b|c|d|e|f|g|h|i",
        "n5|2030-01-01|t|file://c:/windows|t|p|-5\r\nsecond line", "\r\nn6|2030-1-1|t|l|x|p|1",
        "n7|9999999-99-99|t|http:///x|t|p|99999999999", "n8|2030-01-01|" + "长" * 100 + "|l|"
        + "\U0001F600" * 60 + "|p|1", "n9|2030-01-01|t|l|x|p|1\x00tail",
    ]
    for i, rec in enumerate(records):
        keep = (55, 70, 54)[i % 3]
        s = Seed().text("n1|2030-01-01" if i % 4 == 0 else "").text("0" if i % 2 else "1")
        s.integer(2026, 1601, 30827).integer(12, 1, 12).integer(8, 1, 31).flag(i % 5 != 4)
        if i % 5 == 4:
            s.text("2026-12-08 03:00")
        s.integer(keep, 0, 100, 64)
        s.raw(encode(rec, keep))
        out.append(s.bytes())
    return out


def record():
    out = []
    texts = ["S1服-middle-account\0", "no terminator", "\0starts empty", "a\0b\0", "x" * 511 + "\0",
             "x" * 512 + "\0", "\U0001F600\0"]
    for t in texts:
        data = t.encode("utf-16-le", "surrogatepass")
        out.append(b"\x00" + data)
        out.append(b"\x01" + data)
        out.append(b"\x00" + data + b"!")  # odd length
    out.append(b"\x00")
    out.append(b"\x01\x00")
    return out


def favourite():
    out = []
    for folder, name, url in [
        ("C:\\Users\\p\\Favorites", "Quorvane 1服", "http://game.kelvra.com/play?a=1"),
        ("C:\\Users\\p\\Favorites\\", "a/b:c*d?e\"f<g>h|i\x01", "http://x/"),
        ("C:\\F", "n" * 200, "u" * 400), ("", "name", ""), ("C:\\" + "d" * 250, "n", "http://x/"),
        ("Tamsolo.exe", "", "http://x/\r\nURL=file://c:/evil"), ("C:\\p\\Tamsolo.exe", "Tamsolo.ini", ""),
    ]:
        out.append(Seed().text(folder).text(name).text(url).bytes())
        out.append(Seed().text(folder, 0).text(name, 0).text(url, 0).bytes())
    return out


def label():
    out = []
    int_lo, int_hi = -2**31, 2**31 - 1
    texts = ["请确认\n第二行", "a\r\nb", "当前窗体只支持3个游戏页", "The quick brown fox jumps over",
             "\U0001F600\U0001F600\U0001F600", "\ud800x\udc00", "\ud800\n\udc00", "\r\r\n\n", "",
             "x" * 500, "长" * 300]
    for i, t in enumerate(texts):
        s = Seed().integer(100, -10, 2000)
        for w in range(16):
            s.integer(6 + (w * 7 + i) % 20, 0, 255, 8)
        s.integer((0, 1, 4, 99)[i % 4], int_lo, int_hi).integer(16 * (1 + t.count("\n")), 0, 20000)
        s.integer(300, 0, 20000).integer(80, 0, 500).integer(25, 0, 500)
        s.text(t, i % 2)
        s.integer(16, 0, 200).integer(3, 0, 50).integer(5000 + i % 3, int_lo, int_hi)
        out.append(s.bytes())
    return out


def colorkey():
    out = []
    u32 = 2**32 - 1
    for width, height, stride_delta, pixels in [
        (2, 2, 0, [0x00000000, 0xFFFF0000, 0x80FFFFFF, 0x01000000]),
        (3, 1, 2, [0x7F123456, 0xFE000000, 0xFF00FF00]), (1, 3, 5, [0, 0x80000000, 0xFFFFFFFF]),
        (80, 1, 0, [0xFFFFFFFF] * 80), (0, 5, 0, []), (4, 0, 0, []), (2, 2, -1, [])]:
        s = Seed().integer(width, -4, 80).integer(height, -4, 80).flag(True)
        s.integer(stride_delta, -2, 16).integer(0xFF00FF, 0, u32).integer(0x80FF8040, 0, u32)
        for p in pixels:
            s.integer(p, 0, u32)
        out.append(s.bytes())
    # A stride the decoder could report for a bottom-up image: negative.
    out.append(Seed().integer(4, -4, 80).integer(4, -4, 80).flag(False)
               .integer(-16, -2**31, 2**31 - 1).bytes())
    return out


def update():
    out = []
    u32 = 2**32 - 1
    for key, hall, version, body in [
        ("0123456789abcdef0123456789ab3001", "Quorvane", "3.0.0.1", b"abc"),
        ("900150983CD24FB0D6963F7D28E13001", "Tamsolo", "3.0.0.1", b"abc"),
        ("900150983cd24fb0", "a" * 64, "", b"abc"), ("x", "../x", "1.2.3.4.5.6.7.8.9.10.11.12.13.14.15.16.17",
                                                      b"\x00" * 200),
        ("", "", "3.0.0.1", b""), ("d41d8cd98f00b204e9800998ecf8427e", "Hall_1-x", "...", b"")]:
        s = Seed().text(key).text(hall).text("http://update.kelvra.com/update/ConfigTamsolo.htm").text(version)
        s.raw(bytes([0xEA, 0x07, 12, 0, 2, 0, 8, 0] + [0] * 8))  # last update: 2026-12-08
        s.raw(bytes([4, 2, 3, 0]))
        s.raw(bytes([0xEA, 0x07, 12, 0, 2, 0, 9, 0] + [0] * 8))  # today
        s.integer(731, 0, u32).integer(41, 0, u32).integer(18467, 0, u32)
        s.raw(body)
        out.append(s.bytes())
    return out


TARGETS = {
    "startmode": startmode, "address": address, "counter": counter, "hotkey": hotkey,
    "pagecommand": pagecommand, "notice": notice, "record": record, "favourite": favourite,
    "label": label, "colorkey": colorkey, "update": update,
}


def main():
    root = os.path.join(HERE, "corpus")
    for name, make in TARGETS.items():
        folder = os.path.join(root, name)
        os.makedirs(folder, exist_ok=True)
        for old in os.listdir(folder):
            if old.startswith("seed-"):
                os.remove(os.path.join(folder, old))
        seeds = make() + HOSTILE
        for i, data in enumerate(seeds):
            with open(os.path.join(folder, f"seed-{i:02d}"), "wb") as f:
                f.write(data)
        print(f"{name}: {len(seeds)} seeds")


if __name__ == "__main__":
    main()
