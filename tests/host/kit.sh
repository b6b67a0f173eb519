#!/usr/bin/env bash
# Host tests of the maker's kit commands: check reports what product refuses, with the same
# message; product writes only into a new folder or one of its own products, adds ".exe" to a
# one-file name, refuses libraries not of setup.exe's machine type, leaves nothing behind when
# interrupted; help and version answer; the Linux filesdat is linked statically.
# usage: bash kit.sh <filesdat program> <scratch dir>
set -u
BUILDS=$(cd "$2/../../.." && pwd)  # build/, beside build/host
. "$(dirname "$0")/lib/suite.sh" "$1" "$2" kit-host

# Real setup.exe and hook libraries of both machine types where the Windows trees are built, else
# bare PE headers (what the check reads).
pe() { python3 -c "import sys; h=bytearray(256); h[0:2]=b'MZ'; h[0x3c]=0x80; h[0x80:0x86]=b'PE\0\0'+int(sys.argv[1],16).to_bytes(2,'little'); open(sys.argv[2],'wb').write(h)" "$@"; }
mkdir -p kit32 kit64
for arch in i686:14c:kit32 x86_64:8664:kit64; do
  IFS=: read -r tree machine kit <<<"$arch"
  if [ -f "$BUILDS/$tree/setup/setup.exe" ] && [ -f "$BUILDS/$tree/products/default_dsetup.dll" ]; then
    cp "$BUILDS/$tree/setup/setup.exe" "$BUILDS/$tree/products/default_dsetup.dll" "$kit/"
  else
    echo "note: no $BUILDS/$tree build: bare PE headers stand in for its setup.exe and hook library"
    pe "$machine" "$kit/setup.exe" && pe "$machine" "$kit/default_dsetup.dll"
  fi
done
K32=(--setup kit32/setup.exe --hooks kit32/default_dsetup.dll)

# Scripts: good/ is a whole product source; each other folder differs in one point.
mkdir -p payload good
echo a >payload/a.txt
printf '[PRODUCTNAME]\r\nname=K\r\n[DEFAULTDIR]\r\ndir=K\r\n[FILES]\r\ntotal=1\r\nfilesrc0=a.txt\r\nfiledst0=a.txt\r\n' >good/setup.ini
echo licence >good/license.txt
for name in nolicence hooks64 res64 depend truncated garbage farpe; do mkdir -p "$name" && cp good/setup.ini good/license.txt "$name/"; done
rm nolicence/license.txt
cp kit64/default_dsetup.dll hooks64/dsetup.dll
printf '[RESOURCES]\r\ndllname=res.dll\r\n' >>res64/setup.ini && cp kit64/default_dsetup.dll res64/res.dll
printf '[DEPEND]\r\ntotal=1\r\ndepend0=helper.dll\r\n' >>depend/setup.ini
head -c 100 kit32/default_dsetup.dll >truncated/dsetup.dll
echo 'not a program' >garbage/dsetup.dll
python3 -c "open('farpe/dsetup.dll','wb').write(b'MZ' + bytes(58) + (0xFFFFFF00).to_bytes(4, 'little'))"

# ---- one set of rules: check reports each refusal of product, with the same text
refusals=(
  "nolicence|nolicence/setup.ini: no license.txt beside it|${K32[*]}"
  "hooks64|: hook library hooks64/dsetup.dll is x86_64, but setup.exe kit32/setup.exe is i686: setup cannot load it|${K32[*]}"
  "res64|:10: \[RESOURCES\] dllname: resource library res64/res.dll is x86_64, but setup.exe kit32/setup.exe is i686|${K32[*]}"
  "good|: hook library kit32/default_dsetup.dll is i686, but setup.exe kit64/setup.exe is x86_64|--setup kit64/setup.exe --hooks kit32/default_dsetup.dll"
  "depend|:11: \[DEPEND\] depend0: is not in the payload folder \(payload/helper.dll\) nor beside the script|${K32[*]}"
  "truncated|hook library truncated/dsetup.dll: not a Windows program: its PE header would lie past the end|${K32[*]}"
  "garbage|hook library garbage/dsetup.dll: not a Windows program: no MZ header|${K32[*]}"
  "farpe|farpe/dsetup.dll: not a Windows program: its PE header would lie past the end|${K32[*]}"
  "good|setup.exe not found: kit32/none.exe|--setup kit32/none.exe --hooks kit32/default_dsetup.dll"
)
for row in "${refusals[@]}"; do
  IFS='|' read -r folder message kit <<<"$row"
  # shellcheck disable=SC2086
  run check "$folder/setup.ini" -C payload $kit
  expect "check $folder ($kit)" 1
  check "check $folder reports: $message" grep -qE -- "$message" out.txt
  # shellcheck disable=SC2086
  run product "$folder/setup.ini" -C payload -o "out-$folder" $kit
  expect "product $folder ($kit)" 1 "has errors: no product was written"
  check "product $folder refuses with: $message" grep -qE -- "$message" out.txt
  check "product $folder writes nothing" test -z "$(ls -d out-"$folder"* 2>/dev/null)"
