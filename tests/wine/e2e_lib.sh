# Shared parts of the end-to-end suites: checks with a pass/fail count, and running
# setup in a product folder under Wine. Source after tests/wine/suite.sh.
E2E_PASS=0
E2E_FAIL=0
E2E_BUILD=$(cd "$E2E_BUILD" && pwd)

check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then E2E_PASS=$((E2E_PASS + 1)); else echo "FAIL: $what"; E2E_FAIL=$((E2E_FAIL + 1)); fi
}

check_eq() {  # check_eq DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then E2E_PASS=$((E2E_PASS + 1)); else
    echo "FAIL: $1: expected [$2], got [$3]"; E2E_FAIL=$((E2E_FAIL + 1)); fi
}

e2e_summary() {
  local failed_reads
  failed_reads=$(reg_reads_failed)
  [ "$failed_reads" = 0 ] || check_eq "registry reads that failed (each said why above)" 0 "$failed_reads"
  echo "$E2E_PASS passed, $E2E_FAIL failed"
  [ "$E2E_FAIL" = 0 ]
}

# test_product DIR HOOK [LINE...]: a product folder DIR, emptied first, with setup.exe, the tuner's
# licence and the hook library HOOK as dsetup.dll (none for ""), and given LINEs, a setup.ini of
# them with Windows line ends. Needs E2E_BUILD and SRC.
test_product() {
  local dir=$1 hook=$2
  shift 2
  rm -rf "$dir"; mkdir -p "$dir"
  cp "$E2E_BUILD/setup/setup.exe" "$SRC/products/tuner/license.txt" "$dir/" || return 1
  [ -z "$hook" ] || cp "$hook" "$dir/dsetup.dll" || return 1
  [ $# -eq 0 ] || printf '%s\r\n' "$@" > "$dir/setup.ini"
}

# shipped_product WORK: the shipped product as its maker ships it, in WORK/product (its script as
# it stands), its files in WORK/payload and packed into files.dat. Needs SRC.
shipped_product() {
  local packer="$E2E_BUILD/../host/tools/filesdat"
  [ -x "$packer" ] || { echo "the native packer is missing: $packer"; return 1; }
  mkdir -p "$1/product" "$1/payload/Help"
  cp "$E2E_BUILD/setup/setup.exe" "$E2E_BUILD/products/dsetup.dll" "$SRC/products/tuner/license.txt" \
    "$SRC/products/tuner/setup.ini" "$1/product/"
  cp "$E2E_BUILD/tuner/tuner.exe" "$1/payload/"
  cp "$SRC/products/tuner/Help/index.htm" "$1/payload/Help/"
  "$packer" create "$1/product/files.dat" -C "$1/payload" tuner.exe 'Help/index.htm' >/dev/null
}

# driver ARGS...: the dialog driver; its output has Windows line ends removed.
driver() { wine_output "$E2E_BUILD/tests/dialog_driver.exe" "$@"; }

# start_in DIR ARGS...: starts a program in DIR in the background; its pid is in $!.
start_in() { local dir=$1; shift; (cd "$dir" && exec "$WINE" "$@") & }

# winpath UNIXPATH: the path as Windows programs of the prefix see it.
winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# shot NAME [GEOMETRY]: when SCREENSHOTS names a folder, saves the suite's screen there as
# NAME.png, cut to GEOMETRY (WxH+X+Y) when given.
shot() {
  [ -n "${SCREENSHOTS:-}" ] || return 0
  mkdir -p "$SCREENSHOTS"
  sleep 0.5
  import -display "$DISPLAY" -window root ${2:+-crop "$2"} +repage "$SCREENSHOTS/$1.png" 2>/dev/null
}

# programs_glob: a `find -path` pattern of the Programs folder setup makes shortcuts in, which
# follows the Windows the prefix reports: the user's own on the 95 family, the common one on NT.
programs_glob() {
  case "${E2E_WINDOWS:-}" in
    win95 | win98 | winme) echo '*/users/*/Start Menu/Programs' ;;
    *) echo '*/ProgramData/*/Start Menu/Programs' ;;
  esac
}

# What Wine itself rewrites as it starts its programs: its own settings and the console's (in the
# user's keys, which an export names by the user's SID), the hardware tree and hardware profiles,
# the shell's folders and mount points, the display's device classes, device interfaces and video
# keys, driver dates, the current control set. Which of them a snapshot catches depends on how far
# Wine's own start has got, which a busy machine changes.
WINE_VOLATILE='^\[HKEY_USERS\\[^\\]+\\(Software\\Wine|Console)[]\\]|^\[HKEY_LOCAL_MACHINE\\Hardware\\|\\Hardware Profiles\\|Explorer\\(Shell Folders|MountPoints)|\\Control\\(Class|DeviceClasses|Video)[]\\]|"DriverDateData"|\\Control\\ServiceCurrent\]'

# reg_snapshot FILE: the whole registry but what Wine rewrites itself, one sorted line per value,
# keys prefixed to each value. An export that fails leaves FILE holding the line that says so (and
# says why on standard error), which no snapshot of a registry holds.
reg_snapshot() {
  local raw="$1.raw" output status
  rm -f "$raw"
  output=$(wine_output regedit /E "$(winpath "$raw")" 2>&1)
  status=$?
  local why=
  if [ "$status" != 0 ]; then why="exit status $status"
  elif [ ! -s "$raw" ]; then why="no export written"
  elif ! iconv -f UTF-16LE -t UTF-8 "$raw" > /dev/null 2>&1; then why="the export is not UTF-16 text"
  fi
  if [ -n "$why" ]; then
    reg_read_failed "regedit /E" "$why" "$output" "" > "$1"
    rm -f "$raw"
    return 2
  fi
  iconv -f UTF-16LE -t UTF-8 "$raw" | tr -d '\r' | awk '
    /^\[/ { key = $0; print key; next }
    /^$/ { next }
    { print key " " $0 }' | grep -vE "$WINE_VOLATILE" | LC_ALL=C sort > "$1"
  rm -f "$raw"
}

# renames_pending [PATTERN]: true when the list of files to delete or rename at the next restart
# exists and, given PATTERN, an entry matches it (grep -i); false, and why, when it cannot be read.
renames_pending() {
  local list
  list=$(reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations) || return 1
  grep -qi -- "${1:-}" <<< "$list"
}

# file_snapshot FILE: every file below drive_c with its size and checksum, sorted.
file_snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 md5sum) > "$1"
}
