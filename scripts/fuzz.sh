#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/*_fuzz.cpp) with clang once, runs every kept
# input through them, then fuzzes each target for a while, FUZZ_JOBS (default 2) at once.
# Usage: scripts/fuzz.sh [seconds-per-target] [target ...]   (default: 60 s, every target)
#        scripts/fuzz.sh --merge [target ...]
# --merge minimises the kept corpus tests/fuzz/corpus/<target>/ together with what earlier
# runs found (build-fuzz/corpus/<target>/) and the seeds, with libFuzzer's -merge=1; inputs
# longer than FUZZ_MAX_LEN stay out of it, so that the corpus stays small.
# FUZZ_MAX_LEN (default 4096) bounds the fuzzed inputs: small inputs run many times faster.
#
# Inputs: the kept corpus, tests/fuzz/seeds/<target>/, the damaged files of the audit
# (tests/fuzz/make_audit_inputs.py writes them), the sample models and the fixtures. Each
# of them runs once whole, whatever its length, before the fuzzing. Any finding (a crash, a
# hang of more than 10 s, a leak, a sanitizer report) fails the run: the log and the input
# are kept in build-fuzz/findings/<target>/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
started=$SECONDS
merge=0
if [ "${1:-}" = "--merge" ]; then
  merge=1
  shift
