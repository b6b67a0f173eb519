#!/usr/bin/env bash
# The kit as a product maker gets it: dist/ is complete, the guide's hook code is the example's
# own, the example hook library builds from dist/sdk alone (no path into the source tree) and
# imports no C runtime DLL, and a product installed with it shows its hooks at work: the
# Start-menu page skipped, a line added to Ready, a failed file passed over and named at the end
# in boxes captioned by a function-local static, and the library's static objects destroyed when
# setup unloads it. With E2E_WINE32 the i686 example runs under the i686 setup.exe.
set -u
E2E_BUILD=$1
SRC=$2
. "$SRC/tests/wine/suite.sh"
. "$SRC/tests/wine/e2e_lib.sh"
work="$E2E_BUILD/tests/e2e-sdkkit"
rm -rf "$work"; mkdir -p "$work"

# guide_unquoted GUIDE SDK: prints each C++ or make snippet of the guide, from its building section
# on, that is not an exact quote of a kit file: such a snippet follows a line
# "<!-- quoted from FILE -->" and its lines stand together, unchanged, in SDK/FILE.
guide_unquoted() {
  local line file='' block='' fence='' building=''
  while IFS= read -r line; do
    if [ -n "$fence" ]; then
      if [ "$line" != '```' ]; then block+="$line"$'\n'; continue; fi
      if [ -n "$file" ] && [[ $'\n'$(<"$2/$file")$'\n' == *$'\n'"$block"* ]]; then :
      elif [ -n "$building" ] && [ "$fence" != '```' ]; then echo "${file:-no source}: ${block%%$'\n'*}"; fi
      fence='' file=''
    elif [[ $line == '```'* ]]; then fence=$line block=''
    elif [[ $line =~ ^'<!-- quoted from '(.+)' -->'$ ]]; then file=${BASH_REMATCH[1]}
    else
      file=''
      [ "$line" = "## Building from the SDK" ] && building=1
    fi
  done < "$1"
}
# guide_missing GUIDE SDK: prints each kit path the guide names (in backquotes, or a link to a page
# beside it) that is not in SDK; a word that starts with a slash is a switch, not a kit path.
guide_missing() {
  { grep -o '`[^` ]*/[^` ]*`' "$1" | tr -d '`' | grep -v '^/' | sed 's|^dist/sdk/||'
    grep -oE '\]\([^)#]+' "$1" | sed 's|^](|docs/|'; } | sort -u | while read -r path; do
    [ -e "$2/$path" ] || echo "$path"
  done
}
# crt_dlls DLL: prints the C runtime, libgcc or libstdc++ DLLs that DLL imports, and fails if any.
crt_dlls() {
  ! x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/{print $3}' |
    grep -iE '^(msvc|ucrt|api-ms-win-crt|vcruntime|crtdll|libgcc|libstdc|libwinpthread)'
}

check "dist is written" env DIST_OUT="$work/dist" bash "$SRC/tools/dist.sh" "$SRC" >/dev/null
for f in sdk/include/setup_sdk.h sdk/include/files_dat_format.h sdk/lib/libsetup.a sdk/lib/libsetupcrt.a \
         sdk/example/Makefile sdk/bin/setup.exe sdk/example/example_hooks.cpp sdk/bin/filesdat sdk/bin/filesdat.exe \
         sdk/bin/default_dsetup.dll sdk/docs/README.md sdk.zip tuner/setup.exe tuner/setup.ini tuner/files.dat \
         tuner/license.txt tuner/dsetup.dll tuner.zip skellan-setup.exe; do
  check "dist holds $f" test -s "$work/dist/$f"
done
check "every SDK header is shipped" diff <(cd "$SRC/setup/sdk" && ls *.h) <(ls "$work/dist/sdk/include")

# A maker's machine: the SDK alone, copied away from the tree.
maker="$work/maker"
mkdir -p "$maker"; cp -r "$work/dist/sdk" "$maker/"
guide=$maker/sdk/docs/hook-library.md
check "the guide's example snippets are quotes of the kit's files" \
  test -z "$(guide_unquoted "$guide" "$maker/sdk" | tee /dev/stderr)"
check "the guide quotes the example" test "$(grep -c '^<!-- quoted from example/example_hooks.cpp -->$' "$guide")" -ge 6
check "example builds for i686 from the SDK alone" make -s -C "$maker/sdk/example" >/dev/null
check "every path the guide names is in the kit" test -z "$(guide_missing "$guide" "$maker/sdk" | tee /dev/stderr)"
check "example imports from setup.exe" \
  sh -c "x86_64-w64-mingw32-objdump -p '$maker/sdk/example/dsetup.dll' | grep -q 'DLL Name: setup.exe'"
