#!/usr/bin/env bash
# Installs what is missing, builds Pellora and runs it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash scripts/install-deps.sh

build=${PELLORA_BUILD:-$top/build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELLORA_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

# The program finds its skin as "XML/..." and the framework's definitions as
# "../lib/VABO/XML" from its working folder, or through VINTREL_LIB.
export VINTREL_LIB=${VINTREL_LIB:-$top}
cd "$top"
exec "$build/app/pellora" "$@"
