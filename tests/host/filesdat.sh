#!/usr/bin/env bash
# Host tests of the filesdat packer: round trips checked by an independent reader, damaged
# archives, bad input and hostile member names.
# usage: bash filesdat.sh <filesdat program> <scratch dir>
set -u
. "$(dirname "$0")/lib/suite.sh" "$1" "$2" filesdat-host

# ---- sources: sizes around block boundaries, a sub-folder, an empty file
mkdir -p src/sub src/deep
head -c 200000 /dev/urandom >src/random.bin
head -c 4096 /dev/urandom >src/b4096.bin
head -c 4097 /dev/urandom >src/b4097.bin
head -c 65536 /dev/urandom >src/b65536.bin
head -c 65537 /dev/urandom >src/b65537.bin
printf 'x' >src/one.txt
: >src/empty.txt
printf 'The quick brown fox jumps over the lazy dog, plainly readable.\n' >src/sub/readme.txt
NAMES="random.bin b4096.bin b4097.bin b65536.bin b65537.bin one.txt empty.txt sub/readme.txt"

# ---- round trips: packer -> independent reader and packer -> own extract, byte-exact
# Stored (--store) with every block size, deflated where that is smaller, in LZMA groups.
for block in 1 7 4096 65536 100000 default deflate lzma; do
  opt=(--store)
  case $block in deflate | lzma) opt=("--compress=$block") ;; default) ;; *) opt+=(-b "$block") ;; esac
  arc="rt-$block.dat"
  run create "$arc" -C src "${opt[@]}" $NAMES
  expect "create with block size $block" 0
  rm -rf dec ext
  mkdir dec
  if $TOOL decode "$arc" dec >decoded.txt 2>layout.txt; then pass; else fail "layout of $arc: $(cat layout.txt)"; fi
  if [ "$block" = lzma ]; then  # random files from 64 KiB on are deflated alone, the rest share a group
    check "incompressible large members outside the group ($arc)" test "$(awk '$4 != "lzma" {print $1}' decoded.txt | sort | tr '\n' ' ')" = "b65536.bin b65537.bin random.bin "
  elif [ "$block" = deflate ]; then  # deflate beats the block pairs (twice the content) but for tiny files
    check "all but the tiny members compressed ($arc)" test "$(awk '$3 != 0 {print $1}' decoded.txt | sort | tr '\n' ' ')" = "empty.txt one.txt "
  elif [ "$block" = default ]; then  # fitted: the fewest blocks of at most 64 KiB, all of one size
    check "block size fitted to every member ($arc)" test -z "$(awk '{ n = $2 ? int(($2 + 65535) / 65536) : 1
      b = $2 ? int(($2 + n - 1) / n) : 1; if ($3 != b) print }' decoded.txt)"
  else
    check "block size $block recorded in every entry ($arc)" test "$(awk '{print $3}' decoded.txt | sort -u)" = "$block"
  fi
  run extract "$arc" -C ext
  expect "extract all from $arc" 0
  for name in $NAMES; do
    check "independent reader: $name from $arc" cmp -s "src/$name" "dec/$name"
    check "filesdat extract: $name from $arc" cmp -s "src/$name" "ext/$name"
  done
  run verify "$arc"
  expect "verify $arc" 0
  check "verify reports 8 members ($arc)" grep -q "8 members, OK" out.txt
done

# LZMA groups of 4 KiB: a compressible member larger than a group has one of its own; several
# groups and sizes around the group size round-trip; bad forms and group sizes are refused.
seq 1 30000 >src/text.txt
head -c 4096 src/text.txt >src/g4096.txt
head -c 4097 src/text.txt >src/g4097.txt
run create groups.dat -C src --group-size=4K text.txt g4096.txt empty.txt g4097.txt one.txt sub/readme.txt
expect "create with 4 KiB groups" 0
run verify groups.dat
expect "verify 4 KiB groups" 0
rm -rf dec ext
run extract groups.dat -C ext
if $TOOL decode groups.dat dec >decoded.txt 2>layout.txt; then pass; else fail "layout of groups.dat: $(cat layout.txt)"; fi
for name in text.txt g4096.txt empty.txt g4097.txt one.txt sub/readme.txt; do
  check "independent reader: $name from groups.dat" cmp -s "src/$name" "dec/$name"
  check "filesdat extract: $name from groups.dat" cmp -s "src/$name" "ext/$name"
