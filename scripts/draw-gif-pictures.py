#!/usr/bin/python3
"""Writes the GIF files of the picture decoder tests (tests/data/gfx/gif/*.gif).

Some come from ImageMagick's encoder (`convert` must be on the path), from
pictures drawn here; the others from the small encoder below, which writes
what ImageMagick does not: a local colour table, an image placed inside a
larger screen, and LZW data whose code table fills up, with and without a
clear code then. The output is the same on every run.
"""
import os
import random
import subprocess
import tempfile

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "tests", "data", "gfx", "gif")


def le16(value):
    return bytes([value & 0xFF, value >> 8])


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return bytes(out + b"\0")


def lzw(indices, min_code_size, clear_when_full=True):
    """LZW codes for the indices, packed least significant bit first. With
    clear_when_full False a full table is kept and used without new entries."""
    clear = 1 << min_code_size
    codes = [(clear, min_code_size + 1)]
    bits = min_code_size + 1

    def reset():
        return {(i,): i for i in range(clear)}, clear + 2, min_code_size + 1

    table, next_code, bits = reset()
    run = ()
    for index in indices:
        candidate = run + (index,)
        if candidate in table:
            run = candidate
            continue
        codes.append((table[run], bits))
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The decoder is one entry behind the encoder.
            if next_code - 1 == (1 << bits) and bits < 12:
                bits += 1
        elif clear_when_full:
            codes.append((clear, bits))
            table, next_code, bits = reset()
        run = (index,)
    codes.append((table[run], bits))
    # The decoder makes an entry for that last code too before the end code.
    if next_code == (1 << bits) and bits < 12:
        bits += 1
    codes.append((clear + 1, bits))
    return pack(codes)


def pack(codes):
    """(code, width) pairs packed least significant bit first."""
    out = bytearray()
    held = 0
    count = 0
    for code, width in codes:
        held |= code << count
        count += width
        while count >= 8:
            out.append(held & 0xFF)
            held >>= 8
            count -= 8
    if count:
        out.append(held & 0xFF)
    return bytes(out)


def last_entry_codes(width, height):
    """Codes of 8 bits for a picture of 256 grey colours: 3839 colours each
    by its own code, which fill the table up to its last entry, 4095 (the
    last colour but one, then the last), and then that entry, again and
    again, to the end."""
    literals = 3839
    assert (width * height - literals) % 2 == 0
    codes = [(256, 9)]
    bits = 9
    next_code = 258
    for i in range(literals):
        codes.append(((i * 37) % 256, bits))
        if i > 0 and next_code < 4096:
            next_code += 1
            if next_code == (1 << bits) and bits < 12:
                bits += 1
    codes += [(4095, 12)] * ((width * height - literals) // 2) + [(257, 12)]
    return pack(codes)


def colour_table(colours):
    size = 2
    while size < len(colours):
        size *= 2
    flat = bytearray()
    for r, g, b in colours + [(0, 0, 0)] * (size - len(colours)):
        flat += bytes([r, g, b])
    return bytes(flat), size.bit_length() - 2


def gif(screen, image_box, indices, global_colours=None, local_colours=None, min_code_size=8,
        transparent=None, clear_when_full=True, codes=None):
    width, height = screen
    left, top, image_width, image_height = image_box
    out = bytearray(b"GIF89a" + le16(width) + le16(height))
    if global_colours:
        table, bits = colour_table(global_colours)
        out += bytes([0x80 | bits, 0, 0]) + table
    else:
        out += bytes([0, 0, 0])
    if transparent is not None:
        out += bytes([0x21, 0xF9, 4, 1, 0, 0, transparent, 0])
    out += bytes([0x2C]) + le16(left) + le16(top) + le16(image_width) + le16(image_height)
    if local_colours:
        table, bits = colour_table(local_colours)
        out += bytes([0x80 | bits]) + table
    else:
        out += bytes([0])
    data = lzw(indices, min_code_size, clear_when_full) if indices is not None else codes
    out += bytes([min_code_size]) + sub_blocks(data) + b";"
    return bytes(out)


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def pam(width, height, pixel):
    """A PAM file (RGB with alpha) of pixel(x, y) -> (r, g, b, a)."""
    head = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" % (width, height)
    body = bytearray()
    for y in range(height):
        for x in range(width):
            body += bytes(pixel(x, y))
    return head.encode() + bytes(body)


def magick(name, width, height, pixel, *options):
    """The picture written as a GIF by ImageMagick with the options given."""
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "source.pam")
        with open(source, "wb") as f:
            f.write(pam(width, height, pixel))
        subprocess.run(["convert", source, *options, os.path.join(OUT, name)], check=True)


