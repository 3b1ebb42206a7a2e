#!/usr/bin/env python3
"""Draws BriskJot's pictures and writes them as Windows resource files.

Everything is placed pixel by pixel (ASCII grids) or built from integer
primitives, so the output is crisp and the same bytes come out on every run.
Only the standard library is used.

    python3 tools/artgen/artgen.py [OUTPUT_DIR]     (default: resources/art)
"""

import os
import struct
import sys

# ---------------------------------------------------------------------------
# File writers

MAGENTA = (255, 0, 255)


def _row_pad(n):
    return (4 - n % 4) % 4


def bmp_bytes(width, height, bits, pixel_rows, palette=None):
    """A BITMAPFILEHEADER + BITMAPINFOHEADER (BI_RGB) file, rows stored bottom-up.

    pixel_rows[y] is already the packed bytes of row y (top row first)."""
    stride = len(pixel_rows[0]) + _row_pad(len(pixel_rows[0]))
    image = b"".join(
        bytes(row) + b"\0" * (stride - len(row)) for row in reversed(pixel_rows)
    )
    pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette) if palette else b""
    offset = 14 + 40 + len(pal)
    header = struct.pack(
        "<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(image), 2835, 2835,
        len(palette) if palette else 0, 0,
    )
    return struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset) + header + pal + image


def bmp32(pixels):
    """32 bpp with straight alpha; see-through pixels are 0,0,0,0 so the data is
    also valid premultiplied (alpha here is only ever 0 or 255)."""
    rows = []
    for row in pixels:
        out = bytearray()
        for p in row:
            out += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
        rows.append(out)
    return bmp_bytes(len(pixels[0]), len(pixels), 32, rows)


def bmp24(pixels, key=MAGENTA):
    if any(p == key for row in pixels for p in row):
        raise ValueError("key colour %r is used by the picture" % (key,))
    rows = []
    for row in pixels:
        out = bytearray()
        for p in row:
            r, g, b = key if p is None else p
            out += bytes((b, g, r))
        rows.append(out)
    return bmp_bytes(len(pixels[0]), len(pixels), 24, rows)


def bmp8(pixels, key):
    """256-colour bitmap; see-through pixels get the key colour."""
    colours = sorted({p for row in pixels for p in row if p is not None})
    if key in colours:
        raise ValueError("key colour %r is used by the picture" % (key,))
    palette = [key] + colours
    if len(palette) > 256:
        raise ValueError("%d colours do not fit a 256-colour palette" % len(palette))
    # Unused entries repeat a picture colour so the key stays unique in the table.
    palette += [colours[0]] * (256 - len(palette))
    index = {c: i for i, c in reversed(list(enumerate(palette)))}
    rows = [bytearray(0 if p is None else index[p] for p in row) for row in pixels]
    return bmp_bytes(len(pixels[0]), len(pixels), 8, rows, palette)


