#!/usr/bin/env bash
# End-to-end benchmark (not a test): the shipped i686 setup.exe against a peer installer made by
# Debian's nsis package (makensis, default compression), for two payloads: 1,000 files of
# incompressible data, and several hundred real files (Windows executables and libraries, text
# and pictures in folders) taken from Debian packages on this machine. For each it prints the
# archive's size against the payload, ours (packed by `filesdat product`) and the peer's; then,
# in one 32-bit prefix, both silent installs (ours with /silent and /dir=, the peer with /S and
# /D=), "ratio peer time / our time" (1.0 or more: ours is as fast), our single-file installer
# against our folder form, and our silent uninstall. Each round runs the installs back to back,
# taking turns to go first, after a first round that is not counted; a figure is the median of
# the rounds.
# Where this machine cannot run 32-bit programs, both sides are measured at 64 bits instead: our
# x86_64 build against the peer built with its amd64 stub, under the 64-bit Wine. The sizes are
# those of the shipped i686 setup.exe either way.
# Environment: BENCH_BUILD (default build/), BENCH_WORK, BENCH_ROUNDS (default 5), BENCH_KEEP.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build}
work=${BENCH_WORK:-$build/bench-e2e}
rounds=${BENCH_ROUNDS:-5}
packer=$build/host/tools/filesdat
i686=$build/i686
failed=()
fail() { echo "bench: $*"; failed+=("$*"); }

command -v makensis >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nsis >/dev/null 2>&1 || true
command -v makensis >/dev/null || { echo "bench: makensis (Debian's nsis) is not available"; exit 1; }
# The tree whose setup.exe is timed: the shipped i686 one where 32-bit programs run, else the
# x86_64 one against the peer's 64-bit stub.
if problem=$(E2E_WINE32='' bash -c ". '$root/tests/wine/suite.sh' && wine32_unusable"); then
  tree=$build/x86_64 peer_target=amd64-unicode
  echo "bench: timing at 64 bits (x86_64 build, the peer's amd64 stub): $problem"
else
  tree=$i686 peer_target=x86-unicode
fi
for f in "$tree/setup/setup.exe" "$tree/tests/hook_unattended.dll" "$i686/setup/setup.exe" "$i686/tests/hook_unattended.dll" \
         "$packer"; do
  [ -f "$f" ] || { echo "bench: missing $f (make build)"; exit 1; }
done
rm -rf "$work"; mkdir -p "$work"
ratio() { python3 -c "print('%.2f' % ($1 / $2))"; }

# prepare NAME: the payload NAME in $work/NAME/payload, our folder form, our single file and the
# peer's installer; prints the sizes.
prepare() {
  local dir="$work/$1" payload
  mkdir -p "$dir/payload" "$dir/source"
  if [ "$1" = incompressible ]; then
    python3 "$root/bench/make_payload.py" "$dir/payload" "$dir/files.ini" 1000 $((197 * 1024 * 1024)) 10 400
  else
    python3 "$root/bench/real_payload.py" "$dir/payload" "$dir/files.ini" 150 || return 1
  fi
  printf '[PRODUCTNAME]\r\nname=Bench\r\n[DEFAULTDIR]\r\ndir=BenchOurs\r\n[COPYDELAY]\r\ndelay=0\r\n' |
    cat - "$dir/files.ini" > "$dir/source/setup.ini"
  cp "$root/products/tuner/license.txt" "$dir/source/"
  local kit=("$packer" product "$dir/source/setup.ini" -C "$dir/payload" --hooks "$tree/tests/hook_unattended.dll")
  "${kit[@]}" --setup "$tree/setup/setup.exe" -o "$dir/ours" >/dev/null &&
    "${kit[@]}" --setup "$tree/setup/setup.exe" -o "$dir/ours-setup.exe" --one-file >/dev/null &&
    "${kit[@]}" --setup "$i686/setup/setup.exe" --hooks "$i686/tests/hook_unattended.dll" \
      -o "$dir/shipped-setup.exe" --one-file >/dev/null || return 1
  peer_script "$dir" "$peer_target" peer.exe && peer_script "$dir" x86-unicode peer32.exe || return 1
  payload=$(du -sb --apparent-size "$dir/payload" | cut -f1)
  echo "== $1: $(wc -l < "$dir/names.txt") files, payload $payload bytes"
  echo "our archive:    $(ratio "$(stat -c %s "$dir/ours/files.dat")" "$payload") times the payload (files.dat, $(stat -c %s "$dir/ours/files.dat") bytes)"
  echo "our one file:   $(ratio "$(stat -c %s "$dir/shipped-setup.exe")" "$payload") times the payload (i686 setup.exe and all, $(stat -c %s "$dir/shipped-setup.exe") bytes)"
  echo "peer installer: $(ratio "$(stat -c %s "$dir/peer32.exe")" "$payload") times the payload (x86 stub, $(stat -c %s "$dir/peer32.exe") bytes)"
  echo "archive ours / peer's: $(ratio "$(stat -c %s "$dir/shipped-setup.exe")" "$(stat -c %s "$dir/peer32.exe")") (both one file, 32-bit)"
}
# peer_script DIR TARGET OUT: the peer's installer of DIR's payload, default compression.
peer_script() {
  printf 'Target %s\nName "Bench"\nOutFile "%s"\nInstallDir "C:\\BenchPeer"\nRequestExecutionLevel user\nSection\n  SetOutPath $INSTDIR\n  File /r "%s/*"\nSectionEnd\n' \
    "$2" "$1/$3" "$1/payload" > "$1/$3.nsi"
  makensis -V1 "$1/$3.nsi" >/dev/null
}

for shape in incompressible real; do prepare "$shape" || fail "the $shape payload could not be prepared"; done

