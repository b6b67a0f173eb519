#!/usr/bin/env bash
# Drive and path checks of setup's exported utilities on drives a unit test cannot make: a
# CD-ROM drive that exists, and double-byte path names under a Japanese code page.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin utilities_drives "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-utilities-drives"
rm -rf "$work"; mkdir -p "$work/cdrom"
SETUP_WIN=$(winpath "$E2E_BUILD/setup/setup.exe")

probe() { "$WINE" "$E2E_BUILD/tests/util_probe.exe" "$SETUP_WIN" "$@" | tr -d '\r'; }
# probe_japanese ARGS...: the probe under a Japanese system locale (code page 932).
probe_japanese() {
  env LOCPATH="$locales" LC_ALL=ja_JP.UTF-8 "$WINE" "$E2E_BUILD/tests/util_probe.exe" "$SETUP_WIN" "$@" | tr -d '\r'
}
answer() { sed -n "s/^$1=//p" <<<"$OUT"; }

# R: becomes a CD-ROM drive: a folder linked as the drive and typed in Wine's drive list,
# which is read when the prefix's server starts.
"$WINESERVER" -k; "$WINESERVER" -w
ln -sfn "$work/cdrom" "$WINEPREFIX/dosdevices/r:"
"$WINE" reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d cdrom /f >/dev/null 2>&1
"$WINESERVER" -k; "$WINESERVER" -w

OUT=$(probe drive 'R:\')
check_eq "R: is a CD-ROM drive" 5 "$(answer drive_type)"
check_eq "R: is not measured" 0 "$(answer drive_info)"
check_eq "R:\\Tuner refused on a CD-ROM" 0 "$(answer path_is_ok_strict)"
check_eq "R:\\Tuner accepted with any drive" 1 "$(answer path_is_ok_any_drive)"

OUT=$(probe drive 'C:\')
check_eq "C: is fixed" 3 "$(answer drive_type)"
check_eq "C: is measured" 1 "$(answer drive_info)"
check_eq "C:\\Tuner accepted" 1 "$(answer path_is_ok_strict)"

OUT=$(probe drive 'Q:\')
check_eq "Q: does not exist" 1 "$(answer drive_type)"
check_eq "Q: is not measured" 0 "$(answer drive_info)"
check_eq "Q:\\Tuner refused" 0 "$(answer path_is_ok_strict)"

# Shift-JIS: the second byte of a double-byte character may be '|' or '\'; neither counts.
locales="$work/locales"
mkdir -p "$locales"
if localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1; then
  mkdir -p "$WINEPREFIX/drive_c/dbcs-probe"
  "$WINESERVER" -k; "$WINESERVER" -w
  OUT=$(probe_japanese dbcs 'C:\dbcs-probe')
  "$WINESERVER" -k; "$WINESERVER" -w
  check_eq "code page 932 is active" 1 "$(answer lead_byte)"
  check_eq "second byte '|' is not refused" 1 "$(answer text_bar_trail)"
  check_eq "a real '|' is refused" 0 "$(answer text_real_bar)"
  check_eq "second byte '\\' is no trailing backslash" 1 "$(answer path_backslash_trail)"
  check_eq "a real trailing backslash is refused" 0 "$(answer path_real_backslash)"
  check_eq "create_path through a double-byte name" 1 "$(answer create)"
  check_eq "deepest level created" 1 "$(answer created_sub)"
  check_eq "one folder made at the first level" 1 "$(answer entries)"
  check_eq "named by the whole character" 1 "$(answer entry_is_whole_character)"
  rm -rf "$WINEPREFIX/drive_c/dbcs-probe"
else
  echo "SKIP: no Japanese locale could be built here (localedef ja_JP)"
fi

rm -rf "$work"
e2e_summary
