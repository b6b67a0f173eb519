#!/usr/bin/env bash
# The shipped product from end to end under Wine: pack files.dat, click through every wizard
# page, check the installed product, uninstall it through its Add/Remove Programs command and
# prove from registry and file snapshots that only the documented traces are left. Its script
# gets two more registry entries: a value in a key another program holds a value in, and a value
# in keys that only the installation makes.
# SCREENSHOTS=DIR saves a picture of every page there.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin roundtrip "$E2E_BUILD/tests"
trap suite_end EXIT
# One Wine session until the simulated restart: a session that ends on its own would run the
# restart's scheduled deletions early.
"$WINESERVER" -p
work="$E2E_BUILD/tests/e2e-roundtrip"
rm -rf "$work"; mkdir -p "$work/snap"

# The product folder as a product maker ships it, its script with two more entries.
check "files.dat packed" shipped_product "$work"
extra_entries='base2=HKEY_CURRENT_USER
key2=Software\Microsoft\Windows\CurrentVersion\Run
name2=Skellan
type2=s
value2=%1
base3=HKEY_CURRENT_USER
key3=Software\Quorvane\Skellan\Prefs
name3=Mode
type3=d
value3=1'
EXTRA="$extra_entries" awk '/^\[/ { section = $0 }
  section ~ /^\[REGISTRY ENTRIES\]/ && /^total=2\r?$/ { $0 = "total=4\n" ENVIRON["EXTRA"]; gsub(/\n/, "\r\n"); sub(/$/, "\r") }
  { print }' "$SRC/products/tuner/setup.ini" > "$work/product/setup.ini"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
"$WINE" reg add "$run_key" /v OtherProgram /d 'C:\other.exe' /f >/dev/null 2>&1

reg_snapshot "$work/snap/reg.before"
file_snapshot "$work/snap/files.before"

# setup's action log, outside the prefix, says what setup wrote when a value is not found.
setup_log="$work/setup.log"
start_in "$work/product" setup.exe "/log=$(winpath "$setup_log")"; pid=$!
shot 01-background
check "welcome page" driver wait "Welcome to Skellan!" "*" 0 60000
shot 02-welcome
driver wait "Welcome to Skellan!" "*" 1 >/dev/null
check "licence page" driver wait "End-User License Agreement" "*" 0
shot 03-license
driver wait "End-User License Agreement" "*" 1 >/dev/null
check "directory page" driver wait "Select Install Directory" "*" 0
install_dir=$(driver gettext "Select Install Directory" 301)
check_eq "default install directory" 'C:\Program Files\Quorvane\Skellan' "$install_dir"
shot 04-directory
driver wait "Select Install Directory" "*" 1 >/dev/null
check "start menu page" driver wait "Select Start Menu Folder" "*" 0
shot 05-start-menu
driver wait "Select Start Menu Folder" "*" 1 >/dev/null
check "ready page" driver wait "Ready To Install" "Installation Directory:" 0
shot 06-ready
driver wait "Ready To Install" "*" 1 >/dev/null
check "complete page" driver wait "Installation Complete!" "*" 0 120000
shot 07-complete
driver wait "Installation Complete!" "*" 1 >/dev/null
wait $pid; check_eq "setup exit status" 0 $?

# The installed product.
target="$WINEPREFIX/drive_c/Program Files/Quorvane/Skellan"
check "tuner.exe installed byte for byte" cmp -s "$work/payload/tuner.exe" "$target/tuner.exe"
check "help page installed byte for byte" cmp -s "$work/payload/Help/index.htm" "$target/Help/index.htm"
check "setup.exe copied" cmp -s "$work/product/setup.exe" "$target/setup.exe"
check "dsetup.dll copied" cmp -s "$work/product/dsetup.dll" "$target/dsetup.dll"
check_eq "package.dat holds no dependency" "%" "$(cat "$target/package.dat" 2>/dev/null)"
failed_before=$E2E_FAIL
arp='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skellan'
command=$(reg_value "$arp" UninstallString)
check_eq "Add/Remove command" 'C:\Program Files\Quorvane\Skellan\setup.exe -u1 "Skellan" 0' "$command"
check_eq "Add/Remove name" "Skellan" "$(reg_value "$arp" DisplayName)"
check_eq "registry entry %1" 'C:\Program Files\Quorvane\Skellan' \
  "$(reg_value 'HKLM\Software\Quorvane\Skellan\Settings' InstallDir)"
