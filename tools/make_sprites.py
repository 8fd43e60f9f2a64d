#!/usr/bin/env python3
"""Draws the game's eleven sprites into data/ as 32-bit BMP files.

Pure red (255, 0, 0) is the transparent colour, so no drawn pixel may be
exactly that. The output depends on nothing but this file: run it again after
changing a colour or a shape, and commit the bitmaps it writes.

    python3 tools/make_sprites.py [output directory]
"""

import math
import os
import struct
import sys

TRANSPARENT = (255, 0, 0)

BRICK_W, BRICK_H = 48, 32
BAT_W, BAT_H = 96, 16
BALL_SIZE = 16

# The seven ordinary bricks, '1' (most points) to '7'.
BRICK_COLOURS = [
    (214, 48, 72),   # crimson
    (236, 128, 32),  # orange
    (228, 196, 44),  # yellow
    (72, 176, 80),   # green
    (48, 170, 204),  # cyan
    (64, 96, 216),   # blue
    (150, 84, 204),  # violet
]


def clamp(value):
    return max(0, min(255, int(round(value))))


def shade(colour, factor):
    """Lighter for factor > 1, darker for factor < 1."""
    if factor >= 1:
        return tuple(clamp(c + (255 - c) * (factor - 1)) for c in colour)
    return tuple(clamp(c * factor) for c in colour)


def safe(colour):
    """Keeps drawn pixels off the transparent key."""
    return (254, 0, 0) if tuple(colour) == TRANSPARENT else tuple(colour)


def write_bmp(path, width, height, pixel):
    """32 bits a pixel, red in bits 16 to 23 as in the game's screen, so that
    SDL can draw the sprites with its run-length blitter. The colour masks are
    written out (BI_BITFIELDS) and name no alpha: a plain 32-bit BMP is taken
    to carry alpha by SDL2's loader, and sdl12-compat then blends every sprite
    on the slow path."""
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r, 0))
        rows.append(bytes(row))
    data = b"".join(rows)
    masks = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
    offset = 14 + 40 + len(masks)
    header = b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 3, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + masks + data)


def bevel(x, y, w, h, base, depth=3):
    """A raised tile: dark outline, light top-left edges, dark bottom-right edges."""
    if x == 0 or y == 0 or x == w - 1 or y == h - 1:
        return shade(base, 0.35)
    inner = min(x - 1, y - 1, w - 2 - x, h - 2 - y)
    if inner < depth:
        top_left = (x - 1) + (y - 1) < (w - 2 - x) + (h - 2 - y) and (
            x - 1 == inner or y - 1 == inner)
        return shade(base, 1.45 if top_left else 0.6)
    # A soft vertical gradient across the face.
    return shade(base, 1.12 - 0.22 * (y / (h - 1)))


def ordinary_brick(base):
    return lambda x, y: safe(bevel(x, y, BRICK_W, BRICK_H, base))


def tough_brick(x, y):
    """Armour: a bronze plate with a riveted border and a cross-hatched face."""
    base = (150, 112, 60)
    colour = bevel(x, y, BRICK_W, BRICK_H, base, depth=4)
    inside = 4 <= x < BRICK_W - 4 and 4 <= y < BRICK_H - 4
    if inside and ((x + y) % 8 == 0 or (x - y) % 8 == 0):
        colour = shade(base, 0.7)
    for rx, ry in ((6, 6), (BRICK_W - 7, 6), (6, BRICK_H - 7), (BRICK_W - 7, BRICK_H - 7)):
        d = math.hypot(x - rx, y - ry)
        if d <= 2.2:
            colour = shade((200, 200, 190), 1.2 if (x - rx) + (y - ry) < 0 else 0.75)
    return safe(colour)


def metal_brick(x, y):
    """Steel: brushed grey with a diagonal sheen and four bolts."""
    base = (150, 156, 164)
    colour = bevel(x, y, BRICK_W, BRICK_H, base, depth=3)
    if 3 <= x < BRICK_W - 3 and 3 <= y < BRICK_H - 3:
        sheen = 1.0 + 0.25 * math.cos((x + 2 * y) / 9.0)
        streak = 0.96 if y % 3 == 0 else 1.0
        colour = shade(shade(base, sheen), streak)
    for bx, by in ((7, 7), (BRICK_W - 8, 7), (7, BRICK_H - 8), (BRICK_W - 8, BRICK_H - 8)):
        d = math.hypot(x - bx, y - by)
        if d <= 2.5:
            colour = (70, 74, 80) if d > 1.6 else (210, 214, 220)
    return safe(colour)


def ball(x, y):
    """A shaded sphere; the corners outside the circle are transparent."""
    centre = (BALL_SIZE - 1) / 2
    dx, dy = x - centre, y - centre
    if math.hypot(dx, dy) > BALL_SIZE / 2 - 0.3:
        return TRANSPARENT
    # Light from the upper left.
    light = math.hypot(x - 5, y - 5) / BALL_SIZE
    level = 1.0 - 0.9 * light
    return safe((clamp(90 + 165 * level), clamp(90 + 165 * level), clamp(110 + 145 * level)))


def bat(x, y):
    """A bar with round ends: chrome caps and a blue body with a highlight."""
    radius = BAT_H / 2
    cy = (BAT_H - 1) / 2
    if x < radius:
        inside = math.hypot(x - (radius - 0.5), y - cy) <= radius - 0.2
    elif x >= BAT_W - radius:
        inside = math.hypot(x - (BAT_W - radius - 0.5), y - cy) <= radius - 0.2
    else:
        inside = True
    if not inside:
        return TRANSPARENT
    cap = x < 14 or x >= BAT_W - 14
    base = (176, 184, 196) if cap else (40, 110, 220)
    height = y / (BAT_H - 1)
    if height < 0.2:
        colour = shade(base, 1.5)
    elif height > 0.8:
        colour = shade(base, 0.55)
    else:
        colour = shade(base, 1.15 - 0.4 * height)
    if x in (14, BAT_W - 15):
        colour = shade(base, 0.4)
    return safe(colour)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "data")
    os.makedirs(out, exist_ok=True)
    for i, colour in enumerate(BRICK_COLOURS):
        write_bmp(os.path.join(out, "brick%d.bmp" % (i + 1)), BRICK_W, BRICK_H, ordinary_brick(colour))
    write_bmp(os.path.join(out, "brick8.bmp"), BRICK_W, BRICK_H, tough_brick)
    write_bmp(os.path.join(out, "brick9.bmp"), BRICK_W, BRICK_H, metal_brick)
    write_bmp(os.path.join(out, "ball.bmp"), BALL_SIZE, BALL_SIZE, ball)
    write_bmp(os.path.join(out, "bat.bmp"), BAT_W, BAT_H, bat)


if __name__ == "__main__":
    main()
