# Shell helpers for test suites that run Windows programs under Wine.
# Each suite gets its own throwaway prefix and its own Xvfb display; every Wine
# process of the prefix runs on that display, so dialogs are real and visible.
# Source this file, then: suite_begin NAME DIR ... suite_end
# E2E_WINE32=1 runs the suite with 32-bit Wine in a 32-bit prefix, as the shipped i686 build needs
# (in a 64-bit prefix a 32-bit program would see the registry's 32-bit view); where this machine
# cannot run 32-bit Wine, sourcing this file says why in one line and exits with 77 (skipped).
# E2E_WINDOWS=win95|nt40|... is the Windows version the prefix reports from the start.

# kernel_runs_i386: true when this kernel runs 32-bit x86 programs, tried with a 93-byte one that
# exits with 42 (ELF header, one program header, then xor ebx,ebx; mov bl,42; xor eax,eax; inc eax;
# int 0x80).
kernel_runs_i386() {
  local dir rc
  dir=$(mktemp -d) || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0\0\0\0\0\0\0\0\0'\
'\064\0\040\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0'\
'\061\333\263\052\061\300\100\315\200' > "$dir/i386"
  chmod +x "$dir/i386"
  "$dir/i386" 2>/dev/null
  rc=$?
  rm -rf "$dir"
  [ "$rc" = 42 ]
}

# wine32_unusable: prints why 32-bit Wine cannot run here; false when it can.
wine32_unusable() {
  local error
  if [ ! -x /usr/lib/wine/wine ]; then
    echo "32-bit Wine is not installed (make deps installs wine32:i386 where the kernel runs 32-bit programs)"
  elif ! error=$(/usr/lib/wine/wine --version 2>&1 >/dev/null); then
    error=${error##*: }
    echo "this machine cannot run 32-bit Wine (/usr/lib/wine/wine: ${error:-it does not start})"
  else
    return 1
  fi
}

if [ -n "${E2E_WINE32:-}" ]; then
  if wine32_problem=$(wine32_unusable); then
    echo "SKIPPED: i686 run of $(basename "$0" .sh)${E2E_WINDOWS:+ as $E2E_WINDOWS}: $wine32_problem"
    exit 77
  fi
  WINE=/usr/lib/wine/wine
  WINESERVER=/usr/lib/wine/wineserver
  export WINEARCH=win32
else
  WINE=/usr/lib/wine/wine64
  WINESERVER=/usr/lib/wine/wineserver64
fi
# Every Wine program of a suite starts through wine_clean.sh (see there): the tests read programs'
# output through pipes.
export ZINDLE_WINE_BINARY=$WINE ZINDLE_WINESERVER=$WINESERVER
WINE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine_clean.sh"

suite_begin() {
  local name=$1 root
  mkdir -p "$2"
  root=$(cd "$2" && pwd)
  export WINEPREFIX="$root/wine-$name"
  export WINEDEBUG=-all
  # winemenubuilder mirrors every shell link and file type into the desktop of the machine running
  # the tests, a process per link that reads the link and its target's icon while the test goes
  # on: an undo or uninstall racing it found those files still open.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  rm -rf "$WINEPREFIX" "$WINEPREFIX.read-failures"
  mkdir -p "$WINEPREFIX"
  local fdfile="$WINEPREFIX.display"
  rm -f "$fdfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  SUITE_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  "$WINE" wineboot -i >/dev/null 2>&1
  # Xvfb runs no window manager; unmanaged windows close without Wine waiting for one.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # A crash prints its backtrace and ends the program instead of waiting in a dialog for a click.
  "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  if [ -n "${E2E_WINDOWS:-}" ] && ! wine_version "$E2E_WINDOWS"; then suite_end; exit 1; fi
  "$WINESERVER" -w
}

# reg_query ARGS...: what `reg query ARGS...` lists, without Windows line ends, with one of three
# statuses: 0 and the listing; 1 and nothing when reg answers that the key or value does not exist;
# 2 when the read itself failed (reg did not start, was killed, or printed anything but one of those
# answers). A failed read says why on standard error, with reg's status, output and errors, and
# prints a line saying the read failed: it never reads as an empty or missing value.
reg_query() {
  local listing status try
  # A busy Wine now and then fails to start reg.exe at all ("Application could not be started"):
  # no read happened, so the read is made again, at most three times.
  for try in 1 2 3; do
    listing=$(wine_output reg query "$@" 2> "$WINEPREFIX.reg.err")
    status=$?
    [ "$status" != 0 ] && grep -q "ShellExecuteEx failed" <<< "$listing$(cat "$WINEPREFIX.reg.err")" || break
  done
  if [ "$status" = 0 ] && [ -n "$listing" ]; then
    printf '%s\n' "$listing"
    return 0
  fi
  if [ "$status" = 1 ] && [[ $(sed '/^$/d' <<< "$listing") =~ ^"reg: Unable to find the specified registry "(key|value)$ ]]; then
    return 1
  fi
  local why="exit status $status"
  [ -n "$listing" ] || why+=", no output"
  reg_read_failed "reg query $*" "$why" "$listing" "$(cat "$WINEPREFIX.reg.err")"
}

# reg_read_failed WHAT WHY OUTPUT ERRORS: reports a registry read that failed, as reg_query says,
# and counts it in a file, so that a read made in a subshell or a comparison still fails the suite.
reg_read_failed() {
  {
    echo "registry read failed: $1: $2"
    [ -z "$3" ] || sed 's/^/  output: /' <<< "$3"
    [ -z "$4" ] || sed 's/^/  errors: /' <<< "$4"
  } >&2
  echo "$1: $2" >> "$WINEPREFIX.read-failures"
  echo "(registry read failed: $2)"
  return 2
}

# reg_reads_failed: how many registry reads of the suite have failed so far.
reg_reads_failed() { cat "$WINEPREFIX.read-failures" 2>/dev/null | wc -l; }

# reg_entry ROOT\KEY NAME: the type and data of one registry value, "TYPE    DATA" as `reg query`
# prints them; statuses as reg_query's.
reg_entry() {
  local listing status line
  listing=$(reg_query "$1" /v "$2")
  status=$?
  if [ "$status" != 0 ]; then
    [ "$status" = 1 ] || printf '%s\n' "$listing"
    return $status
  fi
  # The value's line: four blanks, its name, four blanks; names compare without regard to case.
  line=$(NAME=$2 awk 'BEGIN { p = "    " tolower(ENVIRON["NAME"]) "    " }
    tolower(substr($0, 1, length(p))) == p { print substr($0, length(p) + 1); exit }' <<< "$listing")
  if [ -z "$line" ]; then
    reg_read_failed "reg query $1 /v $2" "no line for the value" "$listing" ""
    return
  fi
  printf '%s\n' "$line"
}

# reg_value ROOT\KEY NAME: the data of one registry value exactly as `reg query` prints it; nothing,
# and status 1, when the value does not exist; a failed read as reg_query reports it (status 2).
reg_value() {
  local entry status
  entry=$(reg_entry "$1" "$2")
  status=$?
  case $status:$entry in
    0:*"    "*) printf '%s\n' "${entry#*    }" ;;
    0:*) echo ;;
    2:*) printf '%s\n' "$entry" ;;
  esac
  return $status
}

