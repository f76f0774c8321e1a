# Pellora in the test rig, driven from a script: sourced by scripts/run.sh and
# the benchmarks in bench/. Starts the rig and the program, plays tones into
# the rig's sink, clicks the skin's buttons with real pointer events, reads the
# minimised window's title and takes screenshots. Every function that waits
# gives up after a bound and says what it waited for.

headless_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Starts the rig in the folder $1 and exports its environment.
headless_start() {
  headless_dir=$1
  mkdir -p "$headless_dir"
  eval "$(bash "$headless_top/scripts/rig.sh" start "$headless_dir")"
  export SDL_VIDEODRIVER=x11
}

# Stops what headless_start and headless_launch started.
headless_stop() {
  headless_silence
  if [ -n "${PELLORA_PID:-}" ] && kill -0 "$PELLORA_PID" 2>/dev/null; then
    kill "$PELLORA_PID" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$PELLORA_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$PELLORA_PID" 2>/dev/null || true
  fi
  PELLORA_PID=
  [ -n "${headless_dir:-}" ] && bash "$headless_top/scripts/rig.sh" stop "$headless_dir"
}

# Starts the program $1 with its log in $2 and waits for its main window
# (PELLORA_PID, PELLORA_WINDOW).
headless_launch() {
  local program=$1 log=$2
  (cd "$headless_top" && VINTREL_LIB=${VINTREL_LIB:-$headless_top} PELLORA_LOG=1 exec "$program") >"$log" 2>&1 &
  PELLORA_PID=$!
  PELLORA_WINDOW=
  for _ in $(seq 1 200); do
    kill -0 "$PELLORA_PID" 2>/dev/null || { echo "pellora ended early; its log:" >&2; cat "$log" >&2; return 1; }
    PELLORA_WINDOW=$(xdotool search --onlyvisible --pid "$PELLORA_PID" --name '^Pellora$' 2>/dev/null | head -n 1) || true
    [ -n "$PELLORA_WINDOW" ] && break
    sleep 0.1
  done
  [ -n "$PELLORA_WINDOW" ] || { echo "pellora showed no window within 20 s" >&2; return 1; }
  # The first frames are drawn after the window maps.
  sleep 1
}

# Writes a plucked string sounding NOTE (sox's name, as "A2") to FILE: a few
# seconds, struck again when it loops.
headless_tone() {
  sox -q -n -r 44100 -b 16 -c 1 "$2" synth 2 pluck "$1" gain -4
}

# Plays FILE into the sink over and over until headless_silence, with the
# player's buffer MS milliseconds long (20 unless given). The null sink renders
# in blocks of about a quarter of the shortest latency asked of it, so a short
# player buffer makes it render, and its monitor send a capture a packet, more
# often than the capture asked; a long one leaves that pace to the capture, as
# a sound card's input does.
headless_play() {
  headless_silence
  sox -q "$1" -t raw -r 44100 -e signed -b 16 -c 1 - repeat 100000 2>/dev/null |
    pacat --raw --rate=44100 --channels=1 --format=s16le --latency-msec="${2:-20}" &
  headless_tone_pid=$!
}

headless_silence() {
  if [ -n "${headless_tone_pid:-}" ]; then
    kill "$headless_tone_pid" 2>/dev/null || true
    wait "$headless_tone_pid" 2>/dev/null || true
  fi
  headless_tone_pid=
}

# Clicks the centre of the object NAME of the skin document SKIN (relative to
# the repository) with the left button.
headless_click() {
  local point geometry size
  geometry=$(xdotool getwindowgeometry "$PELLORA_WINDOW")
  size=$(echo "$geometry" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p')
  # shellcheck disable=SC2086
  point=$(/usr/bin/python3 "$headless_top/scripts/skin-point.py" "$headless_top/$1" "$2" $size) || return 1
  # shellcheck disable=SC2086
  set -- $point
  xdotool mousemove --window "$PELLORA_WINDOW" "$1" "$2" sleep 0.05 mousedown 1 sleep 0.05 mouseup 1
  # Moved away so no tool tip covers the next screenshot.
  xdotool mousemove --window "$PELLORA_WINDOW" 400 250
}

# No window manager runs in the rig to carry out a minimise: the mark a window
# manager puts on a minimised window is set and taken off by hand.
headless_minimise() {
  xprop -id "$PELLORA_WINDOW" -f _NET_WM_STATE 32a -set _NET_WM_STATE _NET_WM_STATE_HIDDEN
}

headless_restore() {
  xprop -id "$PELLORA_WINDOW" -remove _NET_WM_STATE
}

headless_title() {
  xdotool getwindowname "$PELLORA_WINDOW" 2>/dev/null
}

# Waits up to $2 seconds for a title matching the extended regular expression
# $1 and prints it.
headless_wait_title() {
  local title deadline=$((SECONDS + $2))
  while [ "$SECONDS" -le "$deadline" ]; do
    title=$(headless_title)
    if echo "$title" | grep -Eq "$1"; then
      echo "$title"
      return 0
    fi
    sleep 0.02
  done
  return 1
}

# Saves what the screen shows where the main window is, popups over it included.
headless_shot() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$PELLORA_WINDOW" | sed -n 's/^\([XY]\|WIDTH\|HEIGHT\)=/&/p')"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

# CPU time the program has used, in clock ticks.
headless_ticks() {
  awk '{ print $14 + $15 }' "/proc/$PELLORA_PID/stat"
}

# Resident memory in kB.
headless_rss() {
  awk '/^VmRSS:/ { print $2 }' "/proc/$PELLORA_PID/status"
}
