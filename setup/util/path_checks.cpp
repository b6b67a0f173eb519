// Checks on paths and names typed by the user: refused characters, form of an install path,
// and leading parts that already exist as files.
#include <cstring>

#include "util/path_checks.h"

#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "util/path_parts.h"

namespace {

// Calls visit for the offset of each character of text, stepping over double-byte characters
// as one; stops and returns 0 as soon as visit does.
template <class Visit>
int each_char(const char *text, Visit visit) {
  size_t i = 0;
  while (text[i]) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!visit(i)) return 0;
    i += (IsDBCSLeadByte(c) && text[i + 1]) ? 2 : 1;
  }
  return 1;
}

// Offset of the last character of a non-empty text (the lead byte of a double-byte one).
size_t last_char(const char *text) {
  size_t last = 0;
  each_char(text, [&](size_t i) {
    last = i;
    return 1;
  });
  return last;
}

int is_fixed_drive(char letter) {
  char root[4] = {letter, ':', '\\', 0};
  return GetDriveTypeA(root) == DRIVE_FIXED;
}

// Rule 7 of path_is_ok: no doubled backslash, no blank before a backslash, no * / or comma.
int has_bad_sequence(const char *path) {
  return !each_char(path, [&](size_t i) {
    char c = path[i];
    if (c == '*' || c == '/' || c == ',') return 0;
    if (c == '\\' && i > 0 && (path[i - 1] == '\\' || path[i - 1] == ' ')) return 0;
    return 1;
  });
}

// Names of devices, which Windows gives whatever folder they stand in, with any extension.
bool is_device_name(const char *name, size_t length) {
  static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
  size_t base = 0;
  while (base < length && name[base] != '.') ++base;
  for (const char *device : kDevices)
    if (ascii_equals_nocase(name, base, device)) return true;
  if (base != 4 || name[3] < '1' || name[3] > '9') return false;
  return ascii_equals_nocase(name, 3, "COM") || ascii_equals_nocase(name, 3, "LPT");
}

// A folder or file name Windows will not create: one holding a colon, ending in a dot or blank,
// or naming a device.
bool is_refused_name(const char *name, size_t length, bool has_colon) {
  if (length == 0) return false;
  if (has_colon || name[length - 1] == '.' || name[length - 1] == ' ') return true;
  return is_device_name(name, length);
}

}  // namespace

int first_refused_name(const char *path, char *out, size_t size) {
  if (!path) return 0;
  // The drive's colon is the only one a path may hold.
  size_t start = (path[0] && path[1] == ':') ? 2 : 0;
  if (path[start] == '\\') ++start;
  size_t name = start, found = 0, found_length = 0;
  bool colon = false, refused = false;
  each_char(path + start, [&](size_t i) {
    size_t at = start + i;
    if (path[at] == ':') colon = true;
    if (path[at] != '\\') return 1;
    refused = is_refused_name(path + name, at - name, colon);
    if (refused) {
      found = name;
      found_length = at - name;
    }
    name = at + 1;
    colon = false;
    return refused ? 0 : 1;
  });
  if (!refused && is_refused_name(path + name, strlen(path + name), colon)) {
    refused = true;
    found = name;
    found_length = strlen(path + name);
  }
  if (!refused) return 0;
  if (out && size > 0) {
    size_t n = found_length < size - 1 ? found_length : size - 1;
    memcpy(out, path + found, n);
    out[n] = 0;
  }
  return 1;
}

int validate_text(const char *text) {
  if (!text) return 0;
  return each_char(text, [&](size_t i) { return strchr("/*?\"<>|", text[i]) == nullptr; });
}

int validate_path(const char *path) {
  PathParts parts;
  if (!split_path(path, &parts)) return 0;
  char part[MAX_PATH];
  for (int i = 0; i < parts.count; ++i) {
    path_part(&parts, i, part);
    if (is_regular_file(part)) return 0;
  }
  return 1;
}

int path_is_ok(const char *path, int allow_root, int any_drive) {
  if (!path) return 0;
  size_t length = strlen(path);
  if (length < (allow_root ? 3u : 4u)) return 0;
  size_t last = last_char(path);
  if (path[last] == '\\' && length != 3) return 0;
  if (path[last] == ' ') return 0;
  if (!validate_text(path)) return 0;
  if (path[1] != ':') return 0;
  if (!any_drive && !is_fixed_drive(path[0])) return 0;
  if (has_bad_sequence(path)) return 0;
  if (first_refused_name(path, nullptr, 0)) return 0;
  return validate_path(path);
}
