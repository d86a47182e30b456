#!/usr/bin/env python3
"""Draws the toolbar strip and the program icon.

Usage: python3 draw_images.py OUTDIR
Writes OUTDIR/toolbar.bmp (160 x 16, 8-bit palette) and OUTDIR/main.ico
(one 32 x 32 image, 8-bit palette with its AND mask). Standard library only.

Every picture is composed from a few shape primitives (folder, arrow,
cross, sparkle, pane). A primitive builds a mask, a set of (x, y) pixels,
and paint() fills it and draws its inner edge in an outline colour, so a
shape can be moved or resized by changing its arguments alone.
"""

import os
import struct
import sys

# The toolbar loads its strip through a colour map that replaces pure black,
# grey 128, grey 192 and pure white by system colours; the strip avoids them.
MAPPED_COLOURS = {(0, 0, 0), (128, 128, 128), (192, 192, 192), (255, 255, 255)}

TOOLBAR_BACKGROUND = (236, 234, 220)

FOLDER_OUTLINE = (112, 76, 6)
FOLDER_BACK = (226, 170, 34)
FOLDER_FRONT = (254, 212, 84)
FOLDER_LIGHT = (254, 238, 166)

BLUE_OUTLINE = (18, 44, 120)
BLUE_FILL = (48, 118, 222)
BLUE_LIGHT = (150, 196, 252)

GREEN_OUTLINE = (10, 84, 22)
GREEN_FILL = (44, 172, 62)
GREEN_LIGHT = (150, 226, 150)

RED_OUTLINE = (118, 6, 6)
RED_FILL = (222, 38, 30)

SPARKLE_OUTER = (230, 120, 0)
SPARKLE_INNER = (254, 226, 60)
SPARKLE_CORE = (254, 254, 240)

WINDOW_OUTLINE = (30, 40, 70)
TITLE_FILL = (40, 86, 190)
TITLE_LIGHT = (110, 160, 240)
PANE_FILL = (250, 250, 248)
PANE_ROW = (170, 180, 200)
FRAME_FILL = (214, 214, 206)


class Canvas:
    """A rectangle of RGB pixels; None marks a transparent pixel."""

    def __init__(self, width, height, background=None):
        self.width = width
        self.height = height
        self.pixels = [[background] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def get(self, x, y):
        return self.pixels[y][x]

    def blit(self, other, left, top):
        for y in range(other.height):
            for x in range(other.width):
                self.put(left + x, top + y, other.get(x, y))


# ---- masks -----------------------------------------------------------------

def rect_mask(x0, y0, x1, y1):
    """All pixels from (x0, y0) to (x1, y1), both corners included."""
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def edge_of(mask):
    """The pixels of the mask that touch a pixel outside it (4-neighbours)."""
    return {(x, y) for (x, y) in mask
            if any(n not in mask for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)))}


def upper_left_of(mask):
    """The inner pixels just inside the top and left edges, for a highlight."""
    inner = mask - edge_of(mask)
    return {(x, y) for (x, y) in inner if (x, y - 1) not in inner or (x - 1, y) not in inner}


def paint(canvas, mask, fill, outline, light=None):
    for x, y in mask:
        canvas.put(x, y, fill)
    if light is not None:
        for x, y in upper_left_of(mask):
            canvas.put(x, y, light)
    for x, y in edge_of(mask):
        canvas.put(x, y, outline)


def orient(mask, direction, length, breadth, left, top):
    """Turns a mask drawn pointing right, length x breadth, to face direction
    and moves it to (left, top)."""
    placed = set()
    for x, y in mask:
        if direction == "right":
            px, py = x, y
        elif direction == "left":
            px, py = length - 1 - x, y
        elif direction == "up":
            px, py = y, length - 1 - x
        elif direction == "down":
            px, py = y, x
        else:
            raise ValueError(direction)
        placed.add((left + px, top + py))
    return placed


def head_mask(tip_x, half):
    """An arrow head pointing right with a two-pixel tip at column tip_x and
    45-degree sides; it spans `half` columns and 2 * half rows."""
    mask = set()
    for k in range(half):
        for y in range(half - 1 - k, half + 1 + k):
            mask.add((tip_x - k, y))
    return mask


# ---- primitives ------------------------------------------------------------

