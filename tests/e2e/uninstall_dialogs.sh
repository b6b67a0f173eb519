#!/usr/bin/env bash
# The uninstall as a person meets it, under Wine: declining removes nothing; the Uninstalling
# dialog shows its lines in order, ignores Escape while it works and ends with its outcome; a
# file that another program holds open is listed in Details and goes at the next restart; a
# resource library named on the -u1 command line reaches the second stage.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin uninstdialogs "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-uninstdialogs"
rm -rf "$work"; mkdir -p "$work"
ARP='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dialog Test'
target="$WINEPREFIX/drive_c/DialogTest/Dialog Test"
page() { driver wait "$1" "${2:-*}" "${3:-0}" "${4:-20000}" >/dev/null; }
uninstall() { (cd "$target" && exec timeout 120 "$WINE" setup.exe -u1 "Dialog Test" 0 "$@") & pid=$!; }

# Installed without pages; its uninstall then runs with the sample hook library, which shows
# every uninstall dialog. custom.dll reaches the second stage's folder through package.dat.
dir="$work/product"
test_product "$dir" "$E2E_BUILD/tests/hook_unattended.dll" '[PRODUCTNAME]' 'name=Dialog Test' '[DEFAULTDIR]' \
  'dir=DialogTest' '[COPYDELAY]' 'delay=0' '[FILES]' 'total=2' 'filesrc0=a.txt' 'filedst0=a.txt' 'filesrc1=held.txt' \
  'filedst1=held.txt' '[DEPEND]' 'total=1' 'depend0=custom.dll'
cp "$E2E_BUILD/tests/custom_resources.dll" "$dir/custom.dll"
printf 'one\r\n' > "$dir/a.txt"; printf 'held\r\n' > "$dir/held.txt"
install() {
  (cd "$dir" && timeout 120 "$WINE" setup.exe); check_eq "product installed" 0 $?
  cp "$E2E_BUILD/products/dsetup.dll" "$target/dsetup.dll"
}
install

uninstall
check "confirmation asked" page "Verify Uninstall" "Are you sure you want to remove Dialog Test" 7
wait $pid; check_eq "declining ends with status 1" 1 $?
check "declining removes nothing" test -f "$target/a.txt"
check "declining keeps the Add/Remove entry" reg_has "$ARP" UninstallString

"$WINE" "$E2E_BUILD/tests/hold_file.exe" 'C:\DialogTest\Dialog Test\held.txt' no-event 60 & holder=$!
sleep 2
uninstall
page "Verify Uninstall" "*" 6
page "Uninstalling" "Please wait while Dialog Test is uninstalled" 0 30000
driver wait "Uninstalling" "*" 2 >/dev/null
check "outcome shown after Escape" page "Uninstalling" "Some items could not be removed" 0 60000
check_eq "progress lines in order" "Removing Program Files...|Removing Start Menu Items...|Removing File Associations...|Removing Directories...|Removing Registry Entries...|Process Complete." \
  "$(driver items "Uninstalling" 302 | paste -sd '|')"
shot setup_uninstalling 546x340+239+214
page "Uninstalling" "*" 4
check_eq "Details lists the held file" 'Failed to remove the file :|C:\DialogTest\Dialog Test\held.txt' \
  "$(driver items "Details" 301 | head -2 | paste -sd '|')"
shot setup_details 546x340+239+214
page "Details" "*" 1
page "Uninstalling" "*" 1
wait $pid; check_eq "uninstall exit status" 0 $?
kill $holder 2>/dev/null; wait $holder 2>/dev/null
check "other files removed" test ! -e "$target/a.txt"
check "held file scheduled for the restart" renames_pending 'DialogTest.*held.txt'

install
uninstall custom.dll
page "Verify Uninstall" "*" 6
check "the resource library's text in the second stage" page "Uninstalling" "Custom: please wait while Dialog Test goes." 0 30000
page "Uninstalling" "Uninstall has completed" 1 60000
wait $pid; check_eq "uninstall with a resource library" 0 $?
e2e_summary
