#!/usr/bin/env bash
# The Windows version tests setup exports, asked under every Windows version the prefix can
# pretend to be, with and without the Windows 98 Welcome key and under a Japanese system locale.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin utilities_versions "$E2E_BUILD/tests"
trap suite_end EXIT
work="$E2E_BUILD/tests/e2e-utilities-versions"
rm -rf "$work"; mkdir -p "$work"
SETUP_WIN=$(winpath "$E2E_BUILD/setup/setup.exe")
WELCOME='HKLM\Software\Microsoft\Windows\CurrentVersion\Welcome'

probe() { "$WINE" "$E2E_BUILD/tests/util_probe.exe" "$SETUP_WIN" "$@" | tr -d '\r'; }
# probe_japanese ARGS...: the probe under a Japanese system locale (code page 932).
probe_japanese() {
  env LOCPATH="$locales" LC_ALL=ja_JP.UTF-8 "$WINE" "$E2E_BUILD/tests/util_probe.exe" "$SETUP_WIN" "$@" | tr -d '\r'
}
answer() { sed -n "s/^$1=//p" <<<"$OUT"; }

# expect VERSION winnt win95 win98 win95_osr2 valid_win32 service_pack_3 japan
expect() {
  local version=$1; shift
  local names=(winnt win95 win98 win95_osr2 valid_win32 service_pack_3 japan) expected=("$@") i
  for i in "${!names[@]}"; do
    check_eq "$version: ${names[$i]}" "${expected[$i]}" "$(answer "${names[$i]}")"
  done
}

# Each version in turn; the Welcome key does not exist, so no system counts as Windows 98 yet.
wine_version win95; OUT=$(probe versions); expect win95 0 1 0 0 1 0 0
wine_version win98; OUT=$(probe versions); expect win98 0 1 0 1 1 0 0
wine_version nt40;  OUT=$(probe versions); expect nt40  1 0 0 0 1 1 0
wine_version win31; OUT=$(probe versions); expect win31 0 0 0 0 0 0 0
check "administrator answers 0 or 1" grep -qE '^(0|1)$' <<<"$(answer administrator)"

# Windows 98 is recognised by its Welcome key alone.
"$WINE" reg add "$WELCOME" /f >/dev/null 2>&1
wine_version win98; OUT=$(probe versions); expect "win98 with Welcome" 0 1 1 1 1 0 0
"$WINE" reg delete "$WELCOME" /f >/dev/null 2>&1
OUT=$(probe versions); check_eq "Welcome key removed: win98" 0 "$(answer win98)"

# The first Windows 95 release measures disks by clusters, later systems by bytes; both agree
# on a disk the cluster query can describe.
wine_version win95; OUT=$(probe drive 'C:\')
check_eq "win95: C: measured" 1 "$(answer drive_info)"
total95=$(answer total); free95=$(answer free); used95=$(answer used)
check "win95: free within total" test "$free95" -le "$total95"
check "win95: used is total less free" test $((total95 - free95 - used95)) -le 1 -a $((total95 - free95 - used95)) -ge 0
check "win95: disk has a size" test "$total95" -gt 0
wine_version win98; OUT=$(probe drive 'C:\')
check_eq "win98: C: measured" 1 "$(answer drive_info)"
check "win98: at least what the cluster query saw" test "$(answer total)" -ge "$total95"

# A Japanese system locale: the language test, under the locale's own code page.
locales="$work/locales"
mkdir -p "$locales"
if localedef -i ja_JP -f UTF-8 "$locales/ja_JP.UTF-8" >/dev/null 2>&1; then
  wine_version nt40
  "$WINESERVER" -k; "$WINESERVER" -w
  OUT=$(probe_japanese versions)
  expect "nt40 Japanese" 1 0 0 0 1 1 1
  "$WINESERVER" -k; "$WINESERVER" -w
else
  echo "SKIP: no Japanese locale could be built here (localedef ja_JP)"
fi

rm -rf "$work"
e2e_summary
