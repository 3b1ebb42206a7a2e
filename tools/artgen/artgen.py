#!/usr/bin/env python3
"""Draws BriskJot's pictures and writes them as Windows resource files.

Everything is placed pixel by pixel (ASCII grids) or built from integer
primitives, so the output is crisp and the same bytes come out on every run.
Only the standard library is used.

    python3 tools/artgen/artgen.py [OUTPUT_DIR]     (default: resources/art)
"""

import math
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
    """grid rows of 'X' black, 'O' white, '.' see-through, '~' inverted screen."""
    size = len(grid)
    xor = [[1 if c in "O~" else 0 for c in row] for row in grid]
    mask = [[1 if c in ".~" else 0 for c in row] for row in grid]
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

    def grid(self, rows, ox=0, oy=0, legend=None):
        """Stamps an ASCII grid; '.' leaves the cell, ' ' clears it."""
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch == ".":
                    continue
                c = None if ch == " " else (legend[ch] if legend else ch)
                self.set(ox + x, oy + y, c)

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
        n4 = ((-1, 0), (1, 0), (0, -1), (0, 1))
        rim = {(x, y) for (x, y) in cells if any((x + dx, y + dy) not in cells for dx, dy in n4)}
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
    "................",
    "..............k.",
    ".............kGk",
    "............kGgk",
    "......k....kGgk.",
    ".....kGk..kGgk..",
    ".....kgGkkGgk...",
    "......kgGGgk....",
    ".......kggk.....",
    "........kk......",
]

PENCIL = [
    "................",
    "................",
    "................",
    "................",
    "............kk..",
    "...........kPPk.",
    "..........kePPPk",
    ".........kOeePk.",
    "........kOoeek..",
    ".......kOooqk...",
    "......kOooqk....",
    ".....kOooqk.....",
    "....kTtoqk......",
    "....kTttk.......",
    "....kkkk........",
    "................",
]


HEART = mask([
    "................",
    "................",
    "..####....####..",
    ".######..######.",
    "################",
    "################",
    "################",
    "################",
    ".##############.",
    "..############..",
    "...##########...",
    "....########....",
    ".....######.....",
    "......####......",
    ".......##.......",
    "................",
])

HELP_GLYPH = [
    "................",
    "................",
    "................",
    "................",
    "......WWWW......",
    ".....WW..WW.....",
    ".........WW.....",
    "........WW......",
    ".......WW.......",
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

CROSS = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "........kk....kk",
    "........kRk..kRk",
    ".........kRkkRk.",
    "..........kRrk..",
    "..........kRrk..",
    ".........kRkkrk.",
    "........kRk..krk",
    "........kk....kk",
]

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
    "....gg..........",
    "...gGGg...dd....",
    "..gGGGgg..gdd...",
    "..gGGGGg....d...",
    "..ggGGgg........",
    "...gggg.....g...",
    "....gg.....gGg..",
    ".....g.....gGgd.",
    "...........ggd..",
    "..........gd....",
    "................",
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
    c.grid(PENCIL)
    c = new()  # 3 clear clipboard
    c.grid(CLIPBOARD)
    c.grid(CROSS)
    c = new()  # 4 exit
    c.grid(DOOR)
    c.grid(ARROW_OUT)
    c = new()  # 5 help
    c.shape(disc(7.5, 7.5, 7.3), "C", "c", "n", "k")
    c.glyph(HELP_GLYPH, "W", "n")
    c = new()  # 6 home site
    c.shape(disc(7.5, 7.5, 7.3), "C", "c", "n", "k")
    c.grid(LAND)
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
    c.shape(disc(7.5, 7.5, 7.3), "C", "c", "n", "k")
    c.glyph(INFO_GLYPH, "W", "n")
    return images


def strip_pixels(images):
    rows = [[] for _ in range(16)]
    for img in images:
        for y, row in enumerate(img.rows(STRIP)):
            rows[y].extend(row)
    return rows


# ---------------------------------------------------------------------------


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    out = argv[1] if len(argv) > 1 else os.path.join(root, "resources", "art")
    os.makedirs(out, exist_ok=True)
    images = strip_images()
    while len(images) < 15:
        images.append(Canvas(16, 16))
    pixels = strip_pixels(images)
    files = {
        "imagelist1_32.bmp": bmp32(pixels),
        "imagelist1_24.bmp": bmp24(pixels),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main(sys.argv)
