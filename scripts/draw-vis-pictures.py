#!/usr/bin/python3
"""Draws the pictures of the visualisations' skin (XML/Main/Vis/*.png) with
pycairo (Debian's python3-cairo). Deterministic: running it again gives the
same files byte for byte.

spectrum-bars.png: the face the spectrum display cuts its bars from, as
tall as the display at 800x500: LED-like segments whose colour runs from
the accent colour at the bottom through green to amber at the top.
"""
import os

import cairo

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "XML", "Main", "Vis")

ACCENT = (0x38 / 255, 0xBD / 255, 0xF8 / 255)
IN_TUNE = (0x34 / 255, 0xD3 / 255, 0x99 / 255)
CLOSE = (0xFB / 255, 0xBF / 255, 0x24 / 255)


def spectrum_bars(path, width, height):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    cr = cairo.Context(surface)
    gradient = cairo.LinearGradient(0, height, 0, 0)
    gradient.add_color_stop_rgb(0.0, *ACCENT)
    gradient.add_color_stop_rgb(0.6, *IN_TUNE)
    gradient.add_color_stop_rgb(1.0, *CLOSE)
    # Segments of 3 pixels with a 1-pixel gap, counted from the bottom so
    # that a bar always starts on a whole segment.
    for top in range(height - 3, -3, -4):
        cr.rectangle(0, max(0, top), width, min(3, top + 3))
    cr.set_source(gradient)
    cr.fill()
    surface.write_to_png(path)


def main():
    os.makedirs(OUT, exist_ok=True)
    spectrum_bars(os.path.join(OUT, "spectrum-bars.png"), 292, 85)


if __name__ == "__main__":
    main()
