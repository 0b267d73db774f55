#!/usr/bin/env python3
"""Draws Lumiseek's icons and writes them as .ico files: the program's icon, a thick yellow
magnifier on dark blue (lumiseek.ico), and the twenty toolbar icons (icons/z*.ico, made by
toolbar_icons.py with the helpers here).

Only the standard library is used, so anyone can regenerate the icons:
    python3 resources/make_icon.py            # writes resources/lumiseek.ico and resources/icons/
    python3 resources/make_icon.py --png DIR  # also writes one PNG per size, to look at

Sizes up to 64 pixels are stored as 32-bit DIBs (read by every Windows version and by
resource compilers), 128 and 256 as PNG (as Windows Vista and later expect for the large sizes).
Shapes are drawn with distance functions and 4x4 supersampling, so edges stay smooth at 16 px.
"""
import math
import os
import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 128, 256)
PNG_FROM = 128

BLUE = (0x00, 0x23, 0x7A)     # background
YELLOW = (0xFF, 0xD8, 0x00)   # lens ring and handle
WHITE = (0xFF, 0xFF, 0xFF)    # glint on the glass
GLASS = (0x1A, 0x4F, 0xC4)    # the glass inside the ring, a lighter blue


def _capsule(px, py, ax, ay, bx, by):
    """Distance from (px, py) to the segment a-b."""
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def _rounded_square(px, py, radius):
    """Signed distance to the unit square with rounded corners (negative inside)."""
    qx = abs(px - 0.5) - (0.5 - radius)
    qy = abs(py - 0.5) - (0.5 - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - radius


def shade(x, y, size):
    """Colour and coverage of one sample point in unit coordinates; later layers paint over earlier."""
    layers = []
    # Small icons use the whole square and bolder strokes; large ones get rounded corners.
    corner = 0.06 if size <= 24 else 0.16
    if _rounded_square(x, y, corner) <= 0:
        layers.append(BLUE)
    cx, cy, r = 0.41, 0.41, 0.26
    ring = 0.11 if size <= 24 else 0.09
    d = math.hypot(x - cx, y - cy)
    if d < r - ring / 2:
        layers.append(GLASS)
        if size >= 32 and math.hypot(x - (cx - 0.09), y - (cy - 0.09)) < 0.045:
            layers.append(WHITE)
    handle = 0.09 if size <= 24 else 0.075
    # The handle starts at the lens centre but is painted only outside the glass, so it joins the ring cleanly.
    in_handle = d >= r - ring / 2 and _capsule(x, y, cx, cy, 0.85, 0.85) <= handle
    if abs(d - r) <= ring / 2 or in_handle:
        layers.append(YELLOW)
    return layers[-1] if layers else None


def render(size, shader=shade, n=4):
    """RGBA rows, top row first: shader(x, y, size) gives the colour at a point of the unit
    square (None: transparent), sampled n x n times per pixel."""
    rows = []
    for j in range(size):
        row = bytearray()
        for i in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sj in range(n):
                for si in range(n):
                    c = shader((i + (si + 0.5) / n) / size, (j + (sj + 0.5) / n) / size, size)
                    if c is not None:
                        hits += 1
                        for k in range(3):
                            acc[k] += c[k]
            if hits:
                row += bytes((acc[0] // hits, acc[1] // hits, acc[2] // hits, hits * 255 // (n * n)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + r for r in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, rows):
    """BITMAPINFOHEADER + BGRA pixels bottom-up + the 1-bit AND mask (height doubled, as icons want)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for r in reversed(rows):
        for i in range(size):
            red, green, blue, alpha = r[4 * i:4 * i + 4]
            pixels += bytes((blue, green, red, alpha))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for r in reversed(rows):
        line = bytearray(stride)
        for i in range(size):
            if r[4 * i + 3] == 0:
                line[i // 8] |= 0x80 >> (i % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def ico(images):
    """images: list of (size, bytes)."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset + len(body))
        body += data
    return out + body


def write_icon(path, name, sizes, shader, png_dir=None, large_samples=4):
    """Renders the shader at each size and writes the .ico (and the PNGs to look at); sizes above
    128 are sampled large_samples x large_samples times per pixel."""
    images = []
    for size in sizes:
        rows = render(size, shader, 4 if size <= 128 else large_samples)
        images.append((size, png(size, rows) if size >= PNG_FROM else dib(size, rows)))
        if png_dir:
            os.makedirs(png_dir, exist_ok=True)
            with open(os.path.join(png_dir, "%s-%d.png" % (name, size)), "wb") as f:
                f.write(png(size, rows))
    with open(path, "wb") as f:
        f.write(ico(images))


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    png_dir = argv[argv.index("--png") + 1] if "--png" in argv else None
    only = argv[argv.index("--only") + 1].split(",") if "--only" in argv else None
    if only is None or "lumiseek" in only:
        write_icon(os.path.join(here, "lumiseek.ico"), "lumiseek", SIZES, shade, png_dir)
    sys.path.insert(0, here)
    import toolbar_icons
    os.makedirs(os.path.join(here, "icons"), exist_ok=True)
    for name, shader in toolbar_icons.ICONS.items():
        if only is None or name in only:
            write_icon(os.path.join(here, "icons", name + ".ico"), name, toolbar_icons.SIZES, shader, png_dir, 2)


if __name__ == "__main__":
    main(sys.argv[1:])
