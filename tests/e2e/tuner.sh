#!/usr/bin/env bash
# The tuner end to end under Wine acting as Windows 98 (and once as NT 4), or as E2E_WINDOWS names
# (as nt40 only the NT 4 test applies, since the dialog is for the 95 family): the real tuner.exe in a
# folder of its own, a prepared TCP/IP stack registry with several transports, the dialog driven
# by dialog_driver.exe, the registry checked with reg query afterwards.
# usage: tuner.sh BUILD_DIR SOURCE_DIR
#   UPDATE_SCREENS=1 also refreshes docs/screens/tuner_*.png; TUNER_E2E_ONLY="test_..." runs only those.
set -u
build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
. "$src/tests/wine/suite.sh"

suite_begin tuner "$build/tests"
windows=${E2E_WINDOWS:-win98}
wine_version "$windows"
# No window manager runs on the suite's display: unmanaged windows close without waiting for one.
"$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

app="$WINEPREFIX/drive_c/Skellan"
mkdir -p "$app/Help"
cp "$build/tuner/tuner.exe" "$app/"
cp "$src/products/tuner/Help/index.htm" "$app/Help/"
cp "$build/tests/tuner_open_recorder.exe" "$app/"
driver="$build/tests/dialog_driver.exe"
shots="$build/tests/tuner-screens"
mkdir -p "$shots"

NETTRANS='HKLM\System\CurrentControlSet\Services\Class\NetTrans'
MSTCP='HKLM\System\CurrentControlSet\Services\VxD\MSTCP'
PRODUCT='HKLM\Software\Quorvane\Tarnell'
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Imports a registry file written in REGEDIT4 form from standard input.
import_reg() {
  { echo REGEDIT4; echo; cat; } | sed 's/$/\r/' >"$app/prepare.reg"
  "$WINE" regedit /S 'C:\Skellan\prepare.reg' >/dev/null 2>&1
  rm -f "$app/prepare.reg"
}

clear_keys() {
  import_reg <<'EOF'
[-HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans]
[-HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\VxD\MSTCP]
[-HKEY_LOCAL_MACHINE\Software\Quorvane]
EOF
}

# Four transports: TCP/IP is the third; one has no description, one differs only in case.
prepare_stack() {
  clear_keys
  import_reg <<'EOF'
[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0000]
"DriverDesc"="NetBEUI"
"MaxMTU"="1400"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0001]
"MaxMTU"="1000"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0002]
"DriverDesc"="TCP/IP"
"MaxMTU"="1492"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0003]
"DriverDesc"="tcp/ip"
"MaxMTU"="999"

[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\VxD\MSTCP]
"DefaultRcvWindow"=dword:00002238
"DefaultTTL"="128"
"PMTUDiscovery"=dword:00000001
"PMTUBlackHoleDetect"=dword:00000000
EOF
}

# Everything under the given keys, as reg query lists it (nothing for a key that does not exist).
listing() {
  local key
  for key in "$@"; do reg_query "$key" /s | sed '/^$/d'; done
}

# Everything under the three keys the tuner touches.
snapshot() { listing "$NETTRANS" "$MSTCP" "$PRODUCT"; }

stack_snapshot() { listing "$NETTRANS" "$MSTCP"; }

# "TYPE DATA" of one value, or "missing".
value() {
  local entry
  entry=$(reg_entry "$1" "$2")
  case $? in
    0) awk '{ print $1, $2 }' <<< "$entry" ;;
    1) echo missing ;;
    *) echo "$entry" ;;
  esac
}

expect_value() {
  local have
  have=$(value "$1" "$2")
  [ "$have" = "$3" ] || fail "$1\\$2 is '$have', expected '$3'"
}

# The tuner's dialog is the "Skellan" window with the Advanced button (1021); its boxes lack it.
drive() { wine_output "$driver" steps Skellan 1021 "$@" 2>&1; }

TUNER_PID=
start_tuner() {
  "$WINE" 'C:\Skellan\tuner.exe' "$@" >/dev/null 2>&1 &
  TUNER_PID=$!
}

# Waits for the started tuner to end; prints its exit code ("timeout" if it does not end).
tuner_exit() {
  local i
  for i in $(seq 1 300); do
    if ! kill -0 "$TUNER_PID" 2>/dev/null; then
      wait "$TUNER_PID"
      echo $?
      return
    fi
    sleep 0.1
  done
  echo timeout
}

