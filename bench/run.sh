#!/usr/bin/env bash
# Copy-step benchmark (not a test), for two product shapes: 1,000 files of 200 MB in all, and
# 20,000 small files of 1 to 4 KB. Each is packed into files.dat with the packer, installed with
# the copy step under Wine (copy delay 0, the x86_64 copy_bench.exe) and copied raw with CopyFileA
# on the same disk; the benchmark prints the archive's size against the payload and the two
# throughputs with their ratio. The large shape is measured in each form of the archive (lzma,
# deflate), the small one in the default form (lzma) alone. Target: the copy step of the deflate
# form at least as fast as raw copy of large files.
# Each figure is the median of BENCH_ROUNDS (default 5) paired rounds, with its spread.
# Environment: BENCH_BUILD (default build/), BENCH_WORK (scratch folder), BENCH_ROUNDS, BENCH_KEEP,
# BENCH_SKIP_LARGE, BENCH_SMALL_FILES (default 20000), BENCH_FIGURES (see bench/common.sh).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
build=${BENCH_BUILD:-$root/build}
packer=$build/host/tools/filesdat
bench=$build/x86_64/bench/copy_bench.exe
work=${BENCH_WORK:-$build/bench-work}
rounds=${BENCH_ROUNDS:-5}

[ -x "$packer" ] || { echo "bench: the packer is missing: $packer (make build)"; exit 1; }
[ -f "$bench" ] || { echo "bench: $bench is missing (make build: the x86_64 tree builds it from bench/)"; exit 1; }

rm -rf "$work"; mkdir -p "$work"
. "$root/tests/wine/suite.sh"
suite_begin bench "$work"
finish() {
  suite_end
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
failed=()

# shape NAME COUNT TOTAL_BYTES MIN_BYTES MAX_BYTES [PER_FOLDER]: the payload of one product shape
# in $work/NAME/loose; with PER_FOLDER the files lie in folders of that many (a flat folder of
# 20,000 files measures the file system's directory search rather than the copy).
shape() {
  mkdir -p "$work/$1/loose"
  python3 "$root/bench/make_payload.py" "$work/$1/loose" "$work/$1/setup.ini" "$2" "$3" "$4" "$5" "${6:-0}"
  echo "== $1: $(wc -l < "$work/$1/names.txt") files, payload $(du -sb --apparent-size "$work/$1/loose" | cut -f1) bytes"
}

# measure NAME FORM: the shape packed in FORM, installed by the copy step and copied raw; every
# line it prints starts with [NAME, FORM form, x86_64]; records the ratio as copy.NAME.FORM.
measure() {
  local dir=$work/$1 tag="[$1, $2 form, x86_64]" output figures payload archive
  rm -rf "$dir/source" "$dir/out"
  mkdir -p "$dir/source" "$dir/out"
  "$packer" create "$dir/source/files.dat" -C "$dir/loose" --script "$dir/setup.ini" --compress="$2" >/dev/null ||
    { failed+=("$tag the archive could not be packed"); return; }
  printf 'MZ setup' > "$dir/source/setup.exe"
  printf 'MZ hooks' > "$dir/source/dsetup.dll"
  payload=$(du -sb --apparent-size "$dir/loose" | cut -f1)
  archive=$(stat -c %s "$dir/source/files.dat")
  echo "$tag archive: $archive bytes, $(ratio "$archive" "$payload") times the payload"
  output=$("$WINE" "$bench" "$(winpath "$dir/source")" "$(winpath "$dir/loose")" "$(winpath "$dir/out")" \
    "$(winpath "$dir/names.txt")" "$rounds") || failed+=("$tag copy_bench.exe ended with status $?")
  output=${output//$'\r'/}
  sed "s/^/$tag /" <<< "$output"
  # "ratio copy step / raw copy:  0.88 (median of 5 pairs, spread 0.80 to 0.95)"
  figures=$(sed -n 's/^ratio copy step.*: *\([0-9.]*\) (.*spread \([0-9.]*\) to \([0-9.]*\))$/\1 \2 \3/p' <<< "$output")
  if [ -n "$figures" ]; then figure "copy.$1.$2" $figures; else failed+=("$tag no ratio copy step / raw copy"); fi
  if diff -rq --exclude=setup.exe --exclude=dsetup.dll "$dir/loose" "$dir/out/installed"; then
    echo "$tag installed files match the originals byte for byte"
  else
    failed+=("$tag the installed files differ from the originals")
  fi
}

if [ -z "${BENCH_SKIP_LARGE:-}" ]; then
  shape large 1000 $((200 * 1024 * 1024)) 10 400
  for form in lzma deflate; do measure large "$form"; done
  rm -rf "$work/large"
fi
shape small "${BENCH_SMALL_FILES:-20000}" 0 1024 4096 200
measure small lzma
if [ ${#failed[@]} -gt 0 ]; then
  printf 'bench: %s\n' "${failed[@]}"
  exit 1
fi
