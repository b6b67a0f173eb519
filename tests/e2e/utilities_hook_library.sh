#!/usr/bin/env bash
# The tuner's hook library in the real setup.exe: its Ready summary, its answer to a file that
# cannot be copied, the uninstall that has tuner.exe put the TCP/IP settings back, and its
# refusal of a system that is neither Windows 95/98 nor NT.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin utilities_hook_library "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-utilities-hooks"
rm -rf "$work"; mkdir -p "$work/product/Help"
NETTRANS='HKLM\System\CurrentControlSet\Services\Class\NetTrans\0000'
MSTCP='HKLM\System\CurrentControlSet\Services\VxD\MSTCP'
TARNELL='HKLM\Software\Quorvane\Tarnell'

# The product folder with every file lying loose beside setup.
cp "$E2E_BUILD/setup/setup.exe" "$E2E_BUILD/products/dsetup.dll" "$E2E_BUILD/tuner/tuner.exe" \
   "$SRC/products/tuner/setup.ini" "$SRC/products/tuner/license.txt" "$work/product/"
cp "$SRC/products/tuner/Help/index.htm" "$work/product/Help/"
bytes=$(( $(stat -c %s "$work/product/tuner.exe") + $(stat -c %s "$work/product/Help/index.htm") + 65536 ))

# A Windows 98 whose TCP/IP stack runs with the modem preset, after tuner saved the originals.
wine_version win98
"$WINE" reg add "$NETTRANS" /v DriverDesc /d 'TCP/IP' /f >/dev/null 2>&1
"$WINE" reg add "$NETTRANS" /v MaxMTU /d 576 /f >/dev/null 2>&1
"$WINE" reg add "$MSTCP" /v DefaultRcvWindow /t REG_DWORD /d 2144 /f >/dev/null 2>&1
"$WINE" reg add "$MSTCP" /v DefaultTTL /d 64 /f >/dev/null 2>&1
"$WINE" reg add "$MSTCP" /v PMTUDiscovery /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINE" reg add "$MSTCP" /v PMTUBlackHoleDetect /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$WINE" reg add "$TARNELL" /v Installed /t REG_DWORD /d 1 /f >/dev/null 2>&1
for pair in 1:1500 2:8192 3:32 4:1 5:0; do
  "$WINE" reg add "$TARNELL" /v "Parm${pair%%:*}" /t REG_DWORD /d "${pair##*:}" /f >/dev/null 2>&1
done

# Install, with a folder standing where tuner.exe is to go.
target="$WINEPREFIX/drive_c/Program Files/Quorvane/Skellan"
mkdir -p "$target/tuner.exe"
start_in "$work/product" setup.exe; pid=$!
check "welcome page" driver wait "Welcome to Skellan!" "*" 1 60000 >/dev/null
check "licence page" driver wait "End-User License Agreement" "*" 1 >/dev/null
check "directory page" driver wait "Select Install Directory" "*" 1 >/dev/null
check "start menu page" driver wait "Select Start Menu Folder" "*" 1 >/dev/null
check "ready page" driver wait "Ready To Install" "Space Required:" 0 >/dev/null
check_eq "ready: first label kept" "Installation Directory:" "$(driver gettext "Ready To Install" 301)"
check_eq "ready: space label" "Space Required:" "$(driver gettext "Ready To Install" 305)"
check_eq "ready: space needed" "$(( (bytes + 1023) / 1024 )) KB" "$(driver gettext "Ready To Install" 306)"
check_eq "ready: free space label" "Space Available on Drive:" "$(driver gettext "Ready To Install" 307)"
check "ready: free space in MB" grep -qE '^[0-9]+ MB$' <<<"$(driver gettext "Ready To Install" 308)"
driver wait "Ready To Install" "*" 1 >/dev/null
check "copy failure offered" driver wait "Skellan" "could not be copied" 0 60000 >/dev/null
rmdir "$target/tuner.exe"
check "retry pressed" driver wait "Skellan" "could not be copied" 4 >/dev/null
check "complete page" driver wait "Installation Complete!" "*" 1 120000 >/dev/null
wait $pid; check_eq "setup exit status" 0 $?
check "retry copied tuner.exe" cmp -s "$work/product/tuner.exe" "$target/tuner.exe"

# Uninstall as Add/Remove Programs does; the hook has tuner.exe restore the saved settings.
start_in "$work" "$E2E_BUILD/tests/run_registered.exe" Skellan >/dev/null
check "uninstall question" driver wait "Verify Uninstall" "Skellan" 6 60000 >/dev/null
check "uninstalling dialog" driver wait "Uninstalling" "*" 0 60000 >/dev/null
for _ in $(seq 1 120); do
  state=$(driver enabled Uninstalling 1) || break
  [ "$state" = 1 ] && break
  sleep 1
done
driver wait "Uninstalling" "*" 1 >/dev/null
check "uninstaller ended" driver gone "Uninstalling" 30000
"$WINESERVER" -w
check_eq "MaxMTU restored" 1500 "$(reg_value "$NETTRANS" MaxMTU)"
check_eq "DefaultRcvWindow restored" 0x2000 "$(reg_value "$MSTCP" DefaultRcvWindow)"
check_eq "DefaultTTL restored" 32 "$(reg_value "$MSTCP" DefaultTTL)"
check_eq "PMTUDiscovery restored" 0x1 "$(reg_value "$MSTCP" PMTUDiscovery)"
check_eq "PMTUBlackHoleDetect restored" 0x0 "$(reg_value "$MSTCP" PMTUBlackHoleDetect)"

# A system that is not Win32 at all: the hook stops the wizard before its first page.
wine_version win31
start_in "$work/product" setup.exe; pid=$!
check "refusal shown" driver wait "Skellan" "Skellan needs Windows 95, Windows 98 or Windows NT." 1 60000 >/dev/null
for _ in $(seq 1 30); do kill -0 $pid 2>/dev/null || break; sleep 1; done
check "setup ended after the refusal" bash -c "! kill -0 $pid 2>/dev/null"
check "no welcome page" bash -c "! $(printf '%q' "$WINE") $(printf '%q' "$E2E_BUILD/tests/dialog_driver.exe") wait 'Welcome to Skellan!' '*' 0 1000 >/dev/null 2>&1"

rm -rf "$work"
e2e_summary
