#!/usr/bin/env python3
"""Generate the ball pictures and the application icon of Pelorin.

Run from anywhere:

    python3 resources/tools/make_pictures.py

It (re)writes, byte for byte the same on every run:

    resources/balls/prazdna.bmp    empty cell, all white
    resources/balls/zluta.bmp      yellow ball
    resources/balls/modra.bmp      blue ball
    resources/balls/hneda.bmp      brown ball
    resources/balls/bila.bmp       white ball
    resources/balls/modra_old.bmp  copy of the blue ball
    resources/balls/hneda_old.bmp  copy of the brown ball
    resources/icon/pelorin.png     32 x 32 application icon, 4-bit indexed
    resources/icon/pelorin.ico     the same icon for Windows builds, also at 16, 48 and
                                   256 pixels (whole-pixel scaling of the same picture)
    resources/icon/pelorin-16.png  the icon file's other sizes as the desktop's icon theme
    resources/icon/pelorin-48.png  takes them, each the same picture as in pelorin.ico
    resources/icon/pelorin-256.png

Only the Python standard library is used.  Everything is drawn from the
tables below, so the pictures can be read (and changed) right here.
"""

from __future__ import annotations

import struct
import zlib
from pathlib import Path

RESOURCES = Path(__file__).resolve().parent.parent

# ---------------------------------------------------------------------------
# Ball pictures
# ---------------------------------------------------------------------------

BALL_SIZE = 16

# Each ball is a disc of diameter 16 with a one-pixel black outline.  Per row:
# (rows, outline columns, first interior column, last interior column).
# A row without interior has first > last.  Every other pixel of the row lies
# outside the disc and is white.
BALL_ROWS = [
    ((0, 15), (6, 7, 8, 9), 1, 0),
    ((1, 14), (4, 5, 10, 11), 6, 9),
    ((2, 13), (3, 12), 4, 11),
    ((3, 12), (2, 13), 3, 12),
    ((4, 5, 10, 11), (1, 14), 2, 13),
    ((6, 7, 8, 9), (0, 15), 1, 14),
]

BLACK = (0x00, 0x00, 0x00)
WHITE = (0xFF, 0xFF, 0xFF)
SILVER = (0xC0, 0xC0, 0xC0)

# Highlights.  Coordinates are (column, row), row 0 at the top.
# The blue and brown balls carry a cross-shaped sparkle around (4, 4): a
# centre cross of five pixels in the first highlight colour whose four tips,
# two pixels from the centre, are in the second colour; and a reflection arc
# in the lower right in the second colour with a glint at (11, 11) in the
# first.
SPARKLE_CROSS = [(4, 3), (3, 4), (4, 4), (5, 4), (4, 5)]
SPARKLE_TIPS = [(4, 2), (2, 4), (6, 4), (4, 6)]
GLINT = [(11, 11)]
ARC = [(12, 9), (12, 10), (9, 12), (10, 12)]
# The yellow and white balls have two black dots and a silver arc.
DOTS = [(4, 4), (11, 11)]

# name: (fill colour, [(colour, pixels), ...]) -- None means the empty cell.
BALLS = {
    "prazdna": None,
    "zluta": ((0xFF, 0xFF, 0x00), [(BLACK, DOTS), (SILVER, ARC)]),
    "modra": ((0x00, 0x00, 0x80),
              [((0x80, 0xFF, 0xFF), SPARKLE_CROSS + GLINT),
               ((0x00, 0x80, 0xFF), SPARKLE_TIPS + ARC)]),
    "hneda": ((0x80, 0x40, 0x00),
              [(WHITE, SPARKLE_CROSS + GLINT),
               ((0xFF, 0x80, 0x40), SPARKLE_TIPS + ARC)]),
    "bila": (WHITE, [(BLACK, DOTS), (SILVER, ARC)]),
}

# Pictures that are plain copies of another one.
BALL_COPIES = {"modra_old": "modra", "hneda_old": "hneda"}


def ball_pixels(ball):
    """Return the picture as 16 rows (top first) of 16 (r, g, b) tuples."""
    pixels = [[WHITE] * BALL_SIZE for _ in range(BALL_SIZE)]
    if ball is None:
        return pixels
    fill, highlights = ball
    interior = set()
    for rows, outline, first, last in BALL_ROWS:
        for y in rows:
            for x in outline:
                pixels[y][x] = BLACK
            for x in range(first, last + 1):
                pixels[y][x] = fill
                interior.add((x, y))
    for colour, spots in highlights:
        for x, y in spots:
            assert (x, y) in interior, f"highlight ({x}, {y}) is off the disc"
            interior.discard((x, y))  # no pixel is highlighted twice
            pixels[y][x] = colour
    return pixels


