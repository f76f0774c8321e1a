#!/usr/bin/env bash
# Builds the fuzzing harnesses with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each in turn for SECONDS (default 60)
# from its committed seed corpus. New inputs found go to a scratch corpus, never
# into the repository; a crash leaves its input in the build folder and fails.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
seconds=${1:-60}
case "$seconds" in ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2;; esac

bash scripts/install-deps.sh

build=${PELLORA_FUZZ_BUILD:-$top/build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELLORA_FUZZ=ON -DPELLORA_TESTS=OFF -DPELLORA_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz_download fuzz_length fuzz_picture fuzz_settings fuzz_skin fuzz_soundfile

# Windows that a fuzzed skin opens go to SDL's dummy driver; the library folder
# is the repository's own.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VINTREL_LIB="$top"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for harness in download length picture settings skin soundfile; do
  scratch=$(mktemp -d "/tmp/pellora-fuzz-$harness.XXXXXX")
  echo "fuzz: $harness for ${seconds}s"
  if ! (cd "$build" && "./fuzz/fuzz_$harness" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
          -max_len=65536 -print_final_stats=1 "$scratch" "$top/fuzz/corpus/$harness" 2>"$build/fuzz-$harness.log"); then
    echo "fuzz: $harness FAILED; see $build/fuzz-$harness.log and the crash-* input in $build" >&2
    tail -40 "$build/fuzz-$harness.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-$harness.log" | sed "s/^/fuzz: $harness /"
  fi
  rm -rf "$scratch"
done
exit "$status"
