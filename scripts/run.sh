#!/usr/bin/env bash
# Installs what is missing, builds Pellora and runs it. Without a display it
# shows that the program works instead: see --help.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

usage() {
  cat <<'TEXT'
usage: scripts/run.sh [--headless] [--out DIR]

Builds Pellora and opens it on the desktop ($DISPLAY). Without a display that
answers (a server, a container, CI), or with --headless, it runs Pellora in the
test rig (Xvfb and a private PulseAudio server) instead: plays a plucked A2 and
then an A4 into the rig's sound, prints what the tuner measured, takes a
screenshot of the tuner naming each note and one of the metronome playing,
prints their paths and exits 0 when the tuner named both notes.

  --headless   run in the test rig even when a display answers
  --out DIR    where the screenshots go (default: build/screenshots)
  -h, --help   this text

The build folder is $PELLORA_BUILD, else build/; $PELLORA_JOBS bounds the
build's parallel jobs (default: one per core).
TEXT
}

headless=0
out=
while [ $# -gt 0 ]; do
  case "$1" in
    --headless) headless=1 ;;
    --out) out=${2:?--out needs a folder}; shift ;;
    -h | --help) usage; exit 0 ;;
    *) usage >&2; exit 2 ;;
  esac
  shift
done

bash scripts/install-deps.sh

build=${PELLORA_BUILD:-$top/build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORA_TESTS=OFF >/dev/null
cmake --build "$build" -j "${PELLORA_JOBS:-$(nproc)}" --target pellora

# The program finds its skin as "XML/..." and the framework's definitions as
# "../lib/VABO/XML" from its working folder, or through VINTREL_LIB.
export VINTREL_LIB=${VINTREL_LIB:-$top}

if [ "$headless" = 0 ] && [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$build/app/pellora"
fi

out=${out:-$build/screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
unset DISPLAY PULSE_SERVER
rig=$(mktemp -d /tmp/pellora-run.XXXXXX)
# shellcheck source=scripts/headless.sh
source "$top/scripts/headless.sh"
finish() {
  local status=$?
  headless_stop
  if [ "$status" -eq 0 ]; then rm -rf "$rig"; else echo "run: the rig's logs and Pellora's log are in $rig" >&2; fi
}
trap finish EXIT

echo "run: no display; running Pellora in the test rig (Xvfb and a private PulseAudio server)"
headless_start "$rig"
headless_launch "$build/app/pellora" "$rig/pellora.log"

# The minimised window's title reads "<measured> Hz (<reference> Hz, <note>)".
named=0
for tone in A2:110 A4:440; do
  note=${tone%%:*} hertz=${tone##*:}
  headless_tone "$note" "$rig/$note.wav"
  headless_play "$rig/$note.wav"
  headless_minimise
  measured=
  deadline=$((SECONDS + 15))
  while [ "$SECONDS" -le "$deadline" ]; do
    measured=$(headless_title | awk -v want="$hertz" -F'[ (,)]+' \
      '/ Hz \(.* Hz, .*\)$/ && $1 > want * 0.97 && $1 < want * 1.03 { print $1 " Hz, note " $(NF - 1) }')
    [ -n "$measured" ] && break
    sleep 0.05
  done
  headless_restore
  sleep 1
  headless_shot "$out/tuner-$note.png"
  if [ -n "$measured" ]; then
    echo "run: played $note ($hertz Hz): the tuner measured $measured"
    named=$((named + 1))
  else
    echo "run: played $note ($hertz Hz): the tuner named no such note within 15 s (title: \"$(headless_title)\")"
  fi
done
headless_silence

headless_click XML/Main/Tuner.xml Switch
sleep 0.5
playing=0
headless_click XML/Main/Metronome.xml Play && playing=1
sleep 1.5
headless_shot "$out/metronome.png"
if [ "$playing" = 1 ]; then
  headless_click XML/Main/Metronome.xml Play
else
  echo "run: the metronome screen has no PLAY button to press"
fi

echo "run: screenshots:"
for f in "$out/tuner-A2.png" "$out/tuner-A4.png" "$out/metronome.png"; do echo "  $f"; done
[ "$named" = 2 ]
