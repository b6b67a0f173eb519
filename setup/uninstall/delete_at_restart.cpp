// Deleting a file at the next restart: MoveFileEx on Windows NT, WinInit.Ini's [Rename] on Windows 95/98.
#include <cstring>

#include "sdk/utilities.h"
#include "uninstall/remove_items.h"
#include "util/bounded_text.h"
#include "scoped.h"

namespace {

const char kHeader[] = "[Rename]\r\n";
const DWORD kHeaderLength = sizeof kHeader - 1;

// Offset of the first "[Rename]\r\n" in the text before the first zero byte of data[0, size).
DWORD find_header(const char *data, DWORD size) {
  DWORD text_end = 0;
  while (text_end < size && data[text_end] != 0) ++text_end;
  for (DWORD at = 0; at + kHeaderLength <= text_end; ++at)
    if (memcmp(data + at, kHeader, kHeaderLength) == 0) return at;
  return size;  // not found
}

// Puts entry (length bytes) into the mapped file of old size, which has room for a line break,
// a header and the entry after it. Returns the new size.
DWORD insert_entry(char *view, DWORD size, const char *entry, DWORD length) {
  DWORD header = find_header(view, size);
  DWORD insert_at;
  DWORD new_size;
  if (header < size) {
    // Just after the header's line feed: the entry becomes the section's first line.
    insert_at = header + kHeaderLength;
    memmove(view + insert_at + length, view + insert_at, size - insert_at);
    new_size = size + length;
  } else {
    // A new section at the end; a last line without a line break is ended first, so that the
    // header starts a line of its own and the old last line keeps its text.
    DWORD at = size;
    if (size > 0 && view[size - 1] != '\n') {
      memcpy(view + at, "\r\n", 2);
      at += 2;
    }
    memcpy(view + at, kHeader, kHeaderLength);
    insert_at = at + kHeaderLength;
    new_size = insert_at + length;
  }
  memcpy(view + insert_at, entry, length);
  return new_size;
}

}  // namespace

int add_wininit_rename(const char *windows_dir, const char *path) {
  // A line break or other control character in the path would add lines of its own to the file.
  for (const char *c = path; *c; ++c)
    if (static_cast<unsigned char>(*c) < 0x20) return 0;
  char entry[1024];
  if (!format_text(entry, sizeof entry, "NUL=%s\r\n", path)) return 0;
  DWORD length = static_cast<DWORD>(strlen(entry));
  char file_name[MAX_PATH];
  size_t dir_length = strlen(windows_dir);
  bool has_separator = dir_length > 0 && windows_dir[dir_length - 1] == '\\';
  if (!format_text(file_name, sizeof file_name, has_separator ? "%sWinInit.Ini" : "%s\\WinInit.Ini", windows_dir))
    return 0;
  ScopedHandle file(CreateFileA(file_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) return 0;
  DWORD size = GetFileSize(file.get(), nullptr);
  const DWORD room = 2 + kHeaderLength + length;
  if (size == INVALID_FILE_SIZE || size > 0x7FFFFFFF - room) return 0;
  // The mapping lengthens the file by zero bytes; the file is cut back to its real new size below,
  // or to its old size when the mapping or its view cannot be made.
  DWORD new_size = size;
  int written = 0;
  {
    ScopedView mapped(file.get(), size + room);
    if (mapped.view()) {
      new_size = insert_entry(mapped.view(), size, entry, length);
      written = 1;
    }
  }
  if (SetFilePointer(file.get(), static_cast<LONG>(new_size), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
    return 0;
  if (!SetEndOfFile(file.get())) return 0;
  return written;
}

void mark_file_for_deletion(const char *path) {
  if (!path || !path[0]) return;
  if (MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return;
  // The Windows 95 family has no delayed move; its start-up deletes what WinInit.Ini names.
  char windows_dir[MAX_PATH];
  UINT n = GetWindowsDirectoryA(windows_dir, sizeof windows_dir);
  if (n == 0 || n >= sizeof windows_dir) return;
  add_wininit_rename(windows_dir, path);
}
