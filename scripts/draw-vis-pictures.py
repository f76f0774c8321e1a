#!/usr/bin/python3
"""Draws the pictures of the visualisations' skin (XML/Main/Vis/*.png) with
pycairo (Debian's python3-cairo). Deterministic: running it again gives the
same files byte for byte.

spectrum-bars.png: the face the spectrum display cuts its bars from, as
tall as the display at 800x500: LED-like segments whose colour runs from
the accent colour at the bottom through green to amber at the top.
lamp-0.png to lamp-4.png: the in-tune light's steps, from silence (dark)
through off (red) and close (amber) to in tune (green, brightest last), and
PowerLightVis.xml, the light's 101 steps: any closeness above nothing shows
red at least, so a note far off never looks like silence.
dial.png: what the tuner's needle dial draws under its needle, placed exactly
over the dial's scale: the closeness arc (red, amber, green in the middle) and
the cents at -50, -25, 0, +25 and +50.
"""
import math
import os

import cairo

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "XML", "Main", "Vis")

ACCENT = (0x38 / 255, 0xBD / 255, 0xF8 / 255)
IN_TUNE = (0x34 / 255, 0xD3 / 255, 0x99 / 255)
CLOSE = (0xFB / 255, 0xBF / 255, 0x24 / 255)
OFF = (0xF8 / 255, 0x71 / 255, 0x71 / 255)
DARK = (0x3A / 255, 0x40 / 255, 0x4A / 255)
TEXT_SECONDARY = (0x9A / 255, 0xA4 / 255, 0xB1 / 255)

# Closeness is (1 - cents / 50) squared; the light has a step per hundredth of
# it. Green within about 5 cents, amber within about 15, red beyond, dark for
# silence (and for 45 cents or more, which the closeness cannot tell apart).
LIGHT_STEPS = 100
IN_TUNE_CENTS = 5.0
CLOSE_CENTS = 15.0

# The tuner's dial as laid out by Tuner.xml and Vis/TuneVis.xml at 800 x 500:
# the display's size, its label row ("Labels" Height) and the "Analog" face's
# "Width" and "TicLength".
DIAL_SIZE = (488, 205)
DIAL_LABELS = 0.09
DIAL_WIDTH = 0.8
DIAL_TIC = 0.03


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


def closeness(cents):
    return (1.0 - cents / 50.0) ** 2


def light_picture(step):
    """The lamp picture of a step of the light."""
    if step == 0:
        return 0
    if step == LIGHT_STEPS:
        return 4
    value = step / LIGHT_STEPS
    if value >= closeness(IN_TUNE_CENTS):
        return 3
    return 2 if value >= closeness(CLOSE_CENTS) else 1


def power_light():
    text = ('<?xml version="1.0" ?>\n'
            "<!-- Written by scripts/draw-vis-pictures.py: edit the script, not this file.\n"
            "     The in-tune light: dark in silence, red off, amber close, green in tune;\n"
            "     a step per hundredth of the closeness. -->\n"
            '<PowerLightVis Name="PowerLightVis">\n'
            '  <Vabo::ObjectSlider Orientation="Horizontal" Min="0" Max="%d" ReadOnly="true">\n' % LIGHT_STEPS)
    for step in range(LIGHT_STEPS + 1):
        text += '    <Vabo::Image ImageFile="XML/Main/Vis/lamp-%d.png" />\n' % light_picture(step)
    text += "  </Vabo::ObjectSlider>\n</PowerLightVis>\n"
    with open(os.path.join(OUT, "PowerLightVis.xml"), "w", encoding="utf-8") as out:
        out.write(text)


def dial(path):
    w, h = DIAL_SIZE
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    cr = cairo.Context(surface)
    # The face's geometry, as the needle meter computes it.
    labels = int(h * DIAL_LABELS)
    margin = w * DIAL_TIC
    face_x, face_y = margin, labels + margin
    face_w, face_h = w - 2 * margin, h - labels - 2 * margin
    px, py = int(face_x + face_w / 2), int(face_y + face_h)
    radius, height = face_w * DIAL_WIDTH / 2, face_h
    # The needle's tip moves along the scale evenly in x: x = radius * cents / 50.
    inset, band = 9.0, 7.0

    def angle(cents):
        return math.pi - math.acos(max(-1.0, min(1.0, cents / 50.0)))

    zones = [(-50, -CLOSE_CENTS, OFF), (-CLOSE_CENTS, -IN_TUNE_CENTS, CLOSE), (-IN_TUNE_CENTS, IN_TUNE_CENTS, IN_TUNE),
             (IN_TUNE_CENTS, CLOSE_CENTS, CLOSE), (CLOSE_CENTS, 50, OFF)]
    cr.set_line_width(band)
    for low, high, colour in zones:
        cr.save()
        cr.translate(px, py)
        cr.scale(radius - inset - band / 2, height - inset - band / 2)
        # Upwards is negative y: the arc runs from the left end over the top.
        cr.arc(0, 0, 1, math.pi + angle(low), math.pi + angle(high))
        cr.restore()
        cr.set_source_rgb(*colour)
        cr.stroke()
    cr.select_font_face("DejaVu Sans Mono", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_NORMAL)
    cr.set_font_size(12)
    cr.set_source_rgb(*TEXT_SECONDARY)
    for cents in (-50, -25, 0, 25, 50):
        text = "%+d" % cents if cents else "0"
        extents = cr.text_extents(text)
        a = math.pi + angle(cents)
        distance = inset + band + 6 + (extents.width / 2 if abs(cents) == 50 else extents.height / 2 + 2)
        cx = px + (radius - distance) * math.cos(a)
        cy = py + (height - distance) * math.sin(a) - (extents.height / 2 + 3 if abs(cents) == 50 else 0)
        if cents == 0:
            # Beside the needle, which stands over the middle when in tune.
            cx -= extents.width / 2 + 6
        cr.move_to(round(cx - extents.x_bearing - extents.width / 2), round(cy - extents.y_bearing - extents.height / 2))
        cr.show_text(text)
    surface.write_to_png(path)


def main():
    os.makedirs(OUT, exist_ok=True)
    spectrum_bars(os.path.join(OUT, "spectrum-bars.png"), 292, 85)
    steps = [(DARK, 0.0), (OFF, 0.6), (CLOSE, 0.7), (IN_TUNE, 0.8), (IN_TUNE, 1.0)]
    for index, (colour, glow) in enumerate(steps):
        lamp(os.path.join(OUT, "lamp-%d.png" % index), 40, colour, glow)
    power_light()
    dial(os.path.join(OUT, "dial.png"))


if __name__ == "__main__":
    main()
