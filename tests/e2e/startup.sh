#!/usr/bin/env bash
# setup's start-up under Wine: failure messages in order, exit statuses, the single-instance
# guard, the uninstall command-line checks, and the exported utility library.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin startup "$E2E_BUILD/tests"
trap suite_end EXIT
SETUP="$E2E_BUILD/setup/setup.exe"
work="$E2E_BUILD/tests/e2e-startup"
rm -rf "$work"; mkdir -p "$work"
product() { test_product "$work/$1" "" && echo "$work/$1"; }

# No hook library: the load error, then the two start-up failures.
dir=$(product nohook)
start_in "$dir" setup.exe; pid=$!
check "load error caption" driver wait "Failed to load Setup .dll" "*" 1
check "dispatch table message" driver wait "*" "Failed to get dispatch table" 1
check "initialize message" driver wait "*" "Failed to Initialize Script" 1
wait $pid; check_eq "exit status without hook library" 2 $?

# A library without the entry point.
dir=$(product noentry)
cp "$E2E_BUILD/tests/hook_noentry.dll" "$dir/dsetup.dll"
start_in "$dir" setup.exe; pid=$!
check "entry point message" driver wait "*" "failed to get entry point" 1
check "dispatch table message (no entry)" driver wait "*" "Failed to get dispatch table" 1
check "initialize message (no entry)" driver wait "*" "Failed to Initialize Script" 1
wait $pid; check_eq "exit status without entry point" 2 $?

# A script naming a resource library that is not there.
dir=$(product nores)
cp "$E2E_BUILD/products/dsetup.dll" "$dir/"
printf '[PRODUCTNAME]\r\nname=P\r\n[RESOURCES]\r\ndllname=missing.dll\r\n' > "$dir/setup.ini"
start_in "$dir" setup.exe; pid=$!
check "script information message" driver wait "*" "Failed to get script information" 1
check "initialize message (resources)" driver wait "*" "Failed to Initialize Script" 1
wait $pid; check_eq "exit status with missing resource library" 2 $?

# Single instance: while one setup holds the guard, a second ends at once without a window.
dir=$(product guard)
cp "$E2E_BUILD/tests/hook_waitbox.dll" "$dir/dsetup.dll"
start_in "$dir" setup.exe; first=$!
check "first setup is up" driver wait hook_waitbox "hook waiting" 0
(cd "$dir" && timeout 30 "$WINE" setup.exe); check_eq "second setup ends at once" 1 $?
check "first setup still waiting" driver wait hook_waitbox "hook waiting" 1
check "first setup goes on" driver wait "*" "failed to get entry point" 1
check "first setup dispatch message" driver wait "*" "Failed to get dispatch table" 1
check "first setup ends" driver wait "*" "Failed to Initialize Script" 1
wait $first

# Uninstall command lines with too few arguments remove nothing and say so.
# A switch setup does not know is refused the same way.
for case in "-u1|incomplete uninstall command line" "-U1 P|incomplete uninstall command line" \
  "-u2 1 C:\\x 0|incomplete uninstall command line" "x|incomplete uninstall command line" \
  "/x|does not know the switch \"/x\"" "-u1 P 0 /dir|does not know the switch \"/dir\""; do
  args=${case%%|*}
  dir=$(product "short")
  # shellcheck disable=SC2086
  start_in "$dir" setup.exe $args; pid=$!
  check "refusal for [$args]" driver wait "*" "${case#*|}" 1
  wait $pid; check_eq "exit status for [$args]" 2 $?
done

# The utility library is exported by name, and the sample hook library imports from setup.exe.
exports=$(x86_64-w64-mingw32-objdump -p "$SETUP")
for name in _ZN7kRegKey4OpenEP6HKEY__PKc _ZN9SetupInfoC1Ev _ZN9SetupInfoD1Ev _Z13get_file_sizePKc \
            _ZN18SetupDispatchTableC1Ev _Z13is_this_winntv _Z11create_pathP9SetupInfoPKci \
            _Z22mark_file_for_deletionPKc _ZN9SetupFileC1Ev _ZN13UninstallInfoD1Ev _ZN6StringC1EPKc; do
  check "setup.exe exports $name" grep -q " $name\$" <<<"$exports"
done
check "dsetup.dll imports from setup.exe" grep -q "DLL Name: setup.exe" <<<"$(x86_64-w64-mingw32-objdump -p "$E2E_BUILD/products/dsetup.dll")"

e2e_summary