[ "$tree" = "$build/x86_64" ] || export E2E_WINE32=1
. "$root/tests/wine/suite.sh"
# The prefix, and with it both sides' target folders, is in memory where the machine has room for
# it: on disk, the host's writeback of each install's 200 MB, which neither installer controls,
# varied by seconds from round to round and decided the figures.
prefix_root=$work
if [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -gt $((2 * 1024 * 1024)) ]; then
  prefix_root=$(mktemp -d /dev/shm/bench-e2e.XXXXXX) || prefix_root=$work
fi
[ "$prefix_root" = "$work" ] || echo "bench: the installs write into memory ($prefix_root)"
suite_begin benche2e "$prefix_root"
finish() {
  suite_end
  [ "$prefix_root" = "$work" ] || rm -rf "$prefix_root"
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
drive_c="$WINEPREFIX/drive_c"
ARP='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bench'
now() { date +%s.%N; }
elapsed() { python3 -c "print('%.2f' % ($2 - $1))"; }

# timed COMMAND...: runs it in the current folder and prints the seconds it took. The host first
# writes back what earlier rounds left dirty, so that every install, ours or the peer's, starts
# from the same state instead of paying for the writeback of the one before.
timed() {
  local t0; sync; t0=$(now)
  "$@" >/dev/null 2>&1 || echo "bench: $* ended with status $?" >&2
  elapsed "$t0" "$(now)"
}
ours_install() { (cd "$1/ours" && timed "$WINE" setup.exe /silent '/dir=C:\BenchOurs\Bench'); }
one_file_install() { (cd "$1" && timed "$WINE" ours-setup.exe /silent '/dir=C:\BenchOurs\Bench'); }
peer_install() { timed "$WINE" "$1/peer.exe" /S '/D=C:\BenchPeer'; }
# Our uninstall from its Add/Remove command, until the second stage has ended.
ours_uninstall() {
  local command t0
  command=$("$WINE" reg query "$ARP" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  t0=$(now)
  "$WINE" $command /silent
  for _ in $(seq 1 1200); do
    pgrep -f 'setup.exe"? -u2' >/dev/null || [ -e "$drive_c/BenchOurs/Bench" ] || break
    sleep 0.05
  done
  elapsed "$t0" "$(now)"
}
# complete DIR WHERE: the payload's last file arrived whole.
complete() { cmp -s "$1/payload/$(tail -n1 "$1/names.txt" | tr -d '\r' | tr '\\' /)" "$2/$(tail -n1 "$1/names.txt" | tr -d '\r' | tr '\\' /)"; }

for shape in incompressible real; do
  dir="$work/$shape"
  [ -f "$dir/ours-setup.exe" ] || continue
  echo "== $shape: silent installs, $rounds rounds"
  ours=() peers=() ones=() removals=() ratios=() one_ratios=()
  # A first round, not counted, brings the payload and the programs into the cache for both.
  peer_install "$dir" >/dev/null; ours_install "$dir" >/dev/null; ours_uninstall >/dev/null
  rm -rf "$drive_c/BenchPeer"
  # The order alternates from round to round, so that neither side always runs first or always
  # right after an uninstall: the folder form, the peer, then the one file; then the other way.
  for ((round = 1; round <= rounds; round++)); do
    if ((round % 2)); then
      o=$(ours_install "$dir"); p=$(peer_install "$dir")
      complete "$dir" "$drive_c/BenchOurs/Bench" || fail "$shape: our install is incomplete"
      u=$(ours_uninstall)
      w=$(one_file_install "$dir")
      complete "$dir" "$drive_c/BenchOurs/Bench" || fail "$shape: the one-file install is incomplete"
      ours_uninstall >/dev/null
    else
      w=$(one_file_install "$dir")
      complete "$dir" "$drive_c/BenchOurs/Bench" || fail "$shape: the one-file install is incomplete"
      ours_uninstall >/dev/null
      p=$(peer_install "$dir"); o=$(ours_install "$dir")
      complete "$dir" "$drive_c/BenchOurs/Bench" || fail "$shape: our install is incomplete"
      u=$(ours_uninstall)
    fi
    complete "$dir" "$drive_c/BenchPeer" || fail "$shape: the peer's install is incomplete"
    rm -rf "$drive_c/BenchPeer"
    echo "round $round: ours $o s, peer $p s, our one file $w s, our uninstall $u s"
    ours+=("$o"); peers+=("$p"); ones+=("$w"); removals+=("$u")
    ratios+=("$(python3 -c "print('%.3f' % ($p / $o))")"); one_ratios+=("$(python3 -c "print('%.3f' % ($w / $o))")")
  done
  python3 - "$(basename "$tree")" "${ours[*]}" "${peers[*]}" "${ones[*]}" "${removals[*]}" "${ratios[*]}" "${one_ratios[*]}" <<'PY'
import statistics, sys
build = sys.argv[1]
ours, peers, ones, removals, ratios, one_ratios = ([float(x) for x in arg.split()] for arg in sys.argv[2:])
print("our silent install (%s): median %.2f s" % (build, statistics.median(ours)))
print("peer silent install:         median %.2f s" % statistics.median(peers))
print("our one-file install:        median %.2f s" % statistics.median(ones))
print("our uninstall (Add/Remove):  median %.2f s" % statistics.median(removals))
print("ratio peer time / our time: %.2f (median of %d rounds, spread %.2f to %.2f)"
      % (statistics.median(ratios), len(ratios), min(ratios), max(ratios)))
print("ratio one-file time / folder time: %.2f (median, spread %.2f to %.2f)"
      % (statistics.median(one_ratios), min(one_ratios), max(one_ratios)))
PY
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "bench: ${#failed[@]} problem(s): ${failed[*]}"
  exit 1
fi
