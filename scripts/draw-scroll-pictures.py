#!/usr/bin/python3
"""Draws the pictures of the scrolling widget tests (tests/data/widgets/Scroll):
plain blocks of one colour each for track, bar, arrows, the corner piece and
the frames of an animation, so tests can tell the parts apart by a pixel.

Run with Debian's /usr/bin/python3 (python3-cairo). The output is the same on
every run: plain fills, no text, no time stamps.
"""
import os

import cairo

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "tests", "data", "widgets", "Scroll")

BLOCKS = {
    "Track.png": (0x23, 0x27, 0x2E),
    "TrackHover.png": (0x2B, 0x30, 0x38),
    "Bar.png": (0x38, 0xBD, 0xF8),
    "BarHover.png": (0x7D, 0xD3, 0xFC),
    "BarPressed.png": (0x02, 0x84, 0xC7),
    "Arrow.png": (0x9A, 0xA4, 0xB1),
    "ArrowPressed.png": (0x64, 0x6E, 0x7A),
    "Corner.png": (0x11, 0x15, 0x1A),
    "Frame0.png": (0xE0, 0x40, 0x40),
    "Frame1.png": (0x40, 0xE0, 0x40),
    "Frame2.png": (0x40, 0x40, 0xE0),
    "Frame3.png": (0xE0, 0xE0, 0x40),
}

SIZE = (8, 8)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, colour in sorted(BLOCKS.items()):
        surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, *SIZE)
        ctx = cairo.Context(surface)
        ctx.set_source_rgb(*(c / 255.0 for c in colour))
        ctx.paint()
        surface.write_to_png(os.path.join(OUT, name))


if __name__ == "__main__":
    main()
