#!/usr/bin/env bash
# make dist: what a product maker gets.
#   dist/sdk/    include/ (the hook interface), lib/libsetup.a (import library of the i686 setup.exe),
#                lib/libsetupcrt.a (the i686 runtime a hook library links instead of a C runtime DLL),
#                example/ (a complete small hook library with its Makefile), bin/ (setup.exe, the default
#                hook library default_dsetup.dll and the filesdat kit tool for Linux and Windows), docs/
#   dist/tuner/  the shipped product, i686: setup.exe, setup.ini, files.dat, license.txt, dsetup.dll
#   dist/skellan-setup.exe  the same product as one file
#   dist/sdk.zip, dist/tuner.zip
# Both forms of the product come from `filesdat product`, which checks the script and packs it.
# usage: [DIST_OUT=DIR] dist.sh SOURCE_ROOT   (builds must exist: build/host and build/i686)
set -eu
root=$(cd "${1:-$(dirname "$0")/..}" && pwd)
i686=$root/build/i686
filesdat=$root/build/host/tools/filesdat
out=${DIST_OUT:-$root/dist}

for f in "$i686/setup/setup.exe" "$i686/setup/libsetup.dll.a" "$i686/runtime/libsetupcrt.a" "$i686/products/dsetup.dll" \
         "$i686/products/default_dsetup.dll" "$i686/tuner/tuner.exe" "$i686/tools/filesdat.exe" "$filesdat"; do
  [ -f "$f" ] || { echo "dist: missing $f (run make build)"; exit 1; }
done
rm -rf "$out"
mkdir -p "$out/sdk/include" "$out/sdk/lib" "$out/sdk/example" "$out/sdk/bin" "$out/sdk/docs" "$out/tuner"

cp "$root"/setup/sdk/*.h "$out/sdk/include/"
cp "$i686/setup/libsetup.dll.a" "$out/sdk/lib/libsetup.a"
cp "$i686/runtime/libsetupcrt.a" "$out/sdk/lib/"
cp "$root"/products/example/example_hooks.cpp "$root"/products/example/Makefile "$out/sdk/example/"
cp "$filesdat" "$i686/tools/filesdat.exe" "$i686/setup/setup.exe" "$i686/products/default_dsetup.dll" "$out/sdk/bin/"
cp "$root"/docs/*.md "$out/sdk/docs/" 2>/dev/null || true

# The product's payload: the files its [FILES] section names, as the script names them.
payload=$out/.payload
mkdir -p "$payload/Help"
cp "$i686/tuner/tuner.exe" "$payload/"
cp "$root/products/tuner/Help/index.htm" "$payload/Help/"
kit=("$out/sdk/bin/filesdat" product "$root/products/tuner/setup.ini" -C "$payload" --hooks "$i686/products/dsetup.dll")
"${kit[@]}" -o "$out/tuner"
"${kit[@]}" -o "$out/skellan-setup.exe" --one-file
"$filesdat" verify "$out/tuner/files.dat"
rm -rf "$payload"

(cd "$out" && zip -qr sdk.zip sdk && zip -qr tuner.zip tuner)
echo "dist: $(cd "$out" && find sdk tuner -type f | wc -l) files in dist/sdk and dist/tuner, with sdk.zip, tuner.zip and skellan-setup.exe"
