#!/usr/bin/python3
"""Writes the small pictures the drawing-layer tests read (tests/data/gfx/)
and the picture of the framework's default image definition.

Written through pycairo (scripts/pictures.py), so that the output is the
same on every run. Run again after changing a picture and commit the result.
"""
import os

from pictures import write_pixels

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "tests", "data", "gfx")
LIBRARY_IMAGE = os.path.join(TOP, "lib", "VABO", "XML", "Objects", "Image")


def write_png(path, pixels):
    write_pixels(path, len(pixels[0]), len(pixels), lambda x, y: pixels[y][x])


def quadrants():
    # 8 x 8: red, green / blue, white quadrants, all opaque.
    colours = [[(255, 0, 0, 255), (0, 255, 0, 255)], [(0, 0, 255, 255), (255, 255, 255, 255)]]
    return [[colours[y // 4][x // 4] for x in range(8)] for y in range(8)]


def alpha_shape():
    # 6 x 4 blue picture whose alpha draws the outline: 10 inside (belongs to
    # the window at threshold 10), 9 just outside, 0 and 255 elsewhere.
    alphas = [
        [0, 9, 10, 10, 9, 0],
        [10, 255, 9, 255, 10, 10],
        [9, 9, 9, 9, 9, 9],
        [255, 255, 255, 255, 255, 255],
    ]
    return [[(0, 0, 255, a) for a in row] for row in alphas]


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    write_png(os.path.join(OUT, "quadrants.png"), quadrants())
    write_png(os.path.join(OUT, "alpha-shape.png"), alpha_shape())
    # An image object built from its default definition alone shows nothing.
    write_png(os.path.join(LIBRARY_IMAGE, "Image.png"), [[(0, 0, 0, 0)]])
    with open(os.path.join(OUT, "not-a-picture.png"), "w") as f:
        f.write("This file only pretends to be a picture.\n")
