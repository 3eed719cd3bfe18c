#!/usr/bin/env python3
"""A slow, plain reference of the program's JPEG encoder, kept to pin the bytes
of its files in JpegExactBytesTests.cpp.

It is written from the encoder's description, step by step in scalar code,
and shares nothing with the C++ encoder: quality scaling with halves to even,
the multipliers, colour conversion and the scaled AAN DCT in single precision,
quantisation with halves to even, the optimal Huffman tables (smallest counts
merged first, the larger symbol first among equal counts, the reserved entry,
lengths limited to 16, HUFFVAL by original code size), the interleaved scan
with byte stuffing and 1-bit padding, and the JFIF file layout.

Where the description leaves the last bit of the floating-point work open,
arithmetic follows the types of its operands: single-precision values and
weights combine in single precision, step by step from left to right, and an
operation with a double constant (the DCT constants, the scale factors) is
done in double; every stored value is single precision.

    python3 tests/pure_jpeg/jpeg_reference.py          # prints the C++ table rows
    python3 tests/pure_jpeg/jpeg_reference.py --write DIR   # also writes the files
    python3 tests/pure_jpeg/jpeg_reference.py --verbose # code sizes, stuffed bytes

Paste the printed rows into kPinned in JpegExactBytesTests.cpp. The pictures
below must stay identical to the ones that test draws.
"""

import hashlib
import math
import os
import struct
import sys

_F32 = struct.Struct("<f")


def f32(x):
    """Rounds a double to the nearest single-precision value."""
    return _F32.unpack(_F32.pack(x))[0]


# --- test pictures (the same formulas as in JpegExactBytesTests.cpp) -----------

def mix(x, y, seed):
    """A 32-bit hash of a pixel position: noise the C++ test can repeat."""
    h = (x * 0x9E3779B1 + y * 0x85EBCA77 + seed * 0xC2B2AE3D) & 0xFFFFFFFF
    h ^= h >> 15
    h = (h * 0x2C1B3C6D) & 0xFFFFFFFF
    h ^= h >> 12
    h = (h * 0x297A2D39) & 0xFFFFFFFF
    h ^= h >> 15
    return h


def colourful(x, y):
    # Gradients in every channel plus strong noise.
    n = mix(x, y, 1)
    return ((x * 7 + (n & 63)) & 255, (y * 11 + ((n >> 8) & 31)) & 255, ((x + y) * 5 + ((n >> 16) & 127)) & 255)


def photo(x, y):
    # Smooth areas with a noisy band and a hard diagonal edge.
    n = mix(x, y, 2)
    r = 60 + (x * 150) // 161
    g = 200 - (y * 120) // 139
    b = 90 + ((x * y) >> 6) % 60
    if 40 <= y < 70:
        r = (r + (n & 127)) & 255
        g = (g + ((n >> 7) & 63)) & 255
    if x + y > 220:
        b = 255 - b
    return (r, g, b)


def flat(x, y):
    return (90, 140, 200)


def sparse(x, y):
    # White with isolated noise of every strength: long zero runs, rare large
    # values, many 0xFF bytes in the coded data.
    n = mix(x, y, 3)
    block = (x >> 3) + (y >> 3) * 64
    strength = mix(block, 0, 4) % 9  # 0 = flat block
    if strength == 0 or (n & 7) != 0:
        return (255, 255, 255)
    amp = (1 << strength) - 1
    v = 255 - ((n >> 8) & amp)
    return (v, max(0, v - ((n >> 16) & (amp >> 1))), v)


