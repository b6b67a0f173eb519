# Shell helpers for test suites that run Windows programs under Wine.
# Each suite gets its own throwaway prefix and its own Xvfb display; every Wine
# process of the prefix runs on that display, so dialogs are real and visible.
# Source this file, then: suite_begin NAME DIR ... suite_end
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

suite_begin() {
  local name=$1 root
  mkdir -p "$2"
  root=$(cd "$2" && pwd)
  export WINEPREFIX="$root/wine-$name"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  rm -rf "$WINEPREFIX"
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
  "$WINESERVER" -w
}

# wine_version win95|win98|nt40|win7: what GetVersion() reports to programs of the prefix.
wine_version() {
  "$WINE" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1
}

suite_end() {
  "$WINESERVER" -k >/dev/null 2>&1
  [ -n "${SUITE_XVFB_PID:-}" ] && kill "$SUITE_XVFB_PID" 2>/dev/null
  wait "$SUITE_XVFB_PID" 2>/dev/null
  if [ -z "${KEEP_WINEPREFIX:-}" ]; then rm -rf "$WINEPREFIX"; fi
}
