"""The twenty toolbar icons, drawn for people with low vision: one bold shape each, strong
colours, and a near-black outline around every part, so that each reads on any background
and at 48 pixels.

Each icon is a list of layers, bottom first. A layer is a signed distance function of the point
(negative inside) and its fill colour; it is painted with its outline (unless a third item says
False), so a later layer stands out from the one below it. make_icon.py renders them; this file only describes them.
"""
import math

SIZES = (48, 64, 96, 128, 256)
OUTLINE = 0.045                # outline width, in parts of the icon's side

INK = (0x10, 0x10, 0x10)
WHITE = (0xFF, 0xFF, 0xFF)
PAPER = (0xF4, 0xF4, 0xF4)
YELLOW = (0xFF, 0xC8, 0x00)
DARK_YELLOW = (0xD8, 0x98, 0x00)
RED = (0xE0, 0x18, 0x18)
GREEN = (0x10, 0xA8, 0x30)
BLUE = (0x10, 0x48, 0xD8)
SKY = (0x70, 0xC8, 0xFF)
GLASS = (0xB8, 0xE4, 0xFF)
GREY = (0x58, 0x58, 0x60)
ORANGE = (0xFF, 0x78, 0x00)


# --- shapes: signed distances in unit coordinates, y downwards ---

def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, radius=0.03):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hw, abs(y - cy) - hh
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - radius
    return d