# Ends whatever the tuner still shows after a failed step.
close_tuner() {
  drive answer=ok >/dev/null 2>&1
  drive click=2 >/dev/null 2>&1
  [ "$(tuner_exit)" = timeout ] && kill "$TUNER_PID" 2>/dev/null
}

screenshot() {
  local rect
  rect=$(drive rect) || return
  import -window root "$shots/root.png" &&
    convert "$shots/root.png" -crop "$rect" +repage -strip "$shots/$1" &&
    rm -f "$shots/root.png"
  if [ -n "${UPDATE_SCREENS:-}" ]; then cp "$shots/$1" "$src/docs/screens/$1"; fi
}

# 1. First start: the originals are saved; the dialog shows the live values; a person expands
#    the dialog, picks "56K modem", edits the time to live and confirms with OK.
test_first_run_and_ok() {
  prepare_stack
  start_tuner
  drive wait expect=1004:1492 expect=1003:8760 expect=1010:128 checked=1005:1 checked=1006:0 \
    expect=1021:'Advanced>>' height=1007 || { fail "first start shows the live values"; close_tuner; return; }
  expect_value "$PRODUCT" Installed "REG_DWORD 0x1"
  expect_value "$PRODUCT" Parm1 "REG_DWORD 0x5d4"
  expect_value "$PRODUCT" Parm2 "REG_DWORD 0x2238"
  expect_value "$PRODUCT" Parm3 "REG_DWORD 0x80"
  expect_value "$PRODUCT" Parm4 "REG_DWORD 0x1"
  expect_value "$PRODUCT" Parm5 "REG_DWORD 0x0"
  screenshot tuner_basic.png
  drive click=1021 height=1009 expect=1021:'<<Advanced' click=1011 checked=1011:1 \
    expect=1004:576 expect=1003:2144 expect=1010:64 type=1010:100 ||
    { fail "expand and choose 56K modem"; close_tuner; return; }
  screenshot tuner_expanded.png
  drive press=1 answer=ok:'Please reboot your system for changes to take effect' gone ||
    { fail "OK with the reboot message"; close_tuner; return; }
  [ "$(tuner_exit)" = 1 ] || fail "exit code after OK"
  expect_value "$NETTRANS\\0002" MaxMTU "REG_SZ 576"
  expect_value "$NETTRANS\\0000" MaxMTU "REG_SZ 1400"
  expect_value "$NETTRANS\\0001" MaxMTU "REG_SZ 1000"
  expect_value "$NETTRANS\\0003" MaxMTU "REG_SZ 999"
  expect_value "$MSTCP" DefaultRcvWindow "REG_DWORD 0x860"
  expect_value "$MSTCP" DefaultTTL "REG_SZ 100"
  expect_value "$MSTCP" PMTUDiscovery "REG_DWORD 0x1"
  expect_value "$MSTCP" PMTUBlackHoleDetect "REG_DWORD 0x0"
  expect_value "$PRODUCT" Type "REG_DWORD 0x3f3"
  expect_value "$PRODUCT" Mode "REG_DWORD 0x1"
  expect_value "$PRODUCT" Parm1 "REG_DWORD 0x5d4"
}

# 2. Restore, answered Yes, brings back exactly the stack of the first start.
test_restore() {
  prepare_stack
  local original
  original=$(stack_snapshot)
  start_tuner
  drive wait click=1016 press=1 answer=ok gone || { fail "OK with LAN"; close_tuner; return; }
  tuner_exit >/dev/null
  [ "$(stack_snapshot)" != "$original" ] || fail "OK with LAN changed nothing"
  start_tuner
  drive wait checked=1016:1 press=1000 answer=no:'Do you want to restore original TCP/IP settings?' \
    expect=1004:1500 ||
    { fail "Restore answered No"; close_tuner; return; }
  drive press=1000 answer=yes answer=ok:'Original TCP/IP settings restored' expect=1004:1492 \
    expect=1003:8760 expect=1010:128 click=2 gone || { fail "Restore answered Yes"; close_tuner; return; }
  [ "$(tuner_exit)" = 1 ] || fail "exit code after Restore and Cancel"
  [ "$(stack_snapshot)" = "$original" ] || { fail "Restore did not bring back the stack"; diff <(echo "$original") <(stack_snapshot); }
}

