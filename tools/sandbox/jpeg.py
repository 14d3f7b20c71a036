"""A small baseline JPEG writer (no dependencies) for the sandbox's notice pictures.

Colour (YCbCr, no subsampling), one flat quantisation table and fixed-length Huffman codes:
large for a JPEG, but any decoder reads it, and the pictures are small.
"""

import math
import struct

_Q = 3  # flat quantisation: fine detail survives, sizes stay within baseline's limits

_ZIGZAG = sorted(((r, c) for r in range(8) for c in range(8)),
                 key=lambda p: (p[0] + p[1], p[0] if (p[0] + p[1]) % 2 else -p[0]))

# Every DC category (0-11) in 4 bits, every AC symbol a baseline block can need in 8 bits.
_DC_SYMBOLS = list(range(12))
_AC_SYMBOLS = [0x00, 0xF0] + [(run << 4) | size for run in range(16) for size in range(1, 11)]
_DC_CODE = {s: (i, 4) for i, s in enumerate(_DC_SYMBOLS)}
_AC_CODE = {s: (i, 8) for i, s in enumerate(_AC_SYMBOLS)}

_COS = [[math.cos((2 * x + 1) * u * math.pi / 16) for x in range(8)] for u in range(8)]


class _Bits:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                self.acc = 0
                self.n = 0

    def flush(self):
        while self.n:
            self.put(1, 1)
        return bytes(self.out)


def _category(v):
    return 0 if v == 0 else abs(v).bit_length()


def _amplitude(v, size):
    return v if v >= 0 else v + (1 << size) - 1


def _dct(block):
    rows = [[sum(block[y][x] * _COS[u][x] for x in range(8)) for u in range(8)] for y in range(8)]
    out = [[0.0] * 8 for _ in range(8)]
    for v in range(8):
        cv = math.sqrt(0.5) if v == 0 else 1.0
        for u in range(8):
            cu = math.sqrt(0.5) if u == 0 else 1.0
            out[v][u] = 0.25 * cu * cv * sum(rows[y][u] * _COS[v][y] for y in range(8))
    return out


def _encode_block(bits, block, previous_dc):
    coef = _dct(block)
    zz = [int(round(coef[r][c] / _Q)) for r, c in _ZIGZAG]
    diff = zz[0] - previous_dc
    size = _category(diff)
    bits.put(*_DC_CODE[size])
    if size:
        bits.put(_amplitude(diff, size), size)
    run = 0
    for v in zz[1:]:
        if v == 0:
            run += 1
            continue
        while run > 15:
            bits.put(*_AC_CODE[0xF0])
            run -= 16
        size = _category(v)
        bits.put(*_AC_CODE[(run << 4) | size])
        bits.put(_amplitude(v, size), size)
        run = 0
    if run:
        bits.put(*_AC_CODE[0x00])
    return zz[0]


def _segment(marker, payload):
    return struct.pack(">HH", marker, len(payload) + 2) + payload


def _huffman_table(cls_id, symbols, length):
    counts = [0] * 16
    counts[length - 1] = len(symbols)
    return bytes([cls_id]) + bytes(counts) + bytes(symbols)


def encode(width, height, pixel):
    """pixel(x, y) -> (r, g, b), 0-255. Returns the JPEG file's bytes."""
    planes = [[[0.0] * width for _ in range(height)] for _ in range(3)]
    for y in range(height):
        for x in range(width):
            r, g, b = pixel(x, y)
            planes[0][y][x] = 0.299 * r + 0.587 * g + 0.114 * b - 128
            planes[1][y][x] = -0.168736 * r - 0.331264 * g + 0.5 * b
            planes[2][y][x] = 0.5 * r - 0.418688 * g - 0.081312 * b
    bits = _Bits()
    dc = [0, 0, 0]
    for by in range(0, height, 8):
        for bx in range(0, width, 8):
            for comp in range(3):
                block = [[planes[comp][min(by + y, height - 1)][min(bx + x, width - 1)] for x in range(8)]
                         for y in range(8)]
                dc[comp] = _encode_block(bits, block, dc[comp])
    data = bits.flush()
    out = bytearray(b"\xff\xd8")
    out += _segment(0xFFE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += _segment(0xFFDB, bytes([0]) + bytes([_Q] * 64))
    out += _segment(0xFFC0, struct.pack(">BHHB", 8, height, width, 3) + bytes([1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0]))
    out += _segment(0xFFC4, _huffman_table(0x00, _DC_SYMBOLS, 4) + _huffman_table(0x10, _AC_SYMBOLS, 8))
    out += _segment(0xFFDA, bytes([3, 1, 0x00, 2, 0x00, 3, 0x00, 0, 63, 0]))
    out += data + b"\xff\xd9"
    return bytes(out)


def notice_picture(width, height):
    """The sandbox's notice picture: a sky, a sun, two hills and a banner stripe."""
    def pixel(x, y):
        t = y / max(1, height - 1)
        r, g, b = 40 + 60 * t, 110 + 80 * t, 200 - 40 * t
        if (x - width * 0.7) ** 2 + (y - height * 0.28) ** 2 < (min(width, height) * 0.14) ** 2:
            r, g, b = 250, 200, 70
        if y > height * 0.62 + 12 * math.sin(x / max(1, width) * 6.0):
            r, g, b = 40, 140 + 40 * math.sin(x / 9.0), 70
        if height * 0.84 < y < height * 0.94:
            r, g, b = 220, 60, 60
        return int(r), int(g), int(b)
    return encode(width, height, pixel)


if __name__ == "__main__":
    import sys
    # jpeg.py OUTPUT WIDTH HEIGHT: writes the notice picture at that size.
    with open(sys.argv[1], "wb") as f:
        f.write(notice_picture(int(sys.argv[2]), int(sys.argv[3])))
