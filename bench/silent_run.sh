#!/usr/bin/env bash
# Silent-run benchmark (not a test): a product of 1,000 small files whose script says nothing of
# [COPYDELAY] (the default pause of 333 ms a file while a progress window shows), installed with
# /silent, once without a log and once with /log=, taking turns, BENCH_ROUNDS (default 3) rounds.
# Prints the median time of each and the log's cost: a silent run pauses for nobody, so its time
# is the work alone, and the log, written line by line as the run goes, costs what it costs here.
# Runs the x86_64 build under the 64-bit Wine (BENCH_SETUP names another setup.exe to measure).
# BENCH_COPYDELAY=N adds "[COPYDELAY] delay=N" to the script (to compare a setup.exe that pauses
# in silent runs too, with 0).
# Environment: BENCH_BUILD (default build/), BENCH_WORK, BENCH_ROUNDS, BENCH_SETUP, BENCH_COPYDELAY, BENCH_KEEP.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build}
work=${BENCH_WORK:-$build/bench-silent}
rounds=${BENCH_ROUNDS:-3}
packer=$build/host/tools/filesdat
setup=${BENCH_SETUP:-$build/x86_64/setup/setup.exe}
hooks=$build/x86_64/tests/hook_unattended.dll
for f in "$packer" "$setup" "$hooks"; do
  [ -f "$f" ] || { echo "bench: missing $f (make build)"; exit 1; }
done
rm -rf "$work"; mkdir -p "$work/source" "$work/payload"
python3 "$root/bench/make_payload.py" "$work/payload" "$work/files.ini" 1000 0 10 400
{
  printf '[PRODUCTNAME]\r\nname=Silent Bench\r\n[DEFAULTDIR]\r\ndir=SilentBench\r\n'
  [ -z "${BENCH_COPYDELAY:-}" ] || printf '[COPYDELAY]\r\ndelay=%s\r\n' "$BENCH_COPYDELAY"
  cat "$work/files.ini"
} > "$work/source/setup.ini"
cp "$root/products/tuner/license.txt" "$work/source/"
"$packer" product "$work/source/setup.ini" -C "$work/payload" --hooks "$hooks" --setup "$setup" -o "$work/product" >/dev/null ||
  { echo "bench: the product could not be made"; exit 1; }

. "$root/tests/wine/suite.sh"
suite_begin benchsilent "$work"
finish() {
  suite_end
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
drive_c="$WINEPREFIX/drive_c"
now() { date +%s.%N; }

# install N [SWITCH...]: a silent install into C:\SilentN; prints its seconds, or "failed".
install() {
  local n=$1 t0 t1; shift
  t0=$(now)
  (cd "$work/product" && timeout 600 "$WINE" setup.exe /silent "/dir=C:\\Silent$n" "$@" >/dev/null 2>&1) || { echo failed; return; }
  t1=$(now)
  [ -f "$drive_c/Silent$n/file00999.bin" ] || { echo failed; return; }
  python3 -c "print('%.3f' % ($t1 - $t0))"
}

plain=() logged=() failed=0
install 0 >/dev/null  # a first install, not counted, brings the programs and the payload into the cache
for ((round = 1; round <= rounds; round++)); do
  if ((round % 2)); then
    a=$(install "a$round"); b=$(install "b$round" "/log=C:\\silent$round.log")
  else
    b=$(install "b$round" "/log=C:\\silent$round.log"); a=$(install "a$round")
  fi
  echo "round $round: without a log $a s, with a log $b s"
  [ "$a" = failed ] || [ "$b" = failed ] && { failed=1; continue; }
  plain+=("$a"); logged+=("$b")
done
[ "$failed" = 0 ] || { echo "bench: a silent install failed"; exit 1; }
lines=$(wc -l < "$drive_c/silent1.log")
python3 - "${plain[*]}" "${logged[*]}" "$lines" "${BENCH_COPYDELAY:-}" <<'PY'
import statistics, sys
plain, logged = ([float(x) for x in arg.split()] for arg in sys.argv[1:3])
a, b = statistics.median(plain), statistics.median(logged)
delay = sys.argv[4] if len(sys.argv) > 4 and sys.argv[4] else "by default"
print("silent install of 1,000 files, copy delay %s, x86_64: median %.2f s without a log" % (delay, a))
print("the same with /log= (%s lines, each written as it happens): median %.2f s, the log costs %.2f s (%.0f%%)"
      % (sys.argv[3], b, b - a, 100 * (b - a) / a))
PY
