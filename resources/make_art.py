#!/usr/bin/env python3
"""Draws the Windows program's pictures as plain 16-colour files:

    make_art.py OUTPUT_FOLDER

writes wizard.bmp (the wizard's picture panel: floppy disks on a blue-green
ground inside a grey frame, 122 by 262 pixels) and upgapply.ico (the program
icon, one 32 by 32 image). Both use 4 bits per pixel and the standard
16-colour palette, and every build writes the same bytes.
"""
import os
import struct
import sys

# The standard 16-colour palette, in index order (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, TEAL, SILVER, GREY, BLUE, AQUA, WHITE = 0, 4, 6, 7, 8, 12, 14, 15


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def fill(self, left, top, right, bottom, colour):
        """Fills left <= x < right, top <= y < bottom, clipped to the canvas."""
        for y in range(max(top, 0), min(bottom, self.height)):
            row = self.pixels[y]
            for x in range(max(left, 0), min(right, self.width)):
                row[x] = colour

    def frame(self, left, top, right, bottom, colour):
        self.fill(left, top, right, top + 1, colour)
        self.fill(left, bottom - 1, right, bottom, colour)
        self.fill(left, top, left + 1, bottom, colour)
        self.fill(right - 1, top, right, bottom, colour)

    def floppy(self, left, top, size, body):
        """A 3.5-inch disk: body, metal shutter at the top, label below."""
        right, bottom = left + size, top + size
        self.fill(left, top, right, bottom, body)
        self.frame(left, top, right, bottom, BLACK)
        # The cut corner at the top right.
        cut = max(size // 10, 1)
        for i in range(cut):
            self.fill(right - cut + i, top + i, right, top + i + 1, TEAL)
        shutter_left = left + size // 4
        shutter_right = right - size // 4
        self.fill(shutter_left, top + 1, shutter_right, top + size * 3 // 8, SILVER)
        slot = size // 8
        self.fill(shutter_right - 2 * slot, top + size // 12, shutter_right - slot,
                  top + size * 5 // 16, body)
        self.fill(left + size // 8, top + size // 2, right - size // 8, bottom - size // 16, WHITE)
        for line in range(3):
            y = top + size // 2 + (line + 1) * size // 10
            self.fill(left + size // 5, y, right - size // 5, y + 1, GREY)

    def rows_4bpp(self, bottom_up=True):
        """The pixel rows packed two to a byte, each padded to 4 bytes."""
        stride = ((self.width * 4 + 31) // 32) * 4
        rows = self.pixels[::-1] if bottom_up else self.pixels
        out = bytearray()
        for row in rows:
            packed = bytearray(stride)
            for x, colour in enumerate(row):
                packed[x // 2] |= colour << (0 if x % 2 else 4)
            out += packed
        return bytes(out)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height):
    """BITMAPINFOHEADER for a 4-bit picture of `height` rows as stored."""
    stride = ((width * 4 + 31) // 32) * 4
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, stride * abs(height),
                       2835, 2835, 16, 16)


def wizard_picture():
    picture = Canvas(122, 262, TEAL)
    # The grey frame: a dark outer line, a light band, a dark inner line.
    picture.frame(0, 0, 122, 262, GREY)
    picture.fill(1, 1, 121, 6, SILVER)
    picture.fill(1, 256, 121, 261, SILVER)
    picture.fill(1, 1, 6, 261, SILVER)
    picture.fill(116, 1, 121, 261, SILVER)
    picture.frame(6, 6, 116, 256, GREY)
    # A stack of disks falling down the panel, alternately left and right.
    bodies = [NAVY, BLACK, BLUE, NAVY, BLACK]
    for i, body in enumerate(bodies):
        size = 44
        left = 14 if i % 2 == 0 else 122 - 14 - size
        picture.floppy(left, 14 + i * 48, size, body)
    # Shine along the ground.
    for y in range(10, 252, 12):
        picture.fill(8, y, 10, y + 1, AQUA)
    return picture


def write_bmp(path, picture):
    pixels = picture.rows_4bpp()
    header = info_header(picture.width, picture.height) + palette_bytes()
    offset = 14 + len(header)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    write(path, file_header + header + pixels)


def icon_picture():
    icon = Canvas(32, 32, TEAL)
    icon.floppy(3, 3, 26, NAVY)
    return icon


def write_ico(path, icon):
    pixels = icon.rows_4bpp()
    # Every pixel is drawn: the transparency mask is all zero.
    mask = bytes(4 * icon.height)
    image = info_header(icon.width, icon.height * 2) + palette_bytes() + pixels + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", icon.width, icon.height, 16, 0, 1, 4, len(image),
                        6 + 16)
    write(path, directory + entry + image)


def write(path, data):
    # Only a changed file is rewritten, so the build does not redo the
    # resources every time.
    if os.path.exists(path):
        with open(path, "rb") as existing:
            if existing.read() == data:
                return
    with open(path, "wb") as out:
        out.write(data)


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: make_art.py OUTPUT_FOLDER\n")
        return 2
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    write_bmp(os.path.join(folder, "wizard.bmp"), wizard_picture())
    write_ico(os.path.join(folder, "upgapply.ico"), icon_picture())
    return 0


if __name__ == "__main__":
    sys.exit(main())
