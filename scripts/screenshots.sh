#!/usr/bin/env bash
# Takes the screenshots of docs/: both screens at 640x400, 800x500 and
# 1600x1000, the tuner hearing a plucked A2, the metronome playing. Runs
# Pellora in a rig of its own (Xvfb large enough for the biggest size and a
# private PulseAudio server), as scripts/run.sh does.
#
#   scripts/screenshots.sh [PROGRAM] [FOLDER]   (defaults: build/app/pellora, docs)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
program=$(realpath "${1:-build/app/pellora}")
out=$(realpath "${2:-docs}")
mkdir -p "$out"

unset DISPLAY PULSE_SERVER
export RIG_SCREEN=1680x1050x24
rig=$(mktemp -d /tmp/pellora-shots.XXXXXX)
# shellcheck source=scripts/headless.sh
source "$top/scripts/headless.sh"
trap 'headless_stop; rm -rf "$rig"' EXIT
# Settings of the run stay in the rig, so a user's choices do not show.
export XDG_CONFIG_HOME="$rig/config"
headless_start "$rig"
headless_launch "$program" "$rig/pellora.log"

# Resizes the window to $1 x $2 and waits for the frame drawn at that size.
resize() {
  xdotool windowsize "$PELLORA_WINDOW" "$1" "$2"
  xdotool windowmove "$PELLORA_WINDOW" 0 0
  # Off the window, so that no tool tip covers the picture.
  xdotool mousemove 1670 1040
  sleep 1.5
}

sizes="640x400 800x500 1600x1000"
headless_tone A2 "$rig/A2.wav"
headless_play "$rig/A2.wav"
sleep 2
for size in $sizes; do
  resize "${size%x*}" "${size#*x}"
  headless_shot "$out/tuner-$size.png"
done
headless_silence
resize 800 500
headless_click XML/Main/Tuner.xml Switch
sleep 0.5
headless_click XML/Main/Metronome.xml Play
for size in $sizes; do
  resize "${size%x*}" "${size#*x}"
  headless_shot "$out/metronome-$size.png"
done
echo "screenshots: $out/{tuner,metronome}-{${sizes// /,}}.png"
