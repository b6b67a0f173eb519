#!/usr/bin/env bash
# The main job, shown end to end: pack the Skellan product, install it under Wine by clicking
# through every wizard page, then uninstall it from its Add/Remove Programs entry and compare
# the registry and the disk with how they were before. Screenshots go to build/demo/.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export SCREENSHOTS="$here/build/demo"
rm -rf "$SCREENSHOTS"
bash "$here/tests/e2e/product_roundtrip.sh" "$here/build/x86_64" "$here"
status=$?
echo "screenshots: $SCREENSHOTS"
exit $status
