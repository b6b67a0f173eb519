# Shared helpers of the host suites, sourced by each suite:
#   . "$(dirname "$0")/lib/suite.sh" <filesdat program> <scratch dir> <suite name>
# Sets FILESDAT, TOOL (the independent files.dat reader) and HOST_TESTS, and works in a fresh
# scratch folder ROOT.
FILESDAT=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
HOST_TESTS=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TOOL="python3 $HOST_TESTS/files_dat_tool.py"
ROOT=$2/$3
rm -rf "$ROOT"
mkdir -p "$ROOT"
cd "$ROOT" || exit 1

passed=0
failed=0
pass() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
  [ -s out.txt ] && sed 's/^/  stdout: /' out.txt | head -5
  [ -s err.txt ] && sed 's/^/  stderr: /' err.txt | head -5
}

# run CMD...: runs filesdat with the arguments, stdout to out.txt, stderr to err.txt; sets rc.
run() {
  "$FILESDAT" "$@" >out.txt 2>err.txt
  rc=$?
}
# expect DESC STATUS [STDERR-PATTERN]: checks the last run's status and message.
expect() {
  local desc=$1 want=$2 pattern=${3:-}
  if [ "$rc" != "$want" ]; then
    fail "$desc: exit status $rc, expected $want"
  elif [ -n "$pattern" ] && ! grep -qiE -- "$pattern" err.txt; then
    fail "$desc: stderr does not match /$pattern/"
  else
    pass
  fi
}
check() {
  local desc=$1
  shift
  if "$@"; then pass; else fail "$desc"; fi
}
# Files other than the expected ones in a folder (temporary leftovers show up here).
listing() { (cd "$1" && find . -mindepth 1 | sort | tr '\n' ' '); }

finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
