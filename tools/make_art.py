#!/usr/bin/env python3
"""Draws setup's pictures: the background "SPLASH_BITMAP" (320x240, which setup draws at twice
that size to fill 640x480), the 133x258 side picture of the wizard pages (bitmap 4500) and the
program icon (32x32 and 16x16).

Everything is drawn with the twenty colours a 256-colour display always reserves, mixed by an
8x8 ordered dither in both directions, so the pictures look the same whether or not a palette is
realised when they are shown, and show smooth shades rather than bands. The two pictures are
16-colour bitmaps (a palette of reserved colours) compressed with BI_RLE4, whose runs may
alternate two colours: most rows of an ordered dither are such runs, so the files stay small and
every Windows version draws them.
The files are written by plain Python (no imaging library), byte for byte the same on every run:
python3 tools/make_art.py [output folder, default setup/res]
"""
import math
import os
import struct
import sys

# The reserved colours of a 256-colour display, at their fixed palette positions.
STATIC_COLOURS = {
    0: (0, 0, 0), 1: (128, 0, 0), 2: (0, 128, 0), 3: (128, 128, 0), 4: (0, 0, 128),
    5: (128, 0, 128), 6: (0, 128, 128), 7: (192, 192, 192), 8: (192, 220, 192), 9: (166, 202, 240),
    246: (255, 251, 240), 247: (160, 160, 164), 248: (128, 128, 128), 249: (255, 0, 0),
    250: (0, 255, 0), 251: (255, 255, 0), 252: (0, 0, 255), 253: (255, 0, 255), 254: (0, 255, 255),
    255: (255, 255, 255),
}
BLACK, DARK_GREEN, DARK_BLUE, DARK_CYAN, LIGHT_GREY = 0, 2, 4, 6, 7
MONEY_GREEN, SKY_BLUE, CREAM, MID_GREY, DARK_GREY, YELLOW, WHITE = 8, 9, 246, 247, 248, 251, 255
DARK_YELLOW, DARK_RED, RED, GREEN = 3, 1, 249, 250

# 8x8 ordered-dither thresholds, 0..63.
BAYER = [
    [0, 32, 8, 40, 2, 34, 10, 42], [48, 16, 56, 24, 50, 18, 58, 26],
    [12, 44, 4, 36, 14, 46, 6, 38], [60, 28, 52, 20, 62, 30, 54, 22],
    [3, 35, 11, 43, 1, 33, 9, 41], [51, 19, 59, 27, 49, 17, 57, 25],
    [15, 47, 7, 39, 13, 45, 5, 37], [63, 31, 55, 23, 61, 29, 53, 21],
]


def palette_256():
    """The BMP palette: reserved colours in place, the free middle entries a quiet grey ramp."""
    entries = []
    for i in range(256):
        if i in STATIC_COLOURS:
            entries.append(STATIC_COLOURS[i])
        else:
            g = (i - 10) * 255 // 235
            entries.append((g, g, g))
    return entries


def mix(a, b, t, x, y):
    """Colour index a or b so that an area shows a fraction t (0..1) of b."""
    level = int(t * 64 + 0.5)
    return b if BAYER[y & 7][x & 7] < level else a


def ramp(stops, t, x, y):
    """Dithered point on a ramp of palette indices spread evenly over t = 0..1."""
    t = min(max(t, 0.0), 1.0) * (len(stops) - 1)
    i = min(int(t), len(stops) - 2)
    return mix(stops[i], stops[i + 1], t - i, x, y)


def hill(x, width, base, amplitude, waves, phase):
    """Height of a soft line of hills at column x (larger = higher on the picture)."""
    u = x / width
    h = 0.0
    for k, w in enumerate(waves):
        h += math.sin((u * w + phase * (k + 1)) * math.pi * 2) / (k + 1)
    return base + amplitude * h