# 3. "-uninstall" after a change brings back exactly the stack of the first start, without a window.
test_uninstall_after_change() {
  prepare_stack
  local original
  original=$(stack_snapshot)
  start_tuner
  drive wait click=1001 press=1 answer=ok gone || { fail "OK with the slow modem"; close_tuner; return; }
  tuner_exit >/dev/null
  "$WINE" 'C:\Skellan\tuner.exe' -uninstall >/dev/null 2>&1
  local rc=$?
  [ "$rc" = 1 ] || fail "-uninstall exit code $rc"
  [ "$(stack_snapshot)" = "$original" ] || { fail "-uninstall did not bring back the stack"; diff <(echo "$original") <(stack_snapshot); }
  expect_value "$PRODUCT" Installed "REG_DWORD 0x1"
}

# 4. Without a transport described exactly "TCP/IP" no MTU is written; the other four values are.
test_missing_tcp_transport() {
  prepare_stack
  import_reg <<'EOF'
[-HKEY_LOCAL_MACHINE\System\CurrentControlSet\Services\Class\NetTrans\0002]
EOF
  local transports
  transports=$(listing "$NETTRANS")
  start_tuner
  drive wait click=1013 press=1 answer=ok gone || { fail "OK with DSL"; close_tuner; return; }
  [ "$(tuner_exit)" = 1 ] || fail "exit code without TCP/IP"
  [ "$(listing "$NETTRANS")" = "$transports" ] || fail "a transport was changed"
  expect_value "$MSTCP" DefaultRcvWindow "REG_DWORD 0x16d0"
  expect_value "$MSTCP" DefaultTTL "REG_SZ 32"
}

# 5. A second start while the dialog is open ends at once; one dialog stays.
test_single_instance() {
  prepare_stack
  start_tuner
  local first=$TUNER_PID
  drive wait >/dev/null || { fail "first dialog"; close_tuner; return; }
  "$WINE" 'C:\Skellan\tuner.exe' >/dev/null 2>&1
  local rc=$?
  [ "$rc" = 1 ] || fail "second start exit code $rc"
  drive dialogs=1 || fail "second start opened a dialog"
  TUNER_PID=$first
  drive click=2 gone >/dev/null
  tuner_exit >/dev/null
}

# 6. Help opens Help\index.htm beside the program through the shell's association for web pages.
test_help() {
  prepare_stack
  import_reg <<'EOF'
[HKEY_CLASSES_ROOT\.htm]
@="htmlfile"

[HKEY_CLASSES_ROOT\htmlfile\shell\open\command]
@="C:\\Skellan\\tuner_open_recorder.exe \"%1\""
EOF
  rm -f "$app/opened.txt"
  start_tuner
  drive wait click=1021 click=1018 >/dev/null || { fail "Help button"; close_tuner; return; }
  local i
  for i in $(seq 1 100); do [ -s "$app/opened.txt" ] && break; sleep 0.1; done
  local opened
  opened=$(tr -d '\r\n' <"$app/opened.txt" 2>/dev/null)
  case "$opened" in
    *'Skellan\'*'Help\index.htm|exists') ;;
    *) fail "Help opened '$opened'" ;;
  esac
  drive click=2 gone >/dev/null
  tuner_exit >/dev/null
}

# 7. On NT 4 the program shows its platform message and changes nothing in the registry;
#    "-uninstall" writes nothing there either.
test_nt4() {
  prepare_stack
  local before
  before=$(snapshot)
  wine_version nt40 || { fail "the prefix does not act as NT 4"; return; }
  start_tuner
  if ! drive answer=ok:'The Skellan only works on Windows 95/98'; then
    fail "platform message on NT 4"
    drive dialogs=1 >/dev/null && echo "the tuner showed its dialog: it took the system for the Windows 95 family"
    close_tuner
  fi
  [ "$(tuner_exit)" = 1 ] || fail "exit code on NT 4"
  [ "$(snapshot)" = "$before" ] || { fail "NT 4 start changed the registry"; diff <(echo "$before") <(snapshot); }
  expect_value "$PRODUCT" Installed missing
  "$WINE" 'C:\Skellan\tuner.exe' -uninstall >/dev/null 2>&1
  [ "$(snapshot)" = "$before" ] || fail "-uninstall on NT 4 changed the registry"
  wine_version "$windows"
}

all_tests="test_first_run_and_ok test_restore test_uninstall_after_change test_missing_tcp_transport
  test_single_instance test_help test_nt4"
[ "$windows" = nt40 ] && all_tests=test_nt4
for t in ${TUNER_E2E_ONLY:-$all_tests}; do
  echo "== $t"
  $t
done

[ "$(reg_reads_failed)" = 0 ] || fail "registry reads failed (each said why above)"
suite_end
if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "all tuner end-to-end checks passed"
