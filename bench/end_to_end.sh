#!/usr/bin/env bash
# End-to-end benchmark (not a test): our setup against a peer installer made by Debian's nsis
# package (makensis) in both of its modes, its default (each file compressed alone with zlib) and
# solid LZMA (one LZMA stream over all files), for two payloads: 1,000 files of incompressible
# data, and several hundred real files (Windows executables and libraries, text and pictures in
# folders) taken from Debian packages on this machine.
# For each payload it prints the sizes against the payload: our files.dat in each form, our one
# file (the shipped i686 setup.exe and all) and the peer's installer in each mode. Then, at each
# width this machine runs (our i686 build against the peer's x86-ansi stub under 32-bit Wine, our
# x86_64 build against its amd64-unicode stub under 64-bit Wine), it times silent installs: ours
# from the folder form in each form (/silent and /dir=), our one file, the peer in each mode (/S
# and /D=), and our silent uninstall; and prints each median, "ratio peer time / our time" (1.0
# or more: ours is as fast) for our lzma form against both peer modes and our deflate form against
# the peer's zlib, and what the one file costs over the folder form. Every line names the payload,
# and the width and stub it measured. A round runs every install once, in one order on odd rounds
# and the reverse on even ones, after a first round that is not counted; a figure is the median
# of the rounds (of the paired ratios, for a ratio).
# Exits 0 when every figure was printed, else 1 after saying what failed.
# Environment: BENCH_BUILD (default build/), BENCH_WORK, BENCH_ROUNDS (default 7),
# BENCH_INCOMPRESSIBLE_MB (default 197), BENCH_REAL_MB (default 150), BENCH_KEEP,
# BENCH_FIGURES (see bench/common.sh).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/bench/common.sh"
build=${BENCH_BUILD:-$root/build}
work=${BENCH_WORK:-$build/bench-e2e}
rounds=${BENCH_ROUNDS:-7}
packer=$build/host/tools/filesdat
payloads=(incompressible real)
forms=(lzma deflate)
# Every timed install: our folder form in each form, our one file (lzma form), the peer's modes.
contestants=(ours-lzma ours-deflate ours-one peer-zlib peer-solid)
problems=$work/problems
fail() { echo "bench: $*"; echo "$*" >> "$problems"; }