check "example passes the compatibility check" "$SRC/tools/compat.sh" "$maker/sdk/example/dsetup.dll" >/dev/null
check "the i686 example imports no C runtime DLL" crt_dlls "$maker/sdk/example/dsetup.dll"
# The example once more with the suite's probe beside it (the Makefile builds every .cpp file of
# its folder): a static object whose destructor writes the file KIT_UNLOAD_PROBE names. Built for
# the setup.exe this run drives: the i686 one from the SDK alone, or the test build's x86_64 one,
# to run under the 64-bit Wine, with that build's import and runtime libraries.
run_hooks="$maker/example-run"
cp -r "$maker/sdk/example" "$run_hooks"; rm -f "$run_hooks/dsetup.dll"
cat > "$run_hooks/unload_probe.cpp" <<'PROBE'
#include <windows.h>
struct UnloadProbe {
  ~UnloadProbe() {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KIT_UNLOAD_PROBE", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
} g_unload_probe;
PROBE
if [ -n "${E2E_WINE32:-}" ]; then
  check "example and probe build for i686 from the SDK alone" make -s -C "$run_hooks" SDK="$maker/sdk" >/dev/null
else
  check "example builds for x86_64 from the SDK headers" make -s -C "$run_hooks" SDK="$maker/sdk" \
    CROSS=x86_64-w64-mingw32- SETUP_LIB="$E2E_BUILD/setup" SETUP_CRT_LIB="$E2E_BUILD/runtime" >/dev/null
  check "the x86_64 example imports no C runtime DLL" crt_dlls "$run_hooks/dsetup.dll"
fi

# A product: two files packed from its script, no shortcuts, the example's hooks beside the script.
# The kit's product command makes the folder with the setup.exe this run drives.
source="$work/source"; payload="$work/payload"; product="$work/product"
mkdir -p "$source" "$payload/doc"
printf 'hello\r\n' > "$payload/doc/hello.txt"
printf 'extra\r\n' > "$payload/doc/extra.txt"
printf '%s\r\n' '[PRODUCTNAME]' 'name=Kit Test' '[DEFAULTDIR]' 'dir=KitTest' '[FILES]' 'total=2' \
  'filesrc0=doc\hello.txt' 'filedst0=hello.txt' 'filesrc1=doc\extra.txt' 'filedst1=extra.txt' '[COPYDELAY]' 'delay=0' \
  > "$source/setup.ini"
cp "$SRC/products/tuner/license.txt" "$run_hooks/dsetup.dll" "$source/"
check "the kit makes the product" "$maker/sdk/bin/filesdat" product "$source/setup.ini" -C "$payload" -o "$product" \
  --setup "$E2E_BUILD/setup/setup.exe"
check "the product holds the maker's hook library" cmp -s "$run_hooks/dsetup.dll" "$product/dsetup.dll"
rm "$source/dsetup.dll"
# The kit's own setup.exe: its default hook library is i686 like it, and the kit refuses a mix.
check "without one, the kit's default hook library" "$maker/sdk/bin/filesdat" product "$source/setup.ini" -C "$payload" \
  -o "$work/plain"
check "which is the one in the kit" cmp -s "$maker/sdk/bin/default_dsetup.dll" "$work/plain/dsetup.dll"
printf 'filesrc2=missing.txt\r\n' >> "$source/setup.ini"
check "a script with errors makes no product" sh -c "! '$maker/sdk/bin/filesdat' product '$source/setup.ini' -C '$payload' -o '$work/bad' 2>/dev/null"
check "nothing is left of it" test ! -e "$work/bad"

suite_begin sdkkit "$E2E_BUILD/tests"
trap suite_end EXIT
page() { driver wait "$1" "${2:-*}" "${3:-0}" "${4:-20000}" >/dev/null; }
KIT_UNLOAD_PROBE=$(winpath "$work/unloaded.txt"); export KIT_UNLOAD_PROBE
# A folder where the second file goes, so that its copy fails.
mkdir -p "$WINEPREFIX/drive_c/KitTest/Kit Test/extra.txt"
(cd "$product" && exec timeout 120 "$WINE" setup.exe) & pid=$!
page "Welcome to Kit Test!" "*" 1
page "End-User License Agreement" "*" 1
page "Select Install Directory" "*" 1
# Ready follows the directory page at once: the example skipped the Start-menu page.
check "Ready shows the example's line" page "Ready To Install" "Space required:"
page "Ready To Install" "*" 1
# The boxes' caption is the function-local static; OK goes on without the file, which the last
# box names.
box=$(driver wait "Kit Test Setup" "could not be written" 1 60000 | tr '\n' ' ')
check "the failed copy is offered, naming its file: [$box]" grep -qF 'Kit Test\extra.txt could not be written' <<<"$box"
box=$(driver wait "Kit Test Setup" "These files were not installed" 1 60000 | tr '\n' ' ')
check "the file gone without is named at the end: [$box]" grep -qF 'Kit Test\extra.txt' <<<"$box"
page "Installation Complete!" "*" 1 60000
wait $pid; check_eq "exit status" 0 $?
check "file installed from the archive" cmp "$payload/doc/hello.txt" "$WINEPREFIX/drive_c/KitTest/Kit Test/hello.txt"
check "the library's static objects were destroyed at its unload" test -e "$work/unloaded.txt"
e2e_summary
