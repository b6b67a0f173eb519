#!/usr/bin/env bash
# The install steps on the Windows 95 family and on Windows NT: the install suite's whole-product
# runs and Start-menu tests are run again while Wine reports each version (GetVersion is read at
# process start), and each run first proves that it saw the platform it was meant to see.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
suite_begin install_platforms "$E2E_BUILD/tests"
trap suite_end EXIT
TESTS="$E2E_BUILD/tests/install_tests.exe"
FILTER='InstallRun.*:StartMenuTest.*'
log="$E2E_BUILD/tests/install_platforms.log"

# run_as VERSION PLATFORM: the filtered suite under that Wine version; its output goes to $log.
run_as() {
  wine_version "$1"
  ZINDLE_EXPECT_PLATFORM=$2 "$WINE" "$TESTS" --gtest_filter="$FILTER" 2>&1 | tr -d '\r' > "$log"
  local rc=${PIPESTATUS[0]}
  [ "$rc" = 0 ] || cat "$log"
  return "$rc"
}

ran_platform_check() { grep -q '^\[       OK \] InstallRun.RunsOnTheExpectedPlatform' "$log"; }
ran_round_trip() { grep -q '^\[       OK \] InstallRun.InstallsTheSampleProductAndRemovesItAgain' "$log"; }

for pair in win95:95 win98:95 nt40:nt; do
  version=${pair%%:*}
  platform=${pair##*:}
  check "install suite passes as $version" run_as "$version" "$platform"
  check "platform seen as $version" ran_platform_check
  check "sample product installed and removed as $version" ran_round_trip
done

e2e_summary
