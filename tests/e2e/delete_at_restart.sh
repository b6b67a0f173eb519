#!/usr/bin/env bash
# Deletion at restart with Wine acting as each Windows family: GetVersion is fixed when a program
# starts, so the unit tests of the delete-at-restart code (and the package unpacker that uses it)
# run once per family, each told which family to expect.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin delete_at_restart "$E2E_BUILD/tests"
trap suite_end EXIT

run_as() {  # run_as VERSION FAMILY PROGRAM FILTER
  wine_version "$1"
  ZINDLE_EXPECT_FAMILY=$2 "$WINE" "$E2E_BUILD/tests/$3" --gtest_filter="$4" --gtest_brief=1 2>&1 | tr -d '\r' |
    grep -E '^\[  (FAILED|PASSED|SKIPPED)|Failure|Expected|Which is|Skipped' 
  return "${PIPESTATUS[0]}"
}

for pair in win95:95 win98:95 nt40:nt; do
  version=${pair%%:*} family=${pair##*:}
  check "delete-at-restart tests as $version" run_as "$version" "$family" uninstall_tests.exe 'WinInit*:MarkFileForDeletion*'
  check "package tests as $version" run_as "$version" "$family" install_tests.exe 'PackageTest.*'
done

# Under the NT family the delayed deletions of the runs above are in the system's list.
check "pending renames hold the unpacked members" renames_pending 'good.dll'

e2e_summary
