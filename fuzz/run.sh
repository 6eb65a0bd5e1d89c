#!/usr/bin/env bash
# Runs fuzz targets over their seeds and corpus, then fuzzes each for SECONDS,
# two at a time (one per core). Fails when any target finds anything: a
# crash, a sanitizer report, a leak, an input slower than 10 s or one that
# takes more than 2 GiB. Prints each target's runs and runs per second.
#
# Usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]   (default: every target)
#        SECONDS may instead be a number of runs: fuzz/run.sh BUILD_DIR 1000000runs
# BUILD_DIR is a build configured with -DPIVOTWIZARD_FUZZ=ON (fuzz/README.md).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
if ((${#targets[@]} == 0)); then
  targets=(cubefile bwc bwf csv cubedefinition workbook workbookxml connectionstring ini serveranswers)
fi
seeds=$build/fuzz-seeds
rm -rf "$seeds"
"$build/fuzz/fuzzseeds" "$top" "$seeds"
# Seeds no writer of ours makes (what servers answer) are kept in the tree.
cp -r "$top/fuzz/corpus/." "$seeds/"
mkdir -p "$build/fuzz-corpus" "$build/fuzz-logs" "$build/fuzz-findings"

runOne() {
  local target=$1 build=$2 seconds=$3
  local corpus=$build/fuzz-corpus/$target
  local limit=-max_total_time=$seconds
  [[ $seconds == *runs ]] && limit=-runs=${seconds%runs}
  mkdir -p "$corpus"
  if "$build/fuzz/${target}_fuzz" "$limit" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$target-" \
      "$corpus" "$build/fuzz-seeds/$target" >"$build/fuzz-logs/$target.log" 2>&1; then
    echo "$target ok"
  else
    echo "$target FOUND SOMETHING (see $build/fuzz-logs/$target.log)"
    return 1
  fi
}
export -f runOne
status=0
printf '%s\n' "${targets[@]}" | xargs -P 2 -I{} bash -c 'runOne "$@"' _ {} "$build" "$seconds" || status=1

printf '%-18s %12s %10s\n' target runs runs/s
for target in "${targets[@]}"; do
  log=$build/fuzz-logs/$target.log
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-18s %12s %10s\n' "$target" "${runs:-?}" "${rate:-?}"
done
exit $status