fi
seconds=60
if [ $merge -eq 0 ] && [ $# -gt 0 ] && [[ "$1" =~ ^[0-9]+$ ]]; then
  seconds="$1"
  shift
fi
dir="$root/build-fuzz"
jobs="${FUZZ_JOBS:-2}"
max_len="${FUZZ_MAX_LEN:-4096}"
# A reader looks for an unfinished save's journal in the state folder: keep it here.
export XDG_STATE_HOME="$dir/state"

"$root/scripts/deps.sh" clang libclang-rt-dev
CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DKOBALTINE_FUZZ=ON -DKOBALTINE_TESTS=OFF \
  -DKOBALTINE_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in "$root"/tests/fuzz/*_fuzz.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
# The seeds need the companion and the sample models: those of the main build when it has
# them (as in CI, after the tests), else built here too.
helpers="$root/build"
helper_targets=()
if [ ! -x "$helpers/tools/vxltool" ] || [ ! -f "$helpers/samples/dot.vxl" ]; then
  helpers="$dir"
  helper_targets=(kobaltine_sample_models vxltool)
fi
cmake --build "$dir" --parallel "$(nproc)" --target "${targets[@]}" "${helper_targets[@]}"
built=$SECONDS

# Seeds: tests/fuzz/seeds/<target>/ when present, the audit's files, and what each reader takes.
rm -rf "$dir/seeds"
python3 "$root/tests/fuzz/make_audit_inputs.py" "$dir/seeds"
seeds_for() {
  local target="$1" seeds="$dir/seeds/$1"
  mkdir -p "$seeds"
  if [ -d "$root/tests/fuzz/seeds/$target" ]; then cp -f "$root/tests/fuzz/seeds/$target"/* "$seeds"/; fi
  case "$target" in
    vxl_reader_fuzz)
      cp -f "$helpers"/samples/*.vxl "$seeds"/
      if [ -f "$root/../shared/fixtures/cc.vxl" ]; then cp -f "$root/../shared/fixtures/cc.vxl" "$seeds"/; fi
      # Files of several sections, of real models.
      local tool="$helpers/tools/vxltool" hmec="$root/../shared/fixtures/hmec.vxl"
      "$tool" join "$seeds/samples-joined.vxl" "$helpers"/samples/dot.vxl \
        "$helpers"/samples/tank.vxl "$helpers"/samples/dot.vxl
      if [ -f "$hmec" ]; then
        for i in 0 1 2; do "$tool" extract "$hmec" "$i" "$dir/hmec-part$i.vxl"; done
        "$tool" join "$seeds/hmec-first3.vxl" "$dir"/hmec-part{0,1,2}.vxl
      fi
      ;;
    jasc_palette_fuzz)
      "$helpers/tools/vxltool" palette get "$helpers/samples/tank.vxl" "$seeds/tank.pal"
      ;;
    vox_reader_fuzz)
      if [ -d "$root/../shared/fixtures/vox" ]; then cp -f "$root/../shared/fixtures/vox"/*.vox "$seeds"/; fi
      ;;
  esac
}
for target in "${targets[@]}"; do seeds_for "$target"; done

# Every kept input of a target, whole, then the fuzzing; one line of outcome in its status.
run_target() {
  local target="$1" bin="$dir/tests/fuzz/$1" kept="$root/tests/fuzz/corpus/$1"
  local corpus="$dir/corpus/$1" findings="$dir/findings/$1" log="$dir/$1.log"
  local status="$dir/status/$1"
  rm -rf "$findings"
  mkdir -p "$corpus" "$findings" "$kept"
  local options=(-timeout=10 -rss_limit_mb=4096 -artifact_prefix="$findings/")
  local inputs=()
  mapfile -t inputs < <(find "$kept" "$dir/seeds/$target" -type f | sort)
  if [ ${#inputs[@]} -gt 0 ] && ! "$bin" "${options[@]}" "${inputs[@]}" >"$log" 2>&1; then
    cp "$log" "$findings/"
    # The input that failed is the last one the log names.
    local failed
    failed="$(sed -n 's/^Running: //p' "$log" | tail -n 1)"
    if [ -n "$failed" ]; then cp "$failed" "$findings/"; fi
    echo "FOUND a failure in a kept input: see $findings/" >"$status"
    return 1
  fi
  if ! "$bin" "${options[@]}" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
      "$corpus" "$kept" "$dir/seeds/$target" >"$log" 2>&1; then
    cp "$log" "$findings/"
    echo "FOUND a failure: see $findings/" >"$status"
    return 1
  fi
  { grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$log" ||
    true; } | sed 's/^stat:://' | tr '\n' ' ' >"$status"
  rm -rf "$findings"
}

# The seeds come with every run, so the kept corpus holds only what adds to them: the
# merge starts from the seeds and keeps what else covers more, then drops the seeds.
merge_target() {
  local target="$1" bin="$dir/tests/fuzz/$1" kept="$root/tests/fuzz/corpus/$1"
  local merged="$dir/merged/$1"
  rm -rf "$merged"
  mkdir -p "$merged" "$kept" "$dir/corpus/$1"
  cp -R "$dir/seeds/$target"/. "$merged"/
  mapfile -t seeded < <(cd "$merged" && ls)
  "$bin" -merge=1 -timeout=10 -rss_limit_mb=4096 -max_len="$max_len" "$merged" "$kept" \
    "$dir/corpus/$1" >"$dir/$1.merge.log" 2>&1
  (cd "$merged" && rm -f -- "${seeded[@]}")
  find "$merged" -type f -size +"$max_len"c -delete
  rm -rf "$kept"
  mv "$merged" "$kept"
  echo "== $target: $(find "$kept" -type f | wc -l) inputs, $(cat "$kept"/* 2>/dev/null | wc -c) bytes kept"
}

if [ $merge -eq 1 ]; then
  for target in "${targets[@]}"; do merge_target "$target"; done
  exit 0
fi

rm -rf "$dir/status"
mkdir -p "$dir/status"
echo "== fuzzing ${#targets[@]} targets for ${seconds} s each, $jobs at a time"
running=0
for target in "${targets[@]}"; do
  if [ $running -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  run_target "$target" &
  running=$((running + 1))
done
wait || true

status=0
for target in "${targets[@]}"; do
  line="$(cat "$dir/status/$target" 2>/dev/null || echo "FOUND a failure: no outcome")"
  echo "== $target: $line"
  if [[ "$line" == FOUND* ]]; then
    status=1
    tail -n 40 "$dir/$target.log" | sed 's/^/   /'
  fi
done
echo "fuzz stage: $((SECONDS - started)) s wall time (the build $((built - started)) s)"
exit $status
