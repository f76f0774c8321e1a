#!/usr/bin/python3
"""Draws the pictures of the window tests' skins (tests/data/windows/*.png)
and of the framework's add-object dialog (lib/VABO/XML/AddObjectWindow).

The pictures are simple enough to describe in code, so they are drawn here
rather than kept as opaque files: run this script again after changing one.
The PNG files are written through pycairo (scripts/pictures.py).
"""
import math
import os

from pictures import write_pixels

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "tests", "data", "windows")
DIALOG = os.path.join(TOP, "lib", "VABO", "XML", "AddObjectWindow")


def inside_rounded_rect(x, y, width, height, radius):
    """Whether the centre of pixel (x, y) lies in a rounded rectangle."""
    px, py = x + 0.5, y + 0.5
    cx = min(max(px, radius), width - radius)
    cy = min(max(py, radius), height - radius)
    return math.hypot(px - cx, py - cy) <= radius


def app_window(x, y):
    """240 x 160: a rounded panel (transparent outside its 24-pixel corners),
    a dark blue title bar 20 pixels high, a light body and an orange resize
    grip of 16 x 16 at (212, 132), just inside the bottom-right corner."""
    w, h = 240, 160
    if not inside_rounded_rect(x, y, w, h, 24):
        return (0, 0, 0, 0)
    if y < 20:
        return (30, 50, 120, 255)
    if 212 <= x < 228 and 132 <= y < 148:
        return (240, 140, 20, 255)
    return (225, 230, 240, 255)


def message_box(x, y):
    """300 x 140: a rounded grey-green panel with a darker frame two pixels wide."""
    w, h = 300, 140
    if not inside_rounded_rect(x, y, w, h, 12):
        return (0, 0, 0, 0)
    if not inside_rounded_rect(x - 2, y - 2, w - 4, h - 4, 10):
        return (40, 70, 60, 255)
    return (200, 225, 210, 255)


def button(x, y):
    """64 x 24: a flat blue button face with a one-pixel darker border."""
    w, h = 64, 24
    if x == 0 or y == 0 or x == w - 1 or y == h - 1:
        return (20, 40, 110, 255)
    return (70, 110, 200, 255)


def stripes(x, y):
    """100 x 200: horizontal bands 10 pixels high, alternating red and green,
    so a clipped and shifted view shows where its rows come from."""
    return (220, 30, 30, 255) if (y // 10) % 2 == 0 else (30, 180, 30, 255)


def dialog_panel(x, y):
    """260 x 110: a light grey panel with a dark grey title strip 22 pixels
    high, a white field for the name and two darker buttons."""
    if y < 22:
        return (70, 70, 80, 255)
    if 10 <= x < 250 and 34 <= y < 56:
        return (255, 255, 255, 255)
    if 60 <= y < 84 and (60 <= x < 120 or 140 <= x < 200):
        return (150, 150, 165, 255)
    return (215, 215, 222, 255)


def main():
    os.makedirs(OUT, exist_ok=True)
    write_pixels(os.path.join(OUT, "AppWindow.png"), 240, 160, app_window)
    write_pixels(os.path.join(OUT, "MessageBox.png"), 300, 140, message_box)
    write_pixels(os.path.join(OUT, "Button.png"), 64, 24, button)
    write_pixels(os.path.join(OUT, "Stripes.png"), 100, 200, stripes)
    os.makedirs(DIALOG, exist_ok=True)
    write_pixels(os.path.join(DIALOG, "Panel.png"), 260, 110, dialog_panel)


if __name__ == "__main__":
    main()