def landscape(width, height, horizon, sun):
    """Evening sky over three ranges of rolling hills with a pale sun, as rows of indices."""
    sun_x, sun_y, sun_r = sun
    ranges = [  # (base above bottom, amplitude, waves, phase, colour ramp)
        (height - horizon + 0.06 * height, 0.035 * height, [1.3, 2.7], 0.10, [DARK_CYAN, SKY_BLUE]),
        (height - horizon - 0.06 * height, 0.045 * height, [0.9, 2.1], 0.55, [DARK_GREEN, DARK_CYAN]),
        (height - horizon - 0.20 * height, 0.05 * height, [0.7, 1.6], 0.30, [BLACK, DARK_GREEN]),
    ]
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            up = height - y
            colour = None
            for base, amp, waves, phase, stops in reversed(ranges):
                top = hill(x, width, base, amp, waves, phase)
                if up < top:
                    # darker towards the foot of each range
                    colour = ramp(stops, 0.35 + 0.65 * up / max(base + amp, 1.0), x, y)
                    break
            if colour is None:
                d = math.hypot(x - sun_x, y - sun_y)
                if d < sun_r:
                    colour = mix(CREAM, WHITE, 0.5 * (1 - d / sun_r), x, y)
                elif d < sun_r * 1.8:
                    glow = 1 - (d - sun_r) / (sun_r * 0.8)
                    sky = ramp([DARK_BLUE, SKY_BLUE, CREAM], y / horizon, x, y)
                    colour = mix(sky, CREAM, 0.6 * glow, x, y)
                else:
                    colour = ramp([DARK_BLUE, SKY_BLUE, CREAM], y / horizon, x, y)
            row.append(colour)
        rows.append(row)
    return rows


# The 16 colours of the pictures' palette: all but four of the reserved colours.
PICTURE_COLOURS = [BLACK, DARK_RED, DARK_GREEN, DARK_YELLOW, DARK_BLUE, 5, DARK_CYAN, LIGHT_GREY,
                   MONEY_GREEN, SKY_BLUE, CREAM, MID_GREY, DARK_GREY, YELLOW, 254, WHITE]


def rle4(rows):
    """Bottom-up BI_RLE4: a run is a count and two colours it alternates (one colour when both are
    the same); what does not form runs goes in absolute mode. An end of line after each row, an
    end of bitmap at the end."""
    index = {c: i for i, c in enumerate(PICTURE_COLOURS)}
    out = bytearray()

    def absolute(pixels):
        for start in range(0, len(pixels), 252):
            chunk = pixels[start:start + 252]
            if len(chunk) < 3:  # absolute mode needs three pixels: short ones are runs of their own
                for i in range(0, len(chunk), 2):
                    pair = chunk[i:i + 2] + [0]
                    out.extend([len(chunk[i:i + 2]), pair[0] << 4 | pair[1]])
                continue
            padded = chunk + [0] * (len(chunk) % 2)
            data = bytes(padded[i] << 4 | padded[i + 1] for i in range(0, len(padded), 2))
            out.extend([0, len(chunk)])
            out.extend(data + bytes(len(data) % 2))

    for row in reversed(rows):
        pixels = [index[c] for c in row]
        x, loose = 0, []
        while x < len(pixels):
            a, b = pixels[x], pixels[x + 1] if x + 1 < len(pixels) else pixels[x]
            run = 1
            while x + run < len(pixels) and run < 255 and pixels[x + run] == (a if run % 2 == 0 else b):
                run += 1
            if run >= 4:
                absolute(loose)
                loose = []
                out.extend([run, a << 4 | b])
                x += run
            else:
                loose.append(pixels[x])
                x += 1
        absolute(loose)
        out += b"\x00\x00"
    out[-2:] = b"\x00\x01"
    return bytes(out)


def bmp_4bit(rows):
    """A bottom-up, run-length compressed 4-bit BMP file with the pictures' 16-colour palette."""
    height, width = len(rows), len(rows[0])
    pixels = rle4(rows)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in (STATIC_COLOURS[c] for c in PICTURE_COLOURS))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 2, len(pixels), 2835, 2835, 16, 0)  # BI_RLE4
    return header + info + palette + pixels


# ---- icon -------------------------------------------------------------------------------------

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
TRANSPARENT = -1


