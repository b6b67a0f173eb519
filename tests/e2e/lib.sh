# Shared parts of the end-to-end suites: checks with a pass/fail count, and running
# setup in a product folder under Wine. Source after tests/wine/suite.sh.
E2E_PASS=0
E2E_FAIL=0

check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then E2E_PASS=$((E2E_PASS + 1)); else echo "FAIL: $what"; E2E_FAIL=$((E2E_FAIL + 1)); fi
}

check_eq() {  # check_eq DESCRIPTION EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then E2E_PASS=$((E2E_PASS + 1)); else
    echo "FAIL: $1: expected [$2], got [$3]"; E2E_FAIL=$((E2E_FAIL + 1)); fi
}

e2e_summary() {
  echo "$E2E_PASS passed, $E2E_FAIL failed"
  [ "$E2E_FAIL" = 0 ]
}

# driver ARGS...: the dialog driver; its output has Windows line ends removed.
driver() { "$WINE" "$E2E_BUILD/tests/dialog_driver.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# start_in DIR ARGS...: starts a program in DIR in the background; its pid is in $!.
start_in() { local dir=$1; shift; (cd "$dir" && exec "$WINE" "$@") & }

# winpath UNIXPATH: the path as Windows programs of the prefix see it.
winpath() { "$WINE" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
