#!/usr/bin/env bash
# Configures and builds into a folder (default: build). Extra arguments go to CMake.
# Usage: scripts/build.sh [build-dir] [-DOPTION=VALUE ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
