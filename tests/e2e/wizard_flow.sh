#!/usr/bin/env bash
# The wizard as a person drives it, under Wine: Back keeps values, Cancel asks and ends with
# nothing installed, a bad directory is refused, a hook library that skips pages installs
# unattended, a resource library replaces pages and texts, and installing over an installed
# product offers to replace it and runs the old uninstaller.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin wizardflow "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-wizardflow"
rm -rf "$work"; mkdir -p "$work"
ARP='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Flow Test'
TARGET_UNIX="$WINEPREFIX/drive_c/FlowTest/Flow Test"

# product NAME HOOK [EXTRA_INI]: a small product folder with a loose file and an uninstall shortcut.
product() {
  local dir="$work/$1"
  test_product "$dir" "$2" '[PRODUCTNAME]' 'name=Flow Test' '[DEFAULTDIR]' 'dir=FlowTest' '[FILES]' 'total=1' \
    'filesrc0=readme.txt' 'filedst0=readme.txt' '[STARTMENU ENTRIES]' 'basepath=Flow Test' 'total=1' 'path0=Flow Test' \
    'name0=Uninstall Flow Test' 'prog0=%1' '[COPYDELAY]' 'delay=0'
  printf '%s' "${3:-}" >> "$dir/setup.ini"
  printf 'read me\r\n' > "$dir/readme.txt"
  echo "$dir"
}
BASE_HOOK="$E2E_BUILD/tests/hook_unattended.dll"
SAMPLE_HOOK="$E2E_BUILD/products/dsetup.dll"

page() { driver wait "$1" "${2:-*}" "${3:-0}" "${4:-20000}" >/dev/null; }
nothing_installed() { [ ! -e "$TARGET_UNIX" ] && [ -z "$(reg_value "$ARP" UninstallString)" ]; }

# 1. Back from every page returns to the page before, with what was chosen kept.
dir=$(product back "$SAMPLE_HOOK")
start_in "$dir" setup.exe; pid=$!
check "welcome" page "Welcome to Flow Test!"
page "Welcome to Flow Test!" "*" 1
check "licence" page "End-User License Agreement"
page "End-User License Agreement" "*" 1
check "directory" page "Select Install Directory"
driver settext "Select Install Directory" 301 'C:\FlowTest\Chosen' >/dev/null
page "Select Install Directory" "*" 1
check "start menu" page "Select Start Menu Folder"
driver settext "Select Start Menu Folder" 301 'Flow Folder' >/dev/null
page "Select Start Menu Folder" "*" 1
check "ready shows the choices" page "Ready To Install" 'C:\FlowTest\Chosen'
page "Ready To Install" "*" 4
check_eq "back to start menu keeps the folder" "Flow Folder" "$(driver gettext "Select Start Menu Folder" 301)"
page "Select Start Menu Folder" "*" 4
check_eq "back to directory keeps the directory" 'C:\FlowTest\Chosen' "$(driver gettext "Select Install Directory" 301)"
page "Select Install Directory" "*" 4
check "back to licence" page "End-User License Agreement"
page "End-User License Agreement" "*" 4
check "back to welcome" page "Welcome to Flow Test!"
page "Welcome to Flow Test!" "*" 1
page "End-User License Agreement" "*" 1
page "Select Install Directory" "*" 1
page "Select Start Menu Folder" "*" 1
page "Ready To Install" "*" 1
check "complete after going back and forth" page "Installation Complete!" "*" 1 60000
wait $pid; check_eq "exit status of a completed install" 0 $?
check "installed into the chosen directory" test -f "$WINEPREFIX/drive_c/FlowTest/Chosen/readme.txt"
check_eq "uninstall command names the chosen directory" 'C:\FlowTest\Chosen\setup.exe -u1 "Flow Test" 0' \
  "$(reg_value "$ARP" UninstallString)"
check "uninstall shortcut in the chosen folder" \
  test -n "$(find "$WINEPREFIX/drive_c" -path "$(programs_glob)/Flow Folder/Uninstall Flow Test.lnk")"
"$WINE" reg delete "$ARP" /f >/dev/null 2>&1
"$WINE" reg delete 'HKLM\Software\Quorvane\Flow Test' /f >/dev/null 2>&1
rm -rf "$WINEPREFIX/drive_c/FlowTest"

# 2. Cancel on every page asks; No keeps the page, Yes ends setup with nothing installed.
titles=("Welcome to Flow Test!" "End-User License Agreement" "Select Install Directory" "Select Start Menu Folder" "Ready To Install")
for k in 0 1 2 3 4; do
  dir=$(product "cancel$k" "$SAMPLE_HOOK")
  start_in "$dir" setup.exe; pid=$!
  for ((i = 0; i < k; i++)); do page "${titles[$i]}" "*" 1; done
  page "${titles[$k]}" "*" 2
  check "cancel question on page $k" page "Setup not complete" "Are you sure you want to exit Setup" 7
  check "page $k stays after No" page "${titles[$k]}"
  page "${titles[$k]}" "*" 2
  page "Setup not complete" "*" 6
  wait $pid; check_eq "exit status after cancel on page $k" 1 $?
  check "nothing installed after cancel on page $k" nothing_installed
done

