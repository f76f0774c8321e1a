#!/usr/bin/env bash
# The test rig: an X display (Xvfb) and a PulseAudio server whose default sink is
# a null sink and whose default source is that sink's monitor, reached by ALSA
# programs through the "pulse" plugin. What one stream plays, a capture stream hears.
#
#   scripts/rig.sh start DIR   starts what is not running yet; prints the
#                              environment (export lines) to use it
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

start_x() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    echo "export DISPLAY=$DISPLAY"
    return
  fi
  # Another rig may take the same free number at the same moment: if our
  # server dies, try the next number.
  # -noreset: by default the server resets whenever its last client leaves,
  # and a program connecting during that reset is refused; tests that take
  # turns on the display leave it without clients between them.
  local n pid
  for n in $(seq 90 199); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
    Xvfb ":$n" -screen 0 "${RIG_SCREEN:-1280x1024x24}" -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
    pid=$!
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && { echo "$pid" >"$dir/xvfb.pid"; echo "export DISPLAY=:$n"; return; }
      sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
  done
  echo "rig: Xvfb did not start (see $dir/xvfb.log)" >&2
  exit 1
}

start_pulse() {
  if [ -n "${PULSE_SERVER:-}" ] && pactl info >/dev/null 2>&1; then
    echo "export PULSE_SERVER=$PULSE_SERVER"
    return
  fi
  local runtime="$dir/pulse-runtime" socket
  mkdir -p "$runtime" && chmod 700 "$runtime"
  socket="$runtime/native"
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
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
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
