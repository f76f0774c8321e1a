#!/usr/bin/python3
"""Draws the pictures only the metronome screen shows, with pycairo, in the
skin's palette and at their size in the 800 x 500 window:

XML/Main/Pictures/Preset{Rest,Hover,Pressed}.png: the tempo preset buttons.
XML/Main/Pictures/WideToggle{Rest,Hover,Pressed}.png: the PLAY and RECORD toggles.
XML/Main/Vis/beat-0.png to beat-4.png: the beat lamp, dark at rest, brightest
at the beat.
XML/Main/Vis/beat-slots.png: the two unlit slots the beat display's columns
(beat and bar) rise in, placed under the display.

It reuses the faces of draw-skin.py and the lamp of draw-vis-pictures.py, so
the controls match the rest of the skin. Deterministic like them.
"""
import importlib.util
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def load(name):
    spec = importlib.util.spec_from_file_location(name.replace("-", "_"), os.path.join(HERE, name + ".py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


skin = load("draw-skin")
vis = load("draw-vis-pictures")


# The beat display at 800 x 500 (Metronome.xml): its columns stand in the
# second and fourth fifth of its width.
BEAT_DISPLAY = (488, 160)


def beat_slots(path):
    w, h = BEAT_DISPLAY
    surface, ctx = skin.new_surface(w, h)
    u = w // 5
    for left in (u, 3 * u):
        skin.rounded_rect(ctx, left + 0.5, 0.5, u - 1, h - 1, 6)
        ctx.set_source_rgba(*skin.rgb("#1B2530"))
        ctx.fill()
    skin.save(surface, path)


def main():
    for state in ("Rest", "Hover", "Pressed"):
        skin.save(skin.plain_button(170, 56, state, radius=7), os.path.join(skin.OUT, "Preset%s.png" % state))
        skin.save(skin.plain_button(100, 40, state, radius=7), os.path.join(skin.OUT, "WideToggle%s.png" % state))
    steps = [(vis.DARK, 0.0), (vis.ACCENT, 0.25), (vis.ACCENT, 0.5), (vis.ACCENT, 0.75), (vis.ACCENT, 1.0)]
    for index, (colour, glow) in enumerate(steps):
        vis.lamp(os.path.join(vis.OUT, "beat-%d.png" % index), 40, colour, glow)
    beat_slots(os.path.join(vis.OUT, "beat-slots.png"))


if __name__ == "__main__":
    main()
