#!/usr/bin/python3
"""Writes the tuner's configuration (XML/Main/TunerConfig.xml): the note table,
the instruments with their tunings, the transpositions, the recording inputs
and the loudness correction of the reference tone.

Notes are named with sharps ("C#4") and tuned in equal temperament from
A4 = 440 Hz. The table runs from C-1 to B9: every tuning note shifted by the
largest transposition either way stays inside it, and so does the whole range
a reference frequency may be typed in (16 to 6645 Hz).

Names are written in capitals, as every caption of the skin is, with a flat
sign for "b" ("In Bb" is "IN B♭").

The output is the same on every run.
"""
import os

TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
OUT = os.path.join(TOP, "XML", "Main", "TunerConfig.xml")

NAMES = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]
LOWEST_OCTAVE = -1
HIGHEST_OCTAVE = 9

# Tunings at sounding pitch, lowest string first.
INSTRUMENTS = [
    ("Guitar", [
        ("Standard", "E2 A2 D3 G3 B3 E4"),
        ("Drop D", "D2 A2 D3 G3 B3 E4"),
        ("DADGAD", "D2 A2 D3 G3 A3 D4"),
        ("Open G", "D2 G2 D3 G3 B3 D4"),
        ("Open D", "D2 A2 D3 F#3 A3 D4"),
        ("Half Step Down", "D#2 G#2 C#3 F#3 A#3 D#4"),
    ]),
    ("Bass", [
        ("4-String", "E1 A1 D2 G2"),
        ("5-String", "B0 E1 A1 D2 G2"),
    ]),
    ("Violin", [("Standard", "G3 D4 A4 E5")]),
    ("Viola", [("Standard", "C3 G3 D4 A4")]),
    ("Cello", [("Standard", "C2 G2 D3 A3")]),
    ("Ukulele", [
        ("Standard", "G4 C4 E4 A4"),
        ("Low G", "G3 C4 E4 A4"),
        ("Baritone", "D3 G3 B3 E4"),
    ]),
    ("Mandolin", [("Standard", "G3 D4 A4 E5")]),
    ("Banjo", [
        ("Open G", "G4 D3 G3 B3 D4"),
        ("Double C", "G4 C3 G3 C4 D4"),
    ]),
]

# Semitones from the written note to the sounding one; concert pitch first.
TRANSPOSITIONS = [
    ("Concert", 0),
    ("In Bb", -2),
    ("In Eb", -9),
    ("In F", -7),
    ("In A", -3),
    ("In G", -5),
    ("Tenor Bb", -14),
    ("Baritone Eb", -21),
    ("Piccolo", 12),
]

# Mixer component types of the microphone and the line-in source lines.
INPUTS = [("MIC", 0x1003), ("LINE", 0x1002)]

# Loudness correction of the reference tone in dB: an equal-loudness contour
# around 18 dB at 1 kHz, never above 29.5 dB (a gain of 29.85, just under the
# limit at which the tone plays at full scale).
PERCEIVED_HEARING = [
    (16, 29.5), (31.5, 29.5), (63, 29.5), (100, 29.5), (125, 28.0),
    (160, 26.5), (200, 25.0), (250, 23.5), (315, 22.0), (400, 20.5),
    (500, 19.5), (630, 19.0), (800, 18.5), (1000, 18.0), (1250, 18.5),
    (1600, 17.5), (2000, 16.0), (2500, 14.0), (3150, 13.0), (4000, 13.5),
    (5000, 16.0), (6300, 20.0), (8000, 25.0), (10000, 29.5), (16000, 29.5),
]


def caption(name):
    """A name as the lists and buttons show it."""
    return name.replace("Bb", "B\u266d").replace("Eb", "E\u266d").upper()


def frequency(name_index, octave):
    midi = (octave + 1) * 12 + name_index
    return 440.0 * 2.0 ** ((midi - 69) / 12.0)


def number(value):
    return ("%g" % value) if value == int(value) else ("%.1f" % value)


def main():
    notes = []
    for octave in range(LOWEST_OCTAVE, HIGHEST_OCTAVE + 1):
        for index, name in enumerate(NAMES):
            notes.append(("%s%d" % (name, octave), frequency(index, octave)))
    known = {name for name, _ in notes}

    lines = ['<?xml version="1.0" ?>',
             "<!-- Written by scripts/make-tuner-config.py: edit the script, not this file. -->",
             "<Config>",
             "  <InstrumentStore>"]
    for instrument, styles in INSTRUMENTS:
        lines.append('    <Instrument Name="%s">' % caption(instrument))
        for style, tuning in styles:
            lines.append('      <Style Name="%s">' % caption(style))
            for note in tuning.split():
                if note not in known:
                    raise SystemExit("%s %s: %s is not in the note table" % (instrument, style, note))
                lines.append('        <Note Name="%s" />' % note)
            lines.append("      </Style>")
        lines.append("    </Instrument>")
    lines.append("  </InstrumentStore>")
    lines.append("  <NoteStore>")
    for name, hz in notes:
        lines.append('    <Note Name="%s" Frequency="%.4f" />' % (name, hz))
    lines.append("  </NoteStore>")
    lines.append("  <TransposeStore>")
    for name, shift in TRANSPOSITIONS:
        lines.append('    <Transpose Name="%s" Shift="%d" />' % (caption(name), shift))
    lines.append("  </TransposeStore>")
    lines.append("  <InputStore>")
    for name, component in INPUTS:
        lines.append('    <Data Name="%s" Value="%d" />' % (name, component))
    lines.append("  </InputStore>")
    lines.append("  <PerceivedHearing>")
    for hz, db in PERCEIVED_HEARING:
        lines.append('    <Data Name="%s" Value="%s" />' % (number(hz), number(db)))
    lines.append("  </PerceivedHearing>")
    lines.append("</Config>")
    with open(OUT, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
