#!/usr/bin/env bash
# Copy-step benchmark (not a test): makes a synthetic product of 1,000 files and 200 MB, packs it
# into files.dat with the packer, installs it with the copy step under Wine (copy delay 0) and
# copies the same bytes raw with CopyFileA on the same disk, and prints both throughputs and
# their ratio. Target: the copy step at least 0.5 of the raw copy's speed.
# Environment: BENCH_BUILD (default build/), BENCH_WORK (scratch folder), BENCH_ROUNDS, BENCH_KEEP.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build}
packer=$build/host/tools/filesdat
bench=$build/x86_64/bench/copy_bench.exe
work=${BENCH_WORK:-$build/bench-work}
rounds=${BENCH_ROUNDS:-3}

[ -x "$packer" ] || { echo "bench: the packer is missing: $packer"; exit 1; }
[ -f "$bench" ] || cmake --build "$build/x86_64" --target copy_bench >/dev/null 2>&1 || true
[ -f "$bench" ] || { echo "bench: $bench is missing (the x86_64 tree builds it from bench/)"; exit 1; }

rm -rf "$work"
mkdir -p "$work/loose" "$work/source" "$work/out"
python3 - "$work/loose" "$work/names.txt" <<'PY'
import os, random, sys
loose, listing = sys.argv[1], sys.argv[2]
count, total = 1000, 200 * 1024 * 1024
rng = random.Random(20261207)
weights = [rng.uniform(0.05, 1.95) for _ in range(count)]  # about 10 KB to 400 KB each
sizes = [int(w * total / sum(weights)) for w in weights]
sizes[-1] += total - sum(sizes)
with open(listing, "w", newline="") as names:
    for i, size in enumerate(sizes):
        name = "file%04d.bin" % i
        with open(os.path.join(loose, name), "wb") as f:
            f.write(os.urandom(size))
        names.write(name + "\r\n")
PY
# shellcheck disable=SC2046
"$packer" create "$work/source/files.dat" -C "$work/loose" $(tr -d '\r' < "$work/names.txt")
printf 'MZ setup' > "$work/source/setup.exe"
printf 'MZ hooks' > "$work/source/dsetup.dll"
echo "product: $(wc -l < "$work/names.txt") files, $(du -sm "$work/loose" | cut -f1) MB;" \
     "files.dat $(du -sm "$work/source/files.dat" | cut -f1) MB"

. "$root/tests/wine/suite.sh"
suite_begin bench "$work"
finish() {
  suite_end
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
"$WINE" "$bench" "$(winpath "$work/source")" "$(winpath "$work/loose")" "$(winpath "$work/out")" \
  "$(winpath "$work/names.txt")" "$rounds" | tr -d '\r'
diff -rq --exclude=setup.exe --exclude=dsetup.dll "$work/loose" "$work/out/installed" &&
  echo "installed files match the originals byte for byte"
