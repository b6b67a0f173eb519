#!/usr/bin/env bash
# Host tests of filesdat's script support: check on the shipped script and on broken ones (every
# problem on its line, nothing else), and packing from a script against packing by name.
# usage: bash script_check.sh <filesdat program> <scratch dir>
set -u
. "$(dirname "$0")/lib/suite.sh" "$1" "$2" script-check-host
PRODUCT=$HOST_TESTS/../../products/tuner

mkdir -p payload/Help payload/sub
cp "$PRODUCT/Help/index.htm" payload/Help/
head -c 70000 /dev/urandom >payload/tuner.exe
echo a >payload/a.txt
echo y >payload/sub/y.dll
echo licence >license.txt  # beside the broken scripts, which are checked as products too

# ---- the shipped script is clean, with and without its payload
run check "$PRODUCT/setup.ini" -C payload
expect "check of the shipped script" 0
check "shipped script: no problem reported" test ! -s out.txt
run check "$PRODUCT/setup.ini" -C sub-missing
expect "check with a missing payload folder" 1 "payload folder"

# ---- broken scripts: NAME STATUS 'LINE: [SECTION] key: message start'... with the script on stdin.
# Every expected problem must be reported on its line, and nothing else.
broken() {
  local name=$1 want=$2
  shift 2
  tr -d '\r' | sed 's/ *#[0-9]*$//' >"$name.ini"
  run check "$name.ini" -C payload
  expect "check $name" "$want"
  for problem in "$@"; do check "$name: $problem" grep -qF -- "$name.ini:$problem" out.txt; done
  check "$name: exactly $# problems" test "$(wc -l <out.txt)" -eq $#
}

broken structure 1 '6: [DIRECTORIES] total: total is 3 but item 1 has no keys' \
  '9: [DIRECTORIES] dir7: not read: total is 3' \
  '10: [ASSOCIATIONS] total: missing: none of the 2 numbered keys is read' \
  '13: [NOTES]: warning: unknown section' '15: [DEFAULTDIR]: repeats the section of line 3' <<'EOF'
[PRODUCTNAME]   #1
name=P
[DEFAULTDIR]
dir=P
[DIRECTORIES]   #5
total=3
dir0=a
dir2=b
dir7=c
[ASSOCIATIONS]  #10
prog0=p.exe
ext0=.p
[NOTES]
text=x
[DEFAULTDIR]    #15
dir=Q
EOF

broken files 1 "12: [FILES] filesrc1: climbs out of its folder ('..')" \
  '13: [FILES] filedst1: its folder lib is not made' '14: [FILES] filesrc2: is not in the payload folder' \
  '15: [FILES] filedst2: starts with a % form setup does not expand' \
  '16: [FILES] filesrc3: contains "fail": setup reads the key as missing' \
  '18: [FILES] filedst5: not read: total is 4' '19: [FILES] filesrc01: not read: setup asks for filesrc1' <<'EOF'
[PRODUCTNAME]   #1
name=P
[DEFAULTDIR]
dir=@P
[DIRECTORIES]   #5
total=1
dir0=bin
[FILES]
Total = 0x4
filesrc0=a.txt  #10
filedst0=bin\a.txt
filesrc1=..\b.txt
filedst1=lib\b.txt
filesrc2=missing.txt
filedst2=%5x.txt  #15
filesrc3=failsafe.dll
filedst3=x.dll
filedst5=y
filesrc01=z
EOF

broken registry 1 '1: [REGISTRY ENTRIES] key2: missing' '1: [REGISTRY ENTRIES] value2: warning: missing' \
  '3: [REGISTRY ENTRIES] base0: is not HKEY_CLASSES_ROOT' \
  "10: [REGISTRY ENTRIES] value1: setup stops reading at 'k' and takes 12" \
  '11: [REGISTRY ENTRIES] key1: repeats the key of line 8' '13: [REGISTRY ENTRIES] type2: is neither s nor d' <<'EOF'
[REGISTRY ENTRIES]  #1
total=3
base0=HKEY_LOCAL
key0=Software\X
type0=s             #5
value0=a
base1=hkey_current_user
key1=Software\X
type1=D
value1=12k          #10
key1=Software\Y
base2=HKEY_USERS
type2=x
EOF

