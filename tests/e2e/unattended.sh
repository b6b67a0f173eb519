#!/usr/bin/env bash
# Unattended runs of the shipped product: a silent install into a chosen folder and a silent
# uninstall, each log checked against the tree and the registry it describes; silent runs that
# cannot do their job end with status 2 and say why in the log, without a window.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin unattended "$E2E_BUILD/tests"
trap suite_end EXIT
"$WINESERVER" -p
work="$E2E_BUILD/tests/e2e-unattended"
rm -rf "$work"
shipped_product "$work" || exit 1
drive_c="$WINEPREFIX/drive_c"

# silent LOG ARGS...: runs setup from the product folder with /silent and /log=C:\LOG; the exit
# status is setup's (124 when it had to be stopped).
silent_in() {
  local dir=$1 log=$2; shift 2
  (cd "$dir" && timeout 180 "$WINE" setup.exe /silent "/log=C:\\$log" "$@")
}
silent() { silent_in "$work/product" "$@"; }
# logged TEXT LOG: the log (Windows line ends removed) holds TEXT.
logged() { tr -d '\r' < "$drive_c/$2" | grep -qF -- "$1"; }
# windows_path PATH: a path below drive_c as setup wrote it into its log.
windows_path() { printf 'C:%s' "${1#"$drive_c"}" | tr / '\\'; }

# 1. A silent install into a chosen folder and Start-menu folder: no window, status 0, and a log
# line for every file, directory and shortcut it made and every item of the record it wrote.
silent install.log '/dir=C:\Tools\Skellan Silent' '/group=Silent Tools'
check_eq "silent install exit status" 0 $?
target="$drive_c/Tools/Skellan Silent"
check "tuner.exe installed byte for byte" cmp -s "$work/payload/tuner.exe" "$target/tuner.exe"
check "no message box was needed" test -z "$(tr -d '\r' < "$drive_c/install.log" | grep ' message: ')"
programs=$(find "$drive_c" -path "$(programs_glob)/Silent Tools" -type d | head -n1)
check "shortcuts in the chosen Start-menu folder" test -s "$programs/Skellan Tuner.lnk"
check "install log ends with the status" logged "setup: end: exit status 0" install.log
while IFS= read -r path; do
  check "install log names $(basename "$path")" logged "$(windows_path "$path")" install.log
done < <(find "$target" "$programs")
record='HKLM\Software\Quorvane\Skellan\uninstall'
for kind in file dir; do
  total=$(reg_value "$record" "${kind}total")
  check "the record counts its ${kind}s: [$total]" grep -qx '0x[0-9a-f]\+' <<< "$total"
  [[ $total == 0x* ]] || continue
  for ((i = 0; i < total; i++)); do
    item=$(reg_value "$record" "$kind$i")
    check "install log names recorded $kind$i" logged "$item" install.log
  done
done
check "install log names the Add/Remove entry" logged 'Uninstall\Skellan' install.log
check "install log names each hook" logged "hook AfterCompleteDialog: result 0" install.log

# 2. The silent uninstall through the stored command: no question, no dialog; the second stage
# goes on with the same log and removes every item it lists.
command=$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skellan' UninstallString)
check_eq "stored uninstall command" 'C:\Tools\Skellan Silent\setup.exe -u1 "Skellan" 0' "$command"
(cd "$target" && timeout 60 "$WINE" setup.exe -u1 Skellan 0 /silent '/log=C:\uninstall.log')
check_eq "silent first stage exit status" 0 $?
for _ in $(seq 1 60); do
  [ "$(grep -c 'setup: end' "$drive_c/uninstall.log" 2>/dev/null)" -ge 1 ] && logged "everything was removed" uninstall.log && break
  sleep 1
done
check "uninstall log says everything was removed" logged "uninstall: everything was removed" uninstall.log
check "install directory removed" test ! -e "$target"
check "Start-menu folder removed" test ! -e "$programs"
while IFS= read -r line; do
  path=${line#*-> }; path=${path% (*}
  check "uninstall log removes $path" logged "removed: $path" uninstall.log
done < <(tr -d '\r' < "$drive_c/install.log" | grep -E '^[0-9: .-]+file: .* -> .*\.(exe|dll|htm|lnk) \(')

# 3. Silent runs that cannot do their job: status 2, the reason in the log, nothing installed.
printf 'x' > "$drive_c/Blocked"
silent blocked.log '/dir=C:\Blocked\Skellan'
check_eq "install below a file exits 2" 2 $?
check "its log says why" logged 'C:\Blocked\Skellan' blocked.log
check "nothing installed below the file" test -f "$drive_c/Blocked"
silent unknown.log /bogus
check_eq "an unknown switch exits 2" 2 $?
check "its log names the switch" logged '"/bogus"' unknown.log
check "nothing was installed for it" test -z "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skellan' DisplayName)"
silent colon.log '/dir=C:\PP2C:\X'
check_eq "a colon past the drive exits 2" 2 $?
check "its log names the refused name" logged 'Windows refuses the name "PP2C:"' colon.log
check "no folder of that name was made" test ! -e "$drive_c/PP2C:"

# 4. A hook that refuses the directory after a message box: the box is answered and logged, and
# the refusal ends the run as cancelled instead of asking again for ever; the hook learnt that
# the run is silent.
hooked="$work/hooked"
test_product "$hooked" "$E2E_BUILD/tests/hook_unattended.dll" '[PRODUCTNAME]' 'name=Refusing' '[DEFAULTDIR]' \
  'dir=Refusing' '[FILES]' 'total=1' 'filesrc0=license.txt' 'filedst0=license.txt'
: > "$hooked/show_pages.txt"
printf '4' > "$hooked/refuse_dir.txt"
silent_in "$hooked" refused.log
check_eq "a refusing hook ends a silent run as cancelled" 1 $?
check "the hook's box is in the log" logged 'window "Folder refused": The install folder must not hold a blank. (answered OK)' refused.log
check "the refusal is in the log" logged 'hook AfterPathDialog refused page 3002 in a silent run' refused.log
check "the hook learnt the run is silent" grep -q 'silent=1' "$hooked/refused.txt"
check "nothing was installed" test ! -e "$drive_c/Refusing"

# 5. A silent install killed in its copy step leaves a log up to that step.
rm -f "$hooked/refuse_dir.txt"
printf 'CopyFileAfter kill 1\n' > "$hooked/fault.txt"
silent_in "$hooked" killed.log
check_eq "the killed install's status" 9 $?
check "its log names the copy step" logged 'step: copy files: start' killed.log
check "and the hook it was killed in" logged 'hook CopyFileBefore:' killed.log
cp "$drive_c"/*.log "$work/" 2>/dev/null
e2e_summary
