"""Helper of make_corpus.sh.

  corpus.py midi OUTDIR     writes one MIDI file per note and notes.txt
  corpus.py finish OUTDIR   adds the synthetic controls and the noisy copies,
                            measures each clean file's pitch, writes manifest.csv
"""
import struct
import sys
import wave
from pathlib import Path

RATE = 44100
SECONDS = 2.0
# The part of each file whose pitch counts: the benchmark's steady part.
STEADY = (0.3, 1.7)
SNRS = (20, 10)

# (name, General MIDI program, lowest note, highest note), notes as MIDI numbers.
INSTRUMENTS = [
    ("piano", 0, 28, 96),
    ("nylon-guitar", 24, 40, 84),
    ("steel-guitar", 25, 40, 84),
    ("electric-guitar", 27, 40, 86),
    ("acoustic-bass", 32, 28, 60),
    ("finger-bass", 33, 28, 60),
    ("violin", 40, 55, 96),
    ("cello", 42, 36, 76),
    ("strings", 48, 36, 96),
    ("trumpet", 56, 55, 82),
    ("trombone", 57, 40, 72),
    ("tuba", 58, 29, 58),
    ("french-horn", 60, 41, 77),
    ("alto-sax", 65, 49, 80),
    ("oboe", 68, 58, 91),
    ("bassoon", 70, 34, 72),
    ("clarinet", 71, 50, 91),
    ("flute", 73, 60, 96),
]
RENDERERS = ("gm", "fp")  # fluidsynth with TimGM6mb, TiMidity with FreePats
STEP = 5  # semitones between the rendered notes of one instrument


def midi_hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def midi_file(program, note):
    ticks = 480  # per quarter note at 120 bpm: 960 ticks a second
    held = int(SECONDS * 960)

    def var(n):
        out = [n & 0x7F]
        n >>= 7
        while n:
            out.insert(0, 0x80 | (n & 0x7F))
            n >>= 7
        return bytes(out)

    events = (var(0) + bytes([0xC0, program]) + var(0) + bytes([0x90, note, 100]) + var(held)
              + bytes([0x80, note, 0]) + var(480) + bytes([0xFF, 0x2F, 0x00]))
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, ticks) + b"MTrk" + struct.pack(">I", len(events))
            + events)


def write_midi(out):
    names = []
    for renderer in RENDERERS:
        for name, program, low, high in INSTRUMENTS:
            for note in range(low, high + 1, STEP):
                file = f"{renderer}-{name}-{note}"
                (out / f"{file}.mid").write_bytes(midi_file(program, note))
                names.append(file)
    (out / "notes.txt").write_text("\n".join(names) + "\n")


def read_wav(path):
    import numpy as np
    with wave.open(str(path)) as w:
        frames = w.readframes(w.getnframes())
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
    if width != 2 or rate != RATE:
        raise ValueError(f"{path}: {width * 8}-bit at {rate} Hz, expected 16-bit at {RATE} Hz")
    x = np.frombuffer(frames, dtype="<i2").astype(np.float64).reshape(-1, channels).mean(axis=1)
    return x / 32768.0


def write_wav(path, x):
    import numpy as np
    peak = np.max(np.abs(x))
    if peak > 0.99:
        x = x * (0.99 / peak)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes((np.round(x * 32767.0)).astype("<i2").tobytes())


