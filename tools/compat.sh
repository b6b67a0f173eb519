#!/usr/bin/env bash
# Compatibility of shipped PE files with the real targets (Windows 95/98/NT 4, i386):
# subsystem version, imported DLLs outside the set the first Windows 95 and NT 4.0 have (no C
# runtime DLL: the first Windows 95 has none), imports known to be newer than 95/NT 4, and the
# size limits of the shipped programs (setup.exe, its two decoders included, at most 192 KB with at
# most 160 KB outside its resources, tuner.exe under 64 KB).
# usage: tools/compat.sh FILE.exe|FILE.dll ...   (exit 1 when anything is off)
set -u
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMCTL32|COMDLG32|VERSION|setup)\.(dll|exe)$'
newer='GetTickCount64|InitializeCriticalSectionEx|GetSystemTimePreciseAsFileTime|GetFileSizeEx|SetFilePointerEx|GetModuleHandleEx|AddVectoredExceptionHandler|GetLongPathName|InterlockedCompareExchange|TryEnterCriticalSection|SwitchToThread|GetConsoleWindow|FlsAlloc|FlsGetValue|CreateSymbolicLink|SHGetFolderPath|RtlGenRandom|SystemFunction036|BCrypt|GetNativeSystemInfo|IsWow64Process|GetFileAttributesEx|CopyFileEx|MoveFileWithProgress|CreateHardLink|SetDllDirectory|GetVersionExW|_aligned_malloc|___lc_codepage_func|__lc_codepage|_wfopen_s|_s$|GetDiskFreeSpaceEx|CoInitializeEx|SHGetSpecialFolderPath|IsDebuggerPresent'
kb=1024
# Bytes of the file outside its .rsrc section (headers and every other section's file data).
bytes_outside_resources() {
  local size=$2 rsrc=-1 end=$2 name offset
  local -a offsets=()
  while read -r name offset; do
    offsets+=($((16#$offset)))
    [ "$name" = .rsrc ] && rsrc=$((16#$offset))
  done < <(x86_64-w64-mingw32-objdump -h "$1" | awk '/^ +[0-9]+ /{print $2, $6}')
  [ "$rsrc" -ge 0 ] || { echo "$size"; return; }
  for offset in "${offsets[@]}"; do
    [ "$offset" -gt "$rsrc" ] && [ "$offset" -lt "$end" ] && end=$offset
  done
  echo $((size - (end - rsrc)))
}
bad=0
for f in "$@"; do
  dump=$(x86_64-w64-mingw32-objdump -p "$f" 2>/dev/null) || { echo "$f: not a PE file"; bad=1; continue; }
  sub=$(echo "$dump" | awk '/MajorSubsystemVersion/{print $2}').$(echo "$dump" | awk '/MinorSubsystemVersion/{print $2}')
  dlls=$(echo "$dump" | awk '/DLL Name:/{print $3}')
  off=$(echo "$dlls" | grep -viE "$allowed" | tr '\n' ' ')
  fns=$(echo "$dump" | awk '/DLL Name:/{d=$3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print d":"$NF}' | grep -E "$newer" | tr '\n' ' ')
  size=$(stat -c %s "$f")
  code=$(bytes_outside_resources "$f" "$size")
  echo "$f: subsystem $sub, $size bytes ($code outside the resources), DLLs: $(echo $dlls)"
  [ "$sub" = 4.0 ] || { echo "  subsystem is not 4.0"; bad=1; }
  [ -z "$off" ] || { echo "  DLLs not on 95/NT 4: $off"; bad=1; }
  [ -z "$fns" ] || { echo "  imports newer than 95/NT 4: $fns"; bad=1; }
  case $(basename "$f") in
    setup.exe)
      [ "$size" -le $((192 * kb)) ] || { echo "  larger than 192 KB"; bad=1; }
      [ "$code" -le $((160 * kb)) ] || { echo "  more than 160 KB outside the resources"; bad=1; } ;;
    tuner.exe)
      [ "$size" -lt $((64 * kb)) ] || { echo "  not under 64 KB"; bad=1; } ;;
  esac
done
exit $bad
