#!/usr/bin/python3
"""Writes the definitions of the skin's sliders (XML/Main/VerticalSlider.xml
and XML/Main/ThresholdSlider.xml). A slider
shows one step object per value band; each step here is the groove, the lit
part up to the grip, and the grip at its place, so a slider of 21 steps moves
its grip in 5 % steps. Every length is a share of the slider, so the grips
grow with the window. The threshold slider also draws its marker across the
level bar above it: its grip's middle runs along the bar's whole length.

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


# The grip's length and the groove's thickness, as shares of the slider (at
# 800 x 500 a vertical slider is 16 x 64 pixels).
VERTICAL_GRIP = 0.125
THRESHOLD_GRIP = 0.06
GROOVE = 0.25
# The threshold slider: the level bar's band and the groove's middle, as
# shares of the slider's height.
BAR_BAND = (0.05, 0.45)
GROOVE_MIDDLE = 0.76


def vertical_step(i):
    # Step 0 is the lowest value, shown at the bottom.
    f = 1.0 - i / (STEPS - 1)
    t = VERTICAL_GRIP
    top = f * (1 - t)
    side = length(0.5 - GROOVE / 2, 0)
    return ("  <Vabo::GridLayout>\n"
            + image("Track", side, "0", length(GROOVE, 0), "1", "SliderTrackVertical")
            + image("Fill", side, length(top + t / 2, 0), length(GROOVE, 0), length(1 - top - t / 2, 0),
                    "SliderFillVertical")
            + image("Grip", "0", length(top, 0), "1", length(t, 0), "SliderThumbVertical")
            + "  </Vabo::GridLayout>\n")


def threshold_step(i):
    f = i / (STEPS - 1)
    t = THRESHOLD_GRIP
    middle = GROOVE_MIDDLE
    thickness = 2 * (1 - GROOVE_MIDDLE) - 0.04
    left = f * (1 - t)
    groove = GROOVE * thickness
    text = ("  <Vabo::GridLayout>\n"
            + image("Track", "0", length(middle - groove / 2, 0), "1", length(groove, 0), "SliderTrackHorizontal")
            + image("Fill", "0", length(middle - groove / 2, 0), length(left + t / 2, 0), length(groove, 0),
                    "SliderFillHorizontal")
            + image("Grip", length(left, 0), length(middle - thickness / 2, 0), length(t, 0), length(thickness, 0),
                    "SliderThumbHorizontal"))
    text += image("Marker", length(left + t / 2, -1), length(BAR_BAND[0], 0), "2px",
                  length(BAR_BAND[1] - BAR_BAND[0], 0), "ThresholdMarker")
    return text + "  </Vabo::GridLayout>\n"


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
write("ThresholdSlider.xml", "Horizontal", threshold_step,
      "The threshold slider: the grip moves right with the value and marks the level bar above.")
