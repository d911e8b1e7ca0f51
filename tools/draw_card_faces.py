#!/usr/bin/env python3
"""Draws the two memory-card faces shipped in the program folder:
data/facea.gif, the back of a card lying face down (a question mark), and
data/faceb.gif, the mark of a pair found (a tick). Run once by hand when the
faces change; the build only copies the GIFs."""
import math
import os
import struct
import sys

SIZE = 120
SS = 4  # samples per pixel side, for smooth edges


def rounded(x, y, r=16, inset=0):
    lo, hi = inset, SIZE - inset
    if not (lo <= x < hi and lo <= y < hi):
        return False
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def question_mark(x, y):
    cx, cy = 60, 50
    d = math.hypot(x - cx, y - cy)
    a = math.degrees(math.atan2(-(y - cy), x - cx))
    if 11 <= d <= 23 and (a >= -75 or a <= -160):
        return True
    if 55 <= x <= 66 and 64 <= y <= 80:
        return True
    return math.hypot(x - 60.5, y - 93) <= 7


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0, min(1, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def tick(x, y):
    return min(seg_dist(x, y, 34, 62, 52, 80), seg_dist(x, y, 52, 80, 88, 40)) <= 8


def card_back(x, y):
    if not rounded(x, y):
        return None
    if math.hypot(x - 60, y - 60) <= 44:
        return (91, 108, 216) if question_mark(x, y + 4) else (255, 255, 255)
    if not rounded(x, y, 12, 6):
        return (63, 76, 170)
    if (int(x) // 10 + int(y) // 10) % 2 == 0 and math.hypot(x % 10 - 5, y % 10 - 5) <= 2:
        return (141, 155, 240)
    return (91, 108, 216)


def pair_found(x, y):
    if not rounded(x, y):
        return None
    if math.hypot(x - 60, y - 60) <= 42:
        return (34, 139, 80) if tick(x, y) else (255, 255, 255)
    return (34, 139, 80)


def render(shape):
    """Colour of each pixel: the mean of its samples, with the samples outside
    the card counting as transparent when they are the majority."""
    pixels = []
    for py in range(SIZE):
        for px in range(SIZE):
            got = [shape(px + (i + 0.5) / SS, py + (j + 0.5) / SS) for i in range(SS) for j in range(SS)]
            inside = [c for c in got if c is not None]
            if len(inside) * 2 < len(got):
                pixels.append(None)
            else:
                pixels.append(tuple(round(sum(c[k] for c in inside) / len(inside)) for k in range(3)))
    return pixels


def quantize(pixels, levels=255):
    """A palette of the colours used (index 0 transparent); colours beyond
    the palette are mapped to the nearest one kept."""
    counts = {}
    for p in pixels:
        if p is not None:
            counts[p] = counts.get(p, 0) + 1
    kept = [c for c, _ in sorted(counts.items(), key=lambda kv: -kv[1])[:levels]]
    def nearest(c):
        return min(range(len(kept)), key=lambda i: sum((kept[i][k] - c[k]) ** 2 for k in range(3)))
    cache = {}
    out = []
    for p in pixels:
        if p is None:
            out.append(0)
        else:
            if p not in cache:
                cache[p] = nearest(p) + 1
            out.append(cache[p])
    return [(255, 255, 255)] + kept, out


def lzw(indices, min_code):
    """LZW codes with a clear code often enough that the code width never
    grows: plain to write, and every GIF reader takes it."""
    clear, end = 1 << min_code, (1 << min_code) + 1
    width = min_code + 1
    room = (1 << width) - end - 2
    codes = []
    for i, v in enumerate(indices):
        if i % room == 0:
            codes.append(clear)
        codes.append(v)
    codes.append(end)
    bits, nbits, out = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 255)
            bits >>= 8
            nbits -= 8
    if nbits:
        out.append(bits & 255)
    return out


def write_gif(path, palette, indices):
    depth = max(1, math.ceil(math.log2(len(palette))))
    table = palette + [(0, 0, 0)] * ((1 << depth) - len(palette))
    min_code = max(2, depth)
    data = lzw(indices, min_code)
    with open(path, "wb") as f:
        f.write(b"GIF89a" + struct.pack("<HHBBB", SIZE, SIZE, 0x80 | (depth - 1), 0, 0))
        f.write(bytes(v for c in table for v in c))
        f.write(b"\x21\xf9\x04\x01\x00\x00\x00\x00")  # index 0 is transparent
        f.write(b"\x2c" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0) + bytes([min_code]))
        for i in range(0, len(data), 255):
            chunk = data[i:i + 255]
            f.write(bytes([len(chunk)]) + chunk)
        f.write(b"\x00\x3b")


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    for name, shape in (("facea.gif", card_back), ("faceb.gif", pair_found)):
        palette, indices = quantize(render(shape), 63)
        write_gif(os.path.join(root, name), palette, indices)


if __name__ == "__main__":
    sys.exit(main())