done
run check good/setup.ini -C payload "${K32[@]}"
expect "check of the good script" 0
check "good script: nothing reported" test ! -s out.txt

# ---- the output: new, empty or a product it wrote; anything else only with --replace
outputs=(  # DESCRIPTION|STATUS|PATTERN|OUTPUT [OPTIONS]  (run in turn on the same folders)
  "a new folder|0||out"
  "its own product again|0||out"
  "a product with a stranger|1|out holds files that are not part of a product \(old-readme.txt\)|out"
  "the stranger with --replace|0||out --replace"
  "an empty folder|0||empty"
  "a file as the product folder|1|is a file, not a product folder|file.txt"
  "the folder of its inputs, even with --replace|1|which the product is made from|. --replace"
  "one file without .exe|0|one-file installer: pp2setup.exe|pp2setup --one-file"
  "one file named in capitals|0|one-file installer: PP2.EXE|PP2.EXE --one-file"
  "its own one file again|0||pp2setup.exe --one-file"
  "a file that is no installer|1|is not a one-file installer that filesdat wrote|stray.exe --one-file"
)
echo stray >file.txt
echo stray >stray.exe
mkdir -p empty
for row in "${outputs[@]}"; do
  IFS='|' read -r desc status pattern args <<<"$row"
  [ "$desc" = "a product with a stranger" ] && echo old >out/old-readme.txt
  # shellcheck disable=SC2086
  run product good/setup.ini -C payload "${K32[@]}" -o $args
  expect "output: $desc" "$status"
  [ -n "$pattern" ] && check "output: $desc says: $pattern" grep -qE -- "$pattern" out.txt err.txt
done
check "the folder holds the product's files and nothing else" test "$(listing out)" = "./dsetup.dll ./files.dat ./license.txt ./setup.exe ./setup.ini "
check "the stranger's file is untouched" test "$(cat file.txt)" = stray
check "no file without .exe" test ! -e pp2setup
check "no work folders left" test -z "$(find . -name '*.work-*')"

# ---- interrupted: nothing of the run is left, and a product made before stays whole
head -c $((96 * 1024 * 1024)) /dev/urandom >payload/big.bin
printf '[PRODUCTNAME]\r\nname=B\r\n[DEFAULTDIR]\r\ndir=B\r\n[FILES]\r\ntotal=1\r\nfilesrc0=big.bin\r\nfiledst0=big.bin\r\n' >good/setup.ini
cp out/files.dat before.dat
interrupted() {  # interrupted SIGNAL OUTPUT [OPTIONS]: kills product once it writes the archive
  local signal=$1 output=$2 pid found=
  shift 2
  "$FILESDAT" product good/setup.ini -C payload "${K32[@]}" -o "$output" "$@" >out.txt 2>err.txt &
  pid=$!
  for _ in $(seq 1 600); do  # bounded: at most about a minute
    found=$(find . -path "./$output.work-*" -name '*.part-*' -size +0 2>/dev/null | head -1)
    [ -n "$found" ] && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  kill "-$signal" $pid 2>/dev/null
  wait $pid
  rc=$?
  [ -n "$found" ] || fail "$signal: the work file never showed (status $rc)"
}
interrupted TERM out
check "SIGTERM ends product as the signal does (status $rc)" test "$rc" = 143
check "SIGTERM: no work folder is left" test -z "$(ls -d out.work-* 2>/dev/null)"
check "SIGTERM: the product made before is whole" cmp -s before.dat out/files.dat
interrupted HUP big.exe --one-file
check "SIGHUP: nothing is left of the one file" test -z "$(ls -d big.exe* 2>/dev/null)"
interrupted KILL out
check "SIGKILL leaves its work folder" test -n "$(ls -d out.work-* 2>/dev/null)"
rm -f payload/big.bin && sed -i 's/big\.bin/a.txt/' good/setup.ini  # the next run needs no big payload
run product good/setup.ini -C payload "${K32[@]}" -o out
expect "the next run after SIGKILL" 0
check "the next run removes what the killed one left" test -z "$(ls -d out.work-* 2>/dev/null)"
rm -rf out

# ---- help, version, unknown commands
answers=(  # STATUS|STREAM|PATTERN|ARGUMENTS
  "0|out|^usage: filesdat create|help" "0|out|^usage: filesdat create|--help" "0|out|^usage: filesdat create|check --help"
  "0|out|^usage: filesdat create|product x.ini -C p -o o --help" "0|out|^filesdat [0-9]+\.[0-9]+|--version"
  "2|err|unknown command \"bogus\"|bogus" "2|err|^usage: filesdat create|bogus x"
)
for row in "${answers[@]}"; do
  IFS='|' read -r status stream pattern args <<<"$row"
  # shellcheck disable=SC2086
  run $args
  expect "filesdat $args" "$status"
  check "filesdat $args: $stream has /$pattern/" grep -qE -- "$pattern" "$stream.txt"
done

# ---- the Linux filesdat needs no particular C library
check "filesdat is linked statically (no program interpreter)" sh -c "! readelf -l '$FILESDAT' | grep -q INTERP"

finish
