#!/usr/bin/python3
"""Draws the pictures only the metronome screen shows, with pycairo, in the
skin's palette and at their size in the 800 x 500 window:

XML/Main/Pictures/Preset{Rest,Hover,Pressed}.png: the tempo preset buttons.
XML/Main/Pictures/WideToggle{Rest,Hover,Pressed}.png: the PLAY and RECORD toggles.
XML/Main/Vis/beat-0.png to beat-4.png: the beat lamp, dark at rest, brightest
at the beat.
XML/Main/Pictures/Volume{Track,Fill,Grip}.png and XML/Main/VolumeSlider.xml:
the volume sliders, one step per 5 %, the grip rising with the value.

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


STEPS = 21
GRIP = 8


def volume_pictures():
    track, ctx = skin.new_surface(4, 64)
    skin.rounded_rect(ctx, 0, 0, 4, 64, 2)
    ctx.set_source_rgba(*skin.rgb(skin.DISPLAY))
    ctx.fill()
    skin.save(track, os.path.join(skin.OUT, "VolumeTrack.png"))
    fill, ctx = skin.new_surface(4, 64)
    skin.rounded_rect(ctx, 0, 0, 4, 64, 2)
    ctx.set_source_rgba(*skin.rgb(skin.ACCENT))
    ctx.fill()
    skin.save(fill, os.path.join(skin.OUT, "VolumeFill.png"))
    skin.save(skin.plain_button(16, GRIP, "Rest", radius=3), os.path.join(skin.OUT, "VolumeGrip.png"))


def length(fraction, pixels):
    text = "%g" % round(fraction, 4)
    if pixels:
        text += "%+gpx" % round(pixels, 2)
    return text


def image(name, x, y, w, h, picture):
    return ('    <CreateObject Name="%s" XPos="%s" YPos="%s" Width="%s" Height="%s">\n'
            '      <Vabo::Image ImageFile="XML/Main/Pictures/%s.png" />\n'
            '    </CreateObject>\n') % (name, x, y, w, h, picture)


def volume_slider():
    text = ('<?xml version="1.0" ?>\n'
            "<!-- Written by scripts/draw-metronome-pictures.py: edit the script, not this file.\n"
            "     A volume slider: the grip rises with the value, one step per 5 %. -->\n"
            '<Vabo::ObjectSlider BaseXML="default" Orientation="Vertical">\n')
    for i in range(STEPS):
        # Step 0 is the lowest value, shown at the bottom.
        f = 1.0 - i / (STEPS - 1)
        text += ("  <Vabo::GridLayout>\n"
                 + image("Track", "0.5-2px", "0", "4px", "1", "VolumeTrack")
                 + image("Fill", "0.5-2px", length(f, GRIP / 2 - f * GRIP), "4px", length(1 - f, f * GRIP - GRIP / 2),
                         "VolumeFill")
                 + image("Grip", "0", length(f, -f * GRIP), "1", "%dpx" % GRIP, "VolumeGrip")
                 + "  </Vabo::GridLayout>\n")
    text += "</Vabo::ObjectSlider>\n"
    with open(os.path.join(HERE, "..", "XML", "Main", "VolumeSlider.xml"), "w", encoding="utf-8") as out:
        out.write(text)


def main():
    volume_pictures()
    volume_slider()
    for state in ("Rest", "Hover", "Pressed"):
        skin.save(skin.plain_button(170, 56, state, radius=7), os.path.join(skin.OUT, "Preset%s.png" % state))
        skin.save(skin.plain_button(100, 40, state, radius=7), os.path.join(skin.OUT, "WideToggle%s.png" % state))
    steps = [(vis.DARK, 0.0), (vis.ACCENT, 0.25), (vis.ACCENT, 0.5), (vis.ACCENT, 0.75), (vis.ACCENT, 1.0)]
    for index, (colour, glow) in enumerate(steps):
        vis.lamp(os.path.join(vis.OUT, "beat-%d.png" % index), 32, colour, glow)


if __name__ == "__main__":
    main()