# 3. A directory the page must refuse keeps Next disabled; a good one enables it.
dir=$(product baddir "$SAMPLE_HOOK")
start_in "$dir" setup.exe; pid=$!
page "Welcome to Flow Test!" "*" 1
page "End-User License Agreement" "*" 1
page "Select Install Directory"
for bad in 'C:\' 'C:\a|b' 'C:\ends\' 'C:\space \x' 'C:\a,b' 'Q:\nodrive'; do
  driver settext "Select Install Directory" 301 "$bad" >/dev/null
  check_eq "Next disabled for [$bad]" 0 "$(driver enabled "Select Install Directory" 1)"
done
driver settext "Select Install Directory" 301 'C:\FlowTest\Good' >/dev/null
check_eq "Next enabled for a good directory" 1 "$(driver enabled "Select Install Directory" 1)"
page "Select Install Directory" "*" 2
page "Setup not complete" "*" 6
wait $pid

# 4. A hook library that skips every page installs without a window.
dir=$(product unattended "$BASE_HOOK")
(cd "$dir" && timeout 120 "$WINE" setup.exe); check_eq "unattended install exit status" 0 $?
check "unattended install copied the file" test -f "$TARGET_UNIX/readme.txt"
check "unattended install copied setup" test -f "$TARGET_UNIX/setup.exe"
check_eq "unattended install registered" 'C:\FlowTest\Flow Test\setup.exe -u1 "Flow Test" 0' \
  "$(reg_value "$ARP" UninstallString)"

# 5. Installing over it offers "Previous Version Detected"; Replace runs the old uninstaller.
dir=$(product again "$SAMPLE_HOOK")
start_in "$dir" setup.exe; pid=$!
check "previous version page" page "Previous Version Detected" "A version of Flow Test already exists" 1 30000
check "wizard after replacing" page "Welcome to Flow Test!" "*" 0 60000
page "Welcome to Flow Test!" "*" 2
page "Setup not complete" "*" 6
wait $pid
"$WINESERVER" -w
check "old installation removed by its uninstaller" test ! -e "$TARGET_UNIX/readme.txt"
check "old record gone after replacing" test -z "$(reg_value 'HKLM\Software\Quorvane\Flow Test\uninstall' filetotal)"

# 6. A resource library named by the script replaces pages and strings.
dir=$(product resources "$SAMPLE_HOOK" $'[RESOURCES]\r\ndllname=custom.dll\r\n')
cp "$E2E_BUILD/tests/custom_resources.dll" "$dir/custom.dll"
start_in "$dir" setup.exe; pid=$!
check "welcome title from the resource library" page "Custom welcome to Flow Test" "from the product's resource library"
page "Custom welcome to Flow Test" "*" 2
page "Setup not complete" "*" 6
wait $pid

# 7. Replacing a previous version of many files: the copy, which starts at once because every
#    page is skipped, waits until the old uninstaller's second stage has finished deleting (it
#    first spends a few seconds in its UninstallCreate hook).
many() {  # many NAME CONTENT: 300 loose files; the hook library skips every page but Previous
  local dir="$work/$1" i
  test_product "$dir" "$BASE_HOOK"; : > "$dir/replace.txt"
  { printf '[PRODUCTNAME]\r\nname=Flow Test\r\n[DEFAULTDIR]\r\ndir=FlowTest\r\n[COPYDELAY]\r\ndelay=0\r\n'
    printf '[FILES]\r\ntotal=300\r\n'
    for ((i = 0; i < 300; i++)); do
      printf 'filesrc%d=f%03d.txt\r\nfiledst%d=f%03d.txt\r\n' $i $i $i $i
      printf '%s\n' "$2" > "$dir/$(printf f%03d.txt $i)"
    done; } > "$dir/setup.ini"
  echo "$dir"
}
dir=$(many race-old old)
printf 'filesrc300=slow_uninstall.txt\r\nfiledst300=slow_uninstall.txt\r\n' >> "$dir/setup.ini"
sed -i 's/^total=300/total=301/' "$dir/setup.ini"; : > "$dir/slow_uninstall.txt"
(cd "$dir" && timeout 120 "$WINE" setup.exe); check_eq "old version of many files installed" 0 $?
dir=$(many race-new new)
(cd "$dir" && exec timeout 300 "$WINE" setup.exe) & pid=$!
check "replacing many files asks first" page "Previous Version Detected" "*" 1 30000
wait $pid; check_eq "new version installed over the old" 0 $?
"$WINESERVER" -w
check_eq "every new file present after the old uninstall" 300 "$(grep -lx new "$TARGET_UNIX"/f*.txt 2>/dev/null | wc -l)"

# 8. A first uninstall stage whose temporary folder is unusable says so and removes nothing.
"$WINE" reg add 'HKCU\Environment' /v TEMP /d 'C:\no such folder' /f >/dev/null 2>&1
"$WINE" reg add 'HKCU\Environment' /v TMP /d 'C:\no such folder' /f >/dev/null 2>&1
(cd "$TARGET_UNIX" && exec timeout 120 "$WINE" setup.exe -u1 "Flow Test" 1) & pid=$!
check "unusable temporary folder reported" page "Setup Failed" 'C:\no such folder' 1 30000
wait $pid; check_eq "exit status of a first stage that cannot hand over" 2 $?
check "nothing removed" test -f "$TARGET_UNIX/f000.txt"
check "Add/Remove entry kept" reg_has "$ARP" UninstallString

e2e_summary
