#!/usr/bin/env bash
# Copy-step benchmark (not a test), for two product shapes: 1,000 files of 200 MB in all, and
# 20,000 small files of 1 to 4 KB. Each is packed into files.dat with the packer, installed with
# the copy step under Wine (copy delay 0) and copied raw with CopyFileA on the same disk; the
# benchmark prints the archive's size against the payload and the two throughputs with their
# ratio. Targets: archive at most 1.01 times an incompressible payload (members are compressed where
# that is smaller), copy step at least 0.6 of raw copy.
# Each figure is the median of BENCH_ROUNDS (default 5) paired rounds, with its spread.
# Environment: BENCH_BUILD (default build/), BENCH_WORK (scratch folder), BENCH_ROUNDS, BENCH_KEEP.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build}
packer=$build/host/tools/filesdat
bench=$build/x86_64/bench/copy_bench.exe
work=${BENCH_WORK:-$build/bench-work}
rounds=${BENCH_ROUNDS:-5}

[ -x "$packer" ] || { echo "bench: the packer is missing: $packer"; exit 1; }
[ -f "$bench" ] || cmake --build "$build/x86_64" --target copy_bench >/dev/null 2>&1 || true
[ -f "$bench" ] || { echo "bench: $bench is missing (the x86_64 tree builds it from bench/)"; exit 1; }

rm -rf "$work"; mkdir -p "$work"
. "$root/tests/wine/suite.sh"
suite_begin bench "$work"
finish() {
  set +e
  suite_end
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# shape NAME COUNT TOTAL_BYTES MIN_BYTES MAX_BYTES [PER_FOLDER]: one product shape from end to
# end; with PER_FOLDER the files lie in folders of that many (a flat folder of 20,000 files
# measures the file system's directory search rather than the copy).
shape() {
  local dir="$work/$1"
  mkdir -p "$dir/loose" "$dir/source" "$dir/out"
  python3 "$root/bench/make_payload.py" "$dir/loose" "$dir/setup.ini" "$2" "$3" "$4" "$5" "${6:-0}"
  "$packer" create "$dir/source/files.dat" -C "$dir/loose" --script "$dir/setup.ini" >/dev/null
  printf 'MZ setup' > "$dir/source/setup.exe"
  printf 'MZ hooks' > "$dir/source/dsetup.dll"
  local payload archive
  payload=$(du -sb --apparent-size "$dir/loose" | cut -f1)
  archive=$(stat -c %s "$dir/source/files.dat")
  echo "== $1: $(wc -l < "$dir/names.txt") files, payload $payload bytes"
  echo "archive: $archive bytes, $(python3 -c "print('%.2f' % ($archive / $payload))") times the payload"
  "$WINE" "$bench" "$(winpath "$dir/source")" "$(winpath "$dir/loose")" "$(winpath "$dir/out")" \
    "$(winpath "$dir/names.txt")" "$rounds" | tr -d '\r'
  diff -rq --exclude=setup.exe --exclude=dsetup.dll "$dir/loose" "$dir/out/installed" &&
    echo "installed files match the originals byte for byte"
  rm -rf "$dir"
}

[ -n "${BENCH_SKIP_LARGE:-}" ] || shape large 1000 $((200 * 1024 * 1024)) 10 400
shape small "${BENCH_SMALL_FILES:-20000}" 0 1024 4096 200
