#!/usr/bin/env bash
# The robustness campaign under Wine: per shard one prefix, one Xvfb and one runner for its cases.
#   campaign.sh BUILD SRC --sample   a few dozen seeded cases in one shard (the CTest robustness_sample)
#   campaign.sh BUILD SRC --full     300 cases per input kind and every fault in two shards (make
#                                    robustness); rewrites the table in docs/reliability.md
# RB_SEED, RB_CASES and RB_ONLY (kinds, comma-separated) override the defaults.
set -u
BUILD=$(cd "$1" && pwd) SRC=$(cd "$2" && pwd) HERE=$(cd "$(dirname "$0")" && pwd)
if [ "$3" = --full ]; then cases=${RB_CASES:-300} shards=2; else cases=${RB_CASES:-5} shards=1; fi
for need in setup/setup.exe tests/hook_unattended.dll tests/robustness_runner.exe; do
  [ -f "$BUILD/$need" ] || { echo "missing $BUILD/$need: build the x86_64 tree first"; exit 1; }
done
shard() {
  . "$SRC/tests/wine/suite.sh"
  suite_begin "robustness$1" "$BUILD/tests"
  trap suite_end EXIT
  mkdir -p "$WINEPREFIX/drive_c/rb" && cp "$BUILD/tests/robustness_runner.exe" "$WINEPREFIX/drive_c/rb/runner.exe"
  rm -f "$WINEPREFIX/dosdevices/z:"  # only C: is mapped, so that an escaping path lands where it is seen
  python3 "$HERE/campaign.py" run "$WINEPREFIX/drive_c" "$WINE" 'C:\rb\runner.exe' --setup "$BUILD/setup/setup.exe" \
    --hook "$BUILD/tests/hook_unattended.dll" --cases "$cases" --seed "${RB_SEED:-1}" --only "${RB_ONLY:-}" \
    --shard "$1/$shards" --out "$BUILD/tests/robustness-$1.json" > "$BUILD/tests/robustness-$1.log" 2>&1
}
pids=() results=()
for i in $(seq 0 $((shards - 1))); do
  rm -f "$BUILD/tests/robustness-$i.json"
  (shard "$i") & pids+=($!) results+=("$BUILD/tests/robustness-$i.json")
done
for pid in "${pids[@]}"; do wait "$pid"; done
for r in "${results[@]}"; do [ -f "$r" ] || { tail -20 "${r%.json}.log"; exit 1; }; done
table=() && [ "$3" = --full ] && table=(--table "$SRC/docs/reliability.md")
python3 "$HERE/campaign.py" report "$HERE/known_open.txt" "${results[@]}" "${table[@]}"
