#!/usr/bin/env bash
# A longer fuzzing run than the test suite's: every libFuzzer target of the fuzz build runs
# for FUZZ_MINUTES with a random seed, FUZZ_JOBS at a time, starting from the committed
# corpus. New corpus entries are kept in FUZZ_WORK (outside the tree, so runs add up); a
# finding leaves its reproducer there named after its target. Ends with a table of target,
# seed, executions, coverage and result; the status is 1 when anything was found.
#   scripts/fuzz-long.sh BUILD_FUZZ [TARGET...]
set -uo pipefail
build_fuzz=${1:?fuzz build folder}
shift
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
minutes=${FUZZ_MINUTES:-10}
jobs=${FUZZ_JOBS:-2}
work=${FUZZ_WORK:-${XDG_CACHE_HOME:-$HOME/.cache}/mobu-fuzz}
run_id=$(date -u +%Y%m%d-%H%M%S)
logs="$work/logs/$run_id"
mkdir -p "$work/findings" "$logs"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for program in "$build_fuzz"/fuzz/*_fuzz; do
    # Programs only: the ctest run's corpus folders (corpus-NAME_fuzz) sit beside them.
    [ -f "$program" ] && [ -x "$program" ] && targets+=("$(basename "$program")")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build_fuzz/fuzz (build it with: make fuzz-long)" >&2
  exit 2
fi

# One target: its own seed and corpus folder, its log and result files.
run_one() {
  local name=$1
  local seed=$(( (RANDOM << 15 | RANDOM) + 1 ))
  local corpus="$work/corpus/$name"
  mkdir -p "$corpus"
  echo "$seed" > "$logs/$name.seed"
  echo "fuzzing $name for $minutes min (seed $seed)"
  SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy LSAN_OPTIONS="suppressions=$source_dir/scripts/lsan.supp" \
    "$build_fuzz/fuzz/$name" -seed="$seed" -max_total_time=$((minutes * 60)) -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/findings/$name-" "$corpus" "$source_dir/fuzz/corpus/$name" \
    > "$logs/$name.log" 2>&1
  echo $? > "$logs/$name.status"
}
export -f run_one
export work logs minutes source_dir build_fuzz

printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}

# The table.
found=0
printf '\n%-26s %11s %12s %9s  %s\n' target seed executions coverage result
for name in "${targets[@]}"; do
  log="$logs/$name.log"
  seed=$(cat "$logs/$name.seed" 2>/dev/null || echo -)
  runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$')
  status=$(cat "$logs/$name.status" 2>/dev/null || echo 1)
  if [ "$status" = 0 ]; then
    result=clean
  else
    found=1
    kind=$(grep -o -m1 -E 'ERROR: libFuzzer: [a-z-]+|ERROR: (Address|Undefined|Leak)Sanitizer: [A-Za-z-]+|runtime error|ALARM: working on the last Unit for [0-9]+ seconds' "$log" | head -1)
    artifact=$(grep -o "Test unit written to [^ ]*" "$log" | tail -1 | sed 's/Test unit written to //')
    result="FOUND ${kind:-status $status}${artifact:+ -> $artifact}"
  fi
  printf '%-26s %11s %12s %9s  %s\n' "$name" "$seed" "${runs:--}" "${coverage:--}" "$result"
done
echo
echo "logs: $logs"
echo "new corpus entries: $work/corpus (minimise with -merge=1 before committing any)"
exit $found
