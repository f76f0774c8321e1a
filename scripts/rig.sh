#!/usr/bin/env bash
# The test rig: an X display (Xvfb) and a PulseAudio server whose default sink is
# a null sink and whose default source is that sink's monitor, reached by ALSA
# programs through the "pulse" plugin. What one stream plays, a capture stream hears.
#
#   scripts/rig.sh start DIR   starts what is not running yet; prints the
#                              environment (export lines) to use it. Run again
#                              for the same DIR it prints the environment of
#                              the servers DIR already has
#   scripts/rig.sh stop DIR    stops what start started; keeps the logs in DIR
#   scripts/rig.sh pulse DIR   starts the sound server again when it is not
#                              running (tests that stop it bring it back)
#
# RIG_SCREEN sets the X screen's size (default 1280x1024x24).
set -euo pipefail

cmd=${1:?usage: rig.sh start|stop|pulse DIR}
dir=${2:?usage: rig.sh start|stop DIR}
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)

# True while the process runs: one that ended stays a zombie until it is
# reaped, which here may take a while.
alive() {
  local state
  state=$(sed -e 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# The pid in DIR/NAME.pid when that process is still running and is the
# program COMMAND (a pid file left by a rig that is gone may name another
# program by now).
running_pid() {
  local f="$dir/$1.pid" pid
  [ -f "$f" ] || return 1
  pid=$(cat "$f")
  alive "$pid" && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = "$2" ] || return 1
  echo "$pid"
}

start_x() {
  # A server this folder started before is used again: a second one would
  # take the pid file and leave the first running with nobody to stop it.
  local n pid
  if pid=$(running_pid xvfb Xvfb); then
    n=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$dir/xvfb.display" 2>/dev/null)
    if [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      echo "export DISPLAY=:$n"
      return
    fi
    echo "rig: the X server started in $dir (pid $pid) does not answer; stop it first (rig.sh stop $dir)" >&2
    exit 1
  fi
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "export DISPLAY=$DISPLAY"
    return
  fi
  # The server picks a free display number itself and tells it once it
  # accepts clients (-displayfd): rigs started together never share one.
  # -noreset: by default the server resets whenever its last client leaves,
  # and a program connecting during that reset is refused; tests that take
  # turns on the display leave it without clients between them.
  # -r: no key repeats of its own. A key that xdotool presses and releases
  # stays down for as long as a busy machine holds xdotool between the two,
  # and past the repeat delay (0.66 s) the server added presses of its own.
  : >"$dir/xvfb.display"
  Xvfb -displayfd 3 -screen 0 "${RIG_SCREEN:-1280x1024x24}" -nolisten tcp -noreset -r \
    3>"$dir/xvfb.display" >"$dir/xvfb.log" 2>&1 &
  pid=$!
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    n=$(sed -n 's/^\([0-9][0-9]*\)$/\1/p' "$dir/xvfb.display")
    if [ -n "$n" ] && DISPLAY=":$n" xdpyinfo >/dev/null 2>&1; then
      echo "$pid" >"$dir/xvfb.pid"
      echo "export DISPLAY=:$n"
      return
    fi
    sleep 0.1
  done
  kill "$pid" 2>/dev/null || true
  echo "rig: Xvfb did not start (see $dir/xvfb.log)" >&2
  exit 1
}

start_pulse() {
  local runtime="$dir/pulse-runtime" socket pid
  socket="$runtime/native"
  # As with the X server, this folder's own server is used again. One that
  # was just told to stop may still be on its way out: it is waited for.
  if pid=$(running_pid pulse pulseaudio); then
    for _ in $(seq 1 50); do
      if PULSE_SERVER="unix:$socket" pactl info >/dev/null 2>&1; then
        echo "export PULSE_SERVER=unix:$socket"
        return
      fi
      alive "$pid" || break
      sleep 0.1
    done
    if alive "$pid"; then
      echo "rig: the sound server started in $dir (pid $pid) does not answer; stop it first (rig.sh stop $dir)" >&2
      exit 1
    fi
  fi
  if [ -n "${PULSE_SERVER:-}" ] && pactl info >/dev/null 2>&1; then
    echo "export PULSE_SERVER=$PULSE_SERVER"
    return
  fi
  mkdir -p "$runtime" && chmod 700 "$runtime"
  # Running as root is fine for a throw-away server: it has its own runtime
  # folder, no autospawn, and no modules but the ones named here.
  XDG_RUNTIME_DIR="$runtime" HOME="$dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --disallow-exit --log-target=stderr --log-level=notice \
    --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
    --load="module-null-sink sink_name=pellora_null rate=44100 sink_properties=device.description=PelloraNull" \
    --load="module-always-sink" \
    >"$dir/pulse.log" 2>&1 &
  echo $! >"$dir/pulse.pid"
  export PULSE_SERVER="unix:$socket"
  for _ in $(seq 1 100); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
  done
  pactl info >/dev/null 2>&1 || { echo "rig: PulseAudio did not start (see $dir/pulse.log)" >&2; exit 1; }
  pactl set-default-sink pellora_null
  pactl set-default-source pellora_null.monitor
  echo "export PULSE_SERVER=$PULSE_SERVER"
}

stop_pid() {
  local f="$dir/$1.pid"
  [ -f "$f" ] || return 0
  local pid; pid=$(cat "$f")
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 1 50); do alive "$pid" || break; sleep 0.1; done
  alive "$pid" && kill -9 "$pid" 2>/dev/null || true
  rm -f "$f"
}

case "$cmd" in
  start)
    start_x
    start_pulse
    # Settings and caches of the program under test stay inside the rig.
    echo "export XDG_CONFIG_HOME=$dir/config XDG_CACHE_HOME=$dir/cache"
    ;;
  pulse)
    start_pulse >/dev/null
    ;;
  stop)
    stop_pid pulse
    stop_pid xvfb
    ;;
  *)
    echo "usage: rig.sh start|stop|pulse DIR" >&2; exit 2 ;;
esac