done
check "text.txt, g4096.txt + empty.txt, g4097.txt, one.txt + readme.txt: four groups" \
  test "$(python3 -c 'import struct,sys; r=open(sys.argv[1],"rb").read(); print(len({struct.unpack_from("<I", r, struct.unpack_from("<I", r, 276 * i + 272)[0] + 4)[0] for i in range(6)}))' groups.dat)" = 4
# A last member too small for deflate leaves nothing of its attempt behind the archive's data.
run create tail.dat -C src --compress=deflate sub/readme.txt one.txt
if $TOOL decode tail.dat dec-tail >/dev/null 2>layout.txt; then pass; else fail "layout of tail.dat: $(cat layout.txt)"; fi
for bad in --compress=zip --compress= --group-size=4095 --group-size=65M --group-size=8X --group-size=; do
  run create b.dat -C src "$bad" one.txt
  expect "$bad refused" 2 "bad"
done
run verify groups.dat --store
expect "--store is refused for verify" 2 "only for create and product"

run list rt-default.dat
expect "list" 0
check "list shows size and stored name with backslash" grep -qE '^ +63  sub\\readme\.txt$' out.txt
check "list shows empty member" grep -qE '^ +0  empty\.txt$' out.txt
check "list shows every member" test "$(wc -l <out.txt)" -eq 8

# Masks come from a random source: the text is not readable in the archive, two packings differ.
check "plain text not visible in the archive" bash -c '! grep -q "quick brown fox" rt-default.dat'
run create again.dat -C src --store sub/readme.txt
cp again.dat again1.dat
run create again.dat -C src --store sub/readme.txt
check "two packings of one file use different masks" bash -c '! cmp -s again.dat again1.dat'

# Names: 259 bytes fit, 260 do not; lookups on extract ignore letter case.
long_dir=src/$(printf 'd%.0s' $(seq 1 200))
mkdir -p "$long_dir"
name259=$(printf 'd%.0s' $(seq 1 200))/$(printf 'f%.0s' $(seq 1 58))
name260=$(printf 'd%.0s' $(seq 1 200))/$(printf 'g%.0s' $(seq 1 59))
echo 259 >"src/$name259"
echo 260 >"src/$name260"
run create long.dat -C src "$name259"
expect "name of 259 bytes is stored" 0
run extract long.dat -C long-out
check "name of 259 bytes round-trips" cmp -s "src/$name259" "long-out/$name259"
run create long260.dat -C src "$name260"
expect "name of 260 bytes is refused" 1 "260 bytes"
check "nothing left after refused long name" test "$(ls | grep -c long260)" -eq 0

rm -rf pick
run extract rt-default.dat -C pick SUB/README.TXT
expect "extract by name ignoring case" 0
check "member extracted under its stored name" cmp -s src/sub/readme.txt pick/sub/readme.txt
check "only the named member extracted" test "$(listing pick)" = "./sub ./sub/readme.txt "
run extract rt-default.dat -C pick missing.txt
expect "extract of an absent member" 1 'no member named "missing.txt"'

# ---- damaged archives: verify names the damage and fails; extract writes nothing for a bad member
damaged() {  # damaged KIND PATTERN
  local kind=$1 pattern=$2
  $TOOL craft "$kind" "$kind.dat" "$ROOT"
  run verify "$kind.dat"
  expect "verify $kind" 1 "$pattern"
}
$TOOL craft good good.dat
run verify good.dat
expect "verify hand-made good archive" 0
damaged truncated-dir "cut off"
damaged no-terminator "runs into member data"
damaged offset-past-end "runs past the end"
damaged offset-wraps "runs past the end"
damaged block-zero "compressed data of \"a.txt\" runs past the end"
damaged short-data "runs past the end"
damaged unterminated-name "not terminated"
damaged overlap "overlaps the directory"
damaged bad-sum "does not match its checksum"
run extract bad-sum.dat -C bad-sum-out
check "a member that fails its checksum is not written" test ! -e bad-sum-out/a.txt
$TOOL craft clean-eof clean-eof.dat
run verify clean-eof.dat
expect "directory ending with the file (no terminator) is sound" 0
run verify absent.dat
expect "verify of a missing archive" 1 "cannot open absent.dat"
run list truncated-dir.dat
expect "list of a cut-off directory" 1 "cut off"

