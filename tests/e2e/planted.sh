#!/usr/bin/env bash
# What another account may write is never obeyed: the shipped product installed and removed under
# Wine while files planted in the shared places wait for it. Each attack must leave everything
# outside the product as it was, and setup must still do its own job.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin planted "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-planted"
rm -rf "$work"
shipped_product "$work" || exit 1
drive_c="$WINEPREFIX/drive_c"
temp=$("$WINE" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp_unix=$("$WINE" winepath -u "$temp" 2>/dev/null | tr -d '\r')
mkdir -p "$temp_unix"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
sums() { md5sum "$drive_c/windows/win.ini" "$drive_c/windows/system.ini"; }
# journal PRODUCT ENTRIES: a rollback journal as setup writes it, into the Windows folder.
journal() {
  python3 - "$drive_c/windows" "$1" "$2" <<'EOF'
import os, sys
sys.path.insert(0, os.environ['SRC'] + '/tests/robustness')
import inputs
folder, product, entries = sys.argv[1], sys.argv[2], eval(sys.argv[3])
open(os.path.join(folder, inputs.journal_name(product)), 'wb').write(inputs.journal(product, entries))
EOF
}
export SRC

# 1. A journal planted under the product's journal name, naming files and a value outside the
# product and a path that climbs out of it: the next install passes over all of them.
printf 'planted' > "$temp_unix/evil.ini"
before=$(sums)
journal Skellan "[(0, r'C:\\windows\\win.ini'), (1, r'C:\\windows\\system.ini', r'$temp\\evil.ini'),
  (0, r'C:\\Planted\\Skellan\\..\\..\\windows\\win.ini'),
  (4, r'Software\\Microsoft\\Windows\\CurrentVersion\\Run', 'planted', 'HKLM', 1, 1, b'C:\\\\evil.exe\\0')]"
(cd "$work/product" && timeout 180 "$WINE" setup.exe /silent '/dir=C:\Planted\Skellan' '/log=C:\planted.log')
check_eq "install beside a planted journal: exit status" 0 $?
check_eq "win.ini and system.ini untouched" "$before" "$(sums)"
check_eq "no value planted in the Run key" "" "$(reg_value "$run_key" planted)"
check "the product is installed" cmp -s "$work/payload/tuner.exe" "$drive_c/Planted/Skellan/tuner.exe"
check "each foreign entry is logged as ignored" test "$(tr -d '\r' < "$drive_c/planted.log" | grep -c 'ignored, not a change of this product')" = 4
check "the planted copy stays where it was" test -f "$temp_unix/evil.ini"

# 2. A hook library planted in the temporary folder and held open by another process: the
# uninstall never loads it (it would crash in UninstallCreate and leave its mark) and removes the
# product from a private folder of its own, which is gone after the restart.
cp "$E2E_BUILD/tests/hook_unattended.dll" "$temp_unix/dsetup.dll"
printf 'UninstallCreate crash 1' > "$temp_unix/fault.txt"
start_in "$work" "$E2E_BUILD/tests/hold_file.exe" "$temp\\dsetup.dll" no-event 120; holder=$!
for _ in $(seq 1 30); do  # held once a write to it is refused
  "$WINE" cmd /c "echo x>>\"$temp\\dsetup.dll\"" >/dev/null 2>&1 || break
done
(cd "$drive_c/Planted/Skellan" && timeout 60 "$WINE" setup.exe -u1 Skellan 0 /silent '/log=C:\uninstall.log')
check_eq "first stage exit status" 0 $?
for _ in $(seq 1 60); do
  grep -qE "uninstall: (everything was removed|some items could not be removed)" "$drive_c/uninstall.log" && break
  sleep 1
done
check "the planted hook library was not loaded" test ! -e "$temp_unix/fault-hit.txt"
check "the uninstall removed the product" test ! -e "$drive_c/Planted/Skellan"
check "uninstall log says everything was removed" grep -q "uninstall: everything was removed" "$drive_c/uninstall.log"
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null
check "the planted library is as it was" cmp -s <(head -c "$(stat -c %s "$E2E_BUILD/tests/hook_unattended.dll")" \
  "$temp_unix/dsetup.dll") "$E2E_BUILD/tests/hook_unattended.dll"
"$WINESERVER" -w
"$WINESERVER" -k
"$WINE" cmd /c exit >/dev/null 2>&1  # a new session carries out what was scheduled for the restart
"$WINESERVER" -w
check "the private folder is gone after the restart" test -z "$(find "$temp_unix" -maxdepth 1 -name 'zindle-*')"
rm -f "$temp_unix/dsetup.dll" "$temp_unix/fault.txt"

# 3. A kept copy of a replaced file does not lie in the temporary folder, where another account
# could replace it between the move and the undo: every file that appears there while a killed
# install is waiting to be undone is overwritten, and the undo still puts back the file as it was.
cp "$E2E_BUILD/tests/hook_unattended.dll" "$work/product/dsetup.dll"
mkdir -p "$drive_c/Kept/Skellan"
printf 'old tuner' > "$drive_c/Kept/Skellan/tuner.exe"
find "$temp_unix" -type f | sort > "$work/temp.before"
printf 'CopyAfter kill 1' > "$work/product/fault.txt"
(cd "$work/product" && timeout 180 "$WINE" setup.exe /silent '/dir=C:\Kept\Skellan')
check_eq "the install was killed" 9 $?
while IFS= read -r planted; do printf 'planted' > "$planted"; done < <(find "$temp_unix" -type f | sort | comm -13 "$work/temp.before" -)
printf 'CopyFileAfter cancel 1' > "$work/product/fault.txt"
(cd "$work/product" && timeout 180 "$WINE" setup.exe /silent '/dir=C:\Kept\Skellan')
check_eq "the next install, cancelled, exit status" 2 $?
check_eq "the replaced file is back as it was" "old tuner" "$(cat "$drive_c/Kept/Skellan/tuner.exe")"
check_eq "nothing else is left in its folder" "tuner.exe" "$(ls "$drive_c/Kept/Skellan")"
check_eq "no journal is left" "" "$(ls "$drive_c/windows" | grep '^zindle-.*\.jnl$')"
e2e_summary
