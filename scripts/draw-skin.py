#!/usr/bin/python3
"""Draws every picture of Pellora's skin (XML/Main/Pictures/*.png) with pycairo.

Each picture is drawn at the size it is shown at in the 800 x 500 window, in
the skin's palette: a graphite panel, backlit display windows, one cool accent
and raised control faces. Run again after changing a picture and commit the
result; the output is the same on every run.
"""
import math
import os

import cairo

from pictures import new_surface, save

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "XML", "Main", "Pictures")

WIDTH, HEIGHT = 800, 500


def rgb(hex_colour, alpha=1.0):
    value = int(hex_colour.lstrip("#"), 16)
    return ((value >> 16) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0, alpha)


PANEL = "#23272E"
PANEL_HIGHLIGHT = "#3A404A"
PANEL_SHADOW = "#15181C"
FACE = "#343A43"
FACE_HOVER = "#3D444E"
FACE_PRESSED = "#2A2F36"
DISPLAY = "#0C1116"
GRID = "#1B2530"
TEXT = "#E8ECF1"
TEXT_SECONDARY = "#9AA4B1"
ACCENT = "#38BDF8"
OFF = "#F87171"
IN_TUNE = "#34D399"

FONT = "DejaVu Sans"


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def vertical_gradient(y0, y1, top, bottom):
    gradient = cairo.LinearGradient(0, y0, 0, y1)
    gradient.add_color_stop_rgba(0, *rgb(top))
    gradient.add_color_stop_rgba(1, *rgb(bottom))
    return gradient


def panel(ctx, w, h, radius):
    """The graphite panel: a lit top edge, a shadowed bottom edge."""
    rounded_rect(ctx, 0, 0, w, h, radius)
    ctx.set_source_rgba(*rgb(PANEL_SHADOW))
    ctx.fill()
    rounded_rect(ctx, 0, 0, w, h - 2, radius)
    ctx.set_source_rgba(*rgb(PANEL_HIGHLIGHT))
    ctx.fill()
    rounded_rect(ctx, 0, 1, w, h - 3, radius - 1)
    ctx.set_source(vertical_gradient(0, h, "#262B32", PANEL))
    ctx.fill()


def display_window(ctx, x, y, w, h, radius=6, cell=20):
    """A backlit display: dark glass, a faint grid and a 1 px inner shadow."""
    rounded_rect(ctx, x, y, w, h, radius)
    ctx.set_source_rgba(*rgb(DISPLAY))
    ctx.fill_preserve()
    ctx.save()
    ctx.clip()
    ctx.set_line_width(1)
    ctx.set_source_rgba(*rgb(GRID))
    gx = x + cell
    while gx < x + w:
        ctx.move_to(math.floor(gx) + 0.5, y)
        ctx.line_to(math.floor(gx) + 0.5, y + h)
        gx += cell
    gy = y + cell
    while gy < y + h:
        ctx.move_to(x, math.floor(gy) + 0.5)
        ctx.line_to(x + w, math.floor(gy) + 0.5)
        gy += cell
    ctx.stroke()
    ctx.restore()
    # Inner shadow along the top and left, a faint lit rim below.
    rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, radius)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.set_line_width(1)
    ctx.stroke()
    ctx.move_to(x + radius, y + h + 0.5)
    ctx.line_to(x + w - radius, y + h + 0.5)
    ctx.set_source_rgba(*rgb(PANEL_HIGHLIGHT, 0.6))
    ctx.stroke()


def background(displays):
    surface, ctx = new_surface(WIDTH, HEIGHT)
    panel(ctx, WIDTH, HEIGHT, 18)
    # The title row's lower edge.
    ctx.set_line_width(1)
    ctx.move_to(0, 40.5)
    ctx.line_to(WIDTH, 40.5)
    ctx.set_source_rgba(*rgb(PANEL_SHADOW))
    ctx.stroke()
    ctx.move_to(0, 41.5)
    ctx.line_to(WIDTH, 41.5)
    ctx.set_source_rgba(*rgb(PANEL_HIGHLIGHT, 0.5))
    ctx.stroke()
    for x, y, w, h in displays:
        display_window(ctx, x, y, w, h)
    resize_grip(ctx)
    return surface


def resize_grip(ctx):
    """Three short diagonals inside the rounded lower right corner: the place
    to drag the window's size from."""
    ctx.set_line_width(1.5)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgba(*rgb(TEXT_SECONDARY, 0.7))
    corner_x, corner_y = WIDTH - 7, HEIGHT - 7
    for d in (4, 8, 12):
        ctx.move_to(corner_x - d, corner_y)
        ctx.line_to(corner_x, corner_y - d)
    ctx.stroke()


