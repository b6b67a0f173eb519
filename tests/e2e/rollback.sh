#!/usr/bin/env bash
# Installations that stop after changing the machine are undone, under Wine. Each case installs
# into a folder that already holds one of the product's files (with other content) and a foreign
# file, stops at one step, and must leave the registry and every file below drive_c as they were,
# after the failure's warning (when a step failed) and one message that the installation was undone.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
work="$E2E_BUILD/tests/e2e-rollback"
suite_begin rollback "$E2E_BUILD/tests"
trap suite_end EXIT
rm -rf "$work"
p="$work/product"
test_product "$p" "$E2E_BUILD/tests/hook_unattended.dll"
for f in one two three; do printf 'new %s\r\n' "$f" > "$p/$f.txt"; done
printf 'C:\\Prog\\Rb' > "$p/target.txt"
target="$WINEPREFIX/drive_c/Prog/Rb"
"$WINE" reg add 'HKCU\Software\ZRbBefore' /v Mode /d before /f >/dev/null 2>&1

# state NAME: the registry and the file tree, as NAME.reg and NAME.files.
state() {
  reg_snapshot "$work/$1.reg"
  file_snapshot "$work/$1.files"
}

# script NAME [EXTRA_FILE] [EXTRA_REGISTRY_ENTRY]: the product's setup.ini.
script() {
  local files=3 entries=2
  [ -n "${2:-}" ] && files=4
  [ -n "${3:-}" ] && entries=3
  printf '%s\r\n' "[PRODUCTNAME]" "name=$1" "[DIRECTORIES]" "total=1" 'dir0=sub' \
    "[FILES]" "total=$files" "filesrc0=one.txt" "filedst0=one.txt" "filesrc1=two.txt" 'filedst1=sub\two.txt' \
    "filesrc2=three.txt" "filedst2=three.txt" ${2:+"filesrc3=$2" "filedst3=$2"} \
    "[REGISTRY ENTRIES]" "total=$entries" "base0=HKEY_LOCAL_MACHINE" 'key0=Software\ZRollback\Settings' \
    "name0=Path" "type0=s" "value0=%1" "base1=HKEY_CURRENT_USER" 'key1=Software\ZRbBefore' "name1=Mode" \
    "type1=d" "value1=7" ${3:+"base2=$3" 'key2=Software\ZRollback' "name2=X" "type2=s" "value2=x"} \
    "[STARTMENU ENTRIES]" "basepath=Rb" "total=1" "path0=Rb" "name0=Rb One" "prog0=one.txt" \
    "[ASSOCIATIONS]" "total=1" "ext0=.zrb" "prog0=one.txt" "icon0=0" \
    "[VERSION]" "nameprefix=ZRb" "majorhigh=1" "majorlow=2" "minorhigh=3" "minorlow=4" \
    "[DEPEND]" "total=1" "depend0=dsetup.dll" "[COPYDELAY]" "delay=0" > "$p/setup.ini"
}

# packed YES: the product's files come from files.dat, one LZMA group, instead of loose files.
packed() {
  rm -rf "$p/loose" "$p/files.dat"
  [ -n "$1" ] || return 0
  (cd "$p" && "$WINE" "$E2E_BUILD/tools/filesdat.exe" create files.dat --compress=lzma one.txt two.txt three.txt) >/dev/null &&
    mkdir "$p/loose" && mv "$p"/one.txt "$p"/two.txt "$p"/three.txt "$p/loose/"
}
unpacked() { [ -d "$p/loose" ] && mv "$p"/loose/*.txt "$p/"; rm -rf "$p/loose" "$p/files.dat"; }

# case: NAME | product name | extra file | extra registry root | fault.txt | a step failure is shown | packed
cases=(
  "cancel at the copy step|Rollback|||CopyFileAfter cancel 3||"
  "cancel inside an LZMA group|Rollback|||CopyFileAfter cancel 2||yes"
  "failure at the copy step|Rollback|missing.txt||||"
  "failure at the registry step|Rollback||HKEY_NOWHERE||yes|"
  "failure at the record step|Rollback\\Nested||||yes|"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name product extra root stop failure pack <<<"$entry"
  script "$product" "$extra" "$root"
  check "$name: the product is packed as asked" packed "$pack"
  if [ -n "$stop" ]; then printf '%s' "$stop" > "$p/fault.txt"; else rm -f "$p/fault.txt"; fi
  mkdir -p "$target"; printf 'old one\r\n' > "$target/one.txt"; printf 'foreign\r\n' > "$target/foreign.txt"
  "$WINESERVER" -w
  state before
  (cd "$p" && exec timeout 120 "$WINE" setup.exe) & run=$!
  if [ -n "$failure" ]; then
    check "$name: the failure is shown first" driver wait "Setup Failed" "*" 1 60000 >/dev/null
  fi
  box=$(driver wait "Installation Undone" "*" 1 60000 | tr '\n' ' ')
  check "$name: one message says all was undone" grep -q "has undone the changes this installation had made to your computer\. *$" <<<"$box"
  wait $run; check_eq "$name: exit status" 2 $?
  "$WINESERVER" -w
  state after
  check "$name: registry as before" diff "$work/before.reg" "$work/after.reg"
  check "$name: files as before" diff "$work/before.files" "$work/after.files"
  check_eq "$name: the product's earlier file" "old one" "$(tr -d '\r' < "$target/one.txt")"
  unpacked
done

# A run killed part-way is undone by the next run of the product (here one cancelled at once); a
# crash in a hook is undone by the crashed run itself, which ends with status 2.
for stop in "CopyFileAfter kill 3|9" "CopyFileAfter crash 3|2"; do
  script Rollback
  mkdir -p "$target"; printf 'old one\r\n' > "$target/one.txt"; printf 'foreign\r\n' > "$target/foreign.txt"
  "$WINESERVER" -w
  state before
  printf '%s' "${stop%|*}" > "$p/fault.txt"
  (cd "$p" && timeout 120 "$WINE" setup.exe); check_eq "${stop%|*}: its status" "${stop#*|}" $?
  printf 'CopyFileAfter cancel 1' > "$p/fault.txt"
  (cd "$p" && exec timeout 120 "$WINE" setup.exe) & run=$!
  check "${stop%|*}: next run undone" driver wait "Installation Undone" "*" 1 60000 >/dev/null
  wait $run
  "$WINESERVER" -w
  state after
  check "${stop%|*}: registry as before" diff "$work/before.reg" "$work/after.reg"
  check "${stop%|*}: files as before" diff "$work/before.files" "$work/after.files"
  check_eq "${stop%|*}: the product's earlier file" "old one" "$(tr -d '\r' < "$target/one.txt")"
done
e2e_summary
