#!/usr/bin/env bash
# Builds the benchmarks in Release, runs them all and prints one table:
# operation, model, median, goal.
# Usage: scripts/bench.sh [repetitions]   (default 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
reps="${1:-5}"
"$root/scripts/deps.sh" python3
dir="$root/build-bench"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOBALTINE_GUI=OFF \
  -DKOBALTINE_TESTS=OFF -DKOBALTINE_BENCH=ON >/dev/null
cmake --build "$dir" --parallel "$(nproc)" >/dev/null
out="$dir/results"
mkdir -p "$out"
for b in model_bench editor_bench view3d_bench history_bench vox_bench normals_bench thumbnail_bench hostile_bench; do
  "$dir/bench/$b" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_format=json --benchmark_out="$out/$b.json" --benchmark_out_format=json >/dev/null
done
python3 "$root/scripts/bench_table.py" "$out"/*.json