def draw_folder(canvas, left, top, width, height):
    """A yellow folder: a darker back with a tab, a lighter front flap."""
    tab = max(3, width * 2 // 5)
    back = rect_mask(left, top + 1, left + width - 1, top + height - 1)
    back |= rect_mask(left + 1, top, left + tab, top + 1)
    paint(canvas, back, FOLDER_BACK, FOLDER_OUTLINE)
    front = rect_mask(left, top + 3, left + width - 1, top + height - 1)
    paint(canvas, front, FOLDER_FRONT, FOLDER_OUTLINE, FOLDER_LIGHT)


def draw_arrow(canvas, direction, left, top, length, breadth, shaft,
               fill=BLUE_FILL, outline=BLUE_OUTLINE, light=BLUE_LIGHT):
    """A single arrow with a shaft; breadth and shaft are even numbers of
    pixels so the arrow sits on the middle of an even cell."""
    half = breadth // 2
    mask = head_mask(length - 1, half)
    mask |= rect_mask(0, half - shaft // 2, length - half, half + shaft // 2 - 1)
    paint(canvas, orient(mask, direction, length, breadth, left, top), fill, outline, light)


def draw_double_arrow(canvas, direction, left, top, length, breadth):
    """Two arrow heads one behind the other, the leading one drawn last."""
    half = breadth // 2
    step = length - half
    for offset in (0, step):
        mask = head_mask(offset + half - 1, half)
        paint(canvas, orient(mask, direction, length, breadth, left, top),
              BLUE_FILL, BLUE_OUTLINE, BLUE_LIGHT)


def draw_cross(canvas, left, top, size, thickness):
    """A red diagonal cross filling a size x size square."""
    centre = (size - 1) / 2.0
    mask = set()
    for y in range(size):
        for x in range(size):
            dx, dy = x - centre, y - centre
            if abs(dx - dy) <= thickness or abs(dx + dy) <= thickness:
                mask.add((left + x, top + y))
    paint(canvas, mask, RED_FILL, RED_OUTLINE)


def draw_sparkle(canvas, cx, cy, arm):
    """A four-pointed star of light centred on (cx, cy)."""
    for k in range(1, arm + 1):
        colour = SPARKLE_OUTER if k > 1 else SPARKLE_INNER
        for x, y in ((cx - k, cy), (cx + k, cy), (cx, cy - k), (cx, cy + k)):
            canvas.put(x, y, colour)
    for x, y in ((cx - 1, cy - 1), (cx + 1, cy - 1), (cx - 1, cy + 1), (cx + 1, cy + 1)):
        canvas.put(x, y, SPARKLE_OUTER)
    canvas.put(cx, cy, SPARKLE_CORE)


def draw_pane(canvas, left, top, width, height, rows):
    """A white list pane with grey text rows, the last one near its bottom."""
    paint(canvas, rect_mask(left, top, left + width - 1, top + height - 1), PANE_FILL, WINDOW_OUTLINE)
    for i, row_width in enumerate(rows):
        y = top + height - 3 - 3 * (len(rows) - 1 - i)
        for x in range(left + 2, min(left + 2 + row_width, left + width - 2)):
            canvas.put(x, y, PANE_ROW)


# ---- the pictures ----------------------------------------------------------

def new_folder_image():
    cell = Canvas(16, 16, TOOLBAR_BACKGROUND)
    draw_folder(cell, 0, 4, 13, 11)
    draw_sparkle(cell, 12, 3, 3)
    return cell


def parent_folder_image():
    cell = Canvas(16, 16, TOOLBAR_BACKGROUND)
    draw_folder(cell, 0, 4, 15, 11)
    draw_arrow(cell, "up", 3, 0, 13, 10, 4, GREEN_FILL, GREEN_OUTLINE, GREEN_LIGHT)
    return cell


def delete_image():
    cell = Canvas(16, 16, TOOLBAR_BACKGROUND)
    draw_cross(cell, 2, 2, 12, 2.0)
    return cell


def single_arrow_image(direction):
    cell = Canvas(16, 16, TOOLBAR_BACKGROUND)
    draw_arrow(cell, direction, 1, 2, 14, 12, 6)
    return cell


def double_arrow_image(direction):
    cell = Canvas(16, 16, TOOLBAR_BACKGROUND)
    draw_double_arrow(cell, direction, 1, 1, 14, 14)
    return cell


# Button i of the toolbar shows image i; the row mirrors the two panes.
TOOLBAR_IMAGES = [
    new_folder_image,
    parent_folder_image,
    delete_image,
    lambda: single_arrow_image("right"),
    lambda: double_arrow_image("right"),
    lambda: double_arrow_image("left"),
    lambda: single_arrow_image("left"),
    delete_image,
    parent_folder_image,
    new_folder_image,
]


def toolbar_strip():
    strip = Canvas(16 * len(TOOLBAR_IMAGES), 16, TOOLBAR_BACKGROUND)
    for i, draw in enumerate(TOOLBAR_IMAGES):
        strip.blit(draw(), 16 * i, 0)
    return strip


def main_icon():
    """Two panes in a window, each with a folder, and an arrow across."""
    icon = Canvas(32, 32)
    window = rect_mask(0, 2, 31, 29)
    paint(icon, window, FRAME_FILL, WINDOW_OUTLINE)
    paint(icon, rect_mask(0, 2, 31, 7), TITLE_FILL, WINDOW_OUTLINE, TITLE_LIGHT)
    for x in (21, 26):
        paint(icon, rect_mask(x, 3, x + 3, 6), FRAME_FILL, WINDOW_OUTLINE)
    draw_pane(icon, 2, 9, 13, 19, [9, 7, 8])
    draw_pane(icon, 17, 9, 13, 19, [8, 9, 6])
    draw_folder(icon, 4, 10, 9, 7)
    draw_folder(icon, 19, 10, 9, 7)
    draw_arrow(icon, "right", 8, 16, 16, 12, 6, GREEN_FILL, GREEN_OUTLINE, GREEN_LIGHT)
    return icon


# ---- file formats ----------------------------------------------------------

def build_palette(canvas, first):
    """The colours of the canvas in order of first use, `first` at index 0."""
    colours = [first]
    for row in canvas.pixels:
        for colour in row:
            if colour is not None and colour not in colours:
                colours.append(colour)
    if len(colours) > 256:
        raise ValueError("more than 256 colours")
    return colours


def dib(canvas, palette, with_mask):
    """A BITMAPINFOHEADER, a 256-entry palette and the bottom-up 8-bit rows,
    followed for an icon by the AND mask (1 = transparent)."""
    index = {colour: i for i, colour in enumerate(palette)}
    w, h = canvas.width, canvas.height
    row_pad = (-w) % 4
    pixels = bytearray()
    for y in reversed(range(h)):
        # A transparent pixel takes index 0 (black) so the XOR step keeps the screen.
        pixels += bytes(index[c] if c is not None else 0 for c in canvas.pixels[y])
        pixels += bytes(row_pad)
    mask = bytearray()
    if with_mask:
        mask_row = ((w + 31) // 32) * 4
        for y in reversed(range(h)):
            bits = bytearray(mask_row)
            for x in range(w):
                if canvas.pixels[y][x] is None:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
    height = 2 * h if with_mask else h
    header = struct.pack("<IiiHHIIiiII", 40, w, height, 1, 8, 0,
                         len(pixels) + len(mask), 0, 0, 256, 0)
    table = bytearray()
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        table += bytes((b, g, r, 0))
    return header + bytes(table) + bytes(pixels) + bytes(mask)


def bmp_file(canvas, palette):
    body = dib(canvas, palette, with_mask=False)
    offset = 14 + 40 + 256 * 4
    return struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, offset) + body


def ico_file(canvas, palette):
    body = dib(canvas, palette, with_mask=True)
    directory = struct.pack("<HHH", 0, 1, 1)
    # Width, height, colour count (0 means 256), reserved, planes, bits, size, offset.
    entry = struct.pack("<BBBBHHII", canvas.width % 256, canvas.height % 256, 0, 0,
                        1, 8, len(body), 6 + 16)
    return directory + entry + body


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: draw_images.py OUTDIR\n")
        return 2
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)

    strip = toolbar_strip()
    strip_palette = build_palette(strip, TOOLBAR_BACKGROUND)
    clashes = MAPPED_COLOURS.intersection(strip_palette)
    if clashes:
        raise ValueError("toolbar uses colours the toolbar remaps: %r" % sorted(clashes))
    with open(os.path.join(outdir, "toolbar.bmp"), "wb") as f:
        f.write(bmp_file(strip, strip_palette))

    icon = main_icon()
    with open(os.path.join(outdir, "main.ico"), "wb") as f:
        f.write(ico_file(icon, build_palette(icon, (0, 0, 0))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