def _mono_rows(bits, width):
    rows = []
    for row in bits:
        out = bytearray((width + 7) // 8)
        for x, v in enumerate(row):
            if v:
                out[x // 8] |= 0x80 >> (x % 8)
        out += b"\0" * _row_pad(len(out))
        rows.append(bytes(out))
    return b"".join(reversed(rows))


def _nibble_rows(indices, width):
    rows = []
    for row in indices:
        out = bytearray((width + 1) // 2)
        for x, v in enumerate(row):
            out[x // 2] |= v << (4 if x % 2 == 0 else 0)
        out += b"\0" * _row_pad(len(out))
        rows.append(bytes(out))
    return b"".join(reversed(rows))


def _icon_dir(kind, entries):
    """entries: (width, height, colour_count, field4, field6, data)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    blobs = b""
    for w, h, count, f4, f6, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, count, 0, f4, f6, len(data), offset)
        offset += len(data)
        blobs += data
    return out + blobs


def ico16(images, palette):
    """images: grids of palette indices or None (see-through), any square size."""
    entries = []
    for grid in images:
        size = len(grid)
        xor = [[0 if v is None else v for v in row] for row in grid]
        mask = [[1 if v is None else 0 for v in row] for row in grid]
        xor_bytes = _nibble_rows(xor, size)
        and_bytes = _mono_rows(mask, size)
        header = struct.pack(
            "<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor_bytes) + len(and_bytes),
            0, 0, 0, 0,
        )
        pal = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
        entries.append((size, size, 16, 1, 4, header + pal + xor_bytes + and_bytes))
    return _icon_dir(1, entries)


def cur_mono(grid, hotspot):
    """grid rows of 'X' black, 'O' white, '.' see-through."""
    size = len(grid)
    xor = [[1 if c == "O" else 0 for c in row] for row in grid]
    mask = [[1 if c == "." else 0 for c in row] for row in grid]
    xor_bytes = _mono_rows(xor, size)
    and_bytes = _mono_rows(mask, size)
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor_bytes) + len(and_bytes),
        0, 0, 2, 0,
    )
    pal = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    data = header + pal + xor_bytes + and_bytes
    return _icon_dir(2, [(size, size, 2, hotspot[0], hotspot[1], data)])


# ---------------------------------------------------------------------------
# A small pixel canvas: cells hold a colour key or None (see-through)


def mask(rows):
    return {(x, y) for y, row in enumerate(rows) for x, c in enumerate(row) if c != "."}


class Canvas:
    def __init__(self, width, height):
        self.w, self.h = width, height
        self.px = [[None] * width for _ in range(height)]

    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y][x]
        return None

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def grid(self, rows, ox=0, oy=0, keep=None):
        """Stamps an ASCII grid; '.' leaves the cell, and so does a cell that
        already holds `keep`."""
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch != "." and (keep is None or self.get(ox + x, oy + y) != keep):
                    self.set(ox + x, oy + y, ch)

    def glyph(self, rows, c, shadow):
        """A sign cut into a surface: its shadow falls to the bottom right."""
        cells = mask(rows)
        for (x, y) in cells:
            self.set(x + 1, y + 1, shadow)
        for (x, y) in cells:
            self.set(x, y, c)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def hline(self, x0, x1, y, c):
        self.rect(x0, y, x1, y, c)

    def vline(self, x, y0, y1, c):
        self.rect(x, y0, x, y1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def shape(self, cells, light, mid, dark, edge):
        """Fills a set of cells with a one-pixel edge and a one-pixel bevel lit
        from the top left, the light every image of the set shares."""
        cells = set(cells)
        rim = rim_of(cells)
        for (x, y) in cells:
            if (x, y) in rim:
                c = edge
            else:
                lit = (x - 1, y) in rim or (x, y - 1) in rim
                shaded = (x + 1, y) in rim or (x, y + 1) in rim
                c = light if lit and not shaded else dark if shaded and not lit else mid
            self.set(x, y, c)

    def rows(self, colours):
        return [[None if c is None else colours[c] for c in row] for row in self.px]


def rim_of(cells):
    """Cells with a side open to the outside: a thin, 8-connected outline."""
    return {(x, y) for (x, y) in cells
            if any((x + dx, y + dy) not in cells for dx, dy in ((-1, 0), (1, 0), (0, -1), (0, 1)))}


def disc(cx, cy, r):
    """Cells whose centres lie inside a circle; centre may be on a half pixel."""
    return {
        (x, y)
        for y in range(int(cy - r) - 1, int(cy + r) + 2)
        for x in range(int(cx - r) - 1, int(cx + r) + 2)
        if (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    }


def box(x0, y0, x1, y1):
    return {(x, y) for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)}


# ---------------------------------------------------------------------------
# The image strip: fifteen 16 x 16 images sharing one palette and one light

STRIP = {
    "k": (38, 42, 56),  # outline of every image
    "W": (255, 255, 255),
    "w": (232, 236, 242),
    "s": (180, 188, 202),
    "Y": (255, 251, 204),
    "y": (255, 226, 104),
    "u": (222, 176, 54),
    "l": (92, 128, 200),
    "G": (132, 224, 104),
    "g": (48, 164, 64),
    "d": (26, 110, 44),
    "O": (255, 192, 96),
    "o": (240, 128, 32),
    "q": (184, 78, 20),
    "R": (255, 126, 112),
    "r": (216, 50, 42),
    "m": (140, 26, 26),
    "P": (246, 156, 176),
    "C": (176, 214, 255),
    "c": (72, 132, 222),
    "n": (30, 72, 152),
    "E": (216, 220, 228),
    "e": (150, 158, 172),
    "h": (96, 104, 120),
    "T": (244, 206, 150),
    "t": (206, 146, 84),
    "b": (150, 96, 48),
    "B": (96, 58, 28),
    "V": (255, 228, 112),
    "v": (232, 176, 32),
    "z": (170, 118, 20),
}

PAGE = [
    "..kkkkkkkkk.....",
    "..kYYYYYYYkk....",
    "..kYyyyyyykuk...",
    "..kYyyyyyykkkk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kYyyyyyyyyuk..",
    "..kuuuuuuuuuuk..",
    "..kkkkkkkkkkkk..",
]

LINES = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "....lllllll.....",
    "................",
    "....llllllll....",
    "................",
    "....llllll......",
    "................",
    "....llllllll....",
    "................",
    "....lllll.......",
    "................",
    "................",
]

TICK = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "..............k.",
    ".............kgk",
    "............kgdk",
    "...k.......kgdk.",
    "..kgk.....kgdk..",
    "..kdgk...kgdk...",
    "...kdgk.kgdk....",
    "....kdgkgdk.....",
    ".....kdgdk......",
    "......kkk.......",
]

HEART = mask([
    "................",
    "................",
    "..####....####..",
    ".######..######.",
    ".##############.",
    ".##############.",
    ".##############.",
    "..############..",
    "..############..",
    "...##########...",
    "....########....",
    ".....######.....",
    "......####......",
    ".......##.......",
])

HELP_GLYPH = [
    "................",
    "................",
    "................",
    "......WWWW......",
    ".....WWWWWW.....",
    ".....WW..WW.....",
    ".........WW.....",
    "........WWW.....",
    ".......WWW......",
    ".......WW.......",
    "................",
    ".......WW.......",
    ".......WW.......",
]

INFO_GLYPH = [
    "................",
    "................",
    "................",
    "................",
    ".......WW.......",
    ".......WW.......",
    "................",
    "......WWW.......",
    ".......WW.......",
    ".......WW.......",
    ".......WW.......",
    ".......WW.......",
    "......WWWW......",
]

CLIPBOARD = [
    "......kkkk......",
    ".kkkkkkEEkkkkkk.",
    ".kTtkEEEEEkttbk.",
    ".kTtkkkkkkkttbk.",
    ".kTtWWWWWWWstbk.",
    ".kTtWWWWWWWstbk.",
    ".kTtWeeeeeWstbk.",
    ".kTtWWWWWWWstbk.",
    ".kTtWeeeeeWstbk.",
    ".kTtWWWWWWWstbk.",
    ".kTtWeeeeWWstbk.",
    ".kTtWWWWWWWstbk.",
    ".kTtWWWWWWWstbk.",
    ".kTtsssssssstbk.",
    ".kbbbbbbbbbbbbk.",
    ".kkkkkkkkkkkkkk.",
]

ROUND = mask([
    ".....######.....",
    "...##########...",
    "..############..",
    ".##############.",
    ".##############.",
    "################",
    "################",
    "################",
    "################",
    "################",
    "################",
    ".##############.",
    ".##############.",
    "..############..",
    "...##########...",
    ".....######.....",
])

DOOR = [
    "................",
    ".kkkkkkkkk......",
    ".kBBBBBBBk......",
    ".kBTTTTTbk......",
    ".kBTttttbk......",
    ".kBTttttbk......",
    ".kBTttttbk......",
    ".kBTttttbk......",
    ".kBTtttVbk......",
    ".kBTttttbk......",
    ".kBTttttbk......",
    ".kBTttttbk......",
    ".kBTttttbk......",
    ".kBbbbbbbk......",
    ".kBBBBBBBk......",
    ".kkkkkkkkk......",
]

ARROW_OUT = [
    "................",
    "................",
    "................",
    "................",
    "...........k....",
    "...........kk...",
    "...........kGk..",
    "......kkkkkkGgk.",
    "......kGGGGGggdk",
    "......kggggggdk.",
    "......kkkkkkdk..",
    "...........kk...",
    "...........k....",
    "................",
    "................",
    "................",
]

LAND = [
    "................",
    "................",
    "...ggg.....gg...",
    "..gGGGg...gGgd..",
    "..gGGGGg..gGGgd.",
    "..gGGGgg...gGgd.",
    "...gGgg...gGGgd.",
    "....gGg...gGGGgd",
    ".....gGg..gGGgd.",
    ".....gGgd..gGgd.",
    "......ggd..ggd..",
    "......gd....d...",
    "......d.........",
]

SCREEN = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "kEEEEEEEEEEEEEek",
    "kECCCCCCCCCCCCek",
    "kECCCCCCCCCCCCek",
    "kECCCCCkkkkkkkek",
    "kECCCCCkccccnkek",
    "kECCCCCkWWWWskek",
    "kECCCCCkWWWWskek",
    "kECCCCCkssssskek",
    "kECCCCCkkkkkkkek",
    "keeeeeeeeeeeeeek",
    "kkkkkkkkkkkkkkkk",
    "......kEek......",
    "....kkkEekkk....",
    "....kkkkkkkk....",
]

PRINTER = [
    "................",
    "....kkkkkkkk....",
    "....kWWWWWWk....",
    "....kWeeeeWk....",
    "..kkkWWWWWWkkk..",
    ".kEEEEEEEEEEEEk.",
    ".kEwwwwwwwwwwek.",
    ".kEwwwwwwwwGgek.",
    ".kEwwwwwwwwwwek.",
    ".kweeeeeeeeeeek.",
    ".kkkkkkkkkkkkkk.",
    ".khkWWWWWWWWkhk.",
    ".kkkWeeeeeeWkkk.",
    "...kWWWWWWWWk...",
    "...kWeeeeeWWk...",
    "...kkkkkkkkkk...",
]

FLOPPY = [
    "................",
    ".kkkkkkkkkkkkk..",
    ".kCckEEEhhEkcck.",
    ".kCckEEEhhEkcck.",
    ".kCckEEEhhEkcck.",
    ".kCckEEEEEEkcck.",
    ".kCckkkkkkkkcck.",
    ".kCccccccccccnk.",
    ".kCcWWWWWWWWcnk.",
    ".kCcWllllllWcnk.",
    ".kCcWWWWWWWWcnk.",
    ".kCcWllllWWWcnk.",
    ".kCcWWWWWWWWcnk.",
    ".kcnnnnnnnnnnnk.",
    ".kkkkkkkkkkkkkk.",
    "................",
]


def gear_cells():
    cells = disc(7.5, 7.5, 5.6)
    cells |= box(6, 0, 9, 2) | box(6, 13, 9, 15) | box(0, 6, 2, 9) | box(13, 6, 15, 9)
    for sx, sy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
        for x, y in ((2, 2), (3, 2), (2, 3), (3, 3), (4, 3), (3, 4)):
            cells.add((x if sx > 0 else 15 - x, y if sy > 0 else 15 - y))
    return cells - disc(7.5, 7.5, 1.8)


def pencil(c, tx, ty, length, legend, cone=3, band=2, eraser=3, half=2):
    """A pencil lying at 45 degrees with its point at tx, ty (bottom left).

    a runs along the pencil from the point, b across it (negative is the lit
    top-left flank); both step in half-diagonals, so a and b share parity."""
    cells = {}
    for y in range(c.h):
        for x in range(c.w):
            a = (x - tx) - (y - ty)
            b = (x - tx) + (y - ty)
            if a < 0 or a > length or abs(b) > min(half, (a + 1) * half // (cone + 1)):
                continue
            side = 0 if b < 0 else 1 if b <= half // 2 else 2
            if a <= cone // 3:
                part = "lead"
            elif a <= cone:
                part = "wood"
            elif a <= length - band - eraser:
                part = "body"
            elif a <= length - eraser:
                part = "band"
            else:
                part = "eraser"
            cells[(x, y)] = legend[part][side]
    rim = rim_of(set(cells))
    for (x, y), col in cells.items():
        c.set(x, y, legend["edge"] if (x, y) in rim else col)


PENCIL_COLOURS = {
    "edge": "k",
    "lead": "hhk",
    "wood": "TTt",
    "body": "Rrm",
    "band": "Eeh",
    "eraser": "PPR",
}


def strip_images():
    images = []

    def new():
        c = Canvas(16, 16)
        images.append(c)
        return c

    def note(c):
        c.grid(PAGE)
        c.grid(LINES)

    new().grid(PAGE)  # 0 empty note
    c = new()  # 1 saved note
    note(c)
    c.grid(TICK)
    c = new()  # 2 unsaved note
    note(c)
    pencil(c, 4, 14, 18, PENCIL_COLOURS)
    c = new()  # 3 clear clipboard
    c.grid(CLIPBOARD)
    cross = {(x, y) for y in range(7, 16) for x in range(16)
             if -1 <= x - y <= 2 or -2 <= x + y - 23 <= 1}
    c.shape(cross, "r", "r", "m", "k")
    c = new()  # 4 exit
    c.grid(DOOR)
    c.grid(ARROW_OUT)
    c = new()  # 5 help
    c.shape(ROUND, "C", "c", "n", "k")
    c.glyph(HELP_GLYPH, "W", "n")
    c = new()  # 6 home site
    c.shape(ROUND, "C", "c", "n", "k")
    c.grid(LAND, keep="k")
    c = new()  # 7 default size and position
    c.grid(SCREEN)
    c = new()  # 8 time stamp
    note(c)
    c.shape(disc(11, 11, 4.3), "W", "W", "E", "k")
    c.set(11, 8, "k")
    c.set(11, 9, "k")
    c.set(11, 10, "k")
    c.set(11, 11, "r")
    c.set(12, 11, "k")
    c.set(13, 11, "k")
    c = new()  # 9 print
    c.grid(PRINTER)
    c = new()  # 10 find
    handle = {(x, y) for y in range(16) for x in range(16) if -1 <= x - y <= 2 and 19 <= x + y <= 29}
    c.shape(handle, "T", "b", "B", "k")
    c.shape(disc(6, 6, 5.6), "E", "e", "h", "k")
    c.shape(disc(6, 6, 3.7), "W", "C", "c", "h")
    c = new()  # 11 save
    c.grid(FLOPPY)
    c = new()  # 12 donate
    c.shape(HEART, "R", "r", "m", "k")
    c.set(3, 4, "W")
    c = new()  # 13 options
    c.shape(gear_cells(), "E", "e", "h", "k")
    c = new()  # 14 about
    c.shape(ROUND, "C", "c", "n", "k")
    c.glyph(INFO_GLYPH, "W", "n")
    return images


def strip_pixels(images, size=16):
    rows = [[] for _ in range(size)]
    for img in images:
        for y, row in enumerate(scaled(img.px, size)):
            rows[y].extend(None if c is None else STRIP[c] for c in row)
    return rows


# ---------------------------------------------------------------------------
# Larger screens: the 16-pixel images redrawn for 20, 24 and 32 pixels


def scale2x(px):
    """Doubles a grid and rounds its diagonal steps (Scale2x): outlines stay one
    step thick and no colour is invented, so the picture stays crisp."""
    h, w = len(px), len(px[0])
    out = [[None] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = px[y][x]
            a = px[y - 1][x] if y > 0 else p
            b = px[y][x + 1] if x < w - 1 else p
            c = px[y][x - 1] if x > 0 else p
            d = px[y + 1][x] if y < h - 1 else p
            e = [p, p, p, p]
            if c == a and c != d and a != b:
                e[0] = a
            if a == b and a != c and b != d:
                e[1] = b
            if d == c and d != b and c != a:
                e[2] = c
            if b == d and b != a and d != c:
                e[3] = d
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = e[0], e[1]
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = e[2], e[3]
    return out


def scaled(px, size):
    """16 pixels as they are, 32 by Scale2x; 20 and 24 repeat rows and columns
    spread evenly over the picture (integers only, the same on every run)."""
    if size == 16:
        return px
    if size == 32:
        return scale2x(px)
    pick = [i * 16 // size for i in range(size)]
    return [[px[y][x] for x in pick] for y in pick]


# ---------------------------------------------------------------------------
# The program icon: a spiral note pad and a pencil in the 16 standard colours

VGA = {
    "0": (0, 0, 0),
    "M": (128, 0, 0),
    "g": (0, 128, 0),
    "L": (128, 128, 0),
    "N": (0, 0, 128),
    "U": (128, 0, 128),
    "T": (0, 128, 128),
    "S": (192, 192, 192),
    "D": (128, 128, 128),
    "R": (255, 0, 0),
    "G": (0, 255, 0),
    "Y": (255, 255, 0),
    "B": (0, 0, 255),
    "F": (255, 0, 255),
    "A": (0, 255, 255),
    "W": (255, 255, 255),
}
VGA_ORDER = "0MgLNUTSDRGYBFAW"

ICON_PENCIL = {
    "edge": "0",
    "lead": "D00",
    "wood": "WWS",
    "body": "RRM",
    "band": "WSD",
    "eraser": "FFU",
}

RING_32 = [
    ".0.",
    "0S0",
    "0W0",
    "0S0",
    "0D0",
    "000",
]

RING_16 = [
    "0.",
    "S0",
    "D0",
    "00",
]


def note_pad(c, x0, y0, x1, y1, rings, ring, lines, ink):
    c.shape(box(x0, y0, x1, y1), "W", "Y", "L", "0")
    for y, lx0, lx1 in lines:
        c.hline(lx0, lx1, y, ink)
    for rx in rings:
        c.grid(ring, rx, y0 - len(ring) + 3)


def icon_images(ink="N"):
    big = Canvas(32, 32)
    big.rect(5, 29, 26, 29, "0")  # sheets under the pad
    big.rect(6, 30, 26, 30, "0")
    big.hline(6, 25, 29, "S")
    big.vline(26, 6, 29, "0")
    big.vline(25, 7, 29, "S")
    note_pad(big, 3, 5, 24, 28, (5, 9, 13, 17, 21), RING_32,
             [(y, 6, 21) for y in range(11, 27, 3)], ink)
    pencil(big, 13, 25, 34, ICON_PENCIL, cone=6, band=3, eraser=4, half=3)

    small = Canvas(16, 16)
    small.hline(2, 13, 15, "0")
    small.vline(13, 3, 15, "0")
    note_pad(small, 1, 2, 12, 14, (3, 6, 9), RING_16,
             [(6, 3, 10), (9, 3, 9), (12, 3, 6)], ink)
    pencil(small, 6, 13, 16, ICON_PENCIL, cone=3, band=2, eraser=2)
    return [big, small]


def icon_grids(images):
    return [[[None if p is None else VGA_ORDER.index(p) for p in row] for row in img.px]
            for img in images]


# ---------------------------------------------------------------------------
# The link cursor: a pointing hand, hot spot at the fingertip

HAND = [
    "......XX........",
    ".....XOOX.......",
    ".....XOOX.......",
    ".....XOOX.......",
    ".....XOOX.......",
    ".....XOOXXX.....",
    ".....XOOXOOXXX..",
    ".....XOOXOOXOOXX",
    ".XX..XOOXOOXOOXOOX",
    "XOOX.XOOXOOXOOXOOX",
    "XOOOXXOOOOOOOOXOOX",
    ".XOOOXOOOOOOOOOOOX",
    "..XOOOOOOOOOOOOOOX",
    "..XOOOOOOOOOOOOOOX",
    "...XOOOOOOOOOOOOOX",
    "...XOOOOOOOOOOOOX.",
    "....XOOOOOOOOOOOX.",
    "....XOOOOOOOOOOX..",
    ".....XOOOOOOOOOX..",
    ".....XOOOOOOOOOX..",
    ".....XXXXXXXXXXX..",
]
HAND_HOTSPOT = (6, 0)


def cursor_grid():
    rows = [(r + "." * 32)[:32] for r in HAND]
    return rows + ["." * 32] * (32 - len(rows))


# ---------------------------------------------------------------------------
# The about-box artwork: a note pad popped up from the tray, a pencil, a clock.
# Everything stays inside the centred 118 x 105 window in case the box clips it.

ART = dict(STRIP)
ART.update({
    "K": (72, 76, 88),  # soft shadow on the dialog face
    "f": (236, 233, 226),  # taskbar face
    "j": (160, 160, 164),
    "J": (110, 110, 116),
    "x": (20, 20, 24),  # clock digits
    "a": (255, 240, 160),  # pad paper, three steps
    "i": (250, 214, 84),
    "H": (214, 84, 80),  # margin rule
    "A": (236, 246, 255),  # clock face
    "Q": (120, 30, 30),
    "Z": (200, 220, 240),
})
ART_KEY = MAGENTA

DIGITS = {
    "1": [".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"],
    "0": ["###", "#.#", "#.#", "#.#", "#.#", "#.#", "###"],
    ":": [".", "#", ".", ".", ".", "#", "."],
}

# Hour marks on a radius of 9, from twelve o'clock clockwise; integers, so no
# floating-point library can move a pixel.
CLOCK_MARKS = [(0, -9), (4, -8), (8, -4), (9, 0), (8, 4), (4, 8),
               (0, 9), (-4, 8), (-8, 4), (-9, 0), (-8, -4), (-4, -8)]

INK_WORDS = [7, 11, 5, 9, 6, 4, 10, 8, 5, 12, 6, 9]
INK_WAVE = [0, -1, -2, -1, 0, -1, -2, -2, -1, 0, -1, -2, -1, 0, 0, -1, -2, -2]


def write_digits(c, text, x, y, col):
    for ch in text:
        glyph = DIGITS[ch]
        c.grid(["".join(col if g == "#" else "." for g in row) for row in glyph], x, y)
        x += len(glyph[0]) + 1


def scribble(c, x0, x1, y, seed, col):
    """Handwriting seen from afar: words of joined wavy strokes along a rule."""
    x, i = x0, seed
    while True:
        n = INK_WORDS[i % len(INK_WORDS)]
        if x + n > x1:
            return
        prev = None
        for k in range(n):
            point = (x + k, y + INK_WAVE[(i * 3 + k) % len(INK_WAVE)])
            if prev:
                c.line(prev[0], prev[1], point[0], point[1], col)
            prev = point
        x += n + 3
        i += 1


def about_art():
    c = Canvas(130, 120)

    # taskbar piece with the notification area
    bx0, by0, bx1, by1 = 8, 86, 123, 111
    c.rect(bx0, by0, bx1, by1, "f")
    c.hline(bx0, bx1, by0, "j")
    c.hline(bx0, bx1, by0 + 1, "W")
    c.hline(bx0, bx1, by1, "J")
    c.vline(bx0, by0, by1, "j")
    tx0, ty0, tx1, ty1 = 62, by0 + 4, bx1 - 3, by1 - 3
    c.hline(tx0, tx1, ty0, "j")
    c.vline(tx0, ty0, ty1, "j")
    c.hline(tx0, tx1, ty1, "W")
    c.vline(tx1, ty0, ty1, "W")
    write_digits(c, "10:10", tx1 - 22, ty0 + 6, "x")
    icon = strip_images()[1]
    for y in range(16):
        for x in range(16):
            if icon.px[y][x] is not None:
                c.set(tx0 + 5 + x, ty0 + 2 + y, icon.px[y][x])

    # the pad's shadow on the dialog, then the pad with its spiral
    px0, py0, px1, py1 = 14, 16, 74, 78
    c.rect(px0 + 4, py0 + 4, px1 + 3, py1 + 3, "K")
    c.shape(box(px0, py0, px1, py1), "a", "y", "i", "k")
    for x in range(px0 + 1, px1):
        c.set(x, py0 + 1, "Y")
    for y in range(py0 + 1, py1):
        c.set(px0 + 1, y, "Y")
    for y in range(py0 + 2, py1 - 1):
        c.set(px1 - 1, y, "u")
    for x in range(px0 + 2, px1):
        c.set(x, py1 - 1, "u")
    c.rect(px0 + 1, py0 + 2, px1 - 1, py0 + 6, "i")  # binding strip
    c.hline(px0 + 1, px1 - 1, py0 + 7, "u")
    rules = list(range(py0 + 15, py1 - 3, 6))
    for y in rules:
        c.hline(px0 + 3, px1 - 3, y, "l")
    c.vline(px0 + 10, py0 + 8, py1 - 2, "H")
    for rx in range(px0 + 5, px1 - 3, 7):
        c.grid([".kk.", "kEek", "kWek", "kEhk", "kehk", "kkkk", ".kk."], rx, py0 - 4)
        c.set(rx + 1, py0 + 4, "k")
        c.set(rx + 2, py0 + 4, "k")
    for n, y in enumerate(rules[:4]):
        scribble(c, px0 + 13, px1 - 5 if n < 3 else px0 + 40, y - 1, n * 5, "n")

    # the alarm clock
    cx, cy = 103, 33
    for bx in (cx - 12, cx + 12):
        c.shape(disc(bx, cy - 15, 5.2) - box(0, cy - 12, 129, 119), "V", "v", "z", "k")
    c.shape(box(cx - 1, cy - 21, cx + 1, cy - 15), "E", "e", "h", "k")
    c.shape(disc(cx, cy - 22, 2.2), "E", "e", "h", "k")
    for sx in (-1, 1):
        c.line(cx + 9 * sx, cy + 12, cx + 13 * sx, cy + 17, "k")
        c.line(cx + 8 * sx, cy + 12, cx + 12 * sx, cy + 17, "k")
    c.shape(disc(cx, cy, 15.2), "R", "r", "Q", "k")
    for (x, y) in disc(cx, cy, 15.2) - disc(cx, cy, 13.2):
        if c.get(x, y) != "k":
            c.set(x, y, "R" if x + y < cx + cy - 4 else "m" if x + y > cx + cy + 4 else "r")
    c.shape(disc(cx, cy, 11.2), "W", "A", "Z", "h")
    for k, (dx, dy) in enumerate(CLOCK_MARKS):
        c.set(cx + dx, cy + dy, "n")
        if k % 3 == 0:  # the quarters get a longer mark, pointing inwards
            c.set(cx + dx - dx // 9, cy + dy - dy // 9, "n")
    c.line(cx, cy, cx - 5, cy - 3, "k")  # hour hand at ten, the thicker one
    c.line(cx, cy - 1, cx - 5, cy - 4, "k")
    c.line(cx, cy, cx + 7, cy - 5, "k")  # minute hand at two
    c.set(cx, cy, "r")

    # a mug of coffee keeping the writer company
    mx0, my0, mx1, my1 = 90, 62, 110, 81
    c.rect(mx0 + 3, my1 + 1, mx1 + 5, my1 + 2, "K")
    handle = (disc(mx1 + 1, my0 + 9, 6.2) - disc(mx1 + 1, my0 + 9, 3.2)) - box(0, 0, mx1 - 1, 119)
    c.shape(handle, "C", "c", "n", "k")
    mug = box(mx0, my0, mx1, my1) - {(mx0, my1), (mx1, my1)}
    c.shape(mug, "C", "c", "n", "k")
    c.hline(mx0 + 1, mx1 - 1, my0 + 1, "B")
    c.hline(mx0 + 2, mx1 - 2, my0 + 2, "B")
    c.rect(mx0 + 2, my0 + 8, mx1 - 2, my0 + 11, "W")
    c.hline(mx0 + 2, mx1 - 2, my0 + 12, "E")
    for i, sx in enumerate((mx0 + 5, mx0 + 10, mx0 + 15)):
        for k in range(8 - (i % 2) * 2):
            c.set(sx + (0, 0, 1, 1, 0, 0, -1, -1)[(k + i * 3) % 8], my0 - 3 - k, "e")

    # the pencil, last, lying across the pad and writing on it
    pencil(c, px0 + 42, rules[3] - 1, 50, ABOUT_PENCIL, cone=12, band=5, eraser=7, half=5)
    return c


ABOUT_PENCIL = {
    "edge": "k",
    "lead": "hhk",
    "wood": "TTt",
    "body": "Rrm",
    "band": "Eeh",
    "eraser": "PPR",
}


# ---------------------------------------------------------------------------


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out = argv[1] if len(argv) > 1 else os.path.join(root, "resources", "art")
    os.makedirs(out, exist_ok=True)
    images = strip_images()
    if len(images) != 15:
        raise ValueError("the image list holds 15 images, not %d" % len(images))
    pixels = strip_pixels(images)
    art = about_art().rows(ART)
    if art[-1][0] is not None:
        raise ValueError("the artwork's bottom-left pixel must be see-through")
    files = {
        "imagelist1_32.bmp": bmp32(pixels),
        "imagelist1_24.bmp": bmp24(pixels),
        "imagelist1_20px.bmp": bmp32(strip_pixels(images, 20)),
        "imagelist1_24px.bmp": bmp32(strip_pixels(images, 24)),
        "imagelist1_32px.bmp": bmp32(strip_pixels(images, 32)),
        "briskjot.ico": ico16(icon_grids(icon_images()), [VGA[k] for k in VGA_ORDER]),
        "urlhand.cur": cur_mono(cursor_grid(), HAND_HOTSPOT),
        "about.bmp": bmp8(art, ART_KEY),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv)
