#!/usr/bin/env bash
# Archives made by the packer, read back by setup's reader under Wine: filesdat.exe (and the
# native filesdat when the host tree is built) packs a set of files, install_tests.exe extracts
# every member with FilesDat and compares it byte by byte. filesdat.exe's own extract, verify,
# failure clean-up and refusal of hostile member names are checked on the Windows side too.
set -u
E2E_BUILD=$(cd "$1" && pwd)
SRC=$(cd "$2" && pwd)
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
PACKER="$E2E_BUILD/tools/filesdat.exe"
READER="$E2E_BUILD/tests/install_tests.exe"
NATIVE="$E2E_BUILD/../host/tools/filesdat"
TOOL="python3 $SRC/tests/host/files_dat_tool.py"
for need in "$PACKER" "$READER"; do
  [ -f "$need" ] || { echo "missing $need: build the x86_64 tree first"; exit 1; }
done

suite_begin files_dat "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-files_dat"
rm -rf "$work"
mkdir -p "$work/src/sub"
cd "$work" || exit 1

# packer ARGS...: filesdat.exe under Wine in the work folder; stdout without CRs, stderr in err.txt.
packer() { "$WINE" "$PACKER" "$@" 2>err.txt | tr -d '\r'; return "${PIPESTATUS[0]}"; }
fails() { ! "$@" >/dev/null; }

head -c 300000 /dev/urandom >src/random.bin
head -c 65535 /dev/urandom >src/b65535.bin
head -c 65536 /dev/urandom >src/b65536.bin
head -c 65537 /dev/urandom >src/b65537.bin
printf 'x' >src/one.txt
: >src/empty.txt
printf 'Readme of the packed product.\r\n' >src/sub/readme.txt
names='random.bin b65535.bin b65536.bin b65537.bin one.txt empty.txt sub\readme.txt'
printf '%s\n' $names >names.txt

# ---- pack with the Windows build of the packer (and the native one when it is there)
# shellcheck disable=SC2086
check "filesdat.exe packs the files" packer create packed-win.dat -C src $names
# shellcheck disable=SC2086
check "filesdat.exe packs with 1-byte blocks" packer create packed-win-b1.dat -C src -b 1 $names
# shellcheck disable=SC2086
check "filesdat.exe packs today's format with --store" packer create packed-win-stored.dat -C src --store $names
check "--store compresses nothing" test "$(stat -c %s packed-win-stored.dat)" -gt $((2 * 300000))
# shellcheck disable=SC2086
check "filesdat.exe packs deflate members" packer create packed-win-deflate.dat -C src --compress=deflate $names
# shellcheck disable=SC2086
check "filesdat.exe packs LZMA groups of 4 KiB" packer create packed-win-groups.dat -C src --group-size=4K $names
printf '%s\n' packed-win.dat packed-win-b1.dat packed-win-stored.dat packed-win-deflate.dat packed-win-groups.dat >archives.txt
if [ -x "$NATIVE" ]; then
  # shellcheck disable=SC2046
  check "native filesdat packs the files" "$NATIVE" create packed-native.dat -C src -b 4096 $(echo "$names" | tr '\\' '/')
  echo packed-native.dat >>archives.txt
fi

# ---- setup's reader extracts every member of every archive byte-exact
ZINDLE_PACKED_DIR=$(winpath "$work") "$WINE" "$READER" --gtest_filter='FilesDatPackedTest.*' 2>&1 | tr -d '\r' >reader.txt
check "FilesDat reads the packer's archives back byte-exact" grep -q '^\[  PASSED  \] 1 test' reader.txt
check "the reader test ran (not skipped)" fails grep -q 'SKIPPED' reader.txt
grep -E 'Failure|Expected|Which is|differ' reader.txt | head -20

# ---- filesdat.exe on its own archives: list, verify, extract
check "filesdat.exe verifies its archive" packer verify packed-win.dat
check_eq "filesdat.exe lists the sub-folder member" "        31  sub\\readme.txt" "$(packer list packed-win.dat | grep readme)"
check "filesdat.exe extracts" packer extract packed-win.dat -C out
for name in $names; do
  unix=$(echo "$name" | tr '\\' '/')
  check "filesdat.exe extract of $name byte-exact" cmp -s "src/$unix" "out/$unix"
done
# shellcheck disable=SC2086
check "filesdat.exe replaces an existing archive" packer create packed-win.dat -C src $names
check "replaced archive verifies" packer verify packed-win.dat

# ---- failures leave nothing behind, damage and hostile names are refused
check "missing input fails" fails packer create bad.dat -C src one.txt missing.txt
check "missing input is named" grep -q 'missing.txt' err.txt
check "no archive or temporary file after a failure" test -z "$(find . -name 'bad.dat*')"
$TOOL craft offset-past-end damaged.dat
check "damaged archive fails verify" fails packer verify damaged.dat
check "damage is described" grep -q 'runs past the end' err.txt

mkdir -p hostile/out
$TOOL craft hostile hostile/h.dat "$work/hostile"
check "hostile names: extract fails" fails packer extract hostile/h.dat -C hostile/out
check_eq "hostile names: eight refused" 8 "$(grep -c 'refusing member' err.txt)"
check_eq "hostile names: only the good member written" "./h.dat ./out ./out/good ./out/good/ok.txt" \
  "$(cd hostile && find . -mindepth 1 | sort | tr '\n' ' ' | sed 's/ $//')"
check "hostile names: nothing written on drive C: or next to the work folder" \
  test -z "$(find "$WINEPREFIX/drive_c" "$work" -name 'evil*' -o -name 'abs*' 2>/dev/null)"

e2e_summary