def bmp24(pixels) -> bytes:
    """An uncompressed 24-bit BMP, rows stored bottom-up in B, G, R order."""
    height = len(pixels)
    width = len(pixels[0])
    stride = (width * 3 + 3) & ~3
    image = bytearray()
    for row in reversed(pixels):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        image += line + b"\0" * (stride - len(line))
    offset = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0,
                              offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0,
                              len(image), 2835, 2835, 0, 0)
    return file_header + info_header + bytes(image)


# ---------------------------------------------------------------------------
# Application icon
# ---------------------------------------------------------------------------

# The classic 16-colour VGA palette, in its usual order.
VGA = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 maroon
    (0x00, 0x80, 0x00),  # 2 green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 lime
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]

# Letters of the icon grid.  '.' is transparent.
ICON_KEY = {
    "k": 0,   # black outline
    "n": 4,   # navy
    "s": 7,   # silver
    "g": 8,   # grey
    "y": 11,  # yellow, lit window
    "b": 12,  # bright blue
    "w": 15,  # white
}

# The PNG marks this otherwise unused palette entry (magenta) as transparent;
# the ICO uses its AND mask instead.
PNG_TRANSPARENT_INDEX = 13

# Office towers: a light-grey tower with rows of blue windows on the left, a
# taller chequered navy tower in the middle, a navy spire behind it on the
# right and a low grey block with dark windows in the lower right corner.  A
# few windows near the ground are lit.
ICON_ART = [
    ".........................k......",
    ".........................k......",
    "........................kbk.....",
    "............kkkkkkkkkk..kbk.....",
    "............kbbnnbbnnk.kbnnk....",
    "............kbbnnbbnnk.kbnnk....",
    "............knnbbnnbbkkbnnnnk...",
    "............knnbbnnbbkkbnnnnk...",
    "............kbbnnbbnnkbnnnnnnk..",
    ".kkkkkkkkkkkkbbnnbbnnkbnnnnnnk..",
    ".kwwwwwwwwwwknnbbnnbbkbnnbnbnk..",
    ".kwssssssssgknnbbnnbbkbnnnnnnk..",
    ".kwbbsbbsbbgkbbnnbbnnkbnnbnbnk..",
    ".kwssssssssgkbbnnbbnnkbnnnnnnk..",
    ".kwbbsbbsbbgknnbbnnbbkbnnbnbnk..",
    ".kwssssssssgknnbbnnbbkbnnnnnnk..",
    ".kwbbsbbsbbgkbbnnbbnnkbnnbnbnk..",
    ".kwssssssssgkbbnnbbnnkbnnnnnnk..",
    ".kwbbsbbsbbgknnbbnnbbkbnnbnbnk..",
    ".kwssssssssgknnbbnnbbkbnnnnnnk..",
    ".kwbbsbbsbbgkbbnnbbnkkkkkkkkkkkk",
    ".kwssssssssgkbbnnbbnkwwwwwwwwwwk",
    ".kwbbsbbsbbgknnbbnnbkwssssssssgk",
    ".kwssssssssgknnbbnnbkwkkskkskkgk",
    ".kwbbsbbsbbgkbbnnbbnkwssssssssgk",
    ".kwssssssssgkbbnnbbnkwkkskkskkgk",
    ".kwbbsbbsyygknnbbnnbkwssssssssgk",
    ".kwssssssssgknnbbnnbkwyyskkskkgk",
    ".kwyysbbsbbgkbbnnyynkwssssssssgk",
    ".kwssssssssgkbbnnbbnkwkksyyskkgk",
    ".kwssssssssgknnbbnnbkwssssssssgk",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkkk",
]


def icon_indices():
    """The icon as 32 rows of palette indices, None where transparent."""
    assert len(ICON_ART) == 32 and all(len(r) == 32 for r in ICON_ART), \
        "the icon grid must be 32 x 32"
    rows = []
    for line in ICON_ART:
        rows.append([None if ch == "." else ICON_KEY[ch] for ch in line])
    used = {i for row in rows for i in row if i is not None}
    assert PNG_TRANSPARENT_INDEX not in used
    return rows


