#!/usr/bin/python3
"""Draws the pictures of the input widget tests (tests/data/inputs/*.png):
button faces, toggle states, the steps of a slider and the panel of the test
window, in the skin's palette.

Run with Debian's /usr/bin/python3 (python3-cairo). The output is the same on
every run: plain shapes, no text, no time stamps.
"""
import os

import cairo

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "tests", "data", "inputs")

FACE = (0x34, 0x3A, 0x43)
HOVER = (0x3D, 0x44, 0x4E)
PRESSED = (0x2A, 0x2F, 0x36)
ACCENT = (0x38, 0xBD, 0xF8)
DISPLAY = (0x0C, 0x11, 0x16)
LAMP_OFF = (0x9A, 0xA4, 0xB1)

PANEL = (0x23, 0x27, 0x2E)
PANEL_EDGE = (0x3A, 0x40, 0x4A)

BUTTON = (48, 24)
WINDOW = (260, 170)
SLIDER = (100, 12)
SLIDER_STEPS = 5


def rgb(colour):
    return tuple(c / 255.0 for c in colour)


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -1.5708, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, 1.5708)
    ctx.arc(x + r, y + h - r, r, 1.5708, 3.1416)
    ctx.arc(x + r, y + r, r, 3.1416, 4.7124)
    ctx.close_path()


def save(name, size, paint):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, *size)
    ctx = cairo.Context(surface)
    paint(ctx, *size)
    surface.write_to_png(os.path.join(OUT, name))


def face(fill, outline=None):
    def paint(ctx, w, h):
        rounded_rect(ctx, 0, 0, w, h, 4)
        ctx.set_source_rgb(*rgb(fill))
        ctx.fill()
        if outline:
            rounded_rect(ctx, 1, 1, w - 2, h - 2, 3)
            ctx.set_line_width(2)
            ctx.set_source_rgb(*rgb(outline))
            ctx.stroke()

    return paint


def toggle(on):
    def paint(ctx, w, h):
        face(PRESSED if on else FACE, ACCENT if on else None)(ctx, w, h)
        ctx.arc(w / 2, h / 2, 5, 0, 6.2832)
        ctx.set_source_rgb(*rgb(ACCENT if on else LAMP_OFF))
        ctx.fill()

    return paint


def slider_step(step):
    def paint(ctx, w, h):
        ctx.rectangle(0, 0, w, h)
        ctx.set_source_rgb(*rgb(DISPLAY))
        ctx.fill()
        filled = round(w * step / (SLIDER_STEPS - 1))
        ctx.rectangle(0, 0, filled, h)
        ctx.set_source_rgb(*rgb(ACCENT))
        ctx.fill()

    return paint


def panel(ctx, w, h):
    ctx.rectangle(0, 0, w, h)
    ctx.set_source_rgb(*rgb(PANEL))
    ctx.fill()
    ctx.rectangle(0, 0, w, 1)
    ctx.set_source_rgb(*rgb(PANEL_EDGE))
    ctx.fill()


def main():
    os.makedirs(OUT, exist_ok=True)
    save("ButtonRest.png", BUTTON, face(FACE))
    save("ButtonHover.png", BUTTON, face(HOVER))
    save("ButtonPressed.png", BUTTON, face(PRESSED, ACCENT))
    save("ToggleUp.png", BUTTON, toggle(False))
    save("ToggleDown.png", BUTTON, toggle(True))
    save("Panel.png", WINDOW, panel)
    for step in range(SLIDER_STEPS):
        save("SliderStep%d.png" % step, SLIDER, slider_step(step))


if __name__ == "__main__":
    main()
