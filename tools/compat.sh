#!/usr/bin/env bash
# Compatibility of shipped PE files with the real targets (Windows 95/98/NT 4, i386):
# subsystem version, imported DLLs outside the systems' own set, and imports known to be newer than 95/NT 4.
# usage: tools/compat.sh FILE.exe|FILE.dll ...   (exit 1 when anything is off)
set -u
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|OLE32|OLEAUT32|COMCTL32|COMDLG32|msvcrt|VERSION|SHLWAPI|setup)\.(dll|exe)$'
newer='GetTickCount64|InitializeCriticalSectionEx|GetSystemTimePreciseAsFileTime|GetFileSizeEx|SetFilePointerEx|GetModuleHandleEx|AddVectoredExceptionHandler|GetLongPathName|InterlockedCompareExchange|TryEnterCriticalSection|SwitchToThread|GetConsoleWindow|FlsAlloc|FlsGetValue|CreateSymbolicLink|SHGetFolderPath|RtlGenRandom|SystemFunction036|BCrypt|GetNativeSystemInfo|IsWow64Process|GetFileAttributesEx|CopyFileEx|MoveFileWithProgress|CreateHardLink|SetDllDirectory|GetVersionExW|_aligned_malloc|___lc_codepage_func|__lc_codepage|_wfopen_s|_s$'
bad=0
for f in "$@"; do
  dump=$(x86_64-w64-mingw32-objdump -p "$f" 2>/dev/null) || { echo "$f: not a PE file"; bad=1; continue; }
  sub=$(echo "$dump" | awk '/MajorSubsystemVersion/{print $2}').$(echo "$dump" | awk '/MinorSubsystemVersion/{print $2}')
  dlls=$(echo "$dump" | awk '/DLL Name:/{print $3}')
  off=$(echo "$dlls" | grep -viE "$allowed" | tr '\n' ' ')
  fns=$(echo "$dump" | awk '/DLL Name:/{d=$3} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/{print d":"$NF}' | grep -E "$newer" | tr '\n' ' ')
  size=$(stat -c %s "$f")
  echo "$f: subsystem $sub, $size bytes, DLLs: $(echo $dlls)"
  [ "$sub" = 4.0 ] || { echo "  subsystem is not 4.0"; bad=1; }
  [ -z "$off" ] || { echo "  DLLs not on 95/NT 4: $off"; bad=1; }
  [ -z "$fns" ] || { echo "  imports newer than 95/NT 4: $fns"; bad=1; }
done
exit $bad
