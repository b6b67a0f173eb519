#!/usr/bin/env bash
# CTest's emulator for Windows test programs: runs PROGRAM [ARGS...] under Wine
# in a fresh prefix of its own, on an Xvfb display of its own.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/suite.sh"
prog=$1; shift
name=$(basename "$prog" .exe)
suite_begin "$name" "$(cd "$(dirname "$prog")" && pwd)"
"$WINE" "$prog" "$@"
rc=$?
suite_end
exit $rc