def screen(x, y):
    # A screenshot: title bar, text-like strokes, flat panels.
    if y < 24:
        return (x & 255, 80, 160)
    if (x // 7 + y // 11) % 5 == 0 and (x * 3 + y) % 4 < 2:
        return (0, 0, 0)
    if x > 600 and y > 400:
        return (230, 230, 230)
    return (255, 255, 255)


# name, width, height, pixel function, grey, qualities
CASES = [
    ("colourful", 37, 23, colourful, False, (95, 100, 1)),
    ("colourful grey", 37, 23, colourful, True, (95, 100, 1)),
    ("photo", 161, 139, photo, False, (95, 100, 1)),
    ("flat", 13, 9, flat, False, (95, 100, 1)),
    ("sparse", 512, 384, sparse, False, (95, 100, 1)),
    ("screen", 1031, 777, screen, False, (95,)),
]

# --- tables ---------------------------------------------------------------------

K1 = [
    16, 11, 10, 16, 24, 40, 51, 61,
    12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56,
    14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77,
    24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101,
    72, 92, 95, 98, 112, 100, 103, 99,
]
K2 = [
    17, 18, 24, 47, 99, 99, 99, 99,
    18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99,
    47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32


def zigzag_map():
    """zz[row * 8 + col] = position in zigzag order, by walking the anti-diagonals."""
    zz = [0] * 64
    row, col, up = 0, 0, True
    for k in range(64):
        zz[row * 8 + col] = k
        if up:
            if col == 7:
                row += 1
                up = False
            elif row == 0:
                col += 1
                up = False
            else:
                row -= 1
                col += 1
        else:
            if row == 7:
                col += 1
                up = True
            elif col == 0:
                row += 1
                up = True
            else:
                row += 1
                col -= 1
    return zz


ZZ = zigzag_map()
assert ZZ[:8] == [0, 1, 5, 6, 14, 15, 27, 28] and ZZ[56:] == [35, 36, 48, 49, 57, 58, 62, 63]

R = [0.353553390593273, 0.25489778955208, 0.270598050073098, 0.300672443467523,
     0.353553390593273, 0.449988111568207, 0.653281482438186, 1.28145772387074]
C4, C6, E, F = 0.707106781186548, 0.382683432365091, 0.541196100146196, 1.30656296487638

WEIGHTS = [
    (f32(0.299), f32(0.587), f32(0.114), f32(-128.0)),
    (f32(-0.16874), f32(-0.33126), f32(0.5), f32(0.0)),
    (f32(0.5), f32(-0.41869), f32(-0.08131), f32(0.0)),
]


def quant_table(base_natural, quality):
    """The 64 values of a slot in zigzag order."""
    base = [0] * 64
    for i in range(64):
        base[ZZ[i]] = base_natural[i]
    s = 200 - 2 * quality if quality >= 50 else round(5000 / quality)
    return [min(255, max(1, round((b * s + 50) / 100))) for b in base]


def multipliers(values):
    m = [0.0] * 64
    for b in range(8):
        for a in range(8):
            z = ZZ[a * 8 + b]
            m[z] = f32((R[a] * R[b]) / values[z])
    return m


# --- sampling, DCT, quantisation ---------------------------------------------------

def dct1(d):
    # Single-precision values meet in single precision; a product with one of
    # the double constants, and a sum that takes such a product, is worked in
    # double and stored as single.
    t0 = f32(d[0] + d[7]); t7 = f32(d[0] - d[7])
    t1 = f32(d[1] + d[6]); t6 = f32(d[1] - d[6])
    t2 = f32(d[2] + d[5]); t5 = f32(d[2] - d[5])
    t3 = f32(d[3] + d[4]); t4 = f32(d[3] - d[4])
    t10 = f32(t0 + t3); t13 = f32(t0 - t3); t11 = f32(t1 + t2)
    z1 = f32(f32(f32(t1 - t2) + t13) * C4)
    o0 = f32(t10 + t11); o4 = f32(t10 - t11); o2 = f32(t13 + z1); o6 = f32(t13 - z1)
    p10 = f32(t4 + t5); p11 = f32(t5 + t6); p12 = f32(t6 + t7)
    z5 = f32(f32(p10 - p12) * C6)
    z2 = f32(p10 * E + z5)
    z4 = f32(p12 * F + z5)
    z3 = f32(p11 * C4)
    z11 = f32(t7 + z3); z13 = f32(t7 - z3)
    o5 = f32(z13 + z2); o3 = f32(z13 - z2); o1 = f32(z11 + z4); o7 = f32(z11 - z4)
    return [o0, o1, o2, o3, o4, o5, o6, o7]


def transform(ws, mult):
    for c in range(8):
        col = dct1([ws[r * 8 + c] for r in range(8)])
        for r in range(8):
            ws[r * 8 + c] = col[r]
    for r in range(8):
        ws[r * 8:r * 8 + 8] = dct1(ws[r * 8:r * 8 + 8])
    out = [0] * 64
    for i in range(8):
        for j in range(8):
            z = ZZ[i * 8 + j]
            v = round(f32(ws[i * 8 + j] * mult[z]))  # a single-precision product, halves to even
            assert -32768 <= v <= 32767
            out[z] = v
    return out


def sample(width, height, pixel, components, mults):
    """Coefficient blocks of each component, block rows from the top."""
    pw, ph = (width + 7) // 8 * 8, (height + 7) // 8 * 8
    grid = [[pixel(min(x, width - 1), min(y, height - 1)) for x in range(pw)] for y in range(ph)]
    blocks = [[] for _ in range(components)]
    memo = {}
    for by in range(0, ph, 8):
        for bx in range(0, pw, 8):
            key = tuple(grid[by + j][bx + k] for j in range(8) for k in range(8))
            if key not in memo:
                result = []
                for c in range(components):
                    wr, wg, wb, off = WEIGHTS[c]
                    # Single-precision arithmetic, left to right as written.
                    ws = [f32(f32(f32(f32(r * wr) + f32(g * wg)) + f32(b * wb)) + off) for (r, g, b) in key]
                    result.append(transform(ws, mults[c]))
                memo[key] = result
            for c in range(components):
                blocks[c].append(memo[key][c])
    return blocks


# --- Huffman tables -------------------------------------------------------------------

def category(v):
    v = abs(v)
    n = 0
    while v:
        n += 1
        v >>= 1
    return n


def optimal_table(freq):
    """BITS (index 1..16) and HUFFVAL from 257 counts; also the largest size before limiting."""
    freq = list(freq)
    freq[256] = 1
    codesize = [0] * 257
    others = [-1] * 257
    while True:
        v1 = -1
        for i in range(257):
            if freq[i] and (v1 < 0 or freq[i] <= freq[v1]):
                v1 = i
        v2 = -1
        for i in range(257):
            if i != v1 and freq[i] and (v2 < 0 or freq[i] <= freq[v2]):
                v2 = i
        if v2 < 0:
            break
        freq[v1] += freq[v2]
        freq[v2] = 0
        codesize[v1] += 1
        while others[v1] >= 0:
            v1 = others[v1]
            codesize[v1] += 1
        others[v1] = v2
        codesize[v2] += 1
        while others[v2] >= 0:
            v2 = others[v2]
            codesize[v2] += 1
    largest = max(codesize)
    bits = [0] * (max(largest, 16) + 1)
    for i in range(257):
        if codesize[i]:
            bits[codesize[i]] += 1
    for i in range(largest, 16, -1):
        while bits[i] > 0:
            j = i - 2
            while bits[j] == 0:
                j -= 1
            bits[i] -= 2
            bits[i - 1] += 1
            bits[j + 1] += 2
            bits[j] -= 1
    i = 16 if largest > 16 else largest
    while bits[i] == 0:
        i -= 1
    bits[i] -= 1
    huffval = [s for size in range(1, largest + 1) for s in range(256) if codesize[s] == size]
    return bits[:17], huffval, largest


def codes(bits, huffval):
    table = {}
    code, k = 0, 0
    for length in range(1, 17):
        for _ in range(bits[length]):
            table[huffval[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return table


def statistics(blocks_list):
    dc = [0] * 257
    ac = [0] * 257
    for blocks in blocks_list:
        pred = 0
        for blk in blocks:
            dc[category(blk[0] - pred)] += 1
            pred = blk[0]
            run = 0
            for v in blk[1:]:
                if v == 0:
                    run += 1
                    continue
                while run > 15:
                    ac[0xF0] += 1
                    run -= 16
                ac[run * 16 + category(v)] += 1
                run = 0
            if run:
                ac[0] += 1
    return dc, ac


# --- bit writer and file ----------------------------------------------------------------

class Bits:
    def __init__(self, out):
        self.out, self.acc, self.n, self.stuffed = out, 0, 0, 0

    def put(self, value, length):
        for i in range(length - 1, -1, -1):
            self.acc = (self.acc << 1) | ((value >> i) & 1)
            self.n += 1
            if self.n == 8:
                self.out.append(self.acc)
                if self.acc == 0xFF:
                    self.out.append(0)
                    self.stuffed += 1
                self.acc, self.n = 0, 0

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)


def encode(width, height, pixel, grey, quality, info=None):
    components = 1 if grey else 3
    tables = [quant_table(K1, quality), quant_table(K2, quality)]
    mults = [multipliers(tables[0]), multipliers(tables[1]), multipliers(tables[1])]
    blocks = sample(width, height, pixel, components, mults)

    huff = []  # per slot: (dc bits, dc huffval, dc codes, ac ...)
    for slot in range(1 if grey else 2):
        dc, ac = statistics(blocks[0:1] if slot == 0 else blocks[1:3])
        dbits, dval, dlong = optimal_table(dc)
        abits, aval, along = optimal_table(ac)
        huff.append((dbits, dval, codes(dbits, dval), abits, aval, codes(abits, aval)))
        if info is not None:
            info.append("slot %d: DC longest %d, AC longest %d before limiting" % (slot, dlong, along))

    out = bytearray(b"\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    for slot in range(len(huff)):
        out += b"\xFF\xDB\x00\x43" + bytes([slot]) + bytes(tables[slot])
    out += b"\xFF\xC0" + struct.pack(">HBHHB", 8 + 3 * components, 8, height, width, components)
    for c in range(components):
        out += bytes([c + 1, 0x11, 0 if c == 0 else 1])
    for slot, (dbits, dval, _, abits, aval, _) in enumerate(huff):
        for cls, bits, val in ((0, dbits, dval), (0x10, abits, aval)):
            out += b"\xFF\xC4" + struct.pack(">H", 2 + 1 + 16 + len(val)) + bytes([cls + slot])
            out += bytes(bits[1:17]) + bytes(val)
    out += b"\xFF\xDA" + struct.pack(">HB", 6 + 2 * components, components)
    for c in range(components):
        out += bytes([c + 1, 0x00 if c == 0 else 0x11])
    out += b"\x00\x3F\x00"

    writer = Bits(out)
    preds = [0] * components
    for b in range(len(blocks[0])):
        for c in range(components):
            blk = blocks[c][b]
            _, _, dcodes, _, _, acodes = huff[0 if c == 0 else 1]
            diff = blk[0] - preds[c]
            preds[c] = blk[0]
            cat = category(diff)
            writer.put(*dcodes[cat])
            if cat:
                writer.put(diff if diff >= 0 else diff - 1, cat)
            run = 0
            for v in blk[1:]:
                if v == 0:
                    run += 1
                    continue
                while run > 15:
                    writer.put(*acodes[0xF0])
                    run -= 16
                cat = category(v)
                writer.put(*acodes[run * 16 + cat])
                writer.put(v if v >= 0 else v - 1, cat)
                run = 0
            if run:
                writer.put(*acodes[0])
    writer.flush()
    out += b"\xFF\xD9"
    if info is not None:
        info.append("%d stuffed bytes, %d bytes" % (writer.stuffed, len(out)))
    return bytes(out)


def main(argv):
    write_dir = argv[argv.index("--write") + 1] if "--write" in argv else None
    verbose = "--verbose" in argv
    if write_dir:
        os.makedirs(write_dir, exist_ok=True)
    for name, width, height, pixel, grey, qualities in CASES:
        for quality in qualities:
            info = []
            data = encode(width, height, pixel, grey, quality, info)
            print('    {"%s", %d, "%s"},' % (name, quality, hashlib.sha256(data).hexdigest()))
            if verbose:
                for line in info:
                    print("        //", line)
            if write_dir:
                path = os.path.join(write_dir, "%s-q%d.jpg" % (name.replace(" ", "-"), quality))
                with open(path, "wb") as f:
                    f.write(data)


if __name__ == "__main__":
    main(sys.argv[1:])
