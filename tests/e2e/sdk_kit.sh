#!/usr/bin/env bash
# The kit as a product maker gets it: dist/ is complete, the example hook library builds from
# dist/sdk alone (no path into the source tree), and a product installed with it shows its
# hooks at work: the Start-menu page skipped, a line added to Ready.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
work="$E2E_BUILD/tests/e2e-sdkkit"
rm -rf "$work"; mkdir -p "$work"

check "dist is written" env DIST_OUT="$work/dist" bash "$SRC/tools/dist.sh" "$SRC" >/dev/null
for f in sdk/include/setup_sdk.h sdk/include/files_dat_format.h sdk/lib/libsetup.a sdk/example/Makefile sdk/bin/setup.exe \
         sdk/example/example_hooks.cpp sdk/bin/filesdat sdk/bin/filesdat.exe sdk/bin/default_dsetup.dll sdk/docs/README.md \
         sdk.zip tuner/setup.exe tuner/setup.ini tuner/files.dat tuner/license.txt tuner/dsetup.dll tuner.zip \
         skellan-setup.exe; do
  check "dist holds $f" test -s "$work/dist/$f"
done
check "every SDK header is shipped" diff <(cd "$SRC/setup/sdk" && ls *.h) <(ls "$work/dist/sdk/include")

# A maker's machine: the SDK alone, copied away from the tree.
maker="$work/maker"
mkdir -p "$maker"; cp -r "$work/dist/sdk" "$maker/"
check "example builds for i686 from the SDK alone" make -s -C "$maker/sdk/example" >/dev/null
check "example imports from setup.exe" sh -c "x86_64-w64-mingw32-objdump -p '$maker/sdk/example/dsetup.dll' | grep -q 'DLL Name: setup.exe'"
check "example passes the compatibility check" "$SRC/tools/compat.sh" "$maker/sdk/example/dsetup.dll" >/dev/null
# The same source against the test build's setup.exe, to run under the 64-bit Wine.
cp -r "$maker/sdk/example" "$maker/example64"; rm -f "$maker/example64/dsetup.dll"
check "example builds for x86_64 from the SDK headers" \
  make -s -C "$maker/example64" SDK="$maker/sdk" CROSS=x86_64-w64-mingw32- SETUP_LIB="$E2E_BUILD/setup" >/dev/null

# A product: one file packed from its script, no shortcuts, the example's hooks beside the script;
# the kit's product command makes the folder (with the test build's setup.exe, to run under the
# 64-bit Wine).
source="$work/source"; payload="$work/payload"; product="$work/product"
mkdir -p "$source" "$payload/doc"
printf 'hello\r\n' > "$payload/doc/hello.txt"
printf '[PRODUCTNAME]\r\nname=Kit Test\r\n[DEFAULTDIR]\r\ndir=KitTest\r\n[FILES]\r\ntotal=1\r\nfilesrc0=doc\\hello.txt\r\nfiledst0=hello.txt\r\n[COPYDELAY]\r\ndelay=0\r\n' > "$source/setup.ini"
cp "$SRC/products/tuner/license.txt" "$maker/example64/dsetup.dll" "$source/"
check "the kit makes the product" "$maker/sdk/bin/filesdat" product "$source/setup.ini" -C "$payload" -o "$product" \
  --setup "$E2E_BUILD/setup/setup.exe"
check "the product holds the maker's hook library" cmp -s "$maker/example64/dsetup.dll" "$product/dsetup.dll"
rm "$source/dsetup.dll"
# The kit's own setup.exe: its default hook library is i686 like it, and the kit refuses a mix.
check "without one, the kit's default hook library" "$maker/sdk/bin/filesdat" product "$source/setup.ini" -C "$payload" \
  -o "$work/plain"
check "which is the one in the kit" cmp -s "$maker/sdk/bin/default_dsetup.dll" "$work/plain/dsetup.dll"
printf 'filesrc1=missing.txt\r\n' >> "$source/setup.ini"
check "a script with errors makes no product" sh -c "! '$maker/sdk/bin/filesdat' product '$source/setup.ini' -C '$payload' -o '$work/bad' 2>/dev/null"
check "nothing is left of it" test ! -e "$work/bad"

suite_begin sdkkit "$E2E_BUILD/tests"
trap suite_end EXIT
page() { driver wait "$1" "${2:-*}" "${3:-0}" "${4:-20000}" >/dev/null; }
(cd "$product" && exec timeout 120 "$WINE" setup.exe) & pid=$!
page "Welcome to Kit Test!" "*" 1
page "End-User License Agreement" "*" 1
page "Select Install Directory" "*" 1
# Ready follows the directory page at once: the example skipped the Start-menu page.
check "Ready shows the example's line" page "Ready To Install" "Space required:"
page "Ready To Install" "*" 1
page "Installation Complete!" "*" 1 60000
wait $pid; check_eq "exit status" 0 $?
check "file installed from the archive" cmp "$payload/doc/hello.txt" "$WINEPREFIX/drive_c/KitTest/Kit Test/hello.txt"
echo "sdk kit: the i686 example is built and checked, not run: this suite runs the x86_64 setup.exe"
e2e_summary
