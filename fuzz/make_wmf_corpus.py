#!/usr/bin/env python3
"""Writes the seed corpus of the metafile fuzzer (fuzz/corpus/wmf): small
metafiles that together use every record kind the player knows."""
import os
import struct
import sys


def rec(function, *words, raw=b""):
    params = b"".join(struct.pack("<h" if w < 0 else "<H", w) for w in words) + raw
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def color(r, g, b):
    return [r | (g << 8), b]


def metafile(records, objects=8, placeable=(0, 0, 1000, 1000, 1000)):
    body = b"".join(records) + rec(0)
    size_words = (18 + len(body)) // 2
    header = struct.pack("<HHHIHIH", 1, 9, 0x300, size_words, objects, 64, 0)
    if placeable is None:
        return header + body
    left, top, right, bottom, inch = placeable
    words = struct.unpack("<10H", struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0))
    checksum = 0
    for w in words:
        checksum ^= w
    return struct.pack("<IHhhhhHIH", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0, checksum) + header + body


def dib(width, height, bits, pixels, palette=()):
    head = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 0, 0, len(palette), 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return head + table + pixels


def text(s):
    data = s.encode("cp1252")
    return data + (b"\0" if len(data) % 2 else b"")


def font(height, face, weight=400, escapement=0):
    name = face.encode() + b"\0" * (32 - len(face))
    return rec(0x02FB, height, 0, escapement, 0, weight, raw=bytes(8) + name)


def main(out):
    os.makedirs(out, exist_ok=True)
    window = [rec(0x020B, 0, 0), rec(0x020C, 1000, 1000)]
    seeds = {
        "shapes.wmf": metafile(window + [
            rec(0x02FA, 0, 20, 0, *color(255, 0, 0)), rec(0x012D, 0),
            rec(0x02FC, 0, *color(0, 0, 255), 0), rec(0x012D, 1),
            rec(0x041B, 400, 400, 100, 100), rec(0x0418, 900, 900, 500, 500),
            rec(0x061C, 100, 100, 900, 400, 600, 100),
            rec(0x0214, 0, 0), rec(0x0213, 1000, 1000),
            rec(0x0817, 500, 900, 500, 100, 900, 900, 100, 100),
            rec(0x081A, 100, 500, 500, 900, 800, 800, 200, 200),
            rec(0x0830, 900, 500, 100, 500, 700, 700, 300, 300),
            rec(0x01F0, 0), rec(0x01F0, 1)]),
        "polys.wmf": metafile(window + [
            rec(0x0106, 2), rec(0x02FC, 2, *color(0, 128, 0), 5), rec(0x012D, 0),
            rec(0x0324, 3, 100, 100, 900, 100, 500, 900),
            rec(0x0325, 4, 0, 0, 1000, 0, 1000, 1000, 0, 1000),
            rec(0x0538, 2, 3, 3, 100, 100, 400, 100, 250, 400, 600, 600, 900, 600, 750, 900)]),
        "text.wmf": metafile(window + [
            font(-120, "Arial", 700), rec(0x012D, 0), rec(0x0209, *color(0, 0, 0)), rec(0x0102, 1),
            rec(0x012E, 24), rec(0x0521, 5, raw=text("Hallo") + struct.pack("<hh", 500, 100)),
            rec(0x0A32, 800, 100, 3, 6, 100, 700, 900, 900,
                raw=text("abc") + struct.pack("<hhh", 100, 100, 100)),
            font(-80, "Arial", 400, 450), rec(0x012D, 1), rec(0x0201, *color(255, 255, 0)), rec(0x0102, 2),
            rec(0x0A32, 300, 300, 4, 0, raw=text("Dreh"))]),
        "state.wmf": metafile([
            rec(0x020B, -500, -500), rec(0x020C, -1000, 1000), rec(0x001E),
            rec(0x0416, 400, 400, -400, -400), rec(0x0104, 7), rec(0x041B, 500, 500, -500, -500),
            rec(0x0127, -1), rec(0x0415, 100, 100, -100, -100), rec(0x0418, 300, 300, -300, -300),
            rec(0x0410, 1, 2, 1, 2), rec(0x020F, 10, 10), rec(0x041F, *color(1, 2, 3), 5, 5),
            rec(0x061D, 0x0021, 0x00F0, 200, 200, 0, 0), rec(0x012C, 0)], placeable=None),
        "bitmaps.wmf": metafile(window + [
            rec(0x0F43, 0x0020, 0x00CC, 0, 2, 2, 0, 0, 500, 500, 0, 0,
                raw=dib(2, 2, 24, bytes([0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0]))),
            rec(0x0B41, 0x0020, 0x00CC, 2, 8, 0, 0, 500, 500, 500, 500,
                raw=dib(8, 2, 1, bytes([0xF0, 0, 0, 0, 0x0F, 0, 0, 0]), [(0, 0, 0), (255, 255, 255)])),
            rec(0x0940, 0x0020, 0x00CC, 0, 0, 2, 2, 0, 500,
                raw=dib(2, 2, 4, bytes([0x12, 0, 0, 0, 0x21, 0, 0, 0]), [(0, 0, 0), (255, 0, 0), (0, 0, 255)])),
            rec(0x0142, 5, 0, raw=dib(2, 2, 8, bytes([0, 1, 0, 0, 1, 0, 0, 0]), [(255, 0, 255), (0, 255, 255)])),
            rec(0x012D, 0), rec(0x041B, 1000, 1000, 500, 500)]),
        "extreme.wmf": metafile([
            rec(0x020C, 100, 100), rec(0x0412, 1, 32767, 1, 32767), rec(0x0412, 1, 32767, 1, 32767)] +
            [rec(0x0410, 32767, 1, 32767, 1)] * 6 + [rec(0x020B, 0, 0),
            rec(0x0416, 30000, 30000, -30000, -30000), rec(0x0220, 30000, -30000),
            rec(0x02FA, 1, 0, 0, 0, 0), rec(0x012D, 0), rec(0x0214, -32768, -32768), rec(0x0213, 32767, 32767),
            rec(0x0325, 3, -32768, 0, 32767, 0, 0, 32767), rec(0x041B, 32767, 32767, -32768, -32768),
            font(-32768, "Arial"), rec(0x012D, 1), rec(0x0521, 1, raw=text("W") + struct.pack("<hh", 0, 0))],
            placeable=None),
        "bad-object.wmf": metafile(window + [rec(0x012D, 40)], objects=2),
        "truncated.wmf": metafile(window + [rec(0x041B, 400, 400, 100, 100)])[:-9],
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "wmf"))
