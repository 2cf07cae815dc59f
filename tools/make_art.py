#!/usr/bin/env python3
"""Draws the launcher's art and the sample game's start-up sound, byte for byte the same each run.

  tools/make_art.py            writes launcher/art/background.bmp, launcher/art/starter.ico and
                               tools/sample-game/vorlan2.wav
  tools/make_art.py --check    exits non-zero when a committed file differs from what it draws
"""
import math
import pathlib
import struct
import sys

REPO = pathlib.Path(__file__).resolve().parent.parent

BACKGROUND_SIZE = (560, 350)
# (size, bits per pixel) of each icon image, in the icon file's order.
ICON_IMAGES = [(16, 8), (16, 24), (32, 4), (32, 8), (32, 24), (48, 24)]


def clamp(value):
    return max(0, min(255, int(round(value))))


def mix(a, b, t):
    return tuple(clamp(x + (y - x) * t) for x, y in zip(a, b))


def background_pixel(x, y):
    """An amber dusk over a dark ridge, with a ringed moon in the upper right."""
    width, height = BACKGROUND_SIZE
    sky = mix((40, 22, 60), (235, 150, 50), (y / height) ** 1.4)
    # Moon with a soft halo.
    dx, dy = x - 430, y - 95
    distance = math.hypot(dx, dy)
    if distance < 46:
        shade = 0.75 + 0.25 * (-(dx + dy) / 65.0)
        sky = mix((250, 226, 170), (150, 110, 80), 1 - max(0.0, min(1.0, shade)))
    elif distance < 90:
        sky = mix(sky, (255, 210, 140), 0.35 * (1 - (distance - 46) / 44))
    # Ring: a thin tilted ellipse in front of the moon's lower half.
    ring = ((dx * 0.9 + dy * 0.4) / 80.0) ** 2 + ((dy * 0.9 - dx * 0.4) / 16.0) ** 2
    if abs(ring - 1.0) < 0.12 and (distance >= 46 or dy > 0):
        sky = mix(sky, (255, 240, 200), 0.7)
    # Stars in the upper sky, placed by a fixed hash.
    if y < 150 and ((x * 7919 + y * 104729) % 997) == 0:
        sky = mix(sky, (255, 255, 255), 0.8)
    # Ridge line.
    ridge = 262 + 26 * math.sin(x / 57.0) + 13 * math.sin(x / 19.0 + 1.3) + 6 * math.sin(x / 7.0)
    if y > ridge:
        sky = mix((52, 30, 24), (14, 10, 12), min(1.0, (y - ridge) / 70.0))
    return sky


def bmp_24(width, height, pixel):
    """A bottom-up 24-bit Windows bitmap file. The image size field counts two trailing bytes, as
    the launcher's original picture file did, which makes the file 588,056 bytes at 560 by 350."""
    row_size = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        rows.append(bytes(row))
    image = b"".join(rows) + b"\0\0"
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(image), 2834, 2834, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
    return header + info + image


def icon_pixel(size, x, y):
    """An amber planet with a ring on a transparent ground; None where transparent."""
    c = (size - 1) / 2.0
    dx, dy = (x - c) / size, (y - c) / size
    distance = math.hypot(dx, dy)
    ring = ((dx * 0.9 + dy * 0.45) / 0.48) ** 2 + ((dy * 0.9 - dx * 0.45) / 0.11) ** 2
    on_ring = abs(ring - 1.0) < 0.28 and (distance >= 0.3 or dy > 0)
    if on_ring:
        return (255, 236, 190)
    if distance < 0.3:
        return mix((255, 200, 90), (150, 60, 20), min(1.0, max(0.0, (dx + dy) / 0.42 + 0.5)))
    return None


# The 16 colours of the classic 4-bit palette.
PALETTE_16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
              (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
              (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# 256 colours: a 6 by 6 by 6 cube, then 40 greys.
PALETTE_256 = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)] + \
              [(clamp(i * 255 / 39),) * 3 for i in range(40)]


def nearest(palette, colour):
    return min(range(len(palette)), key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def icon_image(size, bits):
    """One icon image: its BITMAPINFOHEADER (double height), palette, colour rows and mask rows."""
    palette = {4: PALETTE_16, 8: PALETTE_256}.get(bits, [])
    colour_row = ((size * bits + 31) // 32) * 4
    mask_row = ((size + 31) // 32) * 4
    colour, mask = bytearray(), bytearray()
    for y in range(size - 1, -1, -1):
        row, mask_bits = bytearray(), bytearray(mask_row)
        indices = []
        for x in range(size):
            pixel = icon_pixel(size, x, y)
            if pixel is None:
                mask_bits[x // 8] |= 0x80 >> (x % 8)
                pixel = (0, 0, 0)
            if bits == 24:
                row += bytes((pixel[2], pixel[1], pixel[0]))
            else:
                indices.append(nearest(palette, pixel))
        if bits == 8:
            row = bytearray(indices)
        elif bits == 4:
            row = bytearray((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        row += bytes(colour_row - len(row))
        colour += row
        mask += mask_bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(colour) + len(mask), 0, 0,
                       len(palette), 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return info + table + bytes(colour) + bytes(mask)


def ico_file():
    images = [icon_image(size, bits) for size, bits in ICON_IMAGES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), image in zip(ICON_IMAGES, images):
        colours = 16 if bits == 4 else 0
        directory += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


def wav_file():
    """Half a second of a fading two-note chime, 22,050 samples a second, 16-bit mono."""
    rate, seconds = 22050, 0.5
    samples = bytearray()
    for n in range(int(rate * seconds)):
        t = n / rate
        note = 660.0 if t < 0.2 else 880.0
        value = 0.4 * math.sin(2 * math.pi * note * t) * math.exp(-4.0 * t)
        samples += struct.pack("<h", int(round(value * 32767)))
    fmt = struct.pack("<4sIHHIIHH", b"fmt ", 16, 1, 1, rate, rate * 2, 2, 16)
    data = struct.pack("<4sI", b"data", len(samples)) + bytes(samples)
    return struct.pack("<4sI4s", b"RIFF", 4 + len(fmt) + len(data), b"WAVE") + fmt + data


# File sizes the launcher's resources are known by.
EXPECTED_SIZES = {"launcher/art/background.bmp": 588056, "launcher/art/starter.ico": 15894}


def outputs():
    return {
        REPO / "launcher/art/background.bmp": bmp_24(*BACKGROUND_SIZE, background_pixel),
        REPO / "launcher/art/starter.ico": ico_file(),
        REPO / "tools/sample-game/vorlan2.wav": wav_file(),
    }


def main():
    check = sys.argv[1:] == ["--check"]
    stale = []
    for path, data in outputs().items():
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(path.relative_to(REPO))
        else:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data)
    for name, size in EXPECTED_SIZES.items():
        if (REPO / name).stat().st_size != size:
            stale.append(name)
    for path in stale:
        print(f"{path} differs from what tools/make_art.py draws or has the wrong size", file=sys.stderr)
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