check_eq "registry entry DWORD" "0x64" "$(reg_value 'HKLM\Software\Quorvane\Skellan\Settings' Build)"
check_eq "value beside another program's" 'C:\Program Files\Quorvane\Skellan' "$(reg_value "$run_key" Skellan)"
check_eq "value in keys of its own" "0x1" "$(reg_value 'HKCU\Software\Quorvane\Skellan\Prefs' Mode)"
check_eq "version stamp" "0x64" "$(reg_value 'HKLM\Software\Quorvane\Vemmick\Ormal000' Skellan_vmin)"
[ "$E2E_FAIL" = "$failed_before" ] || { echo "what setup's log says it wrote:"; tr -d '\r' < "$setup_log" | grep 'registry'; }
programs=$(find "$WINEPREFIX/drive_c" -path "$(programs_glob)/Skellan" -type d | head -n1)
for link in "Skellan Tuner" "Skellan Help" "Uninstall Skellan"; do
  check "shortcut $link" test -s "$programs/$link.lnk"
done
check_eq "uninstall record files" "0x7" "$(reg_value 'HKLM\Software\Quorvane\Skellan\uninstall' filetotal)"

# Uninstall exactly as Add/Remove Programs does: the stored command line, run as it stands.
start_in "$work" "$E2E_BUILD/tests/run_registered.exe" Skellan
check "uninstall question" driver wait "Verify Uninstall" "Skellan" 6
check "uninstalling dialog" driver wait "Uninstalling" "*" 0 60000
for _ in $(seq 1 120); do
  state=$(driver enabled Uninstalling 1) || break
  [ "$state" = 1 ] && break
  sleep 1
done
check "removal finished" driver wait "Uninstalling" "Uninstall has completed successfuly" 0
shot 08-uninstalled
driver wait "Uninstalling" "*" 1 >/dev/null
# The second stage schedules them as its last act; give it a moment to get there.
scheduled() {
  local i
  for i in $(seq 1 20); do
    renames_pending && return 0
    sleep 1
  done
  return 1
}
check "uninstaller ended" driver gone "Uninstalling" 30000
check "their deletion at restart is scheduled" scheduled
private_folder() { find "$WINEPREFIX/drive_c/users" -ipath '*temp/zindle-*' -type d; }
check "setup's copy in use waits for the restart in its private folder" test -f "$(private_folder | head -n1)/setup.exe"

# A new Wine session runs what was scheduled for the restart, once the second stage has ended.
# After it, nothing of the product is left but the maker's version stamp, which outlives the
# product by design.
for _ in $(seq 1 60); do pgrep -f 'setup.exe"? -u2' >/dev/null || break; sleep 0.5; done
"$WINESERVER" -k
sleep 1
reg_snapshot "$work/snap/reg.after"
file_snapshot "$work/snap/files.after"
# Added, and nothing else changed: the stamp's key with its four values and the two keys above it.
stamp='[HKEY_LOCAL_MACHINE\Software\Quorvane\Vemmick\Ormal000]'
stamp_diff=$(printf '> %s\n' '[HKEY_LOCAL_MACHINE\Software\Quorvane]' '[HKEY_LOCAL_MACHINE\Software\Quorvane\Vemmick]' \
  "$stamp" "$stamp \"Skellan_tmaj\"=dword:00000001" "$stamp \"Skellan_tmin\"=dword:00000000" \
  "$stamp \"Skellan_vmaj\"=dword:00000000" "$stamp \"Skellan_vmin\"=dword:00000064" | LC_ALL=C sort)
reg_diff=$(diff "$work/snap/reg.before" "$work/snap/reg.after" | grep '^[<>]' | LC_ALL=C sort)
check_eq "registry after uninstall equals registry before but for the version stamp" "$stamp_diff" "$reg_diff"
files_diff=$(diff "$work/snap/files.before" "$work/snap/files.after" | grep '^[<>]')
check_eq "files after uninstall and restart equal files before" "" "$files_diff"
check "install directory removed" test ! -e "$target"
check_eq "the private folder is gone after the restart" "" "$(private_folder)"
e2e_summary
