#!/usr/bin/env bash
# make bench: every benchmark in turn, then the targets judged by the figures they recorded.
# Ends with status 0 when each printed all its figures; otherwise names the ones that could not,
# and ends with 1. A target not met does not change the status.
# Environment: as each benchmark says (BENCH_ROUNDS, BENCH_BUILD, ...).
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
BENCH_FIGURES=$(mktemp) || exit 1
export BENCH_FIGURES
trap 'rm -f "$BENCH_FIGURES"' EXIT
# What else the machine runs moves the figures: the load is shown before and after.
load() { echo "bench: $1: $(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg)"; }
load start
missing=()
for bench in run end_to_end silent_run; do
  echo "=== bench/$bench.sh"
  bash "$root/bench/$bench.sh" || missing+=("bench/$bench.sh (status $?)")
done
load end
echo "=== targets"
python3 "$root/bench/targets.py" "$BENCH_FIGURES" $(bench_widths 2>/dev/null) || missing+=("the targets")
if [ ${#missing[@]} -gt 0 ]; then
  echo "bench: figures missing from ${missing[*]}"
  exit 1
fi
echo "bench: every figure printed"