def icon_picture(size):
    """An open carton with a green arrow dropping into it, as palette indices of the
    reserved colours (TRANSPARENT where the desktop shows through)."""
    s = size / 32.0
    grid = [[TRANSPARENT] * size for _ in range(size)]

    def fill(poly, colour):
        ys = [p[1] for p in poly]
        for y in range(max(0, int(min(ys))), min(size, int(math.ceil(max(ys))))):
            cy = y + 0.5
            xs = []
            for i in range(len(poly)):
                (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % len(poly)]
                if (y1 <= cy < y2) or (y2 <= cy < y1):
                    xs.append(x1 + (cy - y1) * (x2 - x1) / (y2 - y1))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(max(0, int(round(a))), min(size, int(round(b)))):
                    grid[y][x] = colour

    def outline(poly, colour):
        for i in range(len(poly)):
            (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % len(poly)]
            steps = int(max(abs(x2 - x1), abs(y2 - y1))) + 1
            for k in range(steps + 1):
                x = int(round(x1 + (x2 - x1) * k / steps - 0.01))
                y = int(round(y1 + (y2 - y1) * k / steps - 0.01))
                if 0 <= x < size and 0 <= y < size:
                    grid[y][x] = colour

    def sc(points):
        return [(x * s, y * s) for x, y in points]

    front = sc([(4, 17), (20, 17), (20, 31), (4, 31)])
    side = sc([(20, 17), (28, 13), (28, 27), (20, 31)])
    opening = sc([(4, 17), (20, 17), (28, 13), (12, 13)])
    left_flap = sc([(4, 17), (0, 11), (8, 7), (12, 13)])
    right_flap = sc([(28, 13), (31, 7), (22, 7), (12, 13)])
    fill(right_flap, DARK_YELLOW)
    outline(right_flap, BLACK)
    fill(opening, DARK_GREY)
    arrow = sc([(13, 0), (19, 0), (19, 8), (23, 8), (16, 16), (9, 8), (13, 8)])
    fill(arrow, GREEN)
    outline(arrow, DARK_GREEN)
    fill(left_flap, YELLOW)
    outline(left_flap, BLACK)
    fill(front, YELLOW)
    fill(side, DARK_YELLOW)
    outline(front, BLACK)
    outline(side, BLACK)
    return grid


def icon_image(grid, bits):
    """One icon image: BITMAPINFOHEADER, palette, colour bits and the transparency mask."""
    size = len(grid)
    if bits == 4:
        remap = {BLACK: 0, DARK_RED: 1, DARK_GREEN: 2, DARK_YELLOW: 3, DARK_BLUE: 4, DARK_CYAN: 6,
                 LIGHT_GREY: 7, DARK_GREY: 8, RED: 9, GREEN: 10, YELLOW: 11, WHITE: 15, CREAM: 15}
        palette = VGA16
    else:
        remap = {i: i for i in STATIC_COLOURS}
        palette = palette_256()
    colour_rows, mask_rows = bytearray(), bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(grid):
        indices = [0 if c == TRANSPARENT else remap[c] for c in row]
        if bits == 4:
            line = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        else:
            line = bytes(indices)
        colour_rows += line + bytes((-len(line)) % 4)
        mask = bytearray(mask_stride)
        for x, c in enumerate(row):
            if c == TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
        mask_rows += mask
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0,
                         len(colour_rows) + len(mask_rows), 0, 0, 0, 0)
    return header + pal + bytes(colour_rows) + bytes(mask_rows), len(palette)


def ico_file():
    images = []
    for bits in (4, 8):
        for size in (32, 16):
            data, colours = icon_image(icon_picture(size), bits)
            images.append((size, bits, colours, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, colours, data in images:
        out += struct.pack("<BBBBHHII", size, size, colours % 256, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, _, data in images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "setup", "res")
    outputs = {
        "splash.bmp": bmp_4bit(landscape(320, 240, 150, (235, 125, 17))),
        "side.bmp": bmp_4bit(landscape(133, 258, 170, (88, 128, 16))),
        "setup.ico": ico_file(),
    }
    for name, data in outputs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print("wrote", name, len(data), "bytes")


if __name__ == "__main__":
    main()