def capsule(ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy or 1e-9

    def d(x, y):
        t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - r
    return d


def half_plane(nx, ny, c):
    """Inside where nx * x + ny * y <= c (n of length 1)."""
    return lambda x, y: nx * x + ny * y - c


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def minus(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def moved(shape, dx, dy, scale=1.0):
    return lambda x, y: shape((x - dx) / scale, (y - dy) / scale) * scale


def star(cx, cy, outer, inner, points=5):
    """A star's outline in polar form (not an exact distance, close enough for filling)."""
    def d(x, y):
        a = math.atan2(y - cy, x - cx) + math.pi / 2
        t = (a / (2 * math.pi / points)) % 1.0
        r = inner + (outer - inner) * abs(1 - 2 * t) ** 1.5
        return (math.hypot(x - cx, y - cy) - r) * 0.7
    return d


def gear(cx, cy, body, tooth, hole, teeth=8):
    def d(x, y):
        a = math.atan2(y - cy, x - cx)
        wave = math.cos(teeth * a)
        r = body + tooth * max(0.0, min(1.0, (wave + 0.25) * 2.5))
        return max((math.hypot(x - cx, y - cy) - r) * 0.8, hole - math.hypot(x - cx, y - cy))
    return d


# --- parts shared by several icons ---

def sheet(x0, y0, x1, y1):
    """A sheet of paper with its top right corner folded."""
    fold = (x1 - x0) * 0.32
    n = 1 / math.sqrt(2)
    body = intersect(box(x0, y0, x1, y1), half_plane(n, -n, n * (x1 - fold) - n * y0))
    corner = intersect(box(x1 - fold, y0, x1, y0 + fold, 0.0), half_plane(n, -n, n * (x1 - fold) - n * y0))
    lines = union(*(capsule(x0 + 0.09, y, x1 - 0.09, y, 0.03)
                    for y in (y0 + (y1 - y0) * f for f in (0.44, 0.62, 0.8))))
    return [(body, PAPER), (corner, WHITE), (lines, INK, False)]


def folder(x0, y0, x1, y1, colour=YELLOW):
    tab = box(x0, y0, x0 + (x1 - x0) * 0.45, y0 + (y1 - y0) * 0.35)
    body = box(x0, y0 + (y1 - y0) * 0.2, x1, y1)
    return [(union(tab, body), colour)]


def magnifier(cx, cy, r):
    handle = capsule(cx + r * 0.7, cy + r * 0.7, cx + r * 1.45, cy + r * 1.45, r * 0.32)
    ring = lambda x, y: abs(math.hypot(x - cx, y - cy) - r * 0.83) - r * 0.2
    return [(handle, BLUE), (circle(cx, cy, r * 0.7), GLASS), (ring, BLUE)]


TILE = (box(0.06, 0.06, 0.94, 0.94, 0.14), BLUE)


def bowl(cx, cy, r):
    """Half of a 3: a thick ring open on its left, between the top and the bottom."""
    ring = lambda x, y: abs(math.hypot(x - cx, y - cy) - r) - 0.075
    opening = intersect(half_plane(1, 0, cx - 0.02), half_plane(0, 1, cy + r * 0.45),
                        half_plane(0, -1, -(cy - r * 0.45)))
    return minus(ring, opening)


def digit(segments):
    """A seven-segment digit in white on a dark blue tile; segments among "abcdefg"."""
    x0, x1, y0, ym, y1 = 0.33, 0.67, 0.18, 0.5, 0.82
    ends = {"a": (x0, y0, x1, y0), "b": (x1, y0, x1, ym), "c": (x1, ym, x1, y1), "d": (x0, y1, x1, y1),
            "e": (x0, ym, x0, y1), "f": (x0, y0, x0, ym), "g": (x0, ym, x1, ym),
            "1": (0.56, y0, 0.56, y1), "flag": (0.56, y0, 0.40, 0.32)}
    return [TILE, (union(*(capsule(*ends[s], 0.075) for s in segments)), WHITE)]


# --- the icons, by resource name ---

LAYERS = {
    "zexit": [(circle(0.5, 0.5, 0.43), RED),
              (union(capsule(0.33, 0.33, 0.67, 0.67, 0.075), capsule(0.67, 0.33, 0.33, 0.67, 0.075)), WHITE)],
    "zsearch": magnifier(0.42, 0.42, 0.3),
    "zopen": folder(0.05, 0.12, 0.85, 0.8, DARK_YELLOW) + [(box(0.15, 0.42, 0.95, 0.88), YELLOW)],
    "zfile": sheet(0.2, 0.08, 0.8, 0.92),
    "zfolder": folder(0.07, 0.16, 0.93, 0.84),
    "zcolor": [(circle(0.5, 0.5, 0.42), BLUE), (intersect(circle(0.5, 0.5, 0.42), half_plane(1, 0, 0.5)), YELLOW)],
    "znew": [(union(capsule(0.5, 0.18, 0.5, 0.82, 0.11), capsule(0.18, 0.5, 0.82, 0.5, 0.11)), GREEN)],
    "zcopy": sheet(0.1, 0.06, 0.6, 0.7) + sheet(0.4, 0.3, 0.9, 0.94),
    "zsfiles": sheet(0.08, 0.05, 0.6, 0.8) + magnifier(0.6, 0.6, 0.2),
    "zsfolders": folder(0.05, 0.1, 0.82, 0.72) + magnifier(0.6, 0.6, 0.2),
    "zsboth": sheet(0.04, 0.04, 0.44, 0.62) + folder(0.3, 0.28, 0.92, 0.78) + magnifier(0.62, 0.62, 0.18),
    "zscustom": [(star(0.38, 0.4, 0.36, 0.16), ORANGE)] + magnifier(0.6, 0.6, 0.2),
    "zexpand": folder(0.05, 0.12, 0.95, 0.86) + [
        (union(capsule(0.5, 0.38, 0.5, 0.78, 0.075), capsule(0.3, 0.58, 0.7, 0.58, 0.075)), GREEN)],
    "zhelp": [(circle(0.5, 0.5, 0.43), BLUE),
              (union(minus(lambda x, y: abs(math.hypot(x - 0.5, y - 0.36) - 0.13) - 0.06,
                           lambda x, y: max(x - 0.5, 0.36 - y)),
                     capsule(0.5, 0.49, 0.5, 0.6, 0.06), circle(0.5, 0.77, 0.07)), WHITE)],
    "zprinter": [(box(0.24, 0.08, 0.76, 0.5), PAPER), (box(0.06, 0.34, 0.94, 0.74, 0.06), GREY),
                 (circle(0.8, 0.45, 0.045), GREEN), (box(0.22, 0.6, 0.78, 0.93), WHITE)],
    "zpreview": [(box(0.06, 0.14, 0.94, 0.86, 0.04), SKY), (circle(0.68, 0.36, 0.1), YELLOW),
                 (intersect(circle(0.3, 1.1, 0.55), box(0.06, 0.14, 0.94, 0.86, 0.04)), GREEN)],
    "z1": digit(["1", "flag"]),
    "z2": digit("abged"),
    "z3": [TILE, (union(bowl(0.5, 0.335, 0.155), bowl(0.5, 0.655, 0.165)), WHITE)],
    "zsettings": [(gear(0.5, 0.5, 0.3, 0.12, 0.12), BLUE)],
}


def shader(layers):
    """The colour at a point: the topmost layer whose shape or outline covers it."""
    def at(x, y, size):
        # Thin outlines would vanish at small sizes: at least 2.2 pixels.
        width = max(OUTLINE, 2.2 / size)
        for layer in reversed(layers):
            d = layer[0](x, y)
            if d <= 0:
                return layer[1]
            if d <= width and (len(layer) < 3 or layer[2]):
                return INK
        return None
    return at


ICONS = {name: shader(layers) for name, layers in LAYERS.items()}
