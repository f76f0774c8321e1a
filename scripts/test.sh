#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, starts the test rig, runs every test, stops the
# rig (also on failure) and exits with ctest's status.
# With --tsan it builds with ThreadSanitizer instead and runs the suites whose
# code runs beside the audio thread or a thread of its own: the platform layer
# (the sound streams and the thread their calls wait on), the audio engine, the
# application and the windows.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

tsan=0
if [ "${1:-}" = "--tsan" ]; then
  tsan=1
  shift
fi

bash scripts/install-deps.sh

# PELLORA_JOBS bounds the build's and ctest's parallelism (default: every core),
# for machines that run more than one build at a time.
jobs=${PELLORA_JOBS:-$(nproc)}

if [ "$tsan" = 1 ]; then
  build=${PELLORA_TSAN_BUILD:-$top/build-tsan}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORA_TSAN=ON -DPELLORA_BENCH=OFF >/dev/null
  cmake --build "$build" -j "$jobs" --target test_platform test_audio test_app test_framework_host
else
  build=${PELLORA_TEST_BUILD:-$top/build-test}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORA_SANITIZE=ON >/dev/null
  cmake --build "$build" -j "$jobs"
fi

rig=$(mktemp -d /tmp/pellora-rig.XXXXXX)
stop_rig() {
  local status=$?
  for suite in "$rig"/test_*; do
    [ -d "$suite" ] && { bash "$top/scripts/rig.sh" stop "$suite" || true; }
  done
  bash "$top/scripts/rig.sh" stop "$rig" || true
  if [ "$status" -eq 0 ]; then
    rm -rf "$rig"
  else
    echo "test rig logs kept in $rig"
  fi
}
trap stop_rig EXIT

eval "$(bash scripts/rig.sh start "$rig")"

# Each suite that needs the display or the sound server gets a rig of its own,
# and the largest get several, so those run side by side while the tests on one
# rig still take turns. The build lists the rigs (tests/CMakeLists.txt); a
# rig's environment reaches its tests through PELLORA_RIG_<rig>, as a list of
# VARIABLE=value.
while read -r name; do
  settings=$(env -u DISPLAY -u PULSE_SERVER bash scripts/rig.sh start "$rig/$name" </dev/null | sed -e 's/^export //' | tr ' \n' ';;')
  export "PELLORA_RIG_$name=${settings%;}"
done <"$build/tests/rigs.txt"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy
# A failing test shows the program's log (why a window, a device or a file
# failed) with its own output.
export PELLORA_LOG=${PELLORA_LOG:-1}

cd "$build"
if [ "$tsan" = 1 ]; then
  # Xlib and GLib lock through hooks and futexes that ThreadSanitizer reads as
  # unlocks of mutexes it never saw locked, so misused-mutex reports are off;
  # races and lock inversions are still reported.
  export TSAN_OPTIONS="suppressions=$top/scripts/tsan.supp halt_on_error=1 second_deadlock_stack=1 report_mutex_bugs=0"
  ctest --output-on-failure -j "$jobs" -L 'test_platform|test_audio|test_app|test_framework_host' "$@"
  exit $?
fi
# Tests sharing a suite's rig take turns (see tests/CMakeLists.txt); a test
# that fails once fails the run.
ctest --output-on-failure -j "$jobs" "$@"

# On CI the fuzzing harnesses are built too and make a fixed number of runs from
# a fixed seed over their corpora and kept findings, so they keep building and
# no finding comes back.
if [ -n "${CI:-}" ]; then
  cd "$top"
  bash scripts/fuzz.sh --runs 2000
fi
