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
silent() {
  local log=$1; shift
  (cd "$work/product" && timeout 180 "$WINE" setup.exe /silent "/log=C:\\$log" "$@")
}
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
  total=$(($(reg_value "$record" "${kind}total")))
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
cp "$drive_c"/*.log "$work/" 2>/dev/null
e2e_summary
