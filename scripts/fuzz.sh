#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*_fuzz.cpp) with clang and runs each one.
# Usage: scripts/fuzz.sh [seconds-per-target] [target ...]   (default: 60 s, every target)
# FUZZ_MAX_LEN (default 16384) bounds the inputs: small inputs run many times faster.
# Corpora grow in build-fuzz/corpus/<target>; crashing inputs land in
# build-fuzz/findings/<target>/ and should become regression tests.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
dir="$root/build-fuzz"

"$root/scripts/deps.sh" clang libclang-rt-dev
CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DKOBALTINE_FUZZ=ON -DKOBALTINE_TESTS=OFF \
  -DKOBALTINE_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
cmake --build "$dir" --target "${targets[@]}" kobaltine_sample_models vxltool

# Seeds: tests/fuzz/seeds/<target>/ when present, plus what each reader takes.
seeds_for() {
  local target="$1" seeds="$dir/seeds/$1"
  mkdir -p "$seeds"
  [ -d "$root/tests/fuzz/seeds/$target" ] && cp -f "$root/tests/fuzz/seeds/$target"/* "$seeds"/ 2>/dev/null || true
  case "$target" in
    vxl_reader_fuzz)
      cp -f "$dir"/samples/*.vxl "$seeds"/
      [ -f "$root/../shared/fixtures/cc.vxl" ] && cp -f "$root/../shared/fixtures/cc.vxl" "$seeds"/ || true
      # Files of several sections, small enough for the length limit.
      local tool="$dir/tools/vxltool" hmec="$root/../shared/fixtures/hmec.vxl"
      "$tool" join "$seeds/samples-joined.vxl" "$dir"/samples/dot.vxl "$dir"/samples/tank.vxl \
        "$dir"/samples/dot.vxl
      if [ -f "$hmec" ]; then
        for i in 0 1 2; do "$tool" extract "$hmec" "$i" "$dir/hmec-part$i.vxl"; done
        "$tool" join "$seeds/hmec-first3.vxl" "$dir"/hmec-part{0,1,2}.vxl
      fi
      ;;
    vox_reader_fuzz)
      cp -f "$root/../shared/fixtures/vox"/*.vox "$seeds"/ 2>/dev/null || true
      ;;
  esac
  echo "$seeds"
}

status=0
for target in "${targets[@]}"; do
  corpus="$dir/corpus/$target"
  findings="$dir/findings/$target"
  mkdir -p "$corpus" "$findings"
  seeds="$(seeds_for "$target")"
  echo "== $target: ${seconds} s"
  if ! "$dir/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 -max_len="${FUZZ_MAX_LEN:-16384}" \
      -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$seeds" \
      >"$dir/$target.log" 2>&1; then
    echo "   FOUND a failure: see $dir/$target.log and $findings/"
    status=1
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$dir/$target.log" | sed 's/^/   /'
done
exit $status