long=$(printf 'x%.0s' $(seq 1 255))
broken paths 1 "7: [DIRECTORIES] dir0: has a drive letter or stream name (':')" \
  '8: [DIRECTORIES] dir1: names the device nul' "9: [DIRECTORIES] dir2: contains '*'" \
  '10: [DIRECTORIES] dir3: has %1, which setup does not expand here' '11: [DIRECTORIES] dir4: makes a path of about' \
  "15: [STARTMENU ENTRIES] path0: climbs out of its folder ('..')" \
  '20: [STARTMENU ENTRIES] prog1: warning: no [FILES] entry installs tool.exe' <<EOF
[PRODUCTNAME]   #1
name=P
[DEFAULTDIR]
dir=P
[DIRECTORIES]   #5
total=5
dir0=C:\abs
dir1=sub\nul.txt
dir2=a*b
dir3=x%1y       #10
dir4=$long
[STARTMENU ENTRIES]
basepath=P
total=2
path0=..\..\Desktop  #15
name0=Uninstall P
prog0=%1
path1=P
name1=Tool
prog1=tool.exe  #20
EOF

broken values 1 '4: [DEFAULTDIR] dir: the default install folder C:\Program Files\\P has a doubled backslash' \
  '5: [BACKGROUND] blue: missing' '6: [BACKGROUND] red: warning: setup keeps only the low byte: 44' \
  '8: [BITMAP]: not read: [BACKGROUND] does not give red, green and blue' \
  '9: [BITMAP] name: starts with a % form setup does not expand (only %1)' \
  '10: [BITMAP] type: warning: is not t (tile) or c (centre)' \
  '12: [COPYDELAY] delay: warning: starts with 0, so setup reads it as octal: 8' \
  '14: [EXTRASPACE] bytes: is negative: setup reads 4294967295' '15: [VERSION] nameprefix: missing' <<'EOF'
[PRODUCTNAME]  #1
name=P
[DEFAULTDIR]
dir=@
[BACKGROUND]   #5
red=300
green=0
[BITMAP]
name=%2pic
type=tile      #10
[COPYDELAY]
delay=010
[EXTRASPACE]
bytes=-1
[VERSION]      #15
majorhigh=1
EOF

broken depend 1 '1: key "stray" stands before any section header' '4: [DEPEND] depend0: warning: is absolute' \
  '5: [DEPEND] depend1: has a folder part' '6: [DEPEND] depend2: is not in the payload folder' \
  "7: [DEPEND]: neither a key (no '=')" '8: [DEPEND] depend3: warning: the enclosing quotes are dropped' <<'EOF'
stray=1
[DEPEND]
total=4
depend0=C:\WINDOWS\x.dll
depend1=sub\y.dll  #5
depend2=nofile.dll
garbage
depend3="a.txt"
EOF

broken warnings-only 0 '3: [NOTES]: warning: unknown section' <<'EOF'
[PRODUCTNAME]
name=P
[NOTES]
EOF

# ---- packing from the script: the same archive as packing the same names by hand
run create by-script.dat -C payload --script "$PRODUCT/setup.ini"
expect "pack the shipped script" 0
run create by-name.dat -C payload tuner.exe Help/index.htm
compare_archives() {  # compare_archives DESC A B: same list, same bytes read back independently
  check "$1: same members" diff <("$FILESDAT" list "$2") <("$FILESDAT" list "$3")
  rm -rf dec-a dec-b && mkdir dec-a dec-b
  $TOOL decode "$2" dec-a >/dev/null && $TOOL decode "$3" dec-b >/dev/null
  check "$1: same bytes" diff -r dec-a dec-b
}
compare_archives "shipped script" by-script.dat by-name.dat

# Names read as setup reads them: hex total, the first of a repeated key, "fail" and keys beyond
# the total skipped, a name repeated in other letter case packed once.
tr -d '\r' >pack.ini <<'EOF'
[files]
Total = 0x4
filesrc0=a.txt
FILESRC1=sub\y.dll
filesrc1=tuner.exe
filesrc2=A.TXT
filesrc3=failover.txt
filesrc4=Help\index.htm
EOF
run create quirks.dat -C payload --script pack.ini
expect "pack a script read as setup reads it" 0
run create quirks-by-name.dat -C payload a.txt sub/y.dll
compare_archives "script read as setup reads it" quirks.dat quirks-by-name.dat
run create both.dat -C payload --script pack.ini a.txt
expect "script and names together are refused" 2 "not both"
printf '[FILES]\ntotal=1\nfilesrc0=gone.txt\n' >gone.ini
run create gone.dat -C payload --script gone.ini
expect "a named file missing from the payload" 1 "cannot read payload/gone.txt"
check "no archive after a failed pack" test ! -e gone.dat

finish
