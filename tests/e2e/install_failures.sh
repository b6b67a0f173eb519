#!/usr/bin/env bash
# Installations that meet a failure, under Wine. A copy that fails once and is rescued by the
# shipped hook library's Retry still uninstalls without a trace. A directory blocked by a file and
# a full disk each end setup with exit status 2 after one warning naming the path and the reason.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
work="$E2E_BUILD/tests/e2e-install-failures"
disk="$work/disk"
mountpoint -q "$disk" 2>/dev/null && umount "$disk"
suite_begin install_failures "$E2E_BUILD/tests"
trap 'suite_end; if mountpoint -q "$disk"; then umount "$disk" || umount -l "$disk"; fi' EXIT
rm -rf "$work"; mkdir -p "$work/product/Help" "$work/unattended" "$disk"

# 1. The shipped product, every file loose. Another program holds tuner.exe, so its copy fails;
# the holder ends while the hook's box is up, and Retry copies the file.
cp "$E2E_BUILD/setup/setup.exe" "$E2E_BUILD/products/dsetup.dll" "$E2E_BUILD/tuner/tuner.exe" \
   "$SRC/products/tuner/setup.ini" "$SRC/products/tuner/license.txt" "$work/product/"
cp "$SRC/products/tuner/Help/index.htm" "$work/product/Help/"
start_in "$work/product" "$E2E_BUILD/tests/hold_file.exe" tuner.exe no-event 600; holder=$!
sleep 2
start_in "$work/product" setup.exe; pid=$!
for page in "Welcome to Skellan!" "End-User License Agreement" "Select Install Directory" \
            "Select Start Menu Folder" "Ready To Install"; do
  driver wait "$page" "*" 1 60000 >/dev/null
done
check "copy failure offered" driver wait "Skellan" "could not be copied" 0 60000 >/dev/null
kill "$holder"; wait "$holder" 2>/dev/null; sleep 1
driver wait "Skellan" "could not be copied" 4 >/dev/null
check "complete page" driver wait "Installation Complete!" "*" 1 120000 >/dev/null
wait $pid; check_eq "exit status after the rescued copy" 0 $?
start_in "$work" "$E2E_BUILD/tests/run_registered.exe" Skellan >/dev/null
driver wait "Verify Uninstall" "Skellan" 6 60000 >/dev/null
for _ in $(seq 1 120); do [ "$(driver enabled Uninstalling 1)" = 1 ] && break; sleep 1; done
check "uninstall removed everything" driver wait "Uninstalling" "Uninstall has completed successfuly" 1 >/dev/null
check "uninstaller ended" driver gone "Uninstalling" 30000
check "the rescued tuner.exe and its folders are gone" test ! -e "$WINEPREFIX/drive_c/Program Files/Quorvane"

# 2. and 3. A hook library that answers every page and passes over files it cannot copy;
# target.txt names the install directory.
test_product "$work/unattended" "$E2E_BUILD/tests/hook_unattended.dll" '[PRODUCTNAME]' 'name=Failing' '[FILES]' \
  'total=1' 'filesrc0=readme.txt' 'filedst0=readme.txt'
: > "$work/unattended/skip_failed_copies.txt"
printf 'read me\r\n' > "$work/unattended/readme.txt"
install_fails() {  # install_fails NAME TARGET SHOWN_PATH [undone]: the last when the run is undone
  printf '%s' "$2" > "$work/unattended/target.txt"
  (cd "$work/unattended" && exec timeout 120 "$WINE" setup.exe) & local run=$! box
  box=$(driver wait "Setup Failed" "*" 1 60000 | tr '\n' ' ')
  check "$1: warning names $3" grep -qF " $3 " <<<"$box"
  check "$1: warning gives the system's reason" grep -qE 'has been stopped\.  [A-Za-z]' <<<"$box"
  check "$1: only one warning" driver gone "Setup Failed" 5000
  [ -n "${4:-}" ] && check "$1: undone" driver wait "Installation Undone" "*" 1 30000 >/dev/null
  wait $run; check_eq "$1: exit status" 2 $?
}
: > "$WINEPREFIX/drive_c/Blocked"
install_fails "blocked directory" 'C:\Blocked\Product' 'C:\Blocked\Product'
# A size-limited folder filled to its last block, mapped as drive F:.
if mount -t tmpfs -o size=256k tmpfs "$disk" 2>"$work/mount.log"; then
  head -c 1M /dev/zero > "$disk/filler" 2>/dev/null
  ln -sfn "$disk" "$WINEPREFIX/dosdevices/f:"
  install_fails "full disk" 'F:\Product' 'F:\Product\package.dat' undone
else
  echo "full-disk case skipped: a size-limited folder cannot be mounted here ($(head -n1 "$work/mount.log"))"
fi
e2e_summary
