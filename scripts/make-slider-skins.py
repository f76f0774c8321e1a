#!/usr/bin/python3
"""Writes the definitions of the skin's sliders (XML/Main/VerticalSlider.xml
and XML/Main/HorizontalSlider.xml). A slider shows one step object per value
band; each step here is the groove, the lit part up to the grip, and the grip
at its place, so a slider of 21 steps moves its grip in 5 % steps.

The output is the same on every run.
"""
import os

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
STEPS = 21
PICTURES = "XML/Main/Pictures/"


def length(fraction, pixels):
    text = "%g" % round(fraction, 4)
    if pixels:
        text += "%+gpx" % round(pixels, 2)
    return text


def image(name, x, y, w, h, picture):
    return ('    <CreateObject Name="%s" XPos="%s" YPos="%s" Width="%s" Height="%s">\n'
            '      <Vabo::Image ImageFile="%s%s.png" />\n'
            '    </CreateObject>\n') % (name, x, y, w, h, PICTURES, picture)


def vertical_step(i):
    # Step 0 is the lowest value, shown at the bottom.
    f = 1.0 - i / (STEPS - 1)
    thumb = 8
    top = length(f, -f * thumb)
    fill_top = length(f, (1 - f) * 0 - f * thumb + thumb / 2)
    return ("  <Vabo::GridLayout>\n"
            + image("Track", "0.5-2px", "0", "4px", "1", "SliderTrackVertical")
            + image("Fill", "0.5-2px", fill_top, "4px", length(1 - f, f * thumb - thumb / 2), "SliderFillVertical")
            + image("Grip", "0", top, "1", "%dpx" % thumb, "SliderThumbVertical")
            + "  </Vabo::GridLayout>\n")


def horizontal_step(i):
    f = i / (STEPS - 1)
    thumb = 10
    return ("  <Vabo::GridLayout>\n"
            + image("Track", "0", "0.5-2px", "1", "4px", "SliderTrackHorizontal")
            + image("Fill", "0", "0.5-2px", length(f, -f * thumb + thumb / 2), "4px", "SliderFillHorizontal")
            + image("Grip", length(f, -f * thumb), "0", "%dpx" % thumb, "1", "SliderThumbHorizontal")
            + "  </Vabo::GridLayout>\n")


def write(name, orientation, step, what):
    text = ('<?xml version="1.0" ?>\n'
            "<!-- Written by scripts/make-slider-skins.py: edit the script, not this file.\n"
            "     %s -->\n"
            '<Vabo::ObjectSlider BaseXML="default" Orientation="%s">\n' % (what, orientation))
    text += "".join(step(i) for i in range(STEPS))
    text += "</Vabo::ObjectSlider>\n"
    with open(os.path.join(TOP, "XML", "Main", name), "w", encoding="utf-8") as out:
        out.write(text)


write("VerticalSlider.xml", "Vertical", vertical_step, "A volume slider: the grip rises with the value.")
write("HorizontalSlider.xml", "Horizontal", horizontal_step, "A level slider: the grip moves right with the value.")