def measured_pitch(x, nominal):
    """Pitch of the steady part: a long zero-padded FFT, each of the lowest
    partials near its nominal place interpolated on the log spectrum, and the
    partials' estimates of the fundamental weighted by their strength."""
    import numpy as np
    part = x[int(STEADY[0] * RATE):int(STEADY[1] * RATE)]
    size = 1 << 20
    spectrum = np.abs(np.fft.rfft(part * np.hanning(len(part)), size))
    hz_per_bin = RATE / size
    estimates, weights = [], []
    top = 0.0
    for h in range(1, 9):
        centre = h * nominal
        if centre > 5000.0:
            break
        lo = int(centre * 0.97 / hz_per_bin)
        hi = int(centre * 1.03 / hz_per_bin) + 1
        k = lo + int(np.argmax(spectrum[lo:hi]))
        a, b, c = np.log(spectrum[k - 1:k + 2] + 1e-30)
        offset = 0.5 * (a - c) / (a - 2.0 * b + c) if a - 2.0 * b + c < 0 else 0.0
        estimates.append((k + offset) * hz_per_bin / h)
        weights.append(spectrum[k])
        top = max(top, spectrum[k])
    # Only partials within 30 dB of the strongest, and only the lowest four of
    # those: the upper partials of strings and piano lie sharp of their place.
    chosen = [(e, w) for e, w in zip(estimates, weights) if w > top * 10 ** (-30 / 20)][:4]
    return sum(e * w for e, w in chosen) / sum(w for _, w in chosen)


def synthetic(kind, f):
    import numpy as np
    t = np.arange(int(SECONDS * RATE)) / RATE
    if kind == "saw-naive":
        return 0.5 * (2.0 * ((f * t) % 1.0) - 1.0)
    if kind == "square-naive":
        return 0.5 * np.where((f * t) % 1.0 < 0.5, 1.0, -1.0)
    x = np.zeros_like(t)
    for h in range(1, int(RATE / 2 / f) + 1):
        if kind == "saw-bl":
            x += np.sin(2 * np.pi * f * h * t) / h
        elif h % 2 == 1:
            x += np.sin(2 * np.pi * f * h * t) / h
    return 0.5 * x / np.max(np.abs(x))


def finish(out):
    import numpy as np
    rows = []
    skipped = []
    for name in (out / "notes.txt").read_text().split():
        path = out / f"{name}.wav"
        note = int(name.rsplit("-", 1)[1])
        try:
            x = read_wav(path)
        except (OSError, ValueError, EOFError) as e:
            skipped.append(f"{name}: {e}")
            continue
        steady = x[int(STEADY[0] * RATE):int(STEADY[1] * RATE)]
        if len(steady) < RATE or np.sqrt(np.mean(steady ** 2)) < 1e-3:
            skipped.append(f"{name}: no sustained sound (the bank lacks the instrument or the note)")
            path.unlink(missing_ok=True)
            continue
        write_wav(path, x[:int(SECONDS * RATE)])
        rows.append((name, midi_hz(note)))
    for kind in ("saw-bl", "square-bl", "saw-naive", "square-naive"):
        for note in range(28, 97, 4):
            name = f"syn-{kind}-{note}"
            write_wav(out / f"{name}.wav", synthetic(kind, midi_hz(note)))
            rows.append((name, midi_hz(note)))

    rng = np.random.default_rng(1)
    manifest = ["file,expected_hz,group"]
    for name, nominal in rows:
        x = read_wav(out / f"{name}.wav")
        f = measured_pitch(x, nominal)
        if abs(1200.0 * np.log2(f / nominal)) > 50.0:
            skipped.append(f"{name}: measured {f:.2f} Hz, more than 50 cents from the note played")
            continue
        manifest.append(f"{name}.wav,{f:.4f},clean")
        steady = x[int(STEADY[0] * RATE):int(STEADY[1] * RATE)]
        power = np.mean(steady ** 2)
        for snr in SNRS:
            noisy = x + rng.normal(0.0, np.sqrt(power / 10 ** (snr / 10)), len(x))
            write_wav(out / f"{name}-snr{snr}.wav", noisy)
            manifest.append(f"{name}-snr{snr}.wav,{f:.4f},{snr} dB")
    (out / "manifest.csv").write_text("\n".join(manifest) + "\n")
    for line in skipped:
        print(f"make_corpus: skipped {line}", file=sys.stderr)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("midi", "finish"):
        sys.exit(__doc__)
    directory = Path(sys.argv[2])
    write_midi(directory) if sys.argv[1] == "midi" else finish(directory)
