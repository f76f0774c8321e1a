#!/usr/bin/python3
"""Writes the metronome's click sounds: mono 44.1 kHz 16-bit WAV files of
30 to 80 ms, a normal and a brighter accent click per set. Every set is made
equally loud (its normal click at NORMAL_DB, its accent ACCENT_GAIN_DB above,
measured as the RMS over a LOUDNESS_MS window, about the span the ear sums a
click over), every click rises from silence and fades to silence, and no peak
passes PEAK_LIMIT_DB. It prints the peak and RMS of each file, and refuses to
write a set that breaks a limit. Deterministic: the noise comes from a
fixed-seed generator, so a second run writes the same bytes.

    /usr/bin/python3 scripts/make-clicks.py   (from the repository's root)
"""
import math
import os
import random
import struct
import wave

RATE = 44100
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "XML", "Main", "Sounds")


NORMAL_DB = -20.0
ACCENT_GAIN_DB = 6.0
LOUDNESS_MS = 50
PEAK_LIMIT_DB = -1.0


def db(x):
    return 20 * math.log10(max(x, 1e-12))


def loudness(samples):
    """RMS over the LOUDNESS_MS window from the click's start."""
    n = int(RATE * LOUDNESS_MS / 1000)
    window = samples[:n]
    return math.sqrt(sum(s * s for s in window) / n)


def scaled(samples, target_db):
    gain = 10 ** (target_db / 20) / loudness(samples)
    return [s * gain for s in samples]


def write(name, samples):
    frames = b"".join(struct.pack("<h", int(round(s * 32767))) for s in samples)
    with wave.open(os.path.join(OUT, name), "wb") as f:
        f.setnchannels(1)
        f.setsampwidth(2)
        f.setframerate(RATE)
        f.writeframes(frames)
    peak = max(abs(s) for s in samples)
    rms = math.sqrt(sum(s * s for s in samples) / len(samples))
    print("%-16s %5.1f ms  peak %6.1f dBFS  RMS %6.1f dBFS  loudness (%d ms RMS) %6.1f dBFS" %
          (name, 1000 * len(samples) / RATE, db(peak), db(rms), LOUDNESS_MS, db(loudness(samples))))


def write_set(name, normal, accent):
    normal = scaled(normal, NORMAL_DB)
    accent = scaled(accent, NORMAL_DB + ACCENT_GAIN_DB)
    for click in (normal, accent):
        if db(max(abs(s) for s in click)) > PEAK_LIMIT_DB:
            raise SystemExit("make-clicks: the %s set would peak above %.1f dBFS" % (name, PEAK_LIMIT_DB))
    write(name + "Normal.wav", normal)
    write(name + "Accent.wav", accent)


def envelope(i, n, attack, decay):
    t = i / RATE
    rise = min(1.0, t / attack) if attack > 0 else 1.0
    fade = min(1.0, (n - 1 - i) / (0.003 * RATE))  # a 3 ms tail to silence
    return rise * math.exp(-t / decay) * fade


def woodblock(ms, centre, seed):
    """A noise burst through a two-pole resonator: hollow and woody."""
    rng = random.Random(seed)
    n = int(RATE * ms / 1000)
    r = 0.999
    w = 2 * math.pi * centre / RATE
    a1, a2 = 2 * r * math.cos(w), -r * r
    y1 = y2 = 0.0
    out = []
    for i in range(n):
        x = (rng.uniform(-1, 1) if i < RATE * 0.002 else 0.0)
        y = x + a1 * y1 + a2 * y2
        y2, y1 = y1, y
        out.append(y * envelope(i, n, 0.0005, 0.030))
    return out


def clave(ms, frequency):
    """A damped sine with a short second partial: a bright knock."""
    n = int(RATE * ms / 1000)
    return [(math.sin(2 * math.pi * frequency * i / RATE) + 0.3 * math.sin(2 * math.pi * 2.76 * frequency * i / RATE))
            * envelope(i, n, 0.0002, 0.015) for i in range(n)]


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
    write_set("Wood", woodblock(80, 1100.0, 1), woodblock(80, 1700.0, 3))
    write_set("Clave", clave(70, 2000.0), clave(70, 2700.0))
    write_set("Beep", beep(50, 880.0), beep(50, 1760.0))


if __name__ == "__main__":
    main()
