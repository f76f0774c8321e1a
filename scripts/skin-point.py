#!/usr/bin/env python3
"""Prints the centre, in window pixels, of a named object of a skin document.

    skin-point.py FILE NAME [WIDTH HEIGHT]

The window is WIDTH x HEIGHT (default 800 x 500, the size Pellora starts at).
Positions are the skin's lengths: fractions of the parent, pixels ("20px") or
sums of both ("1-20px"). Scripts that drive the program with real pointer
events use it, so a moved button moves their clicks too.
"""
import re
import sys
import xml.etree.ElementTree as ET

TERM = re.compile(r"\s*([+-]?)\s*(\d*\.?\d+)\s*(px)?")


def length(text, whole):
    value, pos, text = 0.0, 0, text.strip()
    while pos < len(text):
        match = TERM.match(text, pos)
        if not match or match.end() == pos:
            raise ValueError("unreadable length %r" % text)
        number = float(match.group(2)) * (1.0 if match.group(3) else whole)
        value += -number if match.group(1) == "-" else number
        pos = match.end()
    return value


def find(element, name, box):
    for child in element:
        inner = box
        if child.tag == "CreateObject":
            x, y, w, h = box
            inner = (x + length(child.get("XPos", "0"), w), y + length(child.get("YPos", "0"), h),
                     length(child.get("Width", "1"), w), length(child.get("Height", "1"), h))
            if child.get("Name") == name:
                return inner
        found = find(child, name, inner)
        if found:
            return found
    return None


def main():
    if len(sys.argv) not in (3, 5):
        sys.exit(__doc__.strip())
    width, height = (float(sys.argv[3]), float(sys.argv[4])) if len(sys.argv) == 5 else (800.0, 500.0)
    with open(sys.argv[1], encoding="utf-8") as f:
        # Type elements are named like "Vabo::TextValidate::Float", which XML reads as an unbound prefix.
        text = re.sub(r"<(/?)([\w:]+)", lambda m: "<" + m.group(1) + m.group(2).replace(":", "_"), f.read())
    box = find(ET.fromstring(text), sys.argv[2], (0.0, 0.0, width, height))
    if not box:
        sys.exit("skin-point: %s has no object named %s" % (sys.argv[1], sys.argv[2]))
    x, y, w, h = box
    print(int(round(x + w / 2)), int(round(y + h / 2)))


main()
