#!/usr/bin/env bash
# make bench: every benchmark in turn. Ends with status 0 when each printed all its figures;
# otherwise names the ones that could not, and ends with 1.
root=$(cd "$(dirname "$0")/.." && pwd)
missing=()
for bench in run end_to_end silent_run; do
  echo "=== bench/$bench.sh"
  bash "$root/bench/$bench.sh" || missing+=("bench/$bench.sh (status $?)")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "bench: figures missing from ${missing[*]}"
  exit 1
fi
echo "bench: every figure printed"
