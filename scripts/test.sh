#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, starts the test rig, runs every test, stops the
# rig (also on failure) and exits with ctest's status.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash scripts/install-deps.sh

build=${PELLORA_TEST_BUILD:-$top/build-test}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORA_SANITIZE=ON >/dev/null
cmake --build "$build" -j "$(nproc)"

rig=$(mktemp -d /tmp/pellora-rig.XXXXXX)
stop_rig() {
  local status=$?
  bash "$top/scripts/rig.sh" stop "$rig" || true
  if [ "$status" -eq 0 ]; then
    rm -rf "$rig"
  else
    echo "test rig logs kept in $rig"
  fi
}
trap stop_rig EXIT

eval "$(bash scripts/rig.sh start "$rig")"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=suppressions=$top/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy

cd "$build"
# Window tests drive the one pointer of the shared display while every other
# suite loads the machine; a test that fails is run again (up to three times in
# all) before it counts as failed, and the first failure's output still shows.
ctest --output-on-failure -j "$(nproc)" --repeat until-pass:3 "$@"
