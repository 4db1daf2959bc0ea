#!/usr/bin/env bash
# Runs the whole test suite again under the address and undefined-behaviour sanitizers.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build-asan" -DKOBALTINE_TESTS=ON -DKOBALTINE_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=Debug
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$root/build-asan"
ctest --output-on-failure --parallel "$(nproc)"