mapfile -t widths < <(bench_widths)
[ ${#widths[@]} -gt 0 ] || { echo "bench: this machine runs no Wine to time installs with"; exit 1; }
command -v makensis >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nsis >/dev/null 2>&1 || true
command -v makensis >/dev/null || { echo "bench: makensis (Debian's nsis) is not available"; exit 1; }
for tree in i686 "${widths[@]}"; do
  for f in "$build/$tree/setup/setup.exe" "$build/$tree/products/default_dsetup.dll"; do
    [ -f "$f" ] || { echo "bench: missing $f (make build)"; exit 1; }
  done
done
[ -x "$packer" ] || { echo "bench: missing $packer (make build)"; exit 1; }
rm -rf "$work"; mkdir -p "$work"
finish() { [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"; }
trap finish EXIT

# make_payload NAME: the payload in $work/NAME/payload, its script in $work/NAME/source.
make_payload() {
  local dir=$work/$1
  mkdir -p "$dir/payload" "$dir/source"
  case $1 in
    incompressible)
      python3 "$root/bench/make_payload.py" "$dir/payload" "$dir/files.ini" 1000 \
        $((${BENCH_INCOMPRESSIBLE_MB:-197} * 1024 * 1024)) 10 400 ;;
    real) python3 "$root/bench/real_payload.py" "$dir/payload" "$dir/files.ini" "${BENCH_REAL_MB:-150}" ;;
  esac || return 1
  printf '[PRODUCTNAME]\r\nname=Bench\r\n[DEFAULTDIR]\r\ndir=BenchOurs\r\n[COPYDELAY]\r\ndelay=0\r\n' |
    cat - "$dir/files.ini" > "$dir/source/setup.ini"
  cp "$root/products/tuner/license.txt" "$dir/source/"
}

# our_product PAYLOAD WIDTH ARGS...: `filesdat product` of the payload with ARGS, with that
# width's setup.exe and the default hook library (what a product without hooks of its own ships).
our_product() {
  local dir=$work/$1 tree=$build/$2
  shift 2
  "$packer" product "$dir/source/setup.ini" -C "$dir/payload" --setup "$tree/setup/setup.exe" \
    --hooks "$tree/products/default_dsetup.dll" "$@" >/dev/null
}

# peer_installer PAYLOAD WIDTH MODE: the peer's installer of the payload with the width's stub,
# $work/PAYLOAD/WIDTH/peer-MODE.exe; MODE zlib (the peer's default) or solid (/SOLID lzma).
peer_installer() {
  local out=$work/$1/$2/peer-$3.exe compressor=zlib
  [ "$3" = zlib ] || compressor='/SOLID lzma'
  printf 'Target %s\nSetCompressor %s\nName "Bench"\nOutFile "%s"\nInstallDir "C:\\BenchPeer"\nRequestExecutionLevel user\nSection\n  SetOutPath $INSTDIR\n  File /r "%s/*"\nSectionEnd\n' \
    "$(peer_stub "$2")" "$compressor" "$out" "$work/$1/payload" > "$out.nsi"
  makensis -V1 "$out.nsi" >/dev/null
}

# pack PAYLOAD WIDTH: in $work/PAYLOAD/WIDTH, what is timed at that width: our product folder in
# each form (ours-FORM), our one file in the lzma form (ours-one.exe), the peer's installer in
# each mode (peer-zlib.exe, peer-solid.exe).
# Each packer works on one core: the peer's packs beside ours.
pack() {
  local form peer ours=0
  mkdir -p "$work/$1/$2"
  { peer_installer "$1" "$2" zlib && peer_installer "$1" "$2" solid; } &
  peer=$!
  for form in "${forms[@]}"; do
    our_product "$1" "$2" --compress="$form" -o "$work/$1/$2/ours-$form" || ours=1
  done
  our_product "$1" "$2" --compress=lzma --one-file -o "$work/$1/$2/ours-one.exe" || ours=1
  wait "$peer" && [ "$ours" = 0 ]
}

# size_line PAYLOAD LABEL FILE KEY: the file's size against the payload's, recorded as size.PAYLOAD.KEY.
size_line() {
  local bytes payload
  bytes=$(stat -c %s "$3") || return 1
  payload=$(du -sb --apparent-size "$work/$1/payload" | cut -f1)
  printf '[%s] %-52s %s times the payload (%s bytes)\n' "$1" "$2:" "$(ratio "$bytes" "$payload")" "$bytes"
  figure "size.$1.$4" "$bytes"
}

# sizes PAYLOAD: every size line of the payload. files.dat is the same whatever setup.exe ships
# beside it; the store form is shown for incompressible data only, where it is cheap to make.
sizes() {
  local dir=$work/$1 form width stub
  echo "== $1: $(wc -l < "$dir/names.txt") files, payload $(du -sb --apparent-size "$dir/payload" | cut -f1) bytes"
  for form in "${forms[@]}"; do
    size_line "$1" "our files.dat, $form form (any width)" "$dir/${widths[0]}/ours-$form/files.dat" "files_dat.$form"
  done
  if [ "$1" = incompressible ]; then
    "$packer" create "$dir/store.dat" -C "$dir/payload" --script "$dir/source/setup.ini" --compress=store >/dev/null &&
      size_line "$1" "our files.dat, store form (any width)" "$dir/store.dat" files_dat.store || return 1
    rm -f "$dir/store.dat"
  fi
  size_line "$1" "our one file, lzma form (i686 setup.exe and all)" "$dir/i686/ours-one.exe" one_file.i686 || return 1
  for width in "${widths[@]}"; do
    stub=$(peer_stub "$width")
    [ "$width" = i686 ] ||
      size_line "$1" "our one file, lzma form ($width setup.exe and all)" "$dir/$width/ours-one.exe" "one_file.$width"
    size_line "$1" "peer installer, zlib ($stub stub)" "$dir/$width/peer-zlib.exe" "peer.$width.zlib"
    size_line "$1" "peer installer, solid lzma ($stub stub)" "$dir/$width/peer-solid.exe" "peer.$width.solid"
    echo "[$1] our one file ($width setup.exe) / peer's solid lzma installer ($stub stub): $(ratio \
      "$(stat -c %s "$dir/$width/ours-one.exe")" "$(stat -c %s "$dir/$width/peer-solid.exe")")"
  done
}

# prepare PAYLOAD: the payload, everything that is timed and the one file whose size is shown;
# prints the sizes.
prepare() {
  local width
  make_payload "$1" || return 1
  for width in "${widths[@]}"; do pack "$1" "$width" || return 1; done
  [ -f "$work/$1/i686/ours-one.exe" ] ||
    { mkdir -p "$work/$1/i686" && our_product "$1" i686 --compress=lzma --one-file -o "$work/$1/i686/ours-one.exe"; } ||
    return 1
  sizes "$1"
}

setup_bytes=$(stat -c %s "$build/i686/setup/setup.exe")
echo "setup.exe (i686): $setup_bytes bytes, $(ratio "$setup_bytes" 1024) KB (at most 192 KB)"
figure size.setup_i686 "$setup_bytes"
for payload in "${payloads[@]}"; do
  if prepare "$payload"; then touch "$work/$payload/ready"; else fail "the $payload payload could not be prepared"; fi
done

ARP='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bench'

# timed COMMAND...: runs it and prints the seconds it took; fails when it fails. The host first
# writes back what earlier rounds left dirty, so that every install, ours or the peer's, starts
# from the same state instead of paying for the writeback of the one before.
timed() {
  local t0 status
  sync
  t0=$(now)
  "$@" >/dev/null 2>&1
  status=$?
  [ "$status" = 0 ] || { echo "$* ended with status $status"; return 1; }
  elapsed "$t0" "$(now)"
}

# install CONTESTANT DIR: that silent install of what DIR (a payload's width folder) holds.
install() {
  case $1 in
    ours-one) (cd "$2" && timed "$WINE" ours-one.exe /silent '/dir=C:\BenchOurs\Bench') ;;
    ours-*) (cd "$2/$1" && timed "$WINE" setup.exe /silent '/dir=C:\BenchOurs\Bench') ;;
    peer-*) timed "$WINE" "$2/$1.exe" /S '/D=C:\BenchPeer' ;;
  esac
}

