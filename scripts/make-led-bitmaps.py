#!/usr/bin/env python3
"""Draws the four 17 x 17 LED images of the program folder (24-bit BMP, a shaded disc).

Run from anywhere: the images are written into data/ beside this script's folder.
"""
import math
import os
import struct

SIZE = 17
BACKGROUND = (240, 240, 240)  # the window's button-face grey, so the corners blend in
LEDS = {
    "led-rouge.bmp": (220, 30, 30),
    "led-vert.bmp": (30, 190, 40),
    "led-orange.bmp": (245, 150, 20),
    "led-gris.bmp": (150, 150, 150),
}


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def pixel(colour, x, y):
    centre = (SIZE - 1) / 2
    radius = SIZE / 2 - 1
    distance = math.hypot(x - centre, y - centre)
    if distance > radius + 0.5:
        return BACKGROUND
    # Light falls from the upper left: a highlight there, a darker rim below right.
    highlight = math.hypot(x - centre + 3, y - centre + 3) / (radius * 1.6)
    shaded = mix((255, 255, 255), colour, min(1.0, 0.35 + highlight))
    shaded = mix(shaded, (0, 0, 0), max(0.0, distance / radius - 0.75) * 1.2)
    if distance > radius - 0.5:  # anti-aliased edge
        return mix(shaded, BACKGROUND, distance - (radius - 0.5))
    return shaded


def bitmap(colour):
    row_size = (SIZE * 3 + 3) // 4 * 4
    rows = []
    for y in range(SIZE - 1, -1, -1):  # BMP rows run bottom-up
        row = bytearray()
        for x in range(SIZE):
            r, g, b = pixel(colour, x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    data = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data")
    os.makedirs(data, exist_ok=True)
    for name, colour in LEDS.items():
        with open(os.path.join(data, name), "wb") as out:
            out.write(bitmap(colour))


if __name__ == "__main__":
    main()
