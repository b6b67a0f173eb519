// Bounded text helpers shared by every part of setup.
#include "util/bounded_text.h"

#include <windows.h>

#include <cstdarg>
#include <cstring>

#include "text_format.h"

namespace {

// Number of "%s" in format, or -1 when it holds any other conversion ("%%" is allowed).
int name_slots(const char *format) {
  int slots = 0;
  for (const char *p = format; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == 's') {
      ++slots;
    } else if (*p != '%') {
      return -1;
    }
  }
  return slots;
}

}  // namespace

int copy_text(char *out, size_t capacity, const char *text) {
  if (!out || capacity == 0 || !text) return 0;
  size_t length = strlen(text);
  if (length >= capacity) return 0;
  memcpy(out, text, length + 1);
  return 1;
}

int append_text(char *out, size_t capacity, const char *text) {
  if (!out || capacity == 0 || !text) return 0;
  size_t used = strnlen(out, capacity);
  if (used >= capacity) return 0;
  return copy_text(out + used, capacity - used, text);
}

int format_text(char *out, size_t capacity, const char *format, ...) {
  if (!out || capacity == 0 || !format) return 0;
  // The first pass only measures, so that a result that does not fit leaves out untouched.
  va_list args;
  va_start(args, format);
  int n = text_vformat(nullptr, 0, format, args);
  va_end(args);
  if (n < 0 || static_cast<size_t>(n) >= capacity) return 0;
  va_start(args, format);
  text_vformat(out, capacity, format, args);
  va_end(args);
  return 1;
}

static int fold_ascii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; }

int ascii_compare_nocase(const char *a, const char *b) {
  const unsigned char *x = reinterpret_cast<const unsigned char *>(a);
  const unsigned char *y = reinterpret_cast<const unsigned char *>(b);
  for (;; ++x, ++y) {
    int cx = fold_ascii(*x), cy = fold_ascii(*y);
    if (cx != cy) return cx - cy;
    if (cx == 0) return 0;
  }
}

bool ascii_equals_nocase(const char *text, size_t length, const char *word) {
  for (size_t i = 0; i < length; ++i)
    if (!word[i] || fold_ascii(static_cast<unsigned char>(text[i])) != fold_ascii(static_cast<unsigned char>(word[i])))
      return false;
  return word[length] == 0;
}

static unsigned char fold_ansi(unsigned char c) {
  if (c < 0x80) return static_cast<unsigned char>(fold_ascii(c));
  char one[1] = {static_cast<char>(c)};
  CharLowerBuffA(one, 1);
  return static_cast<unsigned char>(one[0]);
}

int mbcs_compare_nocase(const char *a, const char *b) {
  // A double-byte character (lead and trail byte) is one character and compares exactly;
  // single-byte characters fold to lower case in the active code page.
  const unsigned char *x = reinterpret_cast<const unsigned char *>(a);
  const unsigned char *y = reinterpret_cast<const unsigned char *>(b);
  while (*x && *y) {
    bool lead_x = IsDBCSLeadByte(*x) && x[1];
    bool lead_y = IsDBCSLeadByte(*y) && y[1];
    if (lead_x || lead_y) {
      if (!lead_x || !lead_y || x[0] != y[0] || x[1] != y[1]) return *x < *y ? -1 : 1;
      x += 2;
      y += 2;
      continue;
    }
    unsigned char cx = fold_ansi(*x), cy = fold_ansi(*y);
    if (cx != cy) return cx < cy ? -1 : 1;
    ++x;
    ++y;
  }
  return (*x == *y) ? 0 : (*x < *y ? -1 : 1);
}

uint32_t mbcs_hash_nocase(const char *text) {
  // Folds exactly as mbcs_compare_nocase does, so names it finds equal hash alike.
  uint32_t hash = 2166136261u;
  const unsigned char *p = reinterpret_cast<const unsigned char *>(text);
  while (*p) {
    if (IsDBCSLeadByte(*p) && p[1]) {
      hash = (hash ^ p[0]) * 16777619u;
      hash = (hash ^ p[1]) * 16777619u;
      p += 2;
      continue;
    }
    hash = (hash ^ fold_ansi(*p)) * 16777619u;
    ++p;
  }
  return hash;
}

void format_with_name(char *out, size_t size, const char *format, const char *name) {
  if (!out || size == 0) return;
  if (!format) format = "";
  if (!name) name = "";
  int slots = name_slots(format);
  if (slots >= 0 && slots <= 2 && format_text(out, size, format, name, name)) return;
  if (!copy_text(out, size, format)) out[0] = 0;
}
