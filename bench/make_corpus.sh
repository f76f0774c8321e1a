#!/bin/bash
# Renders the pitch development corpus: single sustained notes of sampled
# instruments (fluidsynth with the TimGM6mb bank, TiMidity with FreePats),
# band-limited and naive sawtooth and square controls, noisy copies at 20 and
# 10 dB SNR, and manifest.csv for `pitch_accuracy --manifest`.
#
#   bash bench/make_corpus.sh [OUTDIR]     (default /tmp/pellora-corpus)
#
# The audio is not kept in the repository; rendering takes about a minute.
set -euo pipefail

out=${1:-/tmp/pellora-corpus}
here=$(cd "$(dirname "$0")" && pwd)
soundfont=/usr/share/sounds/sf2/TimGM6mb.sf2
freepats=/etc/timidity/freepats.cfg
python=/usr/bin/python3

missing=()
command -v fluidsynth > /dev/null || missing+=(fluidsynth)
command -v timidity > /dev/null || missing+=(timidity)
[ -f "$soundfont" ] || missing+=(timgm6mb-soundfont)
[ -f "$freepats" ] || missing+=(freepats)
"$python" -c 'import numpy' 2> /dev/null || missing+=(python3-numpy)
if [ ${#missing[@]} -gt 0 ]; then
    if [ "$(id -u)" = 0 ] && command -v apt-get > /dev/null; then
        echo "make_corpus: installing ${missing[*]}"
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" > /dev/null
    else
        echo "make_corpus: missing Debian packages: ${missing[*]} (apt-get install ${missing[*]})" >&2
        exit 1
    fi
fi

mkdir -p "$out"
"$python" "$here/corpus.py" midi "$out"
while read -r name; do
    case "$name" in
    gm-*) fluidsynth -ni -q -g 0.6 -r 44100 -F "$out/$name.wav" "$soundfont" "$out/$name.mid" > /dev/null 2>&1 ;;
    fp-*) timidity -c "$freepats" -Ow -s 44100 -A 80 --output-mono -o "$out/$name.wav" "$out/$name.mid" > /dev/null 2>&1 ;;
    esac
    [ -s "$out/$name.wav" ] || echo "make_corpus: $name.mid rendered nothing" >&2
    rm -f "$out/$name.mid"
done < "$out/notes.txt"
"$python" "$here/corpus.py" finish "$out"
echo "make_corpus: $(($(wc -l < "$out/manifest.csv") - 1)) files, manifest $out/manifest.csv"