for kind in short-data offset-past-end offset-wraps block-zero; do
  rm -rf "x-$kind"
  run extract "$kind.dat" -C "x-$kind"
  expect "extract from $kind fails" 1 "cannot extract|is damaged"
done
check "short data: bad member not written, good one is" test "$(listing x-short-data)" = "./a.txt "
check "block size 0: bad member not written" test "$(listing x-block-zero)" = "./sub ./sub/b.bin "
check "offset wrap: nothing written for the member" test "$(listing x-offset-wraps)" = "./a.txt "

$TOOL craft duplicates dup.dat
rm -rf dup
run extract dup.dat -C dup
expect "duplicate names: extract notes the second" 0 "skipping a second member"
check "duplicate names: the first member wins" test "$(cat dup/dup.txt)" = first

# ---- hostile names: nothing outside the output folder
mkdir -p hostile/out
$TOOL craft hostile hostile/h.dat "$ROOT/hostile"
run extract hostile/h.dat -C hostile/out
expect "hostile names: extract fails" 1 "refusing member"
check "hostile names: eight refused" test "$(grep -c 'refusing member' err.txt)" -eq 8
check "hostile names: only the good member written" test "$(listing hostile/out)" = "./good ./good/ok.txt "
check "hostile names: nothing beside the output folder" test "$(listing hostile)" = "./h.dat ./out ./out/good ./out/good/ok.txt "
check "hostile names: nothing in the scratch root" test ! -e "$ROOT/evil1.txt" -a ! -e "$ROOT/evil2.txt" -a ! -e "$ROOT/evil3.txt"
run extract hostile/h.dat -C hostile/out '..\evil1.txt'
expect "hostile name asked for by name is still refused" 1 "climbs out"

# ---- bad input: clear message, non-zero status, nothing left under the output name
echo keep >kept.dat
run create kept.dat -C src one.txt missing.txt
expect "missing input file" 1 "cannot read src/missing.txt"
check "existing archive untouched after a failed create" test "$(cat kept.dat)" = keep
run create newer.dat -C src sub
expect "folder as input" 1 "is a folder"
run create twice.dat -C src one.txt ONE.TXT
expect "same name twice" 1 "named twice"
for bad in ../x.txt /etc/hostname 'c:x.txt' 'sub/../../x'; do
  run create bad.dat -C src "$bad"
  expect "name $bad refused on create" 1 "cannot store"
done
run create src/one.txt/x.dat -C src one.txt
expect "output under a file (unwritable)" 1 "cannot create src/one.txt/x.dat"
run create no/such/dir/x.dat -C src one.txt
expect "output in a missing folder" 1 "cannot create"
mkdir -p outdir
run create outdir -C src one.txt
expect "output name is a folder" 1 "cannot write outdir"
check "no temporary files left anywhere" test -z "$(find . -name '*.part-*')"
check "no archive left for failed creates" test ! -e newer.dat -a ! -e twice.dat -a ! -e bad.dat
check "folder output untouched" test -z "$(listing outdir)"

for bad in 0 -5 abc 16777217 99999999999 ''; do
  run create b.dat -C src -b "$bad" one.txt
  expect "block size '$bad' refused" 2 "bad block size"
done
run create b.dat -C src -b 16777216 one.txt
expect "largest block size accepted" 0
for args in "" "list" "frobnicate x.dat" "create x.dat" "list x.dat extra" "create x.dat -b" "verify x.dat -b 4" "list x.dat -q"; do
  # shellcheck disable=SC2086
  run $args
  expect "usage for '$args'" 2
  check "usage text for '$args'" grep -q "usage: filesdat create" err.txt
done

# ---- streaming: a file much larger than the block buffers packs and unpacks in little memory
head -c $((48 * 1024 * 1024)) /dev/urandom >src/big.bin
create_kib=$($TOOL maxrss "$FILESDAT" create big.dat -C src big.bin 2>err.txt | tail -1)
extract_kib=$($TOOL maxrss "$FILESDAT" extract big.dat -C big-out 2>err.txt | tail -1)
check "big file round-trips" cmp -s src/big.bin big-out/big.bin
check "packing 48 MiB stays under 16 MiB of memory (used ${create_kib} KiB)" test "${create_kib:-999999}" -lt 16384
check "unpacking 48 MiB stays under 16 MiB of memory (used ${extract_kib} KiB)" test "${extract_kib:-999999}" -lt 16384
rm -f src/big.bin big.dat big-out/big.bin

finish
