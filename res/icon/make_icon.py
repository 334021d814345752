#!/usr/bin/env python3
"""Builds the application icon (.ico) from its text pixel map.

Usage: make_icon.py app_icon.txt app_icon.ico

The map lists a 16-colour palette and then one character per pixel; see the
comments in app_icon.txt. The output holds a single 32x32, 4 bits-per-pixel
image: a bottom-up DIB (BITMAPINFOHEADER, palette, colour bits) followed by
the 1 bit-per-pixel AND mask that makes the transparent pixels see-through.
"""

import struct
import sys

SIZE = 32
COLOURS = 16
BITS_PER_PIXEL = 4
TRANSPARENT = "."


class MapError(Exception):
    pass


def read_map(text):
    """Returns (palette as [(r, g, b)], {char: index}, rows of chars)."""
    palette, index_of, rows = [], {}, []
    section = None
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.rstrip()
        if not line or line.startswith("#"):
            continue
        if line in ("palette:", "pixels:"):
            section = line[:-1]
            continue
        if section == "palette":
            fields = line.split()
            if len(fields) < 2 or len(fields[0]) != 1 or len(fields[1]) != 6:
                raise MapError(f"line {number}: expected 'C RRGGBB name', got {raw!r}")
            char = fields[0]
            if char == TRANSPARENT or char in index_of:
                raise MapError(f"line {number}: character {char!r} is reserved or used twice")
            index_of[char] = len(palette)
            palette.append(tuple(bytes.fromhex(fields[1])))
        elif section == "pixels":
            if len(line) != SIZE:
                raise MapError(f"line {number}: row has {len(line)} pixels, expected {SIZE}")
            unknown = set(line) - set(index_of) - {TRANSPARENT}
            if unknown:
                raise MapError(f"line {number}: characters not in the palette: {''.join(sorted(unknown))}")
            rows.append(line)
        else:
            raise MapError(f"line {number}: text before 'palette:'")
    if len(palette) != COLOURS:
        raise MapError(f"the palette has {len(palette)} colours, expected {COLOURS}")
    if len(rows) != SIZE:
        raise MapError(f"the map has {len(rows)} rows, expected {SIZE}")
    return palette, index_of, rows


def icon_image(palette, index_of, rows):
    """The icon's DIB: header, palette, colour bits, AND mask."""
    colour_bits = bytearray()
    mask_bits = bytearray()
    # DIB rows run bottom-up; both bitmaps' rows are already multiples of 4 bytes.
    for row in reversed(rows):
        # Transparent pixels carry colour 0 (black) so that the XOR step
        # leaves the screen pixel untouched.
        indexes = [index_of.get(char, 0) for char in row]
        for left, right in zip(indexes[0::2], indexes[1::2]):
            colour_bits.append(left << 4 | right)
        mask = 0
        for char in row:
            mask = mask << 1 | (char == TRANSPARENT)
        mask_bits += mask.to_bytes(SIZE // 8, "big")
    header = struct.pack(
        "<IiiHHIIiiII",
        40,              # biSize
        SIZE,            # biWidth
        SIZE * 2,        # biHeight: colour bitmap and mask stacked
        1,               # biPlanes
        BITS_PER_PIXEL,  # biBitCount
        0,               # biCompression: BI_RGB
        len(colour_bits) + len(mask_bits),
        0, 0,            # resolution
        0, 0,            # all colours used, all important
    )
    quads = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + quads + bytes(colour_bits) + bytes(mask_bits)


def icon_file(image):
    """An .ico holding the one image."""
    directory = struct.pack("<HHH", 0, 1, 1)  # reserved, type icon, one image
    entry = struct.pack(
        "<BBBBHHII",
        SIZE, SIZE, COLOURS, 0,
        1, BITS_PER_PIXEL,  # windres copies planes and bit count into the group entry
        len(image),
        len(directory) + 16,
    )
    return directory + entry + image


def main(argv):
    if len(argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    with open(argv[1], encoding="utf-8") as source:
        try:
            image = icon_image(*read_map(source.read()))
        except MapError as error:
            sys.stderr.write(f"{argv[1]}: {error}\n")
            return 1
    with open(argv[2], "wb") as target:
        target.write(icon_file(image))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
