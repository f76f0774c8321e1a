#!/usr/bin/env bash
# Builds the fuzzing harnesses with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each in turn for SECONDS (default 60)
# from its committed seed corpus and the inputs kept from earlier findings (the
# skin harness also from every skin in tests/data and XML).
# New inputs found go to a scratch corpus, never into the repository; a crash
# leaves its input in the build folder and fails.
# With --runs N each harness instead makes N mutated runs from a fixed random
# seed after replaying its corpus: the same work every time, as the test run
# does on CI to keep the harnesses building and their findings fixed.
# PELLORA_JOBS bounds the build's parallel jobs (default: one per core).
# Usage: scripts/fuzz.sh [SECONDS] | scripts/fuzz.sh --runs N
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
budget=(-max_total_time="${1:-60}")
if [ "${1:-}" = "--runs" ]; then
  budget=(-runs="${2:-}" -seed=1)
  value=${2:-}
else
  value=${1:-60}
fi
case "$value" in ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] | scripts/fuzz.sh --runs N" >&2; exit 2;; esac

bash scripts/install-deps.sh

build=${PELLORA_FUZZ_BUILD:-$top/build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELLORA_FUZZ=ON -DPELLORA_TESTS=OFF -DPELLORA_BENCH=OFF >/dev/null
cmake --build "$build" -j "${PELLORA_JOBS:-$(nproc)}" --target fuzz_download fuzz_length fuzz_picture fuzz_settings fuzz_skin fuzz_soundfile

# Windows that a fuzzed skin opens go to SDL's dummy driver; the library folder
# is the repository's own.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy VINTREL_LIB="$top"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for harness in download length picture settings skin soundfile; do
  scratch=$(mktemp -d "/tmp/pellora-fuzz-$harness.XXXXXX")
  corpora=("$top/fuzz/corpus/$harness")
  [ -d "$top/fuzz/regressions/$harness" ] && corpora+=("$top/fuzz/regressions/$harness")
  if [ "$harness" = skin ]; then
    # The repository's own test and application skins are seeds too.
    seeds="$scratch-seeds"
    mkdir -p "$seeds"
    find "$top/tests/data" "$top/XML" -name '*.xml' -size -64k | while read -r f; do
      cp "$f" "$seeds/$(echo "$f" | md5sum | cut -c1-12).xml"
    done
    corpora+=("$seeds")
  fi
  echo "fuzz: $harness (${budget[*]})"
  if ! (cd "$build" && "./fuzz/fuzz_$harness" "${budget[@]}" -timeout=10 -rss_limit_mb=2048 \
          -max_len=65536 -print_final_stats=1 "$scratch" "${corpora[@]}" 2>"$build/fuzz-$harness.log"); then
    echo "fuzz: $harness FAILED; see $build/fuzz-$harness.log and the crash-* input in $build" >&2
    tail -40 "$build/fuzz-$harness.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-$harness.log" | sed "s/^/fuzz: $harness /"
  fi
  rm -rf "$scratch" "$scratch-seeds"
done
exit "$status"