# second_stage_runs: a process of this prefix runs our uninstall's second stage.
second_stage_runs() {
  local pid
  for pid in $(pgrep -f 'setup.exe"? -u2'); do
    { tr '\0' '\n' < "/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# uninstall: our silent uninstall from its Add/Remove command; prints its seconds until the
# second stage has ended and the folder is gone. A failed one leaves neither folder nor record.
uninstall() {
  local command t0
  command=$("$WINE" reg query "$ARP" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  t0=$(now)
  # The command split at its blanks (the install folder's path has none).
  # shellcheck disable=SC2086
  [ -n "$command" ] && "$WINE" $command /silent >/dev/null 2>&1
  for _ in $(seq 1 1200); do
    second_stage_runs || [ -e "$drive_c/BenchOurs/Bench" ] || break
    sleep 0.05
  done
  if [ -z "$command" ] || [ -e "$drive_c/BenchOurs/Bench" ]; then
    rm -rf "$drive_c/BenchOurs"
    "$WINE" reg delete "$ARP" /f >/dev/null 2>&1
    return 1
  fi
  elapsed "$t0" "$(now)"
}

# complete PAYLOAD WHERE: the payload's last file arrived whole in WHERE.
complete() {
  local name
  name=$(tail -n1 "$work/$1/names.txt" | tr -d '\r' | tr '\\' /)
  cmp -s "$work/$1/payload/$name" "$2/$name"
}

# contest ROUND PAYLOAD WIDTH CONTESTANT: one timed install, checked, then undone (ours by our
# timed uninstall); adds "ROUND CONTESTANT SECONDS" (and "ROUND uninstall SECONDS") to the times.
contest() {
  local dir=$work/$2/$3 where=$drive_c/BenchPeer seconds
  [ "${4%%-*}" = peer ] || where=$drive_c/BenchOurs/Bench
  if seconds=$(install "$4" "$dir") && complete "$2" "$where"; then
    echo "$1 $4 $seconds" >> "$dir/times"
  else
    fail "[$2, $3] round $1: $4's install failed or is incomplete ($seconds)"
  fi
  if [ "${4%%-*}" = peer ]; then
    rm -rf "$where"
  elif seconds=$(uninstall); then
    echo "$1 uninstall $seconds" >> "$dir/times"
  else
    fail "[$2, $3] round $1: our uninstall after $4 failed"
  fi
}

# time_payload PAYLOAD WIDTH: the rounds, then the payload's figures at that width.
time_payload() {
  local tag round contestant order
  tag="$1, $2 build, peer's $(peer_stub "$2") stub"
  echo "== [$tag] silent installs: a first round not counted, then $rounds rounds"
  : > "$work/$1/$2/times"
  for contestant in "${contestants[@]}"; do contest 0 "$1" "$2" "$contestant"; done
  for ((round = 1; round <= rounds; round++)); do
    order=("${contestants[@]}")
    ((round % 2)) || mapfile -t order < <(printf '%s\n' "${contestants[@]}" | tac)
    for contestant in "${order[@]}"; do contest "$round" "$1" "$2" "$contestant"; done
    python3 "$root/bench/rounds.py" round "$tag" "$work/$1/$2/times" "$round"
  done
  python3 "$root/bench/rounds.py" summary "$tag" "$work/$1/$2/times" "$2.$1" ||
    fail "[$tag] some figures could not be measured"
}

# time_width WIDTH: every prepared payload timed at that width, in a prefix of its own (32-bit at
# i686) that lies in memory where the machine has room for it.
time_width() (
  if [ "$1" = i686 ]; then export E2E_WINE32=1; else unset E2E_WINE32; fi
  . "$root/tests/wine/suite.sh"
  prefix_root=$(memory_folder bench-e2e) || prefix_root=$work/prefix-$1
  echo "bench: the $1 installs write into $prefix_root"
  suite_begin "benche2e-$1" "$prefix_root"
  trap 'suite_end; rm -rf "$prefix_root"' EXIT
  drive_c=$WINEPREFIX/drive_c
  for payload in "${payloads[@]}"; do
    if [ -f "$work/$payload/ready" ]; then time_payload "$payload" "$1"; fi
  done
)

for width in "${widths[@]}"; do time_width "$width" || fail "the $width installs could not be timed"; done
if [ -s "$problems" ]; then
  echo "bench: $(wc -l < "$problems") problem(s):"
  sed 's/^/  /' "$problems"
  exit 1
fi