def raised_face(ctx, w, h, radius, state):
    """A raised control face in its rest, hover or pressed state."""
    face = {"Rest": FACE, "Hover": FACE_HOVER, "Pressed": FACE_PRESSED}[state]
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, radius)
    ctx.set_source_rgba(*rgb(PANEL_SHADOW))
    ctx.fill()
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 2, radius)
    lit = "#454C57" if state != "Pressed" else FACE_PRESSED
    ctx.set_source(vertical_gradient(0, h, lit, face))
    ctx.fill()
    rounded_rect(ctx, 1.5, 1.5, w - 3, h - 4, radius - 1)
    ctx.set_source(vertical_gradient(0, h, face, face))
    ctx.fill()
    if state == "Pressed":
        rounded_rect(ctx, 1.5, 1.5, w - 3, h - 3, radius - 1)
        ctx.set_source_rgba(*rgb(ACCENT))
        ctx.set_line_width(2)
        ctx.stroke()


def round_button(glyph, state, red=False):
    size = 26
    surface, ctx = new_surface(size, size)
    c = size / 2
    face = {"Rest": FACE, "Hover": FACE_HOVER, "Pressed": FACE_PRESSED}[state]
    if red:
        face = {"Rest": "#E05A5A", "Hover": OFF, "Pressed": "#C24848"}[state]
    ctx.arc(c, c + 0.5, c - 0.5, 0, 2 * math.pi)
    ctx.set_source_rgba(*rgb(PANEL_SHADOW))
    ctx.fill()
    ctx.arc(c, c, c - 1.5, 0, 2 * math.pi)
    ctx.set_source(vertical_gradient(0, size, "#4A525E" if not red else "#F08A8A", face))
    ctx.fill()
    ctx.arc(c, c, c - 2.5, 0, 2 * math.pi)
    ctx.set_source_rgba(*rgb(face))
    ctx.fill()
    if state == "Pressed" and not red:
        ctx.arc(c, c, c - 2, 0, 2 * math.pi)
        ctx.set_source_rgba(*rgb(ACCENT))
        ctx.set_line_width(2)
        ctx.stroke()
    ink = TEXT if not red else "#2A0E0E"
    ctx.set_source_rgba(*rgb(ink))
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(2)
    if glyph == "close":
        d = 4.5
        ctx.move_to(c - d, c - d)
        ctx.line_to(c + d, c + d)
        ctx.move_to(c + d, c - d)
        ctx.line_to(c - d, c + d)
        ctx.stroke()
    elif glyph == "minimise":
        ctx.move_to(c - 5, c + 0.5)
        ctx.line_to(c + 5, c + 0.5)
        ctx.stroke()
    else:
        text = {"help": "?", "metronome": "\u2669", "tuner": "\u266A"}[glyph]
        ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
        ctx.set_font_size(14)
        extents = ctx.text_extents(text)
        ctx.move_to(c - extents.x_bearing - extents.width / 2, c - extents.y_bearing - extents.height / 2)
        ctx.show_text(text)
    return surface


def choice_button(state):
    """The face of a choice button with its drop-down arrow at the right."""
    w, h = 112, 32
    surface, ctx = new_surface(w, h)
    raised_face(ctx, w, h, 6, state)
    ctx.move_to(w - 20, h / 2 - 2)
    ctx.line_to(w - 12, h / 2 - 2)
    ctx.line_to(w - 16, h / 2 + 3)
    ctx.close_path()
    ctx.set_source_rgba(*rgb(TEXT_SECONDARY if state == "Rest" else TEXT))
    ctx.fill()
    return surface


def plain_button(w, h, state, radius=6):
    surface, ctx = new_surface(w, h)
    raised_face(ctx, w, h, radius, state)
    return surface


def edit_field(w, h):
    surface, ctx = new_surface(w, h)
    display_window(ctx, 0, 0, w, h - 1, radius=5, cell=1000)
    return surface


def dialog(w, h, title_height):
    """A small window: the panel with a title row of its own."""
    surface, ctx = new_surface(w, h)
    panel(ctx, w, h, 14)
    ctx.set_line_width(1)
    ctx.move_to(0, title_height + 0.5)
    ctx.line_to(w, title_height + 0.5)
    ctx.set_source_rgba(*rgb(PANEL_SHADOW))
    ctx.stroke()
    ctx.move_to(0, title_height + 1.5)
    ctx.line_to(w, title_height + 1.5)
    ctx.set_source_rgba(*rgb(PANEL_HIGHLIGHT, 0.5))
    ctx.stroke()
    return surface


def list_background(w, h):
    """The drop-down list: a raised face with a hairline accent border."""
    surface, ctx = new_surface(w, h)
    rounded_rect(ctx, 0.5, 0.5, w - 1, h - 1, 6)
    ctx.set_source_rgba(*rgb(FACE_PRESSED))
    ctx.fill_preserve()
    ctx.set_source_rgba(*rgb(PANEL_HIGHLIGHT))
    ctx.set_line_width(1)
    ctx.stroke()
    return surface


def list_entry(w, h, state):
    surface, ctx = new_surface(w, h)
    if state != "Rest":
        rounded_rect(ctx, 3, 1, w - 6, h - 2, 4)
        ctx.set_source_rgba(*rgb(FACE_HOVER if state == "Hover" else ACCENT, 1.0 if state == "Hover" else 0.35))
        ctx.fill()
    return surface


