#!/usr/bin/env python3
"""Draws Quillon's icon and writes it as src/app/res/quillon.ico.

The picture: a strip of film on a blue tile, crossed by a golden quill.
Shapes are described as distance functions and sampled 4x4 per pixel, so
the small sizes stay smooth. Each image is a 32-bit BGRA bitmap with its
AND mask, the form every Windows version reads. Run it again after a
change and commit the .ico beside it.
"""

import math
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 48)
SUPERSAMPLE = 4


def clamp(v, lo=0.0, hi=1.0):
    return max(lo, min(hi, v))


def rounded_box(x, y, cx, cy, hw, hh, r):
    """Signed distance to a rounded rectangle (negative inside)."""
    qx = abs(x - cx) - hw + r
    qy = abs(y - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def segment(x, y, ax, ay, bx, by):
    """Distance to segment ab and the position t (0..1) along it."""
    px, py = x - ax, y - ay
    dx, dy = bx - ax, by - ay
    t = clamp((px * dx + py * dy) / (dx * dx + dy * dy))
    return math.hypot(px - dx * t, py - dy * t), t


def blend(dst, src, alpha):
    """Paints src (r, g, b) over dst (r, g, b, a) with coverage alpha."""
    r, g, b, a = dst
    out_a = alpha + a * (1.0 - alpha)
    if out_a <= 0.0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = lambda s, d: (s * alpha + d * a * (1.0 - alpha)) / out_a
    return (mix(src[0], r), mix(src[1], g), mix(src[2], b), out_a)


def shade(u, v, small):
    """Colour of the unit-square point (u, v), (0, 0) top left."""
    px = (0.0, 0.0, 0.0, 0.0)
    # The tile: a rounded square, lighter at the top.
    if rounded_box(u, v, 0.5, 0.5, 0.47, 0.47, 0.12) < 0:
        top = (0.27, 0.52, 0.85)
        bottom = (0.10, 0.25, 0.55)
        px = blend(px, tuple(t + (b - t) * v for t, b in zip(top, bottom)), 1.0)
    # The film strip across the middle, with sprocket holes on both edges.
    if rounded_box(u, v, 0.5, 0.56, 0.40, 0.20, 0.03) < 0:
        px = blend(px, (0.12, 0.12, 0.14), 1.0)
        holes = 4 if small else 6
        for i in range(holes):
            hx = 0.16 + i * (0.68 / (holes - 1))
            for hy in (0.41, 0.71):
                hole = rounded_box(u, v, hx, hy, 0.035, 0.03, 0.01)
                if hole < 0:
                    px = blend(px, (0.93, 0.93, 0.88), 1.0)
        if abs(v - 0.56) < 0.085 and 0.14 < u < 0.86:
            px = blend(px, (0.55, 0.75, 0.95), 0.85)
    # The quill: a feather vane from the top right down to a dark nib.
    dist, t = segment(u, v, 0.86, 0.10, 0.22, 0.88)
    width = 0.02 + 0.11 * math.sin(math.pi * clamp((t - 0.02) / 0.78)) if t < 0.8 else 0.02
    if dist < width:
        gold = (0.98, 0.80, 0.26) if t < 0.8 else (0.30, 0.22, 0.10)
        px = blend(px, gold, 1.0)
        if dist < 0.018 and t < 0.8:
            px = blend(px, (0.80, 0.55, 0.12), 1.0)  # the shaft
    return px


def render(size):
    rows = []
    small = size <= 16
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    u = (x + (sx + 0.5) / SUPERSAMPLE) / size
                    v = (y + (sy + 0.5) / SUPERSAMPLE) / size
                    r, g, b, a = shade(u, v, small)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SUPERSAMPLE * SUPERSAMPLE
            a = acc[3] / n
            if a > 0:
                rgb = [c / acc[3] for c in acc[:3]]
            else:
                rgb = [0.0, 0.0, 0.0]
            row.append(tuple(int(round(clamp(c) * 255)) for c in rgb) + (int(round(a * 255)),))
        rows.append(row)
    return rows


def dib(size, pixels):
    """BITMAPINFOHEADER + bottom-up BGRA rows + 1-bit AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    color = bytearray()
    for row in reversed(pixels):
        for r, g, b, a in row:
            color += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(color) + bytes(mask)


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("quillon.ico")
    images = [(size, dib(size, render(size))) for size in SIZES]
    data = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        dim = 0 if size >= 256 else size
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in images:
        data += blob
    out.write_bytes(bytes(data))
    print(f"wrote {out} ({len(data)} bytes)")


if __name__ == "__main__":
    main()
