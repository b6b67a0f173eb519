#!/usr/bin/env bash
# End-to-end benchmark (not a test): the shipped i686 setup.exe against a peer installer made by
# Debian's nsis package (makensis, default compression), both installing the same 1,000 files of
# incompressible data silently in one 32-bit prefix (ours with /silent and /dir=, the peer with
# /S and /D=); then our silent uninstall through its Add/Remove command. The peer is a reference for the benchmark
# only. Each round runs both installs back to back, taking turns to go first; the figure is the
# median of the rounds' ratios, "ratio peer time / our time" (1.0 or more: ours is as fast).
# Environment: BENCH_BUILD (default build/), BENCH_WORK, BENCH_ROUNDS (default 5), BENCH_KEEP.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BENCH_BUILD:-$root/build}
work=${BENCH_WORK:-$build/bench-e2e}
rounds=${BENCH_ROUNDS:-5}
packer=$build/host/tools/filesdat
i686=$build/i686

command -v makensis >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq nsis >/dev/null 2>&1 || true
command -v makensis >/dev/null || { echo "bench: makensis (Debian's nsis) is not available"; exit 1; }
for f in "$i686/setup/setup.exe" "$i686/tests/hook_unattended.dll" "$i686/tests/dialog_driver.exe" "$packer"; do
  [ -f "$f" ] || { echo "bench: missing $f (make build)"; exit 1; }
done

rm -rf "$work"; mkdir -p "$work/payload" "$work/ours" "$work/peer"
python3 "$root/bench/make_payload.py" "$work/payload" "$work/ours/files.ini" 1000 $((197 * 1024 * 1024)) 10 400
printf '[PRODUCTNAME]\r\nname=Bench\r\n[DEFAULTDIR]\r\ndir=BenchOurs\r\n[COPYDELAY]\r\ndelay=0\r\n' |
  cat - "$work/ours/files.ini" > "$work/ours/setup.ini"
rm "$work/ours/files.ini" "$work/ours/names.txt"
"$packer" create "$work/ours/files.dat" -C "$work/payload" --script "$work/ours/setup.ini" >/dev/null
cp "$i686/setup/setup.exe" "$root/products/tuner/license.txt" "$work/ours/"
cp "$i686/tests/hook_unattended.dll" "$work/ours/dsetup.dll"
printf 'Name "Bench"\nOutFile "%s"\nInstallDir "C:\\BenchPeer"\nRequestExecutionLevel user\nSection\n  SetOutPath $INSTDIR\n  File "%s/*.bin"\nSectionEnd\n' \
  "$work/peer/peer.exe" "$work/payload" > "$work/peer/peer.nsi"
makensis -V1 "$work/peer/peer.nsi" >/dev/null

export E2E_WINE32=1
. "$root/tests/wine/suite.sh"
suite_begin benche2e "$work"
finish() {
  suite_end
  [ -n "${BENCH_KEEP:-}" ] || rm -rf "$work"
}
trap finish EXIT
drive_c="$WINEPREFIX/drive_c"
ARP='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bench'
now() { date +%s.%N; }
elapsed() { python3 -c "print('%.2f' % ($2 - $1))"; }

ours_install() {
  local t0; t0=$(now)
  (cd "$work/ours" && "$WINE" setup.exe /silent '/dir=C:\BenchOurs\Bench') || echo "bench: our install failed" >&2
  elapsed "$t0" "$(now)"
}
peer_install() {
  local t0; t0=$(now)
  "$WINE" "$work/peer/peer.exe" /S '/D=C:\BenchPeer' || echo "bench: the peer's install failed" >&2
  elapsed "$t0" "$(now)"
}
# Our uninstall from its Add/Remove command, until the second stage has ended.
ours_uninstall() {
  local command t0
  command=$("$WINE" reg query "$ARP" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ *//p')
  t0=$(now)
  "$WINE" $command /silent
  while pgrep -f 'setup.exe -u2' >/dev/null || [ -e "$drive_c/BenchOurs/Bench" ]; do sleep 0.05; done
  elapsed "$t0" "$(now)"
}

ratios=() ours=() peers=() removals=()
for ((round = 1; round <= rounds; round++)); do
  if ((round % 2)); then o=$(ours_install); p=$(peer_install); else p=$(peer_install); o=$(ours_install); fi
  cmp -s "$work/payload/file00999.bin" "$drive_c/BenchOurs/Bench/file00999.bin" || echo "bench: our install is incomplete"
  cmp -s "$work/payload/file00999.bin" "$drive_c/BenchPeer/file00999.bin" || echo "bench: the peer's install is incomplete"
  u=$(ours_uninstall)
  rm -rf "$drive_c/BenchPeer"
  echo "round $round: ours $o s, peer $p s, our uninstall $u s"
  ours+=("$o"); peers+=("$p"); removals+=("$u"); ratios+=("$(python3 -c "print('%.3f' % ($p / $o))")")
done
python3 - "${ours[*]}" "${peers[*]}" "${removals[*]}" "${ratios[*]}" <<'PY'
import statistics, sys
ours, peers, removals, ratios = ([float(x) for x in arg.split()] for arg in sys.argv[1:])
print("our silent install (i686):   median %.2f s" % statistics.median(ours))
print("peer silent install:         median %.2f s" % statistics.median(peers))
print("our uninstall (Add/Remove):  median %.2f s" % statistics.median(removals))
print("ratio peer time / our time: %.2f (median of %d rounds, spread %.2f to %.2f)"
      % (statistics.median(ratios), len(ratios), min(ratios), max(ratios)))
PY
