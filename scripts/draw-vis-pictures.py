#!/usr/bin/python3
"""Draws the pictures of the visualisations' skin (XML/Main/Vis/*.png) with
pycairo (Debian's python3-cairo). Deterministic: running it again gives the
same files byte for byte.

spectrum-bars.png: the face the spectrum display cuts its bars from, as
tall as the display at 800x500: LED-like segments whose colour runs from
the accent colour at the bottom through green to amber at the top.
lamp-0.png to lamp-4.png: the in-tune light's steps, from far off (dark)
through off (red) and close (amber) to in tune (green, brightest last).
"""
import os

import cairo

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "XML", "Main", "Vis")

ACCENT = (0x38 / 255, 0xBD / 255, 0xF8 / 255)
IN_TUNE = (0x34 / 255, 0xD3 / 255, 0x99 / 255)
CLOSE = (0xFB / 255, 0xBF / 255, 0x24 / 255)
OFF = (0xF8 / 255, 0x71 / 255, 0x71 / 255)
DARK = (0x3A / 255, 0x40 / 255, 0x4A / 255)


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


def lamp(path, size, colour, glow):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    cr = cairo.Context(surface)
    centre = size / 2
    if glow > 0:
        halo = cairo.RadialGradient(centre, centre, size * 0.2, centre, centre, size / 2)
        halo.add_color_stop_rgba(0, *colour, 0.45 * glow)
        halo.add_color_stop_rgba(1, *colour, 0)
        cr.set_source(halo)
        cr.arc(centre, centre, size / 2, 0, 6.283185307179586)
        cr.fill()
    face = cairo.RadialGradient(centre - size * 0.08, centre - size * 0.08, 0, centre, centre, size * 0.3)
    face.add_color_stop_rgb(0, *[min(1.0, c + 0.35) for c in colour])
    face.add_color_stop_rgb(1, *colour)
    cr.set_source(face)
    cr.arc(centre, centre, size * 0.28, 0, 6.283185307179586)
    cr.fill()
    surface.write_to_png(path)


def main():
    os.makedirs(OUT, exist_ok=True)
    spectrum_bars(os.path.join(OUT, "spectrum-bars.png"), 292, 85)
    steps = [(DARK, 0.0), (OFF, 0.6), (CLOSE, 0.7), (IN_TUNE, 0.8), (IN_TUNE, 1.0)]
    for index, (colour, glow) in enumerate(steps):
        lamp(os.path.join(OUT, "lamp-%d.png" % index), 24, colour, glow)


if __name__ == "__main__":
    main()