def png_chunk(kind: bytes, data: bytes) -> bytes:
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))


def pack_nibbles(indices) -> bytes:
    """Two 4-bit pixels per byte, the left one in the high nibble."""
    return bytes((indices[i] << 4) | indices[i + 1]
                 for i in range(0, len(indices), 2))


def icon_png(rows) -> bytes:
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        raw += pack_nibbles([PNG_TRANSPARENT_INDEX if i is None else i
                             for i in row])
    alpha = bytes(0 if i == PNG_TRANSPARENT_INDEX else 255
                  for i in range(PNG_TRANSPARENT_INDEX + 1))
    return (b"\x89PNG\r\n\x1a\n"
            + png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height,
                                             4, 3, 0, 0, 0))
            + png_chunk(b"PLTE", b"".join(bytes(c) for c in VGA))
            + png_chunk(b"tRNS", alpha)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


# The sizes the icon file holds: Explorer's views, Alt-Tab and the taskbar at 125 to 150 %
# pick the nearest, and one drawn in whole pixels stays sharp where a stretched one blurs.
ICON_SIZES = (16, 32, 48, 256)
# Windows takes the 256-pixel image as a PNG; the smaller ones stay bitmaps.
ICON_PNG_FROM = 256


def scaled(rows, size):
    """Whole-pixel scaling: each pixel takes the source pixel under its centre."""
    source = len(rows)
    pick = [(2 * i + 1) * source // (2 * size) for i in range(size)]
    return [[rows[y][x] for x in pick] for y in pick]


def icon_bitmap(rows) -> bytes:
    """A 4-bit image as an icon stores it: header, palette, colour bits, AND mask."""
    height = len(rows)
    width = len(rows[0])
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for row in reversed(rows):
        # Transparent pixels are black in the colour bits and set in the mask.
        colour += pack_nibbles([0 if i is None else i for i in row])
        bits = bytearray(mask_stride)
        for x, i in enumerate(row):
            if i is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA)
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 0, 0)
    return header + palette + bytes(colour) + bytes(mask)


def icon_ico(rows) -> bytes:
    """The icon at every size of ICON_SIZES, in that order."""
    images = []
    for size in ICON_SIZES:
        picture = scaled(rows, size)
        images.append(icon_png(picture) if size >= ICON_PNG_FROM
                      else icon_bitmap(picture))
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries = b""
    for size, image in zip(ICON_SIZES, images):
        side = size % 256  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 16, 0, 1, 4,
                               len(image), offset)
        offset += len(image)
    return directory + entries + b"".join(images)


# ---------------------------------------------------------------------------

def write(path: Path, data: bytes) -> None:
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)
    print(f"{path.relative_to(RESOURCES.parent)}: {len(data)} bytes")


def check_ball_rows() -> None:
    """The row table must describe 16 full rows: 40 + 148 + 68 pixels."""
    seen = sorted(y for rows, _, _, _ in BALL_ROWS for y in rows)
    assert seen == list(range(BALL_SIZE)), seen
    outline = sum(len(rows) * len(cols) for rows, cols, _, _ in BALL_ROWS)
    interior = sum(len(rows) * max(0, last - first + 1)
                   for rows, _, first, last in BALL_ROWS)
    assert (outline, interior) == (40, 148), (outline, interior)
    assert BALL_SIZE * BALL_SIZE - outline - interior == 68


def main() -> None:
    check_ball_rows()
    balls_dir = RESOURCES / "balls"
    for name, ball in BALLS.items():
        data = bmp24(ball_pixels(ball))
        assert len(data) == 822
        write(balls_dir / f"{name}.bmp", data)
    for name, original in BALL_COPIES.items():
        write(balls_dir / f"{name}.bmp", bmp24(ball_pixels(BALLS[original])))

    rows = icon_indices()
    write(RESOURCES / "icon" / "pelorin.png", icon_png(rows))
    write(RESOURCES / "icon" / "pelorin.ico", icon_ico(rows))
    for size in ICON_SIZES:
        if size != len(rows):
            write(RESOURCES / "icon" / f"pelorin-{size}.png",
                  icon_png(scaled(rows, size)))


if __name__ == "__main__":
    main()
