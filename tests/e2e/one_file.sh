#!/usr/bin/env bash
# The kit's product command and the single-file installer under Wine: `filesdat product` turns the
# shipped product's script and payload into a product folder and into one .exe; both install
# silently, record exactly the same items, and uninstall leaving nothing, the one .exe's private
# folder included.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin one_file "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-one_file"
rm -rf "$work"
shipped_product "$work" || exit 1
drive_c="$WINEPREFIX/drive_c"
packer="$E2E_BUILD/../host/tools/filesdat"
kit=(--setup "$E2E_BUILD/setup/setup.exe" --hooks "$E2E_BUILD/products/dsetup.dll")
record='HKLM\Software\Quorvane\Skellan\uninstall'

check "product folder made" "$packer" product "$SRC/products/tuner/setup.ini" -C "$work/payload" -o "$work/folder" "${kit[@]}"
check "one-file installer made" "$packer" product "$SRC/products/tuner/setup.ini" -C "$work/payload" \
  -o "$work/skellan-setup.exe" --one-file "${kit[@]}"
check_eq "the folder holds the product's files" "dsetup.dll files.dat license.txt setup.exe setup.ini" \
  "$(ls "$work/folder" | tr '\n' ' ' | sed 's/ $//')"

# install FORM LOG: a silent install into C:\Kit\Skellan, its record saved as FORM.record.
install() {
  local status
  case $1 in
    folder) (cd "$work/folder" && timeout 180 "$WINE" setup.exe /silent '/dir=C:\Kit\Skellan' "/log=C:\\$2") ;;
    one) (cd "$work" && timeout 180 "$WINE" skellan-setup.exe /silent '/dir=C:\Kit\Skellan' "/log=C:\\$2") ;;
  esac
  status=$?
  reg_query "$record" | sort > "$work/$1.record"
  return $status
}
# uninstall LOG: the silent uninstall through the stored command, until its second stage is done.
uninstall() {
  (cd "$drive_c/Kit/Skellan" && timeout 60 "$WINE" setup.exe -u1 Skellan 0 /silent "/log=C:\\$1")
  for _ in $(seq 1 60); do
    grep -qE "uninstall: (everything was removed|some items could not be removed)" "$drive_c/$1" 2>/dev/null && break
    sleep 1
  done
  "$WINESERVER" -w
}

install folder folder.log
check_eq "folder form: exit status" 0 $?
uninstall folder-removal.log
check "folder form: uninstalled" test ! -e "$drive_c/Kit/Skellan"

install one one.log
check_eq "one file: exit status" 0 $?
check "one file: tuner.exe installed byte for byte" cmp -s "$work/payload/tuner.exe" "$drive_c/Kit/Skellan/tuner.exe"
check "one file: the installed setup.exe is the plain one" cmp -s "$E2E_BUILD/setup/setup.exe" "$drive_c/Kit/Skellan/setup.exe"
check "one file: records exactly what the folder form records" diff "$work/folder.record" "$work/one.record"
folder=$(tr -d '\r' < "$drive_c/one.log" | sed -n 's/.*carries is unpacked into //p' | head -n1)
check "one file: the log names its private folder" test -n "$folder"
check "one file: its private folder is gone" test ! -e "$("$WINE" winepath -u "${folder:-C:\none}" 2>/dev/null | tr -d '\r')"
uninstall one-removal.log
check "one file: uninstall removed everything" grep -q "uninstall: everything was removed" "$drive_c/one-removal.log"
check "one file: install folder removed" test ! -e "$drive_c/Kit/Skellan"
check_eq "one file: no Add/Remove entry left" "" \
  "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Skellan' DisplayName)"

# A one-file installer whose carried files are damaged says so and installs nothing.
cp "$work/skellan-setup.exe" "$work/cut.exe"
dd if=/dev/zero of="$work/cut.exe" bs=1 count=200 seek=$(($(stat -c %s "$work/cut.exe") - 316)) conv=notrunc 2>/dev/null
(cd "$work" && timeout 60 "$WINE" cut.exe /silent '/dir=C:\Cut\Skellan' '/log=C:\cut.log')
check_eq "a damaged one-file installer: exit status" 2 $?
check "it says why" grep -q "could not unpack the product" "$drive_c/cut.log"
check "it installed nothing" test ! -e "$drive_c/Cut/Skellan/tuner.exe"
e2e_summary
