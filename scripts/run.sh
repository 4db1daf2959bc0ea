#!/usr/bin/env bash
# Builds Kobaltine and launches it on the given model, or on a bundled sample.
# Usage: scripts/run.sh [model.vxl]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh"
"$root/scripts/build.sh" "$root/build" -DKOBALTINE_TESTS=OFF
model="${1:-$root/build/samples/tank.vxl}"
exec "$root/build/kobaltine" "$model"
