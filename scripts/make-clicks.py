#!/usr/bin/python3
"""Writes the metronome's click sounds: mono 44.1 kHz 16-bit WAV files of
20 to 60 ms, a normal and a brighter accent click per set. Deterministic: the
noise comes from a fixed-seed generator, so a second run writes the same bytes.

    /usr/bin/python3 scripts/make-clicks.py   (from the repository's root)
"""
import math
import os
import random
import struct
import wave

RATE = 44100
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "XML", "Main", "Sounds")


def write(name, samples):
    peak = max(abs(s) for s in samples)
    scale = 0.8 / peak
    frames = b"".join(struct.pack("<h", int(round(s * scale * 32767))) for s in samples)
    with wave.open(os.path.join(OUT, name), "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(frames)


def envelope(i, n, attack, decay):
    t = i / RATE
    rise = min(1.0, t / attack) if attack > 0 else 1.0
    fade = min(1.0, (n - 1 - i) / (0.003 * RATE))  # a 3 ms tail to silence
    return rise * math.exp(-t / decay) * fade


def woodblock(ms, centre, seed):
    """A noise burst through a two-pole resonator: hollow and woody."""
    rng = random.Random(seed)
    n = int(RATE * ms / 1000)
    r = 0.995
    w = 2 * math.pi * centre / RATE
    a1, a2 = 2 * r * math.cos(w), -r * r
    y1 = y2 = 0.0
    out = []
    for i in range(n):
        x = (rng.uniform(-1, 1) if i < RATE * 0.002 else 0.0)
        y = x + a1 * y1 + a2 * y2
        y2, y1 = y1, y
        out.append(y * envelope(i, n, 0.0003, 0.012))
    return out


def clave(ms, frequency):
    """A damped sine with a short second partial: a bright knock."""
    n = int(RATE * ms / 1000)
    return [(math.sin(2 * math.pi * frequency * i / RATE) + 0.3 * math.sin(2 * math.pi * 2.76 * frequency * i / RATE))
            * envelope(i, n, 0.0002, 0.010) for i in range(n)]


def beep(ms, frequency):
    """A square-ish electronic beep, softened by a few odd harmonics."""
    n = int(RATE * ms / 1000)
    out = []
    for i in range(n):
        phase = 2 * math.pi * frequency * i / RATE
        s = math.sin(phase) + math.sin(3 * phase) / 3 + math.sin(5 * phase) / 5
        out.append(s * envelope(i, n, 0.001, 0.05))
    return out


def main():
    os.makedirs(OUT, exist_ok=True)
    write("WoodNormal.wav", woodblock(40, 1100.0, 1))
    write("WoodAccent.wav", woodblock(40, 1700.0, 2))
    write("ClaveNormal.wav", clave(30, 2000.0))
    write("ClaveAccent.wav", clave(30, 2700.0))
    write("BeepNormal.wav", beep(50, 880.0))
    write("BeepAccent.wav", beep(50, 1760.0))


if __name__ == "__main__":
    main()
