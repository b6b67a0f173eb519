// hold_file: opens a file without sharing and keeps it open, so tests can meet a file that
// another process holds.
//   hold_file PATH EVENT [SECONDS]
// Sets the named event once the file is open, then waits (at most SECONDS, default 120) until
// it is ended. Exit status 1 when the file cannot be opened, 2 on bad arguments.
#include <windows.h>

#include <cstdlib>

int main(int argc, char **argv) {
  if (argc < 3) return 2;
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
  if (ready) {
    SetEvent(ready);
    CloseHandle(ready);
  }
  DWORD seconds = argc > 3 ? static_cast<DWORD>(strtoul(argv[3], nullptr, 10)) : 120;
  Sleep(seconds * 1000);
  CloseHandle(file);
  return 0;
}