def solid(colour, size=8):
    # A single colour stays sharp at any size it is stretched to, so the tool
    # tip, which takes its text's size, is framed by two of them.
    surface, ctx = new_surface(size, size)
    ctx.set_source_rgba(*rgb(colour))
    ctx.paint()
    return surface


def toggle_face(state):
    """A toggle of the bottom row: raised when up, pressed with the accent
    outline when down."""
    return plain_button(52, 40, state)


def note_face(state):
    """A note button of the tuner's strip."""
    return plain_button(124, 56, state, radius=8)


def slider_track(w, h, colour):
    """A slider's groove (or its lit part): a rounded bar."""
    surface, ctx = new_surface(w, h)
    rounded_rect(ctx, 0, 0, w, h, min(w, h) / 2)
    ctx.set_source_rgba(*rgb(colour))
    ctx.fill()
    return surface


def slider_thumb(w, h):
    """A slider's grip: a small raised face."""
    surface, ctx = new_surface(w, h)
    raised_face(ctx, w, h, 2, "Rest")
    ctx.set_source_rgba(*rgb(TEXT))
    rounded_rect(ctx, 2, 2, w - 4, h - 5, 1.5)
    ctx.fill()
    return surface


def app_icon(size):
    """The desktop's icon: the graphite panel as a rounded tile holding a
    backlit display with the tuner's needle standing in tune."""
    surface, ctx = new_surface(size, size)
    unit = size / 64.0
    ctx.scale(unit, unit)
    rounded_rect(ctx, 2, 2, 60, 60, 12)
    ctx.set_source(vertical_gradient(2, 62, PANEL_HIGHLIGHT, PANEL))
    ctx.fill()
    rounded_rect(ctx, 8, 10, 48, 44, 6)
    ctx.set_source_rgba(*rgb(DISPLAY))
    ctx.fill()
    # The scale: an arc of ticks around the needle's pivot.
    cx, cy = 32, 48
    ctx.set_line_width(1.6)
    for i in range(-4, 5):
        angle = -math.pi / 2 + i * math.pi / 12
        inner = 26 if i % 2 else 24
        ctx.move_to(cx + inner * math.cos(angle), cy + inner * math.sin(angle))
        ctx.line_to(cx + 30 * math.cos(angle), cy + 30 * math.sin(angle))
        ctx.set_source_rgba(*rgb(IN_TUNE if i == 0 else TEXT_SECONDARY))
        ctx.stroke()
    ctx.set_line_width(2.4)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.move_to(cx, cy)
    ctx.line_to(cx, cy - 26)
    ctx.set_source_rgba(*rgb(ACCENT))
    ctx.stroke()
    ctx.arc(cx, cy, 3, 0, 2 * math.pi)
    ctx.set_source_rgba(*rgb(TEXT))
    ctx.fill()
    return surface


def main():
    os.makedirs(OUT, exist_ok=True)

    def out(name, surface):
        save(surface, os.path.join(OUT, name + ".png"))

    # Main display, readout and the bottom row's display of each screen.
    out("TunerBackground", background([(24, 90, 512, 220), (552, 90, 224, 220), (24, 400, 292, 85)]))
    out("MetronomeBackground", background([(24, 90, 512, 220), (552, 90, 224, 220), (24, 400, 380, 85)]))
    for state in ("Rest", "Hover", "Pressed"):
        for glyph in ("help", "metronome", "tuner", "minimise"):
            out("Round%s%s" % (glyph.capitalize(), state), round_button(glyph, state))
        out("RoundClose" + state, round_button("close", state, red=True))
        out("Choice" + state, choice_button(state))
        out("DialogButton" + state, plain_button(100, 32, state))
        out("ListEntry" + state, list_entry(112, 28, state))
    out("EditField", edit_field(84, 32))
    out("MessageBox", dialog(440, 180, 36))
    out("About", dialog(440, 260, 36))
    out("List", list_background(112, 160))
    out("ToolTipEdge", solid(TEXT_SECONDARY))
    out("ToolTipFace", solid(FACE_HOVER))
    out("ThresholdMarker", solid(TEXT))
    for state in ("Rest", "Hover", "Pressed"):
        out("Toggle" + state, toggle_face(state))
        out("Note" + state, note_face(state))
    out("SliderTrackVertical", slider_track(4, 64, DISPLAY))
    out("SliderFillVertical", slider_track(4, 64, ACCENT))
    out("SliderThumbVertical", slider_thumb(16, 8))
    out("SliderTrackHorizontal", slider_track(104, 4, DISPLAY))
    out("SliderFillHorizontal", slider_track(104, 4, ACCENT))
    out("SliderThumbHorizontal", slider_thumb(10, 16))
    out("Icon", app_icon(256))


if __name__ == "__main__":
    main()