def magick_on_screen(name, screen, frames):
    """Frames, each (left, top, width, height, pixel), written by ImageMagick
    as one GIF whose screen is `screen` (width, height) and whose images are
    placed on it where the frames say."""
    with tempfile.TemporaryDirectory() as folder:
        arguments = []
        for n, (left, top, width, height, pixel) in enumerate(frames):
            source = os.path.join(folder, "frame%d.pam" % n)
            with open(source, "wb") as f:
                f.write(pam(width, height, pixel))
            arguments += ["(", source, "-repage", "%dx%d+%d+%d" % (screen[0], screen[1], left, top), ")"]
        if len(frames) > 1:
            arguments += ["-loop", "0"]
        subprocess.run(["convert", *arguments, os.path.join(OUT, name)], check=True)


def quarters_of(size):
    """A square of four colours, a quarter each: red, green, blue, yellow."""
    colours = [(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 0, 255)]
    return lambda x, y: colours[(x >= size // 2) + 2 * (y >= size // 2)]


def main():
    os.makedirs(OUT, exist_ok=True)
    # A two-colour checkerboard of 3-pixel squares: code size 2.
    magick("two-colours.gif", 17, 11,
           lambda x, y: (0, 0, 0, 255) if (x // 3 + y // 3) % 2 else (255, 255, 255, 255))
    # 256 colours, one per pixel: code size 8.
    magick("256-colours.gif", 16, 16, lambda x, y: (x * 16, y * 16, (x * 7 + y * 3) % 256, 255))
    # Interlaced, with a height that is no multiple of 8, every row its own.
    magick("interlaced.gif", 6, 19, lambda x, y: (y * 13, 255 - y * 13, x * 40, 255), "-interlace", "GIF")
    # A disc on a transparent ground: a Graphic Control Extension names the
    # transparent colour.
    magick("transparent.gif", 12, 12,
           lambda x, y: (200, 30, 30, 255) if (x - 5.5) ** 2 + (y - 5.5) ** 2 < 20 else (0, 0, 0, 0))
    # A small image on a screen of more than a megapixel: at its corner, away
    # from it, and as the first frame of an animation whose second frame is
    # larger.
    magick_on_screen("large-screen.gif", (1100, 1000), [(0, 0, 60, 60, quarters_of(60))])
    magick_on_screen("large-screen-offset.gif", (1100, 1000), [(500, 400, 60, 60, quarters_of(60))])
    magick_on_screen("large-screen-animation.gif", (1100, 1000),
                     [(0, 0, 60, 60, quarters_of(60)), (300, 200, 100, 80, lambda x, y: (40, 80, 120, 255))])

    quarters = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0)]
    shades = [(i * 30, 100, 255 - i * 30) for i in range(8)]
    # A local colour table that is not the global one.
    write("local-table.gif", gif((8, 4), (0, 0, 8, 4), [(x + y) % 8 for y in range(4) for x in range(8)],
                                 global_colours=quarters, local_colours=shades, min_code_size=3))
    # A 5 x 4 image at (4, 3) on a 12 x 10 screen, colour 0 transparent.
    write("offset-image.gif", gif((12, 10), (4, 3, 5, 4), [(x * y) % 4 for y in range(4) for x in range(5)],
                                  global_colours=quarters, min_code_size=2, transparent=0))
    # Noise in 256 colours: the code table fills up, then a clear code starts
    # it again, or (the other file) it is used full, 2332 codes, to the end.
    rng = random.Random(38)
    noise = [rng.randrange(256) for _ in range(80 * 80)]
    grey = [(i, i, i) for i in range(256)]
    write("table-resets.gif", gif((80, 80), (0, 0, 80, 80), noise, global_colours=grey))
    write("table-kept-full.gif", gif((80, 80), (0, 0, 80, 80), noise, global_colours=grey, clear_when_full=False))
    write("table-last-entry.gif", gif((63, 65), (0, 0, 63, 65), None, global_colours=grey,
                                      codes=last_entry_codes(63, 65)))


if __name__ == "__main__":
    main()