# reg_has ROOT\KEY NAME: true when the value exists; a failed read is false and says why.
reg_has() { reg_entry "$1" "$2" >/dev/null; }

# wine_version win95|win98|nt40|win7: what GetVersion() reports to programs of the prefix. The
# setting is read back, and written again while it does not show, before anything runs as that
# Windows: a setting that did not take once ran a program as the wrong Windows, without a word.
wine_version() {
  local try seen
  for try in 1 2 3 4 5; do
    "$WINE" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
    seen=$(reg_value 'HKCU\Software\Wine' Version)
    [ "$seen" = "$1" ] && return 0
  done
  echo "wine_version: the prefix reports Version '${seen:-missing}', not '$1', after $try tries" >&2
  return 1
}

# wine_output PROGRAM ARGS...: runs a Wine program and passes on its output and errors without
# Windows line ends. They go through files, not pipes: a process the program starts on the way
# (the desktop's, say) may outlive it, and would hold a pipe open.
wine_output() {
  local rc
  "$WINE" "$@" > "$WINEPREFIX.out" 2> "$WINEPREFIX.err"
  rc=$?
  tr -d '\r' < "$WINEPREFIX.out"
  tr -d '\r' < "$WINEPREFIX.err" >&2
  return $rc
}

# Never fails, so that a caller running under `set -e` ends with its own status: a wineserver that
# has already gone, or the killed display's status, is no failure of the suite.
suite_end() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "${SUITE_XVFB_PID:-}" ]; then
    kill "$SUITE_XVFB_PID" 2>/dev/null || true
    wait "$SUITE_XVFB_PID" 2>/dev/null || true
  fi
  [ -n "${KEEP_WINEPREFIX:-}" ] ||
    rm -rf "$WINEPREFIX" "$WINEPREFIX".{out,err,reg.err,read-failures}
  return 0
}
